#include "frmentparenteral.h"

TfrmEntParenteral::TfrmEntParenteral(QWidget *parent)
    : TfrmPadrao(parent)
{
    setObjectName(QStringLiteral("frmEntParenteral"));
    setWindowTitle(tr("Enteral/Parenteral"));
    SetCodTela(QStringLiteral("VQN18000"));
    SetActivePage(tshFormulario);
}

TfrmEntParenteral::~TfrmEntParenteral() = default;

void TfrmEntParenteral::FormCreate()
{
    TfrmPadrao::FormCreate();
    boFiltroCriado = false;
}

void TfrmEntParenteral::FormClose()
{
    Cli_vqn18000::boStCriado = false;
    TfrmPadrao::FormClose();
}
