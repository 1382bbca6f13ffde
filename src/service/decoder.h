#pragma once

#include "service/records.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <utility>

// The records of an answer; when the answer cannot be read, none and the reason in `error`.
// Records whose texts view the answer (kViewsAnswer) come with the answer they view, shared.
template <class Rec> struct Decoded : QList<Rec> {
    Decoded() = default;
    Decoded(QList<Rec> records, QByteArray bytes = {}) : QList<Rec>(std::move(records)), answer(std::move(bytes)) {}
    bool ok() const { return error.isEmpty(); }
    QString error;
    // The bytes the records' AnswerTexts view; empty for records of their own texts.
    QByteArray answer;
};

// Reads a catalog answer in the service's fixed pretty-printed layout, line by line, into one
// record per record-start line. The function name (exact case) chooses the key table; a name
// without a table for Rec gives an empty list. An integer field that holds no integer gives no
// records and the error "'<text>' is not a valid integer value"; more records than the answer's
// size allows (see RecordsFitAnswer), or product records from an answer longer than their texts
// can view (AnswerText::kMostBytes), give none and an error before anything is allocated.
// The answer is read in its UTF-8 bytes as received; each value shows as the whole answer read as
// UTF-8 text would show it (bad bytes as U+FFFD, a byte-order mark as U+FEFF). An answer may be
// read in two halves at once (see setTwoThreadThreshold), with the same records and errors.
// The product records' texts view the answer: given as QByteArray it is shared, not copied;
// given as a view or as text, the records come with a copy of its bytes.
template <class Rec> Decoded<Rec> DecodeAnswer(const QString& function, QByteArrayView answer);
template <class Rec> Decoded<Rec> DecodeAnswer(const QString& function, const QByteArray& answer);
// The same for an answer already made text.
template <class Rec> Decoded<Rec> DecodeAnswer(const QString& function, const QString& answer);

// Answers this long take the decoder long enough to be read off the window's thread.
inline constexpr qsizetype kLongAnswerBytes = 512 * 1024;

// Answers of at least this many bytes are decoded in two halves on two threads; by default never:
// measured on two cores, the halves cost a fifth more CPU time for a quarter less waiting when
// the other core is free, and lost time when it was busy. For tests and benchmarks, which compare
// both ways; returns the former value.
qsizetype setTwoThreadThreshold(qsizetype bytes);

// Whether `records` records of `recordSize` bytes stay within a small multiple of an answer of
// `answerLength` bytes. A record-start line is five characters but makes a record of
// hundreds of bytes; records that carry their fields never come near the bound.
bool RecordsFitAnswer(qsizetype records, qsizetype recordSize, qsizetype answerLength);
