#pragma once

#include <QString>
#include <QStringList>

// The parts of a download link as a URL parser splits it.
struct LinkParts {
    QString protocol;
    QString host;
    QString port;
    QString user;
    QString password;
    // The path with the document name and, when present, "?" and the query; "/" when the link has none.
    QString pathAndQuery;
};
LinkParts SplitLink(const QString& link);

// "%XX" and "%uXXXX" replaced by their characters. Runs of "%XX" that form UTF-8 are read as
// UTF-8, any other "%XX" as the character of that code; a "%" without its digits stays.
QString DecodePercentEscapes(const QString& text);

// The name a downloaded price list is saved under in the price list folder: host, the
// supplier's e-mail when the free catalogue lists the link, and the document name with its
// brand part in brackets. `catalogue` holds the items of the free catalogue. Never a path: "/",
// "\" and control characters become "_", and a name of dots only is "_".
QString DownloadFileName(const QString& link, const QStringList& catalogue);
