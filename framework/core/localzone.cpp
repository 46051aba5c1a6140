#include "core/localzone.h"

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

void KeepLocalTimeZone()
{
    if (!qEnvironmentVariableIsEmpty("TZ"))
        return;
    qputenv("TZ", QByteArrayLiteral(":/etc/localtime"));
    tzset();
}
