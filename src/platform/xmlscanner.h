#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>
#include <functional>

// A small pull scanner for the XML parts of a workbook, several times faster than a general XML
// reader. It knows elements, attributes, text, entities and CDATA; comments, processing
// instructions and declarations are skipped; names lose their namespace prefix. It does not check
// that the document is well formed beyond that, keeps no stack of open elements and expands no
// entity definitions. Its memory is bounded: text that is not captured is dropped as it streams
// by, and a tag or a captured text longer than its bound ends the scan with an error.
class XmlScanner {
public:
    // Whether a name or value is the given literal; cheaper than a general comparison.
    template <size_t N> static bool is(QByteArrayView text, const char (&literal)[N]) {
        return text.size() == qsizetype(N - 1) && std::memcmp(text.data(), literal, N - 1) == 0;
    }

    // Far above anything a spreadsheet program writes: a tag is a few dozen bytes, and a cell
    // holds at most 32,767 characters.
    static constexpr qsizetype kMaxTagBytes = qsizetype(1) << 20;
    static constexpr qsizetype kMaxTextBytes = qsizetype(1) << 20;

    enum class Token { Start, End, Empty, EndOfDocument, Error };
    enum class Fault {
        None,
        // The source failed (or refused to go on).
        Source,
        // The document ends inside a tag, comment or CDATA section.
        CutShort,
        TagTooLong,
        TextTooLong,
    };
    // `read` fills a buffer and returns the bytes read, 0 at the end or -1 on an error.
    using Source = std::function<qint64(char* buffer, qint64 size)>;

    explicit XmlScanner(Source source) : m_source(std::move(source)) {}

    // The next tag. Views returned below stay valid until the next call.
    Token next();
    QByteArrayView name() const { return m_name; }
    // The raw value of an attribute of the current start tag; empty when it has none.
    QByteArrayView attribute(QByteArrayView name) const;
    // The raw value of the first attribute named `prefix:localName` with any prefix.
    QByteArrayView prefixedAttribute(QByteArrayView localName) const;
    // While capturing, the text between tags (entities decoded, UTF-8) is appended to text().
    void setCapture(bool capture) { m_capture = capture; }
    QByteArray& text() { return m_text; }
    // Why Error came.
    Fault fault() const { return m_fault; }
    // The text of a raw attribute value with its entities decoded.
    static QByteArray decoded(QByteArrayView raw);

private:
    bool fill();
    Token fail(Fault fault);
    // Moves past the next `end` at or after `from`, handing what lies before it to `keep` when
    // given (in pieces) and dropping it otherwise. False when the document ends first.
    bool skipPast(QByteArrayView end, qsizetype from, bool keep);
    qsizetype findTagEnd(qsizetype from);
    bool appendCaptured(QByteArrayView raw, bool decode);

    Source m_source;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_atEnd = false;
    bool m_sourceFailed = false;
    bool m_capture = false;
    Fault m_fault = Fault::None;
    QByteArray m_text;
    QByteArrayView m_name;
    QByteArrayView m_attributes;
};
