#include "app/settings.h"
#include "platform/inifile.h"
#include "platform/textfile.h"
#include "platform/widgets.h"
#include "service/serviceclient.h"
#include "support/windowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSplitter>
#include <QToolButton>

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void lowerAreaSplitIsRemembered();
    void brokenSplitFallsBack_data();
    void brokenSplitFallsBack();
    void firstStartShowsDefaults();
    void everyKeyRoundTrips();
    void storedValuesOutsideTheirRange_data();
    void storedValuesOutsideTheirRange();
    void runWithoutWindowReadsWhatTheWindowShows_data();
    void runWithoutWindowReadsWhatTheWindowShows();
    void pageNeverShownSavesWhatWasRead_data();
    void pageNeverShownSavesWhatWasRead();
    void pageShownLaterHoldsWhatWasRead();
    void listFilesFeedListsAndSharedTexts();
    void garageIsShownAndSavedSorted();
    void longListFilesLoadSortedAsInsertedOneByOne();
    void fileWithoutMarkIsReadAsAnsiAndWrittenAsUtf8();
    void failedSaveShowsErrorAndKeepsWindowOpen();
};

namespace {
// Every key of `expected` (an INI text) whose value the written file does not hold, as
// "section/key=written".
QStringList keysWrittenOtherwise(const IniFile& written, const QByteArray& expected) {
    const IniFile wanted = IniFile::parse(QString::fromUtf8(expected));
    QStringList differing;
    QString section;
    for (const QString& line : QString::fromUtf8(expected).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (line.startsWith('[')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const QString key = line.section('=', 0, 0);
        if (written.text(section, key) != wanted.text(section, key))
            differing << section + '/' + key + '=' + written.text(section, key);
    }
    return differing;
}
} // namespace

void TestSettings::firstStartShowsDefaults() {
    WindowFixture f;
    TForm1& w = f.show();
    QCOMPARE(w.currentPage(), QStringLiteral("SETTINGS"));
    QCOMPARE(f.find<QLineEdit>("Edit3")->text(), QString());
    QCOMPARE(f.find<QLineEdit>("Edit4")->text(), QString());
    QCOMPARE(f.find<QComboBox>("ComboBox11")->currentText(), QStringLiteral("en"));
    QCOMPARE(f.find<QComboBox>("ComboBox11")->count(), 25);
    QVERIFY(f.find<QCheckBox>("CheckBox11")->isChecked());
    QVERIFY(f.find<QCheckBox>("CheckBox12")->isChecked());
    for (const char* flag :
         {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox7", "CheckBox8", "CheckBox9", "CheckBox10"})
        QVERIFY2(!f.find<QCheckBox>(flag)->isChecked(), flag);
    QCOMPARE(f.find<QLineEdit>("Edit13")->text(), f.folders.programDir() + QLatin1Char('/'));
    QVERIFY(f.find<QRadioButton>("RadioButton9")->isChecked());
    QCOMPARE(f.find<QLineEdit>("Edit7")->text(), QStringLiteral("5"));
    QCOMPARE(f.find<QLineEdit>("Edit16")->text(), QStringLiteral("10"));
    QCOMPARE(f.find<QLineEdit>("UndercutThreshold")->text(), QStringLiteral("5"));
    QCOMPARE(f.find<QLineEdit>("OwnPriceCurrency")->text(), QStringLiteral("EUR"));
    QCOMPARE(f.find<QLineEdit>("KeepPriceHistoryDays")->text(), QStringLiteral("365"));
    QCOMPARE(f.find<QLineEdit>("Edit9")->text(), QStringLiteral("[brand][namebrand]..."));
    QCOMPARE(f.find<QLineEdit>("Edit10")->text(), QStringLiteral("[reference][codepart][numberproduct]..."));
    QCOMPARE(f.find<QLineEdit>("Edit11")->text(), QStringLiteral("[price]..."));
    QCOMPARE(f.find<QListWidget>("ListBox2")->count(), 1);
    QVERIFY(f.find<QListWidget>("ListBox2")->item(0)->text().endsWith(QStringLiteral("/search?q={brand}+{reference}")));
    QCOMPARE(f.find<QLabel>("Label18")->text(), QStringLiteral("My garage"));
    QVERIFY(!QFile::exists(f.folders.programFile("velmora.ini")));
}

void TestSettings::everyKeyRoundTrips() {
    WindowFixture f;
    const QByteArray ini = "[webservice]\r\nemail=me@shop.test\r\nseccode=s3cret\r\nlang=3\r\n"
                           "[compareprice]\r\nemail=c@x\r\nseccode=cs\r\nenable=1\r\n"
                           "[analizprice]\r\nemail=a@x\r\nseccode=as\r\nmaxval=8\r\nenable=1\r\n"
                           "[myprices]\r\npath=/tmp/prices\r\nbrand=[marke]\r\nreference=[artnr]\r\nprice=[preis]\r\n"
                           "enable=1\r\nautodownload=1\r\n"
                           "[openpage]\r\nenable=1\r\nseparate_thread=0\r\npause=0\r\npauser_after=7\r\n"
                           "[export_myprices]\r\npathexport=/tmp/out/\r\nadd_criteries=1\r\nadd_crossses=1\r\n"
                           "add_aplicability=1\r\nconvert_as=3\r\n"
                           "[bestoffers]\r\nundercut_percent=2,5\r\nown_currency=PLN\r\nkeep_days=30\r\n"
                           "[service]\r\ncatalog_url=http://127.0.0.1:1/\r\n";
    writeBytes(f.folders.programFile("velmora.ini"), ini);
    f.show();
    QCOMPARE(f.find<QLineEdit>("Edit3")->text(), QStringLiteral("me@shop.test"));
    QCOMPARE(f.find<QComboBox>("ComboBox11")->currentText(), QStringLiteral("de"));
    QVERIFY(f.find<QCheckBox>("CheckBox7")->isChecked());
    QVERIFY(!f.find<QCheckBox>("CheckBox11")->isChecked());
    QVERIFY(f.find<QRadioButton>("RadioButton10")->isChecked());
    QCOMPARE(f.find<QLineEdit>("Edit16")->text(), QStringLiteral("7"));

    QVERIFY(f.window().close());
    const IniFile saved = IniFile::load(f.folders.programFile("velmora.ini"));
    QCOMPARE(keysWrittenOtherwise(saved, ini), QStringList());
    // Key names and order are the program's own.
    const QString text = QString::fromUtf8(readBytes(f.folders.programFile("velmora.ini")));
    QVERIFY(text.indexOf("add_crossses=1") > text.indexOf("add_criteries=1"));
}

namespace {
// The catalog page shown, so that the lower area has its real size.
QSplitter* shownSplitter(WindowFixture& f) {
    f.show();
    f.openPage("PAGEPRODUCT");
    auto* split = f.find<QSplitter>("lowerAreaSplitter");
    QTest::qWait(0);
    return split;
}
} // namespace

void TestSettings::lowerAreaSplitIsRemembered() {
    WindowFixture f;
    QSplitter* split = shownSplitter(f);
    const QList<int> start = split->sizes();
    QCOMPARE(start.size(), 2);
    QVERIFY2(start[0] < start[1], "the tables get the larger part");
    split->setSizes({start[0] + 120, start[1] - 120}); // as the user drags the handle
    const QList<int> dragged = split->sizes();
    QVERIFY(dragged != start);
    QVERIFY(f.window().close());
    const QString text = QString::fromUtf8(readBytes(f.folders.programFile("velmora.ini")));
    QVERIFY2(text.contains(QString("[window]\r\nlower_area=%1,%2").arg(dragged[0]).arg(dragged[1])), qPrintable(text));

    f.destroy();
    QCOMPARE(shownSplitter(f)->sizes(), dragged);
}

void TestSettings::brokenSplitFallsBack_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("not numbers") << QByteArray("a,b");
    QTest::newRow("one pane") << QByteArray("300");
    QTest::newRow("three panes") << QByteArray("100,200,300");
    QTest::newRow("zero width") << QByteArray("0,500");
    QTest::newRow("negative width") << QByteArray("-5,500");
}

void TestSettings::brokenSplitFallsBack() {
    QFETCH(QByteArray, value);
    WindowFixture fresh;
    const QList<int> standard = shownSplitter(fresh)->sizes();
    WindowFixture f;
    writeBytes(f.folders.programFile("velmora.ini"), "[window]\r\nlower_area=" + value + "\r\n");
    QCOMPARE(shownSplitter(f)->sizes(), standard);
}

void TestSettings::storedValuesOutsideTheirRange_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("separateThread");
    QTest::addColumn<QString>("format");
    QTest::newRow("index past the list") << QByteArray("[webservice]\nlang=25\n") << -1 << true << "RadioButton9";
    QTest::newRow("negative index") << QByteArray("[webservice]\nlang=-1\n") << -1 << true << "RadioButton9";
    QTest::newRow("index not a number") << QByteArray("[webservice]\nlang=en\n") << 5 << true << "RadioButton9";
    QTest::newRow("flag not a number") << QByteArray("[openpage]\nseparate_thread=yes\n") << 5 << true
                                       << "RadioButton9";
    QTest::newRow("flag any non-zero") << QByteArray("[openpage]\nseparate_thread=2\n") << 5 << true << "RadioButton9";
    QTest::newRow("flag zero") << QByteArray("[openpage]\nseparate_thread=0\n") << 5 << false << "RadioButton9";
    QTest::newRow("format out of range") << QByteArray("[export_myprices]\nconvert_as=7\n") << 5 << true
                                         << "RadioButton9";
    QTest::newRow("format csv") << QByteArray("[export_myprices]\nconvert_as=1\n") << 5 << true << "RadioButton5";
}

void TestSettings::storedValuesOutsideTheirRange() {
    QFETCH(QByteArray, ini);
    QFETCH(int, language);
    QFETCH(bool, separateThread);
    QFETCH(QString, format);
    WindowFixture f;
    writeBytes(f.folders.programFile("velmora.ini"), ini);
    f.show();
    QCOMPARE(f.find<QComboBox>("ComboBox11")->currentIndex(), language);
    QCOMPARE(f.window().context().service->StandardParameters().startsWith(
                 language < 0 ? QStringLiteral("format=json&lang=&email=") : QStringLiteral("format=json&lang=")),
             true);
    QCOMPARE(f.find<QCheckBox>("CheckBox11")->isChecked(), separateThread);
    QVERIFY(f.find<QRadioButton>(format)->isChecked());
}

void TestSettings::runWithoutWindowReadsWhatTheWindowShows_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::newRow("no file") << QByteArray();
    QTest::newRow("every run key") << QByteArray(
        "[compareprice]\r\nemail=c@x\r\nseccode= cs&1 \r\nenable=1\r\n"
        "[analizprice]\r\nemail=a@x\r\nseccode=as\r\nmaxval=8\r\nenable=2\r\n"
        "[myprices]\r\npath=/tmp/prices\r\nbrand=[marke]\r\nreference=[artnr]\r\nprice=[preis]\r\nenable=1\r\n");
    QTest::newRow("switches not numbers") << QByteArray("[compareprice]\nenable=yes\n[analizprice]\nenable= 1\n"
                                                        "[myprices]\nenable=\n");
}

// The headless run reads the file by its keys, the window by its controls: both must agree.
void TestSettings::runWithoutWindowReadsWhatTheWindowShows() {
    QFETCH(QByteArray, ini);
    WindowFixture f;
    const QString path = f.folders.programFile("velmora.ini");
    if (!ini.isEmpty())
        writeBytes(path, ini);
    writeBytes(f.folders.programFile("ListIDsShopsForCompare.txt"), "12\r\n44\r\n");
    f.show();
    const Settings::RunFileSettings file = Settings::ReadRunSettings(path);
    const auto checked = [&](const char* name) { return f.find<QCheckBox>(name)->isChecked(); };
    const auto text = [&](const char* name) { return f.find<QLineEdit>(name)->text(); };
    QCOMPARE(file.run.ownPrices, checked("CheckBox3"));
    QCOMPARE(file.run.compare, checked("CheckBox1"));
    QCOMPARE(file.run.analysis, checked("CheckBox2"));
    QCOMPARE(file.run.compareEmail, text("Edit5"));
    QCOMPARE(file.run.compareSeccode, text("Edit6"));
    QCOMPARE(file.run.analysisEmail, text("Edit1"));
    QCOMPARE(file.run.analysisSeccode, text("Edit2"));
    QCOMPARE(file.run.maxSubOffers, text("Edit7"));
    QCOMPARE(file.run.compareShopIds, f.window().context().texts->CompareShopIds);
    QCOMPARE(file.run.analysisShopIds, f.window().context().texts->AnalysisShopIds);
    QCOMPARE(file.priceListFolder, text("Edit8"));
    QCOMPARE(file.brandColumns, text("Edit9"));
    QCOMPARE(file.referenceColumns, text("Edit10"));
    QCOMPARE(file.priceColumns, text("Edit11"));
    QCOMPARE(file.keepHistoryDays, text("KeepPriceHistoryDays"));
}

void TestSettings::pageNeverShownSavesWhatWasRead_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QByteArray>("saved");
    const QByteArray exportValues = "[export_myprices]\r\npathexport=/srv/exports/\r\nadd_criteries=1\r\n"
                                    "add_crossses=0\r\nadd_aplicability=1\r\n";
    const QByteArray window = "[window]\r\nlower_area=210,590\r\ncatalog_area=300,260\r\n";
    QTest::newRow("as CSV") << exportValues + "convert_as=1\r\n" + window << exportValues + "convert_as=1\r\n" + window;
    QTest::newRow("as JSON") << exportValues + "convert_as=3\r\n" + window
                             << exportValues + "convert_as=3\r\n" + window;
    // A format that selects no button leaves the group at "as XML", as a shown page would.
    QTest::newRow("format out of range") << exportValues + "convert_as=9\r\n" + window
                                         << exportValues + "convert_as=2\r\n" + window;
    QTest::newRow("no file") << QByteArray()
                             << QByteArray("[export_myprices]\r\nadd_criteries=0\r\n"
                                           "add_crossses=0\r\nadd_aplicability=0\r\nconvert_as=2\r\n");
}

// The export and catalog pages are built when first shown; a run that never shows them still
// writes back every value read for them.
void TestSettings::pageNeverShownSavesWhatWasRead() {
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, saved);
    WindowFixture f;
    if (!ini.isEmpty())
        writeBytes(f.folders.programFile("velmora.ini"), ini);
    f.show();
    QVERIFY(!f.window().findChild<QWidget*>("EXPORT"));
    QVERIFY(!f.window().findChild<QWidget*>("PAGEPRODUCT"));
    QVERIFY(f.window().close());
    const IniFile written = IniFile::load(f.folders.programFile("velmora.ini"));
    QCOMPARE(keysWrittenOtherwise(written, saved), QStringList());
    // A first start: the export folder is the program's; no sizes of panes never laid out.
    if (ini.isEmpty()) {
        QCOMPARE(written.text("export_myprices", "pathexport"), f.folders.programDir() + '/');
        QCOMPARE(written.text("window", "lower_area"), QString());
    }
}

void TestSettings::pageShownLaterHoldsWhatWasRead() {
    WindowFixture f;
    writeBytes(f.folders.programFile("velmora.ini"),
               "[export_myprices]\r\npathexport=/srv/exports/\r\nadd_criteries=1\r\nadd_crossses=0\r\n"
               "add_aplicability=1\r\nconvert_as=1\r\n");
    TForm1& w = f.showActive();
    QVERIFY(!w.findChild<QWidget*>("Edit13"));
    click(w.findChild<QToolButton*>("SpeedButton25"));
    QCOMPARE(w.currentPage(), QStringLiteral("EXPORT"));
    auto* folder = w.findChild<QLineEdit*>("Edit13");
    QVERIFY(folder && folder->isVisible());
    QCOMPARE(folder->text(), QStringLiteral("/srv/exports/"));
    QVERIFY(w.findChild<QCheckBox*>("CheckBox8")->isChecked());
    QVERIFY(!w.findChild<QCheckBox*>("CheckBox9")->isChecked());
    QVERIFY(w.findChild<QCheckBox*>("CheckBox10")->isChecked());
    QVERIFY(w.findChild<QRadioButton*>("RadioButton5")->isChecked());
    QVERIFY(!w.findChild<QRadioButton*>("RadioButton9")->isChecked());

    // What the user changes there is what the close writes.
    clickCheck(w.findChild<QCheckBox*>("CheckBox9"));
    click(w.findChild<QRadioButton*>("RadioButton10"));
    QVERIFY(w.close());
    const IniFile written = IniFile::load(f.folders.programFile("velmora.ini"));
    QCOMPARE(written.text("export_myprices", "add_crossses"), QStringLiteral("1"));
    QCOMPARE(written.text("export_myprices", "convert_as"), QStringLiteral("3"));
    QCOMPARE(written.text("export_myprices", "pathexport"), QStringLiteral("/srv/exports/"));
}

void TestSettings::listFilesFeedListsAndSharedTexts() {
    WindowFixture f;
    writeBytes(f.folders.programFile("ListNecessaryBrands.txt"), "\xEF\xBB\xBF"
                                                                 "BOSCH\r\nFEBI BILSTEIN\r\n");
    writeBytes(f.folders.programFile("ListIDsShopsForCompare.txt"), "12\r\n44\r\n");
    writeBytes(f.folders.programFile("ListIDsShopsForAnalis.txt"), "");
    writeBytes(f.folders.programFile("OpenPages.txt"), "http://b/{brand}\r\nhttp://a/{reference}\r\n");
    writeBytes(f.folders.programFile("UrlsForPriceLists.txt"), "http://z/p.csv\r\nftp://a/p.csv\r\n");
    f.show();
    const SharedTexts& texts = *f.window().context().texts;
    QCOMPARE(texts.NecessaryBrands, QStringLiteral("[BOSCH][FEBI BILSTEIN]"));
    QCOMPARE(texts.CompareShopIds, QStringLiteral("[12][44]"));
    QCOMPARE(texts.AnalysisShopIds, QString());
    QCOMPARE(itemTexts(f.find<QListWidget>("ListBox2")), QStringList({"http://b/{brand}", "http://a/{reference}"}));
    QCOMPARE(itemTexts(f.find<QListWidget>("ListBox5")), QStringList({"ftp://a/p.csv", "http://z/p.csv"}));
}

void TestSettings::garageIsShownAndSavedSorted() {
    WindowFixture f;
    writeBytes(f.folders.programFile("MyGarage.txt"),
               "\xEF\xBB\xBF"
               "VW\tGolf\t1.9 TDI\t{3}\r\naudi\tA4\t2.0\t{1}\r\nBMW\t3\t320d\t{2}\r\n");
    f.show();
    QCOMPARE(f.find<QLabel>("Label18")->text(), QStringLiteral("My garage [3]"));
    QCOMPARE(itemTexts(f.find<QListWidget>("ListBox4")),
             QStringList({"audi\tA4\t2.0\t{1}", "BMW\t3\t320d\t{2}", "VW\tGolf\t1.9 TDI\t{3}"}));
    QVERIFY(f.window().close());
    QCOMPARE(readBytes(f.folders.programFile("MyGarage.txt")),
             QByteArray("\xEF\xBB\xBF"
                        "audi\tA4\t2.0\t{1}\r\nBMW\t3\t320d\t{2}\r\nVW\tGolf\t1.9 TDI\t{3}\r\n"));
    // Empty lists are written too: only the mark.
    QCOMPARE(readBytes(f.folders.programFile("UrlsForPriceLists.txt")), QByteArray("\xEF\xBB\xBF"));
    // The download links hold suppliers' passwords: the file is born private.
    const QFileDevice::Permissions groupAndOthers(0x0077);
    QCOMPARE(QFileInfo(f.folders.programFile("UrlsForPriceLists.txt")).permissions() & groupAndOthers,
             QFileDevice::Permissions());
}

// Inserting line by line scanned the whole list each time: 30,000 download links never got the
// window up. The suite's time-out for this test catches a return of that.
void TestSettings::longListFilesLoadSortedAsInsertedOneByOne() {
    QStringList links;
    for (int i = 0; i < 30000; ++i) {
        // Mixed case, equal texts in other cases and umlauts, in no order.
        const int n = (i * 7919) % 30000;
        const QString host = (n % 3 == 0 ? QStringLiteral("Shop%1") : QStringLiteral("shop%1")).arg(n % 9000);
        links << QStringLiteral("http://%1.de/Pr\u00e4ise-%2.csv").arg(host).arg(n % 11);
    }
    QStringList garage;
    for (int i = 0; i < 5000; ++i)
        garage << QStringLiteral("%1\tModel %2\t{%3}").arg(i % 2 ? "audi" : "AUDI").arg((i * 31) % 500).arg(i);

    // One by one on a sample, as the list box itself sorts.
    QListWidget oneByOne;
    for (const QString& line : links.mid(0, 400))
        insertSorted(&oneByOne, line);
    QCOMPARE(sortedLikeInsertSorted(links.mid(0, 400)), itemTexts(&oneByOne));

    WindowFixture f;
    QVERIFY(TextFile::writeUtf8Lines(f.folders.programFile("UrlsForPriceLists.txt"), links));
    QVERIFY(TextFile::writeUtf8Lines(f.folders.programFile("MyGarage.txt"), garage));
    f.show();
    QCOMPARE(itemTexts(f.find<QListWidget>("ListBox5")), sortedLikeInsertSorted(links));
    const QStringList shownGarage = itemTexts(f.find<QListWidget>("ListBox4"));
    QCOMPARE(shownGarage.size(), 5000);
    for (qsizetype i = 1; i < shownGarage.size(); ++i)
        QVERIFY(QString::localeAwareCompare(shownGarage[i - 1].toLower(), shownGarage[i].toLower()) <= 0);
    QCOMPARE(f.find<QLabel>("Label18")->text(), QStringLiteral("My garage [5000]"));
}

void TestSettings::fileWithoutMarkIsReadAsAnsiAndWrittenAsUtf8() {
    WindowFixture f;
    writeBytes(f.folders.programFile("OpenPages.txt"), "http://shop.de/suche?q={reference}&h\xE4ndler=M\xFCller\r\n");
    f.show();
    QCOMPARE(f.find<QListWidget>("ListBox2")->item(0)->text(),
             QStringLiteral("http://shop.de/suche?q={reference}&händler=Müller"));
    QVERIFY(f.window().close());
    QCOMPARE(readBytes(f.folders.programFile("OpenPages.txt")),
             QByteArray("\xEF\xBB\xBFhttp://shop.de/suche?q={reference}&h\xC3\xA4ndler=M\xC3\xBCller\r\n"));
}

void TestSettings::failedSaveShowsErrorAndKeepsWindowOpen() {
    WindowFixture f;
    writeBytes(f.folders.programFile("velmora.ini"), "[webservice]\r\nemail=old@x\r\n");
    // A folder where the download list file should go makes that write fail.
    QVERIFY(QDir(f.folders.programDir()).mkdir("UrlsForPriceLists.txt"));
    f.show();
    f.find<QLineEdit>("Edit3")->setText("new@x");
    QVERIFY(!f.window().close());
    QVERIFY(f.window().isVisible());
    QCOMPARE(f.dialogs.shown().size(), 1);
    QCOMPARE(f.dialogs.shown()[0].kind, ScriptedDialogs::Kind::Error);
    // Settings come after the lists: the old file stays whole.
    QCOMPARE(readBytes(f.folders.programFile("velmora.ini")), QByteArray("[webservice]\r\nemail=old@x\r\n"));
    QVERIFY(QDir(f.folders.programDir()).rmdir("UrlsForPriceLists.txt"));
    QVERIFY(f.window().close());
    QCOMPARE(IniFile::load(f.folders.programFile("velmora.ini")).text("webservice", "email"), QStringLiteral("new@x"));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
