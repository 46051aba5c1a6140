#pragma once

class QWidget;

// A control or container whose enter and exit handlers follow the focus the
// way the module's screens expect: when the focus moves from one control to
// another in the same form, the exit handlers of what is left run first
// (innermost first), then the enter handlers of what is entered (outermost
// first). A container counts as entered or left only when the focus comes
// from, or goes to, a widget outside it; a grid's cell editor is inside its
// grid.
//
// Between controls outside grids, exit handlers run with the focus back on
// the control being left, so that a message they show has the focus where
// the entry is to be corrected; enter handlers run once the focus is on the
// control entered. A failing exit handler (it ended the operation) cancels
// the move: the focus stays on (or goes back to) the control it came from,
// unless the handler put it somewhere itself, and no enter handler runs. An
// exit handler that puts the focus elsewhere and passes redirects the move.
// A failing enter handler sends the focus back as well.
// Focus changes made by handlers, and moves to another window (a message
// box, a dialog), fire nothing at that moment; the next move within the form
// starts from where the focus settled.
class FocusAware
{
public:
    FocusAware(const FocusAware &) = delete;
    FocusAware &operator=(const FocusAware &) = delete;

protected:
    explicit FocusAware(QWidget *widget);
    virtual ~FocusAware();

    // Run the handlers guarded; false when the operation was ended.
    virtual bool focusEntered() = 0;
    virtual bool focusLeft() = 0;

private:
    friend class FocusTracker;
};
