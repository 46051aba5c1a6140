#include "core/jsonreader.h"

#include <charconv>
#include <cstring>
#include <string>

namespace {

// Deeper nesting than any packet has is refused before it can exhaust the
// stack of skipValue.
constexpr int kMaxDepth = 256;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

JsonReader::JsonReader(QByteArrayView text)
    : m_begin(text.data()), m_at(text.data()), m_end(text.data() + text.size())
{
}

JsonReader::JsonReader(JsonFeed &feed) : m_begin(nullptr), m_at(nullptr), m_end(nullptr), m_feed(&feed)
{
    grow(0);
}

template<typename Read>
auto JsonReader::retrying(Read read)
{
    if (!m_feed)
        return read();
    for (;;) {
        // What a reading method changes: where the text is read and the
        // state of the innermost container.
        const qsizetype at = m_at - m_begin;
        const qsizetype depth = m_started.size();
        const bool started = depth > 0 && m_started.last();
        try {
            return read();
        } catch (const NeedMore &) {
            m_started.resize(depth);
            if (depth > 0)
                m_started.last() = started;
            grow(at);
        }
    }
}

void JsonReader::grow(qsizetype keepAt)
{
    const char *before = m_text.constData();
    m_fed = !m_feed->more(m_text);
    if (m_text.constData() != before)
        ++m_generation;
    m_begin = m_text.constData();
    m_at = m_begin + keepAt;
    m_end = m_begin + m_text.size();
}

void JsonReader::atEnd() const
{
    if (mayGrow())
        throw NeedMore{};
}

void JsonReader::fail(const char *what) const
{
    // What is wrong may only be what has not arrived yet.
    atEnd();
    refuse(what);
}

void JsonReader::refuse(const char *what) const
{
    throw JsonSyntaxError(std::string(what) + " na posição " + std::to_string(m_at - m_begin));
}

void JsonReader::skipSpace()
{
    while (m_at < m_end && (*m_at == ' ' || *m_at == '\n' || *m_at == '\r' || *m_at == '\t'))
        ++m_at;
}

char JsonReader::next()
{
    skipSpace();
    return m_at < m_end ? *m_at : '\0';
}

JsonReader::Kind JsonReader::peek()
{
    return retrying([this] { return peekNow(); });
}

JsonReader::Kind JsonReader::peekNow()
{
    switch (next()) {
    case '{':
        return Kind::Object;
    case '[':
        return Kind::Array;
    case '"':
        return Kind::String;
    case 't':
    case 'f':
        return Kind::Boolean;
    case 'n':
        return Kind::Null;
    default:
        if (m_at < m_end && (*m_at == '-' || isDigit(*m_at)))
            return Kind::Number;
        fail("valor esperado");
    }
}

void JsonReader::open(char bracket, const char *expected)
{
    if (next() != bracket)
        fail(expected);
    if (m_started.size() >= kMaxDepth)
        refuse("aninhamento profundo demais");
    ++m_at;
    m_started.append(false);
}

void JsonReader::beginObject()
{
    retrying([this] { open('{', "objeto esperado"); });
}

void JsonReader::beginArray()
{
    retrying([this] { open('[', "lista esperada"); });
}

bool JsonReader::nextSeparated(char close)
{
    if (m_started.isEmpty())
        fail("lista ou objeto aberto esperado");
    const char c = next();
    if (m_at == m_end)
        atEnd();
    if (c == close) {
        ++m_at;
        m_started.removeLast();
        return false;
    }
    if (m_started.last()) {
        if (c != ',')
            fail(close == ']' ? "',' ou ']' esperado" : "',' ou '}' esperado");
        ++m_at;
    }
    m_started.last() = true;
    return true;
}

bool JsonReader::nextKey(QString &key)
{
    return retrying([&] { return nextKeyNow(key); });
}

bool JsonReader::nextKeyNow(QString &key)
{
    if (!nextSeparated('}'))
        return false;
    key = readStringNow();
    if (next() != ':')
        fail("':' esperado");
    ++m_at;
    return true;
}

bool JsonReader::nextElement()
{
    return retrying([this] { return nextSeparated(']'); });
}

bool JsonReader::readPlainString(QByteArrayView &bytes)
{
    return retrying([&] { return readPlainStringNow(bytes); });
}

bool JsonReader::readPlainStringNow(QByteArrayView &bytes)
{
    if (next() != '"')
        fail("texto esperado");
    const char *start = m_at + 1;
    for (const char *p = start; p < m_end; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"') {
            bytes = QByteArrayView(start, p - start);
            m_at = p + 1;
            return true;
        }
        if (c == '\\')
            return false;
        if (c < 0x20) {
            m_at = p;
            fail("caractere de controle dentro de um texto");
        }
    }
    m_at = m_end;
    fail("texto sem as aspas finais");
}

QString JsonReader::readString()
{
    return retrying([this] { return readStringNow(); });
}

QString JsonReader::readStringNow()
{
    QByteArrayView plain;
    if (readPlainStringNow(plain))
        return QString::fromUtf8(plain);
    ++m_at;   // the opening quote
    QString out;
    const char *run = m_at;
    while (m_at < m_end) {
        const unsigned char c = static_cast<unsigned char>(*m_at);
        if (c == '"' || c == '\\') {
            out.append(QString::fromUtf8(run, m_at - run));
            ++m_at;
            if (c == '"')
                return out;
            appendEscape(out);
            run = m_at;
            continue;
        }
        if (c < 0x20)
            fail("caractere de controle dentro de um texto");
        ++m_at;
    }
    fail("texto sem as aspas finais");
}

void JsonReader::appendEscape(QString &out)
{
    if (m_at >= m_end)
        fail("sequência de escape inválida");
    const char c = *m_at++;
    static const char simple[][2] = {{'"', '"'}, {'\\', '\\'}, {'/', '/'}, {'b', '\b'},
                                     {'f', '\f'},  {'n', '\n'},   {'r', '\r'}, {'t', '\t'}};
    for (const auto &escape : simple) {
        if (c == escape[0]) {
            out.append(QLatin1Char(escape[1]));
            return;
        }
    }
    if (c != 'u') {
        --m_at;
        fail("sequência de escape inválida");
    }
    if (m_end - m_at < 4)
        fail("quatro dígitos hexadecimais esperados");
    char16_t unit = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexValue(m_at[i]);
        if (digit < 0)
            fail("quatro dígitos hexadecimais esperados");
        unit = char16_t(unit << 4 | digit);
    }
    m_at += 4;
    // Surrogate halves are kept as written: a pair forms its character.
    out.append(QChar(unit));
}

const char *JsonReader::skipDigits(const char *p)
{
    if (p >= m_end || !isDigit(*p)) {
        m_at = p;
        fail("dígito esperado");
    }
    while (p < m_end && isDigit(*p))
        ++p;
    return p;
}

double JsonReader::readNumber(bool *integral, qint64 *integer)
{
    return retrying([this, integral, integer] { return readNumberNow(integral, integer); });
}

double JsonReader::readNumberNow(bool *integral, qint64 *integer)
{
    skipSpace();
    const char *start = m_at;
    const char *p = m_at;
    if (p < m_end && *p == '-')
        ++p;
    if (p < m_end && *p == '0')
        ++p;
    else if (p < m_end && isDigit(*p))
        p = skipDigits(p);
    else
        fail("número esperado");
    bool whole = true;
    if (p < m_end && *p == '.') {
        whole = false;
        p = skipDigits(p + 1);
    }
    if (p < m_end && (*p == 'e' || *p == 'E')) {
        whole = false;
        ++p;
        if (p < m_end && (*p == '+' || *p == '-'))
            ++p;
        p = skipDigits(p);
    }
    if (p == m_end)
        atEnd();
    double value = 0;
    // The grammar was checked above: only the range can fail.
    if (std::from_chars(start, p, value).ec != std::errc())
        fail("número fora do intervalo");
    m_at = p;
    qint64 exact = 0;
    if (whole && std::from_chars(start, p, exact).ec != std::errc())
        whole = false;
    if (integral)
        *integral = whole;
    if (integer && whole)
        *integer = exact;
    return value;
}

void JsonReader::readLiteral(const char *literal)
{
    const std::size_t length = std::strlen(literal);
    if (std::size_t(m_end - m_at) < length || std::memcmp(m_at, literal, length) != 0)
        fail("true, false ou null esperado");
    m_at += length;
}

bool JsonReader::readBoolean()
{
    return retrying([this] { return readBooleanNow(); });
}

bool JsonReader::readBooleanNow()
{
    if (next() == 't') {
        readLiteral("true");
        return true;
    }
    readLiteral("false");
    return false;
}

void JsonReader::readNull()
{
    retrying([this] { readNullNow(); });
}

void JsonReader::readNullNow()
{
    next();
    readLiteral("null");
}

void JsonReader::skipValue()
{
    retrying([this] { skipValueNow(); });
}

void JsonReader::skipValueNow()
{
    switch (peekNow()) {
    case Kind::Object: {
        open('{', "objeto esperado");
        QString key;
        while (nextKeyNow(key))
            skipValueNow();
        return;
    }
    case Kind::Array:
        open('[', "lista esperada");
        while (nextSeparated(']'))
            skipValueNow();
        return;
    case Kind::String:
        readStringNow();
        return;
    case Kind::Number:
        readNumberNow(nullptr, nullptr);
        return;
    case Kind::Boolean:
        readBooleanNow();
        return;
    case Kind::Null:
        readNullNow();
        return;
    }
}

QByteArrayView JsonReader::readRaw()
{
    return retrying([this] {
        skipSpace();
        const qsizetype start = m_at - m_begin;
        skipValueNow();
        return QByteArrayView(m_begin + start, m_at - m_begin - start);
    });
}

void JsonReader::expectEnd()
{
    retrying([this] {
        skipSpace();
        if (m_at == m_end)
            atEnd();
        if (m_at != m_end)
            fail("fim do texto esperado");
    });
}
