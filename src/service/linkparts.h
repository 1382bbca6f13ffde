#pragma once

#include <QString>

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

// The link with its password, if it names one, written as "***": how links are shown and logged.
// The password masked is the one SplitLink finds.
QString MaskLinkPassword(const QString& link);
