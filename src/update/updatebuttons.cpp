#include "update/updatebuttons.h"

#include "platform/apppaths.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/httpexchange.h"
#include "platform/transfer.h"
#include "service/appcontext.h"
#include "service/endpoints.h"
#include "update/programupdate.h"
#include "update/updatesignature.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kDownloadSeconds = 300;
const QString kDownloadError = QStringLiteral("Error downloading the file. If necessary, try again !");
const QString kOutdated = QStringLiteral("You use old version program. Need do update program !!!");

} // namespace

ProgramUpdate::ProgramUpdate(AppContext& context, QWidget* window, QToolButton* updateButton,
                             QToolButton* historyButton, std::function<void()> closeProgram)
    : QObject(window), m_context(context), m_window(window), m_SpeedButton3(updateButton),
      m_SpeedButton4(historyButton), m_closeProgram(std::move(closeProgram)) {
    m_window->installEventFilter(this);
    connect(m_SpeedButton3, &QToolButton::clicked, this, &ProgramUpdate::SpeedButton3Click);
    connect(m_SpeedButton4, &QToolButton::clicked, this, &ProgramUpdate::SpeedButton4Click);
}

bool ProgramUpdate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        m_window->removeEventFilter(this);
        if (!m_pendingMessage.isEmpty())
            QTimer::singleShot(0, this,
                               [this] { m_context.dialogs->information(std::exchange(m_pendingMessage, {})); });
    }
    return QObject::eventFilter(watched, event);
}

void ProgramUpdate::informAfterFirstPaint(const QString& text) {
    if (m_painted)
        m_context.dialogs->information(text);
    else
        m_pendingMessage = text;
}

void ProgramUpdate::CheckForNewVersion(const QString& version) {
    const std::optional<PublishedVersion> published = CheckPublishedVersion(m_context.endpoints->downloadUrl, version);
    if (!published || !published->other)
        return;
    m_available = published->announced;
    m_SpeedButton3->show();
    if (updatesItself()) {
        informAfterFirstPaint(kOutdated);
        return;
    }
    m_SpeedButton3->setToolTip(installerText());
    informAfterFirstPaint(installerText());
}

bool ProgramUpdate::updatesItself() const {
    return !m_context.paths->usesDataFolder() && QFileInfo(m_context.paths->programDir()).isWritable();
}

QString ProgramUpdate::installerText() const {
    const QString available =
        m_available.isEmpty() ? QStringLiteral("A new version") : QStringLiteral("Version %1").arg(m_available);
    return QStringLiteral("You use old version program. %1 is available; this copy is updated by its package or "
                          "installer !!!")
        .arg(available);
}

void ProgramUpdate::SpeedButton4Click() {
    m_context.desktop->open(m_context.endpoints->downloadUrl + QLatin1String(kVersionHistoryPath));
}

void ProgramUpdate::SpeedButton3Click() {
    if (!updatesItself()) {
        m_context.dialogs->information(installerText());
        return;
    }
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QChar cr(u'\r');
    if (!m_context.dialogs->confirm(
            QStringLiteral("If you have installed an old version program , you must be upgrading to the new version "
                           "with more features.") +
            cr + QStringLiteral("--------------------------------") + cr + QStringLiteral("   ") + cr +
            QStringLiteral("Download the new version program (this version of the file will rename in file [old_") +
            name + QStringLiteral("]) ?")))
        return;
    m_window->setEnabled(false);
    const bool swapping = downloadAndSwap();
    m_window->setEnabled(true);
    m_SpeedButton3->hide();
    if (swapping)
        m_closeProgram();
}

bool ProgramUpdate::downloadAndSwap() {
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const UpdateFiles files = UpdateFilesIn(m_context.paths->programDir(), name);
    QFile::remove(files.newProgram); // never a stale one from an earlier try
    const QString address = m_context.endpoints->siteUrl + QLatin1String(kProgramDownloadPath);

    // Without the vendor's signature there is nothing to download.
    HttpOptions signatureOptions;
    signatureOptions.userAgent = kUpdateAgent;
    signatureOptions.maxBodyBytes = kMaxSignatureBytes;
    const HttpResult signature = HttpGet(address + QLatin1String(kSignatureSuffix), signatureOptions);
    if (!signature.completed || signature.statusCode < 200 || signature.statusCode > 299) {
        refuse(files.newProgram, QStringLiteral("The update carries no signature."));
        return false;
    }

    std::atomic<bool> cancel{false};
    QElapsedTimer sinceFirstData;
    DownloadOptions options;
    options.userAgent = kUpdateAgent;
    options.noProgressSeconds = kDownloadSeconds;
    options.cancel = &cancel;
    options.progress = [&](qint64 received, qint64) {
        if (received <= 0)
            return;
        if (!sinceFirstData.isValid())
            sinceFirstData.start();
        m_SpeedButton3->setText(LoadCaption(received));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (sinceFirstData.elapsed() > kDownloadSeconds * 1000)
            cancel = true;
    };
    options.check = [](qint64 size, const QByteArray& head) {
        return IsRunnableProgram(size, head) ? QString() : QStringLiteral("not a program");
    };
    const DownloadResult result = DownloadToFile(address, files.newProgram, options);

    switch (result.outcome) {
    case DownloadResult::Outcome::Saved:
        break;
    case DownloadResult::Outcome::Cancelled: {
        const QChar cr(u'\r');
        m_context.dialogs->information(QStringLiteral("Large time interval download file, perhaps :") + cr +
                                       QStringLiteral("- no internet") + cr +
                                       QStringLiteral("- incorrect internet connection settings"));
        return false;
    }
    case DownloadResult::Outcome::WriteFailed:
        m_context.dialogs->error(result.error);
        return false;
    default:
        m_context.dialogs->information(kDownloadError);
        return false;
    }

    if (const auto why = AcceptUpdate(files.newProgram, signature.body, BuiltInUpdateKey(), m_context.versionText)) {
        refuse(files.newProgram, *why);
        return false;
    }
    QString error;
    if (!WriteUpdateScript(files.script, name, &error)) {
        QFile::remove(files.newProgram);
        m_context.dialogs->error(error);
        return false;
    }
    // Detached, so that it outlives the program it replaces.
    QProcess swap;
    swap.setProgram(QStringLiteral("/bin/sh"));
    swap.setArguments({files.script});
    swap.setWorkingDirectory(m_context.paths->programDir());
    swap.setStandardOutputFile(QProcess::nullDevice());
    swap.setStandardErrorFile(QProcess::nullDevice());
    if (!swap.startDetached()) {
        QFile::remove(files.newProgram);
        m_context.dialogs->error(QStringLiteral("Cannot start ") + files.script);
        return false;
    }
    return true;
}

void ProgramUpdate::refuse(const QString& newProgram, const QString& why) {
    QFile::remove(newProgram);
    m_context.dialogs->information(kDownloadError + QChar(u'\r') + why + QStringLiteral(" Nothing was changed."));
}
