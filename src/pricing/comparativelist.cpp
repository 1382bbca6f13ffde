#include "pricing/comparativelist.h"

#include "catalog/producttable.h"
#include "platform/dialogs.h"
#include "platform/widgets.h"
#include "pricing/gridrows.h"
#include "pricing/pricelines.h"
#include "pricing/tablegrid.h"
#include "service/appcontext.h"
#include "service/textfunctions.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>

ComparativeList::ComparativeList(AppContext& context, const ProductTable& products, QWidget* parent)
    : QObject(parent), m_context(context), m_products(products) {
    buildUi(parent);
}

void ComparativeList::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    auto* layout = new QHBoxLayout(m_widget);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QVBoxLayout;
    m_SpeedButton33 = makeButton(QStringLiteral("SpeedButton33"), QStringLiteral("XLS"));
    m_SpeedButton33->setToolTip(QStringLiteral("Export to MS Excel"));
    m_SpeedButton32 = makeButton(QStringLiteral("SpeedButton32"), QStringLiteral("START"));
    m_SpeedButton32->setToolTip(QStringLiteral("START PROCESSING OF PRICES"));
    m_SpeedButton41 = makeButton(QStringLiteral("SpeedButton41"), QStringLiteral("DEL"));
    m_SpeedButton41->setToolTip(QStringLiteral("Delete selected line"));
    m_SpeedButton38 = makeButton(QStringLiteral("SpeedButton38"), QStringLiteral("CLR"));
    m_SpeedButton38->setToolTip(QStringLiteral("Clean full list"));
    for (QToolButton* button : {m_SpeedButton33, m_SpeedButton32, m_SpeedButton41, m_SpeedButton38})
        bar->addWidget(button);
    bar->addStretch(1);
    layout->addLayout(bar);
    m_lines = new PriceLines(this);
    m_StringGrid1 = new TableGrid(QStringLiteral("StringGrid1"), m_lines, {75, 100, 300});
    m_StringGrid1->setSelectableColumns({2});
    layout->addWidget(m_StringGrid1, 1);

    connect(m_SpeedButton33, &QToolButton::clicked, this, &ComparativeList::SpeedButton33Click);
    connect(m_SpeedButton32, &QToolButton::clicked, this, &ComparativeList::startButtonClicked);
    connect(m_SpeedButton41, &QToolButton::clicked, this, &ComparativeList::SpeedButton41Click);
    connect(new KeyWatcher(m_StringGrid1, Qt::Key_Delete), &KeyWatcher::pressed, this,
            &ComparativeList::SpeedButton41Click);
    connect(m_SpeedButton38, &QToolButton::clicked, this, &ComparativeList::SpeedButton38Click);
}

QList<PriceLine> ComparativeList::lines() const {
    return m_lines->snapshot();
}

void ComparativeList::addProduct(int artid) {
    if (artid <= 0)
        return;
    emit listTabRequested();
    const std::optional<ProductRecord> product = m_products.find(artid);
    if (!product)
        return;
    m_lines->appendLine({product->brand, product->reference, product->name});
}

bool ComparativeList::StringGrid1SelectCell(int column, int row) const {
    return m_StringGrid1->canSelectCell(row, column);
}

void ComparativeList::SpeedButton41Click() {
    const int row = m_StringGrid1->currentRow();
    if (!mayDeleteGridRow(m_StringGrid1->rowCount(), row, m_StringGrid1->cell(row, 1)))
        return;
    if (m_context.dialogs->confirm(QStringLiteral("Delete selected line ???")))
        DeleteGridRow(m_StringGrid1, row);
}

void ComparativeList::SpeedButton38Click() {
    if (m_context.dialogs->confirm(QStringLiteral("Clean full list ???")))
        m_StringGrid1->clearRows();
}

// A run starts only from a product line whose reference is filled in.
void ComparativeList::startButtonClicked() {
    const int row = m_StringGrid1->currentRow();
    if (m_StringGrid1->rowCount() == 2 || row < 1 || IsBlank(m_StringGrid1->cell(row, 1)))
        return;
    emit runRequested();
}

void ComparativeList::SpeedButton33Click() {
    ExportGridToSpreadsheet(m_context, m_StringGrid1, QStringLiteral("Comparative list"));
}
