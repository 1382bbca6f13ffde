#include "platform/spreadsheetwriter.h"
#include "pricelists/ownpricetable.h"
#include "pricing/pricerun.h"
#include "pricing/resultrows.h"
#include "pricing/runlist.h"
#include "pricing/runprogress.h"
#include "service/requestlog.h"
#include "support/recordingdesktop.h"
#include "support/scripteddialogs.h"
#include "support/testpaths.h"

#include <QTemporaryDir>
#include <QTest>

// The run in the core, driven with strings alone: a transport that answers when the test says,
// and a progress that keeps what it is shown and closes under the progress window's rules.

namespace {

const QString kCompareAnswer = QStringLiteral("[\n  {\n  \"host\" : \"shop-a\",\n  \"price\" : \"12.50\",\n"
                                              "  \"currency\" : \"EUR\"\n}\n]\n");

class FakeTransport : public PriceTransport {
public:
    QList<TMyThread> sent;
    bool closing = false;
    bool submit(const TMyThread& worker) override {
        if (closing)
            return false;
        sent << worker;
        return true;
    }
    int openCount() const override { return int(sent.size()) - m_done; }
    bool isClosing() const override { return closing; }
    // The next `n` workers answer with `answer` (an empty text: no answer at all), in one batch.
    void answer(int n, const QString& answer) {
        QList<WorkerResult> results;
        for (int i = 0; i < n && m_done < sent.size(); ++i) {
            WorkerResult result;
            result.worker = sent.at(m_done++);
            result.answered = !answer.isEmpty();
            result.findings = ReadWorkerAnswer(result.worker, answer);
            result.logLine = result.worker.namefun + (result.answered ? " ANSWER" : " NOT ANSWER");
            results << result;
        }
        emit delivered(results);
    }

private:
    int m_done = 0;
};

class FakeProgress : public RunProgress {
public:
    QStringList progressLines;
    QStringList phases;
    int count = 0;
    int open = 0;
    bool showing = false;
    bool stop = false;
    bool captionClose = false;
    void begin(int lineCount, const QString& progressLine) override {
        progressLines << QString::number(lineCount) + ": " + progressLine;
        showing = true;
        stop = false;
        captionClose = false;
    }
    void setProgressLine(const QString& text) override { progressLines << text; }
    void setPhase(const QString& text) override { phases << text; }
    void setRunningCount(int c) override { count = c; }
    void setOpenRequests(int c) override { open = c; }
    bool isShowing() const override { return showing; }
    bool stopRequested() const override { return stop; }
    void requestClose() override {
        if (count < 1 || captionClose)
            showing = false;
    }
};

struct Run {
    FakeTransport transport;
    FakeProgress progress;
    ScriptedDialogs dialogs;
    RecordingDesktop desktop;
    RequestLog log;
    OwnPriceTable ownPrices;
    ResultRows compare{ResultRows::Table::Compare};
    ResultRows analysis{ResultRows::Table::Analysis};
    PriceRun run{transport, dialogs, desktop, log, ownPrices, compare, analysis};
    Run() { run.setProgress(&progress); }
    bool ended() {
        return QTest::qWaitFor([this] { return !run.isRunning(); }, 5000);
    }
};

PriceRunSettings compareSettings(const QString& shops) {
    PriceRunSettings settings;
    settings.compare = true;
    settings.compareEmail = "c@velmora.test";
    settings.compareSeccode = "code";
    settings.compareShopIds = shops;
    settings.priceBaseUrl = "http://127.0.0.1:9/";
    return settings;
}

QList<PriceLine> lines(int n) {
    QList<PriceLine> result;
    for (int i = 1; i <= n; ++i)
        result << PriceLine{"A&B", QStringLiteral("R %1/x").arg(i), QStringLiteral("Name %1").arg(i)};
    return result;
}

} // namespace

class TestPriceRunLogic : public QObject {
    Q_OBJECT
private slots:
    void linesAndShopsInOrderThenRowsAndClose();
    void waitsAbove200AndGoesOnAsResultsCome();
    void stopIsAReturnedStateAndLateRowsCloseTheWindow();
    void summaryCountsAnsweredAndFailed();
    void closingEndsTheRunWithoutAWord();
    void runListsFromTextAndFromTheListsExport();
};

void TestPriceRunLogic::linesAndShopsInOrderThenRowsAndClose() {
    Run r;
    r.dialogs.setNextAnswer(true);
    r.run.SpeedButton32Click(lines(3), compareSettings("[12][44]"));
    QVERIFY(r.ended());
    QStringList order;
    for (const TMyThread& w : r.transport.sent)
        order << w.part + "@" + w.site;
    QCOMPARE(order, (QStringList{"R 1/x@12", "R 1/x@44", "R 2/x@12", "R 2/x@44", "R 3/x@12", "R 3/x@44"}));
    QCOMPARE(r.transport.sent[0].namefun,
             "get?service=COMPAREPRICE&email=c@velmora.test&seccode=code&brand=A%26B&part=R%201/x&site=12");
    QCOMPARE(r.progress.progressLines,
             (QStringList{"3: Sent requests :  0% [0 from 3]", "Sent requests :  33% [1 from 3]",
                          "Sent requests :  66% [2 from 3]", "Sent requests :  100% [3 from 3]"}));
    QCOMPARE(r.progress.count, 6);
    QCOMPARE(r.progress.open, 6);
    QVERIFY(r.progress.showing); // workers are still counted

    r.transport.answer(5, kCompareAnswer);
    QCOMPARE(r.compare.count(), 5);
    QCOMPARE(r.compare.rowCells(0), (QStringList{"A&B", "R 1/x", "Name 1", "shop-a", "12.50", "EUR"}));
    QCOMPARE(r.run.RunningThreadCount(), 1);
    QVERIFY(r.progress.showing);
    QCOMPARE(r.log.lines().size(), 5);
    r.transport.answer(1, QString());
    QCOMPARE(r.run.RunningThreadCount(), 0);
    QVERIFY(!r.progress.showing);
}

void TestPriceRunLogic::waitsAbove200AndGoesOnAsResultsCome() {
    Run r;
    r.run.start(lines(60), compareSettings("[1][2][3][4]"));
    QTest::qWait(100);
    // Lines 1 to 51 were sent (204 workers); the run waits before line 52.
    QVERIFY(r.run.isRunning());
    QCOMPARE(r.transport.sent.size(), 204);
    r.transport.answer(3, kCompareAnswer);
    QTest::qWait(50);
    QCOMPARE(r.transport.sent.size(), 204); // 201 still counted
    r.transport.answer(1, kCompareAnswer);
    QTRY_COMPARE(r.transport.sent.size(), 208);
    r.transport.answer(200, kCompareAnswer);
    QVERIFY(r.ended());
    QCOMPARE(r.transport.sent.size(), 240);
}

void TestPriceRunLogic::stopIsAReturnedStateAndLateRowsCloseTheWindow() {
    Run r;
    QList<PriceRun::Outcome> outcomes;
    connect(&r.run, &PriceRun::finished, this, [&](PriceRun::Outcome o) { outcomes << o; });
    r.run.start(lines(60), compareSettings("[1][2][3][4]"));
    QTRY_COMPARE(r.transport.sent.size(), 204);
    // STOP confirmed: the flag, the count to 0, the caption.
    r.progress.stop = true;
    r.progress.captionClose = true;
    r.progress.count = 0;
    r.run.forgetRunning();
    QVERIFY(r.ended());
    QCOMPARE(outcomes, QList<PriceRun::Outcome>{PriceRun::Outcome::Stopped});
    QCOMPARE(r.dialogs.texts(), QStringList{"StopExportData"});
    QCOMPARE(r.transport.sent.size(), 204);
    QVERIFY(!r.progress.showing);

    // The window shown again by hand: a late row asks it to close, and the count stays 0.
    r.progress.showing = true;
    r.transport.answer(2, kCompareAnswer);
    QVERIFY(!r.progress.showing);
    QCOMPARE(r.run.RunningThreadCount(), 0);
    QCOMPARE(r.compare.count(), 2);
}

void TestPriceRunLogic::summaryCountsAnsweredAndFailed() {
    Run r;
    QStringList summaries;
    connect(&r.run, &PriceRun::requestsSettled, this, [&](const QString& s) { summaries << s; });
    r.run.start(lines(3), compareSettings("[12][44]"));
    QVERIFY(r.ended());
    r.transport.answer(4, kCompareAnswer);
    QVERIFY(summaries.isEmpty());
    r.transport.answer(2, QString());
    QCOMPARE(summaries, QStringList{"6 requests: 4 answered, 2 failed \u2014 see Log requests"});
}

void TestPriceRunLogic::closingEndsTheRunWithoutAWord() {
    Run r;
    QList<PriceRun::Outcome> outcomes;
    connect(&r.run, &PriceRun::finished, this, [&](PriceRun::Outcome o) { outcomes << o; });
    r.run.start(lines(60), compareSettings("[1][2][3][4]"));
    QTRY_COMPARE(r.transport.sent.size(), 204);
    r.transport.closing = true; // a termination signal stopped the network thread
    r.run.forgetRunning();
    QVERIFY(r.ended());
    QCOMPARE(outcomes, QList<PriceRun::Outcome>{PriceRun::Outcome::Closed});
    QVERIFY(r.dialogs.shown().isEmpty());
}

void TestPriceRunLogic::runListsFromTextAndFromTheListsExport() {
    QTemporaryDir dir;
    const QList<PriceLine> expected{{"A&B", "13.0460", "Disc; rear"}, {"TRW", "GDB 1385", ""}};
    writeBytes(dir.filePath("semicolons.csv"),
               "brand;reference;name\r\nA&B;13.0460;Disc; rear\r\n\r\nTRW;GDB 1385\r\n");
    writeBytes(dir.filePath("tabs.txt"), "\xEF\xBB\xBF A&B\t13.0460\tDisc; rear\nTRW\tGDB 1385\t\n");
    PriceLines list;
    for (const PriceLine& line : expected)
        list.appendLine(line);
    QVERIFY(SpreadsheetWriter::write(dir.filePath("export.xlsx"), list.sheetRows()));
    for (const char* name : {"semicolons.csv", "tabs.txt", "export.xlsx"}) {
        QString error;
        const auto lines = ReadRunList(dir.filePath(name), &error);
        QVERIFY2(lines, qPrintable(error));
        QStringList got;
        for (const PriceLine& line : *lines)
            got << line.brand + "|" + line.reference + "|" + line.name;
        QCOMPARE(got, (QStringList{"A&B|13.0460|Disc; rear", "TRW|GDB 1385|"}));
    }
    QString error;
    QVERIFY(!ReadRunList(dir.filePath("missing.csv"), &error));
    QVERIFY(error.endsWith("missing.csv: no such file"));
}

QTEST_GUILESS_MAIN(TestPriceRunLogic)
#include "tst_pricerunlogic.moc"
