#pragma once

#include <QObject>

class QLabel;
class QWidget;
struct AppContext;

// The vehicle selection cascade: class radio buttons and the year, manufacturer, model and
// engine-type boxes of the "Selection vehicle" section, and the vehicle caption.
class VehicleCascade : public QObject {
    Q_OBJECT
public:
    VehicleCascade(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    // The caption at the foot of the left column (Label13).
    QLabel* captionLabel() const { return m_Label13; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    QWidget* m_widget = nullptr;
    QLabel* m_Label13 = nullptr;
};
