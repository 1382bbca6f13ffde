#include "pricing/priceservicespanel.h"

#include "platform/apppaths.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/formcontrols.h"
#include "platform/textfile.h"
#include "platform/widgets.h"
#include "pricing/pricereadings.h"
#include "pricing/pricerunsettings.h"
#include "pricing/sitelists.h"
#include "service/appcontext.h"
#include "service/endpoints.h"
#include "service/listfiles.h"
#include "service/serviceclient.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace {
constexpr int kShopPanelCollapsed = 260;
constexpr int kAnalysisPanelCollapsed = 290;
constexpr int kPanelExpanded = 400;
constexpr int kListCollapsed = 25;
constexpr int kListExpanded = 250;
} // namespace

PriceServicesPanel::PriceServicesPanel(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    buildUi(parent);
}

void PriceServicesPanel::Label40Click() {
    m_context.desktop->open(m_context.endpoints->siteUrl + QStringLiteral("/services/compareprice"));
}

void PriceServicesPanel::Label39Click() {
    m_context.desktop->open(m_context.endpoints->priceUrl + QStringLiteral("help"));
}

// The analysis service is described on the comparison service's pages.
void PriceServicesPanel::Label41Click() {
    Label40Click();
}

void PriceServicesPanel::Label38Click() {
    Label39Click();
}

PriceServicesPanel::ServiceSide PriceServicesPanel::side(const QString& service) const {
    if (service == QLatin1String(kComparePriceService))
        return {service,
                m_Panel6,
                m_CheckListBox2,
                kShopPanelCollapsed,
                &m_context.texts->CompareShopIds,
                ListFiles::kCompareIds};
    return {service,
            m_Panel4,
            m_CheckListBox1,
            kAnalysisPanelCollapsed,
            &m_context.texts->AnalysisShopIds,
            ListFiles::kAnalysisIds};
}

void PriceServicesPanel::LoadSiteList(const QString& service) {
    QListWidget* box = side(service).box;
    box->clear();
    const QString answer = m_context.service->PriceServiceRequest(QStringLiteral("sites-list"));
    for (const QString& entry : SiteListEntries(answer, service)) {
        auto* item = new QListWidgetItem(entry, box);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void PriceServicesPanel::toggleSiteList(const ServiceSide& s) {
    if (s.panel->maximumHeight() == s.collapsedHeight) {
        s.panel->setFixedHeight(kPanelExpanded);
        s.box->setFixedHeight(kListExpanded);
        s.box->setEnabled(true);
        // A list already filled keeps its entries and checks as the user left them.
        if (s.box->count() > 0)
            return;
        LoadSiteList(s.service);
        if (s.selection->isEmpty())
            return;
        for (int i = 0; i < s.box->count(); ++i)
            if (SiteEntryChosen(s.box->item(i)->text(), *s.selection))
                s.box->item(i)->setCheckState(Qt::Checked);
        return;
    }
    s.panel->setFixedHeight(s.collapsedHeight);
    s.box->setFixedHeight(kListCollapsed);
    s.box->setEnabled(false);
    // A list that failed to load keeps the earlier choice and its file.
    if (s.box->count() == 0)
        return;
    QStringList chosen, ids;
    for (int i = 0; i < s.box->count(); ++i)
        if (s.box->item(i)->checkState() == Qt::Checked) {
            chosen << s.box->item(i)->text();
            ids << SiteEntryId(s.box->item(i)->text());
        }
    *s.selection = SiteSelectionText(chosen);
    QString error;
    if (!TextFile::writeUtf8Lines(m_context.paths->programFile(QString::fromLatin1(s.idFile)), ids, &error))
        m_context.dialogs->error(error);
}

void PriceServicesPanel::SpeedButton12Click() {
    toggleSiteList(side(QString::fromLatin1(kComparePriceService)));
}

void PriceServicesPanel::SpeedButton9Click() {
    toggleSiteList(side(QString::fromLatin1(kAnalysisService)));
}

void PriceServicesPanel::checkAccount(const QString& service, const QLineEdit* email, const QLineEdit* seccode) {
    const QString answer =
        m_context.service->PriceServiceRequest(AccountCheckRequest(service, email->text(), seccode->text()));
    m_context.dialogs->information(AccountStatusMessage(email->text(), answer));
}

void PriceServicesPanel::SpeedButton10Click() {
    checkAccount(QString::fromLatin1(kComparePriceService), m_Edit5, m_Edit6);
}

void PriceServicesPanel::SpeedButton5Click() {
    checkAccount(QString::fromLatin1(kAnalysisService), m_Edit1, m_Edit2);
}

void PriceServicesPanel::SpeedButton11Click() {
    m_context.desktop->open(m_context.endpoints->siteUrl + QStringLiteral("/buy/compare"));
}

void PriceServicesPanel::SpeedButton6Click() {
    m_context.desktop->open(m_context.endpoints->siteUrl + QStringLiteral("/buy/analysis"));
}

// Both requests name the comparison service's e-mail as the sender.
void PriceServicesPanel::Label32Click() {
    m_context.desktop->open(NewShopRequestAddress(m_context.endpoints->siteUrl, m_Edit5->text()));
}

void PriceServicesPanel::Label50Click() {
    m_context.desktop->open(NewPlatformRequestAddress(m_context.endpoints->siteUrl, m_Edit5->text()));
}

void PriceServicesPanel::readRunSettings(PriceRunSettings& settings) const {
    settings.compare = m_CheckBox1->isChecked();
    settings.analysis = m_CheckBox2->isChecked();
    settings.compareEmail = m_Edit5->text();
    settings.compareSeccode = m_Edit6->text();
    settings.analysisEmail = m_Edit1->text();
    settings.analysisSeccode = m_Edit2->text();
    settings.maxSubOffers = m_Edit7->text();
}

void PriceServicesPanel::addLinks(QWidget* panel, const char* aboutName, const char* helpName,
                                  void (PriceServicesPanel::*aboutClick)(), void (PriceServicesPanel::*helpClick)()) {
    auto* grid = static_cast<QGridLayout*>(panel->layout());
    const int row = grid->rowCount();
    auto* about = new ClickableLabel(QString::fromLatin1(aboutName), QStringLiteral("ABOUT SERVICE"));
    auto* help = new ClickableLabel(QString::fromLatin1(helpName), QStringLiteral("DESCRIPTION API-SERVICE"));
    about->makeLink();
    help->makeLink();
    connect(about, &ClickableLabel::clicked, this, aboutClick);
    connect(help, &ClickableLabel::clicked, this, helpClick);
    grid->addWidget(about, row, 0);
    grid->addWidget(help, row, 1);
}

QString PriceServicesPanel::compareEmail() const {
    return m_Edit5->text();
}

void PriceServicesPanel::buildUi(QWidget* parent) {
    m_Panel6 = new QWidget(parent);
    m_Panel6->setObjectName(QStringLiteral("Panel6"));
    m_Panel6->setFixedHeight(kShopPanelCollapsed);
    auto* shop = new QGridLayout(m_Panel6);
    shop->addWidget(makeTitle(QStringLiteral("Connect to Comparator prices")), 0, 0, 1, 3);
    m_CheckBox1 =
        makeCheck(QStringLiteral("CheckBox1"), QStringLiteral("Enable function for export prices from shops"));
    shop->addWidget(m_CheckBox1, 1, 0, 1, 3);
    m_Edit5 = makeEdit(QStringLiteral("Edit5"));
    m_Edit6 = makeEdit(QStringLiteral("Edit6"));
    MaskWithStars(m_Edit6);
    shop->addWidget(new QLabel(QStringLiteral("E-mail")), 2, 0);
    shop->addWidget(m_Edit5, 2, 1);
    shop->addWidget(new QLabel(QStringLiteral("Security code")), 3, 0);
    shop->addWidget(m_Edit6, 3, 1);
    m_SpeedButton10 = makeButton(QStringLiteral("SpeedButton10"), QStringLiteral("Check activity"));
    m_SpeedButton11 = makeButton(QStringLiteral("SpeedButton11"), QStringLiteral("New client | Extend service"));
    shop->addWidget(m_SpeedButton10, 2, 2);
    shop->addWidget(m_SpeedButton11, 3, 2);
    shop->addWidget(new QLabel(QStringLiteral("Shops for compare")), 4, 0);
    m_CheckListBox2 = makeList(QStringLiteral("CheckListBox2"));
    m_CheckListBox2->setFixedHeight(kListCollapsed);
    m_CheckListBox2->setEnabled(false);
    shop->addWidget(m_CheckListBox2, 4, 1);
    m_SpeedButton12 = makeButton(QStringLiteral("SpeedButton12"), QStringLiteral("..."));
    m_SpeedButton12->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    shop->addWidget(m_SpeedButton12, 4, 2, Qt::AlignLeft);
    auto* newShop =
        new ClickableLabel(QStringLiteral("Label32"), QStringLiteral("SEND REQUEST ABOUT ADD NEW SHOP FOR COMPARE"));
    newShop->makeLink();
    connect(newShop, &ClickableLabel::clicked, this, &PriceServicesPanel::Label32Click);
    shop->addWidget(newShop, 5, 0, 1, 3);
    addLinks(m_Panel6, "Label40", "Label39", &PriceServicesPanel::Label40Click, &PriceServicesPanel::Label39Click);
    // The panels have a fixed height: spare height goes below the links, not into the rows.
    shop->setRowStretch(shop->rowCount(), 1);

    m_Panel4 = new QWidget(parent);
    m_Panel4->setObjectName(QStringLiteral("Panel4"));
    m_Panel4->setFixedHeight(kAnalysisPanelCollapsed);
    auto* analysis = new QGridLayout(m_Panel4);
    analysis->addWidget(makeTitle(QStringLiteral("Connect to Ebay | Amazon - Analizator prices")), 0, 0, 1, 3);
    m_CheckBox2 = makeCheck(QStringLiteral("CheckBox2"),
                            QStringLiteral("Enable function for analization prices from ebay|amazon"));
    analysis->addWidget(m_CheckBox2, 1, 0, 1, 3);
    m_Edit1 = makeEdit(QStringLiteral("Edit1"));
    m_Edit2 = makeEdit(QStringLiteral("Edit2"));
    MaskWithStars(m_Edit2);
    analysis->addWidget(new QLabel(QStringLiteral("E-mail")), 2, 0);
    analysis->addWidget(m_Edit1, 2, 1);
    analysis->addWidget(new QLabel(QStringLiteral("Security code")), 3, 0);
    analysis->addWidget(m_Edit2, 3, 1);
    m_SpeedButton5 = makeButton(QStringLiteral("SpeedButton5"), QStringLiteral("Check activity"));
    m_SpeedButton6 = makeButton(QStringLiteral("SpeedButton6"), QStringLiteral("New client | Extend service"));
    analysis->addWidget(m_SpeedButton5, 2, 2);
    analysis->addWidget(m_SpeedButton6, 3, 2);
    analysis->addWidget(new QLabel(QStringLiteral("Countries")), 4, 0);
    m_CheckListBox1 = makeList(QStringLiteral("CheckListBox1"));
    m_CheckListBox1->setFixedHeight(kListCollapsed);
    m_CheckListBox1->setEnabled(false);
    analysis->addWidget(m_CheckListBox1, 4, 1);
    m_SpeedButton9 = makeButton(QStringLiteral("SpeedButton9"), QStringLiteral("..."));
    m_SpeedButton9->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    analysis->addWidget(m_SpeedButton9, 4, 2, Qt::AlignLeft);
    analysis->addWidget(new QLabel(QStringLiteral("Max value for count subproducts")), 5, 0);
    m_Edit7 = makeEdit(QStringLiteral("Edit7"), QStringLiteral("5"));
    analysis->addWidget(m_Edit7, 5, 1);
    auto* newSite = new ClickableLabel(QStringLiteral("Label50"),
                                       QStringLiteral("SEND REQUEST ABOUT ADD NEW E-PLATFORM FOR ANALYZATION"));
    newSite->makeLink();
    connect(newSite, &ClickableLabel::clicked, this, &PriceServicesPanel::Label50Click);
    analysis->addWidget(newSite, 6, 0, 1, 3);
    addLinks(m_Panel4, "Label41", "Label38", &PriceServicesPanel::Label41Click, &PriceServicesPanel::Label38Click);
    analysis->setRowStretch(analysis->rowCount(), 1);

    connect(m_SpeedButton12, &QToolButton::clicked, this, &PriceServicesPanel::SpeedButton12Click);
    connect(m_SpeedButton9, &QToolButton::clicked, this, &PriceServicesPanel::SpeedButton9Click);
    connect(m_SpeedButton10, &QToolButton::clicked, this, &PriceServicesPanel::SpeedButton10Click);
    connect(m_SpeedButton5, &QToolButton::clicked, this, &PriceServicesPanel::SpeedButton5Click);
    connect(m_SpeedButton11, &QToolButton::clicked, this, &PriceServicesPanel::SpeedButton11Click);
    connect(m_SpeedButton6, &QToolButton::clicked, this, &PriceServicesPanel::SpeedButton6Click);
}
