#pragma once

#include <QDate>
#include <QGroupBox>
#include <QString>

class ClientDataSet;
class TBtnPesquisa;
class TDateEditPlus;
class TDBGrid;
class TEdit;
class TNetConnection;

// One side of the formulation copy: a patient (typed or picked from the
// branch's inpatients) and a date give that patient's service records of
// the day; the current record's items are listed below them. The source
// and the target of a copy are one panel each.
class ServiceDayPanel : public QGroupBox
{
    Q_OBJECT
public:
    // `side` names the panel for the user ("Origem", "Destino") and ends
    // its controls' object names; `patients` is the branch's inpatient list
    // shared by both panels.
    ServiceDayPanel(const QString &side, TNetConnection &connection, ClientDataSet &patients,
                    QWidget *parent = nullptr);

    void SetBranch(const QString &branch) { m_branch = branch; }
    void SetDate(const QDate &date);

    // The chosen patient and date, and the current service record (empty
    // sequence when the day has none).
    QString Patient() const { return m_patient; }
    QString PatientName() const;
    QDate Date() const;
    QString Sequence() const;
    QString ServiceName() const;
    int ItemCount() const;

    // Reads the records of the day again (after a copy into them).
    void Reload();

    TEdit *edtPaciente;
    TBtnPesquisa *btnPaciente;
    TEdit *edtNmPaciente;
    TDateEditPlus *depData;
    TDBGrid *dbgServico;
    TDBGrid *dbgItens;
    ClientDataSet *cdsServico;
    ClientDataSet *cdsItens;

private:
    void edtPacienteExit();
    void btnPacienteAfterPesq();
    void depDataDateChange();
    void cdsServicoAfterScroll();
    // Finds the typed patient among the inpatients (the code adjusted to its
    // width); an unknown code is reported and ends the operation.
    void choosePatient(const QString &typed);
    void loadRecords();

    TNetConnection &m_connection;
    ClientDataSet &m_patients;
    QString m_branch;
    QString m_patient;
};
