#pragma once

#include "service/records.h"
#include "vehicle/vehicleselection.h"

#include <QObject>

class QLabel;
class QListWidget;
class QToolButton;
class QWidget;
struct AppContext;

// "My garage": the saved vehicles.
class Garage : public QObject {
    Q_OBJECT
public:
    // The header (Label18) and the add button (SpeedButton2) sit in the frame of the left column.
    Garage(AppContext& context, QLabel* header, QToolButton* addButton, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    // The vehicle the add button saves: the cascade's latest.
    void setVehicle(const VehicleSelection& vehicle) { m_vehicle = vehicle; }

    void SpeedButton2Click();
    void ListBox4DblClick();
    void SpeedButton39Click();
    void SpeedButton40Click();

signals:
    // A saved vehicle is to be put into the cascade.
    void vehicleChosen(const TCarInfoRec& car);

private:
    void buildUi(QWidget* parent);
    void showCount();

    AppContext& m_context;
    QLabel* m_Label18;
    QToolButton* m_SpeedButton2;
    VehicleSelection m_vehicle;
    QWidget* m_widget = nullptr;
    QListWidget* m_ListBox4 = nullptr;
    QToolButton* m_SpeedButton39 = nullptr;
    QToolButton* m_SpeedButton40 = nullptr;
};
