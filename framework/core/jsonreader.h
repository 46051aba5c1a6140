#pragma once

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

// A forward-only reader of JSON text: values are read where they stand,
// without building a document first. A data packet of thousands of rows is
// read this way straight into its rows, instead of into a document tree that
// is then copied into the rows and thrown away.
//
// Containers are walked with begin*/next*: `nextKey` and `nextElement` read
// the separating commas and return false at the closing bracket, which they
// consume. Every reading method throws JsonSyntaxError when the text does not
// hold what it reads.
class JsonReader
{
public:
    enum class Kind { Object, Array, String, Number, Boolean, Null };

    explicit JsonReader(QByteArrayView text);

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
    // bytes stay in the text); false, with nothing read, when it has one.
    bool readPlainString(QByteArrayView &bytes);
    // A number. When it was written without fraction or exponent and fits,
    // `integer` receives it exactly and `integral` is set.
    double readNumber(bool *integral = nullptr, qint64 *integer = nullptr);
    bool readBoolean();
    void readNull();
    void skipValue();
    // Skips a value and returns its text.
    QByteArrayView readRaw();
    // Only white space may follow the value read.
    void expectEnd();

private:
    [[noreturn]] void fail(const char *what) const;
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
    // Per open container: whether an element or member was read already.
    QVarLengthArray<bool, 16> m_started;
};
