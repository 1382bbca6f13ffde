#include "vehicle/numbersearch.h"

#include <QVBoxLayout>
#include <QWidget>

NumberSearch::NumberSearch(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    buildUi(parent);
}

void NumberSearch::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    new QVBoxLayout(m_widget);
}
