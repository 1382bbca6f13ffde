#include "vehicle/garage.h"

#include "platform/apppaths.h"
#include "platform/formcontrols.h"
#include "platform/widgets.h"
#include "service/appcontext.h"
#include "service/guard.h"
#include "service/listfiles.h"
#include "vehicle/carinfo.h"
#include "vehicle/vehicleline.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kTabStopDialogUnits = 30;

} // namespace

Garage::Garage(AppContext& context, QLabel* header, QToolButton* addButton, QWidget* parent)
    : QObject(parent), m_context(context), m_Label18(header), m_SpeedButton2(addButton) {
    setObjectName(QStringLiteral("Garage"));
    buildUi(parent);
}

void Garage::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    auto* row = new QHBoxLayout(m_widget);
    row->setContentsMargins(2, 2, 2, 2);
    auto* buttons = new QVBoxLayout;
    m_SpeedButton40 = makeButton(QStringLiteral("SpeedButton40"), QStringLiteral("X"));
    m_SpeedButton40->setToolTip(QStringLiteral("Delete selected line"));
    m_SpeedButton39 = makeButton(QStringLiteral("SpeedButton39"), QStringLiteral("XX"));
    m_SpeedButton39->setToolTip(QStringLiteral("Clean full list"));
    buttons->addWidget(m_SpeedButton40);
    buttons->addWidget(m_SpeedButton39);
    buttons->addStretch(1);
    row->addLayout(buttons);
    m_ListBox4 = makeList(QStringLiteral("ListBox4"));
    setTabStops(m_ListBox4, dialogUnitsToPixels(m_ListBox4, kTabStopDialogUnits));
    row->addWidget(m_ListBox4, 1);

    Dialogs& dialogs = *m_context.dialogs;
    connectGuarded(dialogs, m_SpeedButton2, &QToolButton::clicked, this, &Garage::SpeedButton2Click);
    connectGuarded(dialogs, m_SpeedButton39, &QToolButton::clicked, this, &Garage::SpeedButton39Click);
    connectGuarded(dialogs, m_SpeedButton40, &QToolButton::clicked, this, &Garage::SpeedButton40Click);
    connectGuarded(dialogs, m_ListBox4, &QListWidget::itemDoubleClicked, this, &Garage::ListBox4DblClick);
    // The keyboard's way to open a line and to delete one, with the same questions.
    connectGuarded(dialogs, new KeyWatcher(m_ListBox4, Qt::Key_Return), &KeyWatcher::pressed, this,
                   &Garage::ListBox4DblClick);
    connectGuarded(dialogs, new KeyWatcher(m_ListBox4, Qt::Key_Delete), &KeyWatcher::pressed, this,
                   &Garage::SpeedButton40Click);
}

void Garage::showCount() {
    m_Label18->setText(QStringLiteral("My garage [%1]").arg(m_ListBox4->count()));
}

void Garage::SpeedButton2Click() {
    if (m_vehicle.typid <= 0)
        return;
    const QString line = garageLine(m_vehicle.manufacturer, m_vehicle.model, m_vehicle.engine, m_vehicle.typid);
    if (findIgnoringCase(m_ListBox4, line) >= 0)
        return;
    insertSorted(m_ListBox4, line);
    showCount();
}

void Garage::ListBox4DblClick() {
    const QListWidgetItem* item = m_ListBox4->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString line = item->text();
    if (!m_context.dialogs->confirm(garageOpenQuestion(line), Confirmation::Routine))
        return;
    const int typid = garageLineTypid(line);
    if (typid <= 0)
        return;
    const QList<TCarInfoRec> cars = valueOrEndAction(requestCarInfo(*m_context.service, typid));
    if (!cars.isEmpty())
        emit vehicleChosen(cars.first());
}

void Garage::SpeedButton39Click() {
    if (m_ListBox4->count() == 0)
        return;
    if (!m_context.dialogs->confirm(QStringLiteral("Clean full list ???")))
        return;
    // Deleted at once: a garage the user emptied must not come back even if the program dies.
    QFile::remove(m_context.paths->programFile(QString::fromLatin1(ListFiles::kGarage)));
    m_ListBox4->clear();
    showCount();
}

void Garage::SpeedButton40Click() {
    const QListWidgetItem* item = m_ListBox4->currentItem();
    if (!item || !item->isSelected())
        return;
    if (!m_context.dialogs->confirm(QStringLiteral("Delete selected line ???")))
        return;
    delete m_ListBox4->takeItem(m_ListBox4->currentRow());
    showCount();
}
