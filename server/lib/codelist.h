#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// The code lists the marking search list produces: codes separated by commas,
// each enclosed in single quotes, a quote inside a code doubled:
//   '0001','A''B'
// Blanks around the commas are allowed; an empty text is an empty list.
// Throws RequestError on any other text. This is the only reader of the
// format on the server; the codes it yields reach SQL only as bound values.
QStringList parseCodeList(const QString &text);


// The SQL condition of one all-or-list filter: empty when the flag is "T"
// (all values); otherwise "column IN (?, ...)" with the parsed codes appended
// to binds, or a condition that matches nothing for an empty list.
QString codeListCondition(const QString &column, const QString &allFlag, const QString &list,
                          QVariantList &binds);
