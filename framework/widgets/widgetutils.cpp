#include "widgetutils.h"

#include "clientdataset.h"
#include "datasetmodel.h"
#include "dbgrid.h"

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
