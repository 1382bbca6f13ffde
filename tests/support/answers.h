#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// One record of a catalog answer: its fields as key and value, in order.
using AnswerRecord = QList<QPair<QString, QString>>;

// A catalog answer in the service's layout: records starting at three tabs ("{", then ",{"),
// one field per line at four tabs, all values quoted.
QString catalogAnswer(const QList<AnswerRecord>& records, const QString& function = QString());
QByteArray catalogAnswerBytes(const QString& function, const QList<AnswerRecord>& records);
// A whole HTTP reply for RawHttpServer, "200 OK" or with the given status.
QByteArray httpReply(const QByteArray& body);
QByteArray httpReply(const QByteArray& status, const QByteArray& body);
// A catalog answer as a whole "200 OK" reply.
QByteArray catalogReply(const QString& function, const QList<AnswerRecord>& records);
