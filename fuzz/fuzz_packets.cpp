// Data and change packets as they arrive in JSON. A packet that was read must
// read back the same from the JSON it writes, and a data packet read straight
// from the text must equal the one read from the document.
#include "fuzzinput.h"

#include "core/abort.h"
#include "core/packets.h"

#include <QJsonDocument>

#include <cstdlib>
#include <optional>

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

std::optional<DataPacket> readText(const QByteArray &text)
{
    try {
        return DataPacket::fromJsonText(text);
    } catch (const UserError &) {
        return std::nullopt;
    }
}

void readTextAsDocument(const QByteArray &text, const QJsonValue &json)
{
    const std::optional<DataPacket> fromText = readText(text);
    if (!fromText)
        return;
    try {
        if (DataPacket::fromJson(json).toJson() != fromText->toJson())
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
    const QByteArray bytes = fuzzBytes(data, size);
    const QJsonValue json = QJsonDocument::fromJson(bytes).object();
    readWrittenBack<DataPacket>(json);
    readTextAsDocument(bytes, json);
    readWrittenBack<ChangePacket>(json);
    return 0;
}
