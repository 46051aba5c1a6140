// Data and change packets as they arrive in JSON. A packet that was read must
// read back the same from the JSON it writes.
#include "fuzzinput.h"

#include "core/abort.h"
#include "core/packets.h"

#include <QJsonDocument>

#include <cstdlib>

namespace {

// Reads the packet, writes it, and reads that back.
template<typename Packet>
void readWrittenBack(const QJsonValue &json)
{
    try {
        const QJsonObject written = Packet::fromJson(json).toJson();
        if (Packet::fromJson(written).toJson() != written)
            std::abort();
    } catch (const UserError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QJsonValue json = QJsonDocument::fromJson(fuzzBytes(data, size)).object();
    readWrittenBack<DataPacket>(json);
    readWrittenBack<ChangePacket>(json);
    return 0;
}
