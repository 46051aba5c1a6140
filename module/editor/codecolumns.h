#pragma once

#include "editor/commandstates.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

class ClientDataSet;
class TADOIBQuery;

// A code column of a record level: the user types or picks a code, which is
// checked (by the server, or by the pick list's own statement) and replaced
// by its stored form and its name; the grid may draw the name over the code.
// The editor keeps one description per code column
// (TfrmEntParenteral::buildCodeColumns); the column check, the ellipsis pick
// list and the drawing all read it, so a new code column is a new
// description.
struct CodeColumn
{
    RecordLevelId level;
    QString codeField;
    QString nameField;
    // The check: checkMethod(values of checkLeadingFields of the current
    // record..., code, branch), answered into checkAnswer, whose first row
    // holds codeField and nameField; none means the code is unknown.
    // Without a method the lookup statement checks the code: it is opened
    // with codeParameter set to the code, and its row gives the name.
    QString checkMethod;
    QStringList checkLeadingFields;
    ClientDataSet *checkAnswer = nullptr;
    // The pick list: its statement, whose P_CDFILIAL (when it names one) is
    // the branch and whose other parameters take fields of the current
    // record.
    TADOIBQuery *lookup = nullptr;
    QList<QPair<QString, QString>> lookupParameters;   // parameter, record field
    // Message keys: pick-list title and empty-list text, unknown code,
    // missing code.
    QString titleKey;
    QString emptyKey;
    QString unknownKey;
    QString missingKey;
    // Whether the check sends the branch after the code (codes of the whole
    // suite, such as access routes, are checked by code alone).
    bool checkSendsBranch = true;
    // The lookup's parameter for the code when the lookup checks it (no
    // checkMethod); the pick list leaves it empty, so it lists every code.
    QString codeParameter;
};

// A field's value in one row of a grid: the row being drawn, or the row a
// screen reader reads.
using RowValue = std::function<QVariant(const QString &fieldName)>;
// The code column whose name a grid shows over a field's cell in a row; none
// when the cell shows its own text.
using NameColumnOf = std::function<std::optional<CodeColumn>(const QString &fieldName, const RowValue &value)>;
