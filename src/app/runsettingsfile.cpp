#include "app/runsettingsfile.h"

#include "platform/inifile.h"
#include "platform/textfile.h"
#include "service/listfiles.h"

#include <QDir>
#include <QFileInfo>

namespace Settings {

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// A switch is on for a number other than 0; anything else leaves it off.
bool flag(const IniFile& ini, const char* section) {
    bool ok = false;
    const int value = ini.text(s(section), QStringLiteral("enable"), QStringLiteral("0")).toInt(&ok);
    return ok && value != 0;
}

} // namespace

RunFileSettings ReadRunSettings(const QString& iniPath) {
    const IniFile ini = IniFile::load(iniPath);
    const QDir folder = QFileInfo(iniPath).absoluteDir();
    const auto text = [&ini](const char* section, const char* key, const char* fallback = "") {
        return ini.text(s(section), s(key), s(fallback));
    };
    RunFileSettings settings;
    PriceRunSettings& run = settings.run;
    run.ownPrices = flag(ini, "myprices");
    run.compare = flag(ini, "compareprice");
    run.analysis = flag(ini, "analizprice");
    run.compareEmail = text("compareprice", "email");
    run.compareSeccode = text("compareprice", "seccode");
    run.analysisEmail = text("analizprice", "email");
    run.analysisSeccode = text("analizprice", "seccode");
    run.maxSubOffers = text("analizprice", "maxval", "5");
    run.compareShopIds = BracketedText(folder.filePath(s(ListFiles::kCompareIds)));
    run.analysisShopIds = BracketedText(folder.filePath(s(ListFiles::kAnalysisIds)));
    settings.priceListFolder = text("myprices", "path");
    settings.brandColumns = text("myprices", "brand", "[brand][namebrand]...");
    settings.referenceColumns = text("myprices", "reference", "[reference][codepart][numberproduct]...");
    settings.priceColumns = text("myprices", "price", "[price]...");
    settings.keepHistoryDays = text("bestoffers", "keep_days", "365");
    return settings;
}

QString BracketedText(const QString& path) {
    QString text;
    for (const QString& line : TextFile::readLines(path).value_or(QStringList()))
        text += QLatin1Char('[') + line + QLatin1Char(']');
    return text;
}

} // namespace Settings
