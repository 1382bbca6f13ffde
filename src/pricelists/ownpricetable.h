#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// One row of an own price list. Equal brand and file-name texts are shared between rows
// (implicitly shared QStrings), so a reader should hand the same QString to every row of a file.
struct TVarItemData {
    QString brand;         // upper-cased
    QString reference;     // as written, upper-cased
    QString freereference; // NormalizeReference of the reference; the row's key
    QString price;         // as written, never converted
    QString pathfile;      // file name without folder
};

// The own price lists in memory: pairs (key, row), duplicates kept, filled by a regeneration and
// sorted once at its end. Built and read on the window thread only.
class OwnPriceTable {
public:
    void Empty();
    // Appends without keeping order; Sort() must follow before the next lookup.
    void Add(const QString& key, TVarItemData row);
    void Sort();
    qsizetype Count() const { return qsizetype(m_rows.size()); }
    const TVarItemData& row(qsizetype i) const { return m_rows[size_t(i)]; }
    void reserve(qsizetype n) { m_rows.reserve(size_t(n)); }

private:
    friend std::optional<QList<TVarItemData>> FindOwnPrices(const OwnPriceTable&, const QString&, const QString&,
                                                            const std::function<bool()>&);
    // The key is the row's freereference; keeping one text per row saves a string per row.
    std::vector<TVarItemData> m_rows;
};

// The rows whose key equals `key` and whose upper-cased brand equals the upper-cased `brand`
// (no trimming), in table order. `stopRequested` is asked before each pair visited; when it
// answers true the lookup ends and nothing is returned.
std::optional<QList<TVarItemData>> FindOwnPrices(const OwnPriceTable& table, const QString& key, const QString& brand,
                                                 const std::function<bool()>& stopRequested = {});
