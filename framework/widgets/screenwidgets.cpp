#include "widgets/screenwidgets.h"

#include "core/clientdataset.h"
#include "widgets/dbgrid.h"

#include <QLabel>

TDBGrid *NewReadOnlyGrid(const QString &objectName, const QString &accessibleName, ClientDataSet *data)
{
    auto *grid = new TDBGrid;
    grid->setObjectName(objectName);
    grid->setAccessibleName(accessibleName);
    grid->SetDataSet(data);
    grid->SetReadOnly(true);
    return grid;
}

QLabel *BuddyLabel(const QString &text, QWidget *control)
{
    auto *label = new QLabel(text);
    label->setBuddy(control);
    if (control->accessibleName().isEmpty())
        control->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    return label;
}
