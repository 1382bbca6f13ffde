#pragma once

#include "pricelists/ownpricetable.h"

#include <QList>

// The rows a lookup finds, copied out of the table; for tests that only look at what was found.
QList<TVarItemData> findOwnPrices(const OwnPriceTable& table, const QString& key, const QString& brand);
