#include "widgets/edit.h"

#include "core/abort.h"
#include "widgets/keychar.h"

#include <QKeyEvent>

#include <memory>

TEdit::TEdit(QWidget *parent) : QLineEdit(parent), FocusAware(this)
{
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange)
            runGuarded(OnChange);
    });
}

void TEdit::keyPressEvent(QKeyEvent *event)
{
    const QChar typed = typedChar(*event);
    if (typed.isNull() || !OnKeyPress) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QChar key = typed;
    if (!runGuarded([&] { OnKeyPress(key); }) || key.isNull()) {
        event->accept();
        return;
    }
    if (key == typed) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const std::unique_ptr<QKeyEvent> retyped(retypedEvent(*event, key));
    QLineEdit::keyPressEvent(retyped.get());
    event->setAccepted(retyped->isAccepted());
}

bool TEdit::focusEntered()
{
    return !OnEnter || runGuarded(OnEnter);
}

bool TEdit::focusLeft()
{
    return !OnExit || runGuarded(OnExit);
}
