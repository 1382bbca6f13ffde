#pragma once

#include "app/main.h"
#include "platform/desktop.h"
#include "platform/scripteddialogs.h"
#include "support/demoservice.h"
#include "support/testpaths.h"

#include <QListWidget>
#include <QTest>

#include <memory>

// The endpoints of a running stand-in service.
Endpoints EndpointsOf(const DemoService& service);

// Every service on a loopback port where nothing listens: start-up's requests fail at once and
// never leave the machine.
Endpoints OfflineEndpoints();

// A left click in the middle of the widget.
void Click(QWidget* widget);
// Replaces the text of the focus widget key by key, as the user selects all and types.
void TypeIntoFocus(const QString& text);
// A click on the list's item with this text, scrolled into view first; false when there is none.
bool ClickListItem(QListWidget* list, const QString& text);

// A fresh main window over a temporary program folder, with scripted dialogs and a recording
// desktop. Endpoints point at `endpoints` (by default nowhere reachable).
class WindowFixture {
public:
    // The version is the one the stand-in service publishes unless told otherwise, so that no
    // update message comes up.
    explicit WindowFixture(const Endpoints& endpoints = OfflineEndpoints(), const QString& version = "1.0.0");
    ~WindowFixture();

    // Creates the window (without showing it); files put into the program folder before this
    // call are read when the window is shown.
    TForm1& create();
    // Creates (if needed) and shows the window, which runs the start-up steps.
    TForm1& show();
    // Shows the window and makes it the active one, so that keys reach its focus widget.
    TForm1& showActive();
    TForm1& window() { return *m_window; }
    void destroy();
    // Shows the window and puts the stand-in service's regular catalog account into the account boxes.
    void signIn(const QString& email = DemoService::kCatalogEmail,
                const QString& seccode = DemoService::kCatalogSeccode);

    template <class T> T* find(const QString& name) {
        T* found = m_window->findChild<T*>(name);
        if (!found)
            qWarning("control %s not found", qPrintable(name));
        return found;
    }

    TestFolders folders;
    ScriptedDialogs dialogs;
    RecordingDesktop desktop;
    Seams seams;

private:
    std::unique_ptr<TForm1> m_window;
};
