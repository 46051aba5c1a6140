#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVarLengthArray>

#include <stdexcept>

// JSON text that is not well formed; what() says what was wrong where, in
// UTF-8.
class JsonSyntaxError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// JSON text that arrives in parts, as an answer still being received.
class JsonFeed
{
public:
    virtual ~JsonFeed() = default;
    // Appends to `text` what arrived since the last call, waiting for it;
    // false when nothing more will come.
    virtual bool more(QByteArray &text) = 0;
};

// A forward-only reader of JSON text: values are read where they stand,
// without building a document first. A data packet of thousands of rows is
// read this way straight into its rows, instead of into a document tree that
// is then copied into the rows and thrown away.
//
// Containers are walked with begin*/next*: `nextKey` and `nextElement` read
// the separating commas and return false at the closing bracket, which they
// consume. Every reading method throws JsonSyntaxError when the text does not
// hold what it reads.
//
// Read from a feed, a value that reaches the end of what arrived is read
// again once more has come; the text is known to be wrong only when the
// feed has ended.
class JsonReader
{
public:
    enum class Kind { Object, Array, String, Number, Boolean, Null };

    explicit JsonReader(QByteArrayView text);
    explicit JsonReader(JsonFeed &feed);

    // Changes when the text read from a feed moved in memory as more of it
    // arrived: views into it taken before are no longer valid.
    quint64 textGeneration() const { return m_generation; }

    // Kind of the next value.
    Kind peek();

    void beginObject();
    // The next member's key, its colon read; false after the last member.
    bool nextKey(QString &key);
    void beginArray();
    // True when another element follows; false after the last one.
    bool nextElement();

    QString readString();
    // A string value as its raw UTF-8 bytes when it holds no escape (the
    // bytes stay in the text, valid until the next read); false, with
    // nothing read, when it has one.
    bool readPlainString(QByteArrayView &bytes);
    // A number. When it was written without fraction or exponent and fits,
    // `integer` receives it exactly and `integral` is set.
    double readNumber(bool *integral = nullptr, qint64 *integer = nullptr);
    bool readBoolean();
    void readNull();
    void skipValue();
    // Skips a value and returns its text (valid until the next read).
    QByteArrayView readRaw();
    // Only white space may follow the value read.
    void expectEnd();

private:
    struct NeedMore {};
    // Runs one reading method; read from a feed, runs it again from where
    // it began each time it reached the end of what had arrived.
    template<typename Read>
    auto retrying(Read read);
    // More text may still arrive after what is here.
    bool mayGrow() const { return m_feed && !m_fed; }
    // A value stopped at the end of the text: with more to come it may go on.
    void atEnd() const;
    void grow(qsizetype keepAt);
    [[noreturn]] void fail(const char *what) const;
    // Fails whatever may still arrive.
    [[noreturn]] void refuse(const char *what) const;
    // The reading methods themselves, without reading again.
    Kind peekNow();
    bool nextKeyNow(QString &key);
    bool readPlainStringNow(QByteArrayView &bytes);
    QString readStringNow();
    double readNumberNow(bool *integral, qint64 *integer);
    bool readBooleanNow();
    void readNullNow();
    void skipValueNow();
    void skipSpace();
    char next();
    void open(char bracket, const char *expected);
    // Skips a run of at least one digit from p; returns where it ends.
    const char *skipDigits(const char *p);
    bool nextSeparated(char close);
    void readLiteral(const char *literal);
    void appendEscape(QString &out);

    const char *m_begin;
    const char *m_at;
    const char *m_end;
    JsonFeed *m_feed = nullptr;
    QByteArray m_text;   // what arrived from the feed
    bool m_fed = false;  // the feed has ended
    quint64 m_generation = 0;
    // Per open container: whether an element or member was read already.
    QVarLengthArray<bool, 16> m_started;
};
