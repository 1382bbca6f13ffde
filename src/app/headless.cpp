#include "app/headless.h"

#include "app/runsettingsfile.h"
#include "app/terminationsignals.h"
#include "platform/apppaths.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/localeformats.h"
#include "platform/spreadsheetwriter.h"
#include "pricelists/ownpricetable.h"
#include "pricelists/pricelistfolder.h"
#include "pricing/priceengine.h"
#include "pricing/pricehistory.h"
#include "pricing/pricerun.h"
#include "pricing/resultrows.h"
#include "pricing/runlist.h"
#include "pricing/runprogress.h"
#include "pricing/runrecorder.h"
#include "service/endpoints.h"
#include "service/listfiles.h"
#include "service/requestlog.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kFailed = 1;
// As a shell reports a program ended by Ctrl+C.
constexpr int kInterrupted = 130;

void say(const QString& line) {
    std::fprintf(stderr, "velmora: %s\n", line.toLocal8Bit().constData());
}

// Nobody is there to answer: questions go on, nothing opens.
class HeadlessDialogs : public Dialogs {
public:
    void information(const QString& text) override { say(text); }
    bool informationWithAction(const QString& text, const QString&) override {
        say(text);
        return false;
    }
    bool confirm(const QString&, Confirmation) override { return true; }
    // Trusting a server is the user's choice alone.
    bool confirmTrust(const QString& text) override {
        say(text);
        return false;
    }
    bool okAbort(const QString&) override { return true; }
    void error(const QString& text) override { say(text); }
    void titledError(const QString&, const QString& text) override { say(text); }
};

class NoDesktop : public Desktop {
public:
    bool open(const QString&) override { return false; }
};

// The progress window's rules without a window: the run "shows" it until the last counted
// worker is in. On a terminal a bar redrawn in place, otherwise a line at every tenth of the list.
class ConsoleProgress : public RunProgress {
public:
    ConsoleProgress() : m_terminal(::isatty(STDERR_FILENO) == 1) {}
    bool stop = false;

    void begin(int lineCount, const QString& progressLine) override {
        m_lines = lineCount;
        m_showing = true;
        setProgressLine(progressLine);
    }
    void setProgressLine(const QString& text) override {
        m_progressLine = text;
        draw();
    }
    void setPhase(const QString&) override {}
    void setRunningCount(int count) override { m_count = count; }
    void setOpenRequests(int count) override {
        m_open = count;
        draw();
    }
    bool isShowing() const override { return m_showing; }
    bool stopRequested() const override { return stop; }
    void requestClose() override {
        if (m_count < 1 || stop)
            m_showing = false;
    }
    void finish(const QString& summary) {
        if (m_terminal && m_drawn)
            std::fputc('\n', stderr);
        if (!summary.isEmpty())
            say(summary);
    }

private:
    void draw() {
        // "Sent requests :  45% [450 from 1000]"
        const int percent = m_progressLine.section(QLatin1Char('%'), 0, 0).section(QLatin1Char(' '), -1).toInt();
        if (m_terminal) {
            if (m_sinceDraw.isValid() && m_sinceDraw.elapsed() < 100 && percent < 100)
                return;
            m_sinceDraw.start();
            const int filled = percent * 30 / 100;
            std::fprintf(stderr, "\r[%s%s] %s, %d open   ", QByteArray(filled, '#').constData(),
                         QByteArray(30 - filled, '.').constData(), m_progressLine.toLocal8Bit().constData(), m_open);
            std::fflush(stderr);
            m_drawn = true;
        } else if (percent / 10 != m_lastTenth) {
            m_lastTenth = percent / 10;
            say(m_progressLine);
        }
    }

    const bool m_terminal;
    int m_lines = 0;
    int m_count = 0;
    int m_open = 0;
    bool m_showing = false;
    bool m_drawn = false;
    int m_lastTenth = -1;
    QString m_progressLine;
    QElapsedTimer m_sinceDraw;
};

// The rows a table takes in go on to the workbook as they come (a headless run only appends).
void streamRows(const ResultRows& table, SpreadsheetWriter::SheetStream& out, int sheet) {
    QObject::connect(&table, &QAbstractItemModel::rowsInserted, &table,
                     [&table, &out, sheet](const QModelIndex&, int first, int last) {
                         QList<QStringList> rows;
                         rows.reserve(last - first + 1);
                         for (int r = first; r <= std::min(last, table.count() - 1); ++r)
                             rows << table.rowCells(r);
                         out.append(sheet, rows);
                     });
}

} // namespace

bool IsHeadlessRun(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--price-run") == 0 || qstrncmp(argv[i], "--price-run=", 12) == 0)
            return true;
    return false;
}

int RunHeadless(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Checks the prices of a list of products without a window."));
    parser.addHelpOption();
    const QCommandLineOption listOption(QStringLiteral("price-run"),
                                        QStringLiteral("The products: brand;reference;name lines, or a workbook of "
                                                       "the comparative list."),
                                        QStringLiteral("LIST"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("The workbook to write (.xlsx)."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption iniOption(QStringLiteral("ini"),
                                       QStringLiteral("The settings file (default: velmora.ini of the program)."),
                                       QStringLiteral("FILE"));
    parser.addOptions({listOption, outOption, iniOption});
    if (!parser.parse(QCoreApplication::arguments())) {
        say(parser.errorText());
        return kFailed;
    }
    if (!parser.isSet(outOption)) {
        say(QStringLiteral("--out FILE.xlsx is missing"));
        return kFailed;
    }
    const QString iniPath = parser.isSet(iniOption) ? parser.value(iniOption)
                                                    : AppPaths().programFile(QString::fromLatin1(ListFiles::kSettings));
    if (!QFileInfo(iniPath).isFile()) {
        say(QStringLiteral("no settings file %1").arg(iniPath));
        return kFailed;
    }
    QString error;
    const auto lines = ReadRunList(parser.value(listOption), &error);
    if (!lines) {
        say(error);
        return kFailed;
    }
    if (lines->isEmpty()) {
        say(QStringLiteral("no lines in %1").arg(parser.value(listOption)));
        return kFailed;
    }
    Settings::RunFileSettings file = Settings::ReadRunSettings(iniPath);
    PriceRunSettings& settings = file.run;
    settings.priceBaseUrl = Endpoints::fromIniFile(iniPath).priceUrl;
    const auto noAccount = [&](bool on, const QString& email, const char* section) {
        if (on && email.trimmed().isEmpty()) {
            say(QStringLiteral("no account: [%1] email is empty in %2").arg(QLatin1String(section), iniPath));
            return true;
        }
        return false;
    };
    if (noAccount(settings.compare, settings.compareEmail, "compareprice") ||
        noAccount(settings.analysis, settings.analysisEmail, "analizprice"))
        return kFailed;
    if (!settings.compare && !settings.analysis && !settings.ownPrices) {
        say(QStringLiteral("no account switched on in %1: enable [compareprice], [analizprice] or [myprices]")
                .arg(iniPath));
        return kFailed;
    }

    ConsoleProgress progress;
    if (!WatchTerminationSignals(&app, [&] {
            progress.stop = true;
            QCoreApplication::exit(kInterrupted);
        })) {
        say(QStringLiteral("cannot watch for Ctrl+C"));
        return kFailed;
    }

    OwnPriceTable ownPrices;
    if (settings.ownPrices) {
        const QString failed = PriceListFolder::Regenerate(
            ownPrices, file.priceListFolder, {file.brandColumns, file.referenceColumns, file.priceColumns},
            LocaleFormats::listSeparator().at(0), {});
        if (!failed.isEmpty())
            say(failed);
    }

    HeadlessDialogs dialogs;
    NoDesktop desktop;
    RequestLog log;
    log.setSecretsSource([codes = QStringList{settings.compareSeccode, settings.analysisSeccode}] { return codes; });
    ResultRows compare(ResultRows::Table::Compare);
    ResultRows analysis(ResultRows::Table::Analysis);
    // The same history as the window's, beside the settings; stored to its end before it goes.
    const QString folder = QFileInfo(iniPath).absolutePath();
    PriceHistory history(QDir(folder).filePath(QString::fromLatin1(PriceHistory::kFileName)),
                         ReadKeepDays(file.keepHistoryDays));
    QObject::connect(&history, &PriceHistory::notice, &app, say, Qt::DirectConnection);
    history.start();
    // The workbook is written while the run goes on, and replaces the file only at the end.
    SpreadsheetWriter::SheetStream out(parser.value(outOption), {compare.titles(), analysis.titles()},
                                       {QStringLiteral("compare prices"), QStringLiteral("analysis prices")});
    streamRows(compare, out, 0);
    streamRows(analysis, out, 1);
    PriceEngine engine;
    PriceRun run(engine, dialogs, desktop, log, ownPrices, compare, analysis);
    run.setProgress(&progress);
    RunRecorder recorder(run, compare, analysis, &history);
    const auto checkDone = [&] {
        if (!run.isRunning() && engine.openCount() == 0)
            QCoreApplication::exit(0);
    };
    QObject::connect(&run, &PriceRun::finished, &app, checkDone, Qt::QueuedConnection);
    QObject::connect(&engine, &PriceTransport::delivered, &app, checkDone, Qt::QueuedConnection);
    if (!run.start(*lines, settings)) {
        say(QStringLiteral("the run could not start"));
        return kFailed;
    }
    const int status = QCoreApplication::exec();
    run.shutdown();
    engine.shutdown();
    const PriceRun::Requests requests = run.requests();
    // The request log goes beside the settings, as the window's log button saves it; it is
    // written while the workbook is.
    std::thread logWriter([&] { log.SaveAndOpenLog(AppPaths(folder, folder), desktop); });
    progress.finish(requests.sent > 0 ? PriceRun::summaryLine(requests).replace(QStringLiteral("Log requests"),
                                                                                QStringLiteral("logRequests.txt"))
                                      : QString());
    const bool written = out.finish(&error);
    logWriter.join();
    if (!written) {
        say(QStringLiteral("%1 not written: %2").arg(parser.value(outOption), error));
        return kFailed;
    }
    if (status == kInterrupted) {
        say(QStringLiteral("stopped: the rows so far (%1 compare, %2 analysis) are in %3")
                .arg(compare.count())
                .arg(analysis.count())
                .arg(parser.value(outOption)));
        return kInterrupted;
    }
    if (requests.sent > 0 && requests.answered == 0) {
        say(QStringLiteral("no price service answered: %1 requests failed (price_url %2)")
                .arg(requests.failed)
                .arg(settings.priceBaseUrl));
        return kFailed;
    }
    return 0;
}
