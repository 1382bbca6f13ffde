#include "service/linkparts.h"

LinkParts SplitLink(const QString& link) {
    LinkParts parts;
    QString rest = link;
    const qsizetype scheme = rest.indexOf(QLatin1String("://"));
    if (scheme >= 0) {
        parts.protocol = rest.left(scheme);
        rest = rest.mid(scheme + 3);
    }
    qsizetype pathStart = rest.indexOf(QLatin1Char('/'));
    const qsizetype query = rest.indexOf(QLatin1Char('?'));
    if (query >= 0 && (pathStart < 0 || query < pathStart))
        pathStart = query;
    QString authority = pathStart < 0 ? rest : rest.left(pathStart);
    parts.pathAndQuery = pathStart < 0 ? QStringLiteral("/") : rest.mid(pathStart);
    if (parts.pathAndQuery.startsWith(QLatin1Char('?')))
        parts.pathAndQuery.prepend(QLatin1Char('/'));

    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString credentials = authority.left(at);
        authority = authority.mid(at + 1);
        const qsizetype colon = credentials.indexOf(QLatin1Char(':'));
        parts.user = colon < 0 ? credentials : credentials.left(colon);
        parts.password = colon < 0 ? QString() : credentials.mid(colon + 1);
    }
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        parts.host = close < 0 ? authority.mid(1) : authority.mid(1, close - 1);
        if (close >= 0 && authority.mid(close + 1).startsWith(QLatin1Char(':')))
            parts.port = authority.mid(close + 2);
    } else {
        const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
        parts.host = colon < 0 ? authority : authority.left(colon);
        parts.port = colon < 0 ? QString() : authority.mid(colon + 1);
    }
    return parts;
}

QString MaskLinkPassword(const QString& link) {
    const LinkParts parts = SplitLink(link);
    if (parts.password.isEmpty())
        return link;
    // The credentials open the authority, right after the scheme's "://" when there is one.
    const qsizetype scheme = link.indexOf(QLatin1String("://"));
    const qsizetype password = (scheme < 0 ? 0 : scheme + 3) + parts.user.size() + 1;
    return link.left(password) + QLatin1String("***") + link.mid(password + parts.password.size());
}
