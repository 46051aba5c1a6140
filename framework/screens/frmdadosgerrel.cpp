#include "screens/frmdadosgerrel.h"

#include "core/abort.h"
#include "screens/guardedconnect.h"
#include "core/interaction.h"
#include "report/reportcatalog.h"
#include "report/reportdesigner.h"
#include "screens/screencommands.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A message with "%s" slots filled in order.
QString fillSlots(QString text, const QStringList &values)
{
    for (const QString &value : values) {
        const qsizetype at = text.indexOf(QLatin1String("%s"));
        if (at < 0)
            break;
        text.replace(at, 2, value);
    }
    return text;
}

} // namespace

TfrmDadosGerRel::TfrmDadosGerRel(QWidget *parent)
    : TfrmRotiGeral(parent), rpddPadrao(new TReportDesigner(this))
{
    setObjectName(QStringLiteral("frmDadosGerRel"));
    // The report buttons take the place of the confirm button.
    actConfirma->setEnabled(false);
    sbtConfirma->hide();

    panMenu = new QWidget(this);
    panMenu->setObjectName(QStringLiteral("panMenu"));
    panMenu->setAccessibleName(tr("Menu"));
    auto *menu = new QHBoxLayout(panMenu);
    menu->setContentsMargins(0, 0, 0, 0);
    actPrint = addReportCommand(QStringLiteral("Print"), tr("&Imprimir"), tr("Imprimir"),
                                QStringLiteral("document-print"), &TfrmDadosGerRel::sbtPrintClick, sbtPrint);
    actPrint->setShortcut(QKeySequence::Print);
    actPreview = addReportCommand(QStringLiteral("Preview"), tr("&Visualizar"), tr("Visualizar"),
                                  QStringLiteral("document-print-preview"), &TfrmDadosGerRel::sbtPreviewClick,
                                  sbtPreview);
    actSalvarComo = addReportCommand(QStringLiteral("SalvarComo"), tr("&Salvar como"), tr("Salvar como"),
                                     QStringLiteral("document-save-as"), &TfrmDadosGerRel::sbtSalvarComoClick,
                                     sbtSalvarComo);
    actReportEdit = addReportCommand(QStringLiteral("ReportEdit"), tr("&Editar relatório"), tr("Editar relatório"),
                                     QStringLiteral("document-edit"), &TfrmDadosGerRel::sbtReportEditClick,
                                     sbtReportEdit);
    menu->addStretch(1);
    lblCodRel = new QLabel(panMenu);
    lblCodRel->setObjectName(QStringLiteral("lblCodRel"));
    lblCodRel->setAccessibleName(tr("Código do relatório"));
    menu->addWidget(lblCodRel);
    static_cast<QBoxLayout *>(layout())->insertWidget(0, panMenu);

    panRelat = new QWidget(grbDados);
    panRelat->setObjectName(QStringLiteral("panRelat"));
    panRelat->setAccessibleName(tr("Relatório"));
    auto *report = new QHBoxLayout(panRelat);
    report->setContentsMargins(0, 0, 0, 0);
    auto *reportLabel = new QLabel(tr("&Relatório"), panRelat);
    cbbReportNames = new QComboBox(panRelat);
    cbbReportNames->setObjectName(QStringLiteral("cbbReportNames"));
    cbbReportNames->setAccessibleName(tr("Relatório"));
    cbbReportNames->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    reportLabel->setBuddy(cbbReportNames);
    report->addWidget(reportLabel);
    report->addWidget(cbbReportNames, 1);
    auto *separator = new QFrame(grbDados);
    separator->setObjectName(QStringLiteral("bvlSeparador"));
    separator->setFrameShape(QFrame::HLine);
    layDados = new QGridLayout;
    auto *data = static_cast<QGridLayout *>(grbDados->layout());
    data->addWidget(panRelat, 0, 0);
    data->addWidget(separator, 1, 0);
    data->addLayout(layDados, 2, 0);
    data->setRowStretch(2, 1);
}

TfrmDadosGerRel::~TfrmDadosGerRel() = default;

QAction *TfrmDadosGerRel::addReportCommand(const QString &name, const QString &text, const QString &hint,
                                           const QString &iconName, void (TfrmDadosGerRel::*handler)(),
                                           QToolButton *&button)
{
    QAction *action = CreateCommand(this, QStringLiteral("act") + name, text, hint, iconName);
    addAction(action);
    connectGuarded(action, &QAction::triggered, this, handler);
    button = CreateCommandButton(panMenu, QStringLiteral("sbt") + name, action);
    button->setFocusPolicy(Qt::NoFocus);
    panMenu->layout()->addWidget(button);
    return action;
}

QString TfrmDadosGerRel::CodRel() const
{
    return lblCodRel->text();
}

void TfrmDadosGerRel::SetCodRel(const QString &code)
{
    lblCodRel->setText(code);
    rpddPadrao->ReportCode = code;
    LoadReportNames();
}

void TfrmDadosGerRel::LoadReportNames(const QString &select)
{
    const QString keep = select.isEmpty() ? cbbReportNames->currentData().toString() : select;
    cbbReportNames->clear();
    for (const ReportCatalog::Entry &entry : ReportCatalog::entries(CodRel()))
        cbbReportNames->addItem(entry.title, entry.fileName);
    const int index = cbbReportNames->findData(keep);
    cbbReportNames->setCurrentIndex(index >= 0 ? index : 0);
}

void TfrmDadosGerRel::FormCreate()
{
    TfrmRotiGeral::FormCreate();
    LoadReportNames();
}

void TfrmDadosGerRel::FormShow()
{
    TfrmRotiGeral::FormShow();
    FormActivate();
}

void TfrmDadosGerRel::FormActivate()
{
}

void TfrmDadosGerRel::withDefinition(const std::function<void()> &work)
{
    rpddPadrao->ReportCode = CodRel();
    rpddPadrao->DefinitionFile = cbbReportNames->currentData().toString();
    try {
        work();
    } catch (const ReportMissing &missing) {
        MensErro(fillSlots(msgPadrao.Msg(QStringLiteral("Arq_Rel_Err")), {missing.code(), missing.folder()}));
    }
}

void TfrmDadosGerRel::sbtPrintClick()
{
    withDefinition([this] { rpddPadrao->Print(); });
}

void TfrmDadosGerRel::sbtPreviewClick()
{
    withDefinition([this] { rpddPadrao->Preview(); });
}

void TfrmDadosGerRel::sbtSalvarComoClick()
{
    withDefinition([this] {
        const QString source = rpddPadrao->ResolvedFile();
        QInputDialog ask(this);
        ask.setObjectName(QStringLiteral("dlgNovoTitulo"));
        ask.setWindowTitle(msgPadrao.Msg(QStringLiteral("NovoCaption")));
        ask.setLabelText(msgPadrao.Msg(QStringLiteral("NovoPrompt")));
        ask.setTextValue(cbbReportNames->currentText());
        if (interaction().execDialog(ask) != QDialog::Accepted || ask.textValue().trimmed().isEmpty())
            return;
        LoadReportNames(ReportCatalog::saveCopy(source, ask.textValue().trimmed()));
    });
}

void TfrmDadosGerRel::sbtReportEditClick()
{
    withDefinition([this] {
        const QString written = rpddPadrao->Edit();
        if (!written.isEmpty())
            LoadReportNames(written);
    });
}
