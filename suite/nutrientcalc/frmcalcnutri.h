#pragma once

#include "screens/frmrotigeral.h"

#include <QDate>
#include <QString>
#include <QVariant>

class ClientDataSet;
class QAction;
class QChartView;
class QGroupBox;
class QLabel;
class QTabWidget;
class QToolButton;
class TDBGrid;
class TNetConnection;
struct ReportRows;

// Nutrient calculation (screen "VQN19040"): for a patient's day, what was
// prescribed and what was infused per item and in total, the share
// delivered, energy and protein from the formulations' composition per mL,
// and the interruptions with their minutes; a chart of prescribed against
// infused per item; the composition of the day's formulations and the
// branch's safe hang times, edited in place and stored with Gravar;
// printing through the report engine. Beside them the day's adequacy to the
// admission's energy and protein goals, the goals themselves (page "Metas",
// stored with Gravar) and the stay day by day up to the day (page
// "Evolução", with its chart and its own print).
//
// It is opened with the list the editor hands it: patient code, "S", the
// day (a date) and the branch code.
class TfrmCalcNutri : public TfrmRotiGeral
{
    Q_OBJECT
public:
    explicit TfrmCalcNutri(const QVariant &value, QWidget *parent = nullptr);
    ~TfrmCalcNutri() override;

    void FormShow() override;
    // Gravar: stores the composition and hang-time changes, then
    // calculates again.
    void sbtConfirmaClick() override;
    void sbtAtualizarClick();
    void sbtImprimirClick();
    // Prints the stay day by day (report "VQN19040E").
    void sbtImprimirEvolucaoClick();

    QString Patient() const { return m_patient; }
    QDate Day() const { return m_day; }
    QString Branch() const { return m_branch; }

    ClientDataSet *cdsItens;
    ClientDataSet *cdsTotais;
    ClientDataSet *cdsInterrupcoes;
    ClientDataSet *cdsComposicao;
    ClientDataSet *cdsParaHang;
    ClientDataSet *cdsMetas;
    ClientDataSet *cdsEvolucao;
    TNetConnection *netCalcNutri;

    QLabel *lblPaciente;
    QTabWidget *pgcCalculo;
    TDBGrid *dbgItens;
    // The day's totals, one caption and value per figure; each value label
    // is named "lblTotal" and the field (lblTotalQTPRATCONF).
    QGroupBox *grbTotais;
    QChartView *chvVolumes;
    TDBGrid *dbgInterrupcoes;
    TDBGrid *dbgComposicao;
    TDBGrid *dbgParaHang;
    // The day's goal, prescribed and infused energy and protein and their
    // share of the goal; value labels "lblAdequacao" + field.
    QGroupBox *grbAdequacao;
    QLabel *lblMetaDia;
    TDBGrid *dbgMetas;
    TDBGrid *dbgEvolucao;
    QChartView *chvEvolucao;
    QToolButton *sbtImprimirEvolucao;
    QAction *actAtualizar;
    QAction *actImprimir;
    QToolButton *sbtAtualizar;
    QToolButton *sbtImprimir;

private:
    void declareDataSets();
    void buildControls();
    void buildTotals();
    void showTotals();
    void declareGoalDataSets();
    QWidget *buildEvolutionPage();
    // Reads the admission's goals and its stay up to the day.
    void loadGoals();
    void showAdequacy();
    void showEvolutionChart();
    ReportRows evolutionRows() const;
    void addCommandButton(QToolButton *&button, QAction *&action, const QString &name, const QString &text,
                          const QString &hint, const QString &icon, void (TfrmCalcNutri::*handler)());
    // Reads the calculation and the composition from the server.
    void loadCalculation();
    void showChart();
    // Sends the dataset's changes with the method; on a refusal the screen
    // reads what is stored again before the refusal is reported.
    void storeChanges(ClientDataSet &dataSet, const QString &method);
    // The rows the report prints: one per item and interruption, each with
    // the patient, the day and the day's totals.
    ReportRows reportRows() const;

    QString m_patient;
    QDate m_day;
    QString m_branch;
};

// Creates the screen for the host's screen loader.
QDialog *CriaCalcNutri(const QVariant &value, QWidget *parent);
