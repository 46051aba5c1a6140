#pragma once

#include "widgets/focusaware.h"

#include <QFrame>

#include <functional>

// A container whose OnEnter runs when the focus comes into it from a widget
// outside, and whose OnExit runs when the focus leaves it for a widget outside
// (see FocusAware: a failing OnExit keeps the focus inside). Both guarded.
class TPanel : public QFrame, public FocusAware
{
    Q_OBJECT
public:
    explicit TPanel(QWidget *parent = nullptr);

    std::function<void()> OnEnter;
    std::function<void()> OnExit;

protected:
    bool focusEntered() override;
    bool focusLeft() override;
};
