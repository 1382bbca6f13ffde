#pragma once

#include "service/records.h"
#include "vehicle/vehicleselection.h"

#include <QComboBox>
#include <QObject>

#include <optional>

class QLabel;
class QRadioButton;
class QWidget;
struct AppContext;

// A box that is filled anew each time its list opens: aboutToDropDown comes before the list shows.
class DropDownBox : public QComboBox {
    Q_OBJECT
public:
    DropDownBox(const QString& objectName, const QString& placeholder, QWidget* parent = nullptr);
    QString placeholder() const { return m_placeholder; }
    // No items, no selection, no text.
    void empty();
    // Empty, showing the placeholder.
    void reset();
    // The id of the selected item, when there is one.
    std::optional<int> selectedId() const;
    void showPopup() override;

signals:
    void aboutToDropDown();

private:
    QString m_placeholder;
};

// The vehicle selection cascade: class radio buttons and the year, manufacturer, model and
// engine-type boxes of the "Selection vehicle" section, and the vehicle caption.
class VehicleCascade : public QObject {
    Q_OBJECT
public:
    VehicleCascade(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    // The caption at the foot of the left column (Label13).
    QLabel* captionLabel() const { return m_Label13; }
    // The class buttons, then the four boxes from year to engine type.
    QList<QWidget*> tabChain() const;

    // The type id of the selected engine-type item; 0 when none is selected.
    int selectedTypid() const;
    // 0 all vehicles, 1 passengers, 2 trucks, 3 motorcycles.
    int vehicleClass() const;
    QString manufacturerText() const;
    QString modelText() const;
    QString engineText() const;
    // What the boxes show now; vehicleChanged tells each change.
    VehicleSelection selection() const;
    void setVehicleCaption();
    // Puts the vehicle into the manufacturer, model and engine boxes (one item each), opens the
    // vehicle section and builds the trees of the new type.
    void SelectVehicleFromRecord(const TCarInfoRec& car);

    void ComboBox8DropDown();
    void ComboBox7DropDown();
    void ComboBox6DropDown();
    void ComboBox5DropDown();
    void ComboBox8Change();
    void ComboBox7Change();
    void ComboBox6Change();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();

signals:
    // The selected engine type, the class or a box text changed; comes before engineTypeChanged.
    void vehicleChanged(const VehicleSelection& vehicle);
    // The category, trade-group and product trees and the brand list are to be emptied.
    void viewsEmptied();
    // The engine-type box changed: the trees of the new type are due.
    void engineTypeChanged();
    // As a click on the "Selection vehicle" header.
    void vehicleSectionToggleRequested();

private:
    void buildUi(QWidget* parent);
    void vehicleClassClicked();
    void announceVehicle();
    QString yearFilter() const;
    QString manufacturerFilter() const;
    QString modelFilter() const;
    QString classFilter() const;
    // Sends the request and fills the box with the records' texts and ids.
    template <class Rec, class Text, class Id>
    void fillBox(DropDownBox* box, const QString& function, const QString& own, Text text, Id id);

    AppContext& m_context;
    QWidget* m_widget = nullptr;
    QLabel* m_Label13 = nullptr;
    QRadioButton* m_RadioButton1 = nullptr;
    QRadioButton* m_RadioButton2 = nullptr;
    QRadioButton* m_RadioButton3 = nullptr;
    QRadioButton* m_RadioButton4 = nullptr;
    DropDownBox* m_ComboBox8 = nullptr;
    DropDownBox* m_ComboBox7 = nullptr;
    DropDownBox* m_ComboBox6 = nullptr;
    DropDownBox* m_ComboBox5 = nullptr;
    VehicleSelection m_announced;
};
