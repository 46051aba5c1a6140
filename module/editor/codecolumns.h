#pragma once

#include "editor/commandstates.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class ClientDataSet;
class TADOIBQuery;

// A code column of a record level: the user types or picks a code, the
// server checks it and answers its stored form and its name, and the grid
// draws the name over the code. The editor keeps one description per code
// column (TfrmEntParenteral::buildCodeColumns); the column check, the
// ellipsis pick list and the drawing all read it, so a new code column is a
// new description.
struct CodeColumn
{
    RecordLevelId level;
    QString codeField;
    QString nameField;
    // The check: checkMethod(values of checkLeadingFields of the current
    // record..., code, branch), answered into checkAnswer, whose first row
    // holds codeField and nameField; none means the code is unknown.
    QString checkMethod;
    QStringList checkLeadingFields;
    ClientDataSet *checkAnswer = nullptr;
    // The pick list: its statement, whose P_CDFILIAL (when it has one) is
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
};
