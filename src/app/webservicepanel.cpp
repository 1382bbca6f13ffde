#include "app/webservicepanel.h"

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/formcontrols.h"
#include "platform/widgets.h"
#include "pricing/sitelists.h"
#include "service/appcontext.h"
#include "service/endpoints.h"
#include "service/requestlog.h"
#include "service/textfunctions.h"
#include "update/testaccount.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

const QStringList WebServicePanel::kLanguages = {
    QStringLiteral("bg"), QStringLiteral("cs"), QStringLiteral("da"), QStringLiteral("de"), QStringLiteral("el"),
    QStringLiteral("en"), QStringLiteral("es"), QStringLiteral("et"), QStringLiteral("fi"), QStringLiteral("fr"),
    QStringLiteral("hu"), QStringLiteral("it"), QStringLiteral("lt"), QStringLiteral("lv"), QStringLiteral("nl"),
    QStringLiteral("no"), QStringLiteral("pl"), QStringLiteral("pt"), QStringLiteral("ro"), QStringLiteral("ru"),
    QStringLiteral("sk"), QStringLiteral("sl"), QStringLiteral("sr"), QStringLiteral("sv"), QStringLiteral("tr")};

WebServicePanel::WebServicePanel(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    buildUi(parent);
}

QList<QWidget*> WebServicePanel::tabChain() const {
    return {m_Edit3, m_SpeedButton59, m_Edit4, m_SpeedButton7, m_ComboBox11, m_SpeedButton8};
}

void WebServicePanel::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_widget->setObjectName(QStringLiteral("Panel1"));
    auto* grid = new QGridLayout(m_widget);
    grid->addWidget(makeTitle(QStringLiteral("Connect to WebService")), 0, 0, 1, 4);

    m_Edit3 = new QLineEdit;
    m_Edit3->setObjectName(QStringLiteral("Edit3"));
    m_Edit4 = new QLineEdit;
    m_Edit4->setObjectName(QStringLiteral("Edit4"));
    MaskWithStars(m_Edit4);
    m_ComboBox11 = new QComboBox;
    m_ComboBox11->setObjectName(QStringLiteral("ComboBox11"));
    m_ComboBox11->addItems(kLanguages);
    m_ComboBox11->setCurrentIndex(5);

    m_SpeedButton59 = makeButton(QStringLiteral("SpeedButton59"), QStringLiteral("Create test account"));
    connect(m_SpeedButton59, &QToolButton::clicked, this, &WebServicePanel::SpeedButton59Click);
    m_SpeedButton7 = makeButton(QStringLiteral("SpeedButton7"), QStringLiteral("Check activity"));
    m_SpeedButton8 = makeButton(QStringLiteral("SpeedButton8"), QStringLiteral("New client | Extend service"));

    grid->addWidget(new QLabel(QStringLiteral("E-mail")), 1, 0);
    grid->addWidget(m_Edit3, 1, 1);
    grid->addWidget(m_SpeedButton59, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Security code")), 2, 0);
    grid->addWidget(m_Edit4, 2, 1);
    grid->addWidget(m_SpeedButton7, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("ISO2 code Language")), 3, 0);
    grid->addWidget(m_ComboBox11, 3, 1);
    grid->addWidget(m_SpeedButton8, 3, 2);
    connect(m_SpeedButton7, &QToolButton::clicked, this, &WebServicePanel::SpeedButton7Click);
    connect(m_SpeedButton8, &QToolButton::clicked, this, &WebServicePanel::SpeedButton8Click);

    struct Link {
        const char* name;
        const char* caption;
        void (WebServicePanel::*handler)();
    };
    const Link links[] = {{"Label35", "ABOUT SERVICE", &WebServicePanel::Label35Click},
                          {"Label36", "DESCRIPTION API-SERVICE", &WebServicePanel::Label36Click},
                          {"Label37", "ABOUT SERVER THAT CONTROLS THIS SERVICE", &WebServicePanel::Label37Click}};
    int column = 0;
    for (const Link& link : links) {
        auto* label = new ClickableLabel(QString::fromLatin1(link.name), QString::fromLatin1(link.caption));
        label->makeLink();
        connect(label, &ClickableLabel::clicked, this, link.handler);
        grid->addWidget(label, 4, column++);
    }
}

void WebServicePanel::Label35Click() {
    openLink(m_context.endpoints->siteUrl + QStringLiteral("/services/catalog"));
}

void WebServicePanel::Label36Click() {
    openLink(m_context.endpoints->catalogUrl + QStringLiteral("help"));
}

void WebServicePanel::Label37Click() {
    openLink(m_context.endpoints->siteUrl + QStringLiteral("/services/server"));
}

void WebServicePanel::SpeedButton59Click() {
    RequestTestAccount(m_Edit3->text(), *m_context.endpoints, *m_context.dialogs, *m_context.desktop);
}

void WebServicePanel::SpeedButton7Click() {
    const QString answer = m_context.service->CatalogRequest(QStringLiteral("GetSuppliers?email=") + Trim(email()) +
                                                             QStringLiteral("&seccode=") + Trim(seccode()));
    m_context.dialogs->information(CatalogStatusMessage(email(), answer));
}

void WebServicePanel::SpeedButton8Click() {
    openLink(m_context.endpoints->siteUrl + QStringLiteral("/buy/catalog"));
}

void WebServicePanel::openLink(const QString& address) {
    m_context.desktop->open(address);
}

QString WebServicePanel::email() const {
    return m_Edit3->text();
}

QString WebServicePanel::seccode() const {
    return m_Edit4->text();
}

QStringList WebServicePanel::secrets() const {
    return SecretForms(m_Edit4->text());
}

QString WebServicePanel::lang() const {
    return m_ComboBox11->currentIndex() < 0 ? QString() : m_ComboBox11->currentText();
}

void WebServicePanel::setAccount(const QString& email, const QString& seccode) {
    m_Edit3->setText(email);
    m_Edit4->setText(seccode);
}
