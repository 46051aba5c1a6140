// Data and change packets as they arrive in JSON. A packet that was read must
// read back the same from the JSON it writes, and a data packet read straight
// from the text must equal the one read from the document, and one read from
// the text arriving in parts must equal the one read from the whole text.
#include "fuzzinput.h"

#include "core/abort.h"
#include "core/jsonreader.h"
#include "core/packets.h"

#include <QJsonDocument>

#include <algorithm>
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

// The text handed over in parts of 1 to 16 bytes, their sizes taken in turn
// from the text's own first bytes, so that parts end anywhere.
class Parts : public JsonFeed
{
public:
    explicit Parts(const QByteArray &text) : m_text(text) {}
    bool more(QByteArray &text) override
    {
        const qsizetype sizes = std::min<qsizetype>(m_text.size(), 8);
        const qsizetype part = sizes > 0 ? 1 + uchar(m_text.at(m_count++ % sizes)) % 16 : 1;
        text.append(m_text.mid(m_at, part));
        m_at += part;
        return m_at < m_text.size();
    }

private:
    const QByteArray &m_text;
    qsizetype m_at = 0;
    qsizetype m_count = 0;
};

std::optional<DataPacket> readInParts(const QByteArray &text)
{
    Parts parts(text);
    try {
        JsonReader reader(parts);
        DataPacket packet = DataPacket::read(reader);
        reader.expectEnd();
        return packet;
    } catch (const UserError &) {
    } catch (const JsonSyntaxError &) {
    }
    return std::nullopt;
}

void readInPartsAsWhole(const QByteArray &text)
{
    const std::optional<DataPacket> whole = readText(text);
    const std::optional<DataPacket> inParts = readInParts(text);
    if (whole.has_value() != inParts.has_value() || (whole && whole->toJson() != inParts->toJson()))
        std::abort();
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
    readInPartsAsWhole(bytes);
    readWrittenBack<ChangePacket>(json);
    return 0;
}
