#include "catalog/categorytrees.h"

#include "catalog/treeloader.h"
#include "platform/formcontrols.h"
#include "platform/widgets.h"
#include "service/appcontext.h"
#include "service/decoder.h"
#include "service/guard.h"
#include "service/serviceclient.h"
#include "service/textfunctions.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>

namespace {

QTreeWidget* makeTree(const QString& name) {
    auto* tree = new QTreeWidget;
    tree->setObjectName(name);
    tree->setHeaderHidden(true);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setExpandsOnDoubleClick(false);
    return tree;
}

QHBoxLayout* switchRow(QToolButton* expand, QToolButton* collapse) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(expand);
    row->addWidget(collapse);
    return row;
}

} // namespace

CategoryTrees::CategoryTrees(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    setObjectName(QStringLiteral("CategoryTrees"));
    buildUi(parent);
}

void CategoryTrees::buildUi(QWidget* parent) {
    m_tradeGroupWidget = new QWidget(parent);
    auto* trade = new QVBoxLayout(m_tradeGroupWidget);
    trade->setContentsMargins(0, 0, 0, 0);
    m_SpeedButton18 = makeButton(QStringLiteral("SpeedButton18"), QStringLiteral("FullExpand"));
    m_SpeedButton19 = makeButton(QStringLiteral("SpeedButton19"), QStringLiteral("FullCollapse"));
    makeSwitchPair(m_SpeedButton18, m_SpeedButton19, this);
    trade->addLayout(switchRow(m_SpeedButton18, m_SpeedButton19));
    m_TreeView2 = makeTree(QStringLiteral("TreeView2"));
    trade->addWidget(m_TreeView2, 1);

    m_categoryWidget = new QWidget(parent);
    auto* category = new QVBoxLayout(m_categoryWidget);
    category->setContentsMargins(0, 0, 0, 0);
    category->addWidget(new QLabel(QStringLiteral("Show only products :")));
    m_RadioButton7 = makeRadio(QStringLiteral("RadioButton7"),
                               QStringLiteral("According selected type car in \"Selection vehicle\""));
    m_RadioButton8 = makeRadio(QStringLiteral("RadioButton8"), QStringLiteral("For engine"));
    m_RadioButton6 = makeRadio(QStringLiteral("RadioButton6"), QStringLiteral("For axle"));
    m_RadioButton7->setChecked(true);
    for (QRadioButton* b : {m_RadioButton7, m_RadioButton8, m_RadioButton6})
        category->addWidget(b);
    m_SpeedButton13 = makeButton(QStringLiteral("SpeedButton13"), QStringLiteral("FullExpand"));
    m_SpeedButton17 = makeButton(QStringLiteral("SpeedButton17"), QStringLiteral("FullCollapse"));
    makeSwitchPair(m_SpeedButton13, m_SpeedButton17, this);
    category->addLayout(switchRow(m_SpeedButton13, m_SpeedButton17));
    m_TreeView1 = makeTree(QStringLiteral("TreeView1"));
    category->addWidget(m_TreeView1, 1);

    Dialogs& dialogs = *m_context.dialogs;
    connectGuarded(dialogs, m_RadioButton6, &QRadioButton::clicked, this, &CategoryTrees::RadioButton6Click);
    connectGuarded(dialogs, m_RadioButton7, &QRadioButton::clicked, this, &CategoryTrees::RadioButton7Click);
    connectGuarded(dialogs, m_RadioButton8, &QRadioButton::clicked, this, &CategoryTrees::RadioButton8Click);
    connectGuarded(dialogs, m_SpeedButton13, &QToolButton::clicked, this, &CategoryTrees::SpeedButton13Click);
    connectGuarded(dialogs, m_SpeedButton17, &QToolButton::clicked, this, &CategoryTrees::SpeedButton17Click);
    connectGuarded(dialogs, m_SpeedButton18, &QToolButton::clicked, this, &CategoryTrees::SpeedButton18Click);
    connectGuarded(dialogs, m_SpeedButton19, &QToolButton::clicked, this, &CategoryTrees::SpeedButton19Click);
    connectGuarded(dialogs, m_TreeView1, &QTreeWidget::itemDoubleClicked, this, &CategoryTrees::TreeView1DblClick);
    connectGuarded(dialogs, m_TreeView2, &QTreeWidget::itemDoubleClicked, this, &CategoryTrees::TreeView2DblClick);
    // Enter on a node does what the double click does.
    connectGuarded(dialogs, new KeyWatcher(m_TreeView1, Qt::Key_Return), &KeyWatcher::pressed, this,
                   &CategoryTrees::TreeView1DblClick);
    connectGuarded(dialogs, new KeyWatcher(m_TreeView2, Qt::Key_Return), &KeyWatcher::pressed, this,
                   &CategoryTrees::TreeView2DblClick);
}

int CategoryTrees::selectedTypid() const {
    return m_vehicle.typid;
}

TreeKind CategoryTrees::treeKind() const {
    if (m_RadioButton8->isChecked())
        return TreeKind::Engine;
    if (m_RadioButton6->isChecked())
        return TreeKind::Axle;
    return TreeKind::SelectedType;
}

void CategoryTrees::clearTrees() {
    m_TreeView1->clear();
    m_TreeView2->clear();
}

bool CategoryTrees::rebuildCategoryTree() {
    m_TreeView1->clear();
    const int typid = selectedTypid();
    if (typid <= 0)
        return false;
    const int vehicleClass = m_vehicle.vehicleClass;
    const QString own =
        QStringLiteral("&typid=%1&strtype=%2").arg(typid).arg(categoryStrType(treeKind(), vehicleClass));
    const QString function = QStringLiteral("GetTreeCategories");
    const QByteArray answer = m_context.service->catalogAnswer(m_context.service->ListRequest(function, own));
    const QList<TCategoryRec> records =
        IsBlank(answer) ? QList<TCategoryRec>{} : valueOrEndAction(DecodeAnswer<TCategoryRec>(function, answer));
    LoadTreeText(m_TreeView1, categoryTreeLines(records), m_SpeedButton13->isChecked());
    return true;
}

void CategoryTrees::fillTradeGroupTree() {
    const QString function = QStringLiteral("GetListTradeGroupsForCar");
    const QString own = QStringLiteral("&typid=%1").arg(selectedTypid());
    const QByteArray answer = m_context.service->catalogAnswer(m_context.service->ListRequest(function, own));
    const QList<TTradeGroupRec> records =
        IsBlank(answer) ? QList<TTradeGroupRec>{} : valueOrEndAction(DecodeAnswer<TTradeGroupRec>(function, answer));
    LoadTreeText(m_TreeView2, tradeGroupLines(records), m_SpeedButton18->isChecked());
}

void CategoryTrees::ComboBox5Change() {
    if (!rebuildCategoryTree())
        return;
    QCoreApplication::processEvents();
    m_TreeView2->clear();
    // The vehicle may have gone while the window handled its events.
    if (selectedTypid() <= 0)
        return;
    fillTradeGroupTree();
    emit vehicleTreesBuilt();
}

void CategoryTrees::RadioButton6Click() {
    rebuildCategoryTree();
}

void CategoryTrees::RadioButton7Click() {
    RadioButton6Click();
}

void CategoryTrees::RadioButton8Click() {
    RadioButton6Click();
}

void CategoryTrees::SpeedButton13Click() {
    applySwitch(m_SpeedButton13, m_SpeedButton13, m_TreeView1);
}

void CategoryTrees::SpeedButton17Click() {
    applySwitch(m_SpeedButton17, m_SpeedButton13, m_TreeView1);
}

void CategoryTrees::SpeedButton18Click() {
    applySwitch(m_SpeedButton18, m_SpeedButton18, m_TreeView2);
}

void CategoryTrees::SpeedButton19Click() {
    applySwitch(m_SpeedButton19, m_SpeedButton18, m_TreeView2);
}

void CategoryTrees::TreeView1DblClick() {
    if (m_TreeView1->topLevelItemCount() == 0 || !m_TreeView1->currentItem())
        return;
    emit categoryChosen(nodeData(m_TreeView1->currentItem()));
}

void CategoryTrees::TreeView2DblClick() {
    if (m_TreeView2->topLevelItemCount() == 0 || !m_TreeView2->currentItem())
        return;
    emit tradeGroupChosen(nodeData(m_TreeView2->currentItem()));
}
