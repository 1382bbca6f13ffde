#include "export/necessarybrandspanel.h"

#include "platform/formcontrols.h"
#include "platform/widgets.h"
#include "service/appcontext.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

NecessaryBrandsPanel::NecessaryBrandsPanel(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    buildUi(parent);
}

void NecessaryBrandsPanel::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_widget->setObjectName(QStringLiteral("Panel3"));
    auto* layout = new QVBoxLayout(m_widget);
    // Collapsed, the panel is only 75 pixels high: heading and buttons must fit.
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(makeTitle(QStringLiteral("List brands [suplliers] of products only which need show in catalogs")));
    auto* buttons = new QHBoxLayout;
    m_SpeedButton27 = makeButton(QStringLiteral("SpeedButton27"), QStringLiteral("Show list that was saved"));
    m_SpeedButton29 = makeButton(QStringLiteral("SpeedButton29"), QStringLiteral("Clear list"));
    m_SpeedButton28 = makeButton(QStringLiteral("SpeedButton28"), QStringLiteral("Load new list"));
    m_SpeedButton26 = makeButton(QStringLiteral("SpeedButton26"), QStringLiteral("Resave changes"));
    for (QToolButton* b : {m_SpeedButton27, m_SpeedButton29, m_SpeedButton28, m_SpeedButton26})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    m_CheckListBox3 = makeList(QStringLiteral("CheckListBox3"));
    layout->addWidget(m_CheckListBox3, 1);
}

void NecessaryBrandsPanel::collapse() { m_widget->setFixedHeight(kCollapsedHeight); }
