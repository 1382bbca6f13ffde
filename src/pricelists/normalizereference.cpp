#include "pricelists/normalizereference.h"

QString NormalizeReference(const QString& text) {
    QString key;
    key.reserve(text.size());
    AppendNormalizedReference(text, key);
    return key;
}

void AppendNormalizedReference(QStringView text, QString& out) {
    // Trimming first changes nothing once every non-alphanumeric character goes, so one pass does.
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 'a' && u <= 'z')
            out.append(QChar(u - 'a' + 'A'));
        else if ((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
            out.append(c);
    }
}
