#include "platform/worker.h"

#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <stdexcept>

class TestWorker : public QObject {
    Q_OBJECT
private slots:
    void waitingKeepsTheEventLoopGoing();
    void failuresComeBackToTheCaller();
    void halvesCoverTheRangeOnce_data();
    void halvesCoverTheRangeOnce();
    void firstHalfFailureWins();
    void payloadIsDroppedOnAWorker();
};

// The work finishes only once a timer of the waiting thread has fired.
void TestWorker::waitingKeepsTheEventLoopGoing() {
    std::atomic<bool> ticked = false;
    QTimer::singleShot(10, this, [&] { ticked = true; });
    const QThread* caller = QThread::currentThread();
    const QThread* ranOn = nullptr;
    const bool sawTick = awaitResultOnWorker([&] {
        ranOn = QThread::currentThread();
        for (int i = 0; i < 5000 && !ticked; ++i)
            QThread::msleep(1);
        return bool(ticked);
    });
    QVERIFY(sawTick);
    QVERIFY(ranOn != caller);
}

void TestWorker::failuresComeBackToTheCaller() {
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, awaitOnWorker([] { throw std::runtime_error("bad answer"); }));
    QCOMPARE(awaitResultOnWorker([] { return QStringLiteral("rows"); }), QStringLiteral("rows"));
}

void TestWorker::halvesCoverTheRangeOnce_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("split");
    QTest::newRow("empty") << 0 << 10 << false;
    QTest::newRow("below the bound") << 9 << 10 << false;
    QTest::newRow("at the bound, odd") << 11 << 11 << true;
    QTest::newRow("long") << 100001 << 10 << true;
}

void TestWorker::halvesCoverTheRangeOnce() {
    QFETCH(int, count);
    QFETCH(int, from);
    QFETCH(bool, split);
    std::vector<std::atomic<int>> seen(static_cast<std::size_t>(count));
    std::atomic<int> parts = 0;
    QCOMPARE(inTwoHalves(count, from,
                         [&](qsizetype a, qsizetype b) {
                             ++parts;
                             for (qsizetype i = a; i < b; ++i)
                                 ++seen[static_cast<std::size_t>(i)];
                         }),
             split);
    QCOMPARE(parts.load(), split ? 2 : 1);
    for (const std::atomic<int>& n : seen)
        QCOMPARE(n.load(), 1);
}

void TestWorker::firstHalfFailureWins() {
    try {
        inTwoHalves(10, 2, [](qsizetype a, qsizetype) { throw std::runtime_error(a == 0 ? "first" : "second"); });
        QFAIL("nothing thrown");
    } catch (const std::runtime_error& e) {
        QCOMPARE(QByteArray(e.what()), "first");
    }
}

void TestWorker::payloadIsDroppedOnAWorker() {
    struct Payload {
        std::shared_ptr<std::atomic<const QThread*>> droppedOn;
        ~Payload() {
            if (droppedOn)
                *droppedOn = QThread::currentThread();
        }
    };
    auto droppedOn = std::make_shared<std::atomic<const QThread*>>(nullptr);
    auto payload = std::make_shared<Payload>();
    payload->droppedOn = droppedOn;
    releaseOnWorker(std::move(payload));
    QVERIFY(QThreadPool::globalInstance()->waitForDone(5000));
    QVERIFY(droppedOn->load() != nullptr);
    QVERIFY(droppedOn->load() != QThread::currentThread());
}

QTEST_GUILESS_MAIN(TestWorker)
#include "tst_worker.moc"
