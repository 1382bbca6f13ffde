#include "pricing/searchpagespanel.h"

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/formcontrols.h"
#include "platform/widgets.h"
#include "pricing/pricerunsettings.h"
#include "service/appcontext.h"
#include "service/textfunctions.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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

    connect(m_SpeedButton34, &QToolButton::clicked, this, &SearchPagesPanel::SpeedButton34Click);
    connect(m_SpeedButton35, &QToolButton::clicked, this, &SearchPagesPanel::SpeedButton35Click);
    connect(m_SpeedButton36, &QToolButton::clicked, this, &SearchPagesPanel::SpeedButton36Click);
    connect(m_SpeedButton37, &QToolButton::clicked, this, &SearchPagesPanel::SpeedButton37Click);
}

bool SearchPagesPanel::refuseSimilar(const QString& text) {
    const int similar = findIgnoringCase(m_ListBox2, text);
    if (similar < 0)
        return false;
    m_ListBox2->setCurrentRow(similar);
    m_context.dialogs->information(QStringLiteral("Similar line already is in availability !!!"));
    return true;
}

void SearchPagesPanel::SpeedButton34Click() {
    const QString text = Trim(m_Edit14->text());
    if (text.isEmpty() || refuseSimilar(text))
        return;
    m_ListBox2->addItem(text);
}

void SearchPagesPanel::SpeedButton35Click() {
    QListWidgetItem* selected = m_ListBox2->currentItem();
    if (m_ListBox2->count() == 0 || !selected || !selected->isSelected())
        return;
    if (m_context.dialogs->confirm(QStringLiteral("Delete selected line ?")))
        delete selected;
}

// Unlike adding, editing takes a blank text too.
void SearchPagesPanel::SpeedButton36Click() {
    QListWidgetItem* selected = m_ListBox2->currentItem();
    if (m_ListBox2->count() == 0 || !selected || !selected->isSelected())
        return;
    const QString text = Trim(m_Edit14->text());
    if (!refuseSimilar(text))
        selected->setText(text);
}

void SearchPagesPanel::SpeedButton37Click() {
    const QListWidgetItem* selected = m_ListBox2->currentItem();
    if (selected && selected->isSelected())
        m_context.desktop->open(selected->text());
}

void SearchPagesPanel::readRunSettings(PriceRunSettings& settings) const {
    settings.pages = m_CheckBox4->isChecked();
    settings.pagesAfterRun = m_CheckBox11->isChecked();
    settings.pagePause = m_CheckBox12->isChecked();
    settings.pagePauseAfter = m_Edit16->text();
    settings.pageTemplates = itemTexts(m_ListBox2);
}
