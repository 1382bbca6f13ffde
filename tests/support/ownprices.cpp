#include "support/ownprices.h"

QList<TVarItemData> findOwnPrices(const OwnPriceTable& table, const QString& key, const QString& brand) {
    std::vector<OwnPriceMatch> matches;
    FindOwnPrices(table, key, brand, matches);
    QList<TVarItemData> rows;
    for (const OwnPriceMatch& m : matches)
        rows.append(TVarItemData{m.brand.toString(), m.reference.toString(), m.freereference.toString(),
                                 m.price.toString(), m.pathfile.toString()});
    return rows;
}
