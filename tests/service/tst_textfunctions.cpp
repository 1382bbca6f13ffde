#include "service/textfunctions.h"

#include <QTest>

class TestTextFunctions : public QObject {
    Q_OBJECT
private slots:
    void textBetween_data();
    void textBetween();
    void replaceAllIgnoresCase();
    void levelIndentKeepsIndentOutsideRange();
    void pathEncode_data();
    void pathEncode();
    void trimmingCoversControlCharacters();
    void streamKeepsByteOrderMark();
};

void TestTextFunctions::textBetween_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("result");
    const QString line = QStringLiteral("\t\t\t\t\"typid\": \"123\",");
    QTest::newRow("key") << line << "\""
                         << "\""
                         << "typid";
    QTest::newRow("value") << line << "\": \""
                           << "\""
                           << "123";
    QTest::newRow("start missing") << line << "<x>"
                                   << "\""
                                   << "";
    QTest::newRow("end only before start") << QStringLiteral("]a[b") << "["
                                           << "]"
                                           << "";
    QTest::newRow("empty start") << line << ""
                                 << "\""
                                 << "";
    QTest::newRow("empty end") << line << "\""
                               << ""
                               << "";
    QTest::newRow("adjacent") << QStringLiteral("[]") << "["
                              << "]"
                              << "";
}

void TestTextFunctions::textBetween() {
    QFETCH(QString, text);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, result);
    QCOMPARE(TextBetween(text, start, end), result);
}

void TestTextFunctions::replaceAllIgnoresCase() {
    QCOMPARE(ReplaceAllIgnoreCase(QStringLiteral("{brand}/{Brand}/{BRAND}"), QStringLiteral("{brand}"),
                                  QStringLiteral("ATE")),
             QStringLiteral("ATE/ATE/ATE"));
    QCOMPARE(ReplaceAllIgnoreCase(QStringLiteral("aaa"), QStringLiteral("a"), QStringLiteral("aa")),
             QStringLiteral("aaaaaa"));
    QCOMPARE(ReplaceAllIgnoreCase(QStringLiteral("\"a\"b\""), QStringLiteral("\""), QString()), QStringLiteral("ab"));
    // A character that maps to itself may still be matched by another one without case.
    QCOMPARE(ReplaceAllIgnoreCase(QStringLiteral("STRAẞE"), QStringLiteral("ß"), QStringLiteral("ss")),
             QStringLiteral("STRAssE"));
}

void TestTextFunctions::levelIndentKeepsIndentOutsideRange() {
    QCOMPARE(LevelIndent(1, QStringLiteral("\t")), QString());
    QCOMPARE(LevelIndent(5), QStringLiteral("\t\t\t\t"));
    QCOMPARE(LevelIndent(6, QStringLiteral("\t\t")), QStringLiteral("\t\t"));
    QCOMPARE(LevelIndent(0, QStringLiteral("\t")), QStringLiteral("\t"));
}

void TestTextFunctions::pathEncode_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("blanks") << QStringLiteral("50 41 1/2") << QStringLiteral("50%2041%201/2");
    QTest::newRow("brackets") << QStringLiteral("[x]") << QStringLiteral("%5Bx%5D");
    QTest::newRow("plus") << QStringLiteral("a+b") << QStringLiteral("a%2Bb");
    QTest::newRow("umlaut") << QStringLiteral("ü") << QStringLiteral("%C3%BC");
    QTest::newRow("ampersand stays") << QStringLiteral("A&B=?:;,'-._") << QStringLiteral("A&B=?:;,'-._");
    QTest::newRow("specials") << QStringLiteral("*#%<>") << QStringLiteral("%2A%23%25%3C%3E");
    QTest::newRow("carriage return") << QStringLiteral("a\rb") << QStringLiteral("a%0Db");
    QTest::newRow("surrogate pair") << QStringLiteral("😀") << QStringLiteral("%F0%9F%98%80");
}

void TestTextFunctions::pathEncode() {
    QFETCH(QString, value);
    QFETCH(QString, encoded);
    QCOMPARE(PathEncode(value), encoded);
}

void TestTextFunctions::trimmingCoversControlCharacters() {
    QCOMPARE(Trim(QStringLiteral("\x01\t ab c\r\n\x1f")), QStringLiteral("ab c"));
    QVERIFY(IsBlank(QStringLiteral(" \t\r\n")));
    QVERIFY(!IsBlank(QStringLiteral("\u00a0")));
    QCOMPARE(EncodeBrand(QStringLiteral("A&B C")), QStringLiteral("A%26B%20C"));
}

void TestTextFunctions::streamKeepsByteOrderMark() {
    const QString text = StreamToUtf8Text(QByteArray("\xEF\xBB\xBFok\xFF"));
    QCOMPARE(text.at(0), QChar(0xFEFF));
    QCOMPARE(text.mid(1, 2), QStringLiteral("ok"));
    QCOMPARE(text.at(3), QChar(0xFFFD));
}

QTEST_GUILESS_MAIN(TestTextFunctions)
#include "tst_textfunctions.moc"
