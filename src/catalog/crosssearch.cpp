#include "catalog/crosssearch.h"

#include "catalog/treetext.h"
#include "platform/widgets.h"
#include "platform/worker.h"
#include "service/appcontext.h"
#include "service/decoder.h"
#include "service/guard.h"
#include "service/serviceclient.h"
#include "service/textfunctions.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <QWidget>

CrossSearch::CrossSearch(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    setObjectName(QStringLiteral("CrossSearch"));
    buildUi(parent);
}

void CrossSearch::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_widget->setObjectName(QStringLiteral("BYCROSSREFERENCE"));
    auto* page = new QVBoxLayout(m_widget);
    page->setContentsMargins(0, 0, 0, 0);
    m_Label19 = new QLabel(QStringLiteral("BY CROSS REFERENCE \"\""));
    m_Label19->setObjectName(QStringLiteral("Label19"));
    m_ListBox3 = new QListWidget;
    m_ListBox3->setObjectName(QStringLiteral("ListBox3"));
    setTabStops(m_ListBox3, dialogUnitsToPixels(m_ListBox3, 100));
    m_ListBox3->installEventFilter(this);
    page->addWidget(m_Label19);
    page->addWidget(m_ListBox3, 1);

    m_searchWidget = new QWidget(parent);
    auto* search = new QVBoxLayout(m_searchWidget);
    search->setContentsMargins(0, 0, 0, 0);
    m_ComboBox1 = new QComboBox;
    m_ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    makeSearchHistoryBox(m_ComboBox1, QStringLiteral("Cross reference number"));
    QFont large = m_ComboBox1->font();
    large.setBold(true);
    large.setPointSize(large.pointSize() + 4);
    m_ComboBox1->setFont(large);
    m_ComboBox1->setStyleSheet(QStringLiteral("QComboBox { background: #ffffe1; }"));
    watchSearchHistoryBoxKeys(m_ComboBox1, this);
    search->addWidget(m_ComboBox1);

    connectGuarded(*m_context.dialogs, m_ListBox3, &QListWidget::itemDoubleClicked, this,
                   &CrossSearch::ListBox3DblClick);
}

bool CrossSearch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == m_ListBox3) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (isEnterKey(key)) {
            runGuarded(*m_context.dialogs, [&] { ListBox3KeyPress(key); });
            return true;
        }
    }
    if (isSearchHistoryBoxEnter(m_ComboBox1, watched, event)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        runGuarded(*m_context.dialogs, [&] { ComboBox1KeyPress(key); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CrossSearch::ComboBox1KeyPress(int key) {
    if (!isEnterKey(key))
        return;
    const QString word = Trim(m_ComboBox1->currentText());
    if (word.isEmpty())
        return;
    emit searchResultsRequested();
    m_Label19->setText(QStringLiteral("BY CROSS REFERENCE \"") + word + QLatin1Char('"'));
    m_ListBox3->clear();
    const QString function = QStringLiteral("getSearchByCrossref");
    const QByteArray answer = m_context.service->catalogAnswer(
        m_context.service->KeyRequest(function, QStringLiteral("search=") + PathEncode(word)));
    if (!IsBlank(answer)) {
        for (const TCrossHitRec& hit : valueOrEndAction(DecodeAnswer<TCrossHitRec>(function, answer))) {
            auto* item =
                new QListWidgetItem(hit.brand + QLatin1Char('\t') + hit.reference + QLatin1Char('\t') + hit.name);
            // The follow-up request's parameters, the reference exactly as the service gave it.
            item->setData(Qt::UserRole, QStringLiteral("&braid=%1&search=").arg(hit.braid) + hit.reference);
            item->setToolTip(item->text().replace(QLatin1Char('\t'), QStringLiteral("   ")));
            m_ListBox3->addItem(item);
        }
    }
    if (m_ListBox3->count() == 0) {
        // No matches is said by the empty list; a service that did not answer is not that.
        if (m_context.service->lastCatalogExchangeFailed())
            m_context.dialogs->information(QString::fromLatin1(kCatalogNoAnswer));
        return;
    }
    emit catalogPageRequested();
    m_ListBox3->setCurrentRow(0);
    m_ListBox3->setFocus();
    m_ListBox3->scrollToBottom();
    addToSearchHistory(m_ComboBox1, word);
}

void CrossSearch::ListBox3DblClick() {
    QListWidgetItem* item = m_ListBox3->currentItem();
    if (m_ListBox3->count() == 0 || !item || !item->isSelected())
        return;
    const QString lineData = item->data(Qt::UserRole).toString();
    emit listingStarted();
    const QString function = QStringLiteral("GetSearchByCrossrefAndBrand");
    const QByteArray answer = m_context.service->catalogAnswer(m_context.service->ListRequest(function, lineData));
    if (IsBlank(answer)) {
        if (m_context.service->lastCatalogExchangeFailed())
            m_context.dialogs->information(QString::fromLatin1(kCatalogNoAnswer));
        return;
    }
    emit productsListed(awaitResultOnWorkerIf(answer.size() >= kLongAnswerBytes, [&] {
        return productsFromAnswer(valueOrEndAction(DecodeAnswer<TCrossSearchRec>(function, answer)));
    }));
}

void CrossSearch::ListBox3KeyPress(int key) {
    if (isEnterKey(key))
        ListBox3DblClick();
}
