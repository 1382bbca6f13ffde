#include "vehicle/numbersearch.h"

#include "platform/widgets.h"
#include "service/appcontext.h"
#include "service/decoder.h"
#include "service/guard.h"
#include "service/serviceclient.h"
#include "service/textfunctions.h"
#include "vehicle/carinfo.h"
#include "vehicle/selectcar.h"
#include "vehicle/vehicleline.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <QWidget>

namespace {

const QString kEmpty = QStringLiteral("Search word is empty !!!");

QComboBox* makeNumberBox(const QString& objectName, const QString& text) {
    auto* box = new QComboBox;
    box->setObjectName(objectName);
    makeSearchHistoryBox(box, text);
    return box;
}

} // namespace

NumberSearch::NumberSearch(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    setObjectName(QStringLiteral("NumberSearch"));
    buildUi(parent);
}

void NumberSearch::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    auto* layout = new QVBoxLayout(m_widget);
    layout->setContentsMargins(2, 2, 2, 2);
    m_ComboBox4 = makeNumberBox(QStringLiteral("ComboBox4"), QStringLiteral("K-type number"));
    m_ComboBox3 = makeNumberBox(QStringLiteral("ComboBox3"), QStringLiteral("KBA number"));
    m_ComboBox2 = makeNumberBox(QStringLiteral("ComboBox2"), QStringLiteral("MIME number"));
    const std::pair<const char*, QComboBox*> rows[] = {{"search by KTYPE NUMBER", m_ComboBox4},
                                                       {"search by KBA NUMBER", m_ComboBox3},
                                                       {"search by MIME NUMBER", m_ComboBox2}};
    for (const auto& [caption, box] : rows) {
        layout->addWidget(new QLabel(QString::fromLatin1(caption)));
        layout->addWidget(box);
        watchSearchHistoryBoxKeys(box, this);
    }
}

void NumberSearch::setSelectCarDialog(TForm2* dialog) {
    m_Form2 = dialog;
    connect(dialog, &TForm2::kTypeChosen, this, [this](const QString& ktype) {
        m_ComboBox4->setEditText(ktype);
        runGuarded(*m_context.dialogs, [this] { searchKType(m_ComboBox4); });
    });
}

bool NumberSearch::eventFilter(QObject* watched, QEvent* event) {
    for (QComboBox* box : {m_ComboBox4, m_ComboBox3, m_ComboBox2}) {
        if (!isSearchHistoryBoxEnter(box, watched, event))
            continue;
        const int key = static_cast<QKeyEvent*>(event)->key();
        runGuarded(*m_context.dialogs, [&] {
            if (box == m_ComboBox4)
                ComboBox4KeyPress(key);
            else if (box == m_ComboBox3)
                ComboBox3KeyPress(key);
            else
                ComboBox2KeyPress(key);
        });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void NumberSearch::ComboBox4KeyPress(int key) {
    if (isEnterKey(key))
        searchKType(m_ComboBox4);
}

void NumberSearch::ComboBox3KeyPress(int key) {
    if (!isEnterKey(key))
        return;
    const QString number = Trim(m_ComboBox3->currentText());
    if (number.size() < 7) {
        m_context.dialogs->information(QStringLiteral("Search word is empty or value is less 7 symbols !!!"));
        return;
    }
    searchTypids(m_ComboBox3, {QStringLiteral("getSearchKBA"), QStringLiteral("kba"),
                               QStringLiteral("Car with set KBA number is not found !!!")});
}

void NumberSearch::ComboBox2KeyPress(int key) {
    if (!isEnterKey(key))
        return;
    if (Trim(m_ComboBox2->currentText()).isEmpty()) {
        m_context.dialogs->information(kEmpty);
        return;
    }
    searchTypids(m_ComboBox2, {QStringLiteral("getSearchMIME"), QStringLiteral("mime"),
                               QStringLiteral("Car with set MIME number is not found !!!")});
}

void NumberSearch::searchKType(QComboBox* box) {
    const QString text = Trim(box->currentText());
    if (text.isEmpty()) {
        m_context.dialogs->information(kEmpty);
        return;
    }
    const int typid = parseKType(text);
    if (typid <= 0) {
        m_context.dialogs->information(QStringLiteral("Need set true value !!!"));
        return;
    }
    const QList<TCarInfoRec> cars = valueOrEndAction(requestCarInfo(*m_context.service, typid));
    if (cars.isEmpty()) {
        notFound(QStringLiteral("Car with set k-type value is not found !!!"));
        return;
    }
    emit vehicleChosen(cars.first());
    remember(box, text);
}

void NumberSearch::searchTypids(QComboBox* box, const NumberKind& kind) {
    const QString number = Trim(box->currentText());
    ServiceClient& service = *m_context.service;
    const QString answer =
        service.CatalogRequest(service.KeyRequest(kind.function, kind.key + QLatin1Char('=') + PathEncode(number)));
    const QList<TTypidRec> typids =
        IsBlank(answer) ? QList<TTypidRec>() : valueOrEndAction(DecodeAnswer<TTypidRec>(kind.function, answer));
    if (typids.isEmpty()) {
        notFound(kind.notFound);
        return;
    }
    if (typids.size() == 1) {
        // A number whose one vehicle cannot be fetched counts as not found.
        const QList<TCarInfoRec> cars = valueOrEndAction(requestCarInfo(service, typids.first().typid));
        if (cars.isEmpty()) {
            notFound(kind.notFound);
            return;
        }
        emit vehicleChosen(cars.first());
        remember(box, number);
        return;
    }
    remember(box, number);
    if (!m_Form2)
        return;
    m_Form2->clearLines();
    bool unanswered = false;
    for (const TTypidRec& hit : typids) {
        const QList<TCarInfoRec> cars = valueOrEndAction(requestCarInfo(service, hit.typid));
        unanswered = unanswered || service.lastCatalogExchangeFailed();
        if (!cars.isEmpty())
            m_Form2->addLine(candidateLine(cars.first()));
    }
    // An empty list of candidates would only hide that the service stopped answering.
    if (unanswered && m_Form2->list()->count() == 0) {
        m_context.dialogs->information(QString::fromLatin1(kCatalogNoAnswer));
        return;
    }
    m_Form2->show();
    m_Form2->list()->setFocus();
}

void NumberSearch::notFound(const QString& message) {
    // An exchange that failed found nothing because it searched nothing.
    m_context.dialogs->information(
        m_context.service->lastCatalogExchangeFailed() ? QString::fromLatin1(kCatalogNoAnswer) : message);
}

void NumberSearch::remember(QComboBox* box, const QString& number) {
    if (box->findText(number, Qt::MatchFixedString) >= 0) // letter case ignored
        return;
    // The box keeps what the user typed; adding must not replace it.
    const QString shown = box->currentText();
    box->addItem(number);
    box->setEditText(shown);
}
