#pragma once

#include <QChar>
#include <QDate>
#include <QString>

class ClientDataSet;
class Field;

// Text, number and date utilities shared by every screen. None needs a widget.

// True when the text holds no letter and no digit: blank text, and the text
// of an untouched masked edit ("  /  /    ", "    :  ") alike.
bool EmptyString(const QString &text);
// The text without blanks at either end.
QString AllTrim(const QString &text);
// The text right-aligned in `width` characters, filled on the left; a longer
// text is returned whole.
QString PadL(const QString &text, int width, QChar fill = QLatin1Char(' '));
// Fits a code to its width: blanks at both ends are dropped, then the rest is
// right-aligned with zeros ("5" -> "05", "8 " and " 8" -> "08"). Blanks inside
// stay ("1 2" at width 4 -> "01 2"), blank or empty text gives an empty text,
// and a text longer than the width is returned whole.
QString Ajusta(const QString &text, int width);
// Rounds half away from zero to `places` decimals.
double RoundDec(double value, int places);
// Keystroke check of a numeric editor holding `text` with the selection
// [selStart, selStart + selLength): true when the key may be typed. A refused
// key is set to QChar(). Control keys (backspace...) always pass; digits pass
// while the number keeps at most `intDigits` digits before the decimal comma
// and `decDigits` after it; "." is taken as the decimal comma and the key is
// turned into ","; one comma may be typed, none when `decDigits` is 0; a minus
// sign only as the first character. Every other key is refused.
bool MaxNumber(const QString &text, int intDigits, int decDigits, QChar &key, int selStart,
               int selLength);
// The classic-notation edit mask of a date entered as dd/MM/yyyy:
// "99/99/9999;1; ". Its last four characters are the ";1; " suffix, so the
// mask without them followed by " 99:99;1; " is the mask of a date-time.
QString DateMask();
// The weekday of the date in Portuguese ("Segunda-feira"); empty for an
// invalid (empty) date.
QString NomeSemana(const QDate &date);
// Age at `today` of someone born on `birth`: complete years and the complete
// months after them. A month is complete on the same day of a later month, or
// on that month's last day when it is shorter (born on 31/01, one month on
// 28/02). A birth after today or an invalid date gives 0 and 0.
void Idade(const QDate &today, const QDate &birth, int &years, int &months);
// Stores text typed into a date-time field with the mask of DateMask plus
// " 99:99": "dd/MM/yyyy HH:mm". The untouched mask clears the field; a blank
// time part reads as midnight. Text that is no date-time is reported through
// MensErro ("'<text>' não é uma data válida."), which ends the operation and
// leaves the field as it was.
void CheckDateTime(Field &field, const QString &text);
// Before a post: every text field of the record being edited or inserted
// whose value is blank becomes null, so blanks never reach the database.
// Does nothing while the dataset is neither editing nor inserting.
void Seta_Campo_Null(ClientDataSet &dataSet);
