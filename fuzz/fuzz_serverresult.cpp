// The answer envelope of the application server, as the client reads it:
// whatever arrives reads as a success or a failure with a message.
#include "fuzzinput.h"

#include "core/serverresult.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ServerResult result = ServerResult::fromJson(fuzzBytes(data, size));
    if (!result.ok && result.error.isEmpty())
        std::abort();
    return 0;
}
