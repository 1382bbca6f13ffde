#include "platform/inifile.h"
#include "platform/localeformats.h"
#include "platform/textfile.h"
#include "support/testpaths.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>

class TestTextFile : public QObject {
    Q_OBJECT
private slots:
    void decodesByMarkOrFallsBackToAnsi_data();
    void decodesByMarkOrFallsBackToAnsi();
    void writesUtf8WithMarkAndCrLf();
    void ansiRoundTrip();
    void failedWriteKeepsTheOldFile();
    void writeCutShortKeepsTheOldFile();
    void iniKeepsUnknownSectionsAndReadsAnyCase();
    void iniDecidesEncodingPerLine();
    void iniWritesNamelessSectionBack();
    void newIniIsPrivateExistingKeepsItsMode();
    void writersReplacePlantedLinks_data();
    void writersReplacePlantedLinks();
    void listSeparatorFollowsDecimalPoint();
    void timestampLeavesOutMidnight();
};

void TestTextFile::decodesByMarkOrFallsBackToAnsi_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf-8 mark") << QByteArray("\xEF\xBB\xBFM\xC3\xBCller") << QStringLiteral("Müller");
    QTest::newRow("utf-16le mark") << QByteArray("\xFF\xFEM\0\xFC\0", 6) << QStringLiteral("Mü");
    QTest::newRow("valid utf-8, no mark") << QByteArray("M\xC3\xBCller") << QStringLiteral("Müller");
    QTest::newRow("cp1252, no mark") << QByteArray("M\xFCller \x80") << QStringLiteral("Müller €");
}

void TestTextFile::decodesByMarkOrFallsBackToAnsi() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(TextFile::decode(bytes), text);
}

void TestTextFile::writesUtf8WithMarkAndCrLf() {
    TestFolders folders;
    const QString path = folders.programFile(QStringLiteral("list.txt"));
    QVERIFY(TextFile::writeUtf8Lines(path, {QStringLiteral("a"), QStringLiteral("ü")}));
    QCOMPARE(readBytes(path), QByteArray("\xEF\xBB\xBF"
                                         "a\r\n\xC3\xBC\r\n"));
    QCOMPARE(*TextFile::readLines(path), QStringList({QStringLiteral("a"), QStringLiteral("ü")}));
    QVERIFY(TextFile::writeUtf8Lines(path, {}));
    QCOMPARE(readBytes(path), QByteArray("\xEF\xBB\xBF"));
}

void TestTextFile::ansiRoundTrip() {
    const QString text = QStringLiteral("Œuvre – 5 € ÿ");
    QCOMPARE(LocaleFormats::decodeAnsi(LocaleFormats::encodeAnsi(text)), text);
    QCOMPARE(LocaleFormats::encodeAnsi(QStringLiteral("Ж")), QByteArray("?"));
}

void TestTextFile::failedWriteKeepsTheOldFile() {
    TestFolders folders;
    const QString path = folders.programFile(QStringLiteral("velmora.ini"));
    writeBytes(path, "old");
    QFile::setPermissions(folders.programDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString error;
    const bool written = TextFile::writeUtf8Lines(path, {QStringLiteral("new")}, &error);
    QFile::setPermissions(folders.programDir(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (written)
        QSKIP("the folder stays writable for this user (root)");
    QVERIFY(!error.isEmpty());
    QCOMPARE(readBytes(path), QByteArray("old"));
}

// A file size limit stops the write half-way even for root, as a full disk would.
void TestTextFile::writeCutShortKeepsTheOldFile() {
    TestFolders folders;
    const QString path = folders.programFile(QStringLiteral("MyGarage.txt"));
    writeBytes(path, "old garage");
    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = TextFile::writeUtf8Lines(path, QStringList(100, QStringLiteral("a vehicle line")), &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QCOMPARE(readBytes(path), QByteArray("old garage"));
    QCOMPARE(QDir(folders.programDir()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("MyGarage.txt")});
}

void TestTextFile::iniKeepsUnknownSectionsAndReadsAnyCase() {
    IniFile ini = IniFile::parse(QStringLiteral("[WebService]\r\nEmail=a@b.c\r\n[service]\r\ncatalog_url=http://"
                                                "127.0.0.1:18100/\r\n"));
    QCOMPARE(ini.text(QStringLiteral("webservice"), QStringLiteral("email")), QStringLiteral("a@b.c"));
    QCOMPARE(ini.integer(QStringLiteral("webservice"), QStringLiteral("lang"), 5), 5);
    ini.setValue(QStringLiteral("webservice"), QStringLiteral("email"), QStringLiteral("x@y.z"));
    ini.setValue(QStringLiteral("myprices"), QStringLiteral("brand"), QStringLiteral("[brand],[marke]"));
    const IniFile again = IniFile::parse(ini.toText());
    QCOMPARE(again.text(QStringLiteral("webservice"), QStringLiteral("email")), QStringLiteral("x@y.z"));
    QCOMPARE(again.text(QStringLiteral("service"), QStringLiteral("catalog_url")),
             QStringLiteral("http://127.0.0.1:18100/"));
    QCOMPARE(again.text(QStringLiteral("myprices"), QStringLiteral("brand")), QStringLiteral("[brand],[marke]"));

    // A pasted line break in a box cannot plant keys or sections of its own.
    ini.setValue(QStringLiteral("myprices"), QStringLiteral("path"), QStringLiteral("/a\r\n[service]\ncatalog_url=x"));
    const IniFile injected = IniFile::parse(ini.toText());
    QCOMPARE(injected.text(QStringLiteral("service"), QStringLiteral("catalog_url")),
             QStringLiteral("http://127.0.0.1:18100/"));
    QCOMPARE(injected.text(QStringLiteral("myprices"), QStringLiteral("path")),
             QStringLiteral("/a  [service] catalog_url=x"));
}

// One stray byte made the whole file Windows-1252, and the next save wrote the garbled codes back.
void TestTextFile::iniDecidesEncodingPerLine() {
    TestFolders folders;
    const QString path = folders.programFile("velmora.ini");
    writeBytes(path, "[webservice]\r\nseccode=K\xC3\xB6nig\xE2\x82\xAC\r\n[myprices]\r\npath=/M\xFCller\r\n");
    const IniFile ini = IniFile::load(path);
    QCOMPARE(ini.text("webservice", "seccode"), QStringLiteral("K\u00f6nig\u20ac"));
    QCOMPARE(ini.text("myprices", "path"), QStringLiteral("/M\u00fcller"));
    QVERIFY(ini.save(path));
    QCOMPARE(IniFile::load(path).text("webservice", "seccode"), QStringLiteral("K\u00f6nig\u20ac"));
    // Only the first bytes can be a mark; later a U+FEFF is text.
    QCOMPARE(TextFile::decodePerLine("a\r\n\xEF\xBB\xBF"
                                     "b"),
             QStringLiteral("a\r\n\uFEFFb"));
    // With a mark the whole file is UTF-8 as before.
    QCOMPARE(TextFile::decodePerLine("\xEF\xBB\xBF"
                                     "a\xFC\r\n\xC3\xBC"),
             QStringLiteral("a\uFFFD\r\n\u00fc"));
}

void TestTextFile::iniWritesNamelessSectionBack() {
    const QString text = QStringLiteral("[service]\r\ncatalog_url=http://a/\r\n\r\n[]\r\nprice_url=http://b/\r\n");
    IniFile ini = IniFile::parse(text);
    QCOMPARE(ini.toText(), text);
    ini.setValue("webservice", "email", "e@x");
    const IniFile again = IniFile::parse(ini.toText());
    // The key stays out of [service] on every later start.
    QCOMPARE(again.value("service", "price_url"), std::nullopt);
    QCOMPARE(again.toText(), ini.toText());
}

void TestTextFile::newIniIsPrivateExistingKeepsItsMode() {
    TestFolders folders;
    const QString fresh = folders.programFile("velmora.ini");
    IniFile ini;
    ini.setValue("webservice", "seccode", "secret");
    QVERIFY(ini.save(fresh));
    // Owner, group and others; the "user" bits only repeat what applies to whoever runs the test.
    const QFileDevice::Permissions modeBits(0x7077);
    QCOMPARE(QFileInfo(fresh).permissions() & modeBits, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    const QFileDevice::Permissions shared = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(fresh, shared));
    QVERIFY(ini.save(fresh));
    QCOMPARE(QFileInfo(fresh).permissions() & modeBits, shared);
}

namespace {

using Writer = std::function<bool(const QString& path, QString* error)>;

// Every way the program writes a whole file, with the content each leaves.
struct NamedWriter {
    const char* name;
    Writer write;
    QByteArray content;
    bool ownerOnly;
};

const QList<NamedWriter>& writers() {
    static const QList<NamedWriter> all{
        {"list file", [](const QString& p, QString* e) { return TextFile::writeUtf8Lines(p, {"line"}, e); },
         "\xEF\xBB\xBFline\r\n", false},
        {"download links",
         [](const QString& p, QString* e) {
             return TextFile::writeUtf8Lines(p, {"line"}, e, AtomicFile::Access::OwnerOnly);
         },
         "\xEF\xBB\xBFline\r\n", true},
        {"product list file", [](const QString& p, QString* e) { return TextFile::writeAnsiLines(p, {"line"}, e); },
         "line\r\n", false},
        {"picture", [](const QString& p, QString* e) { return TextFile::writeAtomically(p, "\xFF\xD8jpeg", e); },
         "\xFF\xD8jpeg", false},
        {"settings",
         [](const QString& p, QString* e) {
             IniFile ini;
             ini.setValue("webservice", "seccode", "secret");
             return ini.save(p, e);
         },
         "[webservice]\r\nseccode=secret\r\n", true},
    };
    return all;
}

} // namespace

// A link planted in a shared folder under a file's name made the writers overwrite the link's
// target; now the name itself is replaced, and a secret file is still born private.
void TestTextFile::writersReplacePlantedLinks_data() {
    QTest::addColumn<int>("writer");
    QTest::addColumn<int>("target");
    for (int i = 0; i < writers().size(); ++i) {
        QTest::addRow("%s, link to a file", writers()[i].name) << i << int(PlantedLink::Target::ExistingFile);
        QTest::addRow("%s, dangling link", writers()[i].name) << i << int(PlantedLink::Target::Nothing);
    }
}

void TestTextFile::writersReplacePlantedLinks() {
    QFETCH(int, writer);
    QFETCH(int, target);
    const NamedWriter& w = writers()[writer];
    TestFolders folders;
    const QString path = folders.programFile(QStringLiteral("file.txt"));
    const PlantedLink link(path, PlantedLink::Target(target));
    QString error;
    QVERIFY2(w.write(path, &error), qPrintable(error));
    QVERIFY(link.victimIntact());
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(readBytes(path).left(w.content.size()), w.content);
    const QFileDevice::Permissions modeBits(0x7077);
    if (w.ownerOnly)
        QCOMPARE(QFileInfo(path).permissions() & modeBits, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // Nothing of the write is left beside it.
    QCOMPARE(QDir(folders.programDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"file.txt"});
}

void TestTextFile::listSeparatorFollowsDecimalPoint() {
    QCOMPARE(LocaleFormats::listSeparator(QLocale(QLocale::German)), QStringLiteral(";"));
    QCOMPARE(LocaleFormats::listSeparator(QLocale(QLocale::English, QLocale::UnitedStates)), QStringLiteral(","));
}

void TestTextFile::timestampLeavesOutMidnight() {
    const QLocale locale(QLocale::German);
    QCOMPARE(LocaleFormats::timestamp(QDateTime(QDate(2026, 12, 10), QTime(0, 0)), locale),
             locale.toString(QDate(2026, 12, 10), QLocale::ShortFormat));
    const QString withTime = LocaleFormats::timestamp(QDateTime(QDate(2026, 12, 10), QTime(14, 5, 9)), locale);
    QVERIFY2(withTime.endsWith(QStringLiteral(" 14:05:09")), qPrintable(withTime));
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
