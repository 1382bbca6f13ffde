#include "vehicle/cascade.h"

#include <QLabel>
#include <QVBoxLayout>

VehicleCascade::VehicleCascade(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    buildUi(parent);
}

void VehicleCascade::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_widget->setObjectName(QStringLiteral("Panel10Body"));
    new QVBoxLayout(m_widget);
    m_Label13 = new QLabel(QStringLiteral("MANUFACTURER | MODEL | TYPE "), parent);
    m_Label13->setObjectName(QStringLiteral("Label13"));
    m_Label13->setWordWrap(true);
    m_Label13->setStyleSheet(QStringLiteral("background: red; color: yellow; font-weight: bold; padding: 4px;"));
}
