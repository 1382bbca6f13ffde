#include "platform/messageboxdialogs.h"

#include <QAbstractButton>
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
    void questionOpensOnLikelyButton_data();
    void questionOpensOnLikelyButton();
    void informationOffersItsAction_data();
    void informationOffersItsAction();
};

namespace {
// A shown window whose boxes the dialogs open over.
struct ShownWindow {
    ShownWindow() {
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
        dialogs.setParentWidget(&window);
    }
    QWidget window;
    MessageBoxDialogs dialogs;
    bool exposed = false;
};

// Runs `look` on the box `show` opens, once it is up; a box left open is closed after a while.
template <class Show, class Look> void whileBoxShown(Show show, Look look) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QVERIFY(QTest::qWaitForWindowActive(box));
        look(box);
    });
    QTimer::singleShot(5000, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    show();
}
} // namespace

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

void TestMessageBoxDialogs::questionOpensOnLikelyButton_data() {
    QTest::addColumn<int>("kind"); // -1: not said
    QTest::addColumn<bool>("answerOnEnter");
    QTest::newRow("not said: as a destructive one") << -1 << false;
    QTest::newRow("destructive (deleting, clearing)") << int(Confirmation::Destructive) << false;
    QTest::newRow("routine (START, regeneration)") << int(Confirmation::Routine) << true;
}

void TestMessageBoxDialogs::questionOpensOnLikelyButton() {
    QFETCH(int, kind);
    QFETCH(bool, answerOnEnter);
    ShownWindow shown;
    QVERIFY(shown.exposed);
    MessageBoxDialogs& dialogs = shown.dialogs;
    QStringList buttons;
    QString focused;
    bool answer = !answerOnEnter;
    whileBoxShown(
        [&] {
            answer = kind < 0 ? dialogs.confirm("Delete selected line ???")
                              : dialogs.confirm("Delete selected line ???", Confirmation(kind));
        },
        [&](QMessageBox* box) {
            for (QAbstractButton* b : box->buttons())
                buttons << b->text().remove('&');
            if (auto* f = qobject_cast<QAbstractButton*>(box->focusWidget()))
                focused = f->text().remove('&');
            // The user's Enter, as the keyboard sends it to the box.
            QTest::keyClick(box->windowHandle(), Qt::Key_Return);
        });
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"No", "Yes"}));
    QCOMPARE(focused, answerOnEnter ? "Yes" : "No");
    QCOMPARE(answer, answerOnEnter);
}

void TestMessageBoxDialogs::informationOffersItsAction_data() {
    QTest::addColumn<bool>("chooseAction");
    QTest::newRow("Enter: OK") << false;
    QTest::newRow("click on the action") << true;
}

void TestMessageBoxDialogs::informationOffersItsAction() {
    QFETCH(bool, chooseAction);
    ShownWindow shown;
    QVERIFY(shown.exposed);
    MessageBoxDialogs& dialogs = shown.dialogs;
    QString text;
    bool chosen = !chooseAction;
    whileBoxShown([&] { chosen = dialogs.informationWithAction("Saved in folder /x", "Open folder"); },
                  [&](QMessageBox* box) {
                      text = box->text();
                      QAbstractButton* action = nullptr;
                      for (QAbstractButton* b : box->buttons())
                          if (b->text() == "Open folder")
                              action = b;
                      QVERIFY(action);
                      QCOMPARE(box->buttons().size(), 2);
                      if (chooseAction)
                          QTest::mouseClick(action, Qt::LeftButton, {}, action->rect().center());
                      else
                          QTest::keyClick(box->windowHandle(), Qt::Key_Return);
                  });
    QCOMPARE(text, "Saved in folder /x");
    QCOMPARE(chosen, chooseAction);
}

QTEST_MAIN(TestMessageBoxDialogs)
#include "tst_messageboxdialogs.moc"
