#include "platform/xmlscanner.h"

#include <QString>

#include <cstring>

namespace {
constexpr qint64 kChunk = 1 << 20;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void appendUtf8(QByteArray& out, char32_t code) {
    const char32_t ucs4[1] = {code};
    out += QString::fromUcs4(ucs4, 1).toUtf8();
}
} // namespace

bool XmlScanner::fill() {
    if (m_atEnd)
        return false;
    // What lies before the current position is no longer looked at.
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
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

qsizetype XmlScanner::find(QByteArrayView what, qsizetype from) {
    for (;;) {
        const qsizetype at = QByteArrayView(m_buffer).indexOf(what, from);
        if (at >= 0)
            return at;
        const qsizetype keep = from - m_pos;
        const qsizetype back = m_buffer.size() - m_pos - what.size() + 1;
        if (!fill())
            return -1;
        from = std::max<qsizetype>(keep, std::max<qsizetype>(back, 0));
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
                return i;
            }
        }
        const qsizetype scanned = m_buffer.size() - m_pos;
        if (!fill())
            return -1;
        from = scanned;
    }
}

void XmlScanner::appendText(QByteArrayView raw) {
    qsizetype i = 0;
    while (i < raw.size()) {
        const qsizetype amp = raw.indexOf('&', i);
        if (amp < 0) {
            m_text.append(raw.sliced(i));
            return;
        }
        m_text.append(raw.sliced(i, amp - i));
        const qsizetype semi = raw.indexOf(';', amp);
        if (semi < 0) {
            m_text.append(raw.sliced(amp));
            return;
        }
        const QByteArrayView entity = raw.sliced(amp + 1, semi - amp - 1);
        if (entity == "lt")
            m_text.append('<');
        else if (entity == "gt")
            m_text.append('>');
        else if (entity == "amp")
            m_text.append('&');
        else if (entity == "quot")
            m_text.append('"');
        else if (entity == "apos")
            m_text.append('\'');
        else if (entity.startsWith('#')) {
            bool ok = false;
            const uint code = entity.startsWith("#x") ? entity.sliced(2).toByteArray().toUInt(&ok, 16)
                                                      : entity.sliced(1).toByteArray().toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF)
                appendUtf8(m_text, char32_t(code));
        } else {
            m_text.append(raw.sliced(amp, semi - amp + 1));
        }
        i = semi + 1;
    }
}

XmlScanner::Token XmlScanner::next() {
    for (;;) {
        const qsizetype lt = find("<", m_pos);
        if (lt < 0) {
            // Text after the last tag is of no interest; a tag cut short is damage.
            m_pos = m_buffer.size();
            return m_sourceFailed ? Token::Error : Token::EndOfDocument;
        }
        if (m_capture && lt > m_pos)
            appendText(QByteArrayView(m_buffer).sliced(m_pos, lt - m_pos));
        m_pos = lt;
        // Enough bytes to tell the kind of markup.
        while (m_buffer.size() - m_pos < 9 && fill()) {
        }
        const QByteArrayView rest = QByteArrayView(m_buffer).sliced(m_pos);
        const char kind = rest.size() > 1 ? rest[1] : 0;
        if ((kind == '!' && rest.startsWith("<!--")) || kind == '?') {
            const bool comment = rest.startsWith("<!--");
            const qsizetype end = find(comment ? QByteArrayView("-->") : QByteArrayView("?>"), m_pos + 2);
            if (end < 0)
                return Token::Error;
            m_pos = end + (comment ? 3 : 2);
            continue;
        }
        if (kind == '!' && rest.startsWith("<![CDATA[")) {
            const qsizetype end = find("]]>", m_pos + 9);
            if (end < 0)
                return Token::Error;
            if (m_capture)
                m_text.append(QByteArrayView(m_buffer).sliced(m_pos + 9, end - m_pos - 9));
            m_pos = end + 3;
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

QByteArrayView XmlScanner::attribute(QByteArrayView name) const {
    const QByteArrayView a = m_attributes;
    qsizetype i = 0;
    while (i < a.size()) {
        while (i < a.size() && isSpace(a[i]))
            ++i;
        const qsizetype nameStart = i;
        while (i < a.size() && a[i] != '=' && !isSpace(a[i]))
            ++i;
        const QByteArrayView found = a.sliced(nameStart, i - nameStart);
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
        if (found == name)
            return a.sliced(i + 1, valueEnd - i - 1);
        i = valueEnd + 1;
    }
    return {};
}
