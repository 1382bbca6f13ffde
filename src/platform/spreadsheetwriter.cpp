#include "platform/spreadsheetwriter.h"

#include "platform/replacingfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
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
    // The cell (row, column) for a column below the row's size.
    std::function<CellView(qsizetype, qsizetype)> cell;
};

// A workbook being made: in a folder of our own (mode 0700), and only at the end copied to its
// place, so nothing on the way writes to a name another user could have planted. Rows go out in
// order, sheet by sheet or interleaved, straight to disk; the columns get their widths at the end.
class Draft {
public:
    ~Draft() {
        if (m_workbook)
            workbook_close(m_workbook);
    }

    bool open(const QString& path, ReplacingFile::Existing existing) {
        if (!m_work.isValid())
            return fail(QStringLiteral("Could not create a temporary folder"));
        const QFileInfo target(path);
        if (existing == ReplacingFile::Existing::Refuse && (target.exists() || target.isSymLink()))
            return fail(QStringLiteral("The file \"%1\" exists already").arg(path));
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        const QByteArray fileName = QFile::encodeName(draftPath());
        const QByteArray tmpdir = QFile::encodeName(m_work.path());
        options.tmpdir = const_cast<char*>(tmpdir.constData());
        m_workbook = workbook_new_opt(fileName.constData(), &options);
        if (!m_workbook)
            return fail(QStringLiteral("Could not create the workbook"));
        m_title = workbook_add_format(m_workbook);
        format_set_bold(m_title);
        format_set_border(m_title, LXW_BORDER_MEDIUM);
        format_set_num_format(m_title, "@");
        m_body = workbook_add_format(m_workbook);
        format_set_border(m_body, LXW_BORDER_THIN);
        format_set_num_format(m_body, "@");
        m_cells.emplace(m_workbook, m_body);
        return true;
    }

    // A sheet `columns` wide: shorter rows are filled with blank cells.
    bool addSheet(const QString& name, qsizetype columns) {
        if (columns > LXW_COL_MAX)
            return fail(QStringLiteral("Too many rows or columns for a worksheet"));
        const QByteArray utf8 = name.toUtf8();
        lxw_worksheet* sheet = workbook_add_worksheet(m_workbook, utf8.isEmpty() ? nullptr : utf8.constData());
        if (!sheet)
            return fail(QStringLiteral("Could not add the worksheet \"%1\"").arg(name));
        m_sheets.push_back({sheet, std::vector<double>(std::size_t(columns), 0.0), 0});
        return true;
    }

    // The next row of sheet `n`: `size` cells given by `cell`, titles bold.
    template <class CellOf> bool writeRow(std::size_t n, qsizetype size, bool isTitle, CellOf cell) {
        if (m_status != LXW_NO_ERROR)
            return false;
        Sheet& sheet = m_sheets[n];
        if (sheet.rows >= qsizetype(LXW_ROW_MAX))
            return fail(QStringLiteral("Too many rows or columns for a worksheet"));
        const auto row = lxw_row_t(sheet.rows++);
        lxw_format* format = isTitle ? m_title : m_body;
        // AutoFit's measure: characters of the longest line, a little more for bold titles.
        const double factor = isTitle ? 1.1 : 1.0;
        const qsizetype columns = qsizetype(sheet.widths.size());
        for (qsizetype c = 0; c < columns && m_status == LXW_NO_ERROR; ++c) {
            if (c < size) {
                const CellView view = cell(c);
                double& width = sheet.widths[std::size_t(c)];
                width = std::max(width, double(longestLine(*view.text)) * factor);
                m_status = m_cells->write(sheet.sheet, row, lxw_col_t(c), view, format);
            } else {
                m_status = m_cells->write(sheet.sheet, row, lxw_col_t(c), QString(), format);
            }
        }
        return m_status == LXW_NO_ERROR;
    }

    // Closes the workbook and puts it at `path`.
    bool place(const QString& path, ReplacingFile::Existing existing) {
        for (const Sheet& sheet : m_sheets)
            for (std::size_t c = 0; c < sheet.widths.size() && m_status == LXW_NO_ERROR; ++c)
                if (sheet.widths[c] > 0)
                    m_status = worksheet_set_column(sheet.sheet, lxw_col_t(c), lxw_col_t(c),
                                                    std::min(kMaxColumnWidth, sheet.widths[c] + 1.5), nullptr);
        const lxw_error closed = workbook_close(std::exchange(m_workbook, nullptr));
        if (m_status != LXW_NO_ERROR)
            return fail(QString::fromUtf8(lxw_strerror(m_status)));
        if (closed != LXW_NO_ERROR)
            return fail(QString::fromUtf8(lxw_strerror(closed)));
        QString why;
        if (!copyIntoFreshFile(draftPath(), path, existing, &why))
            return fail(why);
        return true;
    }

    bool fail(const QString& why) {
        if (m_error.isEmpty())
            m_error = why;
        return false;
    }
    const QString& error() const { return m_error; }

private:
    struct Sheet {
        lxw_worksheet* sheet;
        std::vector<double> widths;
        qsizetype rows;
    };
    QString draftPath() const { return m_work.filePath(QStringLiteral("workbook.xlsx")); }

    QTemporaryDir m_work;
    lxw_workbook* m_workbook = nullptr;
    lxw_format* m_title = nullptr;
    lxw_format* m_body = nullptr;
    std::optional<CellFormats> m_cells;
    std::vector<Sheet> m_sheets;
    lxw_error m_status = LXW_NO_ERROR;
    QString m_error;
};

bool writeCellSheets(const QString& path, const QList<SheetInput>& sheets, QString* error,
                     ReplacingFile::Existing existing = ReplacingFile::Existing::Refuse) {
    Draft draft;
    const auto done = [&](bool ok) {
        if (!ok && error)
            *error = draft.error();
        return ok;
    };
    // A table too large for a worksheet is refused before anything is written.
    std::vector<qsizetype> columns;
    for (const SheetInput& each : sheets) {
        qsizetype widest = 0;
        for (qsizetype r = 0; r < each.rows; ++r)
            widest = std::max(widest, each.rowSize(r));
        if (each.rows > LXW_ROW_MAX || widest > LXW_COL_MAX)
            return done(draft.fail(QStringLiteral("Too many rows or columns for a worksheet")));
        columns.push_back(widest);
    }
    if (!draft.open(path, existing))
        return done(false);
    for (std::size_t n = 0; n < std::size_t(sheets.size()); ++n) {
        const SheetInput& each = sheets[qsizetype(n)];
        if (!draft.addSheet(each.name, columns[n]))
            return done(false);
        for (qsizetype r = 0; r < each.rows; ++r)
            if (!draft.writeRow(n, each.rowSize(r), r < each.titleRows, [&](qsizetype c) { return each.cell(r, c); }))
                return done(false);
    }
    return done(draft.place(path, existing));
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

// Which columns hold amounts, by the titles of the title rows.
std::vector<bool> amountColumns(const QList<QStringList>& titleRows) {
    std::vector<bool> amounts;
    for (const QStringList& titles : titleRows) {
        amounts.resize(std::max(amounts.size(), std::size_t(titles.size())), false);
        for (qsizetype c = 0; c < titles.size(); ++c)
            amounts[std::size_t(c)] = amounts[std::size_t(c)] || isAmountTitle(titles[c]);
    }
    return amounts;
}

// Plain numbers of amount columns become number cells; everything else (titles included, with
// no columns given) stays text.
CellView typedCell(const QString& text, const std::vector<bool>& amounts, qsizetype column) {
    CellView cell{&text, std::nullopt, nullptr};
    if (std::size_t(column) >= amounts.size() || !amounts[std::size_t(column)])
        return cell;
    if (const std::optional<CellNumber> number = readNumber(text)) {
        cell.number = number->value;
        cell.numberFormat = &decimalsFormat(number->decimals);
    }
    return cell;
}

SheetInput typedSheet(const Sheet& sheet) {
    const QList<QStringList>& rows = sheet.rows;
    const int titleRows = sheet.titleRows;
    auto amounts = std::make_shared<std::vector<bool>>(amountColumns(rows.mid(0, std::max(0, titleRows))));
    SheetInput input{sheet.name, titleRows, rows.size(), [&rows](qsizetype r) { return rows[r].size(); }, {}};
    input.cell = [&rows, titleRows, amounts](qsizetype r, qsizetype c) {
        return r < titleRows ? typedCell(rows[r][c], {}, c) : typedCell(rows[r][c], *amounts, c);
    };
    return input;
}

SheetInput cellSheet(const QList<QList<Cell>>& rows, int titleRows) {
    return {QString(), titleRows, rows.size(), [&rows](qsizetype r) { return rows[r].size(); },
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

struct SheetStream::State {
    QString path;
    // Set before the thread starts, then only read (by both threads: never through a detaching call).
    QList<QStringList> titles;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::pair<int, QList<QStringList>>> queue;
    bool finishing = false;
    bool abandon = false;
    // The worker's answer once it has placed the workbook, or failed.
    std::optional<QString> outcome;

    void run(const QStringList& names) {
        std::vector<std::vector<bool>> amounts;
        for (const QStringList& row : std::as_const(titles))
            amounts.push_back(amountColumns({row}));
        Draft draft;
        bool ok = draft.open(path, ReplacingFile::Existing::Replace);
        for (qsizetype n = 0; ok && n < titles.size(); ++n) {
            const QStringList& row = titles.at(n);
            ok = draft.addSheet(names.value(n), row.size()) &&
                 draft.writeRow(std::size_t(n), row.size(), true,
                                [&row](qsizetype c) { return typedCell(row[c], {}, c); });
        }
        for (;;) {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return finishing || abandon || !queue.empty(); });
            if (abandon)
                return;
            if (queue.empty())
                break;
            auto [sheet, rows] = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            const std::vector<bool>& amount = amounts[std::size_t(sheet)];
            for (const QStringList& row : rows) {
                if (!ok)
                    break;
                ok = draft.writeRow(std::size_t(sheet), row.size(), false,
                                    [&](qsizetype c) { return typedCell(row[c], amount, c); });
            }
        }
        // Each sheet ends with the grid's empty last row.
        for (std::size_t n = 0; ok && n < std::size_t(titles.size()); ++n)
            ok = draft.writeRow(n, 0, false, [](qsizetype) { return CellView{}; });
        ok = ok && draft.place(path, ReplacingFile::Existing::Replace);
        std::lock_guard lock(mutex);
        outcome = ok ? QString() : draft.error();
        wake.notify_all();
    }
};

SheetStream::SheetStream(const QString& path, const QList<QStringList>& titles, const QStringList& names)
    : m_state(std::make_shared<State>()) {
    m_state->path = path;
    m_state->titles = titles;
    m_thread = std::thread([state = m_state, names] { state->run(names); });
}

SheetStream::~SheetStream() {
    {
        std::lock_guard lock(m_state->mutex);
        if (!m_state->finishing)
            m_state->abandon = true;
    }
    m_state->wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void SheetStream::append(int sheet, const QList<QStringList>& rows) {
    if (sheet < 0 || sheet >= m_state->titles.size() || rows.isEmpty())
        return;
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->finishing || m_state->abandon)
            return;
        m_state->queue.emplace_back(sheet, rows);
    }
    m_state->wake.notify_all();
}

bool SheetStream::finish(QString* error) {
    std::unique_lock lock(m_state->mutex);
    m_state->finishing = true;
    m_state->wake.notify_all();
    m_state->wake.wait(lock, [this] { return m_state->outcome.has_value(); });
    if (error)
        *error = *m_state->outcome;
    return m_state->outcome->isEmpty();
}

} // namespace SpreadsheetWriter
