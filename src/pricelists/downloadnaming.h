#pragma once

#include "service/linkparts.h"

#include <QString>
#include <QStringList>

// "%XX" and "%uXXXX" replaced by their characters. Runs of "%XX" that form UTF-8 are read as
// UTF-8, any other "%XX" as the character of that code; a "%" without its digits stays.
QString DecodePercentEscapes(const QString& text);

// The name a downloaded price list is saved under in the price list folder: host, the
// supplier's e-mail when the free catalogue lists the link, and the document name with its
// brand part in brackets. `catalogue` holds the items of the free catalogue. Never a path: "/",
// "\" and control characters become "_", and a name of dots only is "_".
QString DownloadFileName(const QString& link, const QStringList& catalogue);
