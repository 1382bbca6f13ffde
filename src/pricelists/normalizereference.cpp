#include "pricelists/normalizereference.h"

QString NormalizeReference(const QString& text) {
    // Trimming first changes nothing once every non-alphanumeric character goes, so one pass does.
    QString key;
    key.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 'a' && u <= 'z')
            key.append(QChar(u - 'a' + 'A'));
        else if ((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
            key.append(c);
    }
    return key;
}
