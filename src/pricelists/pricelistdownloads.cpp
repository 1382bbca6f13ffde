#include "pricelists/downloadnaming.h"
#include "pricelists/pricelistfolder.h"
#include "pricelists/pricelistspanel.h"

#include "platform/dialogs.h"
#include "platform/transfer.h"
#include "platform/widgets.h"
#include "service/appcontext.h"
#include "service/errors.h"
#include "service/guard.h"
#include "service/textfunctions.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScopeGuard>
#include <QToolButton>
#include <limits>

namespace {

constexpr int kCatalogueTabStop = 60;

bool beginsWithAllowedProtocol(const QString& link) {
    return link.startsWith(QLatin1String("http")) || link.startsWith(QLatin1String("ftp")) ||
           link.startsWith(QLatin1String("sftp"));
}

} // namespace

void PriceListsPanel::connectDownloads() {
    setTabStops(m_ListBox6, dialogUnitsToPixels(m_ListBox6, kCatalogueTabStop));
    connect(m_SpeedButton50, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton50Click);
    connect(m_SpeedButton48, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton48Click);
    connect(m_Edit12, &QLineEdit::returnPressed, this, &PriceListsPanel::SpeedButton48Click);
    connect(m_SpeedButton24, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton24Click);
    connect(m_ListBox5, &QListWidget::itemDoubleClicked, this, &PriceListsPanel::ListBox5DblClick);
    connect(m_SpeedButton58, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton58Click);
    connect(m_ListBox6, &QListWidget::itemDoubleClicked, this, &PriceListsPanel::ListBox6DblClick);
    connect(m_SpeedButton57, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton57Click);
    connect(m_SpeedButton52, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton52Click);
}

QString PriceListsPanel::downloadFolder() const {
    return PriceListFolder::Folder(m_Edit8->text());
}

void PriceListsPanel::SpeedButton50Click() {
    if (downloadFolder().isEmpty() || !m_CheckBox7->isChecked() || m_ListBox5->count() == 0)
        return;
    if (!m_context.dialogs->confirm(
            QStringLiteral("Automatically re-download files according directly link(s) that is in your list ?")))
        return;
    const QStringList links = itemTexts(m_ListBox5);
    const bool finished = runGuarded(*m_context.dialogs, [&] {
        m_Label53->show();
        m_downloadProgress->show();
        const auto hideProgress = qScopeGuard([this] {
            m_Label53->hide();
            m_downloadProgress->hide();
        });
        for (qsizetype k = 0; k < links.size(); ++k) {
            m_Label53->setText(QStringLiteral("download %1/%2 : [%3]").arg(k + 1).arg(links.size()).arg(links.at(k)));
            m_downloadProgress->setRange(0, 0);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            DownloadPriceList(links.at(k));
        }
    });
    if (finished)
        CheckPriceListFolder();
}

void PriceListsPanel::DownloadPriceList(const QString& link) {
    const QString folder = downloadFolder();
    const QString name = DownloadFileName(link, itemTexts(m_ListBox6));
    if (folder.isEmpty() || IsBlank(name))
        return;
    DownloadOptions options;
    options.progress = [this](qint64 received, qint64 total) {
        if (total > 0 && total <= std::numeric_limits<int>::max()) {
            m_downloadProgress->setRange(0, int(total));
            m_downloadProgress->setValue(int(received));
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    const DownloadResult result = DownloadToFile(link, folder + name, options);
    if (result.outcome == DownloadResult::Outcome::WriteFailed)
        throw ActionError(result.error);
}

void PriceListsPanel::SpeedButton48Click() {
    const QString link = Trim(m_Edit12->text());
    if (link.isEmpty())
        return;
    const int existing = findIgnoringCase(m_ListBox5, link);
    if (existing >= 0) {
        m_ListBox5->setCurrentRow(existing);
        m_context.dialogs->information(QStringLiteral("Similar line already is in availability !!!"));
    } else if (beginsWithAllowedProtocol(link)) {
        insertSorted(m_ListBox5, link);
    } else {
        m_context.dialogs->information(
            QStringLiteral("Url link must begin from \"http\", \"https\", \"ftp\", \"ftps\" or \"sftp\""));
    }
}

void PriceListsPanel::SpeedButton24Click() {
    QListWidgetItem* item = m_ListBox5->currentItem();
    if (m_ListBox5->count() == 0 || !item || !item->isSelected())
        return;
    if (m_context.dialogs->confirm(QStringLiteral("Delete selected line ?")))
        delete m_ListBox5->takeItem(m_ListBox5->row(item));
}

void PriceListsPanel::ListBox5DblClick() {
    const QListWidgetItem* item = m_ListBox5->currentItem();
    if (item && item->isSelected())
        m_Edit12->setText(item->text());
}
