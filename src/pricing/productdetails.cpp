#include "pricing/productdetails.h"

#include "catalog/producttable.h"
#include "platform/textfile.h"
#include "service/textfunctions.h"

#include <QSet>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kSixSpaces = QStringLiteral("      ");

QStringList cachedSection(const QString& title, const QString& cache) {
    if (IsBlank(cache))
        return {};
    QStringList lines{QString::fromLatin1(kInfoSeparator), title, kSixSpaces};
    lines << TextFile::splitLines(cache);
    return lines;
}

} // namespace

QStringList productDetailLines(const ProductRecord& product) {
    QStringList lines{QStringLiteral("Brand: ") + product.brand, QStringLiteral("Reference: ") + product.reference,
                      QStringLiteral("Name: ") + product.name, QStringLiteral("Status: ") + product.status};
    const bool hasCriteries = !IsBlank(product.criteries);
    const bool hasTerms = !IsBlank(product.termsofuse);
    if (hasCriteries || hasTerms)
        lines << QString::fromLatin1(kInfoSeparator);
    if (hasCriteries)
        lines << QStringLiteral("Criteries: ") + product.criteries;
    if (hasTerms)
        lines << kSixSpaces << QStringLiteral("Terms Of use: ") + product.termsofuse;
    return lines;
}

QString groupCrossReferences(const QList<TCrossRefRec>& records) {
    QStringList brands;
    QList<QStringList> numbers;
    for (const TCrossRefRec& record : records) {
        qsizetype index = -1;
        for (qsizetype i = 0; i < brands.size(); ++i) {
            if (brands[i].compare(record.brand, Qt::CaseInsensitive) == 0) {
                index = i;
                break;
            }
        }
        if (index < 0) {
            index = brands.size();
            brands << record.brand;
            numbers << QStringList();
        }
        numbers[index] << record.displaynr;
    }
    QStringList lines;
    for (qsizetype i = 0; i < brands.size(); ++i)
        lines << brands[i] + QStringLiteral(" : ") + numbers[i].join(QStringLiteral(", "));
    return Trim(lines.join(kCrLf));
}

QString distinctApplicability(const QList<TTypeRec>& records) {
    QStringList lines;
    QSet<QString> seen;
    for (const TTypeRec& record : records) {
        const QString line = record.fullnametypecar + QStringLiteral(" [") + record.pconstart + QStringLiteral(" - ") +
                             record.pconend + "]";
        const QString key = line.toCaseFolded();
        if (seen.contains(key))
            continue;
        seen.insert(key);
        lines << line;
    }
    return Trim(lines.join(kCrLf));
}

QStringList crossReferenceSection(const QString& crossreference) {
    return cachedSection(QStringLiteral("Cross-reference numbers: "), crossreference);
}

QStringList applicabilitySection(const QString& aplicability) {
    return cachedSection(QStringLiteral("Aplicability (there are limitation for show first 2000 types of cars): "),
                         aplicability);
}

void PictureCursor::reset(int count) {
    m_count = count > 0 ? count : 0;
    m_shown = 1;
}

int PictureCursor::next() {
    if (!canBrowse())
        return m_shown;
    if (m_shown == m_count)
        m_shown = 1;
    else if (m_shown < m_count)
        ++m_shown;
    return m_shown;
}

int PictureCursor::previous() {
    if (!canBrowse())
        return m_shown;
    if (m_shown >= 2)
        --m_shown;
    else if (m_shown == 1)
        m_shown = m_count;
    return m_shown;
}
