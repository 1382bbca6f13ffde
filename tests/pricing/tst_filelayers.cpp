#include "platform/jpegimage.h"
#include "platform/spreadsheetwriter.h"
#include "xlsxreadback.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

class TestFileLayers : public QObject {
    Q_OBJECT
private slots:
    void writesEveryRowAsTextWithTitleStyle();
    void columnsFitTheirLongestText();
    void unwritableTextsAreCleaned_data();
    void unwritableTextsAreCleaned();
    void unwritablePlaceReportsFailure();
    void plantedNamesAreNeverWrittenThrough_data();
    void plantedNamesAreNeverWrittenThrough();
    void jpegDecodesToRgbPixels_data();
    void jpegDecodesToRgbPixels();
    void unreadablePicturesAreRefused_data();
    void unreadablePicturesAreRefused();
    void jpegIsDecodedScaledToTheBox_data();
    void jpegIsDecodedScaledToTheBox();

private:
    QTemporaryDir m_dir;
};

namespace {

QByteArray jpegOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes;
}

// A small progressive picture whose header claims the given size.
QByteArray progressiveJpegClaiming(int width, int height) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPG");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    const qsizetype frame = bytes.indexOf(QByteArray("\xFF\xC2", 2));
    if (frame < 0)
        return {};
    bytes[frame + 5] = char(height >> 8);
    bytes[frame + 6] = char(height & 0xFF);
    bytes[frame + 7] = char(width >> 8);
    bytes[frame + 8] = char(width & 0xFF);
    return bytes;
}

} // namespace

void TestFileLayers::writesEveryRowAsTextWithTitleStyle() {
    const QString path = m_dir.filePath("list.xlsx");
    const QList<QStringList> rows{{"brand", "reference", "name"},
                                  {"BOSCH", "0 986 428 945", "Brake Disc"},
                                  {"ATE", "007", "=SUM(A1)"},
                                  {"", "", ""}};
    QString error;
    QVERIFY2(SpreadsheetWriter::write(path, rows, 1, &error), qPrintable(error));
    const SheetContent sheet = ReadXlsx(path);
    QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
    QCOMPARE(sheet.rowCount, 4);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            const SheetCell cell = sheet.cell(r, c);
            QCOMPARE(cell.text, rows[r][c]);
            if (!cell.text.isEmpty())
                QVERIFY2(cell.type == "inlineStr" || cell.type == "s", qPrintable(cell.type));
            const QString border = r == 0 ? "medium" : "thin";
            QCOMPARE(cell.bold, r == 0);
            QCOMPARE(cell.left, border);
            QCOMPARE(cell.right, border);
            QCOMPARE(cell.top, border);
            QCOMPARE(cell.bottom, border);
        }
    }
    // Neither numbers nor formulas: what looks like one stays the text it was.
    QVERIFY(!sheet.sheetXml.contains("<f>"));
}

void TestFileLayers::columnsFitTheirLongestText() {
    const QString path = m_dir.filePath("widths.xlsx");
    QVERIFY(SpreadsheetWriter::write(path, {{"id", "name"}, {"1", QString(40, 'x')}, {"22", "short"}}));
    const SheetContent sheet = ReadXlsx(path);
    QVERIFY(sheet.widths.value(1) > 40);
    QVERIFY(sheet.widths.value(1) < 50);
    QVERIFY(sheet.widths.value(0) < sheet.widths.value(1));
}

void TestFileLayers::unwritableTextsAreCleaned_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("control characters dropped") << QString("a\x01"
                                                           "b\x1f"
                                                           "c")
                                                << "abc";
    QTest::newRow("line breaks and tabs kept") << "a\tb\nc"
                                               << "a\tb\nc";
    QTest::newRow("markup escaped") << "<b>&\"x\"</b>"
                                    << "<b>&\"x\"</b>";
    QTest::newRow("non-Latin kept") << QString::fromUtf8("Тормозной диск €") << QString::fromUtf8("Тормозной диск €");
    QTest::newRow("over-long text cut") << QString(40000, 'z') << QString(SpreadsheetWriter::kMaxCellLength, 'z');
}

void TestFileLayers::unwritableTextsAreCleaned() {
    QFETCH(QString, text);
    QFETCH(QString, stored);
    const QString path = m_dir.filePath("clean.xlsx");
    QFile::remove(path); // the writer only creates new files
    QVERIFY(SpreadsheetWriter::write(path, {{"title"}, {text}}));
    const SheetContent sheet = ReadXlsx(path);
    QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
    QCOMPARE(sheet.text(1, 0), stored);
}

void TestFileLayers::unwritablePlaceReportsFailure() {
    QString error;
    QVERIFY(!SpreadsheetWriter::write(m_dir.filePath("missing/folder/x.xlsx"), {{"a"}}, 1, &error));
    QVERIFY(!error.isEmpty());
}

// The export's name in the shared temporary folder is predictable; a link planted there made
// the writer create or overwrite the file it points to.
void TestFileLayers::plantedNamesAreNeverWrittenThrough_data() {
    QTest::addColumn<bool>("dangling");
    QTest::newRow("dangling link") << true;
    QTest::newRow("link to an existing file") << false;
}

void TestFileLayers::plantedNamesAreNeverWrittenThrough() {
    QFETCH(bool, dangling);
    QTemporaryDir dir;
    const QString victim = dir.filePath("victim");
    if (!dangling)
        QVERIFY(QFile(victim).open(QIODevice::WriteOnly));
    const QString planted = dir.filePath("Velmora-StringGrid1-20261210-120000-1.xlsx");
    QVERIFY(QFile::link(victim, planted));
    QString error;
    QVERIFY(!SpreadsheetWriter::write(planted, {{"a"}}, 1, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(QFileInfo::exists(victim), !dangling);
    QCOMPARE(QFileInfo(victim).size(), 0);
    QVERIFY(QFileInfo(planted).isSymLink());
}

void TestFileLayers::jpegDecodesToRgbPixels_data() {
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("colour") << QImage::Format_RGB32;
    QTest::newRow("grey") << QImage::Format_Grayscale8;
}

void TestFileLayers::jpegDecodesToRgbPixels() {
    QFETCH(QImage::Format, format);
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    const QByteArray bytes = jpegOf(image.convertToFormat(format));
    QVERIFY(!bytes.isEmpty());
    const std::optional<JpegPixels> pixels = JpegImage::decode(bytes);
    QVERIFY(pixels);
    QCOMPARE(pixels->width, 40);
    QCOMPARE(pixels->height, 30);
    QCOMPARE(pixels->rgb.size(), 40 * 30 * 3);
    const int red = uchar(pixels->rgb[0]);
    const int green = uchar(pixels->rgb[1]);
    if (format == QImage::Format_RGB32) {
        QVERIFY2(red > 180 && green < 60, qPrintable(QString("%1 %2").arg(red).arg(green)));
    } else {
        QCOMPARE(red, green);
    }

    const QString path = m_dir.filePath("img1.jpg");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QVERIFY(JpegImage::decodeFile(path));
}

void TestFileLayers::unreadablePicturesAreRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("html error page") << QByteArray("<html><body>404 Not Found</body></html>");
    QTest::newRow("jpeg start only") << QByteArray("\xFF\xD8\xFF\xE0", 4);
    QImage png(8, 8, QImage::Format_RGB32);
    png.fill(Qt::blue);
    QByteArray pngBytes;
    QBuffer buffer(&pngBytes);
    buffer.open(QIODevice::WriteOnly);
    png.save(&buffer, "PNG");
    QTest::newRow("png") << pngBytes;
    const QByteArray huge = progressiveJpegClaiming(12000, 12000);
    QVERIFY(!huge.isEmpty());
    QTest::newRow("progressive, too large to decode") << huge;
    // Each of these passed the old 64-megapixel limit and cost up to almost a gigabyte.
    QTest::newRow("progressive, 8192x8192 in a few hundred bytes") << progressiveJpegClaiming(8192, 8192);
    QTest::newRow("progressive, 8192x1 wide") << progressiveJpegClaiming(8192, 1);
    QTest::newRow("progressive, 4096x4096 in a few hundred bytes") << progressiveJpegClaiming(4096, 4096);
}

void TestFileLayers::unreadablePicturesAreRefused() {
    QFETCH(QByteArray, bytes);
    QString error;
    QVERIFY(!JpegImage::decode(bytes, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!JpegImage::decodeFile(m_dir.filePath("nothing-here.jpg"), &error));
}

void TestFileLayers::jpegIsDecodedScaledToTheBox_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QSize>("decoded");
    // libjpeg scales by eighths: the smallest that still fills the box.
    QTest::newRow("eighth") << QSize(800, 600) << QSize(100, 100) << QSize(100, 75);
    QTest::newRow("three eighths") << QSize(800, 600) << QSize(250, 250) << QSize(300, 225);
    QTest::newRow("tall picture") << QSize(160, 640) << QSize(200, 160) << QSize(40, 160);
    QTest::newRow("box larger than the picture") << QSize(64, 48) << QSize(500, 500) << QSize(64, 48);
    QTest::newRow("no box") << QSize(64, 48) << QSize() << QSize(64, 48);
}

void TestFileLayers::jpegIsDecodedScaledToTheBox() {
    QFETCH(QSize, picture);
    QFETCH(QSize, box);
    QFETCH(QSize, decoded);
    QImage image(picture, QImage::Format_RGB32);
    image.fill(QColor(20, 120, 220));
    const std::optional<JpegPixels> pixels = JpegImage::decode(jpegOf(image), nullptr, box);
    QVERIFY(pixels);
    QCOMPARE(QSize(pixels->width, pixels->height), decoded);
    QCOMPARE(pixels->rgb.size(), qsizetype(decoded.width()) * decoded.height() * 3);
}

QTEST_GUILESS_MAIN(TestFileLayers)
#include "tst_filelayers.moc"
