#pragma once

#include <QString>

// What the vehicle cascade shows: the selected engine type, the vehicle class and the texts of
// the manufacturer, model and engine boxes. Panels that need the vehicle keep the latest one.
struct VehicleSelection {
    // The type id of the selected engine-type item; 0 when none is selected.
    int typid = 0;
    // 0 all vehicles, 1 passengers, 2 trucks, 3 motorcycles.
    int vehicleClass = 0;
    QString manufacturer;
    QString model;
    QString engine;

    bool operator==(const VehicleSelection&) const = default;
};
