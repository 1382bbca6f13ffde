#include "export/necessarybrandspanel.h"

#include "platform/formcontrols.h"
#include "platform/widgets.h"
#include "service/appcontext.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

NecessaryBrandsPanel::NecessaryBrandsPanel(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    buildUi(parent);
}

void NecessaryBrandsPanel::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_widget->setObjectName(QStringLiteral("Panel3"));
    auto* layout = new QVBoxLayout(m_widget);
    // Indented like the neighbouring panels, whose grids keep the style's margins.
    const int margin = m_widget->style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    layout->setContentsMargins(margin, 0, margin, 0);
    layout->setSpacing(0);
    // Heading and buttons fill exactly the collapsed height, so collapsed the check-list is out of sight.
    auto* head = new QWidget;
    head->setFixedHeight(kCollapsedHeight);
    auto* headLayout = new QVBoxLayout(head);
    headLayout->setContentsMargins(0, margin, 0, 0);
    headLayout->setSpacing(2);
    headLayout->addWidget(
        makeTitle(QStringLiteral("List brands [suplliers] of products only which need show in catalogs")));
    auto* buttons = new QHBoxLayout;
    m_SpeedButton27 = makeButton(QStringLiteral("SpeedButton27"), QStringLiteral("Show list that was saved"));
    m_SpeedButton29 = makeButton(QStringLiteral("SpeedButton29"), QStringLiteral("Clear list"));
    m_SpeedButton28 = makeButton(QStringLiteral("SpeedButton28"), QStringLiteral("Load new list"));
    m_SpeedButton26 = makeButton(QStringLiteral("SpeedButton26"), QStringLiteral("Resave changes"));
    for (QToolButton* b : {m_SpeedButton27, m_SpeedButton29, m_SpeedButton28, m_SpeedButton26})
        buttons->addWidget(b);
    headLayout->addLayout(buttons);
    headLayout->addStretch(1);
    layout->addWidget(head);
    m_CheckListBox3 = makeList(QStringLiteral("CheckListBox3"));
    // No minimum height of its own: the collapsed panel has no room for it.
    m_CheckListBox3->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    layout->addWidget(m_CheckListBox3, 1);
}

void NecessaryBrandsPanel::collapse() {
    m_widget->setFixedHeight(kCollapsedHeight);
}
