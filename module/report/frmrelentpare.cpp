#include "frmrelentpare.h"

TfrmRelEntPare::TfrmRelEntPare(QWidget *parent)
    : TfrmRotiGeral(parent)
{
    setObjectName(QStringLiteral("frmRelEntPare"));
    setWindowTitle(tr("Enteral/Parenteral"));
    SetCodTela(QStringLiteral("VQN18020"));
}

TfrmRelEntPare::~TfrmRelEntPare() = default;
