#pragma once

#include <QString>
#include <QVariant>

#include <functional>

// Texts of a report definition with fields in braces: "Leito {CDLEITO}",
// "{DTSERVINTE:dd/MM/yyyy}", "{QTPRATCONF:n3}". The name is looked up in the
// row, the totals or the parameters; after a colon comes its format:
//   nN        number with N decimals and thousands separators (1.234,500)
//   hhmm      a four-digit clock text shown as 08:30
//   otherwise a date pattern (dd/MM/yyyy HH:mm)
// Without a format a date shows as dd/MM/yyyy (with HH:mm when it has a
// time), a number with the decimals it needs. Null shows as nothing; an
// unknown name shows as it was written, so a typing error is seen on paper.
using ReportLookup = std::function<bool(const QString &name, QVariant *value)>;

QString fillReportTemplate(const QString &text, const ReportLookup &lookup);
QString formatReportValue(const QVariant &value, const QString &format);
