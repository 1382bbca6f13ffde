#include "support/answers.h"

QString catalogAnswer(const QList<AnswerRecord>& records, const QString& function) {
    QString text = QStringLiteral("{\r\n\t\"statusText\": \"paid client till 202612\",\r\n\t\"function\": \"") +
                   function + QStringLiteral("\",\r\n\t\"result\": {\r\n\t\t\"data\": [\r\n");
    for (qsizetype i = 0; i < records.size(); ++i) {
        text += i == 0 ? QStringLiteral("\t\t\t{\r\n") : QStringLiteral("\t\t\t,{\r\n");
        const AnswerRecord& fields = records.at(i);
        for (qsizetype k = 0; k < fields.size(); ++k)
            text += QStringLiteral("\t\t\t\t\"%1\": \"%2\"%3\r\n")
                        .arg(fields.at(k).first, fields.at(k).second,
                             k + 1 < fields.size() ? QStringLiteral(",") : QString());
        text += QStringLiteral("\t\t\t}\r\n");
    }
    return text + QStringLiteral("\t\t]\r\n\t}\r\n}\r\n");
}

QByteArray catalogAnswerBytes(const QString& function, const QList<AnswerRecord>& records) {
    return catalogAnswer(records, function).toUtf8();
}

QByteArray httpReply(const QByteArray& body) {
    return httpReply("200 OK", body);
}

QByteArray httpReply(const QByteArray& status, const QByteArray& body) {
    return "HTTP/1.0 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray catalogReply(const QString& function, const QList<AnswerRecord>& records) {
    return httpReply(catalogAnswerBytes(function, records));
}
