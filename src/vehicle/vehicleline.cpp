#include "vehicle/vehicleline.h"

#include "service/textfunctions.h"

namespace {

QString vehicleLine(const QString& name, const QString& start, const QString& end, const QString& body,
                    const QString& fuel, const QString& kw, const QString& hp, const QString& ccm,
                    const QString& engines) {
    return name + QLatin1String(" [") + start + QLatin1String(" - ") + end + QLatin1String("] ") + body +
           QLatin1String(" | ") + fuel + QLatin1String(" - ") + kw + QLatin1String("kW | ") + hp +
           QLatin1String("HP | ") + ccm + QLatin1String("ccm - ") + engines;
}

} // namespace

QString VehicleLine(const TTypeRec& t) {
    return vehicleLine(t.fullnametypecar, t.pconstart, t.pconend, t.bodytype, t.typefuel, t.kw, t.hp, t.ccm,
                       t.listcodeengine);
}

QString VehicleLine(const TCarInfoRec& c) {
    return vehicleLine(c.fullnametypecar, c.pconstart, c.pconend, c.bodytype, c.typefuel, c.kw, c.hp, c.ccm,
                       c.listcodeengine);
}

QString modelLine(const TModelRec& m) {
    return m.modelcar + QLatin1String(" [") + m.pconstart + QLatin1String(" - ") + m.pconend + QLatin1Char(']');
}

QString candidateLine(const TCarInfoRec& car) {
    return VehicleLine(car) + QLatin1String(" {") + QString::number(car.typid) + QLatin1Char('}');
}

QString garageLine(const QString& manufacturer, const QString& model, const QString& engine, int typid) {
    const QChar tab = QLatin1Char('\t');
    return manufacturer + tab + model + tab + engine + tab + QLatin1Char('{') + QString::number(typid) +
           QLatin1Char('}');
}

int garageLineTypid(const QString& line) {
    bool ok = false;
    const int typid = TextBetween(line, QStringLiteral("{"), QStringLiteral("}")).toInt(&ok);
    return ok ? typid : 0;
}

QString garageOpenQuestion(const QString& line) {
    return QStringLiteral("Open car with data ???\r\n****************************\r\n") +
           ReplaceAllIgnoreCase(line, QStringLiteral("\t"), QStringLiteral("\r\n"));
}

int parseKType(const QString& text) {
    bool ok = false;
    const int value = Trim(text).toInt(&ok, 10);
    return ok ? value : 0;
}
