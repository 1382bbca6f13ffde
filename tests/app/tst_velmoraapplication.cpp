#include "app/velmoraapplication.h"
#include "platform/scripteddialogs.h"
#include "service/errors.h"

#include <QTest>

namespace {
// Throws from its event handler, as a handler that lets an error escape would.
class Thrower : public QObject {
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw ActionError(QStringLiteral("'x' is not a valid integer value"));
        return QObject::event(e);
    }
};
} // namespace

class TestVelmoraApplication : public QObject {
    Q_OBJECT
private slots:
    void escapedErrorIsShownAndTheLoopGoesOn() {
        ScriptedDialogs dialogs;
        static_cast<VelmoraApplication*>(qApp)->setDialogs(&dialogs);
        Thrower thrower;
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.lastText(), QStringLiteral("'x' is not a valid integer value"));
        bool ran = false;
        QMetaObject::invokeMethod(
            &thrower, [&] { ran = true; }, Qt::QueuedConnection);
        QCoreApplication::processEvents();
        QVERIFY(ran);
        static_cast<VelmoraApplication*>(qApp)->setDialogs(nullptr);
    }
};

int main(int argc, char** argv) {
    VelmoraApplication app(argc, argv);
    TestVelmoraApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_velmoraapplication.moc"
