#include "pricing/pricehistory.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <thread>

namespace {

LineOffer offer(const char* brand, const char* reference, OfferSource source, const char* seller, const char* price,
                const char* currency) {
    return {{QString::fromUtf8(brand), QString::fromUtf8(reference), QStringLiteral("name of %1").arg(reference)},
            ReadOffer(source, QString::fromUtf8(seller), QString::fromUtf8(price), QString::fromUtf8(currency))};
}

const QList<LineOffer> kFirstRun = {
    offer("BOSCH", "0 986 494 104", OfferSource::Own, "MyStock.csv", "12,50", "by default"),
    offer("BOSCH", "0 986 494 104", OfferSource::Shop, "partshub.example", "14.00", "GBP"),
    offer("BOSCH", "0 986 494 104", OfferSource::Marketplace, "ebay.de", "13.10", "EUR"),
    offer("TRW", "GDB1385", OfferSource::Shop, "autoteile-mahler.example", "on request", "EUR"),
    offer("TRW", "GDB1385", OfferSource::Own, "lager-[TRW].csv", "1.234,56", "by default"),
};
const QList<LineOffer> kSecondRun = {
    offer("BOSCH", "0 986 494 104", OfferSource::Shop, "partshub.example", "14.70", "GBP"),
    offer("TRW", "GDB1385", OfferSource::Marketplace, "seller (ebay.de)", "19.99", "EUR"),
};

QList<Offer> offersOf(const QList<LineOffer>& batch, const QString& key) {
    QList<Offer> offers;
    for (const LineOffer& item : batch)
        if (LineKey(item.line) == key)
            offers.append(item.offer);
    return offers;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

bool execSql(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace

class TestPriceHistory : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QString::fromLatin1(PriceHistory::kFileName)); }

    // A history with one complete and one stopped run.
    void storeTwoRuns(const QDateTime& first, const QDateTime& second) {
        PriceHistory history(path());
        history.start();
        const PriceHistory::Run one = history.beginRun(first, QStringLiteral("digest-1"), 2);
        history.store(one, kFirstRun.mid(0, 3));
        history.store(one, kFirstRun.mid(3));
        history.finishRun(one, RunState::Complete);
        const PriceHistory::Run two = history.beginRun(second, QStringLiteral("digest-2"), 2);
        history.store(two, kSecondRun);
        history.finishRun(two, RunState::Stopped);
    }

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void cleanup() {
        for (const QString& name : filesIn(m_dir.path()))
            QFile::remove(m_dir.filePath(name));
    }

    void storedRunsReadBackAfterReopening() {
        const QDateTime first = QDateTime::currentDateTime().addDays(-1);
        const QDateTime second = QDateTime::currentDateTime();
        storeTwoRuns(first, second);

        const PriceHistoryReader reader(path());
        const QList<RunRecord> runs = reader.runs();
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs[0].state, RunState::Stopped);
        QCOMPARE(runs[0].offers, 2);
        QCOMPARE(runs[0].settingsDigest, QStringLiteral("digest-2"));
        QCOMPARE(runs[1].state, RunState::Complete);
        QCOMPARE(runs[1].offers, 5);
        QCOMPARE(runs[1].unreadable, 1);
        QCOMPARE(runs[1].lines, 2);
        QCOMPARE(runs[1].started.toMSecsSinceEpoch(), first.toMSecsSinceEpoch());

        // Texts, amounts and currencies come back as they went in, in arrival order.
        const QString bosch = LineKey(QStringLiteral("BOSCH"), QStringLiteral("0 986 494 104"));
        const QString trw = LineKey(QStringLiteral("TRW"), QStringLiteral("GDB1385"));
        const QList<LineSnapshot> lines = reader.latestLines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].key, bosch);
        QCOMPARE(lines[0].text, (LineText{"BOSCH", "0 986 494 104", "name of 0 986 494 104"}));
        QCOMPARE(lines[0].offers, offersOf(kSecondRun, bosch));
        QCOMPARE(lines[0].previousOffers, offersOf(kFirstRun, bosch));
        QCOMPARE(lines[1].previousOffers, offersOf(kFirstRun, trw));
        QCOMPARE(reader.latestLines({trw, QStringLiteral("NONE|1")}).size(), 1);

        const QList<RunOffers> chart = reader.lineRuns(trw);
        QCOMPARE(chart.size(), 2);
        QCOMPARE(chart[0].when, first);
        QCOMPARE(chart[1].offers, offersOf(kSecondRun, trw));
        QCOMPARE(reader.lineRuns(trw, 1).size(), 1);
    }

    // The program ended (or crashed) in the middle of a run: what arrived stays, marked stopped.
    void runCutShortKeepsItsRows() {
        {
            PriceHistory history(path());
            history.start();
            const PriceHistory::Run run = history.beginRun(QDateTime::currentDateTime(), {}, 2);
            history.store(run, kFirstRun.mid(0, 2));
        }
        {
            PriceHistory reopened(path());
            reopened.start();
            reopened.flush();
        }
        const QList<RunRecord> runs = PriceHistoryReader(path()).runs();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].state, RunState::Stopped);
        QCOMPARE(runs[0].offers, 2);
    }

    // The page's loader waits for the file on a thread of its own while a run hands over batches.
    void flushOnAnotherThreadStoresWhatWaits() {
        PriceHistory history(path());
        history.start();
        const PriceHistory::Run run = history.beginRun(QDateTime::currentDateTime(), {}, 2);
        history.store(run, kFirstRun);
        QTest::failOnWarning(QRegularExpression(QStringLiteral("another thread")));
        std::thread loader([&history] { history.flush(); });
        loader.join();
        QCOMPARE(PriceHistoryReader(path()).runs().value(0).offers, kFirstRun.size());
    }

    // Answers keep coming in after a run ended; their rows are the run's.
    void rowsAfterTheRunEndedStillCount() {
        {
            PriceHistory history(path());
            history.start();
            const PriceHistory::Run run = history.beginRun(QDateTime::currentDateTime(), {}, 2);
            history.store(run, kFirstRun.mid(0, 2));
            history.finishRun(run, RunState::Stopped);
            history.store(run, kFirstRun.mid(2));
        }
        const QList<RunRecord> runs = PriceHistoryReader(path()).runs();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].state, RunState::Stopped);
        QCOMPARE(runs[0].offers, kFirstRun.size());
    }

    // The first version of the file kept each offer's line key and seller as text.
    void olderSchemaIsMigrated() {
        QVERIFY(execSql(path(), R"(
            CREATE TABLE runs(id INTEGER PRIMARY KEY, started INTEGER NOT NULL, settings_digest TEXT NOT NULL DEFAULT '',
                              lines INTEGER NOT NULL DEFAULT 0, offers INTEGER NOT NULL DEFAULT 0,
                              state INTEGER NOT NULL DEFAULT 0);
            CREATE TABLE offers(run INTEGER NOT NULL, line_key TEXT NOT NULL, source INTEGER NOT NULL, seller TEXT,
                                price_minor INTEGER, currency TEXT, raw TEXT);
            CREATE INDEX offers_line ON offers(line_key, run);
            INSERT INTO runs VALUES(1, 1767225600000, 'd', 1, 3, 1);
            INSERT INTO offers VALUES(1, 'A|B PARTS|AB1', 0, 'own.csv', 1250, NULL, '12,50');
            INSERT INTO offers VALUES(1, 'A|B PARTS|AB1', 1, 'shop.example', 990, 'EUR', '9.90');
            INSERT INTO offers VALUES(1, 'A|B PARTS|AB1', 1, 'shop.example', NULL, 'EUR', 'call');
            PRAGMA user_version = 1;)"));
        {
            PriceHistory history(path());
            QSignalSpy notices(&history, &PriceHistory::notice);
            history.start();
            history.flush();
            QCOMPARE(notices.size(), 0);
        }
        const PriceHistoryReader reader(path());
        const QList<RunRecord> runs = reader.runs();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].unreadable, 1);
        const QList<LineSnapshot> lines = reader.latestLines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].text.brand, QStringLiteral("A|B PARTS"));
        QCOMPARE(lines[0].text.reference, QStringLiteral("AB1"));
        QCOMPARE(lines[0].offers.size(), 3);
        QCOMPARE(lines[0].offers[0].priceText, QStringLiteral("12,50"));
        QCOMPARE(lines[0].offers[0].currencyText, QStringLiteral("by default"));
        QCOMPARE(lines[0].offers[1].money, std::optional<Money>(Money{990, QStringLiteral("EUR")}));
        QCOMPARE(lines[0].offers[1].seller, QStringLiteral("shop.example"));
        QVERIFY(!lines[0].offers[2].money);
    }

    void damagedFileIsMovedAside_data() {
        QTest::addColumn<int>("keepBytes");
        QTest::newRow("not a database at all") << 0;
        QTest::newRow("pages after the first destroyed") << 4096;
    }
    void damagedFileIsMovedAside() {
        QFETCH(int, keepBytes);
        QByteArray bytes = QByteArray("this is no database, just text\n").repeated(300);
        if (keepBytes > 0) {
            storeTwoRuns(QDateTime::currentDateTime().addDays(-1), QDateTime::currentDateTime());
            QFile good(path());
            QVERIFY(good.open(QIODevice::ReadOnly));
            const QByteArray file = good.readAll();
            QVERIFY(file.size() > 2 * keepBytes);
            bytes = file.left(keepBytes) + QByteArray(file.size() - keepBytes, '\xA5');
        }
        QFile damaged(path());
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(bytes);
        damaged.close();

        PriceHistory history(path());
        QSignalSpy notices(&history, &PriceHistory::notice);
        history.start();
        const PriceHistory::Run run = history.beginRun(QDateTime::currentDateTime(), {}, 1);
        history.store(run, kSecondRun);
        history.finishRun(run, RunState::Complete);
        history.flush();

        const QStringList aside = filesIn(m_dir.path()).filter(QStringLiteral("prices.sqlite.damaged-"));
        QCOMPARE(aside.size(), 1);
        QFile kept(m_dir.filePath(aside.first()));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), bytes);
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices[0][0].toString().contains(aside.first()));
        const QList<RunRecord> runs = PriceHistoryReader(path()).runs();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].offers, kSecondRun.size());
    }

    void newerFileIsLeftAlone() {
        storeTwoRuns(QDateTime::currentDateTime().addDays(-1), QDateTime::currentDateTime());
        QVERIFY(execSql(path(), "PRAGMA user_version = 99"));
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        {
            PriceHistory history(path());
            QSignalSpy notices(&history, &PriceHistory::notice);
            history.start();
            history.store(history.beginRun(QDateTime::currentDateTime(), {}, 1), kSecondRun);
            history.flush();
            QCOMPARE(notices.size(), 1);
            QVERIFY(notices[0][0].toString().contains(QLatin1String("newer version")));
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(filesIn(m_dir.path()), QStringList{QString::fromLatin1(PriceHistory::kFileName)});
    }

    void oldRunsArePrunedAtStart_data() {
        QTest::addColumn<int>("recentRuns");
        QTest::newRow("most of the file goes") << 1;
        QTest::newRow("a little goes") << 4;
    }
    void oldRunsArePrunedAtStart() {
        QFETCH(int, recentRuns);
        {
            PriceHistory history(path());
            history.start();
            const PriceHistory::Run old = history.beginRun(QDateTime::currentDateTime().addDays(-400), {}, 2);
            history.store(old, kFirstRun);
            history.finishRun(old, RunState::Complete);
            for (int day = recentRuns; day > 0; --day) {
                const PriceHistory::Run recent = history.beginRun(QDateTime::currentDateTime().addDays(-day), {}, 2);
                history.store(recent, kSecondRun);
                history.finishRun(recent, RunState::Complete);
            }
        }
        {
            PriceHistory history(path(), 365);
            history.start();
            history.flush();
        }
        const PriceHistoryReader reader(path());
        QCOMPARE(reader.runs().size(), recentRuns);
        // Each line keeps only the offers of the runs kept.
        const QList<LineSnapshot> lines = reader.latestLines();
        QCOMPARE(lines.size(), 2);
        for (const LineSnapshot& line : lines) {
            QCOMPARE(line.offers, offersOf(kSecondRun, line.key));
            QCOMPARE(line.previousOffers, recentRuns > 1 ? line.offers : QList<Offer>());
            const QList<RunOffers> runs = reader.lineRuns(line.key);
            QCOMPARE(runs.size(), recentRuns);
            for (const RunOffers& run : runs)
                QCOMPARE(run.offers, offersOf(kSecondRun, line.key));
        }
    }

    void keepDaysFromTheSettingsPage() {
        QCOMPARE(ReadKeepDays(QStringLiteral(" 30 ")), 30);
        QCOMPARE(ReadKeepDays(QStringLiteral("0")), 0);
        QCOMPARE(ReadKeepDays(QStringLiteral("-3")), PriceHistory::kDefaultKeepDays);
        QCOMPARE(ReadKeepDays(QStringLiteral("a year")), PriceHistory::kDefaultKeepDays);
    }

    void missingFileReadsAsEmpty() {
        const PriceHistoryReader reader(m_dir.filePath(QStringLiteral("nothing-here.sqlite")));
        QVERIFY(reader.runs().isEmpty());
        QVERIFY(reader.latestLines().isEmpty());
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("nothing-here.sqlite"))));
    }
};

QTEST_GUILESS_MAIN(TestPriceHistory)
#include "tst_pricehistory.moc"
