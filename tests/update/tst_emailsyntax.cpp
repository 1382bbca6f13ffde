#include "update/emailsyntax.h"

#include <QTest>

class TestEmailSyntax : public QObject {
    Q_OBJECT
private slots:
    void addresses_data();
    void addresses();
    void wordCharactersAreExactlyTheTable();
};

void TestEmailSyntax::addresses_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("accepted");
    auto row = [](const char* name, const QString& address, bool accepted) {
        QTest::newRow(name) << address << accepted;
    };
    row("plain", "trader@velmora.test", true);
    row("empty", "", false);
    row("only at-sign", "@", false);
    row("no local part", "@velmora.test", false);
    row("no at-sign", "trader.velmora.test", false);
    row("one label", "trader@localhost", false);
    row("three labels", "a@mail.velmora.test", true);
    row("single letters", "a@b.c", true);
    row("label starting with digit", "a@1velmora.test", false);
    row("last label starting with digit", "a@velmora.1test", false);
    row("digit after first letter", "a@v3lmora.t3st", true);
    row("label ending in hyphen", "a@velmora-.test", false);
    row("address ending in hyphen", "a@velmora.test-", false);
    row("inner hyphen", "a@vel-mora.test", true);
    row("double hyphen", "a@vel--mora.test", true);
    row("label starting with hyphen", "a@-velmora.test", false);
    row("underscore in domain", "a@vel_mora.test", false);
    row("ending in dot", "a@velmora.test.", false);
    row("two dots in domain", "a@velmora..test", false);
    row("dot-separated words", "first.middle.last@velmora.test", true);
    row("two dots in local part", "first..last@velmora.test", false);
    row("local part starting with dot", ".first@velmora.test", false);
    row("local part ending with dot", "first.@velmora.test", false);
    row("plus and ampersand", "a+b&c@velmora.test", true);
    row("every other sign", "!#$%&'*+-=?^_`{|}~@velmora.test", true);
    row("unquoted blank", "first last@velmora.test", false);
    row("unquoted parenthesis", "first(x)@velmora.test", false);
    row("unquoted comma", "first,last@velmora.test", false);
    row("unquoted slash", "a/b@velmora.test", false);
    row("unquoted brackets", "a[b]@velmora.test", false);
    row("unquoted backslash", "a\\b@velmora.test", false);
    row("two at-signs", "a@b@velmora.test", false);
    row("quoted with blank", "\"first last\"@velmora.test", true);
    row("quoted with escaped quote", "\"say \\\"hi\\\"\"@velmora.test", true);
    row("quoted with escaped backslash", "\"a\\\\b\"@velmora.test", true);
    row("quoted with comma and at-sign", "\"a,b@c\"@velmora.test", true);
    row("quoted with CR", "\"a\rb\"@velmora.test", false);
    row("quoted with escaped CR", "\"a\\\rb\"@velmora.test", true);
    row("quoted with LF", "\"a\nb\"@velmora.test", true);
    row("empty quoted string", "\"\"@velmora.test", true);
    row("unclosed quote", "\"abc@velmora.test", false);
    row("quote inside a word", "ab\"c\"@velmora.test", false);
    row("quoted then dot then word", "\"a b\".c@velmora.test", true);
    row("word then dot then quoted", "c.\"a b\"@velmora.test", true);
    row("quoted followed by word", "\"a\"b@velmora.test", false);
    row("accented local part", QStringLiteral("jürgen@velmora.test"), true);
    row("code 255 in local part", QStringLiteral("\u00ff@velmora.test"), true);
    row("code 127 in local part", QStringLiteral("a\u007f@velmora.test"), false);
    row("above 255 in local part", QStringLiteral("\u0142ukasz@velmora.test"), false);
    row("above 255 quoted", QStringLiteral("\"\u0142ukasz\"@velmora.test"), false);
    row("above 255 escaped in quotes", QStringLiteral("\"\\\u0142ukasz\"@velmora.test"), true);
    row("accented domain", QStringLiteral("a@m\u00fcller.test"), false);
    row("control character", "a\tb@velmora.test", false);
    row("leading blank", " a@velmora.test", false);
    row("long local part", QString(300, 'x') + "@velmora.test", true);
    row("long domain", "a@" + QString(300, 'x') + ".test", true);
}

void TestEmailSyntax::addresses() {
    QFETCH(QString, address);
    QFETCH(bool, accepted);
    QCOMPARE(CheckEmailSyntax(address), accepted);
}

// A word character alone makes a valid local part; the table has 208 of them.
void TestEmailSyntax::wordCharactersAreExactlyTheTable() {
    const QList<int> excluded = {34, 40, 41, 44, 46, 47, 58, 59, 60, 62, 64, 91, 92, 93, 127};
    int count = 0;
    for (int code = 0; code < 400; ++code) {
        const bool word = CheckEmailSyntax(QString(QChar(code)) + QStringLiteral("@velmora.test"));
        const bool expected = code >= 33 && code <= 255 && !excluded.contains(code);
        QVERIFY2(word == expected, qPrintable(QString::number(code)));
        count += word;
    }
    // The quote starts a quoted string instead.
    QCOMPARE(count, 208);
}

QTEST_GUILESS_MAIN(TestEmailSyntax)
#include "tst_emailsyntax.moc"
