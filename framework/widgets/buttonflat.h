#pragma once

#include <QToolButton>

#include <functional>

// A flat tool button. OnClick runs guarded. SetHint sets the tooltip and,
// for assistive technology, the accessible name.
class TButtonFlat : public QToolButton
{
    Q_OBJECT
public:
    explicit TButtonFlat(QWidget *parent = nullptr);

    void SetHint(const QString &hint);

    std::function<void()> OnClick;

protected:
    // What a click does; by default runs OnClick.
    virtual void runClick();
};
