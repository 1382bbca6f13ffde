#include "platform/messageboxdialogs.h"
#include "pricing/priceengine.h"
#include "pricing/pricerun.h"
#include "pricing/processing.h"
#include "pricing/runsteps.h"
#include "pricing/tablegrid.h"
#include "support/windowfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {

using Kind = ScriptedDialogs::Kind;

// A main window against its own stand-in service, with the shops and e-platforms chosen in the
// id files it reads at start-up and the comparative list filled with `lines`.
class RunFixture {
public:
    RunFixture(const QStringList& serviceArgs, const QList<QStringList>& lines,
               const QByteArray& shopIds = "12\r\n44\r\n", const QByteArray& platformIds = {},
               Desktop* desktop = nullptr)
        : service(serviceArgs + QStringList{"--quiet"}), f(endpointsOf(service)) {
        if (desktop)
            f.seams.desktop = desktop;
        writeBytes(f.folders.programFile("ListIDsShopsForCompare.txt"), shopIds);
        writeBytes(f.folders.programFile("ListIDsShopsForAnalis.txt"), platformIds);
        f.show();
        f.find<QLineEdit>("Edit5")->setText(DemoService::kCompareEmail);
        f.find<QLineEdit>("Edit6")->setText(DemoService::kCompareSeccode);
        f.find<QLineEdit>("Edit1")->setText(DemoService::kAnalysisEmail);
        f.find<QLineEdit>("Edit2")->setText(DemoService::kAnalysisSeccode);
        TableGrid* list = f.find<TableGrid>("StringGrid1");
        for (const QStringList& line : lines)
            list->appendRow(line);
        list->setCurrentCell(1, 2);
        f.window().showPage("PAGEPRODUCT");
        f.find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    }

    void check(const char* name, bool on) { f.find<QCheckBox>(name)->setChecked(on); }
    TForm3* form3() { return f.window().form3(); }
    PriceRun& workers() { return f.window().priceRun(); }
    PriceEngine& engine() { return f.window().priceEngine(); }
    TableGrid* compare() { return f.find<TableGrid>("StringGrid2"); }
    TableGrid* analysis() { return f.find<TableGrid>("StringGrid3"); }
    // Presses the start button; the run works on while the window processes its events.
    void start() { click(f.find<QToolButton>("SpeedButton32")); }
    // Waits until the run has gone through its lines (its workers may still be out).
    bool ended(int timeoutMs = 20000) {
        return QTest::qWaitFor([this] { return !workers().isRunning(); }, timeoutMs);
    }
    QStringList logLines() const { return const_cast<RunFixture*>(this)->f.window().context().log->lines(); }

    DemoService service;
    WindowFixture f;
};

QList<QStringList> numberedLines(int n) {
    QList<QStringList> lines;
    for (int i = 1; i <= n; ++i)
        lines << QStringList{"TRW", QStringLiteral("GDB%1").arg(1000 + i), QStringLiteral("Brake pad %1").arg(i)};
    return lines;
}

// Answers the next box with the given button once it shows, from inside its event loop.
void answerNextBox(QMessageBox::StandardButton button, QWidget** parentSeen, bool* enabledSeen) {
    QTimer::singleShot(50, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        *parentSeen = box->parentWidget();
        *enabledSeen = box->isEnabled();
        box->button(button)->click();
    });
}

// Opens a page only once `ready` holds, letting the window work meanwhile.
class WaitingDesktop : public Desktop {
public:
    std::function<bool()> ready;
    std::function<void(bool wasReady)> opened;
    bool open(const QString&) override {
        const bool wasReady = QTest::qWaitFor(ready, 10000);
        opened(wasReady);
        return true;
    }
};

} // namespace

class TestPriceRun : public QObject {
    Q_OBJECT
private slots:
    void startNeedsProductLineWithReference();
    void twoLinesTwoShopsDeliverRowsAndClose();
    void analysisRowsKeepTheirIds();
    void windowStaysWhileRunGoesOnWithNoWorkerCounted();
    void stopAsksThenEndsWithError();
    void stopAfterTheLastLineClosesOnTheNextRow();
    void waitsWhileMoreThan200WorkersRun();
    void ownPricesFoundForALine();
    void emptyOwnPriceTableIsRegeneratedFirst();
    void pagesOpenWithPauseQuestion_data();
    void pagesOpenWithPauseQuestion();
    void failingRequestsStillEnd();
    void closingMidRunIsQuick();
    void questionsDuringRunBelongToTheProgressWindow();
};

void TestPriceRun::startNeedsProductLineWithReference() {
    RunFixture run({}, {{"TRW", "GDB1385", "Brake pad"}, {"TRW", " ", "Blank reference"}});
    TableGrid* list = run.f.find<TableGrid>("StringGrid1");
    for (int row : {3, 2}) { // the empty last row; a line whose reference is blank
        list->setCurrentCell(row, 2);
        run.start();
        QVERIFY(run.f.dialogs.shown().isEmpty());
    }
    list->setCurrentCell(1, 2);
    run.start(); // answered No
    QCOMPARE(run.f.dialogs.texts(), QStringList{"START PROCESSING OF PRICES ???"});
    QVERIFY(!run.form3()->isVisible());
}

void TestPriceRun::twoLinesTwoShopsDeliverRowsAndClose() {
    // GDB1385: two records from shop 12, one from 44; KXQ8208: two from 12, an answer without
    // records from 44.
    RunFixture run({"--latency-ms", "1000"}, {{"TRW", "GDB1385", "Brake pad"}, {"TRW", "KXQ8208", "Disc"}});
    run.check("CheckBox1", true);
    QList<PriceQuestion> started;
    connect(&run.workers(), &PriceRun::workerStarted, this, [&](const TMyThread& w) { started << w; });
    int lowestCount = 0;
    connect(&run.workers(), &PriceRun::countChanged, this, [&](int count) { lowestCount = qMin(lowestCount, count); });
    run.f.dialogs.setNextAnswer(true); // start
    run.f.dialogs.setNextAnswer(true); // clean the comparison table
    run.start();
    QVERIFY(run.ended());

    QStringList order;
    for (const PriceQuestion& q : started)
        order << q.part + "@" + q.site;
    QCOMPARE(order, (QStringList{"GDB1385@12", "GDB1385@44", "KXQ8208@12", "KXQ8208@44"}));
    QCOMPARE(started[0].service, "COMPAREPRICE");
    QCOMPARE(started[0].email, DemoService::kCompareEmail);
    // Counted when created: the run has ended and the answers are still on their way.
    QCOMPARE(run.workers().RunningThreadCount(), 4);
    QVERIFY(run.form3()->isVisible());
    QVERIFY(!run.f.window().isEnabled());
    QCOMPARE(run.form3()->findChild<QLabel*>("Label2")->text(), "Count lines : 2");
    QTRY_COMPARE(run.form3()->findChild<QLabel*>("Label3")->text(), "Sent requests :  100% [2 from 2]");
    QTRY_COMPARE(run.form3()->findChild<QLabel*>("Label6")->text(), "4");
    // The requests still open stand beside the line count.
    QTRY_COMPARE(run.form3()->findChild<QLabel*>("openRequests")->text(), "4 open");
    QCOMPARE(run.form3()->size(), QSize(750, 167));
    QVERIFY(run.form3()->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(run.form3()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    QTRY_VERIFY_WITH_TIMEOUT(!run.form3()->isVisible(), 10000);
    QVERIFY(run.f.window().isEnabled());
    QCOMPARE(run.workers().RunningThreadCount(), 0);
    QCOMPARE(lowestCount, 0);
    QCOMPARE(run.compare()->rowCount(), 2 + 5);
    QStringList rows;
    for (int r = 1; r <= 5; ++r) {
        rows << run.compare()->cell(r, 1) + " " + run.compare()->cell(r, 3);
        QVERIFY(!run.compare()->cell(r, 4).isEmpty());
        QVERIFY(!run.compare()->cell(r, 5).isEmpty());
    }
    rows.sort();
    QCOMPARE(rows, (QStringList{"GDB1385 ebay.de", "GDB1385 partshub.example", "GDB1385 partshub.example",
                                "KXQ8208 partshub.example", "KXQ8208 partshub.example"}));
    QCOMPARE(run.compare()->cell(1, 0), "TRW");
    QCOMPARE(run.logLines().filter("\"ANSWER [").size(), 4);
    QCOMPARE(run.f.dialogs.texts(),
             (QStringList{"START PROCESSING OF PRICES ???", "Clean full list in table compare prices ???"}));
}

void TestPriceRun::analysisRowsKeepTheirIds() {
    // HVH9587 on site 44: one main offer with eight sub-offers; the limit takes three.
    RunFixture run({}, {{"TRW", "HVH9587", "Disc"}}, {}, "44\r\n");
    run.check("CheckBox2", true);
    run.f.find<QLineEdit>("Edit7")->setText("3");
    run.f.dialogs.setNextAnswer(true); // start
    run.f.dialogs.setNextAnswer(true); // clean the analysis table
    run.start();
    QVERIFY(run.ended());
    QTRY_VERIFY_WITH_TIMEOUT(!run.form3()->isVisible(), 10000);
    TableGrid* grid = run.analysis();
    QCOMPARE(grid->rowCount(), 2 + 4);
    QCOMPARE(grid->cell(1, 0), "+");
    QCOMPARE(grid->cell(1, 1), "TRW");
    QCOMPARE(grid->cell(1, 10), "1");
    QCOMPARE(grid->cell(1, 6), "EUR");
    for (int r = 2; r <= 4; ++r) {
        QCOMPARE(grid->cell(r, 0), QString());
        QVERIFY(grid->cell(r, 4).endsWith("(ebay.de)"));
        QVERIFY(!grid->cell(r, 7).isEmpty());
        QVERIFY(grid->cell(r, 9).endsWith(QStringLiteral("/1-%1").arg(r - 1)));
    }
}

void TestPriceRun::windowStaysWhileRunGoesOnWithNoWorkerCounted() {
    // Line 1's page opens only after its workers have delivered, so the count falls to zero
    // while the run still has line 2 to do.
    WaitingDesktop desktop;
    RunFixture run({}, {{"TRW", "GDB1385", "Brake pad"}, {"TRW", "KXQ8208", "Disc"}}, "12\r\n", {}, &desktop);
    QList<bool> visibleAtOpen;
    desktop.ready = [&] { return run.workers().RunningThreadCount() == 0; };
    desktop.opened = [&](bool wasReady) { visibleAtOpen << (wasReady && run.form3()->isVisible()); };
    run.check("CheckBox1", true);
    run.check("CheckBox5", false);
    run.check("CheckBox4", true);
    run.check("CheckBox11", false);
    auto* pages = run.f.find<QListWidget>("ListBox2");
    pages->clear();
    pages->addItem("http://search.test/?q={reference}");
    run.f.dialogs.setNextAnswer(true);
    run.start();
    QVERIFY(run.ended());
    QCOMPARE(visibleAtOpen, (QList<bool>{true, true}));
    QTRY_VERIFY_WITH_TIMEOUT(!run.form3()->isVisible(), 10000);
    QCOMPARE(run.compare()->rowCount(), 2 + 4);
}

void TestPriceRun::stopAsksThenEndsWithError() {
    // 240 workers with a slow service: the run waits at the limit when STOP comes.
    RunFixture run({"--latency-ms", "2500"}, numberedLines(60), "3\r\n12\r\n15\r\n18\r\n");
    run.check("CheckBox1", true);
    run.check("CheckBox5", false);
    run.f.dialogs.setNextAnswer(true);  // start
    run.f.dialogs.setNextAnswer(false); // first STOP: No, the run goes on
    run.f.dialogs.setNextAnswer(true);  // second STOP: Yes
    auto* stop = run.form3()->findChild<QToolButton*>("SpeedButton1");
    QString captionAfterNo;
    QTimer::singleShot(300, [&] {
        click(stop);
        captionAfterNo = stop->text();
        QTimer::singleShot(200, [&] { click(stop); });
    });
    run.start();
    QVERIFY(run.ended());

    QCOMPARE(captionAfterNo, "STOP");
    QCOMPARE(run.f.dialogs.texts(),
             (QStringList{"START PROCESSING OF PRICES ???", "Stop export ???", "Stop export ???", "StopExportData"}));
    QCOMPARE(run.f.dialogs.shown().last().kind, Kind::Error);
    QCOMPARE(run.workers().RunningThreadCount(), 0);
    QVERIFY(!run.form3()->isVisible());
    QVERIFY(run.f.window().isEnabled());
    QVERIFY(run.engine().openCount() > 0); // started workers are not stopped
    // Late workers keep delivering but never push the count below zero.
    QTRY_COMPARE_WITH_TIMEOUT(run.engine().openCount(), 0, 15000);
    QCOMPARE(run.workers().RunningThreadCount(), 0);
    QVERIFY(run.compare()->rowCount() > 2);
}

void TestPriceRun::stopAfterTheLastLineClosesOnTheNextRow() {
    // The run is through its lines and the window waits for two slow answers when STOP comes.
    RunFixture run({"--latency-ms", "1500"}, {{"TRW", "GDB1385", "Brake pad"}}, "12\r\n44\r\n");
    run.check("CheckBox1", true);
    run.check("CheckBox5", false);
    run.f.dialogs.setNextAnswer(true); // start
    run.start();
    QVERIFY(run.ended());
    QVERIFY(run.form3()->isVisible());
    run.f.dialogs.setNextAnswer(true); // STOP
    auto* stop = run.form3()->findChild<QToolButton*>("SpeedButton1");
    click(stop);
    QCOMPARE(stop->text(), "CLOSE");
    QCOMPARE(run.workers().RunningThreadCount(), 0);
    QVERIFY(run.form3()->isVisible());
    // The first late row asks the window to close, which CLOSE allows.
    QTRY_VERIFY_WITH_TIMEOUT(!run.form3()->isVisible(), 10000);
    QVERIFY(run.compare()->rowCount() > 2);
    QVERIFY(run.f.window().isEnabled());
    QCOMPARE(run.workers().RunningThreadCount(), 0);
    QVERIFY(!run.f.dialogs.texts().contains("StopExportData"));
}

void TestPriceRun::waitsWhileMoreThan200WorkersRun() {
    RunFixture run({"--latency-ms", "3000"}, numberedLines(60), "3\r\n12\r\n15\r\n18\r\n");
    run.check("CheckBox1", true);
    run.check("CheckBox5", false);
    int highest = 0;
    connect(&run.workers(), &PriceRun::countChanged, this, [&](int count) { highest = qMax(highest, count); });
    run.f.dialogs.setNextAnswer(true);
    QElapsedTimer clock;
    clock.start();
    run.start();
    QVERIFY(run.ended());
    // The run could only get past line 51 after the first answers came back.
    QVERIFY(clock.elapsed() >= 2500);
    // A worker's request is closed before it delivers, so at most 204 requests were open.
    QVERIFY(highest > 200);
    QVERIFY(highest <= 204);
    QTRY_VERIFY_WITH_TIMEOUT(!run.form3()->isVisible(), 20000);
    QCOMPARE(run.logLines().filter("GET\tget").size(), 240);
}

void TestPriceRun::ownPricesFoundForALine() {
    RunFixture run({}, {{"Bosch", "0 986-452 044", "Filter"}, {"BOSCH ", "0986452044", "Trailing blank"}});
    OwnPriceTable& table = run.f.window().ownPrices();
    table.Add("0986452044", {"BOSCH", "0986452044", "0986452044", "12.50", "MyStock.csv"});
    table.Add("0986452044", {"BOSCH GMBH", "0986452044", "0986452044", "11.00", "Other.csv"});
    table.Add("0986452044", {"BOSCH", "0 986 452 044", "0986452044", "13,10", "Supplier.xlsx"});
    table.Add("1234", {"BOSCH", "1234", "1234", "1.00", "MyStock.csv"});
    table.Sort();
    run.check("CheckBox3", true);
    run.f.dialogs.setNextAnswer(true);
    run.start();
    QVERIFY(run.ended());
    QVERIFY(!run.form3()->isVisible()); // nothing counted: the window closed with the run
    QCOMPARE(run.compare()->rowCount(), 4);
    QStringList shops{run.compare()->cell(1, 3), run.compare()->cell(2, 3)};
    shops.sort();
    QCOMPARE(shops, (QStringList{"MyStock.csv", "Supplier.xlsx"}));
    QCOMPARE(run.compare()->rowTexts()[1].mid(0, 3), (QStringList{"Bosch", "0 986-452 044", "Filter"}));
    QCOMPARE(run.compare()->cell(1, 5), "by default");
}

void TestPriceRun::emptyOwnPriceTableIsRegeneratedFirst() {
    RunFixture run({}, {{"TRW", "GDB-1385", "Brake pad"}});
    run.check("CheckBox3", true);
    OwnPriceTable& table = run.f.window().ownPrices();
    QString phaseSeen;
    bool shownDuringRegeneration = false;
    run.f.window().priceRun().setRegenerateOwnPrices([&] {
        phaseSeen = run.form3()->phase();
        shownDuringRegeneration = run.form3()->isVisible();
        table.Add("GDB1385", {"TRW", "GDB1385", "GDB1385", "9.99", "Stock.csv"});
        table.Sort();
    });
    run.f.dialogs.setNextAnswer(true);
    run.start();
    QVERIFY(run.ended());
    QCOMPARE(phaseSeen, "Load price lists in memory ...");
    QVERIFY(shownDuringRegeneration);
    QCOMPARE(run.compare()->rowTexts()[1],
             (QStringList{"TRW", "GDB-1385", "Brake pad", "Stock.csv", "9.99", "by default"}));
}

void TestPriceRun::pagesOpenWithPauseQuestion_data() {
    QTest::addColumn<bool>("afterRun");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("opened");
    QTest::addColumn<int>("pauses");
    QTest::newRow("abort at the second pause") << true << 5 << QList<bool>{true, false} << 4 << 2;
    QTest::newRow("pause after the last page too") << true << 4 << QList<bool>{true, true} << 4 << 2;
    QTest::newRow("during the run, no pause") << false << 5 << QList<bool>{} << 5 << 0;
}

void TestPriceRun::pagesOpenWithPauseQuestion() {
    QFETCH(bool, afterRun);
    QFETCH(int, lines);
    QFETCH(QList<bool>, answers);
    QFETCH(int, opened);
    QFETCH(int, pauses);
    RunFixture run({}, numberedLines(lines));
    run.check("CheckBox4", true);
    run.check("CheckBox11", afterRun);
    run.check("CheckBox12", true);
    run.f.find<QLineEdit>("Edit16")->setText("2");
    auto* pages = run.f.find<QListWidget>("ListBox2");
    pages->clear();
    pages->addItem("http://search.test/?q={Brand}+{reference}");
    run.f.desktop.clear();
    run.f.dialogs.setNextAnswer(true);
    for (bool answer : answers)
        run.f.dialogs.setNextAnswer(answer);
    run.start();
    QVERIFY(run.ended());
    QCOMPARE(run.f.desktop.opened().size(), opened);
    QCOMPARE(run.f.desktop.opened().first(), "http://search.test/?q=TRW+GDB1001");
    QStringList questions;
    for (const auto& box : run.f.dialogs.shown())
        if (box.kind == Kind::OkAbort)
            questions << box.text;
    QCOMPARE(questions, QStringList(pauses, PagePauseMessage(2)));
    QVERIFY(!run.form3()->isVisible());
}

void TestPriceRun::failingRequestsStillEnd() {
    RunFixture run({"--fail-every", "3", "--drop-every", "4"}, numberedLines(4), "3\r\n12\r\n");
    run.check("CheckBox1", true);
    run.check("CheckBox5", false);
    run.f.dialogs.setNextAnswer(true);
    run.start();
    QVERIFY(run.ended());
    QTRY_VERIFY_WITH_TIMEOUT(!run.form3()->isVisible(), 10000);
    QCOMPARE(run.workers().RunningThreadCount(), 0);
    const QStringList failed = run.logLines().filter("NOT ANSWER [result(");
    QVERIFY(!run.logLines().filter("NOT ANSWER [result(INTERNAL SERVER ERROR)] !!!").isEmpty());
    QVERIFY(!run.logLines().filter("NOT ANSWER [result()] !!!").isEmpty());
    // The end of the run says how many requests went and how many failed.
    auto* note = run.f.find<QLabel>("logNote");
    QTRY_VERIFY(note->isVisible());
    QCOMPARE(note->text(), QStringLiteral("8 requests: %1 answered, %2 failed \u2014 see Log requests")
                               .arg(8 - failed.size())
                               .arg(failed.size()));
}

void TestPriceRun::closingMidRunIsQuick() {
    auto run = std::make_unique<RunFixture>(QStringList{"--latency-ms", "60000"}, numberedLines(60),
                                            "3\r\n12\r\n15\r\n18\r\n");
    run->check("CheckBox1", true);
    run->check("CheckBox5", false);
    run->f.dialogs.setNextAnswer(true);
    QElapsedTimer clock;
    QTimer::singleShot(500, [&] {
        clock.start();
        run->f.window().close();
    });
    run->start();
    QVERIFY(run->ended());
    QVERIFY(clock.isValid());
    QVERIFY(!run->f.window().isVisible());
    QVERIFY(!run->form3()->isVisible());
    QCOMPARE(run->engine().openCount(), 0);
    QVERIFY(run->engine().isClosing());
    QVERIFY(!run->f.dialogs.texts().contains("StopExportData"));
    run->f.destroy();
    QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
    QTest::qWait(200); // nothing may arrive for the windows that are gone
}

void TestPriceRun::questionsDuringRunBelongToTheProgressWindow() {
    QWidget mainWindow;
    mainWindow.show();
    MessageBoxDialogs dialogs;
    dialogs.setParentWidget(&mainWindow);
    TForm3 progress(dialogs, &mainWindow);
    progress.show();
    QVERIFY(!mainWindow.isEnabled());

    QWidget* parent = nullptr;
    bool enabled = false;
    answerNextBox(QMessageBox::Yes, &parent, &enabled);
    click(progress.findChild<QToolButton*>("SpeedButton1"));
    QCOMPARE(parent, &progress);
    QVERIFY(enabled);
    QCOMPARE(progress.StopFlag, 1);
    QCOMPARE(progress.buttonCaption(), "CLOSE");
    click(progress.findChild<QToolButton*>("SpeedButton1"));
    QVERIFY(!progress.isVisible());
    QVERIFY(mainWindow.isEnabled());
}

QTEST_MAIN(TestPriceRun)
#include "tst_pricerun.moc"
