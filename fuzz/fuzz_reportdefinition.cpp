// Report definitions, read from the JSON files beside the executables.
#include "fuzzinput.h"

#include "core/abort.h"
#include "report/reportdefinition.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json = fuzzBytes(data, size);
    ReportDefinition::titleOf(json);
    try {
        ReportDefinition::fromJson(json);
    } catch (const UserError &) {
    }
    return 0;
}
