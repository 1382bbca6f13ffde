#include "support/windowfixture.h"

#include "support/rawhttpserver.h"

#include <QApplication>
#include <QFont>
#include <QHash>

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QWindow>
#include <functional>

Endpoints endpointsOf(const DemoService& service) {
    Endpoints e;
    e.catalogUrl = service.catalogUrl();
    e.priceUrl = service.priceUrl();
    e.demoUrl = service.demoUrl();
    e.siteUrl = service.siteUrl();
    e.downloadUrl = service.downloadUrl();
    return e;
}

Endpoints offlineEndpoints() {
    const QString nowhere = QStringLiteral("http://127.0.0.1:%1").arg(refusingPort());
    Endpoints e;
    e.catalogUrl = e.priceUrl = e.demoUrl = nowhere + QLatin1Char('/');
    e.siteUrl = e.downloadUrl = nowhere;
    return e;
}

namespace {
std::unique_ptr<DemoService> g_standIn;
} // namespace

DemoService& standIn() {
    if (!g_standIn) {
        g_standIn = std::make_unique<DemoService>(QStringList{QStringLiteral("--quiet")});
        if (!g_standIn->isRunning())
            qFatal("the stand-in services did not start: %s", qPrintable(g_standIn->error()));
        // Stopped while the application still runs its event machinery.
        qAddPostRoutine([] { g_standIn.reset(); });
    }
    return *g_standIn;
}

Endpoints standInEndpoints() {
    return endpointsOf(standIn());
}

const QString kCatalogAccount = QStringLiteral("format=json&lang=en&email=trader@velmora.test&seccode=***");

bool allExpanded(const QTreeWidget* tree, bool expanded) {
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it)
        if ((*it)->childCount() > 0 && (*it)->isExpanded() != expanded)
            return false;
    return true;
}

int topLevelCount(const QTreeView* tree) {
    return tree->model()->rowCount();
}

QModelIndex topLevelNode(const QTreeView* tree, int row) {
    return tree->model()->index(row, 0);
}

QString nodeText(const QModelIndex& node) {
    return node.data(Qt::DisplayRole).toString();
}

int nodeValue(const QModelIndex& node) {
    return node.data(Qt::UserRole).toInt();
}

bool nodeBold(const QModelIndex& node) {
    const QVariant font = node.data(Qt::FontRole);
    return font.isValid() && font.value<QFont>().bold();
}

QModelIndex nodeOf(const QTreeView* tree, int value) {
    for (int i = 0; i < topLevelCount(tree); ++i)
        if (nodeValue(topLevelNode(tree, i)) == value)
            return topLevelNode(tree, i);
    return {};
}

QStringList treeNodes(const QAbstractItemModel& model) {
    QStringList out;
    std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& parent, int level) {
        for (int i = 0; i < model.rowCount(parent); ++i) {
            const QModelIndex node = model.index(i, 0, parent);
            out << QString(level, u'>') + nodeText(node) + u'=' + QString::number(nodeValue(node)) +
                       (nodeBold(node) ? QStringLiteral(" bold") : QString());
            walk(node, level + 1);
        }
    };
    walk(QModelIndex(), 0);
    return out;
}

void clickNode(QTreeView* tree, const QModelIndex& node) {
    tree->scrollTo(node);
    // A line wider than the view shows only its part in view; that part takes the click.
    const QRect visible = tree->visualRect(node).intersected(tree->viewport()->rect());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, visible.center());
}

void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void clickOnScreen(QWidget* widget) {
    QWidget* window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window, widget->rect().center()));
}

namespace {
QWindow* keyboardWindow() {
    // An open popup list takes the keys from its window, as it does from the keyboard.
    QWidget* target = QApplication::activeWindow();
    if (!target)
        target = QApplication::activePopupWidget();
    return target ? target->windowHandle() : nullptr;
}
} // namespace

bool focusControl(QWidget* control) {
    QWidget* window = control->window();
    if (!window->isVisible())
        window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    // A popup closed by the program may leave the application without an active window.
    if (QApplication::activeWindow() != window)
        QApplication::setActiveWindow(window);
    control->setFocus(Qt::MouseFocusReason);
    QWidget* focused = QApplication::focusWidget();
    return focused && (focused == control || focused->focusProxy() == control || control->isAncestorOf(focused));
}

void pressKey(QWidget* control, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    if (!focusControl(control))
        qWarning("%s cannot take the focus", qPrintable(control->objectName()));
    pressKey(key, modifiers);
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    if (QWindow* window = keyboardWindow())
        QTest::keyClick(window, key, modifiers);
    else
        qWarning("no window has the keyboard");
}

void typeText(const QString& text) {
    for (const QChar c : text) {
        QWindow* window = keyboardWindow();
        if (!window)
            return;
        // Letters beyond ASCII come as the text of a key the keyboard has no name for.
        if (c.unicode() < 0x80)
            QTest::keyClick(window, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, window, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void typeIntoFocus(const QString& text) {
    pressKey(Qt::Key_A, Qt::ControlModifier);
    pressKey(Qt::Key_Delete);
    typeText(text);
}

void typeInto(QWidget* control, const QString& text) {
    if (!focusControl(control))
        qWarning("%s cannot take the focus", qPrintable(control->objectName()));
    typeIntoFocus(text);
}

void scrollIntoView(QWidget* widget) {
    for (QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(w))
            area->ensureWidgetVisible(widget, 10, 10);
    QApplication::processEvents();
}

void clickInView(QWidget* widget) {
    scrollIntoView(widget);
    click(widget);
}

void clickCheck(QCheckBox* box) {
    scrollIntoView(box);
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect square = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, square.center());
}

namespace {
QPoint rowPoint(QListWidget* list, QListWidgetItem* item) {
    scrollIntoView(list);
    list->scrollToItem(item);
    return list->visualItemRect(item).center();
}
} // namespace

void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowPoint(list, list->item(row)));
}

void doubleClickRow(QListWidget* list, int row) {
    const QPoint point = rowPoint(list, list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, point);
}

bool clickListItem(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowPoint(list, found.first()));
    return true;
}

Seams testSeams(ScriptedDialogs& dialogs, RecordingDesktop& desktop, const QString& programDir,
                const QString& workingDir, const Endpoints& endpoints, const QString& version) {
    Seams seams;
    seams.dialogs = &dialogs;
    seams.desktop = &desktop;
    seams.paths = AppPaths(programDir, workingDir);
    seams.endpoints = endpoints;
    seams.versionText = version;
    return seams;
}

WindowFixture::WindowFixture(const Endpoints& endpoints, const QString& version)
    : seams(testSeams(dialogs, desktop, folders.programDir(), folders.workingDir(), endpoints, version)) {}

WindowFixture::~WindowFixture() {
    destroy();
}

TForm1& WindowFixture::create() {
    if (!m_window)
        m_window = std::make_unique<TForm1>(seams);
    return *m_window;
}

TForm1& WindowFixture::show() {
    create();
    m_window->show();
    return *m_window;
}

TForm1& WindowFixture::showActive() {
    show();
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("the window did not become active");
    return *m_window;
}

void WindowFixture::destroy() {
    m_window.reset();
}

void WindowFixture::openPage(const QString& page) {
    static const QHash<QString, QString> buttons = {{QStringLiteral("SETTINGS"), QStringLiteral("SpeedButton15")},
                                                    {QStringLiteral("PAGEPRODUCT"), QStringLiteral("SpeedButton14")},
                                                    {QStringLiteral("EXPORT"), QStringLiteral("SpeedButton25")}};
    auto* button = m_window->findChild<QToolButton*>(buttons.value(page));
    if (!button) {
        qWarning("no button opens page %s", qPrintable(page));
        return;
    }
    click(button);
}

void WindowFixture::showEveryPage() {
    const QString shown = m_window->currentPage();
    QWidget* focus = QApplication::focusWidget();
    for (const char* page : {"PAGEPRODUCT", "EXPORT"})
        openPage(QString::fromLatin1(page));
    openPage(shown);
    if (focus)
        focus->setFocus(Qt::MouseFocusReason);
}

qsizetype WindowFixture::logMark() const {
    return m_window->context().log->lines().size();
}

QStringList WindowFixture::requestsSince(qsizetype mark) const {
    QStringList requests;
    const QStringList& lines = m_window->context().log->lines();
    for (qsizetype i = mark; i < lines.size(); ++i) {
        // "<time>  GET\t<function>\t<address>\t<outcome>"
        const QString address = lines.at(i).section(QLatin1Char('\t'), 2, 2);
        const qsizetype host = address.indexOf(QLatin1String("://"));
        const qsizetype path = host < 0 ? -1 : address.indexOf(QLatin1Char('/'), host + 3);
        if (path >= 0)
            requests << address.mid(path + 1);
    }
    return requests;
}

QStringList WindowFixture::requestsOf(const QString& function, qsizetype mark) const {
    QStringList found;
    for (const QString& request : requestsSince(mark))
        if (request.startsWith(function + QLatin1Char('?')))
            found << request;
    return found;
}

bool WindowFixture::logged(const QString& text, qsizetype mark) const {
    const QStringList& lines = m_window->context().log->lines();
    for (qsizetype i = mark; i < lines.size(); ++i)
        if (lines.at(i).contains(text))
            return true;
    return false;
}

void WindowFixture::signIn(const QString& email, const QString& seccode) {
    show(); // after the settings are read, which would replace the boxes
    m_window->findChild<QLineEdit*>(QStringLiteral("Edit3"))->setText(email);
    m_window->findChild<QLineEdit*>(QStringLiteral("Edit4"))->setText(seccode);
}
