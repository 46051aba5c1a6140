#pragma once

#include "screens/frmrotigeral.h"

#include <QVariant>

class ClientDataSet;
class ServiceDayPanel;
class TNetConnection;

// The formulation copy (screen "VQN19050"), opened by the editor through the
// host's screen loader with the list ("S", branch code). The user chooses a
// source service record (patient and date) and a target one (the same or
// another patient); "Copiar" asks for confirmation and copies every item of
// the source into the target, numbered after the target's items, in one
// server call. After a copy the screen closes, and the editor reads its
// records again.
class TfrmCopiaFormulacao : public TfrmRotiGeral
{
    Q_OBJECT
public:
    explicit TfrmCopiaFormulacao(const QVariant &value, QWidget *parent = nullptr);
    ~TfrmCopiaFormulacao() override;

    void FormShow() override;
    void sbtConfirmaClick() override;

    QString Branch() const { return m_branch; }

    TNetConnection *netCopia;
    ClientDataSet *cdsPacientes;
    ServiceDayPanel *panOrigem;
    ServiceDayPanel *panDestino;

private:
    // The confirmation checks; the first failure focuses its control, shows
    // its message and ends the copy.
    void checkChoices();
    QString confirmationText() const;

    QString m_branch;
    bool m_loaded = false;
};

// Creates the screen for the host's screen loader.
QDialog *CriaCopiaFormulacao(const QVariant &value, QWidget *parent);
