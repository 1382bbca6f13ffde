#include "app/main.h"

#include "catalog/categorytrees.h"
#include "catalog/productlist.h"
#include "vehicle/cascade.h"
#include "vehicle/garage.h"
#include "vehicle/numbersearch.h"
#include "vehicle/selectcar.h"

void TForm1::composeVehicle() {
    m_Form2 = new TForm2(this);

    connect(m_cascade, &VehicleCascade::viewsEmptied, m_trees, &CategoryTrees::ClearTrees);
    connect(m_cascade, &VehicleCascade::viewsEmptied, m_productList, &ProductList::ClearViews);
    connect(m_cascade, &VehicleCascade::engineTypeChanged, m_trees, &CategoryTrees::ComboBox5Change);
    connect(m_cascade, &VehicleCascade::vehicleSectionToggleRequested, this, &TForm1::Label14Click);

    const auto selectVehicle = [this](const TCarInfoRec& car) { m_cascade->SelectVehicleFromRecord(car); };
    m_numberSearch->setSelectVehicle(selectVehicle);
    m_numberSearch->setSelectCarDialog(m_Form2);
    m_garage->setSelectVehicle(selectVehicle);
    m_garage->setCurrentVehicle([this] {
        return SelectedVehicleTexts{m_cascade->ManufacturerText(), m_cascade->ModelText(), m_cascade->EngineText(),
                                    m_cascade->SelectedTypid()};
    });
}
