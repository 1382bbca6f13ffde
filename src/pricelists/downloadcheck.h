#pragma once

#include <QByteArray>
#include <QString>

// Whether a downloaded file may replace a price list, judged by its size and first bytes: a
// workbook (a zip package or a compound document) or text that is not a web page. Empty when
// it may; otherwise why not, in words for the user.
QString PriceListDownloadProblem(qint64 size, const QByteArray& head);
