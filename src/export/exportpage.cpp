#include "export/exportpage.h"

#include "platform/dialogs.h"
#include "platform/formcontrols.h"
#include "platform/widgets.h"
#include "service/appcontext.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

ExportPage::ExportPage(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    buildUi(parent);
}

void ExportPage::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_widget->setObjectName(QStringLiteral("EXPORT"));
    auto* outer = new QVBoxLayout(m_widget);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(makeTitle(QStringLiteral("PREPARING DATA | EXPORT DATA")));
    auto* row = new QHBoxLayout;
    outer->addLayout(row, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(makeButton(QStringLiteral("SpeedButton56"), QStringLiteral("PREPARING OWN PRICE LISTS")));
    buttons->addWidget(new QLabel(QStringLiteral("  Working with e-commerce")));
    struct Shop {
        const char* name;
        const char* caption;
    };
    for (const Shop& shop : {Shop{"SpeedButton55", "   PRESTASHOP"}, Shop{"SpeedButton54", "    MAGENTO"},
                             Shop{"SpeedButton53", "   OPENCART"}}) {
        QToolButton* b = makeButton(QString::fromLatin1(shop.name), QString::fromLatin1(shop.caption));
        connect(b, &QToolButton::clicked, this,
                [this] { m_context.dialogs->information(QStringLiteral("Pls wait this possible in next updates")); });
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    row->addLayout(buttons);

    auto* page = new QVBoxLayout;
    row->addLayout(page, 1);
    page->addWidget(makeTitle(QStringLiteral("PREPARING TABLES")));
    page->addWidget(new QLabel(QStringLiteral("LIST SUPPLIERS")));
    m_CheckListBox4 = makeList(QStringLiteral("CheckListBox4"));
    page->addWidget(m_CheckListBox4, 1);
    page->addWidget(new QLabel(QStringLiteral("PREPARING DATA")));
    m_Label58 = new QLabel;
    m_Label58->setObjectName(QStringLiteral("Label58"));
    page->addWidget(m_Label58);
    page->addWidget(new QLabel(QStringLiteral("Folder for save files :")));
    m_Edit13 = makeEdit(QStringLiteral("Edit13"));
    page->addWidget(m_Edit13);
    m_CheckBox8 = makeCheck(QStringLiteral("CheckBox8"), QStringLiteral("Add column with data criteries of products"));
    m_CheckBox9 = makeCheck(QStringLiteral("CheckBox9"), QStringLiteral("Add column with cross reference numbers"));
    m_CheckBox10 = makeCheck(QStringLiteral("CheckBox10"),
                             QStringLiteral("Add column with list typids of cars that using product"));
    m_CheckBox10->setToolTip(QStringLiteral("as like list k-type values, sample : 10,101,1025,1212..."));
    page->addWidget(m_CheckBox8);
    page->addWidget(m_CheckBox9);
    page->addWidget(m_CheckBox10);
    auto* formats = new QHBoxLayout;
    m_RadioButton5 = makeRadio(QStringLiteral("RadioButton5"), QStringLiteral("as CSV"));
    m_RadioButton9 = makeRadio(QStringLiteral("RadioButton9"), QStringLiteral("as XML"));
    m_RadioButton10 = makeRadio(QStringLiteral("RadioButton10"), QStringLiteral("as JSON"));
    auto* group = new QButtonGroup(m_widget);
    for (QRadioButton* r : {m_RadioButton5, m_RadioButton9, m_RadioButton10}) {
        group->addButton(r);
        formats->addWidget(r);
    }
    m_RadioButton9->setChecked(true);
    page->addLayout(formats);
    m_SpeedButton60 = makeButton(QStringLiteral("SpeedButton60"), QStringLiteral("   Export in csv files"));
    page->addWidget(m_SpeedButton60);
    for (const char* note : {"In file will mandatory values : brand id | brand | reference | name product | status "
                             "product | price",
                             "Attention. The process of preparing and exporting data may take some time if additional "
                             "options are selected"}) {
        auto* label = new QLabel(QString::fromLatin1(note));
        label->setWordWrap(true);
        page->addWidget(label);
    }
    m_Label61 = new QLabel;
    m_Label61->setObjectName(QStringLiteral("Label61"));
    m_Label61->hide();
    m_Label60 = new QLabel;
    m_Label60->setObjectName(QStringLiteral("Label60"));
    m_Label60->hide();
    page->addWidget(m_Label61);
    page->addWidget(m_Label60);
}
