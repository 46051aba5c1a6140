#include "frmautoenteral.h"

TfrmAutoEnteral::TfrmAutoEnteral(QWidget *parent)
    : TfrmRotiGeral(parent)
{
    setObjectName(QStringLiteral("frmAutoEnteral"));
    setWindowTitle(tr("Automático"));
    SetCodTela(QStringLiteral("VQN18030"));
}

TfrmAutoEnteral::~TfrmAutoEnteral() = default;
