#include "app/velmoraapplication.h"
#include "service/errors.h"

#include <QTest>

namespace {
// Throws from its event handler, as an unguarded handler that lets an error escape would.
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
    void escapedErrorIsLoggedAndTheLoopGoesOn() {
        Thrower thrower;
        QTest::ignoreMessage(QtCriticalMsg,
                             "unguarded error in a handler of QObject: 'x' is not a valid integer value");
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        bool ran = false;
        QMetaObject::invokeMethod(
            &thrower, [&] { ran = true; }, Qt::QueuedConnection);
        QCoreApplication::processEvents();
        QVERIFY(ran);
    }
};

int main(int argc, char** argv) {
    VelmoraApplication app(argc, argv);
    TestVelmoraApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_velmoraapplication.moc"
