#pragma once

#include "app/settings.h"
#include "catalog/producttable.h"
#include "platform/apppaths.h"
#include "pricelists/ownpricetable.h"
#include "pricing/pricerunsettings.h"
#include "service/appcontext.h"
#include "service/endpoints.h"
#include "service/requestlog.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class LogView;
class QStackedWidget;
class QTabWidget;
class QTimer;
class QToolButton;
class CollapsibleSection;
class ServiceClient;
class WebServicePanel;
class NecessaryBrandsPanel;
class PriceServicesPanel;
class PriceListsPanel;
class SearchPagesPanel;
class ExportPage;
class VehicleCascade;
class NumberSearch;
class Garage;
class CategoryTrees;
class ProductList;
class CrossSearch;
class ProductInfo;
class ComparativeList;
class ResultTables;
class TForm2;
class ProgramUpdate;
class PriceEngine;
class PriceRun;
class TForm3;
class PriceIntelligence;

// What the window is built with: the seams and the configuration of this run.
struct Seams {
    Dialogs* dialogs = nullptr;
    Desktop* desktop = nullptr;
    AppPaths paths;
    Endpoints endpoints;
    // major.minor.release; empty for a program without version information.
    QString versionText;
};

// The main window: the frame, the composition of the panels and the start-up and shut-down
// steps. Handlers of the panels live in the panels.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    static const QString kCaption;

    explicit TForm1(const Seams& seams, QWidget* parent = nullptr);
    ~TForm1() override;

    AppContext& context() { return m_context; }
    const ProductTable& productTable() const { return m_productTable; }
    OwnPriceTable& ownPrices() { return m_ownPrices; }
    // The price run and its windows come with the catalog page, built when first needed.
    PriceRun& priceRun();
    PriceEngine& priceEngine();
    TForm3* form3();
    // Shows the page, building it first when it is shown for the first time.
    void showPage(const QString& name);
    // A short note in the log strip's title line for a few seconds, besides the log.
    void showNote(const QString& text);
    QString currentPage() const;

    // The frame's handlers.
    void SpeedButton15Click();
    void SpeedButton14Click();
    void SpeedButton25Click();
    void SpeedButton1Click();
    void SpeedButton61Click();
    void SpeedButton16Click();
    // Hides the lower area with the product information, or shows it again.
    void SpeedButton23Click();
    void Panel10Resize();
    void Label14Click();
    void Label12Click();
    void Label18Click();
    void Label16Click();
    void Label17Click();
    void Label22Click();
    void Label24Click();

    void FormShow();
    // Saves the list files and the settings; false (after showing the error) keeps the window open.
    bool FormCloseQuery();
    // The saves of a close, without asking or showing anything; false with the reason in `error`.
    bool SaveForClose(QString* error);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildUi();
    QWidget* buildLeftColumn();
    QWidget* buildSettingsPage();
    QWidget* buildCatalogPage();
    QWidget* buildLogStrip();
    void setTabOrders();
    // The catalog page with its panels, the search section's body, the price run and the
    // secondary windows: built the first time the user reaches any of them.
    void ensureCatalogPage();
    void ensureExportPage();
    // Puts a built page in place of its stand-in.
    void placePage(int index, QWidget* page);
    void toggleTreeSections();
    void toggleResultSections();
    void expandCatalogResults();
    void expandSearchResults();
    // Connections between the panels of one area and the rest, one file per area
    // (compose_vehicle.cpp, compose_catalog.cpp, compose_pricing.cpp). Those of the left column
    // come with the window; the others with the catalog page.
    void composeVehicle();
    void composeVehicleSearch();
    void composeCatalog();
    void composePricing();
    // Opens the price history once the settings say how long it keeps runs.
    void startPriceHistory();
    // What the settings page says of the next price run.
    PriceRunSettings runSettings() const;
    // Ends a run and its transfers for good: the program is closing.
    void closePriceRun();

    // The context the panels reference; the destructor deletes every widget before these die.
    Seams m_seams;
    RequestLog m_log;
    SharedTexts m_texts;
    ProductTable m_productTable;
    OwnPriceTable m_ownPrices;
    AppContext m_context;
    std::unique_ptr<ServiceClient> m_service;
    // The network thread of the price runs: shut down before any window it delivers to goes.
    std::unique_ptr<PriceEngine> m_priceEngine;
    bool m_shownOnce = false;
    // Settings read for controls of pages not built yet.
    Settings::HeldValues m_heldSettings;
    bool m_versionChecked = false;

    WebServicePanel* m_webService = nullptr;
    NecessaryBrandsPanel* m_brands = nullptr;
    PriceServicesPanel* m_priceServices = nullptr;
    PriceListsPanel* m_priceLists = nullptr;
    SearchPagesPanel* m_searchPages = nullptr;
    ExportPage* m_exportPage = nullptr;
    VehicleCascade* m_cascade = nullptr;
    NumberSearch* m_numberSearch = nullptr;
    Garage* m_garage = nullptr;
    CategoryTrees* m_trees = nullptr;
    ProductList* m_productList = nullptr;
    CrossSearch* m_crossSearch = nullptr;
    ProductInfo* m_productInfo = nullptr;
    ComparativeList* m_comparativeList = nullptr;
    ResultTables* m_resultTables = nullptr;
    TForm2* m_Form2 = nullptr;
    ProgramUpdate* m_update = nullptr;

    QStackedWidget* m_pages = nullptr;
    QWidget* m_leftColumn = nullptr;
    QWidget* m_settingsPage = nullptr;
    QWidget* m_settingsScroll = nullptr;
    QWidget* m_catalogPage = nullptr;
    QWidget* m_exportPageWidget = nullptr;
    QToolButton* m_SpeedButton15 = nullptr;
    QToolButton* m_SpeedButton14 = nullptr;
    QToolButton* m_SpeedButton25 = nullptr;
    QToolButton* m_SpeedButton1 = nullptr;
    QToolButton* m_SpeedButton16 = nullptr;
    QToolButton* m_SpeedButton23 = nullptr;
    QToolButton* m_SpeedButton61 = nullptr;
    CollapsibleSection* m_garageSection = nullptr;
    CollapsibleSection* m_searchSection = nullptr;
    CollapsibleSection* m_vehicleSection = nullptr;
    CollapsibleSection* m_tradeGroupSection = nullptr;
    CollapsibleSection* m_categorySection = nullptr;
    CollapsibleSection* m_searchResultsSection = nullptr;
    CollapsibleSection* m_catalogResultsSection = nullptr;
    QWidget* m_catalogLeftColumn = nullptr;
    QWidget* m_lowerArea = nullptr;
    QTabWidget* m_PageControl1 = nullptr;
    LogView* m_Memo1 = nullptr;
    QLabel* m_note = nullptr;
    QTimer* m_noteTimer = nullptr;
    std::unique_ptr<TForm3> m_Form3;
    std::unique_ptr<PriceRun> m_priceRun;
    PriceIntelligence* m_priceIntelligence = nullptr;
};
