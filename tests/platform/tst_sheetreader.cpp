#include "platform/localeformats.h"
#include "platform/sheetreader.h"
#include "support/testpaths.h"
#include "support/workbookpackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <xlsxwriter.h>

namespace {

struct Sheet {
    SheetReader::Result result;
    QMap<int, QStringList> rows;
    // Each row handed on, in order, as "number:cell|cell|...", trailing empty cells left out.
    QStringList delivered;
};

Sheet readSheet(const QString& path, const QLocale& locale, int stopAfter = INT_MAX,
                const SheetReader::Options& options = {}) {
    Sheet sheet;
    sheet.result = SheetReader::read(
        path,
        [&](int row, const QStringList& cells) {
            sheet.rows.insert(row, cells);
            QStringList shown = cells;
            while (!shown.isEmpty() && shown.last().isEmpty())
                shown.removeLast();
            sheet.delivered << QString::number(row) + ":" + shown.join("|");
            return sheet.rows.size() < stopAfter;
        },
        locale, options);
    return sheet;
}

QString when(const QDateTime& moment, const QLocale& locale) {
    return LocaleFormats::timestamp(moment, locale);
}

// A workbook with strings, numbers, dates, a boolean, empty cells and a column beyond Z, a gap
// of one row and a second worksheet that must not be read.
void writeWorkbook(const QString& path, bool inlineStrings) {
    lxw_workbook_options options{};
    options.constant_memory = inlineStrings ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Prices");
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "dd/mm/yyyy");
    lxw_format* stamp = workbook_add_format(book);
    format_set_num_format(stamp, "[$-407]yyyy-mm-dd hh:mm:ss");
    lxw_format* time = workbook_add_format(book);
    format_set_num_format(time, "[h]:mm");
    lxw_format* money = workbook_add_format(book);
    format_set_num_format(money, "#,##0.00 \"dm\"");
    worksheet_write_string(sheet, 0, 0, "Brand", nullptr);
    worksheet_write_string(sheet, 0, 1, "Code", nullptr);
    worksheet_write_string(sheet, 0, 2, "Price", nullptr);
    worksheet_write_string(sheet, 0, 29, "Far", nullptr);
    worksheet_write_string(sheet, 1, 0, "Bosch \xC3\xA4", nullptr);
    worksheet_write_number(sheet, 1, 1, 986452044, nullptr);
    worksheet_write_number(sheet, 1, 2, 12.5, money);
    lxw_datetime day{2024, 3, 1, 0, 0, 0};
    worksheet_write_datetime(sheet, 1, 4, &day, date);
    lxw_datetime moment{2024, 3, 1, 13, 45, 30};
    worksheet_write_datetime(sheet, 1, 5, &moment, stamp);
    worksheet_write_number(sheet, 1, 6, 0.5, time);
    worksheet_write_boolean(sheet, 1, 7, 1, nullptr);
    worksheet_write_number(sheet, 1, 8, -1234567.891, nullptr);
    worksheet_write_string(sheet, 1, 29, "far away", nullptr);
    worksheet_write_string(sheet, 3, 1, "row four", nullptr);
    worksheet_write_number(sheet, 3, 2, 1e-7, nullptr);
    lxw_worksheet* other = workbook_add_worksheet(book, "Other");
    worksheet_write_string(other, 0, 0, "not this one", nullptr);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);
}

} // namespace

class TestSheetReader : public QObject {
    Q_OBJECT
private slots:
    void xlsxCellsAsTexts_data();
    void xlsxCellsAsTexts();
    void titleRowAlwaysComesFirst();
    void readingStopsWhenAsked();
    void xlsFixture();
    void datesOfTheNineteenHundredSystem_data();
    void datesOfTheNineteenHundredSystem();
    void damagedFilesFail_data();
    void damagedFilesFail();
    void binaryWorkbookNeedsLibreOffice();
    void hostileSheets_data();
    void hostileSheets();
    void boundsEndTheReading_data();
    void boundsEndTheReading();
    void compressionBombStopsAtTheBound();
    void cancelledReading();

private:
    QTemporaryDir m_dir;
};

void TestSheetReader::xlsxCellsAsTexts_data() {
    QTest::addColumn<bool>("inlineStrings");
    QTest::addColumn<QString>("locale");
    QTest::newRow("shared strings, German") << false << "de_DE";
    QTest::newRow("inline strings, C") << true << "C";
}

void TestSheetReader::xlsxCellsAsTexts() {
    QFETCH(bool, inlineStrings);
    QFETCH(QString, locale);
    const QLocale l(locale);
    const QString path = m_dir.filePath(QStringLiteral("book%1.xlsx").arg(inlineStrings));
    writeWorkbook(path, inlineStrings);
    const Sheet sheet = readSheet(path, l);
    QCOMPARE(sheet.result.status, SheetReader::Status::Read);
    QCOMPARE(sheet.result.rows, 4);
    QCOMPARE(sheet.result.columns, 30);
    QCOMPARE(sheet.rows.keys(), (QList<int>{1, 2, 4}));
    const QStringList title = sheet.rows.value(1);
    QCOMPARE(title.size(), 30);
    QCOMPARE(title.mid(0, 4), (QStringList{"Brand", "Code", "Price", ""}));
    QCOMPARE(title.at(29), QStringLiteral("Far"));
    const QStringList data = sheet.rows.value(2);
    const QString comma = l.decimalPoint();
    QCOMPARE(data.at(0), QStringLiteral("Bosch \u00E4"));
    QCOMPARE(data.at(1), QStringLiteral("986452044"));
    QCOMPARE(data.at(2), "12" + comma + "5");
    QCOMPARE(data.at(3), QString());
    QCOMPARE(data.at(4), when(QDateTime(QDate(2024, 3, 1), QTime(0, 0)), l));
    QCOMPARE(data.at(5), when(QDateTime(QDate(2024, 3, 1), QTime(13, 45, 30)), l));
    QCOMPARE(data.at(6), l.toString(QTime(12, 0), LocaleFormats::longTimeFormat(l)));
    QCOMPARE(data.at(7), QStringLiteral("True"));
    QCOMPARE(data.at(8), "-1234567" + comma + "891");
    QCOMPARE(data.at(29), QStringLiteral("far away"));
    QCOMPARE(sheet.rows.value(4).at(1), QStringLiteral("row four"));
    bool ok = false;
    QCOMPARE(l.toDouble(sheet.rows.value(4).at(2), &ok), 1e-7);
    QVERIFY(ok);
}

void TestSheetReader::titleRowAlwaysComesFirst() {
    const QString path = m_dir.filePath(QStringLiteral("notitle.xlsx"));
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    worksheet_write_string(sheet, 2, 1, "late", nullptr);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);
    const Sheet read = readSheet(path, QLocale::c());
    QCOMPARE(read.rows.keys(), (QList<int>{1, 3}));
    QCOMPARE(read.rows.value(1), (QStringList{"", ""}));
    QCOMPARE(read.rows.value(3), (QStringList{"", "late"}));

    const QString titleOnly = m_dir.filePath(QStringLiteral("titleonly.xlsx"));
    book = workbook_new(QFile::encodeName(titleOnly).constData());
    sheet = workbook_add_worksheet(book, nullptr);
    worksheet_write_string(sheet, 0, 0, "Code", nullptr);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);
    const Sheet only = readSheet(titleOnly, QLocale::c());
    QCOMPARE(only.result.rows, 1);
    QCOMPARE(only.rows.keys(), QList<int>{1});

    const QString empty = m_dir.filePath(QStringLiteral("empty.xlsx"));
    book = workbook_new(QFile::encodeName(empty).constData());
    workbook_add_worksheet(book, nullptr);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);
    const Sheet none = readSheet(empty, QLocale::c());
    QCOMPARE(none.result.status, SheetReader::Status::Read);
    QCOMPARE(none.result.rows, 1); // the last cell of an empty sheet is A1
    QCOMPARE(none.rows.keys(), QList<int>{1});
}

void TestSheetReader::readingStopsWhenAsked() {
    const QString path = m_dir.filePath(QStringLiteral("stop.xlsx"));
    writeWorkbook(path, false);
    const Sheet sheet = readSheet(path, QLocale::c(), 1);
    QCOMPARE(sheet.result.status, SheetReader::Status::Read);
    QCOMPARE(sheet.rows.keys(), QList<int>{1});
}

void TestSheetReader::xlsFixture() {
    const QLocale l(QStringLiteral("de_DE"));
    const Sheet sheet = readSheet(fixturePath(QStringLiteral("pricelists/prices.xls")), l);
    QCOMPARE(sheet.result.status, SheetReader::Status::Read);
    QCOMPARE(sheet.result.rows, 4);
    QCOMPARE(sheet.rows.value(1), (QStringList{"Brand", "Code", "Price", "Delivered", "Note"}));
    QCOMPARE(sheet.rows.value(2),
             (QStringList{"bosch", "0 986-452.044", "12,5", when(QDateTime(QDate(2024, 3, 1), QTime(0, 0)), l), ""}));
    QCOMPARE(sheet.rows.value(3), (QStringList{"INA", "531 0305 10", "7", "", "in stock"}));
    QCOMPARE(sheet.rows.value(4), (QStringList{"", "X1", "3", "", ""}));
}

void TestSheetReader::datesOfTheNineteenHundredSystem_data() {
    QTest::addColumn<double>("serial");
    QTest::addColumn<QDateTime>("moment");
    QTest::newRow("first day") << 1.0 << QDateTime(QDate(1900, 1, 1), QTime(0, 0));
    QTest::newRow("before the day that never was") << 59.0 << QDateTime(QDate(1900, 2, 28), QTime(0, 0));
    QTest::newRow("after it") << 61.0 << QDateTime(QDate(1900, 3, 1), QTime(0, 0));
    QTest::newRow("with time") << 45352.25 << QDateTime(QDate(2024, 3, 1), QTime(6, 0));
    QTest::newRow("rounded up to midnight") << 45351.9999999 << QDateTime(QDate(2024, 3, 1), QTime(0, 0));
}

void TestSheetReader::datesOfTheNineteenHundredSystem() {
    QFETCH(double, serial);
    QFETCH(QDateTime, moment);
    QCOMPARE(SheetReader::dateText(serial, false, QLocale::c()), when(moment, QLocale::c()));
}

void TestSheetReader::damagedFilesFail_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not a workbook") << QByteArray("Brand;Code;Price\n");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("zip start only") << QByteArray("PK\x03\x04garbage");
}

void TestSheetReader::damagedFilesFail() {
    QFETCH(QByteArray, content);
    const QString path = m_dir.filePath(QStringLiteral("damaged.xlsx"));
    writeBytes(path, content);
    QCOMPARE(readSheet(path, QLocale::c()).result.status, SheetReader::Status::Failed);

    // A sheet cut short fails after the rows before the cut were handed on.
    const QString big = m_dir.filePath(QStringLiteral("big.xlsx"));
    lxw_workbook* book = workbook_new(QFile::encodeName(big).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    for (int r = 0; r < 20000; ++r)
        worksheet_write_number(sheet, lxw_row_t(r), 0, r, nullptr);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);
    QByteArray bytes = readBytes(big);
    const qsizetype sheetData = bytes.indexOf("xl/worksheets/sheet1.xml") + 40;
    for (qsizetype i = sheetData + 1000; i < sheetData + 1100; ++i)
        bytes[i] = char(bytes[i] ^ 0x5A);
    writeBytes(big, bytes);
    const Sheet cut = readSheet(big, QLocale::c());
    QCOMPARE(cut.result.status, SheetReader::Status::Failed);
}

void TestSheetReader::binaryWorkbookNeedsLibreOffice() {
    // A zip with a binary workbook part is an .xlsb, whatever its name.
    const QString path = m_dir.filePath(QStringLiteral("book.xlsx"));
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    workbook_add_worksheet(book, nullptr);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);
    QByteArray bytes = readBytes(path);
    bytes.replace("xl/workbook.xml", "xl/workbook.bin");
    writeBytes(path, bytes);

    const QByteArray pathVariable = qgetenv("PATH");
    qputenv("PATH", m_dir.path().toLocal8Bit());
    const Sheet without = readSheet(path, QLocale::c());
    qputenv("PATH", pathVariable);
    QCOMPARE(without.result.status, SheetReader::Status::Unavailable);
    QVERIFY(without.rows.isEmpty());

    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        QSKIP("LibreOffice is not installed");
    const Sheet converted = readSheet(path, QLocale::c());
    QCOMPARE(converted.result.status, SheetReader::Status::Failed);
}

void TestSheetReader::hostileSheets_data() {
    QTest::addColumn<QByteArray>("sheetData");
    QTest::addColumn<SheetReader::Status>("status");
    QTest::addColumn<QStringList>("delivered");
    using S = SheetReader::Status;
    QTest::newRow("a value closed with no cell open")
        << QByteArray("<row r=\"1\"><v>7</v></c><c r=\"B1\"><v>1</v></c></row>") << S::Read << QStringList{"1:|1"};
    QTest::newRow("a value outside a cell")
        << QByteArray("<row r=\"1\"><v>9</v><c r=\"B1\"><v>1</v></c></row>") << S::Read << QStringList{"1:|1"};
    QTest::newRow("a cell before any row")
        << QByteArray("<c r=\"A1\" t=\"inlineStr\"><is><t>x</t></is></c><row r=\"2\"><c r=\"A2\"><v>2</v></c></row>")
        << S::Read << QStringList{"1:", "2:2"};
    QTest::newRow("a stray row end") << QByteArray("<row r=\"1\"><c><v>1</v></c></row></row><row r=\"2\"><c><v>2</v>"
                                                   "</c></row></row>")
                                     << S::Read << QStringList{"1:1", "2:2"};
    QTest::newRow("a row left open") << QByteArray("<row r=\"1\"><c><v>1</v></c><row r=\"2\"><c><v>2</v></c></row>")
                                     << S::Read << QStringList{"1:1", "2:2"};
    QTest::newRow("the last row of a sheet")
        << QByteArray("<row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row>") << S::Read
        << QStringList{"1:", "1048576:" + QString("|").repeated(16383) + "1"};
    QTest::newRow("a row at the end of int, then one more")
        << QByteArray("<row r=\"2147483647\"><c><v>1</v></c></row><row><c><v>2</v></c></row>") << S::Failed
        << QStringList{};
    QTest::newRow("a row beyond the last")
        << QByteArray("<row r=\"1048577\"><c><v>1</v></c></row>") << S::Failed << QStringList{};
    QTest::newRow("a cell beyond the last column")
        << QByteArray("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>") << S::Failed << QStringList{};
    QTest::newRow("rows out of order") << QByteArray("<row r=\"2\"><c><v>1</v></c></row><row r=\"1\"><c><v>2</v>"
                                                     "</c></row>")
                                       << S::Failed << QStringList{"1:", "2:1"};
    QTest::newRow("a row number that is no number")
        << QByteArray("<row r=\"x\"><c><v>1</v></c></row>") << S::Failed << QStringList{};
    QTest::newRow("a shared string beyond the table")
        << QByteArray("<row r=\"1\"><c t=\"s\"><v>5</v></c><c t=\"s\"><v>0</v></c></row>") << S::Read
        << QStringList{"1:|first"};
}

// Faults of hand-made worksheets: a value outside a cell is dropped, an impossible reference
// fails the file with a reason, and no row is handed on twice.
void TestSheetReader::hostileSheets() {
    QFETCH(QByteArray, sheetData);
    QFETCH(SheetReader::Status, status);
    QFETCH(QStringList, delivered);
    const QString path = m_dir.filePath(QStringLiteral("hostile.xlsx"));
    QVERIFY(WorkbookPackage::write(path, WorkbookPackage::minimal(sheetData, "<si><t>first</t></si>")));
    const Sheet sheet = readSheet(path, QLocale::c());
    QCOMPARE(sheet.result.status, status);
    QCOMPARE(sheet.delivered, delivered);
    if (status != SheetReader::Status::Read)
        QVERIFY(!sheet.result.error.isEmpty());
}

void TestSheetReader::boundsEndTheReading_data() {
    QTest::addColumn<QByteArray>("sheetData");
    QTest::addColumn<QByteArray>("sharedStrings");
    QTest::addColumn<QString>("error");
    const QByteArray row = "<row r=\"1\"><c t=\"s\"><v>0</v></c></row>";
    const QByteArray big(2 << 20, 'a');
    QTest::newRow("an attribute never closed") << QByteArray("<row r=\"1") + big << QByteArray()
                                               << "A tag in part xl/worksheets/sheet1.xml is longer than 1 MiB.";
    QTest::newRow("a tag never closed") << QByteArray("<row ") + big << QByteArray()
                                        << "A tag in part xl/worksheets/sheet1.xml is longer than 1 MiB.";
    QTest::newRow("a value too long") << "<row r=\"1\"><c t=\"inlineStr\"><is><t>" + big + "</t></is></c></row>"
                                      << QByteArray()
                                      << "A text in part xl/worksheets/sheet1.xml is longer than 1 MiB.";
    QTest::newRow("a shared string too long") << row << "<si><t>" + big + "</t></si>"
                                              << "A text in part xl/sharedStrings.xml is longer than 1 MiB.";
    QTest::newRow("too many shared strings")
        << row << QByteArray("<si/>").repeated(1001) << "The workbook holds more than 1000 shared texts.";
    QTest::newRow("shared strings too long in all")
        << row << QByteArray("<si><t>" + QByteArray(100000, 'x') + "</t></si>").repeated(11)
        << "The shared texts of the workbook are longer than 1 MiB in all.";
    QTest::newRow("a part too large") << row + QByteArray(3 << 20, ' ') << QByteArray()
                                      << "Part xl/worksheets/sheet1.xml is larger than 2 MiB unpacked.";
    QTest::newRow("a part packed too tightly") << row + QByteArray(1 << 20, ' ') + row << QByteArray()
                                               << "Part xl/worksheets/sheet1.xml unpacks to more than 250 times its "
                                                  "packed size.";
}

// Each bound ends the reading of its file with a reason; the bounds here are small so that small
// files show them.
void TestSheetReader::boundsEndTheReading() {
    QFETCH(QByteArray, sheetData);
    QFETCH(QByteArray, sharedStrings);
    QFETCH(QString, error);
    const QString path = m_dir.filePath(QStringLiteral("bound.xlsx"));
    // Stored, so that only the ratio case packs tightly.
    const bool store = !QByteArray(QTest::currentDataTag()).contains("packed");
    QVERIFY(WorkbookPackage::write(path, WorkbookPackage::minimal(sheetData, sharedStrings), store));
    SheetReader::Options options;
    options.limits.partBytes = 2 << 20;
    options.limits.ratioFromBytes = 512 << 10;
    options.limits.sharedStrings = 1000;
    options.limits.sharedTextBytes = 1 << 20;
    const Sheet sheet = readSheet(path, QLocale::c(), INT_MAX, options);
    QCOMPARE(sheet.result.status, SheetReader::Status::OverBound);
    QCOMPARE(sheet.result.error, error);
    // Unpacking stopped within a chunk or two of the bound.
    QVERIFY2(sheet.result.unpackedBytes < (5 << 20), qPrintable(QString::number(sheet.result.unpackedBytes)));
}

// With the bounds a user has: a 80 MiB worksheet of blanks in a file of a few hundred KB stops
// after 64 MiB, counted as it is unpacked; the same blanks at a real ratio are only skipped.
void TestSheetReader::compressionBombStopsAtTheBound() {
    const QByteArray row = "<row r=\"1\"><c><v>1</v></c></row>";
    const QString bomb = m_dir.filePath(QStringLiteral("bomb.xlsx"));
    QVERIFY(WorkbookPackage::write(bomb, WorkbookPackage::minimal(QByteArray(80 << 20, ' ') + row)));
    QVERIFY(QFileInfo(bomb).size() < (1 << 20));
    const Sheet sheet = readSheet(bomb, QLocale::c());
    QCOMPARE(sheet.result.status, SheetReader::Status::OverBound);
    QVERIFY(sheet.result.unpackedBytes > (64 << 20));
    QVERIFY2(sheet.result.unpackedBytes < (66 << 20), qPrintable(QString::number(sheet.result.unpackedBytes)));

    const QString blanks = m_dir.filePath(QStringLiteral("blanks.xlsx"));
    QVERIFY(WorkbookPackage::write(blanks, WorkbookPackage::minimal(QByteArray(8 << 20, ' ') + row), true));
    const Sheet read = readSheet(blanks, QLocale::c());
    QCOMPARE(read.result.status, SheetReader::Status::Read);
    QCOMPARE(read.delivered, QStringList{"1:1"});
}

void TestSheetReader::cancelledReading() {
    const QString path = m_dir.filePath(QStringLiteral("cancel.xlsx"));
    writeWorkbook(path, false);
    std::atomic<bool> cancel = true;
    SheetReader::Options options;
    options.cancel = &cancel;
    const Sheet sheet = readSheet(path, QLocale::c(), INT_MAX, options);
    QCOMPARE(sheet.result.status, SheetReader::Status::Cancelled);
    QVERIFY(sheet.rows.isEmpty());
    QVERIFY(
        readSheet(fixturePath(QStringLiteral("pricelists/prices.xls")), QLocale::c(), INT_MAX, options).result.status ==
        SheetReader::Status::Cancelled);
}

QTEST_GUILESS_MAIN(TestSheetReader)
#include "tst_sheetreader.moc"
