#include "pricing/gridrows.h"

#include "service/textfunctions.h"

bool mayDeleteGridRow(int rowCount, int currentRow, const QString& testCell) {
    return rowCount > 2 && currentRow > 0 && currentRow < rowCount && !IsBlank(testCell);
}

QString ExportFileName(const QString& gridName, const QString& stamp, int attempt) {
    QString name = QStringLiteral("Velmora-") + gridName + QLatin1Char('-') + stamp;
    if (attempt > 1)
        name += QLatin1Char('-') + QString::number(attempt);
    return name + QStringLiteral(".xlsx");
}
