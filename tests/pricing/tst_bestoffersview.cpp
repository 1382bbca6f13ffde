#include "platform/httpexchange.h"
#include "pricing/bestoffersview.h"
#include "pricing/pricechart.h"
#include "pricing/pricehistory.h"
#include "pricing/pricereadings.h"
#include "service/appcontext.h"
#include "service/requestlog.h"
#include "support/windowfixture.h"
#include "xlsxreadback.h"

#include <QApplication>
#include <QChartView>
#include <QHeaderView>
#include <QLineEdit>
#include <QLineSeries>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

namespace {

const LineText kPads{QStringLiteral("TRW"), QStringLiteral("GDB1385"), QStringLiteral("Brake pad set")};
const LineText kDisc{QStringLiteral("BOSCH"), QStringLiteral("0 986 494 104"), QStringLiteral("Brake disc")};
const LineText kHose{QStringLiteral("TRW"), QStringLiteral("HVH9587"), QStringLiteral("Brake hose")};

Offer shop(const char* seller, const char* price, const char* currency = "EUR") {
    return ReadOffer(OfferSource::Shop, QString::fromUtf8(seller), QString::fromUtf8(price),
                     QString::fromUtf8(currency));
}
Offer own(const char* file, const char* price) {
    return ReadOffer(OfferSource::Own, QString::fromUtf8(file), QString::fromUtf8(price), QStringLiteral("by default"));
}

// Three lines: the pads undercut (own 100.00, best shop 80.00), the disc not, the hose without
// an own price.
QList<LineSnapshot> threeLines() {
    return {
        {LineKey(kPads), kPads, {own("MyStock.csv", "100,00"), shop("partshub.example", "80.00")}, {}},
        {LineKey(kDisc), kDisc, {own("MyStock.csv", "50,00"), shop("pieces-auto.example", "55.00")}, {}},
        {LineKey(kHose), kHose, {shop("bremsen-direkt.example", "9.00"), shop("partshub.example", "7.00", "GBP")}, {}}};
}

// One price run against the stand-in for these lines, as the run's workers read the answers
// (the program's own readers), its rows handed to the view and the history in batches.
void priceRun(const DemoService& service, BestOffersModel& model, PriceHistory& history, const QList<LineText>& lines) {
    model.startRun(lines);
    const PriceHistory::Run run = history.beginRun(QDateTime::currentDateTime(), QStringLiteral("test"), lines.size());
    for (const LineText& line : lines) {
        // The own price list's row, as the run writes it into the comparison table.
        const QList<LineOffer> ownRow =
            OffersFromCompareRows({{line.brand, line.reference, line.name, QStringLiteral("MyStock.csv"),
                                    QStringLiteral("25,00"), QStringLiteral("by default")}});
        model.addOffers(ownRow);
        history.store(run, ownRow);
        for (const char* site : {"3", "12", "18", "21"}) {
            const QString path = PriceRequestPath(kComparePriceService, DemoService::kCompareEmail,
                                                  DemoService::kCompareSeccode, line.brand, line.reference, site);
            QList<QStringList> rows;
            for (const CompareOffer& offer :
                 ReadCompareAnswer(QString::fromUtf8(HttpGet(service.priceUrl() + path, {false, 30}).body)))
                rows << CompareRowCells(line.brand, line.reference, line.name, offer);
            const QList<LineOffer> batch = OffersFromCompareRows(rows);
            model.addOffers(batch);
            history.store(run, batch);
        }
        for (const char* site : {"44", "46"}) {
            const QString path = PriceRequestPath(kAnalysisService, DemoService::kAnalysisEmail,
                                                  DemoService::kAnalysisSeccode, line.brand, line.reference, site);
            QList<QStringList> rows;
            for (const QString& offer :
                 ReadAnalysisAnswer(QString::fromUtf8(HttpGet(service.priceUrl() + path, {false, 30}).body), 5)) {
                const QMap<int, QString> cells = AnalysisRowCells(offer, line.brand, line.reference, line.name);
                QStringList row;
                for (int column = 0; column < 11; ++column)
                    row << cells.value(column);
                rows << row;
            }
            const QList<LineOffer> batch = OffersFromAnalysisRows(rows);
            model.addOffers(batch);
            history.store(run, batch);
        }
    }
    history.finishRun(run, RunState::Complete);
}

QStringList column(const QTableView* table, int column) {
    QStringList texts;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        texts << table->model()->index(row, column).data().toString();
    return texts;
}

QPoint cellPoint(const QTableView* table, int row, int column) {
    return table->visualRect(table->model()->index(row, column)).center();
}

void clickHeader(QTableView* table, int column) {
    QHeaderView* header = table->horizontalHeader();
    table->scrollTo(table->model()->index(0, column));
    const QPoint point(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
}

QWidget* topLevel(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    return nullptr;
}

} // namespace

class TestBestOffersView : public QObject {
    Q_OBJECT

private:
    ScriptedDialogs m_dialogs;
    RecordingDesktop m_desktop;
    RequestLog m_log;
    AppContext m_context;
    QTemporaryDir m_dir;
    std::unique_ptr<BestOffersView> m_view;

    template <class T> T* find(const char* name) { return m_view->findChild<T*>(QLatin1String(name)); }
    QTableView* table() { return find<QTableView>("BestOffersTable"); }
    QString historyPath() const { return m_dir.filePath(QString::fromLatin1(PriceHistory::kFileName)); }

private slots:
    void init() {
        m_dialogs.clear();
        m_desktop.clear();
        m_context.dialogs = &m_dialogs;
        m_context.desktop = &m_desktop;
        m_context.log = &m_log;
        m_view = std::make_unique<BestOffersView>(m_context);
        m_view->resize(1200, 700);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }
    void cleanup() {
        m_view.reset();
        QFile::remove(historyPath());
    }

    // Two runs against the stand-in with drifting prices: each line shows its lowest offer, own
    // price and margin and the change since the first run; the chart shows both runs; a new
    // start of the program reads the same from the history.
    void twoRunsAgainstTheDriftingStandInShowTheChange() {
        DemoService drifting({QStringLiteral("--price-drift"), QStringLiteral("5")});
        QVERIFY2(drifting.isRunning(), qPrintable(drifting.error()));
        {
            PriceHistory history(historyPath());
            history.start();
            priceRun(drifting, m_view->model(), history, {kPads, kDisc, kHose});
            QVERIFY(column(table(), BestOffersModel::Change).join(QString()).isEmpty());
            priceRun(drifting, m_view->model(), history, {kPads, kDisc, kHose});
            history.flush();
        }
        const QStringList changes = column(table(), BestOffersModel::Change);
        QCOMPARE(changes.size(), 3);
        QVERIFY2(changes.filter(QRegularExpression(QStringLiteral("^[▲▼=] "))).size() >= 2,
                 qPrintable(changes.join('|')));
        for (const QString& best : column(table(), BestOffersModel::BestOffer))
            QVERIFY(!best.isEmpty());
        for (const QString& margin : column(table(), BestOffersModel::Margin))
            QVERIFY(margin.endsWith(QLatin1String(" %")));

        const QString path = historyPath();
        m_view->setChartSource([path](const QString& key) { return PriceHistoryReader(path).lineRuns(key); });
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, cellPoint(table(), 1, BestOffersModel::Name));
        pressKey(find<QToolButton>("BestOffersChart"), Qt::Key_Space);
        QCOMPARE(m_view->chart()->runCount(), 2);
        QVERIFY(m_view->chart()->isVisible());
        pressKey(Qt::Key_End);
        QVERIFY2(m_view->chart()->pointText().contains(QLatin1String("(run 2 of 2)")),
                 qPrintable(m_view->chart()->pointText()));
        QVERIFY(m_view->chart()->pointText().contains(QLatin1String("best shop offer: ")));

        // The program starts again: the history gives the same lines.
        BestOffersModel reopened;
        reopened.setLines(PriceHistoryReader(path).latestLines());
        QCOMPARE(reopened.rowCount(), 3);
        for (int row = 0; row < 3; ++row) {
            const int shown = m_view->model().rowOf(reopened.line(row).key);
            QVERIFY(shown >= 0);
            for (int c : {int(BestOffersModel::BestOffer), int(BestOffersModel::OwnPrice), int(BestOffersModel::Change),
                          int(BestOffersModel::MarketMedian), int(BestOffersModel::OtherCurrencies)})
                QCOMPARE(reopened.index(row, c).data().toString(), m_view->model().index(shown, c).data().toString());
        }
    }

    void filterSortAndUndercutMark() {
        m_view->model().setLines(threeLines());
        QCOMPARE(column(table(), BestOffersModel::Reference), (QStringList{"GDB1385", "0 986 494 104", "HVH9587"}));

        typeInto(find<QLineEdit>("BestOffersFilter"), QStringLiteral("brake"));
        QCOMPARE(table()->model()->rowCount(), 3);
        typeInto(find<QLineEdit>("BestOffersFilter"), QStringLiteral("pieces-auto"));
        QCOMPARE(column(table(), BestOffersModel::Reference), QStringList{"0 986 494 104"});
        typeInto(find<QLineEdit>("BestOffersFilter"), QString());
        QCOMPARE(table()->model()->rowCount(), 3);

        // Numbers sort as numbers: 9.00 before 55.00 before 80.00.
        clickHeader(table(), BestOffersModel::BestOffer);
        QCOMPARE(column(table(), BestOffersModel::BestOffer), (QStringList{"9.00", "55.00", "80.00"}));
        clickHeader(table(), BestOffersModel::BestOffer);
        QCOMPARE(column(table(), BestOffersModel::BestOffer), (QStringList{"80.00", "55.00", "9.00"}));

        // The undercut line carries an icon and a colour (and says why), the others neither.
        for (int row = 0; row < 3; ++row) {
            const QModelIndex brand = table()->model()->index(row, BestOffersModel::Brand);
            const bool undercut =
                table()->model()->index(row, BestOffersModel::Reference).data().toString() == QLatin1String("GDB1385");
            QCOMPARE(!brand.data(Qt::DecorationRole).value<QIcon>().isNull(), undercut);
            QCOMPARE(brand.data(Qt::BackgroundRole).isValid(), undercut);
            QCOMPARE(brand.data(Qt::ToolTipRole).toString().contains(QLatin1String("20.00 % below")), undercut);
        }
        QCOMPARE(table()->model()->index(0, BestOffersModel::Margin).data().toString(), QStringLiteral("-20.00 %"));
        QCOMPARE(table()->model()->index(2, BestOffersModel::OtherCurrencies).data().toString(),
                 QStringLiteral("GBP: 1 from 7.00"));
    }

    void offersOfALineByDoubleClickAndEnter() {
        m_view->model().setLines(threeLines());
        QSignalSpy asked(m_view.get(), &BestOffersView::showOffersRequested);
        const QPoint hose = cellPoint(table(), 2, BestOffersModel::Name);
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, hose);
        QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, hose);
        QWidget* window = topLevel(QStringLiteral("LineOffersWindow"));
        QVERIFY(window);
        auto* offers = window->findChild<QTableWidget*>(QStringLiteral("LineOffersTable"));
        QCOMPARE(offers->rowCount(), 2);
        QCOMPARE(offers->item(1, 4)->text(), QStringLiteral("7.00 GBP"));
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0][0].toString(), LineKey(kHose));
        QTRY_COMPARE(QApplication::activeWindow(), window);
        pressKey(Qt::Key_Escape);
        QTRY_VERIFY(!topLevel(QStringLiteral("LineOffersWindow")));

        // Enter is the keyboard's double click.
        pressKey(table(), Qt::Key_Up);
        pressKey(Qt::Key_Return);
        window = topLevel(QStringLiteral("LineOffersWindow"));
        QVERIFY(window);
        QVERIFY(window->windowTitle().contains(QLatin1String("0 986 494 104")));
        QCOMPARE(asked.size(), 2);
        QTRY_COMPARE(QApplication::activeWindow(), window);
        pressKey(Qt::Key_Escape);
        QTRY_VERIFY(!topLevel(QStringLiteral("LineOffersWindow")));
    }

    void exportWritesNumbersInTheOrderShown() {
        m_view->model().setLines(threeLines());
        clickHeader(table(), BestOffersModel::BestOffer);
        click(find<QToolButton>("BestOffersExport"));
        QCOMPARE(m_desktop.opened().size(), 1);
        const QString path = m_desktop.opened().first();
        const SheetContent sheet = ReadXlsx(path);
        QFile::remove(path);
        QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
        QCOMPARE(sheet.rowCount, 4);
        QCOMPARE(sheet.text(0, BestOffersModel::BestOffer), QStringLiteral("best offer"));
        QVERIFY(sheet.cell(0, 0).bold);
        QCOMPARE(sheet.text(1, BestOffersModel::Reference), QStringLiteral("HVH9587"));
        QCOMPARE(sheet.text(3, BestOffersModel::Reference), QStringLiteral("GDB1385"));
        // Prices and percentages are numbers with their formats, texts stay texts.
        const SheetCell best = sheet.cell(3, BestOffersModel::BestOffer);
        QVERIFY(best.type.isEmpty() || best.type == QLatin1String("n"));
        QCOMPARE(best.text.toDouble(), 80.0);
        QCOMPARE(best.numberFormat, QStringLiteral("#,##0.00 \"EUR\""));
        QCOMPARE(best.left, QStringLiteral("thin"));
        const SheetCell margin = sheet.cell(3, BestOffersModel::Margin);
        QCOMPARE(margin.text.toDouble(), -0.2);
        QVERIFY(margin.numberFormat.contains(QLatin1String("0.00%")));
        QCOMPARE(sheet.cell(3, BestOffersModel::Brand).numberFormat, QStringLiteral("@"));
        QCOMPARE(sheet.text(3, BestOffersModel::ColumnCount), QStringLiteral("yes"));
        QVERIFY(m_log.lines().last().contains(QLatin1String("Best offers exported to")));
    }

    void chartByKeyboardHoverAndPng() {
        m_view->model().setLines(threeLines());
        const QDateTime start = QDateTime::currentDateTime().addDays(-3);
        m_view->setChartSource([start](const QString&) {
            QList<RunOffers> runs;
            for (int day = 0; day < 3; ++day)
                runs.append({day + 1,
                             start.addDays(day),
                             {own("MyStock.csv", "100,00"), shop("partshub.example", day == 1 ? "82.00" : "80.00")}});
            return runs;
        });
        pressKey(table(), Qt::Key_Down);
        pressKey(Qt::Key_Down);
        QCOMPARE(m_view->currentKey(), LineKey(kDisc));
        pressKey(find<QToolButton>("BestOffersChart"), Qt::Key_Space);
        PriceChart* chart = m_view->chart();
        QVERIFY(chart->isVisible());
        QCOMPARE(chart->runCount(), 3);
        QCOMPARE(QApplication::focusWidget(), chart->findChild<QChartView*>(QStringLiteral("PriceChartView")));
        pressKey(Qt::Key_Home);
        pressKey(Qt::Key_Right);
        QVERIFY2(chart->pointText().contains(QLatin1String("best shop offer: 82.00 EUR (partshub.example)")),
                 qPrintable(chart->pointText()));
        QVERIFY(chart->pointText().contains(QLatin1String("own price: 100.00 EUR (MyStock.csv)")));

        // The mouse over a point tells the same.
        auto* view = chart->findChild<QChartView*>(QStringLiteral("PriceChartView"));
        auto* best = qobject_cast<QLineSeries*>(view->chart()->series().at(1));
        const QPointF point = best->at(2);
        const QPoint onScreen = view->mapFromScene(view->chart()->mapToPosition(point, best));
        QTest::mouseMove(view->viewport(), onScreen + QPoint(0, 20));
        QTest::mouseMove(view->viewport(), onScreen);
        QTRY_VERIFY2(chart->pointText().startsWith(QLocale().toString(start.addDays(2), QLocale::ShortFormat)),
                     qPrintable(chart->pointText()));
        QVERIFY(chart->pointText().contains(QLatin1String("best shop offer: 80.00 EUR (partshub.example)")));

        // "Save as PNG", from the keyboard; a link planted under the name is replaced, never
        // written through.
        const QString png = m_dir.filePath(QStringLiteral("chart.png"));
        const PlantedLink link(png);
        QString suggested;
        chart->setSavePathChooser([&](const QString& name) {
            suggested = name;
            return png;
        });
        pressKey(chart->findChild<QToolButton*>(QStringLiteral("PriceChartSave")), Qt::Key_Space);
        QCOMPARE(suggested, QStringLiteral("BOSCH 0 986 494 104.png"));
        QImage image(png);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() > 100);
        QVERIFY(link.victimIntact());

        // Escape closes the chart and gives the keys back to the table.
        pressKey(Qt::Key_Escape);
        QVERIFY(!chart->isVisible());
        QCOMPARE(QApplication::focusWidget(), table());
    }
};

QTEST_MAIN(TestBestOffersView)
#include "tst_bestoffersview.moc"
