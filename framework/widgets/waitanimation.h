#pragma once

class QWidget;

// The busy indicator: a wait cursor and a small "Aguarde..." label over the
// form, shown until the matching DeactiveShowAvi. Calls nest: the indicator
// goes away at the last DeactiveShowAvi. `kind` chooses the label's text
// (0 "Aguarde...", 6 "Aguarde, consultando...", any other the first).
void ActiveShowAvi(QWidget *form, int kind);
void DeactiveShowAvi();
// Whether the indicator is showing (for tests and diagnostics).
bool ShowAviActive();

// Shows the indicator for its lifetime, so that it goes away on every path,
// errors included:
//   WaitAnimation wait(this, 6);
class WaitAnimation
{
public:
    WaitAnimation(QWidget *form, int kind) { ActiveShowAvi(form, kind); }
    ~WaitAnimation() { DeactiveShowAvi(); }
    WaitAnimation(const WaitAnimation &) = delete;
    WaitAnimation &operator=(const WaitAnimation &) = delete;
};
