#include "vehicle/vehicleline.h"

#include <QTest>

class TestVehicleLine : public QObject {
    Q_OBJECT
private slots:
    void vehicleLineOfTypeAndCarAgree();
    void openEndedVehicleLine();
    void modelLineFormat_data();
    void modelLineFormat();
    void candidateLineEndsWithKType();
    void garageLineIsTabSeparated();
    void garageLineTypidParsing_data();
    void garageLineTypidParsing();
    void garageQuestionPutsEachPartOnItsLine();
    void kTypeNumber_data();
    void kTypeNumber();
};

namespace {
TTypeRec sampleType() {
    TTypeRec t;
    t.typid = 10010;
    t.fullnametypecar = "A4 1.6";
    t.pconstart = "2000/11";
    t.pconend = "2004/12";
    t.bodytype = "Saloon";
    t.kw = "75";
    t.hp = "102";
    t.ccm = "1595";
    t.typefuel = "Petrol";
    t.listcodeengine = "ALZ, AVU";
    return t;
}
} // namespace

void TestVehicleLine::vehicleLineOfTypeAndCarAgree() {
    const TTypeRec t = sampleType();
    const QString expected = "A4 1.6 [2000/11 - 2004/12] Saloon | Petrol - 75kW | 102HP | 1595ccm - ALZ, AVU";
    QCOMPARE(VehicleLine(t), expected);
    TCarInfoRec c;
    c.fullnametypecar = t.fullnametypecar;
    c.pconstart = t.pconstart;
    c.pconend = t.pconend;
    c.bodytype = t.bodytype;
    c.kw = t.kw;
    c.hp = t.hp;
    c.ccm = t.ccm;
    c.typefuel = t.typefuel;
    c.listcodeengine = t.listcodeengine;
    c.brand = "AUDI";
    c.modelcar = "A4";
    QCOMPARE(VehicleLine(c), expected);
}

void TestVehicleLine::openEndedVehicleLine() {
    TTypeRec t = sampleType();
    t.pconend.clear();
    QVERIFY(VehicleLine(t).startsWith("A4 1.6 [2000/11 - ] Saloon"));
    QCOMPARE(VehicleLine(TTypeRec()), QString(" [ - ]  |  - kW | HP | ccm - "));
}

void TestVehicleLine::modelLineFormat_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("line");
    QTest::newRow("closed") << "1997/03"
                            << "2005/02"
                            << "GOLF IV (1J1) [1997/03 - 2005/02]";
    QTest::newRow("open") << "2003/05"
                          << ""
                          << "GOLF IV (1J1) [2003/05 - ]";
    QTest::newRow("no dates") << ""
                              << ""
                              << "GOLF IV (1J1) [ - ]";
}

void TestVehicleLine::modelLineFormat() {
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, line);
    TModelRec m;
    m.modid = 1101;
    m.modelcar = "GOLF IV (1J1)";
    m.pconstart = start;
    m.pconend = end;
    QCOMPARE(modelLine(m), line);
}

void TestVehicleLine::candidateLineEndsWithKType() {
    TCarInfoRec c;
    c.typid = 10042;
    c.fullnametypecar = "C 200";
    QCOMPARE(candidateLine(c), VehicleLine(c) + " {10042}");
}

void TestVehicleLine::garageLineIsTabSeparated() {
    QCOMPARE(garageLine("AUDI", "A4 [2000/11 - ]", "A4 1.6 [...]", 10010),
             QString("AUDI\tA4 [2000/11 - ]\tA4 1.6 [...]\t{10010}"));
}

void TestVehicleLine::garageLineTypidParsing_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("typid");
    QTest::newRow("regular") << "AUDI\tA4\tA4 1.6\t{10010}" << 10010;
    QTest::newRow("first braces win") << "A {12} B {34}" << 12;
    QTest::newRow("letters") << "AUDI\t{abc}" << 0;
    QTest::newRow("empty braces") << "AUDI\t{}" << 0;
    QTest::newRow("no braces") << "AUDI\tA4" << 0;
    QTest::newRow("unclosed") << "AUDI\t{10010" << 0;
    QTest::newRow("negative") << "{-5}" << -5;
}

void TestVehicleLine::garageLineTypidParsing() {
    QFETCH(QString, line);
    QFETCH(int, typid);
    QCOMPARE(garageLineTypid(line), typid);
}

void TestVehicleLine::garageQuestionPutsEachPartOnItsLine() {
    QCOMPARE(garageOpenQuestion("AUDI\tA4\tA4 1.6\t{10010}"),
             QString("Open car with data ???\r\n****************************\r\nAUDI\r\nA4\r\nA4 1.6\r\n{10010}"));
}

void TestVehicleLine::kTypeNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "10010" << 10010;
    QTest::newRow("leading zeros") << "0010010" << 10010;
    QTest::newRow("spaces") << "  10010 \t" << 10010;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("negative") << "-7" << -7;
    QTest::newRow("letters") << "10a10" << 0;
    QTest::newRow("decimal") << "10.5" << 0;
    QTest::newRow("too big") << "99999999999" << 0;
}

void TestVehicleLine::kTypeNumber() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(parseKType(text), value);
}

QTEST_APPLESS_MAIN(TestVehicleLine)
#include "tst_vehicleline.moc"
