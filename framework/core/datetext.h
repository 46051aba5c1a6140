#pragma once

#include <QDate>
#include <QString>

// A day as a server call's date argument: its midnight in ISO text.
QString DateArgument(const QDate &day);
// A day as the screens show it, dd/MM/yyyy.
QString DayText(const QDate &day);
