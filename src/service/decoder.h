#pragma once

#include "service/records.h"

#include <QList>
#include <QString>

// Reads a catalog answer in the service's fixed pretty-printed layout, line by line, into one
// record per record-start line. The function name (exact case) chooses the key table; a name
// without a table for Rec gives an empty list. An integer field that holds no integer throws
// ConversionError and returns nothing.
template <class Rec> QList<Rec> DecodeAnswer(const QString& function, const QString& answer);
