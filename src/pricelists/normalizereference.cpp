#include "pricelists/normalizereference.h"

QString NormalizeReference(const QString& text) {
    QString key;
    key.reserve(text.size());
    AppendNormalizedReference(text, key);
    return key;
}

void AppendNormalizedReference(QStringView text, QString& out) {
    // Trimming first changes nothing once every non-alphanumeric character goes, so one pass does.
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char16_t* o = reinterpret_cast<char16_t*>(out.data()) + start;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 'a' && u <= 'z')
            *o++ = char16_t(u - 'a' + 'A');
        else if ((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
            *o++ = u;
    }
    out.resize(o - reinterpret_cast<const char16_t*>(out.constData()));
}
