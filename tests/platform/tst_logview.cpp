#include "platform/logview.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

class TestLogView : public QObject {
    Q_OBJECT
private slots:
    void followsTheEndUnlessScrolledAway();
    void longLinesShowWhole();
    void copiesTheSelectedLines();
};

namespace {
void append(QStringList& lines, LogView& view, int count) {
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("line %1").arg(lines.size());
    view.linesAppended();
}
} // namespace

void TestLogView::followsTheEndUnlessScrolledAway() {
    QStringList lines{"first"};
    LogView view(lines);
    view.resize(300, 120);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    append(lines, view, 200);
    QCOMPARE(view.model()->rowCount(), 201);
    QCOMPARE(view.text(), lines.join('\n'));
    QScrollBar* bar = view.verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    // Reading older lines: new ones do not pull the view away. Lines that come soon after others
    // are taken in together a moment later; the text has them at once.
    bar->setValue(0);
    append(lines, view, 50);
    QTRY_COMPARE(view.model()->rowCount(), 251);
    QCOMPARE(bar->value(), 0);
    append(lines, view, 10);
    QCOMPARE(view.text(), lines.join('\n'));
    QCOMPARE(view.model()->rowCount(), 261);

    bar->setValue(bar->maximum());
    append(lines, view, 50);
    QTRY_COMPARE(view.model()->rowCount(), 311);
    QCOMPARE(bar->value(), bar->maximum());
}

void TestLogView::longLinesShowWhole() {
    const QString longLine =
        "10.12.2026 16:04\thttp://127.0.0.1:18150/get?service=COMPAREPRICE&brand=LEMFÖRDER&number=" +
        QString(200, 'X') + "\tANSWER OK";
    QStringList lines{"short"};
    LogView view(lines);
    view.resize(300, 120);
    view.show();
    lines << longLine;
    view.linesAppended();
    QVERIFY(view.columnWidth(0) >= view.fontMetrics().horizontalAdvance(longLine));
    QVERIFY(view.horizontalScrollBar()->maximum() > 0);
    QCOMPARE(view.model()->index(1, 0).data(Qt::ToolTipRole).toString(), longLine);
}

void TestLogView::copiesTheSelectedLines() {
    QStringList lines;
    LogView view(lines);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    append(lines, view, 6);
    const auto rowPoint = [&view](int row) { return view.visualRect(view.model()->index(row, 0)).center(); };
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rowPoint(3));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, rowPoint(1));
    view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("line 1\nline 2\nline 3"));
}

QTEST_MAIN(TestLogView)
#include "tst_logview.moc"
