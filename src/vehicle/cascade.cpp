#include "vehicle/cascade.h"

#include "platform/formcontrols.h"
#include "service/appcontext.h"
#include "service/decoder.h"
#include "service/guard.h"
#include "service/serviceclient.h"
#include "service/textfunctions.h"
#include "vehicle/vehicleline.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kVisibleItems = 30;
constexpr int kEngineListWidth = 600;
} // namespace

DropDownBox::DropDownBox(const QString& objectName, const QString& placeholder, QWidget* parent)
    : QComboBox(parent), m_placeholder(placeholder) {
    setObjectName(objectName);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(kVisibleItems);
    // Without a placeholder QComboBox selects the first item added to an empty box.
    setPlaceholderText(placeholder);
    lineEdit()->setPlaceholderText(placeholder);
    // A line longer than the box (an engine type) shows its start, where make and engine stand,
    // unless the user is typing in it.
    const auto showStart = [this] { lineEdit()->setCursorPosition(0); };
    connect(this, &QComboBox::currentIndexChanged, this, showStart);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this, showStart] {
        if (!hasFocus())
            showStart();
    });
    reset();
}

void DropDownBox::empty() {
    clear();
    setCurrentIndex(-1);
    setEditText(QString());
}

void DropDownBox::reset() {
    empty();
    setEditText(m_placeholder);
}

std::optional<int> DropDownBox::selectedId() const {
    if (currentIndex() < 0)
        return std::nullopt;
    return currentData().toInt();
}

void DropDownBox::showPopup() {
    emit aboutToDropDown();
    QComboBox::showPopup();
}

QList<QWidget*> VehicleCascade::tabChain() const {
    return {m_RadioButton1, m_RadioButton2, m_RadioButton3, m_RadioButton4,
            m_ComboBox8,    m_ComboBox7,    m_ComboBox6,    m_ComboBox5};
}

VehicleCascade::VehicleCascade(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    setObjectName(QStringLiteral("VehicleCascade"));
    buildUi(parent);
}

void VehicleCascade::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_widget->setObjectName(QStringLiteral("Panel10Body"));
    auto* layout = new QVBoxLayout(m_widget);
    layout->setContentsMargins(4, 4, 4, 4);
    m_RadioButton1 = makeRadio(QStringLiteral("RadioButton1"), QStringLiteral("All vehicles"));
    m_RadioButton2 = makeRadio(QStringLiteral("RadioButton2"), QStringLiteral("Only Passangers"));
    m_RadioButton3 = makeRadio(QStringLiteral("RadioButton3"), QStringLiteral("Only Trucks"));
    m_RadioButton4 = makeRadio(QStringLiteral("RadioButton4"), QStringLiteral("Only Motorcycles"));
    m_RadioButton1->setChecked(true);
    for (QRadioButton* radio : {m_RadioButton1, m_RadioButton2, m_RadioButton3, m_RadioButton4})
        layout->addWidget(radio);

    m_ComboBox8 = new DropDownBox(QStringLiteral("ComboBox8"), QStringLiteral("Year"));
    m_ComboBox7 = new DropDownBox(QStringLiteral("ComboBox7"), QStringLiteral("Manufacturer"));
    m_ComboBox6 = new DropDownBox(QStringLiteral("ComboBox6"), QStringLiteral("Model"));
    m_ComboBox5 = new DropDownBox(QStringLiteral("ComboBox5"), QStringLiteral("Engine"));
    for (DropDownBox* box : {m_ComboBox8, m_ComboBox7, m_ComboBox6, m_ComboBox5})
        layout->addWidget(box);
    layout->addStretch(1);

    m_Label13 = new QLabel(QStringLiteral("MANUFACTURER | MODEL | TYPE "), parent);
    m_Label13->setObjectName(QStringLiteral("Label13"));
    m_Label13->setWordWrap(true);
    m_Label13->setStyleSheet(QStringLiteral("background: red; color: yellow; font-weight: bold; padding: 4px;"));

    Dialogs& dialogs = *m_context.dialogs;
    connectGuarded(dialogs, m_RadioButton1, &QRadioButton::clicked, this, &VehicleCascade::RadioButton1Click);
    connectGuarded(dialogs, m_RadioButton2, &QRadioButton::clicked, this, &VehicleCascade::RadioButton2Click);
    connectGuarded(dialogs, m_RadioButton3, &QRadioButton::clicked, this, &VehicleCascade::RadioButton3Click);
    connectGuarded(dialogs, m_RadioButton4, &QRadioButton::clicked, this, &VehicleCascade::RadioButton4Click);
    connectGuarded(dialogs, m_ComboBox8, &DropDownBox::aboutToDropDown, this, &VehicleCascade::ComboBox8DropDown);
    connectGuarded(dialogs, m_ComboBox7, &DropDownBox::aboutToDropDown, this, &VehicleCascade::ComboBox7DropDown);
    connectGuarded(dialogs, m_ComboBox6, &DropDownBox::aboutToDropDown, this, &VehicleCascade::ComboBox6DropDown);
    connectGuarded(dialogs, m_ComboBox5, &DropDownBox::aboutToDropDown, this, &VehicleCascade::ComboBox5DropDown);
    // activated comes from the user only, so filling and SelectVehicleFromRecord run no change.
    connectGuarded(dialogs, m_ComboBox8, &QComboBox::activated, this, &VehicleCascade::ComboBox8Change);
    connectGuarded(dialogs, m_ComboBox7, &QComboBox::activated, this, &VehicleCascade::ComboBox7Change);
    connectGuarded(dialogs, m_ComboBox6, &QComboBox::activated, this, &VehicleCascade::ComboBox6Change);
    connectGuarded(dialogs, m_ComboBox5, &QComboBox::activated, this, &VehicleCascade::engineTypeChanged);
    // Whatever changes a box (the user, a list filled anew, a found vehicle) is announced at once.
    for (DropDownBox* box : {m_ComboBox7, m_ComboBox6, m_ComboBox5}) {
        connect(box, &QComboBox::currentIndexChanged, this, &VehicleCascade::announceVehicle);
        connect(box, &QComboBox::editTextChanged, this, &VehicleCascade::announceVehicle);
    }
    for (QRadioButton* radio : {m_RadioButton1, m_RadioButton2, m_RadioButton3, m_RadioButton4})
        connect(radio, &QRadioButton::toggled, this, &VehicleCascade::announceVehicle);
    m_announced = selection();
}

VehicleSelection VehicleCascade::selection() const {
    return VehicleSelection{selectedTypid(), vehicleClass(), manufacturerText(), modelText(), engineText()};
}

void VehicleCascade::announceVehicle() {
    const VehicleSelection now = selection();
    if (now == m_announced)
        return;
    m_announced = now;
    emit vehicleChanged(now);
}

int VehicleCascade::selectedTypid() const {
    return m_ComboBox5->selectedId().value_or(0);
}

int VehicleCascade::vehicleClass() const {
    if (m_RadioButton2->isChecked())
        return 1;
    if (m_RadioButton3->isChecked())
        return 2;
    if (m_RadioButton4->isChecked())
        return 3;
    return 0;
}

QString VehicleCascade::manufacturerText() const {
    return m_ComboBox7->currentText();
}
QString VehicleCascade::modelText() const {
    return m_ComboBox6->currentText();
}
QString VehicleCascade::engineText() const {
    return m_ComboBox5->currentText();
}

void VehicleCascade::setVehicleCaption() {
    m_Label13->setText(manufacturerText() + QLatin1String(" | ") + modelText() + QLatin1String(" | ") + engineText());
}

QString VehicleCascade::yearFilter() const {
    const auto year = m_ComboBox8->selectedId();
    return year ? QLatin1String("&year=") + QString::number(*year) : QString();
}

QString VehicleCascade::manufacturerFilter() const {
    const auto mfaid = m_ComboBox7->selectedId();
    return mfaid ? QLatin1String("&mfaid=") + QString::number(*mfaid) : QString();
}

QString VehicleCascade::modelFilter() const {
    const auto modid = m_ComboBox6->selectedId();
    return modid ? QLatin1String("&modid=") + QString::number(*modid) : QString();
}

QString VehicleCascade::classFilter() const {
    const int only = vehicleClass();
    return only > 0 ? QLatin1String("&only=") + QString::number(only) : QString();
}

template <class Rec, class Text, class Id>
void VehicleCascade::fillBox(DropDownBox* box, const QString& function, const QString& own, Text text, Id id) {
    ServiceClient& service = *m_context.service;
    const QString answer = service.CatalogRequest(service.ListRequest(function, own));
    if (!IsBlank(answer))
        for (const Rec& r : valueOrEndAction(DecodeAnswer<Rec>(function, answer)))
            box->addItem(text(r), id(r));
    if (box->count() == 0)
        box->setEditText(box->placeholder());
}

void VehicleCascade::ComboBox8DropDown() {
    m_ComboBox8->empty();
    fillBox<TYearRec>(
        m_ComboBox8, QStringLiteral("GetListYears"), QString(),
        [](const TYearRec& r) { return QString::number(r.year); }, [](const TYearRec& r) { return r.year; });
}

void VehicleCascade::ComboBox7DropDown() {
    const QString own = yearFilter() + classFilter();
    m_ComboBox7->empty();
    fillBox<TManufacturerRec>(
        m_ComboBox7, QStringLiteral("getManufacturers"), own, [](const TManufacturerRec& r) { return r.brand; },
        [](const TManufacturerRec& r) { return r.mfaid; });
}

void VehicleCascade::ComboBox6DropDown() {
    const QString own = yearFilter() + manufacturerFilter() + classFilter();
    m_ComboBox6->empty();
    fillBox<TModelRec>(
        m_ComboBox6, QStringLiteral("getModels"), own, [](const TModelRec& r) { return modelLine(r); },
        [](const TModelRec& r) { return r.modid; });
}

void VehicleCascade::ComboBox5DropDown() {
    const QString own = yearFilter() + modelFilter() + classFilter();
    m_ComboBox5->empty();
    m_ComboBox5->view()->setMinimumWidth(kEngineListWidth);
    fillBox<TTypeRec>(
        m_ComboBox5, QStringLiteral("getTypes"), own, [](const TTypeRec& r) { return VehicleLine(r); },
        [](const TTypeRec& r) { return r.typid; });
    emit viewsEmptied();
}

void VehicleCascade::ComboBox8Change() {
    for (DropDownBox* box : {m_ComboBox7, m_ComboBox6, m_ComboBox5})
        box->reset();
    emit viewsEmptied();
}

void VehicleCascade::ComboBox7Change() {
    for (DropDownBox* box : {m_ComboBox6, m_ComboBox5})
        box->reset();
    emit viewsEmptied();
    setVehicleCaption();
}

void VehicleCascade::ComboBox6Change() {
    m_ComboBox5->reset();
    emit viewsEmptied();
    setVehicleCaption();
}

void VehicleCascade::RadioButton1Click() {
    vehicleClassClicked();
}
void VehicleCascade::RadioButton2Click() {
    vehicleClassClicked();
}
void VehicleCascade::RadioButton3Click() {
    vehicleClassClicked();
}
void VehicleCascade::RadioButton4Click() {
    vehicleClassClicked();
}

void VehicleCascade::vehicleClassClicked() {
    for (DropDownBox* box : {m_ComboBox8, m_ComboBox7, m_ComboBox6, m_ComboBox5})
        box->reset();
    emit viewsEmptied();
}

void VehicleCascade::SelectVehicleFromRecord(const TCarInfoRec& car) {
    const auto put = [](DropDownBox* box, const QString& text, int id) {
        box->clear();
        box->addItem(text, id);
        box->setCurrentIndex(0);
    };
    put(m_ComboBox7, car.brand, car.mfaid);
    put(m_ComboBox6, car.modelcar, car.modid);
    put(m_ComboBox5, VehicleLine(car), car.typid);
    emit vehicleSectionToggleRequested();
    emit engineTypeChanged();
}
