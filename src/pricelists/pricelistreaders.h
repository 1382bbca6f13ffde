#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

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
    };
    // The title row named a reference and a price column.
    bool used = false;
    Problem problem = Problem::None;
    QString error;
};

// Reads price list files into the table under the column names of the moment.
class PriceListReader {
public:
    PriceListReader(OwnPriceTable& table, const PriceColumnNames& names, QChar separator,
                    const QLocale& locale = QLocale::system());

    PriceListLoad LoadCsvPriceList(const QString& fullPath, const QString& fileName);
    PriceListLoad LoadSheetPriceList(const QString& fullPath, const QString& fileName);

private:
    OwnPriceTable& m_table;
    PriceColumnNames m_names;
    QChar m_separator;
    QLocale m_locale;
};
