#include "widgets/panel.h"

#include "core/abort.h"

TPanel::TPanel(QWidget *parent) : QFrame(parent), FocusAware(this)
{
}

bool TPanel::focusEntered()
{
    return !OnEnter || runGuarded(OnEnter);
}

bool TPanel::focusLeft()
{
    return !OnExit || runGuarded(OnExit);
}
