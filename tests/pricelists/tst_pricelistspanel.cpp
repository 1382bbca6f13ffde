#include "platform/localeformats.h"
#include "support/windowfixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>

namespace {

const QString kQuestion = QStringLiteral(
    "At moment table price lists in memory program is empty !!! Do regenerate data about prices for use in memory ???");

QString questionWith(int rows) {
    return QStringLiteral("At moment table price lists in memory program holds %1 price lines !!! Do regenerate data "
                          "about prices for use in memory ???")
        .arg(rows);
}

QStringList memoLines(WindowFixture& f) {
    return f.find<QPlainTextEdit>("Memo3")->toPlainText().split(QLatin1Char('\n'));
}

} // namespace

class TestPriceListsPanel : public QObject {
    Q_OBJECT
private slots:
    void init();
    void startupReportsTheFolder();
    void regenerationThroughTheButton();
    void declinedRegenerationTouchesNothing();
    void regenerationCanBeCancelled_data();
    void regenerationCanBeCancelled();
    void listsFromAnotherLocaleAreRead();

private:
    void writeFolder();
    void clickRegenerate(WindowFixture& f);

    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestPriceListsPanel::init() {
    m_folder = std::make_unique<QTemporaryDir>();
}

void TestPriceListsPanel::writeFolder() {
    const QString sep = LocaleFormats::listSeparator();
    const auto line = [&](QStringList fields) { return (fields.join(sep) + QStringLiteral("\r\n")).toUtf8(); };
    writeBytes(m_folder->filePath("stock.csv"), line({"Brand", "Reference", "Price"}) +
                                                    line({"Bosch", "0 986-452.044", "12.50"}) +
                                                    line({"INA", "531 0305 10", "7"}) + line({"", "", ""}));
    writeBytes(m_folder->filePath("parts-[FAG].csv"), line({"CodePart", "Price"}) + line({"713 6109 10", "31"}));
    writeBytes(m_folder->filePath("only-price.csv"), line({"Price"}) + line({"1"}));
    writeBytes(m_folder->filePath("IGNORED.CSV"), line({"Brand", "Reference", "Price"}) + line({"X", "1", "1"}));
    writeBytes(m_folder->filePath("broken.xlsx"), "not a workbook");
    QVERIFY(QFile::copy(fixturePath("pricelists/prices.xls"), m_folder->filePath("a-GeneratedPriceList.xls")));
}

void TestPriceListsPanel::clickRegenerate(WindowFixture& f) {
    auto* button = f.find<QToolButton>("SpeedButton42");
    // The user scrolls the settings page down to the button first.
    f.window().findChild<QWidget*>("SETTINGS")->findChild<QScrollArea*>()->ensureWidgetVisible(button);
    QVERIFY(button->visibleRegion().contains(button->rect().center()));
    click(button);
}

void TestPriceListsPanel::startupReportsTheFolder() {
    writeFolder();
    WindowFixture f;
    writeBytes(f.folders.programFile("velmora.ini"), "[myprices]\r\npath=" + m_folder->path().toUtf8() + "\r\n");
    f.show();
    QCOMPARE(memoLines(f), (QStringList{"------------------------------------",
                                        "List files that will use for generate common file(s) :", "  -  broken.xlsx",
                                        "  -  only-price.csv", "  -  parts-[FAG].csv", "  -  stock.csv"}));
    QVERIFY(f.dialogs.shown().isEmpty());
    QCOMPARE(f.window().ownPrices().Count(), 0);
}

void TestPriceListsPanel::regenerationThroughTheButton() {
    writeFolder();
    WindowFixture f;
    writeBytes(f.folders.programFile("velmora.ini"),
               "[myprices]\r\npath=" + m_folder->path().toUtf8() + "\r\nreference=[reference][codepart][code]\r\n");
    f.show();
    f.dialogs.setNextAnswer(true);
    clickRegenerate(f);
    QCOMPARE(memoLines(f),
             (QStringList{"List files that will use for generate common file(s) :",
                          "  -  a-GeneratedPriceList.xls (read, 2 records)",
                          "  -  broken.xlsx (not read: The file is not a workbook.)",
                          "  -  only-price.csv (not read: no reference column recognised in the title row)",
                          "  -  parts-[FAG].csv (read, 1 record)", "  -  stock.csv (read, 2 records)"}));
    QCOMPARE(f.dialogs.texts(),
             (QStringList{kQuestion, "Problem with file \"" + m_folder->filePath("broken.xlsx") + "\" !"}));
    QCOMPARE(f.dialogs.shown().first().kind, ScriptedDialogs::Kind::Confirm);
    // Two lines of the stock, one of the FAG list, two of the workbook (its third has no brand).
    QCOMPARE(f.window().ownPrices().Count(), 5);
    QVERIFY(f.find<QProgressBar>("ReadingPriceListsProgress")->isHidden());
    QVERIFY(f.find<QLabel>("ReadingPriceListFile")->isHidden());
    QVERIFY(f.find<QToolButton>("ReadingPriceListsCancel")->isHidden());

    // The next regeneration replaces the table, here with nothing; its question says what is there.
    f.find<QLineEdit>("Edit8")->setText(m_folder->filePath("gone"));
    f.dialogs.clear();
    f.dialogs.setNextAnswer(true);
    clickRegenerate(f);
    QCOMPARE(f.dialogs.texts(), QStringList{questionWith(5)});
    QCOMPARE(memoLines(f), QStringList{"The path to the output/input folder is empty or wrong !"});
    QCOMPARE(f.window().ownPrices().Count(), 0);
}

void TestPriceListsPanel::declinedRegenerationTouchesNothing() {
    writeFolder();
    WindowFixture f;
    writeBytes(f.folders.programFile("velmora.ini"), "[myprices]\r\npath=" + m_folder->path().toUtf8() + "\r\n");
    f.show();
    f.dialogs.setNextAnswer(true);
    clickRegenerate(f);
    const QStringList report = memoLines(f);
    const qsizetype rows = f.window().ownPrices().Count();
    QVERIFY(rows > 0);
    f.dialogs.clear();
    f.dialogs.setNextAnswer(false);
    clickRegenerate(f);
    QCOMPARE(f.dialogs.texts(), QStringList{questionWith(int(rows))});
    QCOMPARE(memoLines(f), report);
    QCOMPARE(f.window().ownPrices().Count(), rows);
}

void TestPriceListsPanel::regenerationCanBeCancelled_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel beside the progress bar") << false;
    QTest::newRow("Escape") << true;
}

// A long regeneration runs while the window paints and answers: a second click on the button is
// held, "Cancel" or Escape stops it, the file being read adds nothing and the rest are explained.
void TestPriceListsPanel::regenerationCanBeCancelled() {
    QFETCH(bool, escape);
    const QString sep = LocaleFormats::listSeparator();
    writeBytes(m_folder->filePath("a.csv"), ("Code" + sep + "Price\nK1" + sep + "1\n").toUtf8());
    QByteArray big = ("Code" + sep + "Price\n").toUtf8();
    big.reserve(48 << 20);
    for (int i = 0; i < 3000000; ++i)
        big += "REF-" + QByteArray::number(i) + sep.toUtf8() + QByteArray::number(i % 1000) + "\n";
    writeBytes(m_folder->filePath("big.csv"), big);
    writeBytes(m_folder->filePath("z.csv"), ("Code" + sep + "Price\nK2" + sep + "2\n").toUtf8());
    WindowFixture f;
    writeBytes(f.folders.programFile("velmora.ini"),
               "[myprices]\r\npath=" + m_folder->path().toUtf8() + "\r\nreference=[code]\r\n");
    f.showActive();
    auto* file = f.find<QLabel>("ReadingPriceListFile");
    auto* cancel = f.find<QToolButton>("ReadingPriceListsCancel");
    bool acted = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (acted || file->text() != QLatin1String("big.csv"))
            return;
        acted = true;
        // The window answers: a second click on the button is held back, the cancel goes through.
        click(f.find<QToolButton>("SpeedButton42"));
        if (escape) {
            pressKey(Qt::Key_Escape);
        } else {
            QVERIFY(cancel->isVisible());
            clickOnScreen(cancel);
        }
    });
    poll.start();
    f.dialogs.setNextAnswer(true);
    clickRegenerate(f);
    poll.stop();
    QVERIFY(acted);
    QCOMPARE(f.dialogs.texts(), QStringList{kQuestion});
    QCOMPARE(memoLines(f),
             (QStringList{"List files that will use for generate common file(s) :", "  -  a.csv (read, 1 record)",
                          "  -  big.csv (not read: The reading was cancelled.)",
                          "  -  z.csv (not read: the regeneration was cancelled)"}));
    QCOMPARE(f.window().ownPrices().Count(), 1);
    QVERIFY(cancel->isHidden());
}

// Suppliers' lists written for other locales are read, and the report says so.
void TestPriceListsPanel::listsFromAnotherLocaleAreRead() {
    writeBytes(m_folder->filePath("a-semicolons.csv"), "brand;reference;price\r\nBosch;0 986;12,50\r\n");
    writeBytes(m_folder->filePath("b-commas.csv"), "brand,reference,price\r\nBosch,0 986,12.50\r\n");
    writeBytes(m_folder->filePath("c-tabs.csv"), "brand\treference\tprice\r\nBosch\t0 987\t1,5\r\n");
    WindowFixture f;
    writeBytes(f.folders.programFile("velmora.ini"), "[myprices]\r\npath=" + m_folder->path().toUtf8() + "\r\n");
    f.show();
    f.dialogs.setNextAnswer(true);
    clickRegenerate(f);
    QCOMPARE(memoLines(f), (QStringList{"List files that will use for generate common file(s) :",
                                        "  -  a-semicolons.csv (read, 1 record)", "  -  b-commas.csv (read, 1 record)",
                                        "  -  c-tabs.csv (read, 1 record)"}));
    QCOMPARE(f.window().ownPrices().Count(), 3);
}

QTEST_MAIN(TestPriceListsPanel)
#include "tst_pricelistspanel.moc"
