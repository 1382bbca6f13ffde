#include "app/main.h"

#include "catalog/categorytrees.h"
#include "catalog/productlist.h"
#include "service/guard.h"
#include "vehicle/cascade.h"
#include "vehicle/garage.h"
#include "vehicle/numbersearch.h"
#include "vehicle/selectcar.h"

void TForm1::composeVehicle() {
    Dialogs& dialogs = *m_seams.dialogs;
    connect(m_cascade, &VehicleCascade::vehicleChanged, m_garage, &Garage::setVehicle);
    m_garage->setVehicle(m_cascade->selection());
    // An engine type lists its categories on the catalog page, built for it if need be.
    connect(m_cascade, &VehicleCascade::engineTypeChanged, this, [this, &dialogs] {
        runGuarded(dialogs, [this] {
            ensureCatalogPage();
            m_trees->ComboBox5Change();
        });
    });
    connect(m_cascade, &VehicleCascade::vehicleSectionToggleRequested, this, &TForm1::Label14Click);
    connectGuarded(dialogs, m_garage, &Garage::vehicleChosen, m_cascade, &VehicleCascade::SelectVehicleFromRecord);
}

void TForm1::composeVehicleSearch() {
    m_Form2 = new TForm2(this);

    // Every panel that needs the vehicle keeps the cascade's latest selection.
    connect(m_cascade, &VehicleCascade::vehicleChanged, m_trees, &CategoryTrees::setVehicle);
    connect(m_cascade, &VehicleCascade::vehicleChanged, m_productList, &ProductList::setVehicle);
    const VehicleSelection start = m_cascade->selection();
    m_trees->setVehicle(start);
    m_productList->setVehicle(start);

    connect(m_cascade, &VehicleCascade::viewsEmptied, m_trees, &CategoryTrees::clearTrees);
    connect(m_cascade, &VehicleCascade::viewsEmptied, m_productList, &ProductList::clearViews);
    Dialogs& dialogs = *m_seams.dialogs;
    connectGuarded(dialogs, m_numberSearch, &NumberSearch::vehicleChosen, m_cascade,
                   &VehicleCascade::SelectVehicleFromRecord);
    connect(m_numberSearch, &NumberSearch::severalVehiclesFound, m_Form2, &TForm2::showCandidates);
    connectGuarded(dialogs, m_Form2, &TForm2::kTypeChosen, m_numberSearch, &NumberSearch::searchChosenKType);
}
