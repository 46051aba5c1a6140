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
class QSpinBox;
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
// each as a table and a chart; and the inpatients at risk: those whose
// infused energy stayed below a share of their goal on each of their last
// days with items up to the final date (a double-click opens their nutrient
// calculation of that date). "Atualizar" reads them again; "Exportar"
// writes the tables to a CSV file.
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
    // Rebuilt for the number of days read: per day DTDIAn and PCKCALINFUn.
    ClientDataSet *cdsRisco = nullptr;
    TDateEditPlus *depDataIni;
    TDateEditPlus *depDataFim;
    QComboBox *cbbSistema;
    QTabWidget *pgcEstatistica;
    TDBGrid *dbgDietas;
    TDBGrid *dbgInterrupcoes;
    QSpinBox *speLimite;
    QSpinBox *speDias;
    TDBGrid *dbgRisco;
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
    QWidget *buildRiskPage();
    // Reads the inpatients at risk on the day.
    void loadRisk(const QDate &day);
    void declareRiskDataSet(int days);
    // Opens the nutrient calculation of the patient of the at-risk row.
    void openCalculation(int row);

    QString m_branch;
    bool m_loaded = false;
    // The period and system of the figures on display.
    QDate m_first;
    QDate m_last;
    QString m_system;
};

// Creates the screen for the host's screen loader.
QDialog *CriaEstatistica(const QVariant &value, QWidget *parent);
