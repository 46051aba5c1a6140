#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Text for spreadsheets set to Brazilian Portuguese: fields separated by
// ";" (the comma is the decimal separator there), numbers with a decimal
// comma and no thousands separator, a field holding ";", a quote or a line
// break in double quotes (quotes doubled), lines ended by CR LF.
QString CsvNumber(double value, int decimals);
QString CsvLine(const QStringList &fields);
// The lines as a file's bytes: UTF-8 with its byte order mark, by which
// spreadsheets recognise the encoding instead of guessing a legacy one.
QByteArray CsvFile(const QList<QStringList> &lines);
