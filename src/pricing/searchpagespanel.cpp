#include "pricing/searchpagespanel.h"

#include "platform/formcontrols.h"
#include "platform/widgets.h"
#include "service/appcontext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

const QString SearchPagesPanel::kDefaultTemplate =
    QStringLiteral("https://www.google.com/search?q={brand}+{reference}");

SearchPagesPanel::SearchPagesPanel(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    buildUi(parent);
}

void SearchPagesPanel::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_widget->setObjectName(QStringLiteral("Panel11"));
    auto* layout = new QVBoxLayout(m_widget);
    layout->addWidget(makeTitle(QStringLiteral("Open in web browser *")));
    m_CheckBox4 = makeCheck(QStringLiteral("CheckBox4"),
                            QStringLiteral("To open in addition in the web browser specified search html-pages after "
                                           "the selection of the product"));
    layout->addWidget(m_CheckBox4);
    auto* note = new QLabel(QStringLiteral(
        "* - after added product in \"COMPARATIVE LIST\" data about BRAND and REFERENCE will send on set url address "
        "and will show result, where on output will : {brand} - brand product, {reference} - trade number product"));
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* options = new QHBoxLayout;
    m_CheckBox11 = makeCheck(QStringLiteral("CheckBox11"), QStringLiteral("Execute in a separate thread"));
    m_CheckBox12 = makeCheck(QStringLiteral("CheckBox12"), QStringLiteral("Pause after each qt requests"));
    m_CheckBox11->setChecked(true);
    m_CheckBox12->setChecked(true);
    m_Edit16 = makeEdit(QStringLiteral("Edit16"), QStringLiteral("10"));
    m_Edit16->setMaximumWidth(60);
    options->addWidget(m_CheckBox11);
    options->addWidget(m_CheckBox12);
    options->addWidget(m_Edit16);
    options->addStretch(1);
    layout->addLayout(options);
    m_ListBox2 = makeList(QStringLiteral("ListBox2"));
    m_ListBox2->addItem(kDefaultTemplate);
    layout->addWidget(m_ListBox2, 1);
    auto* bar = new QHBoxLayout;
    m_SpeedButton35 = makeButton(QStringLiteral("SpeedButton35"), QStringLiteral("Delete selected line"));
    m_SpeedButton37 = makeButton(QStringLiteral("SpeedButton37"), QStringLiteral("Test selected url"));
    m_Edit14 = makeEdit(QStringLiteral("Edit14"), kDefaultTemplate);
    m_SpeedButton36 = makeButton(QStringLiteral("SpeedButton36"), QStringLiteral("Edit selected line"));
    m_SpeedButton34 = makeButton(QStringLiteral("SpeedButton34"), QStringLiteral("Add new line in list"));
    bar->addWidget(m_SpeedButton35);
    bar->addWidget(m_SpeedButton37);
    bar->addWidget(m_Edit14, 1);
    bar->addWidget(m_SpeedButton36);
    bar->addWidget(m_SpeedButton34);
    layout->addLayout(bar);
}
