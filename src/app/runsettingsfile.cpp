#include "app/runsettingsfile.h"

#include "platform/apppaths.h"
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

const SettingEntry kTable[] = {
    {"webservice", "email", SettingType::Text, "", "Edit3"},
    {"webservice", "seccode", SettingType::Text, "", "Edit4"},
    {"webservice", "lang", SettingType::LanguageIndex, "5", "ComboBox11"},
    {"compareprice", "email", SettingType::Text, "", "Edit5"},
    {"compareprice", "seccode", SettingType::Text, "", "Edit6"},
    {"compareprice", "enable", SettingType::Flag, "0", "CheckBox1"},
    {"analizprice", "email", SettingType::Text, "", "Edit1"},
    {"analizprice", "seccode", SettingType::Text, "", "Edit2"},
    {"analizprice", "maxval", SettingType::Text, "5", "Edit7"},
    {"analizprice", "enable", SettingType::Flag, "0", "CheckBox2"},
    {"myprices", "path", SettingType::Text, "", "Edit8"},
    {"myprices", "brand", SettingType::Text, "[brand][namebrand]...", "Edit9"},
    {"myprices", "reference", SettingType::Text, "[reference][codepart][numberproduct]...", "Edit10"},
    {"myprices", "price", SettingType::Text, "[price]...", "Edit11"},
    {"myprices", "enable", SettingType::Flag, "0", "CheckBox3"},
    {"myprices", "autodownload", SettingType::Flag, "0", "CheckBox7"},
    // The program's own: the largest file a download may bring, in megabytes.
    {"myprices", "download_limit_mb", SettingType::Text, "512", "DownloadLimit"},
    {"openpage", "enable", SettingType::Flag, "0", "CheckBox4"},
    {"openpage", "separate_thread", SettingType::Flag, "1", "CheckBox11"},
    {"openpage", "pause", SettingType::Flag, "1", "CheckBox12"},
    {"openpage", "pauser_after", SettingType::Text, "10", "Edit16"},
    {"export_myprices", "pathexport", SettingType::Text, nullptr, "Edit13"},
    {"export_myprices", "add_criteries", SettingType::Flag, "0", "CheckBox8"},
    {"export_myprices", "add_crossses", SettingType::Flag, "0", "CheckBox9"},
    {"export_myprices", "add_aplicability", SettingType::Flag, "0", "CheckBox10"},
    {"export_myprices", "convert_as", SettingType::ConvertAs, "2", nullptr},
    // The program's own: what BEST OFFERS counts as an undercut, the currency of own prices that
    // name none, and how long the price history keeps a run.
    {"bestoffers", "undercut_percent", SettingType::Text, "5", "UndercutThreshold"},
    {"bestoffers", "own_currency", SettingType::Text, "EUR", "OwnPriceCurrency"},
    {"bestoffers", "keep_days", SettingType::Text, "365", "KeepPriceHistoryDays"},
    // The program's own: how the lower area of the catalog page is shared ("160,640"), and how the
    // page is shared between the lists and the lower area ("380,290").
    {"window", "lower_area", SettingType::SplitterSizes, "", "lowerAreaSplitter"},
    {"window", "catalog_area", SettingType::SplitterSizes, "", "catalogSplitter"},
};

} // namespace

std::span<const SettingEntry> SettingsTable() {
    return kTable;
}

// The stored value as its control would give it back: a flag as "1" or "0", the format as its
// number or empty for none.
QString StoredValue(const IniFile& ini, const SettingEntry& e, const AppPaths& paths) {
    const QString section = s(e.section), key = s(e.key);
    switch (e.type) {
    case SettingType::Text:
        return ini.text(section, key, e.fallback ? s(e.fallback) : paths.programDirWithSeparator());
    case SettingType::Flag:
        return ini.integer(section, key, QByteArray(e.fallback).toInt()) != 0 ? s("1") : s("0");
    case SettingType::LanguageIndex:
        return QString::number(ini.integer(section, key, QByteArray(e.fallback).toInt()));
    case SettingType::SplitterSizes:
        return ini.text(section, key, QString());
    case SettingType::ConvertAs: {
        const int value = ini.integer(section, key, QByteArray(e.fallback).toInt());
        return value >= 1 && value <= 3 ? QString::number(value) : QString();
    }
    }
    return {};
}

RunFileSettings ReadRunSettings(const QString& iniPath) {
    const IniFile ini = IniFile::load(iniPath);
    const QDir folder = QFileInfo(iniPath).absoluteDir();
    const AppPaths paths(folder.path(), folder.path());
    const auto value = [&](const char* section, const char* key) {
        for (const SettingEntry& e : kTable)
            if (qstrcmp(e.section, section) == 0 && qstrcmp(e.key, key) == 0)
                return StoredValue(ini, e, paths);
        Q_ASSERT_X(false, "ReadRunSettings", key);
        return QString();
    };
    const auto on = [&](const char* section) { return value(section, "enable") == QLatin1String("1"); };
    RunFileSettings settings;
    PriceRunSettings& run = settings.run;
    run.ownPrices = on("myprices");
    run.compare = on("compareprice");
    run.analysis = on("analizprice");
    run.compareEmail = value("compareprice", "email");
    run.compareSeccode = value("compareprice", "seccode");
    run.analysisEmail = value("analizprice", "email");
    run.analysisSeccode = value("analizprice", "seccode");
    run.maxSubOffers = value("analizprice", "maxval");
    run.compareShopIds = BracketedText(folder.filePath(s(ListFiles::kCompareIds)));
    run.analysisShopIds = BracketedText(folder.filePath(s(ListFiles::kAnalysisIds)));
    settings.priceListFolder = value("myprices", "path");
    settings.brandColumns = value("myprices", "brand");
    settings.referenceColumns = value("myprices", "reference");
    settings.priceColumns = value("myprices", "price");
    settings.keepHistoryDays = value("bestoffers", "keep_days");
    return settings;
}

QString BracketedText(const QString& path) {
    QString text;
    for (const QString& line : TextFile::readLines(path).value_or(QStringList()))
        text += QLatin1Char('[') + line + QLatin1Char(']');
    return text;
}

} // namespace Settings
