#pragma once

#include "core/abort.h"

#include <QString>

class TMessages;

// Hours of the day and durations are real numbers of hours (8.5 is 8 h 30 min)
// entered as text: a clock text "HHMM" (mask "99:99;0; ") or a duration text
// "HHHH:MM" (mask "9999:99;1; "). Text-to-real conversions round to 8 decimals.

// A part of an hour text that is not a number. Its text names the offending
// part; nothing is shown when it is raised.
class HourConversionError : public UserError
{
public:
    using UserError::UserError;
};

// Duration text to hours. Hours before the first ":", at most two minute
// characters after it (without a colon, the first two characters are the
// minutes); blank parts count as 0, and neither part is range-checked
// ("0002:75" gives 3.25). A part that is not a number shows the screen's
// `ValCons_Inv` message as an error and ends the operation with Abort.
double StTimeReal(const QString &text, const TMessages &messages);

// Hours to duration text: the whole hours right-aligned with blanks in four
// characters (more digits when needed), ":", then the rounded minutes in two
// digits. The minutes never carry into the hours (1.9999 gives "   1:60").
QString RealToStTime(double hours);

// Clock text to hours: characters 1-2 are the hours, 3-4 the minutes, blank
// parts count as 0, no range check ("2575" gives 26.25). Throws
// HourConversionError when a part is not a number.
double StTimeToReal(const QString &text);

// Clock text normalised to four characters: each two-character half fitted
// with Ajusta, a blank half becoming "00" ("5" gives "0500").
QString Ajusta_Hora(const QString &text);
