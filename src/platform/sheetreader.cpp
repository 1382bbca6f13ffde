#include "platform/sheetreader.h"

#include "platform/localeformats.h"

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
void parseReference(QStringView ref, int* column, int* row) {
    qint64 c = 0;
    qint64 r = 0;
    qsizetype i = 0;
    for (; i < ref.size(); ++i) {
        const char16_t ch = ref[i].unicode() & ~0x20;
        if (ch < u'A' || ch > u'Z')
            break;
        c = std::min<qint64>(c * 26 + (ch - u'A' + 1), kMaxColumns + 1);
    }
    for (; i < ref.size(); ++i) {
        const char16_t ch = ref[i].unicode();
        if (ch < u'0' || ch > u'9')
            break;
        r = std::min<qint64>(r * 10 + (ch - u'0'), INT_MAX);
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

// Streams a large part into an XML reader chunk by chunk, so a sheet of any size costs little memory.
class StreamedPart {
public:
    explicit StreamedPart(zip_file_t* file) : m_file(file) {}
    ~StreamedPart() {
        if (m_file)
            zip_fclose(m_file);
    }
    StreamedPart(const StreamedPart&) = delete;
    StreamedPart& operator=(const StreamedPart&) = delete;

    QXmlStreamReader& xml() { return m_xml; }
    bool damaged() const { return m_damaged; }

    QXmlStreamReader::TokenType next() {
        for (;;) {
            const auto token = m_xml.readNext();
            if (token != QXmlStreamReader::Invalid || m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError ||
                m_atEnd)
                return token;
            const zip_int64_t n = zip_fread(m_file, m_buffer.data(), zip_uint64_t(m_buffer.size()));
            if (n < 0) {
                m_damaged = true;
                return QXmlStreamReader::Invalid;
            }
            if (n == 0)
                m_atEnd = true;
            else
                m_xml.addData(QByteArray(m_buffer.constData(), qsizetype(n)));
        }
    }

private:
    zip_file_t* m_file;
    QXmlStreamReader m_xml;
    QByteArray m_buffer = QByteArray(1 << 20, Qt::Uninitialized);
    bool m_atEnd = false;
    bool m_damaged = false;
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

QStringList readSharedStrings(const ZipPackage& zip, const QString& part) {
    QStringList strings;
    if (part.isEmpty())
        return strings;
    const auto bytes = zip.read(part);
    if (!bytes)
        return strings;
    QXmlStreamReader xml(*bytes);
    QString current;
    bool inText = false;
    int phonetic = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (xml.name() == u"si")
                current.clear();
            else if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                inText = true;
            break;
        case QXmlStreamReader::Characters:
            if (inText)
                current += xml.text();
            break;
        case QXmlStreamReader::EndElement:
            if (xml.name() == u"t")
                inText = false;
            else if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == u"si") {
                decodeEscapes(current);
                strings.append(current);
            }
            break;
        default:
            break;
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
    QString cellText() const;
    bool deliver(int row);

    const Formats& m_formats;
    const RowHandler& m_onRow;
    QStringList m_shared;
    std::vector<bool> m_dateStyles;
    bool m_date1904 = false;
    Result m_result;
    int m_dimensionColumns = 0;
    bool m_titleDelivered = false;

    // The cell being read.
    QString m_value;
    QString m_type;
    int m_style = 0;
    QStringList m_cells;
    int m_rowWidth = 0;
};

QString XlsxSheet::cellText() const {
    if (m_type.isEmpty() || m_type == u"n") {
        bool ok = false;
        const double number = m_value.toDouble(&ok);
        if (!ok)
            return QString();
        if (m_style >= 0 && size_t(m_style) < m_dateStyles.size() && m_dateStyles[size_t(m_style)])
            return formatDate(number, m_date1904, m_formats);
        const QString& v = m_value;
        if (m_formats.plainDigits && !v.isEmpty() && v.size() <= 15) {
            bool digits = true;
            for (qsizetype i = v[0] == u'-' ? 1 : 0; i < v.size() && digits; ++i)
                digits = v[i] >= u'0' && v[i] <= u'9';
            if (digits && v != u"-" && !(v.size() > 1 && v[0] == u'0') && v != u"-0")
                return v;
        }
        return formatNumber(number, m_formats);
    }
    if (m_type == u"s") {
        bool ok = false;
        const int index = m_value.toInt(&ok);
        return ok && index >= 0 && index < m_shared.size() ? m_shared.at(index) : QString();
    }
    if (m_type == u"inlineStr" || m_type == u"str") {
        QString text = m_value;
        decodeEscapes(text);
        return text;
    }
    if (m_type == u"b")
        return m_value.trimmed() == u"1" ? QStringLiteral("True") : QStringLiteral("False");
    if (m_type == u"d") {
        const QDateTime when = QDateTime::fromString(m_value.trimmed(), Qt::ISODate);
        return when.isValid() ? LocaleFormats::timestamp(when, m_formats.locale) : m_value;
    }
    return QString(); // "e": an error value cannot be read
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
    StreamedPart part(file);
    QXmlStreamReader& xml = part.xml();

    enum class Capture { None, Value, Text } capture = Capture::None;
    bool inInline = false;
    int phonetic = 0;
    bool hasValue = false;
    bool rowHasValue = false;
    int row = 0;
    int column = 0;
    int lastRow = 0;
    int lastColumn = 0;
    for (;;) {
        const auto token = part.next();
        if (token == QXmlStreamReader::Invalid) {
            return failed(part.damaged() ? QStringLiteral("The worksheet is damaged.") : xml.errorString());
        }
        if (token == QXmlStreamReader::EndDocument)
            break;
        if (token == QXmlStreamReader::Characters) {
            if (capture != Capture::None)
                m_value += xml.text();
            continue;
        }
        const QStringView name = xml.name();
        if (token == QXmlStreamReader::StartElement) {
            if (name == u"c") {
                const auto a = xml.attributes();
                int r = 0;
                int c = 0;
                parseReference(a.value(QLatin1String("r")), &c, &r);
                column = c > 0 ? c : column + 1;
                if (column > kMaxColumns)
                    return failed(QStringLiteral("A cell lies beyond the last column."));
                m_type = a.value(QLatin1String("t")).toString();
                m_style = a.hasAttribute(QLatin1String("s")) ? a.value(QLatin1String("s")).toInt() : 0;
                m_value.clear();
                hasValue = false;
            } else if (name == u"v") {
                capture = Capture::Value;
                hasValue = true;
            } else if (name == u"is") {
                inInline = true;
                hasValue = true;
            } else if (name == u"rPh") {
                ++phonetic;
            } else if (name == u"t" && inInline && phonetic == 0) {
                capture = Capture::Text;
            } else if (name == u"row") {
                const auto r = xml.attributes().value(QLatin1String("r"));
                const int number = r.isEmpty() ? row + 1 : r.toInt();
                if (number <= row)
                    return failed(QStringLiteral("The rows of the worksheet are out of order."));
                row = number;
                column = 0;
                rowHasValue = false;
                m_rowWidth = 0;
                for (QString& cell : m_cells)
                    cell = QString();
            } else if (name == u"dimension") {
                const auto ref = xml.attributes().value(QLatin1String("ref"));
                const qsizetype colon = ref.indexOf(u':');
                int c = 0;
                int r = 0;
                parseReference(colon < 0 ? ref : ref.mid(colon + 1), &c, &r);
                m_dimensionColumns = std::min(c, kMaxColumns);
                m_result.rows = std::max(m_result.rows, r);
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (name == u"v" || name == u"t") {
                capture = Capture::None;
            } else if (name == u"is") {
                inInline = false;
                m_type = QStringLiteral("inlineStr");
            } else if (name == u"rPh") {
                --phonetic;
            } else if (name == u"c") {
                if (hasValue) {
                    const QString text = cellText();
                    while (m_cells.size() < column)
                        m_cells.append(QString());
                    m_cells[column - 1] = text;
                    m_rowWidth = std::max(m_rowWidth, column);
                    lastColumn = std::max(lastColumn, column);
                    rowHasValue = true;
                }
            } else if (name == u"row") {
                if (rowHasValue) {
                    lastRow = row;
                    if (!deliver(row))
                        break;
                }
            } else if (name == u"sheetData") {
                break;
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

QString numberText(double value, const QLocale& locale) {
    return formatNumber(value, Formats(locale));
}

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
