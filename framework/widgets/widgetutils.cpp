#include "widgets/widgetutils.h"

#include "core/clientdataset.h"
#include "core/consiste.h"
#include "widgets/datasetmodel.h"
#include "widgets/dbgrid.h"

#include <QLineEdit>

int IndiceCol(TDBGrid &grid, const QString &fieldName)
{
    for (int i = 0; i < grid.ColumnCount(); ++i) {
        const Field *field = grid.Model()->FieldAt(i);
        if (field && field->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void SetChildEnabled(QWidget *container, bool enabled)
{
    if (!container)
        return;
    for (QWidget *child : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->setEnabled(enabled);
}

// The key replaces the selection, or goes in at the caret when nothing is
// selected: the check sees the text that would result.
bool EditMaxNumber(const QLineEdit &editor, int intDigits, int decDigits, QChar &key)
{
    const bool selection = editor.hasSelectedText();
    const int start = selection ? editor.selectionStart() : editor.cursorPosition();
    const int length = selection ? int(editor.selectedText().size()) : 0;
    return MaxNumber(editor.text(), intDigits, decDigits, key, start, length);
}

bool GridMaxNumber(const TDBGrid &grid, int intDigits, int decDigits, QChar &key)
{
    const QLineEdit *editor = grid.InplaceEditor();
    if (!editor)
        return MaxNumber(QString(), intDigits, decDigits, key, 0, 0);
    return EditMaxNumber(*editor, intDigits, decDigits, key);
}
