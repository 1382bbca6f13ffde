#include "catalog/productlist.h"

#include "catalog/producttreemodel.h"
#include "catalog/treeloader.h"
#include "catalog/treetext.h"
#include "platform/apppaths.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/localeformats.h"
#include "platform/textfile.h"
#include "platform/widgets.h"
#include "platform/worker.h"
#include "service/appcontext.h"
#include "service/decoder.h"
#include "service/guard.h"
#include "service/serviceclient.h"
#include "service/textfunctions.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSet>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

const QString ProductList::kListCaption = QStringLiteral("List products");
const QString ProductList::kFilteredListCaption =
    QStringLiteral("List products. YOU WILL SEE ONLY PRODUCTS FOR BRANDS THAT ARE IN YOUR LIST NECESSARY BRANDS !!!");

namespace {
constexpr int kBrandListWidth = 185;
constexpr int kStripHeight = 30;

// Lists this long are filtered and sorted on a worker while the window keeps painting.
constexpr qsizetype kAsideRows = 2000;
// How long typing in the filter box pauses before the list follows it.
constexpr int kFilterPauseMs = 300;
} // namespace

QList<QWidget*> ProductList::nameSearchTabChain() const {
    return {m_ComboBox10};
}

ProductList::ProductList(AppContext& context, ProductTable& products, QWidget* parent)
    : QObject(parent), m_context(context), m_products(products) {
    setObjectName(QStringLiteral("ProductList"));
    buildUi(parent);
}

void ProductList::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_resultsLayout = new QBoxLayout(QBoxLayout::LeftToRight, m_widget);
    m_resultsLayout->setContentsMargins(0, 0, 0, 0);
    m_resultsLayout->setSpacing(2);

    m_brandPanel = new QWidget;
    m_brandPanel->setObjectName(QStringLiteral("Panel21"));
    m_brandPanel->setFixedWidth(kBrandListWidth);
    auto* brands = new QVBoxLayout(m_brandPanel);
    brands->setContentsMargins(0, 0, 0, 0);
    auto* header = new ClickableLabel(QStringLiteral("Label23"), QStringLiteral("List brands"));
    header->setFixedHeight(kStripHeight);
    header->setStyleSheet(QStringLiteral("background: #1f3a5f; color: white; font-weight: bold; padding-left: 6px;"));
    m_Label23 = header;
    m_ListBox1 = new QListWidget;
    m_ListBox1->setObjectName(QStringLiteral("ListBox1"));
    m_SpeedButton20 = makeButton(QStringLiteral("SpeedButton20"), QStringLiteral("Show products all brands"));
    brands->addWidget(m_Label23);
    brands->addWidget(m_ListBox1, 1);
    brands->addWidget(m_SpeedButton20);
    m_resultsLayout->addWidget(m_brandPanel);

    auto* products = new QWidget;
    auto* column = new QVBoxLayout(products);
    column->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    m_SpeedButton51 = makeButton(QStringLiteral("SpeedButton51"), QStringLiteral("TXT"));
    m_SpeedButton51->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_SpeedButton51->setToolTip(QStringLiteral("LOAD IN TXT FILE LIST ALL PRODUCTS (WITHOUT FILTERS)"));
    m_Label25 = new QLabel(kListCaption);
    m_Label25->setObjectName(QStringLiteral("Label25"));
    // The caption gives way to the buttons when the column is narrow.
    m_Label25->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_SpeedButton21 = makeButton(QStringLiteral("SpeedButton21"), QStringLiteral("FullExpand"));
    m_SpeedButton22 = makeButton(QStringLiteral("SpeedButton22"), QStringLiteral("FullCollapse"));
    for (QToolButton* b : {m_SpeedButton21, m_SpeedButton22})
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    makeSwitchPair(m_SpeedButton21, m_SpeedButton22, this);
    bar->addWidget(m_SpeedButton51);
    bar->addWidget(m_Label25, 1);
    bar->addWidget(m_SpeedButton21);
    bar->addWidget(m_SpeedButton22);
    column->addLayout(bar);
    auto* insertHint = new QLabel(
        QStringLiteral("[button \"INS\" or right button mouse] --- add selected product in COMPARATIVE LIST"));
    insertHint->setWordWrap(true);
    column->addWidget(insertHint);
    m_TreeView3 = new QTreeView;
    m_TreeView3->setObjectName(QStringLiteral("TreeView3"));
    m_productModel = new ProductTreeModel(this);
    QFont bold = m_TreeView3->font();
    bold.setBold(true);
    m_productModel->setProductFont(bold);
    m_TreeView3->setModel(m_productModel);
    m_TreeView3->setHeaderHidden(true);
    m_TreeView3->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every line has the same height, which spares the view measuring each of a long list.
    m_TreeView3->setUniformRowHeights(true);
    // Whole lines: the column is as wide as the lines in view and scrolls sideways; a line wider
    // still is cut in its middle, where brand and reference are not, and shows whole as tool tip.
    m_TreeView3->header()->setStretchLastSection(false);
    m_TreeView3->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_TreeView3->header()->setResizeContentsPrecision(0); // the lines in view only
    m_TreeView3->setTextElideMode(Qt::ElideMiddle);
    m_TreeView3->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_TreeView3->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_TreeView3->viewport()->installEventFilter(this);
    m_TreeView3->installEventFilter(this);
    column->addWidget(m_TreeView3, 1);
    m_Edit15 = new QLineEdit;
    m_Edit15->setObjectName(QStringLiteral("Edit15"));
    // A hint, not text: typing into the box must not add to it.
    m_Edit15->setPlaceholderText(QStringLiteral("search in list by any value and text"));
    m_Edit15->setClearButtonEnabled(true);
    m_Edit15->setStyleSheet(QStringLiteral("background: #ffffe1;"));
    m_Edit15->installEventFilter(this);
    // The list narrows as the user types, once the typing pauses.
    m_filterPause = new QTimer(this);
    m_filterPause->setSingleShot(true);
    m_filterPause->setInterval(kFilterPauseMs);
    connect(m_Edit15, &QLineEdit::textEdited, m_filterPause, qOverload<>(&QTimer::start));
    connect(m_filterPause, &QTimer::timeout, this,
            [this] { runGuarded(*m_context.dialogs, [this] { filterAsTyped(); }); });
    column->addWidget(m_Edit15);
    m_resultsLayout->addWidget(products, 1);

    m_nameSearchWidget = new QWidget(parent);
    auto* name = new QVBoxLayout(m_nameSearchWidget);
    name->setContentsMargins(0, 0, 0, 0);
    m_ComboBox10 = new QComboBox;
    m_ComboBox10->setObjectName(QStringLiteral("ComboBox10"));
    makeSearchHistoryBox(m_ComboBox10, QStringLiteral("Name product"));
    watchSearchHistoryBoxKeys(m_ComboBox10, this);
    name->addWidget(m_ComboBox10);

    Dialogs& dialogs = *m_context.dialogs;
    connectGuarded(dialogs, header, &ClickableLabel::clicked, this, &ProductList::Label23Click);
    connectGuarded(dialogs, m_ListBox1, &QListWidget::itemDoubleClicked, this, &ProductList::ListBox1DblClick);
    connectGuarded(dialogs, m_SpeedButton20, &QToolButton::clicked, this, &ProductList::SpeedButton20Click);
    connectGuarded(dialogs, m_SpeedButton21, &QToolButton::clicked, this, &ProductList::SpeedButton21Click);
    connectGuarded(dialogs, m_SpeedButton22, &QToolButton::clicked, this, &ProductList::SpeedButton22Click);
    connectGuarded(dialogs, m_SpeedButton51, &QToolButton::clicked, this, &ProductList::SpeedButton51Click);

    m_ADDINCOMPARELIST = new QAction(QStringLiteral("ADD PRODUCT IN COMPARATIVE LIST"), this);
    m_ADDINCOMPARELIST->setObjectName(QStringLiteral("ADDINCOMPARELIST"));
    m_ADDINCOMPARELIST->setShortcut(QKeySequence(Qt::Key_Insert));
    m_ADDINCOMPARELIST->setShortcutContext(Qt::WidgetShortcut);
    m_TreeView3->addAction(m_ADDINCOMPARELIST);
    m_TreeView3->setContextMenuPolicy(Qt::ActionsContextMenu);
    connectGuarded(dialogs, m_ADDINCOMPARELIST, &QAction::triggered, this, &ProductList::ADDINCOMPARELISTClick);
}

bool ProductList::eventFilter(QObject* watched, QEvent* event) {
    // The tree updates its selection before the release arrives here.
    if (watched == m_TreeView3->viewport() && event->type() == QEvent::MouseButtonRelease)
        TreeView3Click();
    if (watched == m_TreeView3 && event->type() == QEvent::KeyRelease)
        TreeView3KeyUp();
    if (watched == m_Edit15 && event->type() == QEvent::Enter)
        Edit15MouseEnter();
    if (event->type() == QEvent::KeyPress && watched == m_Edit15) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (isEnterKey(key)) {
            m_filterPause->stop();
            runGuarded(*m_context.dialogs, [&] { Edit15KeyPress(key); });
            return true;
        }
    }
    if (isSearchHistoryBoxEnter(m_ComboBox10, watched, event)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        runGuarded(*m_context.dialogs, [&] { ComboBox10KeyPress(key); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

int ProductList::currentNodeData() const {
    return m_productModel->nodeData(m_TreeView3->currentIndex());
}

void ProductList::TreeView3Click() {
    emit productChosen(currentNodeData());
}

void ProductList::TreeView3KeyUp() {
    emit productChosen(currentNodeData());
}

void ProductList::ADDINCOMPARELISTClick() {
    const int id = currentNodeData();
    if (id > 0)
        emit addToListRequested(id);
}

void ProductList::clearViews() {
    m_productModel->clear();
    m_ListBox1->clear();
}

void ProductList::startListing() {
    emit catalogResultsRequested();
    // A long list takes longer to free than to show; a worker frees it once no one holds it.
    ProductRows previous = m_products.rows();
    clearViews();
    m_products.replace({});
    m_listingOrder = {};
    m_filtered = false;
    if (!previous.isEmpty())
        releaseOnWorker(std::move(previous));
    if (m_context.texts->NecessaryBrands.isEmpty())
        m_Label25->setText(kListCaption);
}

template <class Pred> QList<qsizetype> ProductList::tableRows(const ProductRows& rows, Pred passes) {
    QList<qsizetype> chosen;
    chosen.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (rows.at(i).artid > 0 && passes(rows.at(i)))
            chosen.append(i);
    return chosen;
}

void ProductList::ShowProductList(const ProductRows& records) {
    const QString necessaryBrands = m_context.texts->NecessaryBrands;
    bool hidden = false;
    ProductLineOrder order;
    // The brands that pass, each once, in the order they first come.
    QList<const ProductRow*> brands;
    m_products.replace(awaitResultOnWorkerIf(records.size() >= kAsideRows, [&] {
        ProductRows rows = applyNecessaryBrands(records, necessaryBrands, &hidden);
        order = productLineOrder(rows, tableRows(rows, [](const ProductRow&) { return true; }));
        // Brands repeat: their bytes are looked up before any text is made of them.
        QSet<QByteArrayView> seenBytes;
        QSet<QString> seen;
        for (const ProductRow& record : records) {
            if (seenBytes.contains(record.brand.bytes()))
                continue;
            seenBytes.insert(record.brand.bytes());
            const QString brand = record.brand.toString();
            if (seen.contains(brand))
                continue;
            seen.insert(brand);
            if (passesNecessaryBrands(brand, necessaryBrands))
                brands.append(&record);
        }
        return rows;
    }));
    if (hidden && m_Label25->text() == kListCaption)
        m_Label25->setText(kFilteredListCaption);

    QSet<QString> listed;
    for (int i = 0; i < m_ListBox1->count(); ++i)
        listed.insert(m_ListBox1->item(i)->text().toCaseFolded());
    for (const ProductRow* record : brands) {
        const QString brand = record->brand.toString();
        const QString folded = brand.toCaseFolded();
        if (listed.contains(folded))
            continue;
        listed.insert(folded);
        const int at = insertSorted(m_ListBox1, brand);
        m_ListBox1->item(at)->setData(Qt::UserRole, record->braid);
    }
    m_listingOrder = std::move(order);
    showTree(m_listingOrder);
}

void ProductList::BuildProductTree(const QList<qsizetype>& rows) {
    // The listing's whole order, found the first time a choice needs it: a long one on a worker,
    // over its own copy, while the tree goes on finding the lines it paints.
    if (!m_listingOrder.isWhole()) {
        const ProductLineOrder aside = m_listingOrder.detached();
        m_listingOrder = awaitResultOnWorkerIf(aside.size() >= kAsideRows, [&aside] { return aside.toList(); });
    }
    std::vector<bool> chosen(std::size_t(m_products.rows().size()));
    for (qsizetype row : rows)
        chosen[std::size_t(row)] = true;
    QList<qsizetype> order;
    order.reserve(rows.size());
    for (qsizetype row : m_listingOrder.toList())
        if (chosen[std::size_t(row)])
            order.append(row);
    showTree(order);
}

void ProductList::showTree(const ProductLineOrder& order) {
    m_productModel->show(m_products.rows(), order);
    if (m_SpeedButton21->isChecked())
        m_TreeView3->expandAll();
}

template <class Rec> void ProductList::listProducts(const QString& function, const QString& request) {
    const QByteArray answer = m_context.service->catalogAnswer(request);
    if (IsBlank(answer))
        return;
    ShowProductList(awaitResultOnWorkerIf(answer.size() >= kLongAnswerBytes, [&] {
        return productsFromAnswer(valueOrEndAction(DecodeAnswer<Rec>(function, answer)));
    }));
}

void ProductList::listCategoryProducts(int strid) {
    startListing();
    const int typid = m_typid;
    QString own;
    if (typid > 0)
        own = QStringLiteral("&typid=%1").arg(typid);
    own += QStringLiteral("&strid=%1").arg(strid);
    const QString function = QStringLiteral("GetListArticlesFromTreeCategory");
    listProducts<TArticleRec>(function, m_context.service->ListRequest(function, own));
}

void ProductList::listTradeGroupProducts(int gaid) {
    startListing();
    const int typid = m_typid;
    const QString own = QStringLiteral("&typid=%1&gaid=%2").arg(typid).arg(gaid);
    const QString function = QStringLiteral("GetListArticlesFromTradeGroup");
    listProducts<TArticleRec>(function, m_context.service->ListRequest(function, own));
}

void ProductList::ComboBox10KeyPress(int key) {
    if (!isEnterKey(key))
        return;
    const QString text = m_ComboBox10->currentText();
    const QString word = Trim(text);
    if (word.size() < 4) {
        m_context.dialogs->information(QStringLiteral("Search word is empty or less 4 symbols !!!"));
        return;
    }
    const int typid = m_typid;
    if (typid <= 0) {
        m_context.dialogs->information(QStringLiteral("Need select car in section \"Selection vehicle\""));
        return;
    }
    emit catalogPageRequested();
    startListing();
    const QString function = QStringLiteral("getSearchArticleByNameForCar");
    const QString keyPiece = QStringLiteral("typid=%1&search=").arg(typid) + PathEncode(text);
    listProducts<TNameSearchRec>(function, m_context.service->KeyRequest(function, keyPiece));
    addToSearchHistory(m_ComboBox10, word);
    // An empty list says no product has the word; when the service did not answer, say that.
    if (m_context.service->lastCatalogExchangeFailed())
        m_context.dialogs->information(QString::fromLatin1(kCatalogNoAnswer));
}

void ProductList::ListBox1DblClick() {
    QListWidgetItem* item = m_ListBox1->currentItem();
    if (m_ListBox1->count() == 0 || !item || !item->isSelected())
        return;
    const int braid = item->data(Qt::UserRole).toInt();
    m_filtered = false;
    BuildProductTree(tableRows(m_products.rows(), [braid](const ProductRow& row) { return row.braid == braid; }));
}

void ProductList::SpeedButton20Click() {
    if (m_ListBox1->count() == 0)
        return;
    BuildProductTree(tableRows(m_products.rows(), [](const ProductRow&) { return true; }));
}

void ProductList::SpeedButton21Click() {
    applySwitch(m_SpeedButton21, m_SpeedButton21, m_TreeView3);
}

void ProductList::SpeedButton22Click() {
    applySwitch(m_SpeedButton22, m_SpeedButton21, m_TreeView3);
}

void ProductList::Label23Click() {
    const bool toStrip = m_resultsLayout->direction() == QBoxLayout::LeftToRight;
    m_ListBox1->setHidden(toStrip);
    m_SpeedButton20->setHidden(toStrip);
    if (toStrip) {
        m_resultsLayout->setDirection(QBoxLayout::TopToBottom);
        m_brandPanel->setMinimumWidth(0);
        m_brandPanel->setMaximumWidth(QWIDGETSIZE_MAX);
        m_brandPanel->setFixedHeight(kStripHeight);
    } else {
        m_resultsLayout->setDirection(QBoxLayout::LeftToRight);
        m_brandPanel->setMinimumHeight(0);
        m_brandPanel->setMaximumHeight(QWIDGETSIZE_MAX);
        m_brandPanel->setFixedWidth(kBrandListWidth);
    }
}

void ProductList::Edit15KeyPress(int key) {
    if (!isEnterKey(key) || m_products.rows().isEmpty())
        return;
    const QString text = m_Edit15->text();
    if (IsBlank(text) || text.size() < 3) {
        m_context.dialogs->information(QStringLiteral("Search word is empty or less 3 symbols !!!"));
        return;
    }
    applyFilter(text);
}

void ProductList::applyFilter(const QString& text) {
    m_productModel->clear();
    const QString lowered = LocaleFormats::toLower(text);
    BuildProductTree(
        tableRows(m_products.rows(), [&lowered](const ProductRow& row) { return productMatchesFilter(row, lowered); }));
    m_filtered = true;
}

void ProductList::filterAsTyped() {
    if (m_products.rows().isEmpty())
        return;
    const QString text = m_Edit15->text();
    if (IsBlank(text)) {
        // The box emptied: the list the filter narrowed comes back whole.
        if (m_filtered) {
            m_filtered = false;
            BuildProductTree(tableRows(m_products.rows(), [](const ProductRow&) { return true; }));
        }
        return;
    }
    // Too short to filter yet; Enter says so, typing goes on quietly.
    if (text.size() >= 3)
        applyFilter(text);
}

void ProductList::Edit15MouseEnter() {
    m_Edit15->selectAll();
    m_Edit15->setFocus();
}

void ProductList::SpeedButton51Click() {
    if (m_productModel->rowCount() == 0)
        return;
    const QString path = m_context.paths->workingFile(QStringLiteral("ListProducts.txt"));
    QString error;
    if (!TextFile::writeAnsiLines(path, productListFileLines(m_products.rows()), &error)) {
        m_context.dialogs->error(error);
        return;
    }
    m_context.desktop->open(path);
}
