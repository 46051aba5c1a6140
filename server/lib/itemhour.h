#pragma once

#include <QString>

// The clock text "hhmm" that an item stores beside its real hour, to the
// nearest minute: 8.5 gives "0830". An item's hour stays on its day, so a
// value that rounds to 24:00 or beyond gives "2359" and a negative one "0000".
QString itemHourText(double hours);
