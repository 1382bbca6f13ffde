#include "app/application.h"

#include "app/main.h"
#include "app/terminationsignals.h"
#include "app/velmoraapplication.h"
#include "platform/messageboxdialogs.h"
#include "platform/qtdesktop.h"
#include "platform/version.h"
#include "service/listfiles.h"

#include <QApplication>

#include <cstdio>
#include <exception>
#include <optional>

namespace {

// Set once the window saw a termination signal: the status the program ends with.
std::optional<int> g_terminatedWith;

// SIGTERM and SIGINT save the settings and lists as the close box does, so a session logout or
// Ctrl+C keeps them too. Nobody may be there to answer a box: a failure goes to standard error
// and the program ends all the same, with status 1. Every event loop ends, a modal box's too,
// and every transfer: one the window waits for gives up within about a second.
void closeOnTerminationSignals(TForm1* window) {
    WatchTerminationSignals(window, [window] {
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
