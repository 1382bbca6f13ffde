#pragma once

#include "service/records.h"

#include <QObject>

#include <functional>

class QLabel;
class QListWidget;
class QToolButton;
class QWidget;
struct AppContext;

// What the garage saves of the selected vehicle: the three box texts and the type id.
struct SelectedVehicleTexts {
    QString manufacturer, model, engine;
    int typid = 0;
};

// "My garage": the saved vehicles.
class Garage : public QObject {
    Q_OBJECT
public:
    using CurrentVehicle = std::function<SelectedVehicleTexts()>;
    using SelectVehicle = std::function<void(const TCarInfoRec&)>;

    // The header (Label18) and the add button (SpeedButton2) sit in the frame of the left column.
    Garage(AppContext& context, QLabel* header, QToolButton* addButton, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    void setCurrentVehicle(CurrentVehicle currentVehicle) { m_currentVehicle = std::move(currentVehicle); }
    void setSelectVehicle(SelectVehicle selectVehicle) { m_selectVehicle = std::move(selectVehicle); }

    void SpeedButton2Click();
    void ListBox4DblClick();
    void SpeedButton39Click();
    void SpeedButton40Click();

private:
    void buildUi(QWidget* parent);
    void showCount();

    AppContext& m_context;
    QLabel* m_Label18;
    QToolButton* m_SpeedButton2;
    CurrentVehicle m_currentVehicle;
    SelectVehicle m_selectVehicle;
    QWidget* m_widget = nullptr;
    QListWidget* m_ListBox4 = nullptr;
    QToolButton* m_SpeedButton39 = nullptr;
    QToolButton* m_SpeedButton40 = nullptr;
};
