#include "frmfiltrarentparent.h"

TfrmFiltrarEntParent::TfrmFiltrarEntParent(QWidget *parent)
    : TfrmRotiGeral(parent)
{
    setObjectName(QStringLiteral("frmFiltrarEntParent"));
    setWindowTitle(tr("Filtrar"));
    SetCodTela(QStringLiteral("VQN18010"));
    SetHelp({QStringLiteral("vqnhelp.hlp"), 11111200});
    // Only the close icon on the border.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
}

TfrmFiltrarEntParent::~TfrmFiltrarEntParent() = default;
