#include "widgets/buttonflat.h"

#include "core/abort.h"

TButtonFlat::TButtonFlat(QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] { runClick(); });
}

void TButtonFlat::SetHint(const QString &hint)
{
    setToolTip(hint);
    setAccessibleName(hint);
}

void TButtonFlat::runClick()
{
    if (OnClick)
        runGuarded(OnClick);
}
