#include "app/main.h"

#include "app/settings.h"
#include "app/webservicepanel.h"
#include "app/windowstate.h"
#include "catalog/categorytrees.h"
#include "catalog/crosssearch.h"
#include "catalog/productlist.h"
#include "export/exportpage.h"
#include "export/necessarybrandspanel.h"
#include "platform/dialogs.h"
#include "platform/httpexchange.h"
#include "platform/logview.h"
#include "platform/widgets.h"
#include "pricelists/pricelistspanel.h"
#include "pricing/bestoffersview.h"
#include "pricing/comparativelist.h"
#include "pricing/priceengine.h"
#include "pricing/priceintelligence.h"
#include "pricing/pricerun.h"
#include "pricing/priceservicespanel.h"
#include "pricing/processing.h"
#include "pricing/productinfo.h"
#include "pricing/resulttables.h"
#include "pricing/searchpagespanel.h"
#include "service/serviceclient.h"
#include "update/updatebuttons.h"
#include "vehicle/cascade.h"
#include "vehicle/garage.h"
#include "vehicle/numbersearch.h"
#include "vehicle/selectcar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

const QString TForm1::kCaption = QStringLiteral("VELMORA");

namespace {
constexpr int kLeftColumnWidth = 278;
constexpr int kLogStripHeight = 60;
constexpr int kLowerAreaHeight = 290;
constexpr int kPictureWidth = 160;
constexpr int kNoteMilliseconds = 10000;

// The pages in the order of the page switcher.
const QString kSettingsPage = QStringLiteral("SETTINGS");
const QString kCatalogPage = QStringLiteral("PAGEPRODUCT");
const QString kExportPage = QStringLiteral("EXPORT");
const QStringList kPages = {kSettingsPage, kCatalogPage, kExportPage};

// Tab moves through `widgets` in the given order, right after the first one.
void chainTabOrder(const QList<QWidget*>& widgets) {
    for (qsizetype i = 1; i < widgets.size(); ++i)
        if (widgets.at(i - 1) && widgets.at(i))
            QWidget::setTabOrder(widgets.at(i - 1), widgets.at(i));
}

// The wait cursor of a blocking exchange, whoever makes it.
void showWaitCursor(bool waiting) {
    if (waiting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
} // namespace

TForm1::TForm1(const Seams& seams, QWidget* parent) : QMainWindow(parent), m_seams(seams) {
    setObjectName(QStringLiteral("Form1"));
    m_context.log = &m_log;
    m_context.dialogs = m_seams.dialogs;
    m_context.desktop = m_seams.desktop;
    m_context.paths = &m_seams.paths;
    m_context.endpoints = &m_seams.endpoints;
    m_context.texts = &m_texts;
    m_context.versionText = m_seams.versionText;
    buildUi();
    // The security codes of the three accounts; the log asks for them at every line.
    m_log.setSecretsSource([this] { return m_webService->secrets() + m_priceServices->secrets(); });
}

TForm1::~TForm1() {
    closePriceRun();
    // The panels go before the log: whatever it takes in meanwhile is masked with the codes of now.
    m_log.setSecretsSource([codes = m_webService->secrets() + m_priceServices->secrets()] { return codes; });
    setWindowWaitHook(nullptr);
    // The panels hold references into the context (log, texts, product table, service), which
    // are members and die before QMainWindow deletes its children: every widget goes first.
    delete m_Form2;
    delete takeCentralWidget();
}

void TForm1::buildUi() {
    setWindowTitle(kCaption);
    setMinimumSize(950, 600);
    resize(1094, 682);

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    outer->addLayout(top, 1);

    // The account panel comes first: the service client reads the account from it.
    m_pages = new QStackedWidget(central);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    m_webService = new WebServicePanel(m_context, m_pages);
    m_service = std::make_unique<ServiceClient>(m_seams.endpoints, m_log, *m_seams.dialogs, *m_webService);
    m_context.service = m_service.get();

    top->addWidget(buildLeftColumn());
    top->addWidget(m_pages, 1);
    m_settingsPage = buildSettingsPage();
    m_pages->addWidget(m_settingsPage);
    // The other pages stand in empty until they are first shown.
    m_pages->addWidget(new QWidget);
    m_pages->addWidget(new QWidget);
    outer->addWidget(buildLogStrip());
    setCentralWidget(central);
    showPage(kSettingsPage);
    setWindowWaitHook(showWaitCursor);
    m_service->setFailureHook([this](bool catalog) {
        showNote(catalog ? QStringLiteral("No answer from the catalog service")
                         : QStringLiteral("No answer from the price service"));
    });
    composeVehicle();
    setTabOrders();
    // The price history opens at start-up; its page comes with the catalog page.
    m_priceIntelligence = new PriceIntelligence(m_context, this);

    WindowState::restore(this, m_seams.paths.programFile(QStringLiteral("velmora.ini")));
}

void TForm1::setTabOrders() {
    // Panels built elsewhere and moved in later would otherwise come last: follow the visual order.
    QList<QWidget*> search;
    if (m_catalogPage)
        search = m_crossSearch->searchTabChain() + m_numberSearch->tabChain() + m_productList->nameSearchTabChain();
    chainTabOrder(m_update->tabChain() + m_garage->tabChain() + search + m_cascade->tabChain() +
                  QList<QWidget*>{m_garage->addButton()});
    chainTabOrder(QList<QWidget*>{m_settingsScroll} + m_webService->tabChain());
}

void TForm1::ensureCatalogPage() {
    if (m_catalogPage)
        return;
    m_numberSearch = new NumberSearch(m_context, m_leftColumn);
    m_catalogPage = buildCatalogPage();
    placePage(int(kPages.indexOf(kCatalogPage)), m_catalogPage);
    composeVehicleSearch();
    composeCatalog();
    composePricing();
    setTabOrders();
    Settings::PutHeldValues(this, m_heldSettings);
}

void TForm1::ensureExportPage() {
    if (m_exportPage)
        return;
    m_exportPage = new ExportPage(m_context, m_pages);
    m_exportPageWidget = m_exportPage->widget();
    placePage(int(kPages.indexOf(kExportPage)), m_exportPageWidget);
    Settings::PutHeldValues(this, m_heldSettings);
}

void TForm1::placePage(int index, QWidget* page) {
    QWidget* standIn = m_pages->widget(index);
    m_pages->insertWidget(index, page);
    m_pages->removeWidget(standIn);
    delete standIn;
}

PriceRun& TForm1::priceRun() {
    ensureCatalogPage();
    return *m_priceRun;
}

PriceEngine& TForm1::priceEngine() {
    ensureCatalogPage();
    return *m_priceEngine;
}

TForm3* TForm1::form3() {
    ensureCatalogPage();
    return m_Form3.get();
}

QWidget* TForm1::buildLeftColumn() {
    auto* column = new QWidget;
    m_leftColumn = column;
    column->setObjectName(QStringLiteral("Panel2"));
    column->setFixedWidth(kLeftColumnWidth);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    m_SpeedButton15 = makeButton(QStringLiteral("SpeedButton15"), QStringLiteral("Settings"), column);
    m_SpeedButton14 = makeButton(QStringLiteral("SpeedButton14"), QStringLiteral("Catalog"), column);
    m_SpeedButton25 = makeButton(QStringLiteral("SpeedButton25"), QStringLiteral("Export"), column);
    m_SpeedButton1 =
        makeButton(QStringLiteral("SpeedButton1"), QStringLiteral("Open log requests [for programmers]"), column);
    m_SpeedButton1->setToolTip(m_SpeedButton1->text());
    m_SpeedButton1->hide();
    for (QToolButton* b : {m_SpeedButton15, m_SpeedButton14, m_SpeedButton25, m_SpeedButton1})
        layout->addWidget(b);
    connect(m_SpeedButton15, &QToolButton::clicked, this, &TForm1::SpeedButton15Click);
    connect(m_SpeedButton14, &QToolButton::clicked, this, &TForm1::SpeedButton14Click);
    connect(m_SpeedButton25, &QToolButton::clicked, this, &TForm1::SpeedButton25Click);
    connect(m_SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    m_update = new ProgramUpdate(m_context, this);
    layout->addWidget(m_update->widget());
    // The swap waits for this program to end through its normal closing path.
    connect(m_update, &ProgramUpdate::swapStarted, this, &QWidget::close);

    m_garageSection = new CollapsibleSection(QStringLiteral("Label18"), QStringLiteral("My garage"), column);
    m_searchSection = new CollapsibleSection(QStringLiteral("Label12"), QStringLiteral("Search by"), column);
    m_vehicleSection = new CollapsibleSection(QStringLiteral("Label14"), QStringLiteral("Selection vehicle"), column);
    m_vehicleSection->setObjectName(QStringLiteral("Panel10"));

    m_garage = new Garage(m_context, column);
    m_garageSection->setBody(m_garage->widget());
    connect(m_garage, &Garage::captionChanged, m_garageSection->header(), &QLabel::setText);
    m_cascade = new VehicleCascade(m_context, column);
    m_vehicleSection->setBody(m_cascade->widget());

    layout->addWidget(m_garageSection);
    layout->addWidget(m_searchSection);
    layout->addWidget(m_vehicleSection, 1);
    layout->addWidget(m_garage->addButton());
    layout->addWidget(m_cascade->captionLabel());
    m_garageSection->setCollapsed(true);
    m_searchSection->setCollapsed(true);

    connect(m_garageSection->header(), &ClickableLabel::clicked, this, &TForm1::Label18Click);
    connect(m_searchSection->header(), &ClickableLabel::clicked, this, &TForm1::Label12Click);
    connect(m_vehicleSection->header(), &ClickableLabel::clicked, this, &TForm1::Label14Click);
    connect(m_vehicleSection, &CollapsibleSection::collapsedChanged, this, &TForm1::Panel10Resize);
    return column;
}

QWidget* TForm1::buildSettingsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SETTINGS"));
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(makeTitle(QStringLiteral("  SETTINGS")));
    auto* scroll = new QScrollArea;
    m_settingsScroll = scroll;
    scroll->setWidgetResizable(true);
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    // In place before the panels come: the column is then laid out once, when it shows.
    scroll->setWidget(column);

    m_brands = new NecessaryBrandsPanel(m_context, column);
    m_priceServices = new PriceServicesPanel(m_context, column);
    m_priceLists = new PriceListsPanel(m_context, m_ownPrices, column);
    m_searchPages = new SearchPagesPanel(m_context, column);
    m_priceLists->setListingSender([this] { return m_priceServices->compareEmail(); });
    connect(m_brands, &NecessaryBrandsPanel::necessaryBrandsChanged, this,
            [this](const QString& brands) { m_texts.NecessaryBrands = brands; });
    connect(m_priceServices, &PriceServicesPanel::compareShopIdsChanged, this,
            [this](const QString& ids) { m_texts.CompareShopIds = ids; });
    connect(m_priceServices, &PriceServicesPanel::analysisShopIdsChanged, this,
            [this](const QString& ids) { m_texts.AnalysisShopIds = ids; });
    // The boxes of BEST OFFERS go below the analysis panel.
    for (QWidget* panel : {m_webService->widget(), m_brands->widget(), m_priceServices->compareWidget(),
                           m_priceServices->analysisWidget(), m_priceServices->bestOffersWidget(),
                           m_priceLists->widget(), m_searchPages->widget()})
        layout->addWidget(panel);
    layout->addStretch(1);
    outer->addWidget(scroll, 1);
    return page;
}

QWidget* TForm1::buildCatalogPage() {
    auto* page = new QWidget;
    page->setObjectName(kCatalogPage);
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(makeTitle(QStringLiteral("CATALOG")));
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    outer->addLayout(row, 1);

    m_trees = new CategoryTrees(m_context, page);
    m_catalogLeftColumn = new QWidget;
    m_catalogLeftColumn->setObjectName(QStringLiteral("Panel13"));
    m_catalogLeftColumn->setFixedWidth(kLeftColumnWidth);
    auto* left = new QVBoxLayout(m_catalogLeftColumn);
    left->setContentsMargins(0, 0, 0, 0);
    m_tradeGroupSection = new CollapsibleSection(QStringLiteral("Label16"), QStringLiteral("Trade groups"));
    m_categorySection = new CollapsibleSection(QStringLiteral("Label17"), QStringLiteral("Tree categories"));
    m_tradeGroupSection->setBody(m_trees->tradeGroupWidget());
    m_categorySection->setBody(m_trees->categoryWidget());
    left->addWidget(m_tradeGroupSection);
    left->addWidget(m_categorySection, 1);
    m_tradeGroupSection->setCollapsed(true);
    connect(m_tradeGroupSection->header(), &ClickableLabel::clicked, this, &TForm1::Label16Click);
    connect(m_categorySection->header(), &ClickableLabel::clicked, this, &TForm1::Label17Click);
    row->addWidget(m_catalogLeftColumn);

    auto* right = new QVBoxLayout;
    row->addLayout(right, 1);
    auto* titleBar = new QHBoxLayout;
    m_SpeedButton16 = makeButton(QStringLiteral("SpeedButton16"), QStringLiteral("<>"));
    m_SpeedButton16->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_SpeedButton16, &QToolButton::clicked, this, &TForm1::SpeedButton16Click);
    titleBar->addWidget(m_SpeedButton16);
    titleBar->addWidget(makeTitle(QStringLiteral("INFO PRODUCT")), 1);
    right->addLayout(titleBar);

    m_productList = new ProductList(m_context, m_productTable, page);
    m_crossSearch = new CrossSearch(m_context, page);
    m_searchResultsSection = new CollapsibleSection(QStringLiteral("Label24"), QStringLiteral("Search results"));
    m_catalogResultsSection = new CollapsibleSection(QStringLiteral("Label22"), QStringLiteral("Catalog results"));
    m_searchResultsSection->setBody(m_crossSearch->widget());
    m_catalogResultsSection->setBody(m_productList->widget());
    m_searchResultsSection->setCollapsed(true);
    right->addWidget(m_searchResultsSection);
    right->addWidget(m_catalogResultsSection, 1);
    connect(m_searchResultsSection->header(), &ClickableLabel::clicked, this, &TForm1::Label24Click);
    connect(m_catalogResultsSection->header(), &ClickableLabel::clicked, this, &TForm1::Label22Click);

    auto* infoBar = new QHBoxLayout;
    m_SpeedButton23 = makeButton(QStringLiteral("SpeedButton23"), QStringLiteral("^"));
    m_SpeedButton23->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    infoBar->addWidget(m_SpeedButton23);
    infoBar->addWidget(makeTitle(QStringLiteral("ADDITIONAL INFO | PRICES | IMAGE")), 1);
    right->addLayout(infoBar);
    connect(m_SpeedButton23, &QToolButton::clicked, this, &TForm1::SpeedButton23Click);

    m_lowerArea = new QWidget;
    m_lowerArea->setObjectName(QStringLiteral("Panel20"));
    m_lowerArea->setFixedHeight(kLowerAreaHeight);
    auto* lower = new QHBoxLayout(m_lowerArea);
    lower->setContentsMargins(0, 0, 0, 0);
    m_productInfo = new ProductInfo(m_context, m_productTable, m_lowerArea);
    m_comparativeList = new ComparativeList(m_context, m_productTable, m_lowerArea);
    m_resultTables = new ResultTables(m_context, m_lowerArea);
    // The user shares the width between picture and tables; the tables get most of it at first.
    auto* split = new QSplitter(Qt::Horizontal);
    split->setObjectName(QStringLiteral("lowerAreaSplitter"));
    split->setChildrenCollapsible(false);
    split->addWidget(m_productInfo->imageWidget());
    m_PageControl1 = new TwoLineTabWidget;
    m_PageControl1->setObjectName(QStringLiteral("PageControl1"));
    m_PageControl1->addTab(m_productInfo->memoWidget(), QStringLiteral("  INFO PRODUCT  "));
    m_PageControl1->addTab(m_comparativeList->widget(), QStringLiteral("  COMPARATIVE LIST  "));
    m_PageControl1->addTab(m_resultTables->compareWidget(), QStringLiteral("  PROCESSED LIST FOR COMPARE PRICES  "));
    m_PageControl1->addTab(m_resultTables->analysisWidget(),
                           QStringLiteral("  PROCESSED LIST FOR ANALIZATION OF PRICES  "));
    for (int i = 0; i < m_PageControl1->count(); ++i)
        m_PageControl1->setTabToolTip(i, m_PageControl1->tabText(i).trimmed());
    split->addWidget(m_PageControl1);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({kPictureWidth, 4 * kPictureWidth});
    lower->addWidget(split);
    right->addWidget(m_lowerArea);
    WindowState::splitColumn(right, 1, m_lowerArea, QStringLiteral("catalogSplitter"), 200);

    // The name and cross-reference searches sit in the left column's "Search by" section.
    auto* searchBody = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchBody);
    searchLayout->setContentsMargins(2, 2, 2, 2);
    searchLayout->addWidget(m_crossSearch->searchWidget());
    searchLayout->addWidget(m_numberSearch->widget());
    searchLayout->addWidget(m_productList->nameSearchWidget());
    searchLayout->addStretch(1);
    m_searchSection->setBody(searchBody);
    return page;
}

QWidget* TForm1::buildLogStrip() {
    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("Panel5"));
    strip->setFixedHeight(kLogStripHeight);
    auto* layout = new QVBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* titleRow = new QHBoxLayout;
    auto* title = new QLabel(QStringLiteral("Log requests"));
    title->setStyleSheet(QStringLiteral("font-size: 8pt; font-weight: bold;"));
    titleRow->addWidget(title);
    // Short notes beside the title: what went wrong or where a file went, without a box to close.
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("logNote"));
    m_note->setStyleSheet(QStringLiteral("font-size: 8pt; font-weight: bold; color: #b00000;"));
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_note->hide();
    titleRow->addWidget(m_note, 1);
    m_noteTimer = new QTimer(this);
    m_noteTimer->setSingleShot(true);
    m_noteTimer->setInterval(kNoteMilliseconds);
    connect(m_noteTimer, &QTimer::timeout, m_note, &QLabel::hide);
    layout->addLayout(titleRow);
    auto* row = new QHBoxLayout;
    m_SpeedButton61 = makeButton(QStringLiteral("SpeedButton61"), QStringLiteral("LOG"));
    m_SpeedButton61->setToolTip(m_SpeedButton1->text());
    m_SpeedButton61->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    connect(m_SpeedButton61, &QToolButton::clicked, this, &TForm1::SpeedButton61Click);
    m_Memo1 = new LogView(m_log.lines());
    m_Memo1->setObjectName(QStringLiteral("Memo1"));
    m_Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont small = m_Memo1->font();
    small.setPointSize(7);
    m_Memo1->setFont(small);
    connect(&m_log, &RequestLog::linesAppended, m_Memo1, &LogView::linesAppended);
    row->addWidget(m_SpeedButton61);
    row->addWidget(m_Memo1, 1);
    layout->addLayout(row, 1);
    return strip;
}

void TForm1::showNote(const QString& text) {
    m_note->setText(text);
    m_note->setToolTip(text);
    m_note->show();
    m_noteTimer->start();
}

void TForm1::showPage(const QString& name) {
    if (name == kCatalogPage)
        ensureCatalogPage();
    else if (name == kExportPage)
        ensureExportPage();
    if (const qsizetype index = kPages.indexOf(name); index >= 0)
        m_pages->setCurrentIndex(int(index));
}

QString TForm1::currentPage() const {
    return kPages.value(m_pages->currentIndex());
}

void TForm1::SpeedButton15Click() {
    showPage(kSettingsPage);
}

void TForm1::SpeedButton14Click() {
    showPage(kCatalogPage);
}

void TForm1::SpeedButton25Click() {
    showPage(kExportPage);
}

void TForm1::SpeedButton1Click() {
    QString error;
    if (!m_log.SaveAndOpenLog(m_seams.paths, *m_seams.desktop, &error))
        m_seams.dialogs->error(error);
}

void TForm1::SpeedButton61Click() {
    SpeedButton1Click();
}

void TForm1::SpeedButton16Click() {
    m_catalogLeftColumn->setHidden(!m_catalogLeftColumn->isHidden());
}

void TForm1::SpeedButton23Click() {
    m_lowerArea->setHidden(!m_lowerArea->isHidden());
}

void TForm1::Panel10Resize() {
    m_garage->showAddButton(!m_vehicleSection->isCollapsed());
}

namespace {
// Exactly one section of a column is expanded; the order in the column never changes.
void expandOnly(CollapsibleSection* expanded, std::initializer_list<CollapsibleSection*> others) {
    for (CollapsibleSection* s : others)
        s->setCollapsed(true);
    expanded->setCollapsed(false);
    if (auto* layout = qobject_cast<QBoxLayout*>(expanded->parentWidget()->layout())) {
        for (CollapsibleSection* s : others)
            layout->setStretchFactor(s, 0);
        layout->setStretchFactor(expanded, 1);
    }
}
} // namespace

void TForm1::Label14Click() {
    if (m_vehicleSection->isCollapsed())
        expandOnly(m_vehicleSection, {m_garageSection, m_searchSection});
    else
        expandOnly(m_garageSection, {m_searchSection, m_vehicleSection});
}

void TForm1::Label12Click() {
    // The search boxes are the catalog's: they come with its page.
    ensureCatalogPage();
    if (m_searchSection->isCollapsed())
        expandOnly(m_searchSection, {m_garageSection, m_vehicleSection});
    else
        expandOnly(m_vehicleSection, {m_garageSection, m_searchSection});
}

void TForm1::Label18Click() {
    if (m_garageSection->isCollapsed())
        expandOnly(m_garageSection, {m_searchSection, m_vehicleSection});
    else
        expandOnly(m_vehicleSection, {m_garageSection, m_searchSection});
}

void TForm1::toggleTreeSections() {
    if (m_tradeGroupSection->isCollapsed())
        expandOnly(m_tradeGroupSection, {m_categorySection});
    else
        expandOnly(m_categorySection, {m_tradeGroupSection});
}

void TForm1::Label16Click() {
    toggleTreeSections();
}

void TForm1::Label17Click() {
    toggleTreeSections();
}

void TForm1::toggleResultSections() {
    if (m_searchResultsSection->isCollapsed())
        expandSearchResults();
    else
        expandCatalogResults();
}

void TForm1::expandCatalogResults() {
    expandOnly(m_catalogResultsSection, {m_searchResultsSection});
}

void TForm1::expandSearchResults() {
    expandOnly(m_searchResultsSection, {m_catalogResultsSection});
}

void TForm1::Label22Click() {
    toggleResultSections();
}

void TForm1::Label24Click() {
    toggleResultSections();
}

void TForm1::closePriceRun() {
    if (!m_priceRun)
        return;
    m_priceRun->shutdown();
    m_priceEngine->shutdown();
    m_Form3->closeForShutdown();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TForm1::FormShow() {
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (m_seams.paths.usesDataFolder())
            m_log.AppendLogLine(
                QStringLiteral("Settings and lists are kept in %1: the program's folder is not writable.")
                    .arg(m_seams.paths.programDir()));
        Settings::LoadSettings(this, m_seams.paths, m_heldSettings);
        m_brands->collapse();
        const Settings::ListTexts lists = Settings::LoadLists(this, m_seams.paths);
        m_texts = lists.texts;
        if (lists.garage)
            m_garage->setLines(*lists.garage);
        startPriceHistory();
        m_priceLists->FetchFreePriceLists();
        m_priceLists->SpeedButton50Click(); // does nothing while automatic downloads are off
        m_priceLists->CheckPriceListFolder();
    }
    if (windowTitle() == kCaption)
        setWindowTitle(kCaption + QStringLiteral(" ver [") + m_seams.versionText +
                       QStringLiteral("] - created by Quorlin"));
    if (!m_update->updateOffered() && !m_versionChecked) {
        m_versionChecked = true;
        m_update->CheckForNewVersion(m_seams.versionText);
    }
}

bool TForm1::SaveForClose(QString* error) {
    return Settings::SaveLists(this, m_garage->lines(), m_seams.paths, error) &&
           Settings::SaveSettings(this, m_seams.paths, m_heldSettings, error) &&
           WindowState::save(this, m_seams.paths.programFile(QStringLiteral("velmora.ini")), error);
}

bool TForm1::FormCloseQuery() {
    QString error;
    if (SaveForClose(&error))
        return true;
    m_seams.dialogs->error(error);
    return false;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    // Closing ends the program: a run in progress stops and its transfers are cancelled at once.
    closePriceRun();
}
