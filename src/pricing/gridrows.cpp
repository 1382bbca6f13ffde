#include "pricing/gridrows.h"

#include "service/textfunctions.h"

bool mayDeleteGridRow(int rowCount, int currentRow, const QString& testCell) {
    return rowCount > 2 && currentRow > 0 && currentRow < rowCount && !IsBlank(testCell);
}

QString ExportFileName(const QString& contents, const QString& stamp, int attempt) {
    QString name = contents + QLatin1Char(' ') + stamp;
    if (attempt > 1)
        name += QStringLiteral(" (%1)").arg(attempt);
    return name + QStringLiteral(".xlsx");
}
