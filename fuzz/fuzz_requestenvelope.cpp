// The request body of a call, {"args":[...]}, read and checked against the
// argument kinds of every method, and the echo route's answer.
#include "fuzzinput.h"

#include "lib/methodtable.h"
#include "lib/requesterror.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body = fuzzBytes(data, size);
    echoCall(body);
    QJsonArray args;
    try {
        args = requestArgs(body);
    } catch (const RequestError &) {
        return 0;
    }
    for (const MethodDef &method : entPatMethods()) {
        try {
            checkArgs(method.name, method.args, args);
            const MethodArgs checked(args);
            for (int i = 0; i < method.args.size(); ++i) {
                if (method.args.at(i) == ArgKind::Text)
                    checked.text(i);
                else if (method.args.at(i) == ArgKind::DateTime)
                    checked.dateTime(i);
            }
        } catch (const RequestError &) {
        }
    }
    return 0;
}
