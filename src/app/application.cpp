#include "app/application.h"

#include "app/main.h"
#include "app/velmoraapplication.h"
#include "platform/curleasy.h"
#include "platform/messageboxdialogs.h"
#include "platform/qtdesktop.h"
#include "platform/version.h"
#include "pricing/priceengine.h"
#include "service/listfiles.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};
// Set once the window saw a termination signal: the status the program ends with.
std::optional<int> g_terminatedWith;

void onTerminationSignal(int) {
    // A transfer under way ends at once, even one the window thread waits for before the
    // saves below can run.
    setAllTransfersCancelled(true);
    // A price run's transfers are cancelled at once, even while the window thread is busy.
    PriceEngine::stopEverything();
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT save the settings and lists as the close box does, so a session logout or
// Ctrl+C keeps them too. Nobody may be there to answer a box: a failure goes to standard error
// and the program ends all the same, with status 1. Every event loop ends, a modal box's too,
// and every transfer: one the window waits for gives up within about a second.
void closeOnTerminationSignals(TForm1* window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window, notifier] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
        // A second signal while the saves run must not start them again.
        notifier->setEnabled(false);
        QString error;
        bool saved = false;
        try {
            saved = window->SaveForClose(&error);
        } catch (const std::exception& e) {
            // Not up to the application's error box either: nobody would close it.
            error = QString::fromLocal8Bit(e.what());
        }
        if (!saved)
            std::fprintf(stderr, "velmora: settings not saved: %s\n", error.toLocal8Bit().constData());
        g_terminatedWith = saved ? 0 : 1;
        QCoreApplication::exit(*g_terminatedWith);
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace

int RunVelmora(int argc, char** argv) {
    VelmoraApplication app(argc, argv);
    // Also the message boxes' title. No display name: the window system would append it to
    // every window caption.
    QApplication::setApplicationName(QStringLiteral("Velmora"));

    MessageBoxDialogs dialogs;
    QtDesktop desktop;
    Seams seams;
    seams.dialogs = &dialogs;
    seams.desktop = &desktop;
    seams.endpoints = Endpoints::fromIniFile(seams.paths.programFile(QString::fromLatin1(ListFiles::kSettings)));
    seams.versionText = ProgramVersionText();

    TForm1 window(seams);
    dialogs.setParentWidget(&window);
    closeOnTerminationSignals(&window);
    window.show();
    // A signal during the start-up steps (which run while the window is shown) came before
    // the event loop, which would otherwise start and never end.
    if (g_terminatedWith)
        return *g_terminatedWith;
    return QApplication::exec();
}
