#include "support/windowfixture.h"

#include "support/rawhttpserver.h"

#include <QApplication>
#include <QLineEdit>

Endpoints EndpointsOf(const DemoService& service) {
    Endpoints e;
    e.catalogUrl = service.catalogUrl();
    e.priceUrl = service.priceUrl();
    e.demoUrl = service.demoUrl();
    e.siteUrl = service.siteUrl();
    e.downloadUrl = service.downloadUrl();
    return e;
}

Endpoints OfflineEndpoints() {
    const QString nowhere = QStringLiteral("http://127.0.0.1:%1").arg(RefusingPort());
    Endpoints e;
    e.catalogUrl = e.priceUrl = e.demoUrl = nowhere + QLatin1Char('/');
    e.siteUrl = e.downloadUrl = nowhere;
    return e;
}

void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void TypeIntoFocus(const QString& text) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    // Letters beyond ASCII come as the text of a key the keyboard has no name for.
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

bool ClickListItem(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    return true;
}

WindowFixture::WindowFixture(const Endpoints& endpoints, const QString& version) {
    seams.dialogs = &dialogs;
    seams.desktop = &desktop;
    seams.paths = AppPaths(folders.programDir(), folders.workingDir());
    seams.endpoints = endpoints;
    seams.versionText = version;
}

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

void WindowFixture::signIn(const QString& email, const QString& seccode) {
    show(); // after the settings are read, which would replace the boxes
    m_window->findChild<QLineEdit*>(QStringLiteral("Edit3"))->setText(email);
    m_window->findChild<QLineEdit*>(QStringLiteral("Edit4"))->setText(seccode);
}
