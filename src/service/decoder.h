#pragma once

#include "service/records.h"

#include <QList>
#include <QString>

// Reads a catalog answer in the service's fixed pretty-printed layout, line by line, into one
// record per record-start line. The function name (exact case) chooses the key table; a name
// without a table for Rec gives an empty list. An integer field that holds no integer throws
// ConversionError and returns nothing; more records than the answer's size allows (see
// RecordsFitAnswer) throw OversizedAnswerError before anything is allocated.
template <class Rec> QList<Rec> DecodeAnswer(const QString& function, const QString& answer);

// Whether `records` records of `recordSize` bytes stay within a small multiple of an answer of
// `answerLength` characters. A record-start line is five characters but makes a record of
// hundreds of bytes; records that carry their fields never come near the bound.
bool RecordsFitAnswer(qsizetype records, qsizetype recordSize, qsizetype answerLength);
