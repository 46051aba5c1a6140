#include "core/abort.h"

#include "core/interaction.h"

#include <QtGlobal>

bool runGuarded(const std::function<void()> &call)
{
    try {
        call();
        return true;
    } catch (const Abort &) {
        // The message, if any, was shown before the operation was ended.
    } catch (const UserError &error) {
        interaction().error(error.text());
    } catch (const std::exception &error) {
        interaction().error(QString::fromUtf8(error.what()));
    }
    return false;
}

bool runQuietly(const char *context, const std::function<void()> &call)
{
    try {
        call();
        return true;
    } catch (const UserError &error) {
        qWarning("%s: %s", context, qPrintable(error.text()));
    } catch (const std::exception &error) {
        qWarning("%s: %s", context, error.what());
    } catch (...) {
        qWarning("%s: unknown failure", context);
    }
    return false;
}
