// Own price lists: regeneration of a folder with one 1,000,000-line CSV beside Python's csv module
// filling a dict with the same keys, the spreadsheet reader on a 100,000-row .xlsx beside
// LibreOffice's conversion to CSV and openpyxl's read-only mode, and FindOwnPrices on the full
// table. Each baseline's output is checked equal to ours; ratios are printed after the run.
// Peak memory of a regeneration is measured in a child process of this program, so that nothing
// else this benchmark holds counts.

#include "platform/localeformats.h"
#include "platform/sheetreader.h"
#include "pricelists/ownpricetable.h"
#include "pricelists/pricelistfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <xlsxwriter.h>

#include <ctime>

#include <cstdio>
#include <map>

namespace {

constexpr int kCsvLines = 1000000;
constexpr int kSheetRows = 100000;
const PriceColumnNames kNames{"[brand]", "[reference]", "[price]"};

QString python() {
    // The system interpreter: python3-openpyxl is installed for it.
    return QFile::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3");
}

QTemporaryDir& workDir() {
    static QTemporaryDir dir;
    return dir;
}

QChar separator() {
    return LocaleFormats::listSeparator().at(0);
}

const char* const kBrands[] = {"BOSCH", "FEBI BILSTEIN", "MANN-FILTER", "TRW",        "ATE",   "INA",
                               "FAG",   "SKF",           "LEMFOERDER",  "SACHS",      "VALEO", "MAHLE",
                               "Hella", "NGK",           "Brembo",      "Continental"};
const char* const kNamesOfParts[] = {"Brake pad set disc brake", "Brake disc vented",       "Oil filter spin-on",
                                     "Air filter element",       "Wheel bearing kit front", "Shock absorber rear",
                                     "Spark plug iridium",       "Clutch kit 3-piece",      "Water pump with seal",
                                     "Timing belt kit"};

// References as suppliers write them: blanks, dashes, dots and slashes between digits and letters.
QByteArray reference(QRandomGenerator& rng) {
    const quint32 n = rng.bounded(100000000u);
    char buffer[32];
    switch (rng.bounded(4)) {
    case 0:
        std::snprintf(buffer, sizeof buffer, "0 986 %03u %03u", n / 1000 % 1000, n % 1000);
        break;
    case 1:
        std::snprintf(buffer, sizeof buffer, "GDB%u", n % 100000);
        break;
    case 2:
        std::snprintf(buffer, sizeof buffer, "24.01%02u-%04u.1", n / 10000 % 100, n % 10000);
        break;
    default:
        std::snprintf(buffer, sizeof buffer, "A %03u/%02u-%u", n / 1000 % 1000, n / 10 % 100, n % 10);
        break;
    }
    return buffer;
}

struct CsvFixture {
    QString folder;
    QString path;
    qint64 bytes = 0;
};

const CsvFixture& csvFixture() {
    static const CsvFixture fixture = [] {
        CsvFixture f;
        f.folder = workDir().filePath("csv");
        QDir().mkpath(f.folder);
        f.path = f.folder + "/supplier.csv";
        const char sep = char(separator().unicode());
        const char* decimal = sep == ';' ? "," : ".";
        QFile file(f.path);
        file.open(QIODevice::WriteOnly);
        QByteArray chunk;
        const auto add = [&](std::initializer_list<QByteArray> fields) {
            bool first = true;
            for (const QByteArray& field : fields) {
                if (!first)
                    chunk += sep;
                chunk += field;
                first = false;
            }
            chunk += "\r\n";
        };
        add({"Brand", "Reference", "Name", "Price"});
        QRandomGenerator rng(42);
        for (int i = 0; i < kCsvLines; ++i) {
            const quint32 cents = rng.bounded(100000u);
            add({kBrands[rng.bounded(16)], reference(rng), kNamesOfParts[rng.bounded(10)],
                 QByteArray::number(cents / 100) + decimal + QByteArray::number(cents % 100).rightJustified(2, '0')});
            if (chunk.size() > (1 << 20)) {
                file.write(chunk);
                chunk.clear();
            }
        }
        file.write(chunk);
        f.bytes = file.size();
        return f;
    }();
    return fixture;
}

QString regenerate(OwnPriceTable& table, const QString& folder) {
    PriceListFolder::Hooks hooks;
    hooks.reportLine = [](const QString&) {};
    return PriceListFolder::Regenerate(table, folder, kNames, separator(), hooks);
}

qsizetype distinctKeys(const OwnPriceTable& table) {
    qsizetype keys = 0;
    for (qsizetype i = 0; i < table.Count(); ++i)
        if (i == 0 || table.key(i) != table.key(i - 1))
            ++keys;
    return keys;
}

// Figures gathered for the ratios printed at the end.
std::map<std::string, double> g_seconds;
// Processor time beside the wall clock: on a busy machine it shows the work each side does.
std::map<std::string, double> g_cpuSeconds;
std::map<std::string, double> g_values;

void record(const std::string& name, benchmark::State& state, double seconds, double cpuSeconds) {
    if (state.iterations() == 0)
        return;
    g_seconds[name] = seconds / double(state.iterations());
    g_cpuSeconds[name] = cpuSeconds / double(state.iterations());
    state.counters["cpu_s"] = g_cpuSeconds[name];
}

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Processor time of the children that ended so far.
double childrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs a program and returns its standard output; empty on failure.
QByteArray run(const QString& program, const QStringList& args, int timeoutMs = 600000) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
        return {};
    }
    return process.readAllStandardOutput();
}

void BM_RegenerateCsvFolder(benchmark::State& state) {
    const CsvFixture& f = csvFixture();
    OwnPriceTable table;
    double seconds = 0;
    double cpu = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = processCpuSeconds();
        regenerate(table, f.folder);
        cpu += processCpuSeconds() - cpuStart;
        seconds += timer.nsecsElapsed() / 1e9;
    }
    record("regenerate", state, seconds, cpu);
    g_values["keys"] = double(distinctKeys(table));
    g_values["rows"] = double(table.Count());
    state.counters["rows"] = double(table.Count());
    state.counters["keys"] = double(distinctKeys(table));
    state.counters["file_MB"] = double(f.bytes) / 1e6;
}
BENCHMARK(BM_RegenerateCsvFolder)->Unit(benchmark::kMillisecond)->Iterations(5);

// Peak resident memory of a process that starts, regenerates once and ends.
void BM_RegenerateCsvFolderPeakMemory(benchmark::State& state) {
    const CsvFixture& f = csvFixture();
    for (auto _ : state) {
        const QByteArray out =
            run(QCoreApplication::applicationFilePath(), {QStringLiteral("--regenerate-child"), f.folder});
        const QList<QByteArray> parts = out.trimmed().split(' ');
        if (parts.size() != 3 || parts[0].toDouble() != g_values["rows"]) {
            state.SkipWithError("the child's table differs");
            return;
        }
        g_values["peak_kb"] = parts[2].toDouble();
        g_values["idle_kb"] = parts[1].toDouble();
    }
    state.counters["peak_MB"] = g_values["peak_kb"] / 1024.0;
    state.counters["before_MB"] = g_values["idle_kb"] / 1024.0;
    state.counters["peak_per_file_size"] = g_values["peak_kb"] * 1024.0 / double(f.bytes);
}
BENCHMARK(BM_RegenerateCsvFolderPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

const char* const kPythonCsv = R"(
import csv, re, sys, time
path, sep = sys.argv[1], sys.argv[2]
start = time.perf_counter()
cpu_start = time.process_time()
strip = re.compile(r'[^0-9A-Za-z]')
name = path.rsplit('/', 1)[-1]
table = {}
with open(path, newline='', encoding='cp1252') as f:
    rows = csv.reader(f, delimiter=sep)
    title = [t.strip().lower() for t in next(rows)]
    b, r, p = title.index('brand'), title.index('reference'), title.index('price')
    last = max(b, r, p)
    for row in rows:
        if len(row) <= last:
            continue
        brand, ref, price = row[b], row[r], row[p]
        if brand and ref and price:
            table.setdefault(strip.sub('', ref).upper(), []).append((brand.upper(), ref.upper(), price, name))
keys = sorted(table)
seconds = time.perf_counter() - start
cpu = time.process_time() - cpu_start
peak = [l.split()[1] for l in open('/proc/self/status') if l.startswith('VmHWM:')][0]
print(len(keys), sum(len(v) for v in table.values()), seconds, peak, cpu)
)";

void BM_PythonCsvDict(benchmark::State& state) {
    const CsvFixture& f = csvFixture();
    double seconds = 0;
    double cpu = 0;
    for (auto _ : state) {
        const QList<QByteArray> parts =
            run(python(), {"-c", kPythonCsv, f.path, QString(separator())}).trimmed().split(' ');
        if (parts.size() != 5 || parts[0].toDouble() != g_values["keys"] || parts[1].toDouble() != g_values["rows"]) {
            state.SkipWithError("Python's keys differ from the table's");
            return;
        }
        seconds += parts[2].toDouble();
        cpu += parts[4].toDouble();
        state.SetIterationTime(parts[2].toDouble());
        state.counters["peak_MB"] = parts[3].toDouble() / 1024.0;
    }
    record("python_csv", state, seconds, cpu);
}
BENCHMARK(BM_PythonCsvDict)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

const OwnPriceTable& lookupTable() {
    static OwnPriceTable table;
    if (table.Count() == 0)
        regenerate(table, csvFixture().folder);
    return table;
}

// Probes as the run makes them: a row's key, and its brand as the catalog writes it.
const QList<std::pair<QString, QString>>& lookupProbes() {
    static const QList<std::pair<QString, QString>> probes = [] {
        const OwnPriceTable& table = lookupTable();
        QList<std::pair<QString, QString>> list;
        QRandomGenerator rng(7);
        for (int i = 0; i < 10000; ++i) {
            const TVarItemData row = table.row(rng.bounded(int(table.Count())));
            list.append({row.freereference, row.brand.toLower()});
        }
        return list;
    }();
    return probes;
}

// Before any timing: the index gives, row by row and in order, what the binary search gives.
bool lookupsAgree() {
    static const bool agree = [] {
        std::vector<OwnPriceMatch> indexed;
        std::vector<OwnPriceMatch> searched;
        for (const auto& [key, brand] : lookupProbes()) {
            FindOwnPrices(lookupTable(), key, brand, indexed);
            FindOwnPricesBySearch(lookupTable(), key, brand, searched);
            if (indexed.size() != searched.size())
                return false;
            for (size_t i = 0; i < indexed.size(); ++i) {
                const OwnPriceMatch& a = indexed[i];
                const OwnPriceMatch& b = searched[i];
                if (a.brand != b.brand || a.reference != b.reference || a.freereference != b.freereference ||
                    a.price != b.price || a.pathfile != b.pathfile)
                    return false;
            }
        }
        return true;
    }();
    return agree;
}

// Each side's matches are read as the price run reads them (file name and price), so that a
// lookup that leaves the texts untouched does not pass their fetching on unseen.
template <class Lookup> void timeLookups(benchmark::State& state, Lookup lookup) {
    const OwnPriceTable& table = lookupTable();
    if (!lookupsAgree()) {
        state.SkipWithError("the index and the search give other rows");
        return;
    }
    qint64 found = 0;
    qint64 lookups = 0;
    quint64 read = 0;
    std::vector<OwnPriceMatch> matches;
    for (auto _ : state) {
        for (const auto& [key, brand] : lookupProbes()) {
            lookup(table, key, brand, matches, [] { return false; });
            for (const OwnPriceMatch& m : matches) {
                read += quint64(m.pathfile.size());
                for (const QChar c : m.price)
                    read += c.unicode();
            }
            found += qint64(matches.size());
        }
        lookups += lookupProbes().size();
    }
    benchmark::DoNotOptimize(read);
    if (found < lookups)
        state.SkipWithError("a row was not found");
    state.counters["lookup"] =
        benchmark::Counter(double(lookups), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["rows_found_per_lookup"] = double(found) / double(lookups);
    state.counters["table_rows"] = double(table.Count());
}

void BM_FindOwnPrices(benchmark::State& state) {
    timeLookups(state, FindOwnPrices);
}
BENCHMARK(BM_FindOwnPrices)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_FindOwnPricesBySearch(benchmark::State& state) {
    timeLookups(state, FindOwnPricesBySearch);
}
BENCHMARK(BM_FindOwnPricesBySearch)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

struct SheetFixture {
    QString path;
    qint64 cells = 0;
};

const SheetFixture& sheetFixture() {
    static const SheetFixture fixture = [] {
        SheetFixture f;
        f.path = workDir().filePath("supplier.xlsx");
        lxw_workbook* book = workbook_new(QFile::encodeName(f.path).constData());
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        const char* titles[] = {"Brand", "Reference", "Name", "Price", "Stock"};
        for (int c = 0; c < 5; ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), titles[c], nullptr);
        QRandomGenerator rng(43);
        for (lxw_row_t r = 1; r <= kSheetRows; ++r) {
            worksheet_write_string(sheet, r, 0, kBrands[rng.bounded(16)], nullptr);
            worksheet_write_string(sheet, r, 1, reference(rng).constData(), nullptr);
            worksheet_write_string(sheet, r, 2, kNamesOfParts[rng.bounded(10)], nullptr);
            worksheet_write_number(sheet, r, 3, rng.bounded(100000) / 100.0, nullptr);
            worksheet_write_number(sheet, r, 4, rng.bounded(500), nullptr);
        }
        workbook_close(book);
        f.cells = qint64(kSheetRows + 1) * 5;
        return f;
    }();
    return fixture;
}

void BM_SheetReaderXlsx(benchmark::State& state) {
    const SheetFixture& f = sheetFixture();
    double seconds = 0;
    double cpu = 0;
    qint64 cells = 0;
    for (auto _ : state) {
        cells = 0;
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = processCpuSeconds();
        SheetReader::read(f.path, [&](int, const QStringList& row) {
            for (const QString& cell : row)
                cells += cell.isEmpty() ? 0 : 1;
            return true;
        });
        cpu += processCpuSeconds() - cpuStart;
        seconds += timer.nsecsElapsed() / 1e9;
    }
    if (cells != f.cells)
        state.SkipWithError("cells missing");
    record("sheet_reader", state, seconds, cpu);
    state.counters["cells"] = double(cells);
}
BENCHMARK(BM_SheetReaderXlsx)->Unit(benchmark::kMillisecond)->Iterations(5);

// A supplier's list of a million rows (unique references and names as shared strings) reads
// whole within the reader's bounds; the counters say how close to them it comes.
void BM_SheetReaderMillionRows(benchmark::State& state) {
    constexpr int kRows = 1000000;
    const QString path = workDir().filePath("million.xlsx");
    if (!QFile::exists(path)) {
        lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        const char* titles[] = {"Brand", "Reference", "Name", "Price", "Stock"};
        for (int c = 0; c < 5; ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), titles[c], nullptr);
        QRandomGenerator rng(44);
        for (lxw_row_t r = 1; r <= kRows; ++r) {
            worksheet_write_string(sheet, r, 0, kBrands[rng.bounded(16)], nullptr);
            worksheet_write_string(sheet, r, 1, reference(rng).constData(), nullptr);
            const QByteArray name = QByteArray(kNamesOfParts[rng.bounded(10)]) + " " + QByteArray::number(r);
            worksheet_write_string(sheet, r, 2, name.constData(), nullptr);
            worksheet_write_number(sheet, r, 3, rng.bounded(100000) / 100.0, nullptr);
            worksheet_write_number(sheet, r, 4, rng.bounded(500), nullptr);
        }
        workbook_close(book);
    }
    SheetReader::Result result;
    int rows = 0;
    for (auto _ : state) {
        rows = 0;
        result = SheetReader::read(path, [&](int, const QStringList&) {
            ++rows;
            return true;
        });
    }
    if (result.status != SheetReader::Status::Read || rows != kRows + 1)
        state.SkipWithError(qPrintable("not read whole: " + result.error));
    state.counters["rows"] = rows;
    state.counters["unpacked_MiB"] = double(result.unpackedBytes) / double(1 << 20);
    state.counters["unpacked_per_packed"] = double(result.unpackedBytes) / double(QFileInfo(path).size());
}
BENCHMARK(BM_SheetReaderMillionRows)->Unit(benchmark::kMillisecond)->Iterations(1);

// The conversion a user without our reader would run. The office profile is made once beforehand,
// as it would be on the user's machine.
void BM_SofficeConvertToCsv(benchmark::State& state) {
    const SheetFixture& f = sheetFixture();
    const QString office = QStandardPaths::findExecutable("soffice");
    if (office.isEmpty()) {
        state.SkipWithError("LibreOffice is not installed");
        return;
    }
    const QString profile = QStringLiteral("-env:UserInstallation=file://") + workDir().filePath("office-profile");
    const QString out = workDir().filePath("soffice-out");
    const QStringList args = {"--headless", "--norestore", profile, "--convert-to", "csv", "--outdir", out, f.path};
    run(office, args);
    double seconds = 0;
    double cpu = 0;
    for (auto _ : state) {
        QFile::remove(out + "/supplier.csv");
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = childrenCpuSeconds();
        run(office, args);
        cpu += childrenCpuSeconds() - cpuStart;
        const double s = timer.nsecsElapsed() / 1e9;
        seconds += s;
        state.SetIterationTime(s);
    }
    qint64 cells = 0;
    QFile csv(out + "/supplier.csv");
    if (csv.open(QIODevice::ReadOnly))
        while (!csv.atEnd())
            for (const QByteArray& cell : csv.readLine().trimmed().split(','))
                cells += cell.isEmpty() ? 0 : 1;
    if (cells != f.cells)
        state.SkipWithError("the converted file has other cells");
    record("soffice_csv", state, seconds, cpu);
    state.counters["cells"] = double(cells);
}
BENCHMARK(BM_SofficeConvertToCsv)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

const char* const kOpenpyxl = R"(
import sys, time
start = time.perf_counter()
cpu_start = time.process_time()
import openpyxl
book = openpyxl.load_workbook(sys.argv[1], read_only=True)
cells = 0
for row in book.worksheets[0].iter_rows(values_only=True):
    cells += sum(1 for v in row if v is not None and str(v) != '')
print(cells, time.perf_counter() - start, time.process_time() - cpu_start)
)";

void BM_OpenpyxlReadOnly(benchmark::State& state) {
    const SheetFixture& f = sheetFixture();
    double seconds = 0;
    double cpu = 0;
    for (auto _ : state) {
        const QList<QByteArray> parts = run(python(), {"-c", kOpenpyxl, f.path}).trimmed().split(' ');
        if (parts.size() != 3 || parts[0].toLongLong() != f.cells) {
            state.SkipWithError("openpyxl read other cells");
            return;
        }
        seconds += parts[1].toDouble();
        cpu += parts[2].toDouble();
        state.SetIterationTime(parts[1].toDouble());
    }
    record("openpyxl", state, seconds, cpu);
}
BENCHMARK(BM_OpenpyxlReadOnly)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

// The high-water mark of this process's own memory; unlike getrusage's it does not carry over
// what the parent held when it forked.
long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

void printRatio(const char* what, const std::string& baseline, const std::string& ours) {
    if (g_seconds.count(baseline) && g_seconds.count(ours) && g_seconds[ours] > 0 && g_cpuSeconds[ours] > 0)
        std::printf("%-42s %5.1fx wall (%.3f s / %.3f s), %5.1fx processor (%.3f s / %.3f s)\n", what,
                    g_seconds[baseline] / g_seconds[ours], g_seconds[baseline], g_seconds[ours],
                    g_cpuSeconds[baseline] / g_cpuSeconds[ours], g_cpuSeconds[baseline], g_cpuSeconds[ours]);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--regenerate-child") {
        const long before = peakKb();
        OwnPriceTable table;
        regenerate(table, QString::fromLocal8Bit(argv[2]));
        std::printf("%lld %ld %ld\n", static_cast<long long>(table.Count()), before, peakKb());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n");
    printRatio("regeneration, Python csv+dict / ours:", "python_csv", "regenerate");
    printRatio("xlsx, soffice --convert-to csv / ours:", "soffice_csv", "sheet_reader");
    printRatio("xlsx, openpyxl read-only / ours:", "openpyxl", "sheet_reader");
    if (g_values.count("peak_kb"))
        std::printf("%-48s %.2fx the file size (%.0f MB for %.0f MB)\n",
                    "regeneration peak resident memory:", g_values["peak_kb"] * 1024.0 / double(csvFixture().bytes),
                    g_values["peak_kb"] / 1024.0, double(csvFixture().bytes) / 1e6);
    return 0;
}
