#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Where report definitions live. A report code has its definition file
// "<code>.json" and any copies saved under another title, "<code>-<n>.json".
// Two folders hold them: the user's data folder (copies and edited
// definitions), searched first, and the folder "reports" next to the
// executable (definitions shipped with the host). A file in the user's
// folder hides the shipped file of the same name.
namespace ReportCatalog {

struct Entry
{
    QString title;
    QString fileName;   // full path
};

QString shippedFolder();
QString userFolder();
// Points the catalog at other folders (tests); empty texts restore the
// defaults.
void setFolders(const QString &user, const QString &shipped);

// The definitions of a code, the main one ("<code>.json") first, then the
// copies in the order of their names. Empty when there is none.
QList<Entry> entries(const QString &code);

// Writes a copy of a definition with another title into the user's folder
// under the next free name; returns its path. Throws UserError when the file
// cannot be read or written.
QString saveCopy(const QString &sourceFile, const QString &title);
// Writes an edited definition text into the user's folder under the file
// name of the definition it replaces; returns its path. Throws UserError
// when the text is no valid definition (nothing is written then) or the file
// cannot be written.
QString saveEdited(const QString &sourceFile, const QByteArray &text);
// The text of a definition file; throws UserError when it cannot be read.
QByteArray readText(const QString &fileName);

} // namespace ReportCatalog
