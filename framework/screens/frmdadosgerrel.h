#pragma once

#include "screens/frmrotigeral.h"

#include <functional>

class QComboBox;
class QGridLayout;
class TReportDesigner;

// The report-parameter screen: a general routine dialog (screen code,
// data group, help and close; no confirm) with a menu panel across the top
// holding print, preview, save-as and report edit and the report code
// (lblCodRel), and in the data group the report-name panel (panRelat, with
// the definitions of the report in cbbReportNames) above a separator and the
// grid (layDados) that the derived screen fills with its criteria. The report
// engine rpddPadrao asks the screen for the query's parameters.
//
// The derived screen fills msgPadrao, which must hold Arq_Rel_Err (report
// code and folder as %s), NovoCaption and NovoPrompt. Handlers are virtual
// and run guarded; a derived handler calls the inherited one. FormActivate
// runs at every show.
class TfrmDadosGerRel : public TfrmRotiGeral
{
    Q_OBJECT
public:
    explicit TfrmDadosGerRel(QWidget *parent = nullptr);
    ~TfrmDadosGerRel() override;

    QString CodRel() const;
    // Sets the report code and lists its definitions.
    void SetCodRel(const QString &code);
    // Lists the report's definitions again, choosing the given file (else
    // keeping the chosen one).
    void LoadReportNames(const QString &select = QString());

    void FormCreate() override;
    void FormShow() override;
    virtual void FormActivate();
    virtual void sbtPrintClick();
    virtual void sbtPreviewClick();
    virtual void sbtSalvarComoClick();
    virtual void sbtReportEditClick();

    QWidget *panMenu;
    QLabel *lblCodRel;
    QWidget *panRelat;
    QComboBox *cbbReportNames;
    QGridLayout *layDados;
    QAction *actPrint;
    QAction *actPreview;
    QAction *actSalvarComo;
    QAction *actReportEdit;
    QToolButton *sbtPrint;
    QToolButton *sbtPreview;
    QToolButton *sbtSalvarComo;
    QToolButton *sbtReportEdit;

    TReportDesigner *rpddPadrao;

private:
    // A report command with its button on the menu panel.
    QAction *addReportCommand(const QString &name, const QString &text, const QString &hint,
                              const QString &iconName, void (TfrmDadosGerRel::*handler)(), QToolButton *&button);
    // Points the engine at the chosen definition; runs `work` and reports a
    // missing definition file with Arq_Rel_Err.
    void withDefinition(const std::function<void()> &work);
};
