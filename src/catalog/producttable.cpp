#include "catalog/producttable.h"

#include <utility>

namespace {
// The bytes of `bytes` with the blanks (characters up to U+0020) at either end cut off.
QByteArrayView trimmedBytes(QByteArrayView bytes) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!bytes.isEmpty() && blank(bytes.front()))
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && blank(bytes.back()))
        bytes.chop(1);
    return bytes;
}

AnswerText textOf(QByteArrayView bytes) {
    return AnswerText(bytes.data(), bytes.size());
}
} // namespace

ProductNameBytes productNameBytes(const ProductRow& row) {
    // Trimming "name addition" as a whole: blanks are single bytes, so cutting the bytes of each
    // part cuts the same characters, and the blank between them stays only between two parts.
    const QByteArrayView name = trimmedBytes(row.name.bytes());
    const QByteArrayView addition = trimmedBytes(row.additionalforname.bytes());
    if (addition.isEmpty())
        return {name, {}};
    if (name.isEmpty())
        return {addition, {}};
    const QByteArrayView full = row.additionalforname.bytes();
    return {row.name.bytes().sliced(name.data() - row.name.bytes().data()),
            full.first(addition.data() + addition.size() - full.data())};
}

void appendProductName(const ProductRow& row, QString& text) {
    const ProductNameBytes name = productNameBytes(row);
    textOf(name.first).appendTo(text);
    if (!name.second.isEmpty()) {
        text.append(QLatin1Char(' '));
        textOf(name.second).appendTo(text);
    }
}

QString productName(const ProductRow& row) {
    QString name;
    appendProductName(row, name);
    return name;
}

ProductRecord productRecord(const ProductRow& row) {
    ProductRecord r;
    r.artid = row.artid;
    r.braid = row.braid;
    r.laid = row.laid;
    r.brand = row.brand.toString();
    r.reference = row.reference.toString();
    r.name = productName(row);
    r.status = row.status.toString();
    r.criteries = row.criteries.toString();
    r.termsofuse = row.termsofuse.toString();
    return r;
}

ProductRows::ProductRows(QList<ProductRow> rows, QByteArray answer) : m_rows(std::move(rows)) {
    if (!answer.isEmpty())
        m_answers.append(std::move(answer));
}

ProductRows::ProductRows(const QList<ProductRecord>& records) {
    // All texts in one buffer, made first, so that nothing moves while rows view it.
    QByteArray bytes;
    QList<QByteArray> texts;
    for (const ProductRecord& r : records)
        for (const QString* t : {&r.brand, &r.reference, &r.name, &r.status, &r.criteries, &r.termsofuse})
            texts.append(t->toUtf8());
    for (const QByteArray& t : texts)
        bytes += t;
    m_answers.append(bytes);
    const char* at = m_answers.constFirst().constData();
    auto next = [&at, &texts, i = qsizetype(0)]() mutable {
        const AnswerText text(at, texts.at(i).size());
        at += texts.at(i++).size();
        return text;
    };
    m_rows.reserve(records.size());
    for (const ProductRecord& r : records) {
        ProductRow row;
        row.artid = r.artid;
        row.braid = r.braid;
        row.laid = r.laid;
        row.brand = next();
        row.reference = next();
        row.name = next();
        row.status = next();
        row.criteries = next();
        row.termsofuse = next();
        m_rows.append(row);
    }
}

ProductRows ProductRows::withRows(QList<ProductRow> rows) const {
    ProductRows other;
    other.m_rows = std::move(rows);
    other.m_answers = m_answers;
    return other;
}

QList<ProductRecord> ProductRows::records() const {
    QList<ProductRecord> made;
    made.reserve(m_rows.size());
    for (const ProductRow& row : m_rows)
        made.append(productRecord(row));
    return made;
}

qsizetype ProductTable::rowOf(int artid) const {
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).artid == artid)
            return i;
    return -1;
}

std::optional<ProductRecord> ProductTable::find(int artid) const {
    const qsizetype i = rowOf(artid);
    if (i < 0)
        return std::nullopt;
    ProductRecord row = productRecord(m_rows.at(i));
    const auto details = m_details.constFind(i);
    if (details != m_details.constEnd()) {
        if (details->crossreference)
            row.crossreference = *details->crossreference;
        if (details->aplicability)
            row.aplicability = *details->aplicability;
    }
    return row;
}

void ProductTable::replace(ProductRows rows) {
    m_rows = std::move(rows);
    m_details.clear();
}

void ProductTable::setDetails(int artid, const ProductDetails& details) {
    const qsizetype i = rowOf(artid);
    if (i < 0)
        return;
    ProductDetails& kept = m_details[i];
    if (details.crossreference)
        kept.crossreference = details.crossreference;
    if (details.aplicability)
        kept.aplicability = details.aplicability;
}
