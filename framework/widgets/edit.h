#pragma once

#include "widgets/focusaware.h"

#include <QLineEdit>

#include <functional>

// A line edit with the module's handlers, each run guarded (an ended
// operation leaves the edit usable):
//   OnChange    after every change of the text, typed or set;
//   OnKeyPress  for every typed character (Enter '\r', Backspace '\b'
//               included); set the key to QChar() to discard it, or to
//               another character to type that instead;
//   OnEnter / OnExit  when the focus enters or leaves (see FocusAware).
class TEdit : public QLineEdit, public FocusAware
{
    Q_OBJECT
public:
    explicit TEdit(QWidget *parent = nullptr);

    virtual QString Text() const { return text(); }
    virtual void SetText(const QString &text) { setText(text); }
    int MaxLength() const { return maxLength(); }
    void SetMaxLength(int length) { setMaxLength(length); }

    std::function<void()> OnChange;
    std::function<void(QChar &key)> OnKeyPress;
    std::function<void()> OnEnter;
    std::function<void()> OnExit;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool focusEntered() override;
    bool focusLeft() override;
};
