#include "app/windowstate.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QLabel>
#include <QSplitter>
#include <QTemporaryDir>
#include <QToolButton>

// The window opens fitted to the screen and comes back as the user left it.
class TestWindowState : public QObject {
    Q_OBJECT
private slots:
    void firstStartFitsTheScreen_data();
    void firstStartFitsTheScreen();
    void storedPlaceStaysOnTheScreen_data();
    void storedPlaceStaysOnTheScreen();
    void sizeAndSplittersSurviveRestart();
    void lowerAreaKeepsUsableHeight();
};

void TestWindowState::firstStartFitsTheScreen_data() {
    QTest::addColumn<QSize>("available");
    QTest::addColumn<QSize>("fitted");
    QTest::newRow("laptop") << QSize(1366, 728) << QSize(1280, 728);
    QTest::newRow("1280x800 exactly") << QSize(1280, 800) << QSize(1280, 800);
    QTest::newRow("full HD: comfortable size") << QSize(1920, 1040) << QSize(1280, 800);
    QTest::newRow("large: two thirds") << QSize(2560, 1400) << QSize(1706, 933);
    QTest::newRow("small: the whole screen") << QSize(1024, 600) << QSize(1024, 600);
    QTest::newRow("tiny: never beyond it") << QSize(800, 500) << QSize(800, 500);
}

void TestWindowState::firstStartFitsTheScreen() {
    QFETCH(QSize, available);
    QFETCH(QSize, fitted);
    QCOMPARE(WindowState::fittedSize(available, QSize(950, 600)), fitted);
}

void TestWindowState::storedPlaceStaysOnTheScreen_data() {
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("placed"); // null: not usable
    const QRect screen(0, 0, 1280, 800);
    QTest::newRow("on the screen") << QRect(40, 30, 1100, 700) << QRect(40, 30, 1100, 700);
    QTest::newRow("mostly off to the right") << QRect(1250, 30, 1000, 700) << QRect(280, 30, 1000, 700);
    QTest::newRow("caption above the screen") << QRect(40, -20, 1000, 700) << QRect(40, 0, 1000, 700);
    QTest::newRow("from a larger screen") << QRect(0, 0, 1900, 1000) << QRect(0, 0, 1280, 800);
    QTest::newRow("below the minimum") << QRect(10, 10, 300, 200) << QRect(10, 10, 950, 600);
    QTest::newRow("empty") << QRect(10, 10, 0, 0) << QRect();
}

void TestWindowState::storedPlaceStaysOnTheScreen() {
    QFETCH(QRect, stored);
    QFETCH(QRect, placed);
    const std::optional<QRect> result = WindowState::placedGeometry(stored, QRect(0, 0, 1280, 800), QSize(950, 600));
    QCOMPARE(result.value_or(QRect()), placed);
}

namespace {
QSplitter* catalogSplitter(WindowFixture& f) {
    f.show();
    f.window().showPage("PAGEPRODUCT");
    QTest::qWait(0);
    return f.find<QSplitter>("catalogSplitter");
}
} // namespace

void TestWindowState::sizeAndSplittersSurviveRestart() {
    WindowFixture f;
    // A section the program does not know, kept as it is.
    writeBytes(f.folders.programFile("velmora.ini"), "[mine]\r\nkey=value\r\n");
    f.show();
    QCOMPARE(f.window().size(), QSize(1280, 800)); // the screen of this test is 1280x800
    QSplitter* split = catalogSplitter(f);
    const QList<int> start = split->sizes();
    QCOMPARE(start.size(), 2);
    QVERIFY2(start[1] >= 200, "the lower area starts usable");

    f.window().setGeometry(40, 30, 1100, 700);
    split->setSizes({start[0] - 90, start[1] + 90}); // as the user drags the handle
    QTest::qWait(0);
    const QList<int> dragged = split->sizes();
    const QRect geometry = f.window().geometry();
    QCOMPARE(geometry, QRect(40, 30, 1100, 700));
    QVERIFY(f.window().close());
    const QString text = QString::fromUtf8(readBytes(f.folders.programFile("velmora.ini")));
    QVERIFY2(text.contains("[mine]\r\nkey=value\r\n"), qPrintable(text));
    QVERIFY2(text.contains("geometry=40,30,1100,700\r\nmaximized=0"), qPrintable(text));
    QVERIFY2(text.contains(QString("catalog_area=%1,%2").arg(dragged[0]).arg(dragged[1])), qPrintable(text));

    f.destroy();
    QSplitter* again = catalogSplitter(f);
    QCOMPARE(f.window().geometry(), geometry);
    QCOMPARE(again->sizes(), dragged);
}

void TestWindowState::lowerAreaKeepsUsableHeight() {
    WindowFixture f;
    QSplitter* split = catalogSplitter(f);
    QWidget* lower = f.find<QWidget>("Panel20");
    // Dragged as far up as it goes, the lists keep room; as far down, the lower area does.
    split->setSizes({0, 10000});
    QVERIFY(split->sizes()[0] > 100);
    split->setSizes({10000, 0});
    QVERIFY(lower->height() >= 200);
    QVERIFY(lower->height() >= lower->minimumSizeHint().height());
    // Its button hides it and gives its room to the lists.
    const int lists = split->sizes()[0];
    click(f.find<QToolButton>("SpeedButton23"));
    QVERIFY(lower->isHidden());
    QTRY_VERIFY(split->widget(0)->height() > lists);
    click(f.find<QToolButton>("SpeedButton23"));
    QVERIFY(!lower->isHidden());
}

// The screens of this test: one of 1280x800, as the program is checked on.
int main(int argc, char** argv) {
    QTemporaryDir config;
    const QString path = config.filePath("screens.json");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": 1280, "height": 800,
                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return 1;
    file.close();
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QPA_PLATFORM", QFile::encodeName("offscreen:configfile=" + path));
    QApplication app(argc, argv);
    TestWindowState test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowstate.moc"
