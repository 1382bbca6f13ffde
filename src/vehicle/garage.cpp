#include "vehicle/garage.h"

#include "platform/formcontrols.h"
#include "platform/widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

Garage::Garage(AppContext& context, QLabel* header, QToolButton* addButton, QWidget* parent)
    : QObject(parent), m_context(context), m_Label18(header), m_SpeedButton2(addButton) {
    buildUi(parent);
}

void Garage::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    auto* row = new QHBoxLayout(m_widget);
    row->setContentsMargins(2, 2, 2, 2);
    auto* buttons = new QVBoxLayout;
    m_SpeedButton40 = makeButton(QStringLiteral("SpeedButton40"), QStringLiteral("X"));
    m_SpeedButton40->setToolTip(QStringLiteral("Delete selected line"));
    m_SpeedButton39 = makeButton(QStringLiteral("SpeedButton39"), QStringLiteral("XX"));
    m_SpeedButton39->setToolTip(QStringLiteral("Clean full list"));
    buttons->addWidget(m_SpeedButton40);
    buttons->addWidget(m_SpeedButton39);
    buttons->addStretch(1);
    row->addLayout(buttons);
    m_ListBox4 = makeList(QStringLiteral("ListBox4"));
    row->addWidget(m_ListBox4, 1);
}
