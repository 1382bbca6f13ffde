#pragma once

#include "pricing/bestoffers.h"

#include <QObject>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QToolButton;
class QWidget;
class ClickableLabel;
struct AppContext;
struct PriceRunSettings;

// The two price-service panels of the settings page: "Connect to Comparator prices" (Panel6)
// and "Connect to Ebay | Amazon - Analizator prices" (Panel4).
class PriceServicesPanel : public QObject {
    Q_OBJECT
public:
    PriceServicesPanel(AppContext& context, QWidget* parent);
    QWidget* compareWidget() const { return m_Panel6; }
    QWidget* analysisWidget() const { return m_Panel4; }
    // The boxes of BEST OFFERS and the price history, shown below the analysis panel.
    QWidget* bestOffersWidget() const { return m_bestOffersPanel; }
    // The comparator account's e-mail as typed.
    QString compareEmail() const;
    // What the request log masks: both security codes in the forms they may take.
    QStringList secrets() const;

    // Information links: about the service and its API description.
    void Label40Click();
    void Label39Click();
    void Label41Click();
    void Label38Click();

    // Fills the service's site list ("COMPAREPRICE": shops, "EBAYANALIZ": e-platforms).
    void LoadSiteList(const QString& service);
    // Expand or collapse the shop list and the e-platform list.
    void SpeedButton12Click();
    void SpeedButton9Click();
    // Account status of the comparison and analysis services.
    void SpeedButton10Click();
    void SpeedButton5Click();
    // Purchase pages.
    void SpeedButton11Click();
    void SpeedButton6Click();
    // Requests for a new shop or e-platform through the contact page.
    void Label32Click();
    void Label50Click();

    // The services' switches, accounts and sub-offer limit as a run reads them.
    void readRunSettings(PriceRunSettings& settings) const;
    // The undercut threshold and the own price lists' currency as BEST OFFERS reads them.
    BestOffersSettings bestOffersSettings() const;
    // The days of price history to keep, as typed.
    QString keepHistoryDays() const;

signals:
    // Either box of bestOffersSettings() changed, also when the settings file is read.
    void bestOffersSettingsChanged(const BestOffersSettings& settings);

signals:
    // The chosen sites of a service were saved ("[12][44]").
    void compareShopIdsChanged(const QString& ids);
    void analysisShopIdsChanged(const QString& ids);

private:
    // The controls and texts of one of the two services.
    struct ServiceSide {
        QString service;
        QWidget* panel;
        QListWidget* box;
        int collapsedHeight;
        const QString* selection;
        void (PriceServicesPanel::*selectionChanged)(const QString&);
        const char* idFile;
    };
    ServiceSide side(const QString& service) const;
    void toggleSiteList(const ServiceSide& side);
    void checkAccount(const QString& service, const QLineEdit* email, const QLineEdit* seccode);
    void buildUi(QWidget* parent);
    void buildBestOffersUi(QWidget* parent);
    void addLinks(QWidget* panel, const char* aboutName, const char* helpName, void (PriceServicesPanel::*aboutClick)(),
                  void (PriceServicesPanel::*helpClick)());

    AppContext& m_context;
    QWidget* m_Panel6 = nullptr;
    QWidget* m_Panel4 = nullptr;
    QCheckBox* m_CheckBox1 = nullptr;
    QLineEdit* m_Edit5 = nullptr;
    QLineEdit* m_Edit6 = nullptr;
    QListWidget* m_CheckListBox2 = nullptr;
    QToolButton* m_SpeedButton12 = nullptr;
    QToolButton* m_SpeedButton10 = nullptr;
    QToolButton* m_SpeedButton11 = nullptr;
    QCheckBox* m_CheckBox2 = nullptr;
    QLineEdit* m_Edit1 = nullptr;
    QLineEdit* m_Edit2 = nullptr;
    QLineEdit* m_Edit7 = nullptr;
    QListWidget* m_CheckListBox1 = nullptr;
    QToolButton* m_SpeedButton9 = nullptr;
    QToolButton* m_SpeedButton5 = nullptr;
    QToolButton* m_SpeedButton6 = nullptr;
    QWidget* m_bestOffersPanel = nullptr;
    QLineEdit* m_undercutThreshold = nullptr;
    QLineEdit* m_ownCurrency = nullptr;
    QLineEdit* m_keepDays = nullptr;
};
