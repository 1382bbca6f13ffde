#include "platform/localeformats.h"
#include "support/windowfixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QToolButton>

namespace {

const QString kQuestion = QStringLiteral(
    "At moment table price lists in memory program is empty !!! Do regenerate data about prices for use in memory ???");

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
    QCOMPARE(memoLines(f), (QStringList{"List files that will use for generate common file(s) :",
                                        "  -  a-GeneratedPriceList.xls", "  -  parts-[FAG].csv", "  -  stock.csv"}));
    QCOMPARE(f.dialogs.texts(),
             (QStringList{kQuestion, "Problem with file \"" + m_folder->filePath("broken.xlsx") + "\" !"}));
    QCOMPARE(f.dialogs.shown().first().kind, ScriptedDialogs::Kind::Confirm);
    // Two lines of the stock, one of the FAG list, two of the workbook (its third has no brand).
    QCOMPARE(f.window().ownPrices().Count(), 5);
    QVERIFY(f.find<QProgressBar>("ReadingPriceListsProgress")->isHidden());
    QVERIFY(f.find<QLabel>("ReadingPriceListFile")->isHidden());

    // The next regeneration replaces the table, here with nothing.
    f.find<QLineEdit>("Edit8")->setText(m_folder->filePath("gone"));
    f.dialogs.clear();
    f.dialogs.setNextAnswer(true);
    clickRegenerate(f);
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
    QCOMPARE(f.dialogs.texts(), QStringList{kQuestion});
    QCOMPARE(memoLines(f), report);
    QCOMPARE(f.window().ownPrices().Count(), rows);
}

QTEST_MAIN(TestPriceListsPanel)
#include "tst_pricelistspanel.moc"
