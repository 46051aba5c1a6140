#pragma once

#include <QChar>

class QKeyEvent;

// The character a key press types, as key-press handlers see it: Enter is
// '\r', Backspace '\b', Escape '\x1b', a printable key its text; QChar() for
// keys that type nothing (arrows, Tab, Delete, function keys, shortcuts held
// with Ctrl).
QChar typedChar(const QKeyEvent &event);

// A copy of the key press typing `key` instead (same key code and modifiers).
// The caller owns it.
QKeyEvent *retypedEvent(const QKeyEvent &event, QChar key);
