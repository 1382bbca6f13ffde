#include "app/settings.h"

#include "platform/apppaths.h"
#include "platform/inifile.h"
#include "platform/textfile.h"
#include "platform/widgets.h"
#include "service/appcontext.h"
#include "service/listfiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSplitter>

#include <optional>

namespace Settings {

namespace {

enum class Type { Text, Flag, LanguageIndex, ConvertAs, SplitterSizes };

struct Entry {
    const char* section;
    const char* key;
    Type type;
    const char* fallback; // nullptr: the program's folder
    const char* control;
};

// In the order the file is read and written.
const Entry kTable[] = {
    {"webservice", "email", Type::Text, "", "Edit3"},
    {"webservice", "seccode", Type::Text, "", "Edit4"},
    {"webservice", "lang", Type::LanguageIndex, "5", "ComboBox11"},
    {"compareprice", "email", Type::Text, "", "Edit5"},
    {"compareprice", "seccode", Type::Text, "", "Edit6"},
    {"compareprice", "enable", Type::Flag, "0", "CheckBox1"},
    {"analizprice", "email", Type::Text, "", "Edit1"},
    {"analizprice", "seccode", Type::Text, "", "Edit2"},
    {"analizprice", "maxval", Type::Text, "5", "Edit7"},
    {"analizprice", "enable", Type::Flag, "0", "CheckBox2"},
    {"myprices", "path", Type::Text, "", "Edit8"},
    {"myprices", "brand", Type::Text, "[brand][namebrand]...", "Edit9"},
    {"myprices", "reference", Type::Text, "[reference][codepart][numberproduct]...", "Edit10"},
    {"myprices", "price", Type::Text, "[price]...", "Edit11"},
    {"myprices", "enable", Type::Flag, "0", "CheckBox3"},
    {"myprices", "autodownload", Type::Flag, "0", "CheckBox7"},
    // The program's own: the largest file a download may bring, in megabytes.
    {"myprices", "download_limit_mb", Type::Text, "512", "DownloadLimit"},
    {"openpage", "enable", Type::Flag, "0", "CheckBox4"},
    {"openpage", "separate_thread", Type::Flag, "1", "CheckBox11"},
    {"openpage", "pause", Type::Flag, "1", "CheckBox12"},
    {"openpage", "pauser_after", Type::Text, "10", "Edit16"},
    {"export_myprices", "pathexport", Type::Text, nullptr, "Edit13"},
    {"export_myprices", "add_criteries", Type::Flag, "0", "CheckBox8"},
    {"export_myprices", "add_crossses", Type::Flag, "0", "CheckBox9"},
    {"export_myprices", "add_aplicability", Type::Flag, "0", "CheckBox10"},
    {"export_myprices", "convert_as", Type::ConvertAs, "2", nullptr},
    // The program's own: how the lower area of the catalog page is shared ("160,640"), and how the
    // page is shared between the lists and the lower area ("380,290").
    {"window", "lower_area", Type::SplitterSizes, "", "lowerAreaSplitter"},
    {"window", "catalog_area", Type::SplitterSizes, "", "catalogSplitter"},
};

const char* const kConvertRadios[] = {"RadioButton5", "RadioButton9", "RadioButton10"};

template <class T> T* control(QWidget* root, const char* name) {
    return root->findChild<T*>(QString::fromLatin1(name));
}

QString s(const char* text) {
    return QString::fromUtf8(text);
}

QStringList linesOf(const QString& path) {
    return TextFile::readLines(path).value_or(QStringList());
}

void replaceSorted(QListWidget* list, const QStringList& lines) {
    list->clear();
    list->addItems(sortedLikeInsertSorted(lines));
}

// "160,640" as one size per pane; nothing for a text that does not give them all, or gives one
// that is not a positive number.
std::optional<QList<int>> splitterSizes(const QString& text, int panes) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != panes)
        return std::nullopt;
    QList<int> sizes;
    for (const QString& part : parts) {
        bool ok = false;
        const int size = part.trimmed().toInt(&ok);
        if (!ok || size <= 0)
            return std::nullopt;
        sizes << size;
    }
    return sizes;
}

// The file's value of the key a control is kept under, or its default.
QString valueFor(const IniFile& ini, const char* controlName, const QString& programDir) {
    for (const Entry& e : kTable)
        if (e.control && QByteArray(e.control) == controlName)
            return ini.text(s(e.section), s(e.key), e.fallback ? s(e.fallback) : programDir);
    return {};
}

bool flagFor(const IniFile& ini, const char* controlName) {
    bool ok = false;
    const int value = valueFor(ini, controlName, QString()).toInt(&ok);
    return ok && value != 0;
}

} // namespace

RunFileSettings ReadRunSettings(const QString& iniPath) {
    const IniFile ini = IniFile::load(iniPath);
    const QFileInfo file(iniPath);
    const QDir folder = file.absoluteDir();
    const QString programDir = QDir::toNativeSeparators(folder.absolutePath() + QLatin1Char('/'));
    RunFileSettings settings;
    PriceRunSettings& run = settings.run;
    run.ownPrices = flagFor(ini, "CheckBox3");
    run.compare = flagFor(ini, "CheckBox1");
    run.analysis = flagFor(ini, "CheckBox2");
    run.compareEmail = valueFor(ini, "Edit5", programDir);
    run.compareSeccode = valueFor(ini, "Edit6", programDir);
    run.analysisEmail = valueFor(ini, "Edit1", programDir);
    run.analysisSeccode = valueFor(ini, "Edit2", programDir);
    run.maxSubOffers = valueFor(ini, "Edit7", programDir);
    run.compareShopIds = BracketedText(folder.filePath(s(ListFiles::kCompareIds)));
    run.analysisShopIds = BracketedText(folder.filePath(s(ListFiles::kAnalysisIds)));
    settings.priceListFolder = valueFor(ini, "Edit8", programDir);
    settings.brandColumns = valueFor(ini, "Edit9", programDir);
    settings.referenceColumns = valueFor(ini, "Edit10", programDir);
    settings.priceColumns = valueFor(ini, "Edit11", programDir);
    return settings;
}

QString BracketedText(const QString& path) {
    QString text;
    for (const QString& line : linesOf(path))
        text += QLatin1Char('[') + line + QLatin1Char(']');
    return text;
}

void LoadSettings(QWidget* root, const AppPaths& paths) {
    const IniFile ini = IniFile::load(paths.programFile(s(ListFiles::kSettings)));
    for (const Entry& e : kTable) {
        const QString section = s(e.section), key = s(e.key);
        switch (e.type) {
        case Type::Text: {
            const QString fallback = e.fallback ? s(e.fallback) : paths.programDirWithSeparator();
            if (auto* edit = control<QLineEdit>(root, e.control))
                edit->setText(ini.text(section, key, fallback));
            break;
        }
        case Type::Flag:
            if (auto* box = control<QCheckBox>(root, e.control))
                box->setChecked(ini.integer(section, key, QByteArray(e.fallback).toInt()) != 0);
            break;
        case Type::LanguageIndex:
            if (auto* combo = control<QComboBox>(root, e.control)) {
                const int index = ini.integer(section, key, 5);
                combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
            }
            break;
        case Type::SplitterSizes:
            if (auto* split = control<QSplitter>(root, e.control))
                if (const auto sizes = splitterSizes(ini.text(section, key, QString()), split->count()))
                    split->setSizes(*sizes);
            break;
        case Type::ConvertAs: {
            const int value = ini.integer(section, key, 2);
            if (value >= 1 && value <= 3)
                if (auto* radio = control<QRadioButton>(root, kConvertRadios[value - 1]))
                    radio->setChecked(true);
            break;
        }
        }
    }
}

void LoadLists(QWidget* root, const AppPaths& paths, SharedTexts& texts) {
    texts.NecessaryBrands = BracketedText(paths.programFile(s(ListFiles::kNecessaryBrands)));
    texts.CompareShopIds = BracketedText(paths.programFile(s(ListFiles::kCompareIds)));
    texts.AnalysisShopIds = BracketedText(paths.programFile(s(ListFiles::kAnalysisIds)));

    if (const auto garage = TextFile::readLines(paths.programFile(s(ListFiles::kGarage)))) {
        auto* list = control<QListWidget>(root, "ListBox4");
        replaceSorted(list, *garage);
        if (auto* header = control<QLabel>(root, "Label18"))
            header->setText(QStringLiteral("My garage [%1]").arg(list->count()));
    }
    if (const auto pages = TextFile::readLines(paths.programFile(s(ListFiles::kPages)))) {
        auto* list = control<QListWidget>(root, "ListBox2");
        list->clear();
        list->addItems(*pages);
    }
    auto* downloads = control<QListWidget>(root, "ListBox5");
    replaceSorted(downloads, linesOf(paths.programFile(s(ListFiles::kDownloads))));
}

bool SaveLists(QWidget* root, const AppPaths& paths, QString* error) {
    using AtomicFile::Access;
    struct List {
        const char* file;
        const char* control;
        Access access;
    };
    // The download links carry the suppliers' passwords.
    const List lists[] = {{ListFiles::kGarage, "ListBox4", Access::Shared},
                          {ListFiles::kPages, "ListBox2", Access::Shared},
                          {ListFiles::kDownloads, "ListBox5", Access::OwnerOnly}};
    for (const List& list : lists)
        if (!TextFile::writeUtf8Lines(paths.programFile(s(list.file)),
                                      itemTexts(control<QListWidget>(root, list.control)), error, list.access))
            return false;
    return true;
}

bool SaveSettings(QWidget* root, const AppPaths& paths, QString* error) {
    const QString path = paths.programFile(s(ListFiles::kSettings));
    IniFile ini = IniFile::load(path);
    for (const Entry& e : kTable) {
        const QString section = s(e.section), key = s(e.key);
        switch (e.type) {
        case Type::Text:
            ini.setValue(section, key, control<QLineEdit>(root, e.control)->text());
            break;
        case Type::Flag:
            ini.setValue(section, key, control<QCheckBox>(root, e.control)->isChecked() ? s("1") : s("0"));
            break;
        case Type::LanguageIndex:
            ini.setValue(section, key, QString::number(control<QComboBox>(root, e.control)->currentIndex()));
            break;
        case Type::SplitterSizes:
            if (const auto* split = control<QSplitter>(root, e.control)) {
                QStringList sizes;
                for (const int size : split->sizes())
                    sizes << QString::number(size);
                ini.setValue(section, key, sizes.join(QLatin1Char(',')));
            }
            break;
        case Type::ConvertAs:
            for (int i = 0; i < 3; ++i)
                if (control<QRadioButton>(root, kConvertRadios[i])->isChecked())
                    ini.setValue(section, key, QString::number(i + 1));
            break;
        }
    }
    return ini.save(path, error);
}

} // namespace Settings
