#pragma once

#include <QString>
#include <QStringList>

// The code list text made by the marking search list and read by the
// application server and the report engine: each code enclosed in single
// quotes, a quote inside a code doubled, codes separated by commas:
//   '0001','A''B'
// An empty text means that nothing was chosen.
QString BuildCodeList(const QStringList &codes);
// The codes of a code list text, in order. Blanks around the separators are
// allowed; a malformed text gives the codes read before the fault.
QStringList ParseCodeList(const QString &text);
// The codes of a code list text into *codes; false (and the codes read
// before the fault) when the text is not entirely a code list.
bool ParseCodeListStrict(const QString &text, QStringList *codes);
