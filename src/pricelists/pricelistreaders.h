#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <atomic>
#include <climits>
#include <vector>

class OwnPriceTable;

// The three boxes of possible column names, each name between "[" and "]".
struct PriceColumnNames {
    QString brand;
    QString reference;
    QString price;
};

// Zero-based columns of a title row; -1 where none was recognised.
struct PriceColumns {
    int brand = -1;
    int reference = -1;
    int price = -1;
    bool usable() const { return reference >= 0 && price >= 0; }
};

// A title matches a box when "[" + title + "]" occurs in it, both lower-cased and trimmed; a
// title named in several boxes counts for the first of brand, reference, price, and the last
// matching title wins. Empty titles match only where `emptyTitlesMatch` (a box holding "[]").
PriceColumns RecognizeColumns(const QStringList& titles, const PriceColumnNames& names, bool emptyTitlesMatch);

// The brand of every line of a file without a brand column: the name without its extension, or
// the text between its first "[" and the next "]" when it holds both.
QString FileNameBrand(const QString& fileName);

// Splits CSV lines the way price lists are read: trailing ";" stripped, then split at every
// separator; a field that begins with a double quote runs to its closing quote ("" for one
// quote, separators inside are text). The views stay valid until the next split.
class CsvSplitter {
public:
    explicit CsvSplitter(QChar separator) : m_separator(separator.unicode()) {}
    const std::vector<QStringView>& split(QStringView line, int maxFields = INT_MAX);

private:
    char16_t m_separator;
    std::vector<QStringView> m_fields;
    std::vector<char16_t> m_unquoted;
};

QStringList SplitCsvLine(QStringView line, QChar separator);

// The outcome of reading one price list file.
struct PriceListLoad {
    enum class Problem {
        None,
        // A CSV file that exists could not be read: the regeneration ends with `error`.
        CannotRead,
        // A spreadsheet could not be read: the user is told, the regeneration goes on.
        Unreadable,
        // The file passed a bound (`error` says which); it adds no rows.
        OverBound,
        // The reading was cancelled; the file adds no rows.
        Cancelled,
    };
    // The title row named a reference and a price column.
    bool used = false;
    Problem problem = Problem::None;
    QString error;
    // Why a file that gave no problem is not used ("no price column ...").
    QString notUsed;
    // Rows added to the table.
    qsizetype records = 0;
    // CSV lines longer than kMaxCsvLineChars, skipped.
    qsizetype longLines = 0;
};

// A CSV line longer than this is no price list line: it is skipped and counted.
constexpr qsizetype kMaxCsvLineChars = qsizetype(1) << 20;
// Far above any supplier's list (a large one has a million lines): a file with more is refused.
constexpr qsizetype kMaxRecordsPerFile = qsizetype(16) << 20;

// The decimals of a price read from a spreadsheet: a plain number as the reader writes it shows at
// least two ("92.4" -> "92.40", "7" -> "7.00", "12.345" stays); any other text stays as it is.
QString SheetPriceText(QStringView text, QChar decimalPoint);

// Reads price list files into the table under the column names of the moment. A CSV title row is
// split at `separator` (the locale's list separator) first; when that does not give a reference
// and a price column, at ";", "," and tab in turn, and the first that gives both is kept.
class PriceListReader {
public:
    PriceListReader(OwnPriceTable& table, const PriceColumnNames& names, QChar separator,
                    const QLocale& locale = QLocale::system(), const std::atomic<bool>* cancel = nullptr);

    PriceListLoad LoadCsvPriceList(const QString& fullPath, const QString& fileName);
    PriceListLoad LoadSheetPriceList(const QString& fullPath, const QString& fileName);

private:
    PriceListLoad readCsv(const QString& fullPath, const QString& fileName);
    PriceListLoad readSheet(const QString& fullPath, const QString& fileName);
    // The separator whose split of the title row finds a reference and a price column.
    QChar titleSeparator(QStringView title, PriceColumns* columns) const;

    OwnPriceTable& m_table;
    PriceColumnNames m_names;
    QChar m_separator;
    QLocale m_locale;
    const std::atomic<bool>* m_cancel;
};
