#pragma once

#include "service/records.h"
#include "vehicle/vehicleselection.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QListWidget;
class QToolButton;
class QWidget;
struct AppContext;

// "My garage": the saved vehicles.
class Garage : public QObject {
    Q_OBJECT
public:
    Garage(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    // "Add selected car in MY GARAGE", for the foot of the left column.
    QWidget* addButton() const;
    // The add button is offered only while the vehicle can be seen.
    void showAddButton(bool shown);
    QList<QWidget*> tabChain() const;
    // The saved lines as the garage file holds them; set replaces them and sorts.
    QStringList lines() const;
    void setLines(const QStringList& lines);
    // The vehicle the add button saves: the cascade's latest.
    void setVehicle(const VehicleSelection& vehicle) { m_vehicle = vehicle; }

    void SpeedButton2Click();
    void ListBox4DblClick();
    void SpeedButton39Click();
    void SpeedButton40Click();

signals:
    // A saved vehicle is to be put into the cascade.
    void vehicleChosen(const TCarInfoRec& car);
    // The section's header text, "My garage [3]", after the lines were loaded or changed.
    void captionChanged(const QString& caption);

private:
    void buildUi(QWidget* parent);
    void showCount();

    AppContext& m_context;
    VehicleSelection m_vehicle;
    QToolButton* m_SpeedButton2 = nullptr;
    QWidget* m_widget = nullptr;
    QListWidget* m_ListBox4 = nullptr;
    QToolButton* m_SpeedButton39 = nullptr;
    QToolButton* m_SpeedButton40 = nullptr;
};
