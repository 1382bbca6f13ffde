#include "pricelists/freecatalogue.h"
#include "pricelists/pricelistspanel.h"

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/httpexchange.h"
#include "platform/widgets.h"
#include "platform/worker.h"
#include "service/appcontext.h"
#include "service/endpoints.h"

#include <QLineEdit>

namespace {

// Start-up waits for the catalogue; a server that trickles may not hold it longer.
constexpr int kCatalogueFetchSeconds = 30;
constexpr qsizetype kLongCatalogueBytes = 256 * 1024;

// The selected item of a list that is not empty; null otherwise.
const QListWidgetItem* selectedItem(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return list->count() > 0 && item && item->isSelected() ? item : nullptr;
}

} // namespace

void PriceListsPanel::FetchFreePriceLists() {
    m_ListBox6->clear();
    HttpOptions options;
    options.deadlineSeconds = kCatalogueFetchSeconds;
    const HttpResult answer = HttpGet(m_context.endpoints->siteUrl + QLatin1String(kFreeCataloguePath), options);
    if (!answer.completed || !answer.ok())
        return;
    // Sorted as a whole and put in at once: one item at a time took minutes for long catalogues.
    m_ListBox6->addItems(awaitResultOnWorkerIf(answer.body.size() >= kLongCatalogueBytes,
                                               [&] { return sortedLikeInsertSorted(CatalogueItems(answer.body)); }));
}

void PriceListsPanel::SpeedButton58Click() {
    FetchFreePriceLists();
}

void PriceListsPanel::ListBox6DblClick() {
    const QListWidgetItem* item = selectedItem(m_ListBox6);
    if (!item)
        return;
    if (m_context.dialogs->confirm(TestLinkQuestion(item->text()), Confirmation::Routine))
        m_context.desktop->open(CatalogueTag(item->text(), QStringLiteral("url")));
}

void PriceListsPanel::SpeedButton57Click() {
    const QListWidgetItem* item = selectedItem(m_ListBox6);
    if (!item)
        return;
    const QString entry = item->text();
    m_Edit12->setText(CatalogueTag(entry, QStringLiteral("url")));
    SpeedButton48Click();
    const std::pair<QLineEdit*, const char*> boxes[] = {
        {m_Edit9, "addbrand"}, {m_Edit10, "addreference"}, {m_Edit11, "addprice"}};
    for (const auto& [box, tag] : boxes)
        box->setText(WithColumnTitle(box->text(), CatalogueTag(entry, QString::fromLatin1(tag))));
}

void PriceListsPanel::SpeedButton52Click() {
    m_context.desktop->open(
        ListingRequestAddress(m_context.endpoints->siteUrl, m_listingSender ? m_listingSender() : QString()));
}
