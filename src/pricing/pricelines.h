#pragma once

#include "pricing/gridrows.h"

// One product line of the comparative list.
struct PriceLine {
    QString brand;
    QString reference;
    QString name;
    bool operator==(const PriceLine&) const = default;
};

// The comparative list: brand, reference and name; only the name can be edited.
class PriceLines : public GridRows {
    Q_OBJECT
public:
    explicit PriceLines(QObject* parent = nullptr);

    void appendLine(const PriceLine& line);
    // The product lines in the order shown: what a price run takes.
    QList<PriceLine> snapshot() const;
};
