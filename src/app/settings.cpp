#include "app/settings.h"

#include "platform/apppaths.h"
#include "platform/inifile.h"
#include "platform/textfile.h"
#include "platform/widgets.h"
#include "service/appcontext.h"
#include "service/listfiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSplitter>

#include <optional>

namespace Settings {

namespace {

using Type = SettingType;
using Entry = SettingEntry;

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

// The name a key's control is found by; the format's radio group by its first button.
QString controlName(const Entry& e) {
    return s(e.control ? e.control : kConvertRadios[0]);
}

bool built(QWidget* root, const Entry& e) {
    return root->findChild<QWidget*>(controlName(e)) != nullptr;
}

void putValue(QWidget* root, const Entry& e, const QString& value) {
    switch (e.type) {
    case Type::Text:
        if (auto* edit = control<QLineEdit>(root, e.control))
            edit->setText(value);
        break;
    case Type::Flag:
        if (auto* box = control<QCheckBox>(root, e.control))
            box->setChecked(value == s("1"));
        break;
    case Type::LanguageIndex:
        if (auto* combo = control<QComboBox>(root, e.control)) {
            const int index = value.toInt();
            combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
        }
        break;
    case Type::SplitterSizes:
        if (auto* split = control<QSplitter>(root, e.control))
            if (const auto sizes = splitterSizes(value, split->count()))
                split->setSizes(*sizes);
        break;
    case Type::ConvertAs:
        // None of them leaves the group as it was.
        if (const int number = value.toInt(); number >= 1 && number <= 3)
            if (auto* radio = control<QRadioButton>(root, kConvertRadios[number - 1]))
                radio->setChecked(true);
        break;
    }
}

// What a built control holds, as the file keeps it; nothing where the file keeps its value.
std::optional<QString> controlValue(QWidget* root, const Entry& e) {
    switch (e.type) {
    case Type::Text:
        return control<QLineEdit>(root, e.control)->text();
    case Type::Flag:
        return control<QCheckBox>(root, e.control)->isChecked() ? s("1") : s("0");
    case Type::LanguageIndex:
        return QString::number(control<QComboBox>(root, e.control)->currentIndex());
    case Type::SplitterSizes: {
        QStringList sizes;
        for (const int size : control<QSplitter>(root, e.control)->sizes())
            sizes << QString::number(size);
        return sizes.join(QLatin1Char(','));
    }
    case Type::ConvertAs:
        for (int i = 0; i < 3; ++i)
            if (control<QRadioButton>(root, kConvertRadios[i])->isChecked())
                return QString::number(i + 1);
        return std::nullopt;
    }
    return std::nullopt;
}

// The value a control not built yet gives back at the close: what it would show once built.
std::optional<QString> heldValue(const Entry& e, const QString& stored) {
    // The radio group starts at its default; a stored value that selects none leaves it there.
    if (e.type == Type::ConvertAs && stored.isEmpty())
        return s(e.fallback);
    // Sizes the file does not give leave the key as it is.
    if (e.type == Type::SplitterSizes && stored.isEmpty())
        return std::nullopt;
    return stored;
}

} // namespace

void LoadSettings(QWidget* root, const AppPaths& paths, HeldValues& held) {
    const IniFile ini = IniFile::load(paths.programFile(s(ListFiles::kSettings)));
    for (const Entry& e : SettingsTable()) {
        const QString value = StoredValue(ini, e, paths);
        if (built(root, e))
            putValue(root, e, value);
        else if (const auto kept = heldValue(e, value))
            held.values.insert(controlName(e), *kept);
    }
}

void PutHeldValues(QWidget* root, HeldValues& held) {
    for (const Entry& e : SettingsTable()) {
        const QString name = controlName(e);
        if (held.values.contains(name) && built(root, e))
            putValue(root, e, held.values.take(name));
    }
}

ListTexts LoadLists(QWidget* root, const AppPaths& paths) {
    ListTexts lists;
    lists.texts.NecessaryBrands = BracketedText(paths.programFile(s(ListFiles::kNecessaryBrands)));
    lists.texts.CompareShopIds = BracketedText(paths.programFile(s(ListFiles::kCompareIds)));
    lists.texts.AnalysisShopIds = BracketedText(paths.programFile(s(ListFiles::kAnalysisIds)));
    lists.garage = TextFile::readLines(paths.programFile(s(ListFiles::kGarage)));
    if (const auto pages = TextFile::readLines(paths.programFile(s(ListFiles::kPages)))) {
        auto* list = control<QListWidget>(root, "ListBox2");
        list->clear();
        list->addItems(*pages);
    }
    auto* downloads = control<QListWidget>(root, "ListBox5");
    replaceSorted(downloads, linesOf(paths.programFile(s(ListFiles::kDownloads))));
    return lists;
}

bool SaveLists(QWidget* root, const QStringList& garage, const AppPaths& paths, QString* error) {
    using AtomicFile::Access;
    struct List {
        const char* file;
        QStringList lines;
        Access access;
    };
    // The download links carry the suppliers' passwords.
    const List lists[] = {
        {ListFiles::kGarage, garage, Access::Shared},
        {ListFiles::kPages, itemTexts(control<QListWidget>(root, "ListBox2")), Access::Shared},
        {ListFiles::kDownloads, itemTexts(control<QListWidget>(root, "ListBox5")), Access::OwnerOnly}};
    for (const List& list : lists)
        if (!TextFile::writeUtf8Lines(paths.programFile(s(list.file)), list.lines, error, list.access))
            return false;
    return true;
}

bool SaveSettings(QWidget* root, const AppPaths& paths, const HeldValues& held, QString* error) {
    const QString path = paths.programFile(s(ListFiles::kSettings));
    IniFile ini = IniFile::load(path);
    for (const Entry& e : SettingsTable()) {
        std::optional<QString> value;
        if (built(root, e))
            value = controlValue(root, e);
        else if (held.values.contains(controlName(e)))
            value = held.values.value(controlName(e));
        if (value)
            ini.setValue(s(e.section), s(e.key), *value);
    }
    return ini.save(path, error);
}

} // namespace Settings
