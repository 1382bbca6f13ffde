#include "pricing/pricerun.h"
#include "pricing/processing.h"
#include "pricing/tablegrid.h"
#include "support/windowfixture.h"
#include "xlsxreadback.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>

#include <csignal>

// `velmora --price-run` as cron would start it, against the stand-in.

namespace {

QList<QStringList> lineCells(int n) {
    QList<QStringList> lines;
    lines << QStringList{"TRW", "GDB1385", "Brake pad"} << QStringList{"TRW", "HVH9587", "Disc"}
          << QStringList{"A&B", "KXQ8208", "Disc; rear"};
    for (int i = 1; lines.size() < n; ++i)
        lines << QStringList{"TRW", QStringLiteral("GDB %1/%2").arg(1000 + i).arg(i % 7),
                             QStringLiteral("Pad %1").arg(i)};
    return lines.mid(0, n);
}

// A program folder with velmora.ini, the chosen sites and a list file.
struct Folder {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const { writeBytes(path(name), bytes); }
    void setUp(const DemoService& service, const QList<QStringList>& lines, bool accounts = true) const {
        QByteArray ini = "[compareprice]\r\nenable=1\r\n[analizprice]\r\nenable=1\r\nmaxval=3\r\n";
        if (accounts)
            ini = QByteArray("[compareprice]\r\nemail=") + DemoService::kCompareEmail +
                  "\r\nseccode=" + DemoService::kCompareSeccode +
                  "\r\nenable=1\r\n[analizprice]\r\nemail=" + DemoService::kAnalysisEmail +
                  "\r\nseccode=" + DemoService::kAnalysisSeccode + "\r\nenable=1\r\nmaxval=3\r\n";
        write("velmora.ini", ini + service.serviceIniSection().toUtf8());
        write("ListIDsShopsForCompare.txt", "12\r\n44\r\n");
        write("ListIDsShopsForAnalis.txt", "44\r\n");
        QByteArray list = "brand;reference;name\r\n";
        for (const QStringList& line : lines)
            list += line.join(';').toUtf8() + "\r\n";
        write("list.txt", list);
    }
};

QProcess* startHeadless(const Folder& folder, QObject* parent) {
    auto* process = new QProcess(parent);
    process->setProgram(QStringLiteral(VELMORA_EXECUTABLE_PATH));
    process->setArguments({"--price-run", folder.path("list.txt"), "--out", folder.path("out.xlsx"), "--ini",
                           folder.path("velmora.ini")});
    process->start();
    return process;
}

// The data rows of a sheet (titles and the empty last row left out), sorted: answers arrive in
// any order.
QStringList sheetRows(const SheetContent& sheet) {
    QStringList rows;
    for (int r = 1; r < sheet.rowCount - 1; ++r) {
        QStringList cells;
        for (int c = 0; c < sheet.cells.value(0).size(); ++c)
            cells << sheet.shown(r, c);
        rows << cells.join('|');
    }
    rows.sort();
    return rows;
}

QStringList gridRows(const TableGrid* grid, int idColumn = -1) {
    QStringList rows;
    for (int r = 1; r < grid->rowCount() - 1; ++r) {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << (c == idColumn ? QString() : grid->cell(r, c));
        rows << cells.join('|');
    }
    rows.sort();
    return rows;
}

} // namespace

class TestHeadlessRun : public QObject {
    Q_OBJECT
private slots:
    void rowsEqualTheWindowedRun();
    void ctrlCWritesWhatArrivedAndFails();
    void refusals_data();
    void refusals();
};

void TestHeadlessRun::rowsEqualTheWindowedRun() {
    DemoService service({"--quiet"});
    const QList<QStringList> lines = lineCells(8);
    Folder folder;
    folder.setUp(service, lines);
    QProcess* process = startHeadless(folder, this);
    QVERIFY(process->waitForFinished(30000));
    const QString errors = QString::fromLocal8Bit(process->readAllStandardError());
    QCOMPARE(process->exitCode(), 0);
    QVERIFY2(errors.contains("24 requests: 24 answered, 0 failed"), qPrintable(errors));

    // The same lines through the window.
    WindowFixture f(endpointsOf(service));
    writeBytes(f.folders.programFile("ListIDsShopsForCompare.txt"), "12\r\n44\r\n");
    writeBytes(f.folders.programFile("ListIDsShopsForAnalis.txt"), "44\r\n");
    f.show();
    f.find<QLineEdit>("Edit5")->setText(DemoService::kCompareEmail);
    f.find<QLineEdit>("Edit6")->setText(DemoService::kCompareSeccode);
    f.find<QLineEdit>("Edit1")->setText(DemoService::kAnalysisEmail);
    f.find<QLineEdit>("Edit2")->setText(DemoService::kAnalysisSeccode);
    f.find<QLineEdit>("Edit7")->setText("3");
    f.find<QCheckBox>("CheckBox1")->setChecked(true);
    f.find<QCheckBox>("CheckBox2")->setChecked(true);
    auto* list = f.find<TableGrid>("StringGrid1");
    for (const QStringList& line : lines)
        list->appendRow(line);
    list->setCurrentCell(1, 2);
    for (int i = 0; i < 3; ++i)
        f.dialogs.setNextAnswer(true);
    click(f.find<QToolButton>("SpeedButton32"));
    QTRY_VERIFY_WITH_TIMEOUT(!f.window().priceRun().isRunning() && !f.window().form3()->isVisible(), 20000);

    const SheetContent compare = ReadXlsx(folder.path("out.xlsx"), 1);
    const SheetContent analysis = ReadXlsx(folder.path("out.xlsx"), 2);
    QVERIFY2(compare.error.isEmpty() && analysis.error.isEmpty(), qPrintable(compare.error + analysis.error));
    QCOMPARE(compare.text(0, 4), "price");
    QCOMPARE(analysis.text(0, 0), "main [+/null]");
    const QStringList windowCompare = gridRows(f.find<TableGrid>("StringGrid2"));
    QVERIFY(windowCompare.size() > 8);
    QCOMPARE(sheetRows(compare), windowCompare);
    // The id of a main offer is its row's index, which depends on the order answers arrived in.
    QStringList headlessAnalysis;
    for (QString row : sheetRows(analysis))
        headlessAnalysis << row.section('|', 0, 9) + '|';
    headlessAnalysis.sort();
    QCOMPARE(headlessAnalysis, gridRows(f.find<TableGrid>("StringGrid3"), 10));
    QVERIFY(QFileInfo::exists(folder.path("logRequests.txt")));
}

void TestHeadlessRun::ctrlCWritesWhatArrivedAndFails() {
    // 420 questions at a slow service, 200 at a time: the run gets past line 67 only once the first
    // answers are in, and Ctrl+C comes while the rest are on their way.
    DemoService service({"--quiet", "--latency-ms", "600"});
    Folder folder;
    folder.setUp(service, lineCells(140));
    folder.write("out.xlsx", "yesterday's workbook");
    QProcess* process = startHeadless(folder, this);
    QVERIFY(process->waitForStarted());
    QByteArray progress;
    QVERIFY(QTest::qWaitFor(
        [&] {
            progress += process->readAllStandardError();
            return progress.contains("50% [70 from 140]");
        },
        20000));
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(process->processId()), SIGINT);
    QVERIFY(process->waitForFinished(10000));
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    const QString errors = QString::fromLocal8Bit(progress + process->readAllStandardError());
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 130);
    QVERIFY2(errors.contains("stopped: the rows so far"), qPrintable(errors));
    const SheetContent compare = ReadXlsx(folder.path("out.xlsx"), 1);
    QVERIFY2(compare.error.isEmpty(), qPrintable(compare.error));
    const int rows = compare.rowCount - 2;
    QVERIFY2(rows > 0 && rows < 140 * 2 * 2, qPrintable(QString::number(rows)));
}

void TestHeadlessRun::refusals_data() {
    QTest::addColumn<bool>("accounts");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("line");
    QTest::newRow("no account") << false << 3 << "velmora: no account: [compareprice] email is empty in ";
    QTest::newRow("no lines") << true << 0 << "velmora: no lines in ";
}

void TestHeadlessRun::refusals() {
    QFETCH(bool, accounts);
    QFETCH(int, lines);
    QFETCH(QString, line);
    DemoService service({"--quiet"});
    Folder folder;
    folder.setUp(service, lineCells(lines), accounts);
    QProcess* process = startHeadless(folder, this);
    QVERIFY(process->waitForFinished(10000));
    const QStringList errors = QString::fromLocal8Bit(process->readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(process->exitCode(), 1);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().startsWith(line), qPrintable(errors.first()));
    QVERIFY(!QFileInfo::exists(folder.path("out.xlsx")));
}

QTEST_MAIN(TestHeadlessRun)
#include "tst_headlessrun.moc"
