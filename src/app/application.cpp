#include "app/application.h"

#include "app/main.h"
#include "app/velmoraapplication.h"
#include "platform/messageboxdialogs.h"
#include "platform/qtdesktop.h"
#include "platform/version.h"
#include "service/listfiles.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT close the main window the way its close box does, so the settings and
// lists are saved on a session logout or Ctrl+C too.
void closeOnTerminationSignals(TForm1* window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
        window->close();
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
    return QApplication::exec();
}
