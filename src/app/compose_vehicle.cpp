#include "app/main.h"

#include "catalog/categorytrees.h"
#include "catalog/productlist.h"
#include "service/guard.h"
#include "vehicle/cascade.h"
#include "vehicle/garage.h"
#include "vehicle/numbersearch.h"
#include "vehicle/selectcar.h"

void TForm1::composeVehicle() {
    m_Form2 = new TForm2(this);

    // Every panel that needs the vehicle keeps the cascade's latest selection.
    connect(m_cascade, &VehicleCascade::vehicleChanged, m_trees, &CategoryTrees::setVehicle);
    connect(m_cascade, &VehicleCascade::vehicleChanged, m_productList, &ProductList::setVehicle);
    connect(m_cascade, &VehicleCascade::vehicleChanged, m_garage, &Garage::setVehicle);
    const VehicleSelection start = m_cascade->selection();
    m_trees->setVehicle(start);
    m_productList->setVehicle(start);
    m_garage->setVehicle(start);

    connect(m_cascade, &VehicleCascade::viewsEmptied, m_trees, &CategoryTrees::clearTrees);
    connect(m_cascade, &VehicleCascade::viewsEmptied, m_productList, &ProductList::clearViews);
    Dialogs& dialogs = *m_seams.dialogs;
    connectGuarded(dialogs, m_cascade, &VehicleCascade::engineTypeChanged, m_trees, &CategoryTrees::ComboBox5Change);
    connect(m_cascade, &VehicleCascade::vehicleSectionToggleRequested, this, &TForm1::Label14Click);

    connectGuarded(dialogs, m_numberSearch, &NumberSearch::vehicleChosen, m_cascade,
                   &VehicleCascade::SelectVehicleFromRecord);
    connect(m_numberSearch, &NumberSearch::severalVehiclesFound, m_Form2, &TForm2::showCandidates);
    connectGuarded(dialogs, m_Form2, &TForm2::kTypeChosen, m_numberSearch, &NumberSearch::searchChosenKType);
    connectGuarded(dialogs, m_garage, &Garage::vehicleChosen, m_cascade, &VehicleCascade::SelectVehicleFromRecord);
}
