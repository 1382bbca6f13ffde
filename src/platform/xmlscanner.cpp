#include "platform/xmlscanner.h"

#include <QString>

#include <cstring>

namespace {
// Small enough that the buffer stays one ordinary allocation however often it is refilled.
constexpr qint64 kChunk = 64 << 10;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void appendUtf8(QByteArray& out, char32_t code) {
    const char32_t ucs4[1] = {code};
    out += QString::fromUcs4(ucs4, 1).toUtf8();
}

void appendDecoded(QByteArray& out, QByteArrayView raw) {
    qsizetype i = 0;
    while (i < raw.size()) {
        const qsizetype amp = raw.indexOf('&', i);
        if (amp < 0) {
            out.append(raw.sliced(i));
            return;
        }
        out.append(raw.sliced(i, amp - i));
        const qsizetype semi = raw.indexOf(';', amp);
        if (semi < 0) {
            out.append(raw.sliced(amp));
            return;
        }
        const QByteArrayView entity = raw.sliced(amp + 1, semi - amp - 1);
        if (entity == "lt")
            out.append('<');
        else if (entity == "gt")
            out.append('>');
        else if (entity == "amp")
            out.append('&');
        else if (entity == "quot")
            out.append('"');
        else if (entity == "apos")
            out.append('\'');
        else if (entity.startsWith('#')) {
            bool ok = false;
            const uint code = entity.startsWith("#x") ? entity.sliced(2).toByteArray().toUInt(&ok, 16)
                                                      : entity.sliced(1).toByteArray().toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF)
                appendUtf8(out, char32_t(code));
        } else {
            out.append(raw.sliced(amp, semi - amp + 1));
        }
        i = semi + 1;
    }
}
} // namespace

QByteArray XmlScanner::decoded(QByteArrayView raw) {
    QByteArray out;
    appendDecoded(out, raw);
    return out;
}

bool XmlScanner::fill() {
    if (m_atEnd)
        return false;
    // What lies before the current position is no longer looked at. Moved down by hand, so that
    // the buffer keeps its allocation rather than getting a new one for every chunk.
    if (m_pos > 0) {
        const qsizetype rest = m_buffer.size() - m_pos;
        std::memmove(m_buffer.data(), m_buffer.constData() + m_pos, size_t(rest));
        m_buffer.resize(rest);
        m_pos = 0;
    }
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + kChunk);
    const qint64 n = m_source(m_buffer.data() + old, kChunk);
    m_buffer.resize(old + std::max<qint64>(n, 0));
    if (n < 0)
        m_sourceFailed = true;
    if (n <= 0) {
        m_atEnd = true;
        return false;
    }
    return true;
}

XmlScanner::Token XmlScanner::fail(Fault fault) {
    if (m_fault == Fault::None)
        m_fault = m_sourceFailed ? Fault::Source : fault;
    return Token::Error;
}

bool XmlScanner::appendCaptured(QByteArrayView raw, bool decode) {
    if (m_text.size() + raw.size() > kMaxTextBytes) {
        // Decoding only shrinks a text, so the raw size is checked first and cheaply.
        QByteArray piece;
        if (decode)
            appendDecoded(piece, raw);
        if (!decode || m_text.size() + piece.size() > kMaxTextBytes) {
            m_fault = Fault::TextTooLong;
            return false;
        }
        m_text.append(piece);
        return true;
    }
    if (decode)
        appendDecoded(m_text, raw);
    else
        m_text.append(raw);
    return true;
}

bool XmlScanner::skipPast(QByteArrayView end, qsizetype from, bool keep) {
    m_pos = from;
    qsizetype searchFrom = m_pos;
    for (;;) {
        const qsizetype at = QByteArrayView(m_buffer).indexOf(end, searchFrom);
        if (at >= 0) {
            if (keep && !appendCaptured(QByteArrayView(m_buffer).sliced(m_pos, at - m_pos), false))
                return false;
            m_pos = at + end.size();
            return true;
        }
        // Only the last bytes may begin the end marker; the rest is done with.
        const qsizetype safe = std::max(m_pos, m_buffer.size() - (end.size() - 1));
        if (keep && !appendCaptured(QByteArrayView(m_buffer).sliced(m_pos, safe - m_pos), false))
            return false;
        m_pos = safe;
        if (!fill()) {
            fail(Fault::CutShort);
            return false;
        }
        searchFrom = m_pos;
    }
}

qsizetype XmlScanner::findTagEnd(qsizetype from) {
    char quote = 0;
    for (;;) {
        const char* data = m_buffer.constData();
        for (qsizetype i = from; i < m_buffer.size(); ++i) {
            const char c = data[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                if (i - m_pos > kMaxTagBytes) {
                    fail(Fault::TagTooLong);
                    return -1;
                }
                return i;
            }
        }
        if (m_buffer.size() - m_pos > kMaxTagBytes) {
            fail(Fault::TagTooLong);
            return -1;
        }
        const qsizetype scanned = m_buffer.size() - m_pos;
        if (!fill()) {
            fail(Fault::CutShort);
            return -1;
        }
        from = scanned;
    }
}

XmlScanner::Token XmlScanner::next() {
    if (m_fault != Fault::None)
        return Token::Error;
    for (;;) {
        // The text before the next tag, kept while capturing and dropped as it streams by otherwise.
        qsizetype from = m_pos;
        qsizetype lt = -1;
        for (;;) {
            lt = QByteArrayView(m_buffer).indexOf('<', from);
            if (lt >= 0)
                break;
            if (!m_capture)
                m_pos = m_buffer.size();
            else if (m_buffer.size() - m_pos > kMaxTextBytes)
                return fail(Fault::TextTooLong);
            const qsizetype scanned = m_buffer.size() - m_pos;
            if (!fill()) {
                // Text after the last tag is of no interest.
                m_pos = m_buffer.size();
                return m_sourceFailed ? fail(Fault::Source) : Token::EndOfDocument;
            }
            from = m_pos + scanned;
        }
        if (m_capture && lt > m_pos && !appendCaptured(QByteArrayView(m_buffer).sliced(m_pos, lt - m_pos), true))
            return Token::Error;
        m_pos = lt;
        // Enough bytes to tell the kind of markup.
        while (m_buffer.size() - m_pos < 9 && fill()) {
        }
        const QByteArrayView rest = QByteArrayView(m_buffer).sliced(m_pos);
        const char kind = rest.size() > 1 ? rest[1] : 0;
        if (kind == '!' && rest.startsWith("<!--")) {
            if (!skipPast("-->", m_pos + 4, false))
                return Token::Error;
            continue;
        }
        if (kind == '?') {
            if (!skipPast("?>", m_pos + 2, false))
                return Token::Error;
            continue;
        }
        if (kind == '!' && rest.startsWith("<![CDATA[")) {
            if (!skipPast("]]>", m_pos + 9, m_capture))
                return Token::Error;
            continue;
        }
        const qsizetype gt = findTagEnd(m_pos + 1);
        if (gt < 0)
            return Token::Error;
        QByteArrayView tag = QByteArrayView(m_buffer).sliced(m_pos + 1, gt - m_pos - 1);
        m_pos = gt + 1;
        if (tag.startsWith('!'))
            continue;
        Token token = Token::Start;
        if (tag.startsWith('/')) {
            token = Token::End;
            tag = tag.sliced(1);
        } else if (tag.endsWith('/')) {
            token = Token::Empty;
            tag.chop(1);
        }
        qsizetype nameEnd = 0;
        while (nameEnd < tag.size() && !isSpace(tag[nameEnd]))
            ++nameEnd;
        m_name = tag.first(nameEnd);
        if (const qsizetype colon = m_name.indexOf(':'); colon >= 0)
            m_name = m_name.sliced(colon + 1);
        m_attributes = tag.sliced(nameEnd);
        return token;
    }
}

namespace {
// Calls `found(name, value)` for each attribute until it returns true; the value found so.
template <class Match> QByteArrayView findAttribute(QByteArrayView a, Match found) {
    qsizetype i = 0;
    while (i < a.size()) {
        while (i < a.size() && isSpace(a[i]))
            ++i;
        const qsizetype nameStart = i;
        while (i < a.size() && a[i] != '=' && !isSpace(a[i]))
            ++i;
        const QByteArrayView name = a.sliced(nameStart, i - nameStart);
        while (i < a.size() && (isSpace(a[i]) || a[i] == '='))
            ++i;
        if (i >= a.size())
            break;
        const char quote = a[i];
        if (quote != '"' && quote != '\'')
            break;
        const qsizetype valueEnd = a.indexOf(quote, i + 1);
        if (valueEnd < 0)
            break;
        if (found(name))
            return a.sliced(i + 1, valueEnd - i - 1);
        i = valueEnd + 1;
    }
    return {};
}
} // namespace

QByteArrayView XmlScanner::attribute(QByteArrayView name) const {
    return findAttribute(m_attributes, [&](QByteArrayView found) { return found == name; });
}

QByteArrayView XmlScanner::prefixedAttribute(QByteArrayView localName) const {
    return findAttribute(m_attributes, [&](QByteArrayView found) {
        const qsizetype colon = found.indexOf(':');
        return colon > 0 && found.sliced(colon + 1) == localName;
    });
}
