#include "platform/sheetreader.h"

#include "platform/localeformats.h"
#include "platform/xmlscanner.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>

#include <freexl.h>
#include <zip.h>

#include <cmath>
#include <memory>

namespace SheetReader {
namespace {

// The widest sheet a spreadsheet program makes (column XFD); a reference beyond it is damage.
constexpr int kMaxColumns = 16384;
constexpr int kConvertTimeoutMs = 5 * 60 * 1000;

Result failed(const QString& error) {
    Result r;
    r.status = Status::Failed;
    r.error = error;
    return r;
}

// The locale's formats, prepared once per file.
struct Formats {
    explicit Formats(const QLocale& l) : locale(l), numbers(l) {
        numbers.setNumberOptions(QLocale::OmitGroupSeparator);
        plainDigits = l.zeroDigit() == QLatin1String("0") && l.negativeSign() == QLatin1String("-");
        timeFormat = LocaleFormats::longTimeFormat(l);
    }
    QLocale locale;
    QLocale numbers;
    bool plainDigits;
    QString timeFormat;
};

QString formatNumber(double value, const Formats& f) {
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return f.numbers.toString(qint64(value));
    return f.numbers.toString(value, 'g', 15);
}

QString formatDate(double serial, bool date1904, const Formats& f) {
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466)
        return formatNumber(serial, f);
    double days = serial;
    // The 1900 system counts a 29 February 1900 that never was.
    if (!date1904 && serial < 61)
        days += 1;
    const QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    qint64 whole = qint64(std::floor(days));
    qint64 seconds = std::llround((days - double(whole)) * 86400.0);
    if (seconds >= 86400) {
        ++whole;
        seconds -= 86400;
    }
    const QTime time = QTime(0, 0).addSecs(int(seconds));
    if (!date1904 && serial < 1)
        return f.locale.toString(time, f.timeFormat);
    return LocaleFormats::timestamp(QDateTime(base.addDays(whole), time), f.locale);
}

// Built-in number formats that show dates or times.
bool isBuiltInDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

// A format code shows a date or time when a date or time letter stands outside quotes, escapes
// and bracketed parts (colours, locales), or an elapsed time "[h]" is there.
bool isDateFormatCode(QStringView code) {
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t c = code[i].unicode();
        if (c == u'"') {
            i = code.indexOf(u'"', i + 1);
            if (i < 0)
                return false;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            if (end < 0)
                return false;
            // "[h]", "[mm]", "[ss]": elapsed time.
            const QStringView inner = code.mid(i + 1, end - i - 1);
            bool elapsed = !inner.isEmpty() && QStringView(u"hHmMsS").contains(inner.front());
            for (const QChar ch : inner)
                elapsed = elapsed && ch.toLower() == inner.front().toLower();
            if (elapsed)
                return true;
            i = end;
        } else if (QStringView(u"dDmMyYhHsS").contains(QChar(c))) {
            return true;
        }
    }
    return false;
}

// "AB12" -> column 28, row 12; zero for a part that is missing.
void parseReference(QByteArrayView ref, int* column, int* row) {
    qint64 c = 0;
    qint64 r = 0;
    qsizetype i = 0;
    for (; i < ref.size(); ++i) {
        const char ch = char(ref[i] & ~0x20);
        if (ch < 'A' || ch > 'Z')
            break;
        c = std::min<qint64>(c * 26 + (ch - 'A' + 1), kMaxColumns + 1);
    }
    for (; i < ref.size(); ++i) {
        const char ch = ref[i];
        if (ch < '0' || ch > '9')
            break;
        r = std::min<qint64>(r * 10 + (ch - '0'), INT_MAX);
    }
    *column = int(c);
    *row = int(r);
}

// Texts in the package may carry characters as "_x000D_".
void decodeEscapes(QString& text) {
    if (!text.contains(QLatin1String("_x")))
        return;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const uint code = QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out.append(QChar(char16_t(code)));
                i += 6;
                continue;
            }
        }
        out.append(text[i]);
    }
    text = out;
}

// ---- .xlsx ----

class ZipPackage {
public:
    explicit ZipPackage(const QString& path) {
        int error = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    }
    ~ZipPackage() {
        if (m_zip)
            zip_discard(m_zip);
    }
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    bool contains(const QString& name) const {
        return zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
    }
    zip_file_t* open(const QString& name) const { return zip_fopen(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE); }

    // A whole (small) part; nullopt when missing or damaged.
    std::optional<QByteArray> read(const QString& name) const {
        zip_file_t* file = open(name);
        if (!file)
            return std::nullopt;
        QByteArray bytes;
        char buffer[65536];
        zip_int64_t n = 0;
        while ((n = zip_fread(file, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, qsizetype(n));
        zip_fclose(file);
        if (n < 0)
            return std::nullopt;
        return bytes;
    }

private:
    zip_t* m_zip = nullptr;
};

struct Relationship {
    QString type;
    QString target;
};

QString partFolder(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString relsOf(const QString& part) {
    return partFolder(part) + QStringLiteral("_rels/") + part.mid(part.lastIndexOf(u'/') + 1) + QStringLiteral(".rels");
}

QString resolveTarget(const QString& fromPart, const QString& target) {
    if (target.startsWith(u'/'))
        return target.mid(1);
    return QDir::cleanPath(partFolder(fromPart) + target);
}

QHash<QString, Relationship> readRelationships(const ZipPackage& zip, const QString& relsPart) {
    QHash<QString, Relationship> result;
    const auto bytes = zip.read(relsPart);
    if (!bytes)
        return result;
    QXmlStreamReader xml(*bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Relationship") {
            const auto a = xml.attributes();
            result.insert(a.value(QLatin1String("Id")).toString(),
                          {a.value(QLatin1String("Type")).toString(), a.value(QLatin1String("Target")).toString()});
        }
    }
    return result;
}

QString targetOfType(const QHash<QString, Relationship>& rels, QStringView typeEnd, const QString& fromPart,
                     const QString& fallback) {
    for (const Relationship& r : rels)
        if (r.type.endsWith(typeEnd))
            return resolveTarget(fromPart, r.target);
    return fallback;
}

struct Workbook {
    QString sheet;
    QString sharedStrings;
    QString styles;
    bool date1904 = false;
};

std::optional<Workbook> readWorkbook(const ZipPackage& zip) {
    const auto rootRels = readRelationships(zip, QStringLiteral("_rels/.rels"));
    const QString workbookPart =
        targetOfType(rootRels, u"/officeDocument", QString(), QStringLiteral("xl/workbook.xml"));
    const auto bytes = zip.read(workbookPart);
    if (!bytes)
        return std::nullopt;
    const auto rels = readRelationships(zip, relsOf(workbookPart));
    Workbook book;
    QXmlStreamReader xml(*bytes);
    while (!xml.atEnd() && book.sheet.isEmpty()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        if (xml.name() == u"workbookPr") {
            const auto v = a.value(QLatin1String("date1904"));
            book.date1904 = v == u"1" || v == u"true";
        } else if (xml.name() == u"sheet") {
            for (const QXmlStreamAttribute& attr : a) {
                if (attr.name() != u"id" || attr.prefix().isEmpty())
                    continue;
                const Relationship r = rels.value(attr.value().toString());
                // Chart sheets do not count: the first worksheet is wanted.
                if (r.type.endsWith(u"/worksheet"))
                    book.sheet = resolveTarget(workbookPart, r.target);
            }
        }
    }
    if (book.sheet.isEmpty())
        return std::nullopt;
    book.sharedStrings = targetOfType(rels, u"/sharedStrings", workbookPart, QString());
    book.styles = targetOfType(rels, u"/styles", workbookPart, QString());
    return book;
}

// Reads a large part a chunk at a time.
XmlScanner scannerOf(zip_file_t* file) {
    return XmlScanner(
        [file](char* buffer, qint64 size) { return qint64(zip_fread(file, buffer, zip_uint64_t(size))); });
}

QStringList readSharedStrings(const ZipPackage& zip, const QString& part) {
    QStringList strings;
    zip_file_t* file = part.isEmpty() ? nullptr : zip.open(part);
    if (!file)
        return strings;
    const auto close = qScopeGuard([&] { zip_fclose(file); });
    XmlScanner xml = scannerOf(file);
    int phonetic = 0;
    for (;;) {
        const XmlScanner::Token token = xml.next();
        if (token == XmlScanner::Token::EndOfDocument || token == XmlScanner::Token::Error)
            break;
        const QByteArrayView name = xml.name();
        if (token == XmlScanner::Token::Start) {
            if (XmlScanner::is(name, "si"))
                xml.text().resize(0);
            else if (XmlScanner::is(name, "rPh"))
                ++phonetic;
            else if (XmlScanner::is(name, "t") && phonetic == 0)
                xml.setCapture(true);
        } else if (token == XmlScanner::Token::End) {
            if (XmlScanner::is(name, "t")) {
                xml.setCapture(false);
            } else if (XmlScanner::is(name, "rPh")) {
                --phonetic;
            } else if (XmlScanner::is(name, "si")) {
                QString text = QString::fromUtf8(xml.text());
                decodeEscapes(text);
                strings.append(text);
            }
        } else if (XmlScanner::is(name, "si")) {
            strings.append(QString());
        }
    }
    return strings;
}

// Whether each cell style shows its number as a date.
std::vector<bool> readDateStyles(const ZipPackage& zip, const QString& part) {
    std::vector<bool> dateStyles;
    if (part.isEmpty())
        return dateStyles;
    const auto bytes = zip.read(part);
    if (!bytes)
        return dateStyles;
    QHash<int, bool> customFormats;
    bool inCellXfs = false;
    QXmlStreamReader xml(*bytes);
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const auto a = xml.attributes();
            if (xml.name() == u"numFmt")
                customFormats.insert(a.value(QLatin1String("numFmtId")).toInt(),
                                     isDateFormatCode(a.value(QLatin1String("formatCode"))));
            else if (xml.name() == u"cellXfs")
                inCellXfs = true;
            else if (inCellXfs && xml.name() == u"xf") {
                const int id = a.value(QLatin1String("numFmtId")).toInt();
                dateStyles.push_back(customFormats.contains(id) ? customFormats.value(id) : isBuiltInDateFormat(id));
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    return dateStyles;
}

class XlsxSheet {
public:
    XlsxSheet(const Formats& formats, const RowHandler& onRow) : m_formats(formats), m_onRow(onRow) {}
    Result read(const QString& path);

private:
    enum class CellType { Number, Shared, Text, Boolean, Date, Error };
    static CellType cellType(QByteArrayView t);
    QString cellText(CellType type, int style, const QByteArray& value) const;
    bool deliver(int row);

    const Formats& m_formats;
    const RowHandler& m_onRow;
    QStringList m_shared;
    std::vector<bool> m_dateStyles;
    bool m_date1904 = false;
    Result m_result;
    int m_dimensionColumns = 0;
    bool m_titleDelivered = false;
    QStringList m_cells;
    int m_rowWidth = 0;
};

int toInt(QByteArrayView digits) {
    qint64 n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        n = std::min<qint64>(n * 10 + (c - '0'), INT_MAX);
    }
    return digits.isEmpty() ? -1 : int(n);
}

// "-12", "0", "986452044": at most 15 digits, no leading zero.
bool isPlainInteger(QByteArrayView v) {
    const QByteArrayView digits = v.startsWith('-') ? v.sliced(1) : v;
    if (digits.isEmpty() || digits.size() > 15 || (digits.size() > 1 && digits[0] == '0') || v == "-0")
        return false;
    for (const char c : digits)
        if (c < '0' || c > '9')
            return false;
    return true;
}

XlsxSheet::CellType XlsxSheet::cellType(QByteArrayView t) {
    if (t.isEmpty() || XmlScanner::is(t, "n"))
        return CellType::Number;
    if (XmlScanner::is(t, "s"))
        return CellType::Shared;
    if (XmlScanner::is(t, "inlineStr") || XmlScanner::is(t, "str"))
        return CellType::Text;
    if (XmlScanner::is(t, "b"))
        return CellType::Boolean;
    if (XmlScanner::is(t, "d"))
        return CellType::Date;
    return CellType::Error;
}

QString XlsxSheet::cellText(CellType type, int style, const QByteArray& value) const {
    switch (type) {
    case CellType::Number: {
        const QByteArrayView v = QByteArrayView(value).trimmed();
        const bool date = style >= 0 && size_t(style) < m_dateStyles.size() && m_dateStyles[size_t(style)];
        // Whole numbers as written need no conversion.
        if (m_formats.plainDigits && !date && isPlainInteger(v))
            return QString::fromLatin1(v);
        bool ok = false;
        const double number = v.toByteArray().toDouble(&ok);
        if (!ok)
            return QString();
        return date ? formatDate(number, m_date1904, m_formats) : formatNumber(number, m_formats);
    }
    case CellType::Shared: {
        const int index = toInt(QByteArrayView(value).trimmed());
        return index >= 0 && index < m_shared.size() ? m_shared.at(index) : QString();
    }
    case CellType::Text: {
        QString text = QString::fromUtf8(value);
        decodeEscapes(text);
        return text;
    }
    case CellType::Boolean:
        return QByteArrayView(value).trimmed() == "1" ? QStringLiteral("True") : QStringLiteral("False");
    case CellType::Date: {
        const QDateTime when = QDateTime::fromString(QString::fromLatin1(value).trimmed(), Qt::ISODate);
        return when.isValid() ? LocaleFormats::timestamp(when, m_formats.locale) : QString::fromUtf8(value);
    }
    case CellType::Error:
        break;
    }
    return QString(); // an error value cannot be read
}

bool XlsxSheet::deliver(int row) {
    if (!m_titleDelivered && row > 1) {
        m_titleDelivered = true;
        if (!m_onRow(1, QStringList(std::max(m_dimensionColumns, 0))))
            return false;
    }
    m_titleDelivered = true;
    const int width = std::max(m_rowWidth, m_dimensionColumns);
    if (m_cells.size() > width)
        m_cells.resize(width);
    else
        while (m_cells.size() < width)
            m_cells.append(QString());
    return m_onRow(row, m_cells);
}

Result XlsxSheet::read(const QString& path) {
    ZipPackage zip(path);
    if (!zip.isOpen())
        return failed(QStringLiteral("The file is not a readable workbook."));
    const auto book = readWorkbook(zip);
    if (!book)
        return failed(QStringLiteral("The workbook has no worksheet."));
    m_date1904 = book->date1904;
    m_shared = readSharedStrings(zip, book->sharedStrings);
    m_dateStyles = readDateStyles(zip, book->styles);
    zip_file_t* file = zip.open(book->sheet);
    if (!file)
        return failed(QStringLiteral("The worksheet cannot be read."));
    const auto close = qScopeGuard([&] { zip_fclose(file); });
    XmlScanner xml = scannerOf(file);

    using Token = XmlScanner::Token;
    bool inInline = false;
    int phonetic = 0;
    bool hasValue = false;
    bool rowHasValue = false;
    bool finished = false;
    int row = 0;
    int column = 0;
    int lastRow = 0;
    int lastColumn = 0;
    CellType type = CellType::Number;
    int style = 0;
    while (!finished) {
        const Token token = xml.next();
        if (token == Token::Error)
            return failed(QStringLiteral("The worksheet is damaged."));
        if (token == Token::EndOfDocument)
            return failed(QStringLiteral("The worksheet ends early."));
        const QByteArrayView name = xml.name();
        if (token == Token::Empty && XmlScanner::is(name, "sheetData"))
            break; // an empty sheet
        if (token == Token::Start || token == Token::Empty) {
            if (XmlScanner::is(name, "c")) {
                int r = 0;
                int c = 0;
                parseReference(xml.attribute("r"), &c, &r);
                column = c > 0 ? c : column + 1;
                if (column > kMaxColumns)
                    return failed(QStringLiteral("A cell lies beyond the last column."));
                type = cellType(xml.attribute("t"));
                style = toInt(xml.attribute("s"));
                hasValue = false;
                xml.text().resize(0);
            } else if (XmlScanner::is(name, "row")) {
                const QByteArrayView r = xml.attribute("r");
                const int number = r.isEmpty() ? row + 1 : toInt(r);
                if (number <= row)
                    return failed(QStringLiteral("The rows of the worksheet are out of order."));
                row = number;
                column = 0;
                rowHasValue = false;
                m_rowWidth = 0;
                for (QString& cell : m_cells)
                    cell = QString();
            } else if (XmlScanner::is(name, "dimension")) {
                const QByteArrayView ref = xml.attribute("ref");
                const qsizetype colon = ref.indexOf(':');
                int c = 0;
                int r = 0;
                parseReference(colon < 0 ? ref : ref.sliced(colon + 1), &c, &r);
                m_dimensionColumns = std::min(c, kMaxColumns);
                m_result.rows = std::max(m_result.rows, r);
            } else if (token == Token::Start) {
                if (XmlScanner::is(name, "v")) {
                    xml.setCapture(true);
                    hasValue = true;
                } else if (XmlScanner::is(name, "is")) {
                    inInline = true;
                    hasValue = true;
                    type = CellType::Text;
                } else if (XmlScanner::is(name, "rPh")) {
                    ++phonetic;
                } else if (XmlScanner::is(name, "t") && inInline && phonetic == 0) {
                    xml.setCapture(true);
                }
            }
        } else if (token == Token::End) {
            if (XmlScanner::is(name, "v") || XmlScanner::is(name, "t")) {
                xml.setCapture(false);
            } else if (XmlScanner::is(name, "is")) {
                inInline = false;
            } else if (XmlScanner::is(name, "rPh")) {
                --phonetic;
            } else if (XmlScanner::is(name, "c")) {
                if (hasValue) {
                    const QString text = cellText(type, style, xml.text());
                    while (m_cells.size() < column)
                        m_cells.append(QString());
                    m_cells[column - 1] = text;
                    m_rowWidth = std::max(m_rowWidth, column);
                    lastColumn = std::max(lastColumn, column);
                    rowHasValue = true;
                }
            } else if (XmlScanner::is(name, "row")) {
                if (rowHasValue) {
                    lastRow = row;
                    if (!deliver(row))
                        finished = true;
                }
            } else if (XmlScanner::is(name, "sheetData")) {
                finished = true;
            }
        }
    }
    if (!m_titleDelivered)
        m_onRow(1, QStringList(m_dimensionColumns));
    m_result.rows = std::max(m_result.rows, lastRow);
    m_result.columns = std::max(m_dimensionColumns, lastColumn);
    return m_result;
}

// ---- .xls ----

QString xlsCellText(const FreeXL_CellValue& value, const Formats& f) {
    switch (value.type) {
    case FREEXL_CELL_INT:
        return formatNumber(value.value.int_value, f);
    case FREEXL_CELL_DOUBLE:
        return formatNumber(value.value.double_value, f);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return QString::fromUtf8(value.value.text_value);
    case FREEXL_CELL_DATE: {
        const QString text = QString::fromUtf8(value.value.text_value);
        const QDate date = QDate::fromString(text, Qt::ISODate);
        return date.isValid() ? LocaleFormats::timestamp(QDateTime(date, QTime(0, 0)), f.locale) : text;
    }
    case FREEXL_CELL_DATETIME: {
        const QString text = QString::fromUtf8(value.value.text_value);
        const QDateTime when = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return when.isValid() ? LocaleFormats::timestamp(when, f.locale) : text;
    }
    case FREEXL_CELL_TIME: {
        const QString text = QString::fromUtf8(value.value.text_value);
        const QTime time = QTime::fromString(text, QStringLiteral("HH:mm:ss"));
        return time.isValid() ? f.locale.toString(time, f.timeFormat) : text;
    }
    default:
        return QString();
    }
}

Result readXls(const QString& path, const RowHandler& onRow, const Formats& formats) {
    const void* handle = nullptr;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &handle);
    const auto close = qScopeGuard([&] {
        if (handle)
            freexl_close(handle);
    });
    if (opened != FREEXL_OK)
        return failed(QStringLiteral("The workbook cannot be read (error %1).").arg(opened));
    unsigned int password = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED)
        return failed(QStringLiteral("The workbook is protected by a password."));
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        return failed(QStringLiteral("The workbook has no worksheet."));
    Result result;
    result.columns = columns;
    QStringList cells(columns);
    for (unsigned int r = 0; r < rows; ++r) {
        bool any = false;
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            cells[c] =
                freexl_get_cell_value(handle, r, c, &value) == FREEXL_OK ? xlsCellText(value, formats) : QString();
            any = any || !cells[c].isEmpty();
        }
        if (any)
            result.rows = int(r + 1);
        if ((r == 0 || any) && !onRow(int(r + 1), cells))
            return result;
    }
    if (rows == 0)
        onRow(1, cells);
    return result;
}

// ---- .xlsb ----

// One profile for every conversion of this run: a fresh one costs seconds each time, and the
// user's own would hand the work to an office window they may have open.
QString officeProfileUrl() {
    static QTemporaryDir profile(QDir::tempPath() + QStringLiteral("/velmora-office-XXXXXX"));
    return QUrl::fromLocalFile(profile.path()).toString();
}

Result readXlsb(const QString& path, const RowHandler& onRow, const Formats& formats) {
    QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty()) {
        Result r;
        r.status = Status::Unavailable;
        return r;
    }
    QTemporaryDir work;
    // A plain name: the user's file name could look like an option to the converter.
    const QString input = work.filePath(QStringLiteral("book.xlsb"));
    if (!work.isValid() || !QFile::copy(path, input))
        return failed(QStringLiteral("The file cannot be copied for conversion."));
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(office,
                  {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                   QStringLiteral("-env:UserInstallation=") + officeProfileUrl(), QStringLiteral("--convert-to"),
                   QStringLiteral("xlsx"), QStringLiteral("--outdir"), work.path(), input});
    if (!process.waitForFinished(kConvertTimeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return failed(QStringLiteral("LibreOffice did not convert the file."));
    }
    const QString output = work.filePath(QStringLiteral("book.xlsx"));
    if (!QFile::exists(output))
        return failed(QStringLiteral("LibreOffice could not convert the file."));
    return XlsxSheet(formats, onRow).read(output);
}

} // namespace

QString dateText(double serial, bool date1904, const QLocale& locale) {
    return formatDate(serial, date1904, Formats(locale));
}

Result read(const QString& path, const RowHandler& onRow, const QLocale& locale) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(file.errorString());
    const QByteArray magic = file.read(8);
    file.close();
    const Formats formats(locale);
    if (magic.startsWith("PK\x03\x04")) {
        bool binary = false;
        {
            ZipPackage zip(path);
            binary = zip.isOpen() && zip.contains(QStringLiteral("xl/workbook.bin"));
        }
        if (binary)
            return readXlsb(path, onRow, formats);
        return XlsxSheet(formats, onRow).read(path);
    }
    if (magic == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return readXls(path, onRow, formats);
    return failed(QStringLiteral("The file is not a workbook."));
}

} // namespace SheetReader
