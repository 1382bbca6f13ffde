#pragma once

#include "app/main.h"
#include "support/demoservice.h"
#include "support/recordingdesktop.h"
#include "support/scripteddialogs.h"
#include "support/testpaths.h"

#include <QListWidget>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <memory>

class QCheckBox;

// The endpoints of a running stand-in service.
Endpoints endpointsOf(const DemoService& service);
// The stand-in services of this test executable: started on first use, stopped with the
// application. A test that needs other options starts its own DemoService.
DemoService& standIn();
Endpoints standInEndpoints();
// The standard parameters of the stand-in's regular catalog account as the request log shows them.
extern const QString kCatalogAccount;

// Whether every node with children is expanded (or every one collapsed).
bool allExpanded(const QTreeWidget* tree, bool expanded);

// The product tree's nodes, read through its model: the roots, a root's children, a node's text,
// data value (the artid of a product node, 0 for a detail line) and whether it is drawn bold.
int topLevelCount(const QTreeView* tree);
QModelIndex topLevelNode(const QTreeView* tree, int row);
QString nodeText(const QModelIndex& node);
int nodeValue(const QModelIndex& node);
bool nodeBold(const QModelIndex& node);
// The product node with this data value; invalid when there is none.
QModelIndex nodeOf(const QTreeView* tree, int value);
// Every node of a tree model, depth first, as ">" per level, the text, "=" and the data value,
// and " bold" for a bold node: a product tree and a tree of items read alike.
QStringList treeNodes(const QAbstractItemModel& model);
// A left click on the node's visible point, scrolled into view first.
void clickNode(QTreeView* tree, const QModelIndex& node);

// Every service on a loopback port where nothing listens: start-up's requests fail at once and
// never leave the machine.
Endpoints offlineEndpoints();
// The seams of a window under test: the test doubles, the program and working folders, the
// endpoints and the version.
Seams testSeams(ScriptedDialogs& dialogs, RecordingDesktop& desktop, const QString& programDir,
                const QString& workingDir, const Endpoints& endpoints = offlineEndpoints(),
                const QString& version = QStringLiteral("1.0.0"));

// A left click in the middle of the widget.
void click(QWidget* widget);
// A left click on the window at the widget's middle, as the mouse gives it: whatever child
// widget lies there (the text field of an editable box) gets it.
void clickOnScreen(QWidget* widget);

// The keyboard's path: the control's window is shown and active, the control has the focus as
// after the user's click, and each key goes to the window, which hands it to its focus widget
// (or to an open popup list). False when the control could not take the focus.
bool focusControl(QWidget* control);
void pressKey(QWidget* control, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Replaces the control's text by typing: Ctrl+A, Delete, then the characters.
void typeInto(QWidget* control, const QString& text);
// Keys to whatever has the focus now, as the keyboard sends them.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void typeText(const QString& text);
// Replaces the text of the focus widget key by key, as the user selects all and types.
void typeIntoFocus(const QString& text);
// A click on the list's item with this text, scrolled into view first; false when there is none.
bool clickListItem(QListWidget* list, const QString& text);
// The way to controls on a scrolling page: scrolled into view first, then clicked where the user
// would.
void scrollIntoView(QWidget* widget);
void clickInView(QWidget* widget);
// A click on the check box's square.
void clickCheck(QCheckBox* box);
void clickRow(QListWidget* list, int row);
void doubleClickRow(QListWidget* list, int row);

// A fresh main window over a temporary program folder, with scripted dialogs and a recording
// desktop. Endpoints point at `endpoints` (by default nowhere reachable).
class WindowFixture {
public:
    // The version is the one the stand-in service publishes unless told otherwise, so that no
    // update message comes up.
    explicit WindowFixture(const Endpoints& endpoints = offlineEndpoints(), const QString& version = "1.0.0");
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

    // The request log as a probe: a mark is the number of lines logged so far.
    qsizetype logMark() const;
    // The requests logged since the mark, each as its address less the server
    // ("getInfoCar?typid=10010&format=json…").
    QStringList requestsSince(qsizetype mark = 0) const;
    // Those that call `function`.
    QStringList requestsOf(const QString& function, qsizetype mark = 0) const;
    // Whether a line logged since the mark holds the text.
    bool logged(const QString& text, qsizetype mark = 0) const;

    // Pages are built the first time they are shown: a control not there yet is looked for
    // again after the user's way to every page (see showEveryPage).
    template <class T> T* find(const QString& name) {
        T* found = m_window->findChild<T*>(name);
        if (!found) {
            showEveryPage();
            found = m_window->findChild<T*>(name);
        }
        if (!found)
            qWarning("control %s not found", qPrintable(name));
        return found;
    }
    // Shows each page through its button in the left column and goes back to the page that was
    // shown, the focus where it was: every page's controls exist afterwards.
    void showEveryPage();
    // A click on the page's button in the left column ("SETTINGS", "PAGEPRODUCT", "EXPORT").
    void openPage(const QString& page);

    TestFolders folders;
    ScriptedDialogs dialogs;
    RecordingDesktop desktop;
    Seams seams;

private:
    std::unique_ptr<TForm1> m_window;
};
