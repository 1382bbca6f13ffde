#include "pricing/pricetext.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<Money>)

namespace {

std::optional<Money> money(qint64 minor, const char* currency = "") {
    return Money{minor, QString::fromUtf8(currency)};
}

QString show(const std::optional<Money>& value) {
    return value ? QStringLiteral("%1 %2").arg(value->minor).arg(value->currency) : QStringLiteral("unreadable");
}

} // namespace

class TestPriceText : public QObject {
    Q_OBJECT

private slots:
    // The price cells of own price lists, as people and spreadsheets of every locale write them.
    void ownPriceTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<Money>>("expected");
        // Decimal comma and point, with and without thousands.
        QTest::newRow("decimal comma") << "12,50" << money(1250);
        QTest::newRow("decimal point") << "12.50" << money(1250);
        QTest::newRow("one decimal") << "12.5" << money(1250);
        QTest::newRow("whole") << "12" << money(1200);
        QTest::newRow("german thousands") << "1.234,56" << money(123456);
        QTest::newRow("english thousands") << "1,234.56" << money(123456);
        QTest::newRow("millions") << "1.234.567,89" << money(123456789);
        QTest::newRow("french blank") << "1 234,56" << money(123456);
        QTest::newRow("no-break blank") << QStringLiteral("1\u00A0234,56") << money(123456);
        QTest::newRow("narrow blank") << QStringLiteral("1\u202F234,56") << money(123456);
        QTest::newRow("swiss apostrophe") << "1'234.56" << money(123456);
        QTest::newRow("three digits group") << "1.000" << money(100000);
        QTest::newRow("three digits group comma") << "12,500" << money(1250000);
        QTest::newRow("zero then three decimals") << "0,100" << money(10);
        QTest::newRow("trailing zeros") << "12.5000" << money(1250);
        QTest::newRow("leading zeros") << "007.50" << money(750);
        QTest::newRow("blanks around") << "  12,50 \t" << money(1250);
        // Currencies around the number.
        QTest::newRow("euro sign after") << QStringLiteral("12,50 €") << money(1250, "EUR");
        QTest::newRow("euro sign before") << QStringLiteral("€12.50") << money(1250, "EUR");
        QTest::newRow("pound") << QStringLiteral("£ 1,234.00") << money(123400, "GBP");
        QTest::newRow("zloty") << QStringLiteral("45,99 zł") << money(4599, "PLN");
        QTest::newRow("code after") << "12.50 EUR" << money(1250, "EUR");
        QTest::newRow("code lower case before") << "sek 99" << money(9900, "SEK");
        // Nothing guessed: what cannot be read exactly stays text.
        QTest::newRow("empty") << "" << std::optional<Money>();
        QTest::newRow("word") << "on request" << std::optional<Money>();
        QTest::newRow("negative") << "-12,50" << std::optional<Money>();
        QTest::newRow("sub-cent") << "0,125" << std::optional<Money>();
        QTest::newRow("three decimals after blank groups") << "1 234.567" << std::optional<Money>();
        QTest::newRow("two decimal marks") << "12,50,1" << std::optional<Money>();
        QTest::newRow("bad group") << "1.23.456" << std::optional<Money>();
        QTest::newRow("mixed grouping") << "1 234'567" << std::optional<Money>();
        QTest::newRow("doubled mark") << "12..5" << std::optional<Money>();
        QTest::newRow("dash for zero cents") << "12,-" << std::optional<Money>();
        QTest::newRow("leading mark") << ",50" << std::optional<Money>();
        QTest::newRow("ambiguous krona sign") << "12 kr" << std::optional<Money>();
        QTest::newRow("unit, not currency") << "12 pcs" << std::optional<Money>();
        QTest::newRow("currency both sides") << QStringLiteral("€ 12 EUR") << std::optional<Money>();
        QTest::newRow("two numbers") << "12 / 14" << std::optional<Money>();
        QTest::newRow("overflow") << "123456789012345678901" << std::optional<Money>();
        QTest::newRow("arabic-indic digits") << QStringLiteral("\u0661\u0662") << std::optional<Money>();
    }
    void ownPriceTexts() {
        QFETCH(QString, text);
        QFETCH(std::optional<Money>, expected);
        QCOMPARE(show(ParseOwnPrice(text)), show(expected));
    }

    // The price services give the price and the currency in fields of their own.
    void servicePriceFields_data() {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<std::optional<Money>>("expected");
        QTest::newRow("comparison") << "24.90"
                                    << "EUR" << money(2490, "EUR");
        QTest::newRow("lower-case code") << "24.90"
                                         << "gbp" << money(2490, "GBP");
        QTest::newRow("symbol field") << "24,90" << QStringLiteral("€") << money(2490, "EUR");
        QTest::newRow("name no table knows stays apart") << "24.90"
                                                         << "Euro" << money(2490, "EURO");
        QTest::newRow("no currency") << "24.90"
                                     << "" << money(2490);
        QTest::newRow("same code in both") << "24.90 EUR"
                                           << "EUR" << money(2490, "EUR");
        QTest::newRow("codes disagree") << "24.90 GBP"
                                        << "EUR" << std::optional<Money>();
        QTest::newRow("empty price") << ""
                                     << "EUR" << std::optional<Money>();
        QTest::newRow("garbage price") << "n/a"
                                       << "EUR" << std::optional<Money>();
    }
    void servicePriceFields() {
        QFETCH(QString, price);
        QFETCH(QString, currency);
        QFETCH(std::optional<Money>, expected);
        QCOMPARE(show(ParseServicePrice(price, currency)), show(expected));
    }

    void amountsAreWrittenWithoutRounding() {
        // Sums of cents stay exact where binary fractions would not.
        const qint64 sum = *ParseDecimalHundredths(u"0.10") + *ParseDecimalHundredths(u"0.20");
        QCOMPARE(CanonicalAmount(sum), QStringLiteral("0.30"));
        QCOMPARE(CanonicalAmount(kMaxMinor), QStringLiteral("999999999999.99"));
        QCOMPARE(*ParseDecimalHundredths(CanonicalAmount(kMaxMinor)), kMaxMinor);
        QCOMPARE(FormatAmount(123456, QLocale(QLocale::German)), QStringLiteral("1.234,56"));
        QCOMPARE(FormatAmount(123456, QLocale(QLocale::English, QLocale::UnitedStates)), QStringLiteral("1,234.56"));
        QCOMPARE(FormatAmount(-5, QLocale(QLocale::English, QLocale::UnitedStates)), QStringLiteral("-0.05"));
        QCOMPARE(FormatPercent(-1234, true, QLocale(QLocale::German)), QStringLiteral("-12,34 %"));
        QCOMPARE(FormatPercent(320, true, QLocale(QLocale::English)), QStringLiteral("+3.20 %"));
        QCOMPARE(FormatPercent(0, true, QLocale(QLocale::English)), QStringLiteral("0.00 %"));
    }
};

QTEST_GUILESS_MAIN(TestPriceText)
#include "tst_pricetext.moc"
