#pragma once

#include "screens/frmrotigeral.h"

#include <QDate>
#include <QList>
#include <QStringList>
#include <QVariant>

class ClientDataSet;
class QChartView;
class QComboBox;
class QLabel;
class QTabWidget;
class QToolButton;
class TDateEditPlus;
class TDBGrid;
class TNetConnection;

// The statistics of diets (screen "VQN18100"), opened by the editor through
// the host's screen loader with the branch code as its single value. For a
// period of service dates and a system (open by default, closed or all):
// prescriptions, items and volumes prescribed and infused per service and
// diet with the share delivered, and the interruptions per occurrence type;
// each as a table and a chart. "Atualizar" reads them again; "Exportar"
// writes both tables to a CSV file.
class TfrmEstatistica : public TfrmRotiGeral
{
    Q_OBJECT
public:
    explicit TfrmEstatistica(const QVariant &value, QWidget *parent = nullptr);
    ~TfrmEstatistica() override;

    void FormShow() override;
    // "Atualizar": checks the period and reads the statistics.
    void sbtConfirmaClick() override;
    void sbtExportarClick();

    QString Branch() const { return m_branch; }
    // The whole statistics as CSV lines, as "Exportar" writes them.
    QList<QStringList> CsvLines() const;

    TNetConnection *netEstatistica;
    ClientDataSet *cdsDietas;
    ClientDataSet *cdsInterrupcoes;
    TDateEditPlus *depDataIni;
    TDateEditPlus *depDataFim;
    QComboBox *cbbSistema;
    QTabWidget *pgcEstatistica;
    TDBGrid *dbgDietas;
    TDBGrid *dbgInterrupcoes;
    QLabel *lblTotais;
    QChartView *chtVolumes;
    QChartView *chtInterrupcoes;
    QAction *actExportar;
    QToolButton *sbtExportar;

private:
    void buildControls();
    void declareDataSets();
    // "A", "F" or "T" for the chosen system.
    QString systemCode() const;
    void checkPeriod();
    void showTotals();

    QString m_branch;
    bool m_loaded = false;
    // The period and system of the figures on display.
    QDate m_first;
    QDate m_last;
    QString m_system;
};

// Creates the screen for the host's screen loader.
QDialog *CriaEstatistica(const QVariant &value, QWidget *parent);
