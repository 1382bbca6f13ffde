#include "pricing/pricelines.h"

PriceLines::PriceLines(QObject* parent)
    : GridRows({QStringLiteral("brand"), QStringLiteral("reference"), QStringLiteral("name")}, parent) {
    setEditableColumns({2});
}

void PriceLines::appendLine(const PriceLine& line) {
    appendRows({{line.brand, line.reference, line.name}});
}

QList<PriceLine> PriceLines::snapshot() const {
    QList<PriceLine> lines;
    lines.reserve(count());
    for (int r = 0; r < count(); ++r)
        lines << PriceLine{text(r, 0), text(r, 1), text(r, 2)};
    return lines;
}
