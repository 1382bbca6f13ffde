#include "pricelists/downloadcheck.h"
#include "pricelists/downloadnaming.h"
#include "pricelists/freecatalogue.h"
#include "pricelists/pricelistfolder.h"
#include "pricelists/pricelistspanel.h"

#include "platform/apppaths.h"
#include "platform/curleasy.h"
#include "platform/dialogs.h"
#include "platform/inputgate.h"
#include "platform/servertrust.h"
#include "platform/transfer.h"
#include "platform/widgets.h"
#include "platform/worker.h"
#include "service/appcontext.h"
#include "service/errors.h"
#include "service/guard.h"
#include "service/linkparts.h"
#include "service/requestlog.h"
#include "service/textfunctions.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTimer>
#include <QToolButton>

#include <atomic>
#include <limits>

namespace {

constexpr int kCatalogueTabStop = 60;
constexpr int kProgressMilliseconds = 100;

bool beginsWithAllowedProtocol(const QString& link) {
    return link.startsWith(QLatin1String("http")) || link.startsWith(QLatin1String("ftp")) ||
           link.startsWith(QLatin1String("sftp"));
}

} // namespace

void PriceListsPanel::connectDownloads() {
    setTabStops(m_ListBox6, dialogUnitsToPixels(m_ListBox6, kCatalogueTabStop));
    setShownText(m_ListBox6, CatalogueShownText);
    // The button works only while the switch is on: say so rather than let it do nothing.
    connect(m_CheckBox7, &QCheckBox::toggled, this, &PriceListsPanel::showReDownloadState);
    showReDownloadState(m_CheckBox7->isChecked());
    connect(m_SpeedButton50, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton50Click);
    connect(m_downloadCancel, &QToolButton::clicked, this, [this] { m_downloadStop = true; });
    setShownText(m_ListBox5, MaskLinkPassword);
    connect(m_SpeedButton48, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton48Click);
    connect(m_Edit12, &QLineEdit::returnPressed, this, &PriceListsPanel::SpeedButton48Click);
    connect(m_SpeedButton24, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton24Click);
    connect(m_ListBox5, &QListWidget::itemDoubleClicked, this, &PriceListsPanel::ListBox5DblClick);
    connect(m_SpeedButton58, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton58Click);
    connect(m_ListBox6, &QListWidget::itemDoubleClicked, this, &PriceListsPanel::ListBox6DblClick);
    connect(m_SpeedButton57, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton57Click);
    connect(m_SpeedButton52, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton52Click);
}

void PriceListsPanel::showReDownloadState(bool switchOn) {
    m_SpeedButton50->setEnabled(switchOn);
    m_SpeedButton50->setToolTip(switchOn ? QStringLiteral("Download every link of the list again now")
                                         : QStringLiteral("Works only while \"Automatically re-download files "
                                                          "according directly link(s)\" is switched on"));
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
    m_downloadStop = false;
    const bool finished = runGuarded(*m_context.dialogs, [&] {
        m_Label53->show();
        m_downloadProgress->show();
        m_downloadCancel->show();
        const auto hideProgress = qScopeGuard([this] {
            m_Label53->hide();
            m_downloadProgress->hide();
            m_downloadCancel->hide();
        });
        // The window waits for the downloads, but its cancel button and Esc stop them.
        const InputGate gate(m_widget->window(), m_downloadCancel, [this] { m_downloadStop = true; });
        for (qsizetype k = 0; k < links.size() && !m_downloadStop && !allTransfersCancelled(); ++k) {
            m_Label53->setText(QStringLiteral("download %1/%2 : [%3]")
                                   .arg(k + 1)
                                   .arg(links.size())
                                   .arg(MaskLinkPassword(links.at(k))));
            DownloadPriceList(links.at(k));
        }
    });
    if (finished)
        CheckPriceListFolder();
}

qint64 PriceListsPanel::downloadLimitBytes() const {
    bool ok = false;
    const qint64 megabytes = m_downloadLimit->text().trimmed().toLongLong(&ok);
    return (ok && megabytes > 0 ? megabytes : kDefaultDownloadLimitMb) * 1024 * 1024;
}

void PriceListsPanel::DownloadPriceList(const QString& link) {
    const QString folder = downloadFolder();
    const QString name = DownloadFileName(link, itemTexts(m_ListBox6));
    if (folder.isEmpty() || IsBlank(name))
        return;
    const ServerTrust trust(m_context.paths->programDir());
    DownloadOptions options;
    options.maxBytes = downloadLimitBytes();
    options.cancel = &m_downloadStop;
    options.check = PriceListDownloadProblem;
    options.trust = &trust;
    DownloadResult result = transferShowingProgress(link, folder + name, options);
    // A server the program cannot vouch for is the user's to trust: once, then asked no more.
    if (result.outcome == DownloadResult::Outcome::Untrusted && result.server && !m_downloadStop) {
        if (result.server->changedHostKey()) {
            m_context.dialogs->information(ChangedHostKeyMessage(*result.server));
        } else if (m_context.dialogs->confirmTrust(TrustQuestion(*result.server))) {
            QString error;
            if (!trust.trust(*result.server, &error))
                throw ActionError(error);
            result = transferShowingProgress(link, folder + name, options);
        }
    }

    const QString outcome = result.saved() ? QStringLiteral("SAVED [%1] %2 bytes").arg(name).arg(result.bytes)
                                           : QStringLiteral("NOT SAVED [%1] !!!")
                                                 .arg(result.error.isEmpty() ? QStringLiteral("failed") : result.error);
    m_context.log->AppendLogLine(DownloadLogLine(QDateTime::currentDateTime(), link, outcome));
    if (result.outcome == DownloadResult::Outcome::WriteFailed)
        throw ActionError(result.error);
}

DownloadResult PriceListsPanel::transferShowingProgress(const QString& link, const QString& target,
                                                        DownloadOptions options) {
    std::atomic<qint64> received{0};
    std::atomic<qint64> total{0};
    options.progress = [&](qint64 now, qint64 announced) {
        received = now;
        total = announced;
    };
    m_downloadProgress->setRange(0, 0);
    QTimer progress;
    connect(&progress, &QTimer::timeout, this, [&] {
        if (total > 0 && total <= std::numeric_limits<int>::max()) {
            m_downloadProgress->setRange(0, int(total.load()));
            m_downloadProgress->setValue(int(received.load()));
        }
    });
    progress.start(kProgressMilliseconds);
    // The transfer runs on a worker: the window paints the progress and takes the cancel.
    DownloadResult result;
    awaitOnWorkerTakingInput([&] { result = DownloadToFile(link, target, options); });
    return result;
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
