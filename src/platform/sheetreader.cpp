#include "platform/sheetreader.h"

#include "platform/localeformats.h"
#include "platform/xmlscanner.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <freexl.h>
#include <zip.h>

#include <cmath>
#include <memory>

namespace SheetReader {
namespace {

// The widest sheet a spreadsheet program makes (column XFD); a reference beyond it is damage.
constexpr int kMaxColumns = 16384;
constexpr int kConvertTimeoutMs = 5 * 60 * 1000;
constexpr int kCancelPollMs = 100;

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

// The largest sheet a spreadsheet program makes has this many rows; a row beyond it is damage.
constexpr qint64 kMaxRows = 1048576;
// Relationships, number formats and cell styles beyond these counts are of no use to a reader
// (a spreadsheet program allows about 64,000 styles).
constexpr qsizetype kMaxRelationships = 10000;
constexpr qsizetype kMaxStyles = 65536;

QString mebibytes(qint64 bytes) {
    return QString::number(bytes >> 20);
}

class ZipPackage {
public:
    explicit ZipPackage(const QString& path) : m_fileSize(QFileInfo(path).size()) {
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
    // The part, and its packed size as far as the file can hold it; null when missing or damaged.
    zip_file_t* open(const QString& name, qint64* packed) const {
        const QByteArray utf8 = name.toUtf8();
        zip_stat_t stat;
        zip_stat_init(&stat);
        *packed = m_fileSize;
        if (zip_stat(m_zip, utf8.constData(), ZIP_FL_NOCASE, &stat) == 0 && (stat.valid & ZIP_STAT_COMP_SIZE))
            *packed = std::min(qint64(std::min<zip_uint64_t>(stat.comp_size, zip_uint64_t(m_fileSize))), m_fileSize);
        return zip_fopen(m_zip, utf8.constData(), ZIP_FL_NOCASE);
    }

private:
    zip_t* m_zip = nullptr;
    qint64 m_fileSize = 0;
};

// One part of the package, read as a stream whose unpacked bytes are counted as they come.
struct Part {
    Part() = default;
    Part(const Part&) = delete;
    Part& operator=(const Part&) = delete;
    ~Part() {
        if (file)
            zip_fclose(file);
    }
    QString name;
    zip_file_t* file = nullptr;
    qint64 limit = 0;
    qint64 packed = 0;
    qint64 bytes = 0;
};

struct Relationship {
    QString type;
    QString target;
};
using Relationships = QHash<QString, Relationship>;

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

QString targetOfType(const Relationships& rels, QStringView typeEnd, const QString& fromPart, const QString& fallback) {
    for (const Relationship& r : rels)
        if (r.type.endsWith(typeEnd))
            return resolveTarget(fromPart, r.target);
    return fallback;
}

QString attributeText(QByteArrayView raw) {
    return QString::fromUtf8(XmlScanner::decoded(raw));
}

struct Workbook {
    QString sheet;
    QString sharedStrings;
    QString styles;
    bool date1904 = false;
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

class XlsxSheet {
public:
    XlsxSheet(const Formats& formats, const RowHandler& onRow, const Options& options)
        : m_formats(formats), m_onRow(onRow), m_options(options) {}
    Result read(const QString& path);

private:
    using Token = XmlScanner::Token;
    enum class CellType { Number, Shared, Text, Boolean, Date, Error };
    static CellType cellType(QByteArrayView t);
    QString cellText(CellType type, int style, const QByteArray& value) const;
    QString sharedString(int index) const;
    bool deliver(int row);
    Result readPackage(const QString& path);

    // Streams of parts: the bounds and the cancel flag are checked as bytes are unpacked.
    bool openPart(Part& part, const QString& name, qint64 limit);
    XmlScanner scannerOf(Part& part);
    void stop(Status status, const QString& error);
    // After a scan ended in an error: whether a bound or the cancel flag ended it (recorded for
    // stopped()), rather than damage.
    bool boundOrCancel(const XmlScanner& xml, const Part& part);
    Result stopped() const;

    // Hands each tag of a part to `onTag` until it returns false or the part ends. False when a
    // bound or the cancel flag ended the reading; a missing or damaged part gives what could be
    // read of it. The readers below return the same.
    bool scanPart(const QString& name, qint64 limit, const std::function<bool(Token, XmlScanner&)>& onTag);
    bool readRelationships(const QString& relsPart, Relationships* rels);
    bool readWorkbook(Workbook* book);
    bool readSharedStrings(const QString& part);
    bool addSharedString(QByteArrayView text);
    bool readDateStyles(const QString& part);
    Result readSheet(const QString& part);

    const Formats& m_formats;
    const RowHandler& m_onRow;
    const Options& m_options;
    std::unique_ptr<ZipPackage> m_zip;
    Status m_stop = Status::Read;
    QString m_stopError;
    qint64 m_unpacked = 0;
    // The shared strings' UTF-8 one after the other, and where each ends.
    QByteArray m_sharedText;
    std::vector<quint32> m_sharedEnds;
    std::vector<bool> m_dateStyles;
    bool m_date1904 = false;
    Result m_result;
    int m_dimensionColumns = 0;
    bool m_titleDelivered = false;
    // The row being read: it only grows, and only the cells given a value are emptied for the next
    // row, so that a row costs what it holds, not the width of the sheet.
    QStringList m_cells;
    std::vector<int> m_filled;
    int m_rowWidth = 0;
};

bool XlsxSheet::openPart(Part& part, const QString& name, qint64 limit) {
    part.name = name;
    part.limit = limit;
    part.file = name.isEmpty() ? nullptr : m_zip->open(name, &part.packed);
    return part.file != nullptr;
}

void XlsxSheet::stop(Status status, const QString& error) {
    if (m_stop != Status::Read)
        return;
    m_stop = status;
    m_stopError = error;
}

XmlScanner XlsxSheet::scannerOf(Part& part) {
    return XmlScanner([this, &part](char* buffer, qint64 size) -> qint64 {
        if (m_options.cancel && m_options.cancel->load(std::memory_order_relaxed)) {
            stop(Status::Cancelled, QStringLiteral("The reading was cancelled."));
            return -1;
        }
        const zip_int64_t n = zip_fread(part.file, buffer, zip_uint64_t(size));
        if (n <= 0)
            return qint64(n);
        part.bytes += n;
        m_unpacked += n;
        const Limits& limits = m_options.limits;
        if (part.bytes > part.limit) {
            stop(Status::OverBound,
                 QStringLiteral("Part %1 is larger than %2 MiB unpacked.").arg(part.name, mebibytes(part.limit)));
            return -1;
        }
        if (part.bytes > limits.ratioFromBytes && part.bytes / std::max<qint64>(part.packed, 1) > limits.ratio) {
            stop(Status::OverBound, QStringLiteral("Part %1 unpacks to more than %2 times its packed size.")
                                        .arg(part.name)
                                        .arg(limits.ratio));
            return -1;
        }
        return qint64(n);
    });
}

bool XlsxSheet::boundOrCancel(const XmlScanner& xml, const Part& part) {
    if (m_stop != Status::Read)
        return true;
    const auto fault = xml.fault();
    if (fault == XmlScanner::Fault::TagTooLong || fault == XmlScanner::Fault::TextTooLong) {
        stop(Status::OverBound,
             QStringLiteral("A %1 in part %2 is longer than %3 MiB.")
                 .arg(fault == XmlScanner::Fault::TagTooLong ? QStringLiteral("tag") : QStringLiteral("text"),
                      part.name, mebibytes(XmlScanner::kMaxTextBytes)));
        return true;
    }
    return false;
}

Result XlsxSheet::stopped() const {
    Result r;
    r.status = m_stop;
    r.error = m_stopError;
    return r;
}

bool XlsxSheet::scanPart(const QString& name, qint64 limit, const std::function<bool(Token, XmlScanner&)>& onTag) {
    Part part;
    if (!openPart(part, name, limit))
        return true;
    XmlScanner xml = scannerOf(part);
    for (;;) {
        const Token token = xml.next();
        if (token == Token::EndOfDocument)
            return true;
        if (token == Token::Error)
            return !boundOrCancel(xml, part);
        if (!onTag(token, xml))
            return m_stop == Status::Read;
    }
}

bool XlsxSheet::readRelationships(const QString& relsPart, Relationships* rels) {
    return scanPart(relsPart, m_options.limits.smallPartBytes, [&](Token token, XmlScanner& xml) {
        if ((token == Token::Start || token == Token::Empty) && XmlScanner::is(xml.name(), "Relationship") &&
            rels->size() < kMaxRelationships)
            rels->insert(attributeText(xml.attribute("Id")),
                         {attributeText(xml.attribute("Type")), attributeText(xml.attribute("Target"))});
        return true;
    });
}

bool XlsxSheet::readWorkbook(Workbook* book) {
    Relationships rootRels;
    if (!readRelationships(QStringLiteral("_rels/.rels"), &rootRels))
        return false;
    const QString workbookPart =
        targetOfType(rootRels, u"/officeDocument", QString(), QStringLiteral("xl/workbook.xml"));
    Relationships rels;
    if (!readRelationships(relsOf(workbookPart), &rels))
        return false;
    const bool read = scanPart(workbookPart, m_options.limits.smallPartBytes, [&](Token token, XmlScanner& xml) {
        if (token != Token::Start && token != Token::Empty)
            return true;
        if (XmlScanner::is(xml.name(), "workbookPr")) {
            const QByteArrayView v = xml.attribute("date1904");
            book->date1904 = v == "1" || v == "true";
        } else if (XmlScanner::is(xml.name(), "sheet")) {
            const Relationship r = rels.value(attributeText(xml.prefixedAttribute("id")));
            // Chart sheets do not count: the first worksheet is wanted.
            if (r.type.endsWith(u"/worksheet"))
                book->sheet = resolveTarget(workbookPart, r.target);
        }
        return book->sheet.isEmpty();
    });
    book->sharedStrings = targetOfType(rels, u"/sharedStrings", workbookPart, QString());
    book->styles = targetOfType(rels, u"/styles", workbookPart, QString());
    return read;
}

bool XlsxSheet::addSharedString(QByteArrayView text) {
    const Limits& limits = m_options.limits;
    if (qint64(m_sharedEnds.size()) >= limits.sharedStrings) {
        stop(Status::OverBound,
             QStringLiteral("The workbook holds more than %1 shared texts.").arg(limits.sharedStrings));
        return false;
    }
    if (qint64(m_sharedText.size()) + text.size() > std::min<qint64>(limits.sharedTextBytes, UINT32_MAX)) {
        stop(Status::OverBound, QStringLiteral("The shared texts of the workbook are longer than %1 MiB in all.")
                                    .arg(mebibytes(limits.sharedTextBytes)));
        return false;
    }
    m_sharedText.append(text);
    m_sharedEnds.push_back(quint32(m_sharedText.size()));
    return true;
}

bool XlsxSheet::readSharedStrings(const QString& name) {
    int phonetic = 0;
    return scanPart(name, m_options.limits.partBytes, [&](Token token, XmlScanner& xml) {
        const QByteArrayView tag = xml.name();
        if (token == Token::Start) {
            if (XmlScanner::is(tag, "si"))
                xml.text().resize(0);
            else if (XmlScanner::is(tag, "rPh"))
                ++phonetic;
            else if (XmlScanner::is(tag, "t") && phonetic == 0)
                xml.setCapture(true);
        } else if (token == Token::End) {
            if (XmlScanner::is(tag, "t"))
                xml.setCapture(false);
            else if (XmlScanner::is(tag, "rPh"))
                phonetic = std::max(phonetic - 1, 0);
            else if (XmlScanner::is(tag, "si"))
                return addSharedString(xml.text());
        } else if (token == Token::Empty && XmlScanner::is(tag, "si")) {
            return addSharedString({});
        }
        return true;
    });
}

QString XlsxSheet::sharedString(int index) const {
    if (index < 0 || size_t(index) >= m_sharedEnds.size())
        return QString();
    const quint32 begin = index == 0 ? 0 : m_sharedEnds[size_t(index) - 1];
    QString text = QString::fromUtf8(QByteArrayView(m_sharedText).sliced(begin, m_sharedEnds[size_t(index)] - begin));
    decodeEscapes(text);
    return text;
}

bool XlsxSheet::readDateStyles(const QString& name) {
    QHash<int, bool> customFormats;
    bool inCellXfs = false;
    return scanPart(name, m_options.limits.smallPartBytes, [&](Token token, XmlScanner& xml) {
        const QByteArrayView tag = xml.name();
        if (token == Token::Start || token == Token::Empty) {
            if (XmlScanner::is(tag, "numFmt") && customFormats.size() < kMaxStyles) {
                customFormats.insert(toInt(xml.attribute("numFmtId")),
                                     isDateFormatCode(attributeText(xml.attribute("formatCode"))));
            } else if (XmlScanner::is(tag, "cellXfs")) {
                inCellXfs = token == Token::Start;
            } else if (inCellXfs && XmlScanner::is(tag, "xf") && qsizetype(m_dateStyles.size()) < kMaxStyles) {
                const int id = std::max(toInt(xml.attribute("numFmtId")), 0);
                m_dateStyles.push_back(customFormats.contains(id) ? customFormats.value(id) : isBuiltInDateFormat(id));
            }
        } else if (token == Token::End && XmlScanner::is(tag, "cellXfs")) {
            inCellXfs = false;
        }
        return true;
    });
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
    case CellType::Shared:
        return sharedString(toInt(QByteArrayView(value).trimmed()));
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
    if (m_cells.size() < width)
        m_cells.resize(width);
    return m_onRow(row, m_cells);
}

Result XlsxSheet::read(const QString& path) {
    Result result = readPackage(path);
    result.unpackedBytes = m_unpacked;
    return result;
}

Result XlsxSheet::readPackage(const QString& path) {
    m_zip = std::make_unique<ZipPackage>(path);
    if (!m_zip->isOpen())
        return failed(QStringLiteral("The file is not a readable workbook."));
    Workbook book;
    if (!readWorkbook(&book))
        return stopped();
    if (book.sheet.isEmpty())
        return failed(QStringLiteral("The workbook has no worksheet."));
    m_date1904 = book.date1904;
    if (!readSharedStrings(book.sharedStrings) || !readDateStyles(book.styles))
        return stopped();
    return readSheet(book.sheet);
}

Result XlsxSheet::readSheet(const QString& name) {
    Part part;
    if (!openPart(part, name, m_options.limits.partBytes))
        return failed(QStringLiteral("The worksheet cannot be read."));
    XmlScanner xml = scannerOf(part);

    // A value counts only inside a cell, and a cell only inside a row.
    bool inRow = false;
    bool inCell = false;
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
    // Closes the open row, handing it on when it holds a value; false when the handler says stop.
    const auto endRow = [&] {
        const bool open = inRow;
        inRow = false;
        inCell = false;
        if (!open || !rowHasValue)
            return true;
        lastRow = row;
        return deliver(row);
    };
    while (!finished) {
        const Token token = xml.next();
        if (token == Token::Error)
            return boundOrCancel(xml, part) ? stopped() : failed(QStringLiteral("The worksheet is damaged."));
        if (token == Token::EndOfDocument)
            return failed(QStringLiteral("The worksheet ends early."));
        const QByteArrayView tag = xml.name();
        if (token == Token::Empty && XmlScanner::is(tag, "sheetData"))
            break; // an empty sheet
        if (token == Token::Start || token == Token::Empty) {
            if (XmlScanner::is(tag, "c")) {
                inCell = false;
                if (!inRow)
                    continue;
                int r = 0;
                int c = 0;
                parseReference(xml.attribute("r"), &c, &r);
                column = c > 0 ? c : column + 1;
                if (column > kMaxColumns)
                    return failed(QStringLiteral("A cell lies beyond the last column."));
                inCell = token == Token::Start;
                type = cellType(xml.attribute("t"));
                style = toInt(xml.attribute("s"));
                hasValue = false;
                inInline = false;
                phonetic = 0;
                xml.setCapture(false);
                xml.text().resize(0);
            } else if (XmlScanner::is(tag, "row")) {
                if (!endRow()) {
                    finished = true;
                    continue;
                }
                const QByteArrayView r = xml.attribute("r");
                const qint64 number = r.isEmpty() ? qint64(row) + 1 : toInt(r);
                if (number <= row)
                    return failed(QStringLiteral("The rows of the worksheet are out of order."));
                if (number > kMaxRows)
                    return failed(QStringLiteral("A row lies beyond the last row of a worksheet."));
                row = int(number);
                inRow = token == Token::Start;
                column = 0;
                rowHasValue = false;
                m_rowWidth = 0;
                for (const int filled : m_filled)
                    m_cells[filled] = QString();
                m_filled.clear();
            } else if (XmlScanner::is(tag, "dimension")) {
                const QByteArrayView ref = xml.attribute("ref");
                const qsizetype colon = ref.indexOf(':');
                int c = 0;
                int r = 0;
                parseReference(colon < 0 ? ref : ref.sliced(colon + 1), &c, &r);
                m_dimensionColumns = std::min(c, kMaxColumns);
                m_result.rows = std::max(m_result.rows, r);
            } else if (token == Token::Start && inCell) {
                if (XmlScanner::is(tag, "v")) {
                    xml.setCapture(true);
                    hasValue = true;
                } else if (XmlScanner::is(tag, "is")) {
                    inInline = true;
                    hasValue = true;
                    type = CellType::Text;
                } else if (XmlScanner::is(tag, "rPh")) {
                    ++phonetic;
                } else if (XmlScanner::is(tag, "t") && inInline && phonetic == 0) {
                    xml.setCapture(true);
                }
            }
        } else if (token == Token::End) {
            if (XmlScanner::is(tag, "v") || XmlScanner::is(tag, "t")) {
                xml.setCapture(false);
            } else if (XmlScanner::is(tag, "is")) {
                inInline = false;
            } else if (XmlScanner::is(tag, "rPh")) {
                phonetic = std::max(phonetic - 1, 0);
            } else if (XmlScanner::is(tag, "c")) {
                if (inCell && hasValue) {
                    const QString text = cellText(type, style, xml.text());
                    if (m_cells.size() < column)
                        m_cells.resize(column);
                    m_cells[column - 1] = text;
                    m_filled.push_back(column - 1);
                    m_rowWidth = std::max(m_rowWidth, column);
                    lastColumn = std::max(lastColumn, column);
                    rowHasValue = true;
                }
                inCell = false;
                xml.setCapture(false);
            } else if (XmlScanner::is(tag, "row")) {
                finished = !endRow();
            } else if (XmlScanner::is(tag, "sheetData")) {
                endRow();
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

Result readXls(const QString& path, const RowHandler& onRow, const Formats& formats, const Options& options) {
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
        if (options.cancel && options.cancel->load(std::memory_order_relaxed)) {
            result.status = Status::Cancelled;
            result.error = QStringLiteral("The reading was cancelled.");
            return result;
        }
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

Result readXlsb(const QString& path, const RowHandler& onRow, const Formats& formats, const Options& options) {
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
    QDeadlineTimer deadline(kConvertTimeoutMs);
    while (!process.waitForFinished(kCancelPollMs)) {
        const bool cancelled = options.cancel && options.cancel->load();
        if (!cancelled && !deadline.hasExpired() && process.state() != QProcess::NotRunning)
            continue;
        process.kill();
        process.waitForFinished(5000);
        if (cancelled) {
            Result r;
            r.status = Status::Cancelled;
            r.error = QStringLiteral("The reading was cancelled.");
            return r;
        }
        return failed(QStringLiteral("LibreOffice did not convert the file."));
    }
    const QString output = work.filePath(QStringLiteral("book.xlsx"));
    if (!QFile::exists(output))
        return failed(QStringLiteral("LibreOffice could not convert the file."));
    return XlsxSheet(formats, onRow, options).read(output);
}

} // namespace

QString dateText(double serial, bool date1904, const QLocale& locale) {
    return formatDate(serial, date1904, Formats(locale));
}

Result read(const QString& path, const RowHandler& onRow, const QLocale& locale, const Options& options) {
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
            return readXlsb(path, onRow, formats, options);
        return XlsxSheet(formats, onRow, options).read(path);
    }
    if (magic == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return readXls(path, onRow, formats, options);
    return failed(QStringLiteral("The file is not a workbook."));
}

} // namespace SheetReader
