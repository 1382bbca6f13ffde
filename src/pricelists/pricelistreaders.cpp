#include "pricelists/pricelistreaders.h"

#include "platform/localeformats.h"
#include "platform/sheetreader.h"
#include "pricelists/normalizereference.h"
#include "pricelists/ownpricetable.h"
#include "service/textfunctions.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr qint64 kChunkBytes = 1 << 20;

QString lowerTrimmed(const QString& text) {
    return LocaleFormats::toLower(Trim(text));
}

// Lines of a CSV file, decoded a chunk at a time: a byte-order mark selects UTF-8 or UTF-16,
// anything else is Windows-1252. Lines end at CR LF, LF or CR.
// A line longer than kMaxCsvLineChars is dropped as it streams by and counted, so memory stays
// bounded and each character is looked at once.
class CsvLines {
public:
    CsvLines(QFile& file, const std::atomic<bool>* cancel) : m_file(file), m_cancel(cancel) {}
    // The view stays valid until the next call. False at the end, when reading failed or when
    // the reading was cancelled.
    bool next(QStringView* line);
    bool failed() const { return m_failed; }
    bool cancelled() const { return m_cancelled; }
    qsizetype longLines() const { return m_longLines; }
    // Lines per byte of the first chunk, to foresee the size of the table.
    double linesPerByte() const { return m_linesPerByte; }

private:
    bool fill();

    QFile& m_file;
    const std::atomic<bool>* m_cancel;
    std::optional<QStringDecoder> m_decoder;
    QByteArray m_raw;
    QString m_text;
    qsizetype m_pos = 0;
    // Where the search for the end of the current line goes on.
    qsizetype m_scan = 0;
    bool m_skipping = false;
    qsizetype m_longLines = 0;
    bool m_started = false;
    bool m_atEnd = false;
    bool m_failed = false;
    bool m_cancelled = false;
    double m_linesPerByte = 0;
};

const std::array<char16_t, 256>& ansiTable() {
    static const std::array<char16_t, 256> table = [] {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString decoded = LocaleFormats::decodeAnsi(all);
        std::array<char16_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = decoded[i].unicode();
        return t;
    }();
    return table;
}

bool CsvLines::fill() {
    if (m_cancel && m_cancel->load(std::memory_order_relaxed)) {
        m_cancelled = true;
        return false;
    }
    m_raw.resize(kChunkBytes);
    const qint64 n = m_file.read(m_raw.data(), kChunkBytes);
    if (n < 0) {
        m_failed = true;
        return false;
    }
    m_raw.resize(n);
    if (n == 0) {
        m_atEnd = true;
        return true;
    }
    QByteArrayView bytes(m_raw);
    if (!m_started) {
        m_started = true;
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            m_decoder.emplace(QStringConverter::Utf8);
            bytes = bytes.sliced(3);
        } else if (bytes.startsWith("\xFF\xFE")) {
            m_decoder.emplace(QStringConverter::Utf16LE);
            bytes = bytes.sliced(2);
        } else if (bytes.startsWith("\xFE\xFF")) {
            m_decoder.emplace(QStringConverter::Utf16BE);
            bytes = bytes.sliced(2);
        }
        const qsizetype breaks = bytes.count('\n') + bytes.count('\r');
        m_linesPerByte = bytes.isEmpty() ? 0 : double(std::max<qsizetype>(breaks, 1)) / double(bytes.size());
    }
    m_text.remove(0, m_pos);
    m_scan -= m_pos;
    m_pos = 0;
    const qsizetype old = m_text.size();
    if (m_decoder) {
        m_text.resize(old + m_decoder->requiredSpace(bytes.size()));
        QChar* end = m_decoder->appendToBuffer(m_text.data() + old, bytes);
        m_text.resize(end - m_text.constData());
    } else {
        m_text.resize(old + bytes.size());
        char16_t* out = reinterpret_cast<char16_t*>(m_text.data()) + old;
        const auto& table = ansiTable();
        for (const char b : bytes)
            *out++ = table[static_cast<unsigned char>(b)];
    }
    return true;
}

bool CsvLines::next(QStringView* line) {
    for (;;) {
        const char16_t* data = reinterpret_cast<const char16_t*>(m_text.constData());
        const qsizetype n = m_text.size();
        qsizetype i = std::max(m_scan, m_pos);
        for (; i < n; ++i) {
            const char16_t c = data[i];
            if (c != u'\r' && c != u'\n')
                continue;
            // A CR at the end of what is decoded may be the first half of CR LF.
            if (c == u'\r' && i + 1 == n && !m_atEnd)
                break;
            const qsizetype start = m_pos;
            m_pos = i + 1 + ((c == u'\r' && i + 1 < n && data[i + 1] == u'\n') ? 1 : 0);
            m_scan = m_pos;
            if (m_skipping || i - start > kMaxCsvLineChars) {
                m_skipping = false;
                ++m_longLines;
                i = m_pos - 1;
                continue;
            }
            *line = QStringView(data + start, i - start);
            return true;
        }
        m_scan = i;
        if (m_atEnd) {
            const qsizetype start = m_pos;
            m_pos = n;
            if (m_skipping || n - start > kMaxCsvLineChars) {
                m_skipping = false;
                ++m_longLines;
                return false;
            }
            if (start >= n)
                return false;
            *line = QStringView(data + start, n - start);
            return true;
        }
        if (m_scan - m_pos > kMaxCsvLineChars) {
            // Too long to be a line of a price list: what is read of it goes now.
            m_skipping = true;
            m_pos = m_scan;
        }
        if (!fill())
            return false;
    }
}

// Adds the usable lines of one file: every line with the same brand shares one source.
class RowSink {
public:
    RowSink(OwnPriceTable& table, const QLocale& locale, const PriceColumns& columns, const QString& fileName)
        : m_table(table), m_locale(locale), m_columns(columns), m_fileName(fileName) {
        if (columns.brand < 0) {
            const QString brand = upper(FileNameBrand(fileName));
            m_fileBrandEmpty = brand.isEmpty();
            m_source = m_table.source(brand, fileName);
        }
    }

    // `brand` is ignored when the file has no brand column.
    void add(QStringView brand, QStringView reference, QStringView price) {
        int source = m_source;
        if (m_columns.brand >= 0) {
            if (brand.isEmpty())
                return;
            source = brandSource(brand);
        } else if (m_fileBrandEmpty) {
            return;
        }
        if (reference.isEmpty() || price.isEmpty())
            return;
        upperInto(reference, m_reference);
        m_key.resize(0);
        AppendNormalizedReference(reference, m_key);
        m_table.addRow(source, m_key, m_reference, price);
    }

private:
    // Most files name a few brands over and over: those are found without making a text.
    int brandSource(QStringView brand) {
        for (const auto& [text, source] : m_recentBrands)
            if (text == brand)
                return source;
        QString upper;
        upperInto(brand, upper);
        const int source = m_table.source(upper, m_fileName);
        if (m_recentBrands.size() < 32)
            m_recentBrands.emplace_back(brand.toString(), source);
        return source;
    }
    QString upper(QStringView text) const {
        QString out;
        upperInto(text, out);
        return out;
    }
    // Locale-aware, with a short way for the usual ASCII text; `out` keeps its buffer.
    void upperInto(QStringView text, QString& out) const {
        out.resize(text.size());
        char16_t* o = reinterpret_cast<char16_t*>(out.data());
        const char16_t* in = text.utf16();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = in[i];
            if (u >= 0x80) {
                out = m_locale.toUpper(text.toString());
                return;
            }
            o[i] = u >= u'a' && u <= u'z' ? char16_t(u - (u'a' - u'A')) : u;
        }
    }

    OwnPriceTable& m_table;
    const QLocale& m_locale;
    PriceColumns m_columns;
    QString m_fileName;
    int m_source = -1;
    bool m_fileBrandEmpty = false;
    std::vector<std::pair<QString, int>> m_recentBrands;
    QString m_reference;
    QString m_key;
};

PriceListLoad cannotRead(const char* what, const QString& path, const QString& reason) {
    PriceListLoad load;
    load.problem = PriceListLoad::Problem::CannotRead;
    load.error = QStringLiteral("Cannot %1 file \"%2\". %3").arg(QLatin1String(what), path, reason);
    return load;
}

} // namespace

PriceColumns RecognizeColumns(const QStringList& titles, const PriceColumnNames& names, bool emptyTitlesMatch) {
    const QString brand = lowerTrimmed(names.brand);
    const QString reference = lowerTrimmed(names.reference);
    const QString price = lowerTrimmed(names.price);
    PriceColumns columns;
    for (int i = 0; i < titles.size(); ++i) {
        const QString title = lowerTrimmed(titles.at(i));
        if (title.isEmpty() && !emptyTitlesMatch)
            continue;
        const QString needle = QLatin1Char('[') + title + QLatin1Char(']');
        if (brand.contains(needle))
            columns.brand = i;
        else if (reference.contains(needle))
            columns.reference = i;
        else if (price.contains(needle))
            columns.price = i;
    }
    return columns;
}

QString FileNameBrand(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString name = dot < 0 ? fileName : fileName.left(dot);
    if (name.contains(QLatin1Char('[')) && name.contains(QLatin1Char(']')))
        return TextBetween(name, QStringLiteral("["), QStringLiteral("]"));
    return name;
}

const std::vector<QStringView>& CsvSplitter::split(QStringView line, int maxFields) {
    m_fields.clear();
    while (!line.isEmpty() && line.back() == u';')
        line.chop(1);
    if (line.isEmpty())
        return m_fields;
    if (m_unquoted.size() < size_t(line.size()))
        m_unquoted.resize(size_t(line.size()));
    char16_t* out = m_unquoted.data();
    const char16_t* p = line.utf16();
    const char16_t* const end = p + line.size();
    while (int(m_fields.size()) < maxFields) {
        if (p < end && *p == u'"') {
            char16_t* const start = out;
            ++p;
            while (p < end) {
                if (*p == u'"') {
                    if (p + 1 < end && p[1] == u'"') {
                        *out++ = u'"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                *out++ = *p++;
            }
            // Text between the closing quote and the separator still belongs to the field.
            while (p < end && *p != m_separator)
                *out++ = *p++;
            m_fields.emplace_back(start, out - start);
        } else {
            const char16_t* const start = p;
            while (p < end && *p != m_separator)
                ++p;
            m_fields.emplace_back(start, p - start);
        }
        if (p == end)
            break;
        ++p;
    }
    return m_fields;
}

QStringList SplitCsvLine(QStringView line, QChar separator) {
    CsvSplitter splitter(separator);
    QStringList fields;
    for (const QStringView field : splitter.split(line))
        fields << field.toString();
    return fields;
}

QString SheetPriceText(QStringView text, QChar decimalPoint) {
    const QStringView digits = text.startsWith(u'-') ? text.sliced(1) : text;
    const qsizetype point = digits.indexOf(decimalPoint);
    const QStringView whole = point < 0 ? digits : digits.first(point);
    const QStringView fraction = point < 0 ? QStringView() : digits.sliced(point + 1);
    const auto allDigits = [](QStringView part) {
        return std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (whole.isEmpty() || !allDigits(whole) || !allDigits(fraction) || (point >= 0 && fraction.isEmpty()))
        return text.toString();
    if (fraction.size() >= 2)
        return text.toString();
    return text.toString() + (point < 0 ? QString(decimalPoint) : QString()) + QString(2 - fraction.size(), u'0');
}

PriceListReader::PriceListReader(OwnPriceTable& table, const PriceColumnNames& names, QChar separator,
                                 const QLocale& locale, const std::atomic<bool>* cancel)
    : m_table(table), m_names(names), m_separator(separator), m_locale(locale), m_cancel(cancel) {}

namespace {

// A file that passed a bound or was cancelled leaves nothing behind.
PriceListLoad finish(PriceListLoad load, OwnPriceTable& table, qsizetype rowsBefore) {
    if (load.problem == PriceListLoad::Problem::OverBound || load.problem == PriceListLoad::Problem::Cancelled) {
        table.truncate(rowsBefore);
        load.used = false;
    }
    load.records = table.Count() - rowsBefore;
    return load;
}

PriceListLoad problem(PriceListLoad::Problem kind, const QString& error) {
    PriceListLoad load;
    load.problem = kind;
    load.error = error;
    return load;
}

// Only plain files are read: a pipe or device would block the reading.
QString whyNotAPlainFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile())
        return QString();
    return info.exists() ? QStringLiteral("not a plain file") : QStringLiteral("the file is gone");
}

QString missingColumns(const PriceColumns& columns) {
    if (columns.reference < 0 && columns.price < 0)
        return QStringLiteral("no reference and no price column recognised in the title row");
    return QStringLiteral("no %1 column recognised in the title row")
        .arg(columns.reference < 0 ? QStringLiteral("reference") : QStringLiteral("price"));
}

} // namespace

PriceListLoad PriceListReader::LoadCsvPriceList(const QString& fullPath, const QString& fileName) {
    const qsizetype before = m_table.Count();
    return finish(readCsv(fullPath, fileName), m_table, before);
}

PriceListLoad PriceListReader::LoadSheetPriceList(const QString& fullPath, const QString& fileName) {
    const qsizetype before = m_table.Count();
    return finish(readSheet(fullPath, fileName), m_table, before);
}

QChar PriceListReader::titleSeparator(QStringView title, PriceColumns* columns) const {
    const auto columnsFor = [&](QChar separator) {
        CsvSplitter splitter(separator);
        QStringList titles;
        for (const QStringView field : splitter.split(title))
            titles << field.toString();
        return RecognizeColumns(titles, m_names, false);
    };
    const auto found = [](const PriceColumns& c) { return (c.reference >= 0 ? 1 : 0) + (c.price >= 0 ? 1 : 0); };
    *columns = columnsFor(m_separator);
    // Suppliers write for their own locale: a list from abroad often splits at another separator.
    for (const QChar other : {QChar(u';'), QChar(u','), QChar(u'\t')}) {
        if (columns->usable())
            break;
        if (other == m_separator)
            continue;
        // Without a separator that finds both, the one that found most tells what is missing.
        if (const PriceColumns tried = columnsFor(other); found(tried) > found(*columns)) {
            *columns = tried;
            if (tried.usable())
                return other;
        }
    }
    return m_separator;
}

PriceListLoad PriceListReader::readCsv(const QString& fullPath, const QString& fileName) {
    PriceListLoad notUsed;
    notUsed.notUsed = whyNotAPlainFile(fullPath);
    if (!notUsed.notUsed.isEmpty())
        return notUsed;
    QFile file(fullPath);
    if (!file.open(QIODevice::ReadOnly))
        return cannotRead("open", fullPath, file.errorString());
    CsvLines lines(file, m_cancel);
    const auto ended = [&] {
        if (lines.cancelled())
            return problem(PriceListLoad::Problem::Cancelled, QStringLiteral("The reading was cancelled."));
        if (lines.failed())
            return cannotRead("read", fullPath, file.errorString());
        notUsed.longLines = lines.longLines();
        return notUsed;
    };
    QStringView line;
    if (!lines.next(&line)) {
        notUsed.notUsed = QStringLiteral("the file is empty");
        return ended();
    }
    if (lines.longLines() > 0) {
        notUsed.notUsed = QStringLiteral("its title line is longer than %1 characters").arg(kMaxCsvLineChars);
        return ended();
    }
    const QString title = TrimView(line).toString();
    if (!lines.next(&line)) {
        notUsed.notUsed = QStringLiteral("no line below the title row");
        return ended();
    }
    PriceColumns columns;
    const QChar separator = titleSeparator(title, &columns);
    if (!columns.usable()) {
        notUsed.notUsed = missingColumns(columns);
        return notUsed;
    }

    m_table.reserveMore(qsizetype(lines.linesPerByte() * double(file.size()) * 1.02) + 16);
    const qsizetype before = m_table.Count();
    RowSink sink(m_table, m_locale, columns, fileName);
    CsvSplitter splitter(separator);
    const int fieldsNeeded = std::max({columns.brand, columns.reference, columns.price}) + 1;
    const auto field = [](const std::vector<QStringView>& fields, int column) {
        return column >= 0 && size_t(column) < fields.size() ? fields[size_t(column)] : QStringView();
    };
    do {
        const auto& fields = splitter.split(TrimView(line), fieldsNeeded);
        sink.add(field(fields, columns.brand), field(fields, columns.reference), field(fields, columns.price));
        if (m_table.Count() - before > kMaxRecordsPerFile)
            return problem(PriceListLoad::Problem::OverBound,
                           QStringLiteral("The file holds more than %1 price lines.").arg(kMaxRecordsPerFile));
    } while (lines.next(&line));
    PriceListLoad load = ended();
    load.used = load.problem != PriceListLoad::Problem::Cancelled;
    return load;
}

PriceListLoad PriceListReader::readSheet(const QString& fullPath, const QString& fileName) {
    PriceListLoad load;
    load.notUsed = whyNotAPlainFile(fullPath);
    if (!load.notUsed.isEmpty())
        return load;
    PriceColumns columns;
    std::optional<RowSink> sink;
    bool dataRows = false;
    const QChar decimalPoint = m_locale.decimalPoint().at(0);
    QString price;
    const auto cell = [](const QStringList& cells, int column) {
        return column >= 0 && column < cells.size() ? TrimView(cells.at(column)) : QStringView();
    };
    const auto onRow = [&](int row, const QStringList& cells) {
        if (row == 1) {
            columns = RecognizeColumns(cells, m_names, true);
            if (columns.usable())
                sink.emplace(m_table, m_locale, columns, fileName);
            return columns.usable();
        }
        // Rows come after the title only; a reader that gave one before would end here.
        if (!sink)
            return false;
        dataRows = true;
        price = SheetPriceText(cell(cells, columns.price), decimalPoint);
        sink->add(cell(cells, columns.brand), cell(cells, columns.reference), price);
        return true;
    };
    SheetReader::Options options;
    options.cancel = m_cancel;
    const SheetReader::Result result = SheetReader::read(fullPath, onRow, m_locale, options);
    switch (result.status) {
    case SheetReader::Status::Unavailable:
        load.notUsed = QStringLiteral("reading .xlsb files needs LibreOffice, which is not installed");
        return load;
    case SheetReader::Status::Cancelled:
        return problem(PriceListLoad::Problem::Cancelled, result.error);
    case SheetReader::Status::OverBound:
        return problem(PriceListLoad::Problem::OverBound, result.error);
    case SheetReader::Status::Failed:
        // Rows read before the fault stay, and the file counts once its titles were recognised.
        load = problem(PriceListLoad::Problem::Unreadable, result.error);
        load.used = columns.usable();
        return load;
    case SheetReader::Status::Read:
        break;
    }
    load.used = columns.usable() && (dataRows || result.rows > 1);
    if (!columns.usable())
        load.notUsed = missingColumns(columns);
    else if (!load.used)
        load.notUsed = QStringLiteral("no row below the title row");
    return load;
}
