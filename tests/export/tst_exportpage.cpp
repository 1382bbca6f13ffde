#include "../pricing/xlsxreadback.h"
#include "export/exportpage.h"
#include "platform/exportfolder.h"
#include "platform/localeformats.h"
#include "platform/spreadsheetwriter.h"
#include "platform/widgets.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

class TestExportPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void startsWithPreparingDataOpen();
    void suppliersAreFetchedOnce();
    void exportWritesTickedBrands_data();
    void exportWritesTickedBrands();
    void nothingTickedExportsEveryBrand();
    void refusalsSendNothing_data();
    void refusalsSendNothing();
    void unwritableFileStopsTheExport();
    void emptyAnswerGivesFileWithMarkOnly();
    void shopButtonsOnlyPromise();
    void exportsGoToTheDocumentsFolder_data();
    void exportsGoToTheDocumentsFolder();
    void savedExportSaysWhereAndOpensFolder();

private:
    std::unique_ptr<DemoService> m_service;
};

namespace {
const QString kMessy = QStringLiteral("NORDSTRÖM / KÜHLER- & MOTORENTEILE GMBH & CO. KG");
const QString kMessyFile = QStringLiteral("NORDSTRÖM _ KÜHLER- & MOTORENTEILE GMBH & CO. KG");
const QByteArray kMark("\xEF\xBB\xBF");

int requestsOf(WindowFixture& f, const QString& function) {
    int count = 0;
    for (const QString& line : f.window().context().log->lines())
        if (line.contains('\t' + function + '\t'))
            ++count;
    return count;
}

void clickHeader(WindowFixture& f, const char* name) {
    click(f.find<QLabel>(name));
}

// Selects the item with a click and ticks it with the space bar.
void tick(QListWidget* list, const QString& text) {
    QVERIFY(clickListItem(list, text));
    pressKey(Qt::Key_Space);
    QCOMPARE(list->findItems(text, Qt::MatchExactly).first()->checkState(), Qt::Checked);
}

// The final message of an export into this folder.
QStringList exportedInto(const QString& folder) {
    return {"File(s) was exported !\r\nFolder : " + QDir::toNativeSeparators(folder)};
}

void typeIntoBox(QLineEdit* edit, const QString& text) {
    typeInto(edit, text);
    QCOMPARE(edit->text(), text);
}

// The progress lines as the window shows them while the export runs.
class ProgressWatch {
public:
    explicit ProgressWatch(WindowFixture& f) : m_label(f.find<QLabel>("Label61")), m_status(f.find<QLabel>("Label60")) {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const QString line = m_label->text() + " | " + m_status->text();
            if (m_label->isVisible() && (m_lines.isEmpty() || m_lines.last() != line))
                m_lines << line;
        });
        m_timer.start();
    }
    const QStringList& lines() const { return m_lines; }

private:
    QLabel* m_label;
    QLabel* m_status;
    QTimer m_timer;
    QStringList m_lines;
};

// Opens the export page and the list of suppliers, as a user starts.
QListWidget* openSuppliers(WindowFixture& f) {
    click(f.find<QToolButton>("SpeedButton25"));
    clickHeader(f, "StaticText10");
    auto* list = f.find<QListWidget>("CheckListBox4");
    [&] { QVERIFY(list->isVisible()); }();
    return list;
}

QStringList fileNames(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}
} // namespace

void TestExportPage::initTestCase() {
    m_service = std::make_unique<DemoService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->error()));
}

void TestExportPage::startsWithPreparingDataOpen() {
    WindowFixture f(endpointsOf(*m_service));
    f.signIn();
    f.showActive();
    click(f.find<QToolButton>("SpeedButton25"));
    QCOMPARE(f.find<QLabel>("Label58")->text(), QStringLiteral("SELECTED BRAND(S) : not selected"));
    QVERIFY(f.find<QToolButton>("SpeedButton60")->isVisible());
    QVERIFY(!f.find<QListWidget>("CheckListBox4")->isVisible());
    for (const char* hidden : {"Label61", "Label60", "exportProgress"})
        QVERIFY(!f.find<QWidget>(hidden)->isVisible());
    QVERIFY(f.find<QRadioButton>("RadioButton9")->isChecked());
}

void TestExportPage::suppliersAreFetchedOnce() {
    WindowFixture f(endpointsOf(*m_service));
    f.signIn();
    f.showActive();
    QListWidget* list = openSuppliers(f);
    QVERIFY(!f.find<QToolButton>("SpeedButton60")->isVisible());
    const QStringList brands = itemTexts(list);
    QCOMPARE(brands.size(), 14);
    QCOMPARE(brands.first(), QStringLiteral("A&B PARTS"));
    QVERIFY(brands.contains(kMessy));
    QCOMPARE(brands.last(), QStringLiteral("VALEO"));
    clickHeader(f, "StaticText9");
    QVERIFY(!list->isVisible());
    clickHeader(f, "StaticText10");
    QCOMPARE(list->count(), 14);
    QCOMPARE(requestsOf(f, "GetSuppliers"), 1);
}

void TestExportPage::exportWritesTickedBrands_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("extension");
    QTest::newRow("csv") << "RadioButton5"
                         << ".csv";
    QTest::newRow("xml") << "RadioButton9"
                         << ".xml";
    QTest::newRow("json") << "RadioButton10"
                          << ".json";
}

void TestExportPage::exportWritesTickedBrands() {
    QFETCH(QString, radio);
    QFETCH(QString, extension);
    WindowFixture f(endpointsOf(*m_service));
    f.signIn();
    f.showActive();
    QListWidget* list = openSuppliers(f);
    tick(list, kMessy);
    tick(list, "A&B PARTS");
    clickHeader(f, "StaticText9");
    QCOMPARE(f.find<QLabel>("Label58")->text(), "SELECTED BRAND(S) : A&B PARTS, " + kMessy);
    click(f.find<QRadioButton>(radio));
    QVERIFY(f.find<QRadioButton>(radio)->isChecked());
    click(f.find<QCheckBox>("CheckBox9"));
    const QString folder = f.folders.workingDir();
    typeIntoBox(f.find<QLineEdit>("Edit13"), "  " + folder + "  ");

    ProgressWatch watch(f);
    f.dialogs.setNextAnswer(true); // "Open folder"
    click(f.find<QToolButton>("SpeedButton60"));
    QCOMPARE(f.dialogs.texts(), exportedInto(folder));
    QCOMPARE(f.dialogs.shown().first().kind, ScriptedDialogs::Kind::InformationWithAction);
    QCOMPARE(f.dialogs.shown().first().title, "Open folder");
    QCOMPARE(f.desktop.opened(), QStringList{folder});
    QCOMPARE(watch.lines().value(0),
             "Export for brands : [1/2] :: A&B PARTS | Status : sent request and waiting data ...");
    QVERIFY2(watch.lines().contains("Export for brands : [2/2] :: " + kMessy + " | Status : saving file ..."),
             qPrintable(watch.lines().join('\n')));
    for (const char* hidden : {"Label61", "Label60", "exportProgress"})
        QVERIFY(!f.find<QWidget>(hidden)->isVisible());
    QCOMPARE(fileNames(folder), QStringList({"A&B PARTS" + extension, kMessyFile + extension}));

    const QStringList requests = f.window().context().log->lines().filter("\tfun_exportdata\t");
    QCOMPARE(requests.size(), 2);
    QVERIFY2(requests.first().contains("&brand=A%26B%20PARTS&needcrosses=1\tANSWER OK"), qPrintable(requests.first()));
    if (extension == ".csv")
        QVERIFY(requests.first().contains("fun_exportdata?format=csv[" + LocaleFormats::listSeparator() + "]&email="));

    for (const QString& name : fileNames(folder)) {
        const QByteArray bytes = readBytes(folder + '/' + name);
        QVERIFY(bytes.startsWith(kMark));
        QVERIFY(!bytes.startsWith(kMark + kMark));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        const QString text = QString::fromUtf8(bytes.mid(3));
        const QStringList lines = text.split("\r\n", Qt::SkipEmptyParts);
        const QString brand = name.startsWith("A&B") ? QStringLiteral("A&B PARTS") : kMessy;
        if (extension == ".csv") {
            QCOMPARE(lines.size(), 5);
            QVERIFY2(lines.first().startsWith("brand id" + LocaleFormats::listSeparator() + "brand"),
                     qPrintable(lines.first()));
            QVERIFY(lines.at(1).contains(brand));
        } else if (extension == ".xml") {
            QVERIFY2(lines.first().startsWith("<products brand=\""), qPrintable(lines.first()));
            QCOMPARE(lines.last(), QStringLiteral("</products>"));
            QCOMPARE(text.count("<product>"), 4);
            QVERIFY(!text.contains("<statustext>"));
        } else {
            QJsonParseError error;
            const QJsonDocument doc = QJsonDocument::fromJson(bytes.mid(3), &error);
            QCOMPARE(error.error, QJsonParseError::NoError);
            const QJsonArray products = doc.object().value("products").toArray();
            QCOMPARE(products.size(), 4);
            QCOMPARE(products.at(1).toObject().value("name").toString(), QStringLiteral("Dichtung \"Ölwanne\""));
            QCOMPARE(products.at(0).toObject().value("brand").toString(), brand);
            QVERIFY(!doc.object().contains("statusText"));
        }
    }
}

void TestExportPage::nothingTickedExportsEveryBrand() {
    WindowFixture f(endpointsOf(*m_service));
    f.signIn();
    f.showActive();
    openSuppliers(f);
    clickHeader(f, "StaticText9");
    QCOMPARE(f.find<QLabel>("Label58")->text(), ExportPage::kAllBrands);
    click(f.find<QRadioButton>("RadioButton10"));
    typeIntoBox(f.find<QLineEdit>("Edit13"), f.folders.workingDir());
    ProgressWatch watch(f);
    click(f.find<QToolButton>("SpeedButton60"));
    QCOMPARE(fileNames(f.folders.workingDir()).size(), 14);
    QVERIFY(watch.lines().last().startsWith("Export for brands : [14/14] :: VALEO | "));
    QCOMPARE(f.find<QProgressBar>("exportProgress")->maximum(), 14);
    QCOMPARE(f.dialogs.texts(), exportedInto(f.folders.workingDir()));
    QVERIFY(f.desktop.opened().isEmpty()); // OK leaves the folder closed
}

void TestExportPage::refusalsSendNothing_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("fillList");
    QTest::addColumn<QString>("message");
    const QString wrong = "Path to folder for save file(s) is empty or wrong !!!";
    QTest::newRow("empty folder") << "" << true << wrong;
    QTest::newRow("blank folder") << "   " << true << wrong;
    QTest::newRow("missing folder") << "missing" << true << wrong;
    QTest::newRow("empty list") << "." << false << "Need select necessary brand(s) on panel \"LIST SUPPLIERS\" !!!";
}

void TestExportPage::refusalsSendNothing() {
    QFETCH(QString, folder);
    QFETCH(bool, fillList);
    QFETCH(QString, message);
    WindowFixture f(endpointsOf(*m_service));
    f.signIn();
    f.showActive();
    click(f.find<QToolButton>("SpeedButton25"));
    if (fillList) {
        openSuppliers(f);
        clickHeader(f, "StaticText9");
    }
    if (folder == "missing")
        folder = f.folders.workingDir() + "/missing";
    else if (folder == ".")
        folder = f.folders.workingDir();
    typeIntoBox(f.find<QLineEdit>("Edit13"), folder);
    click(f.find<QToolButton>("SpeedButton60"));
    QCOMPARE(f.dialogs.texts(), QStringList{message});
    QCOMPARE(requestsOf(f, "fun_exportdata"), 0);
    QVERIFY(fileNames(f.folders.workingDir()).isEmpty());
}

void TestExportPage::unwritableFileStopsTheExport() {
    WindowFixture f(endpointsOf(*m_service));
    f.signIn();
    f.showActive();
    openSuppliers(f);
    clickHeader(f, "StaticText9");
    const QString folder = f.folders.workingDir();
    QVERIFY(QDir(folder).mkdir("BOSCH.xml")); // a folder where the file would go
    typeIntoBox(f.find<QLineEdit>("Edit13"), folder);
    click(f.find<QToolButton>("SpeedButton60"));
    QCOMPARE(f.dialogs.shown().size(), 1);
    QCOMPARE(f.dialogs.shown().first().kind, ScriptedDialogs::Kind::Error);
    QCOMPARE(fileNames(folder), QStringList({"A&B PARTS.xml", "ATE.xml"}));
    QCOMPARE(requestsOf(f, "fun_exportdata"), 3);
    QVERIFY(!f.find<QWidget>("Label61")->isVisible());
    QVERIFY(f.find<QToolButton>("SpeedButton60")->isEnabled());
}

void TestExportPage::emptyAnswerGivesFileWithMarkOnly() {
    DemoService failing({"--fail-every", "2"});
    QVERIFY2(failing.isRunning(), qPrintable(failing.error()));
    WindowFixture f(endpointsOf(failing));
    f.signIn();
    f.showActive();
    QListWidget* list = openSuppliers(f);
    if (list->count() == 0) // the failing request may have been this one
        clickHeader(f, "StaticText10");
    QVERIFY(list->count() > 0);
    tick(list, "ATE");
    tick(list, "BOSCH");
    clickHeader(f, "StaticText9");
    typeIntoBox(f.find<QLineEdit>("Edit13"), f.folders.workingDir());
    click(f.find<QToolButton>("SpeedButton60"));
    QCOMPARE(f.dialogs.texts(), exportedInto(f.folders.workingDir()));
    const QByteArray ate = readBytes(f.folders.workingFile("ATE.xml"));
    const QByteArray bosch = readBytes(f.folders.workingFile("BOSCH.xml"));
    QVERIFY((ate == kMark) != (bosch == kMark));
    QVERIFY(ate.size() > 100 || bosch.size() > 100);
}

void TestExportPage::shopButtonsOnlyPromise() {
    WindowFixture f;
    f.showActive();
    click(f.find<QToolButton>("SpeedButton25"));
    for (const char* name : {"SpeedButton55", "SpeedButton54", "SpeedButton53"})
        click(f.find<QToolButton>(name));
    QCOMPARE(f.dialogs.texts(), QStringList(3, "Pls wait this possible in next updates"));
}

namespace {
// A home of the test's own, with the documents folder the desktop names (or none).
struct ScratchHome {
    explicit ScratchHome(const QByteArray& userDirs) {
        m_home = qgetenv("HOME");
        m_config = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(dir.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(".config")));
        QDir(dir.path()).mkpath(".config");
        if (!userDirs.isEmpty())
            writeBytes(dir.filePath(".config/user-dirs.dirs"), userDirs);
    }
    ~ScratchHome() {
        qputenv("HOME", m_home);
        if (m_config.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_config);
    }
    QTemporaryDir dir;

private:
    QByteArray m_home, m_config;
};
} // namespace

void TestExportPage::exportsGoToTheDocumentsFolder_data() {
    QTest::addColumn<QByteArray>("userDirs");
    QTest::addColumn<QString>("plant");  // a file in the way, under the home
    QTest::addColumn<QString>("folder"); // under the home; empty: none
    QTest::newRow("the desktop's documents folder")
        << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n") << QString() << "Dokumente/Velmora";
    QTest::newRow("no desktop settings") << QByteArray() << QString() << "Documents/Velmora";
    QTest::newRow("made already") << QByteArray() << "Documents/Velmora/"
                                  << "Documents/Velmora";
    QTest::newRow("a file in the way") << QByteArray() << "Documents/Velmora" << QString();
}

void TestExportPage::exportsGoToTheDocumentsFolder() {
    QFETCH(QByteArray, userDirs);
    QFETCH(QString, plant);
    QFETCH(QString, folder);
    ScratchHome home(userDirs);
    if (plant.endsWith('/'))
        QVERIFY(QDir(home.dir.path()).mkpath(plant));
    else if (!plant.isEmpty()) {
        QVERIFY(QDir(home.dir.path()).mkpath(QFileInfo(plant).path()));
        writeBytes(home.dir.filePath(plant), "x");
    }
    QString error;
    const QString found = ExportFolder(&error);
    if (folder.isEmpty()) {
        QCOMPARE(found, QString());
        QVERIFY(error.contains("Velmora"));
        return;
    }
    QCOMPARE(found, home.dir.filePath(folder));
    QVERIFY(QFileInfo(found).isDir());
}

void TestExportPage::savedExportSaysWhereAndOpensFolder() {
    ScratchHome home("XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    const QString folder = ExportFolder();
    QCOMPARE(folder, home.dir.filePath("Docs/Velmora"));
    // A grid as the result tables export it: the price reads back as a number.
    const QString file = QDir(folder).filePath("Compare prices 20260314-093005.xlsx");
    QVERIFY(SpreadsheetWriter::write(file, {{"brand", "reference", "name", "shop", "price", "currency"},
                                            {"FEBI BILSTEIN", "21903", "Brake Disc", "shop.example", "45.10", "EUR"},
                                            {"", "", "", "", "", ""}}));
    const SheetContent sheet = ReadXlsx(file);
    QCOMPARE(sheet.cell(1, 4).type, QString());
    QCOMPARE(sheet.cell(1, 4).text.toDouble(), 45.1);
    QCOMPARE(sheet.cell(1, 4).numberFormat, "0.00");
    QCOMPARE(sheet.cell(1, 1).text, "21903");
    QVERIFY(!sheet.cell(1, 1).type.isEmpty());

    for (const bool openFolder : {false, true}) {
        ScriptedDialogs dialogs;
        RecordingDesktop desktop;
        dialogs.setNextAnswer(openFolder);
        QVERIFY(OpenSavedExport(dialogs, desktop, file));
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown().first().kind, ScriptedDialogs::Kind::InformationWithAction);
        QCOMPARE(dialogs.shown().first().title, "Open folder");
        QCOMPARE(dialogs.lastText(), "The file \"Compare prices 20260314-093005.xlsx\" is saved in folder :\r\n" +
                                         QDir::toNativeSeparators(folder));
        QCOMPARE(desktop.opened(), openFolder ? QStringList({file, folder}) : QStringList{file});
    }
    // Nothing to open it with: said all the same, and told to the caller.
    ScriptedDialogs dialogs;
    RecordingDesktop desktop;
    desktop.setResult(false);
    QVERIFY(!OpenSavedExport(dialogs, desktop, file));
    QCOMPARE(dialogs.shown().size(), 1);
}

QTEST_MAIN(TestExportPage)
#include "tst_exportpage.moc"
