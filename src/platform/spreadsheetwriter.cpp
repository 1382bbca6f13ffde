#include "platform/spreadsheetwriter.h"

#include "platform/replacingfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace SpreadsheetWriter {

namespace {

constexpr double kMaxColumnWidth = 255;
// A double holds 15 significant digits exactly.
constexpr int kExactDigits = 15;

bool keptInXml(char16_t c) {
    return (c >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r') && c != 0xFFFE && c != 0xFFFF;
}

// XML 1.0 has no place for most control characters; a cell typed or pasted with one would make
// the whole workbook unreadable.
QByteArray cellBytes(const QString& text) {
    if (text.size() <= kMaxCellLength &&
        std::all_of(text.begin(), text.end(), [](QChar c) { return keptInXml(c.unicode()); }))
        return text.toUtf8();
    QString clean;
    clean.reserve(std::min<qsizetype>(text.size(), kMaxCellLength));
    for (const QChar c : text) {
        if (clean.size() >= kMaxCellLength)
            break;
        if (keptInXml(c.unicode()))
            clean += c;
    }
    // A surrogate pair cut in two at the limit would not survive the conversion.
    if (!clean.isEmpty() && clean.back().isHighSurrogate())
        clean.chop(1);
    return clean.toUtf8();
}

qsizetype longestLine(const QString& text) {
    qsizetype longest = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')) {
            longest = std::max(longest, i - start);
            start = i + 1;
        }
    }
    return longest;
}

// Copies `source` into a fresh file at `path`, never through a link: created new, or renamed over
// the name when `existing` says so.
bool copyIntoFreshFile(const QString& source, const QString& path, ReplacingFile::Existing existing, QString* why) {
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly)) {
        *why = from.errorString();
        return false;
    }
    ReplacingFile to(path, AtomicFile::Access::Shared, existing);
    bool written = to.open();
    QByteArray chunk;
    while (written && !(chunk = from.read(1 << 16)).isEmpty())
        written = to.write(chunk.constData(), chunk.size());
    if (written && from.error() != QFileDevice::NoError) {
        *why = from.errorString();
        return false;
    }
    if (!written || !to.commit()) {
        *why = to.errorString();
        return false;
    }
    return true;
}

// A cell as the writer takes it: its text (which also measures the column), and the number it
// holds with the number's format when it is one.
struct CellView {
    const QString* text = nullptr;
    std::optional<double> number;
    const QString* numberFormat = nullptr;
};

class CellFormats {
public:
    CellFormats(lxw_workbook* workbook, lxw_format* body) : m_workbook(workbook), m_body(body) {}
    lxw_error write(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column, const QString& text, lxw_format* format) {
        const QByteArray bytes = cellBytes(text);
        // An empty cell still carries its borders.
        return bytes.isEmpty() ? worksheet_write_blank(sheet, row, column, format)
                               : worksheet_write_string(sheet, row, column, bytes.constData(), format);
    }
    lxw_error write(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column, const CellView& cell, lxw_format* format) {
        if (!cell.number || format != m_body)
            return write(sheet, row, column, *cell.text, format);
        return worksheet_write_number(sheet, row, column, *cell.number, numberFormat(*cell.numberFormat));
    }

private:
    lxw_format* numberFormat(const QString& code) {
        lxw_format*& format = m_numberFormats[code];
        if (!format) {
            format = workbook_add_format(m_workbook);
            format_set_border(format, LXW_BORDER_THIN);
            if (!code.isEmpty())
                format_set_num_format(format, code.toUtf8().constData());
        }
        return format;
    }

    lxw_workbook* m_workbook;
    lxw_format* m_body;
    std::map<QString, lxw_format*> m_numberFormats;
};

// One worksheet as the writer reads it, a cell at a time, so that no typed copy of a large table
// is made first.
struct SheetInput {
    QString name;
    int titleRows = 1;
    qsizetype rows = 0;
    std::function<qsizetype(qsizetype)> rowSize;
    // The text of (row, column), for a column below the row's size, and the cell to write there.
    std::function<const QString&(qsizetype, qsizetype)> text;
    std::function<CellView(qsizetype, qsizetype)> cell;
};

bool writeCellSheets(const QString& path, const QList<SheetInput>& sheets, QString* error,
                     ReplacingFile::Existing existing = ReplacingFile::Existing::Refuse) {
    // The workbook is made in a folder of our own (mode 0700) and only then copied to its
    // place, so nothing on the way writes to a name another user could have planted.
    QTemporaryDir work;
    const QString draft = work.filePath(QStringLiteral("workbook.xlsx"));
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!work.isValid())
        return fail(QStringLiteral("Could not create a temporary folder"));
    const QFileInfo target(path);
    if (existing == ReplacingFile::Existing::Refuse && (target.exists() || target.isSymLink()))
        return fail(QStringLiteral("The file \"%1\" exists already").arg(path));
    std::vector<qsizetype> columnCounts;
    for (const SheetInput& each : sheets) {
        qsizetype columns = 0;
        for (qsizetype r = 0; r < each.rows; ++r)
            columns = std::max(columns, each.rowSize(r));
        if (each.rows > LXW_ROW_MAX || columns > LXW_COL_MAX)
            return fail(QStringLiteral("Too many rows or columns for a worksheet"));
        columnCounts.push_back(columns);
    }

    lxw_workbook_options options{};
    // Rows go out in order, so the sheet can stream to disk instead of living in memory.
    options.constant_memory = LXW_TRUE;
    const QByteArray fileName = QFile::encodeName(draft);
    const QByteArray tmpdir = QFile::encodeName(work.path());
    options.tmpdir = const_cast<char*>(tmpdir.constData());
    lxw_workbook* workbook = workbook_new_opt(fileName.constData(), &options);
    if (!workbook)
        return fail(QStringLiteral("Could not create the workbook"));

    lxw_format* title = workbook_add_format(workbook);
    format_set_bold(title);
    format_set_border(title, LXW_BORDER_MEDIUM);
    format_set_num_format(title, "@");
    lxw_format* body = workbook_add_format(workbook);
    format_set_border(body, LXW_BORDER_THIN);
    format_set_num_format(body, "@");
    CellFormats cells(workbook, body);

    lxw_error status = LXW_NO_ERROR;
    for (std::size_t n = 0; n < std::size_t(sheets.size()) && status == LXW_NO_ERROR; ++n) {
        const SheetInput& each = sheets[qsizetype(n)];
        const qsizetype columns = columnCounts[n];
        // AutoFit's measure: characters of the longest line, a little more for bold titles.
        std::vector<double> widths(std::size_t(columns), 0.0);
        for (qsizetype r = 0; r < each.rows; ++r) {
            const double factor = r < each.titleRows ? 1.1 : 1.0;
            for (qsizetype c = 0; c < each.rowSize(r); ++c)
                widths[std::size_t(c)] =
                    std::max(widths[std::size_t(c)], double(longestLine(each.text(r, c))) * factor);
        }
        const QByteArray name = each.name.toUtf8();
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, name.isEmpty() ? nullptr : name.constData());
        if (!sheet) {
            workbook_close(workbook);
            return fail(QStringLiteral("Could not add the worksheet \"%1\"").arg(each.name));
        }
        for (qsizetype c = 0; c < columns && status == LXW_NO_ERROR; ++c) {
            if (widths[std::size_t(c)] > 0)
                status = worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c),
                                              std::min(kMaxColumnWidth, widths[std::size_t(c)] + 1.5), nullptr);
        }
        const QString blank;
        for (qsizetype r = 0; r < each.rows && status == LXW_NO_ERROR; ++r) {
            lxw_format* format = r < each.titleRows ? title : body;
            const qsizetype size = each.rowSize(r);
            for (qsizetype c = 0; c < columns && status == LXW_NO_ERROR; ++c) {
                status = c < size ? cells.write(sheet, lxw_row_t(r), lxw_col_t(c), each.cell(r, c), format)
                                  : cells.write(sheet, lxw_row_t(r), lxw_col_t(c), blank, format);
            }
        }
    }
    const lxw_error closed = workbook_close(workbook);
    if (status != LXW_NO_ERROR)
        return fail(QString::fromUtf8(lxw_strerror(status)));
    if (closed != LXW_NO_ERROR)
        return fail(QString::fromUtf8(lxw_strerror(closed)));
    QString why;
    if (!copyIntoFreshFile(draft, path, existing, &why))
        return fail(why);
    return true;
}

} // namespace

bool isAmountTitle(const QString& title) {
    static const QStringList words{QStringLiteral("price"), QStringLiteral("quantity"), QStringLiteral("qty"),
                                   QStringLiteral("count"), QStringLiteral("stock"),    QStringLiteral("amount"),
                                   QStringLiteral("sum"),   QStringLiteral("id")};
    const QString t = title.trimmed().toLower();
    for (const QString& word : words) {
        if (t == word)
            return true;
        if (t.endsWith(word)) {
            const QChar before = t.at(t.size() - word.size() - 1);
            if (before == QLatin1Char('-') || before == QLatin1Char('_') || before == QLatin1Char(' '))
                return true;
        }
    }
    return false;
}

std::optional<CellNumber> readNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    const bool negative = i < t.size() && t[i] == QLatin1Char('-');
    if (negative)
        ++i;
    const qsizetype whole = i;
    while (i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'))
        ++i;
    const qsizetype wholeDigits = i - whole;
    // "0123" is a code, not a number; "0" and "0.5" are numbers.
    if (wholeDigits == 0 || (wholeDigits > 1 && t[whole] == QLatin1Char('0')))
        return std::nullopt;
    qsizetype decimals = 0;
    if (i < t.size() && (t[i] == QLatin1Char('.') || t[i] == QLatin1Char(','))) {
        const qsizetype point = i++;
        while (i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'))
            ++i;
        decimals = i - point - 1;
        if (decimals == 0)
            return std::nullopt;
        // Three digits after the separator group thousands as often as they are decimals.
        if (decimals == 3 && !(wholeDigits == 1 && t[whole] == QLatin1Char('0')))
            return std::nullopt;
    }
    if (i != t.size() || wholeDigits + decimals > kExactDigits)
        return std::nullopt;
    QString plain = t;
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = plain.toDouble(&ok); // QString::toDouble reads the C locale's form
    if (!ok)
        return std::nullopt;
    return CellNumber{value, int(decimals)};
}

namespace {

// The format of a number shown with `decimals` decimals: "0", "0.0", "0.00"...
const QString& decimalsFormat(int decimals) {
    static const std::array<QString, kExactDigits + 1> formats = [] {
        std::array<QString, kExactDigits + 1> all;
        for (int d = 0; d <= kExactDigits; ++d)
            all[std::size_t(d)] = d > 0 ? QStringLiteral("0.") + QString(d, QLatin1Char('0')) : QStringLiteral("0");
        return all;
    }();
    return formats[std::size_t(std::clamp(decimals, 0, kExactDigits))];
}

// Plain numbers of amount columns become number cells; everything else stays text.
SheetInput typedSheet(const Sheet& sheet) {
    const QList<QStringList>& rows = sheet.rows;
    const int titleRows = sheet.titleRows;
    auto amounts = std::make_shared<std::vector<bool>>();
    for (qsizetype r = 0; r < std::min<qsizetype>(titleRows, rows.size()); ++r) {
        amounts->resize(std::max(amounts->size(), std::size_t(rows[r].size())), false);
        for (qsizetype c = 0; c < rows[r].size(); ++c)
            (*amounts)[std::size_t(c)] = (*amounts)[std::size_t(c)] || isAmountTitle(rows[r][c]);
    }
    SheetInput input{sheet.name,
                     titleRows,
                     rows.size(),
                     [&rows](qsizetype r) { return rows[r].size(); },
                     [&rows](qsizetype r, qsizetype c) -> const QString& { return rows[r][c]; },
                     {}};
    input.cell = [&rows, titleRows, amounts](qsizetype r, qsizetype c) {
        CellView cell{&rows[r][c], std::nullopt, nullptr};
        if (r < titleRows || std::size_t(c) >= amounts->size() || !(*amounts)[std::size_t(c)])
            return cell;
        if (const std::optional<CellNumber> number = readNumber(*cell.text)) {
            cell.number = number->value;
            cell.numberFormat = &decimalsFormat(number->decimals);
        }
        return cell;
    };
    return input;
}

SheetInput cellSheet(const QList<QList<Cell>>& rows, int titleRows) {
    return {QString(),
            titleRows,
            rows.size(),
            [&rows](qsizetype r) { return rows[r].size(); },
            [&rows](qsizetype r, qsizetype c) -> const QString& { return rows[r][c].text; },
            [&rows](qsizetype r, qsizetype c) {
                const Cell& cell = rows[r][c];
                return CellView{&cell.text, cell.number, &cell.numberFormat};
            }};
}

} // namespace

bool write(const QString& path, const QList<QStringList>& rows, int titleRows, QString* error) {
    return writeSheets(path, {{QString(), rows, titleRows}}, error);
}

bool writeSheets(const QString& path, const QList<Sheet>& sheets, QString* error, ReplacingFile::Existing existing) {
    QList<SheetInput> typed;
    for (const Sheet& each : sheets)
        typed.append(typedSheet(each));
    return writeCellSheets(path, typed, error, existing);
}

bool write(const QString& path, const QList<QList<Cell>>& rows, int titleRows, QString* error) {
    return writeCellSheets(path, {cellSheet(rows, titleRows)}, error);
}

} // namespace SpreadsheetWriter
