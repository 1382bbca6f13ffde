#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>
#include <functional>

// A small pull scanner for the large, plain XML parts of a workbook (the worksheet and its shared
// strings), several times faster than a general XML reader. It knows elements, attributes, text,
// entities and CDATA; comments, processing instructions and declarations are skipped; names lose
// their namespace prefix. It does not check that the document is well formed beyond that.
class XmlScanner {
public:
    // Whether a name or value is the given literal; cheaper than a general comparison.
    template <size_t N> static bool is(QByteArrayView text, const char (&literal)[N]) {
        return text.size() == qsizetype(N - 1) && std::memcmp(text.data(), literal, N - 1) == 0;
    }

    enum class Token { Start, End, Empty, EndOfDocument, Error };
    // `read` fills a buffer and returns the bytes read, 0 at the end or -1 on an error.
    using Source = std::function<qint64(char* buffer, qint64 size)>;

    explicit XmlScanner(Source source) : m_source(std::move(source)) {}

    // The next tag. Views returned below stay valid until the next call.
    Token next();
    QByteArrayView name() const { return m_name; }
    // The raw value of an attribute of the current start tag; empty when it has none.
    QByteArrayView attribute(QByteArrayView name) const;
    // While capturing, the text between tags (entities decoded, UTF-8) is appended to text().
    void setCapture(bool capture) { m_capture = capture; }
    QByteArray& text() { return m_text; }
    // Why Error came: the source failed or the document was cut inside a tag.
    bool sourceFailed() const { return m_sourceFailed; }

private:
    bool fill();
    // Position of `what` at or after `from`, reading on as needed; -1 at the end.
    qsizetype find(QByteArrayView what, qsizetype from);
    qsizetype findTagEnd(qsizetype from);
    void appendText(QByteArrayView raw);

    Source m_source;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_atEnd = false;
    bool m_sourceFailed = false;
    bool m_capture = false;
    QByteArray m_text;
    QByteArrayView m_name;
    QByteArrayView m_attributes;
};
