#include "platform/messageboxdialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestMessageBoxDialogs : public QObject {
    Q_OBJECT
private slots:
    void questionAnswerableOverDisabledWindow_data();
    void questionAnswerableOverDisabledWindow();
};

void TestMessageBoxDialogs::questionAnswerableOverDisabledWindow_data() {
    QTest::addColumn<bool>("windowEnabled");
    QTest::addColumn<bool>("modalWindowOpen");
    QTest::newRow("window enabled") << true << false;
    // A long action (the price run) disables the main window and shows its progress window while it asks.
    QTest::newRow("window disabled") << false << false;
    QTest::newRow("behind a modal window") << false << true;
}

void TestMessageBoxDialogs::questionAnswerableOverDisabledWindow() {
    QFETCH(bool, windowEnabled);
    QFETCH(bool, modalWindowOpen);
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setEnabled(windowEnabled);
    QWidget progress(&window, Qt::Window);
    if (modalWindowOpen) {
        progress.setWindowModality(Qt::ApplicationModal);
        progress.show();
        QVERIFY(QTest::qWaitForWindowExposed(&progress));
    }
    MessageBoxDialogs dialogs;
    dialogs.setParentWidget(&window);

    bool boxWasEnabled = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        boxWasEnabled = box->isEnabled();
        QPushButton* yes = qobject_cast<QPushButton*>(box->button(QMessageBox::Yes));
        QTest::mouseClick(yes, Qt::LeftButton, {}, yes->rect().center());
    });
    // Never wait for good: a box that cannot be answered is closed as No.
    QTimer::singleShot(5000, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    QVERIFY(dialogs.confirm(QStringLiteral("Do it ???")));
    QVERIFY(boxWasEnabled);
}

QTEST_MAIN(TestMessageBoxDialogs)
#include "tst_messageboxdialogs.moc"
