#include "pricelists/pricelistfolder.h"

#include "pricelists/ownpricetable.h"
#include "service/textfunctions.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>

namespace PriceListFolder {

QString Folder(const QString& typedFolder) {
    QString folder = Trim(typedFolder);
    if (folder.isEmpty() || !QFileInfo(typedFolder).isDir())
        return QString();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

std::optional<QStringList> Scan(const QString& typedFolder) {
    const QString folder = Folder(typedFolder);
    if (folder.isEmpty())
        return std::nullopt;
    static const QStringList kExtensions = {QStringLiteral(".csv"), QStringLiteral(".xls"), QStringLiteral(".xlsx"),
                                            QStringLiteral(".xlsb")};
    // Pipes, sockets and devices are left out as files with unusual attributes are.
    const QStringList entries =
        QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    QStringList names;
    for (const QString& name : entries) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0 && kExtensions.contains(name.mid(dot)))
            names << name;
    }
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

QStringList CheckReport(const QString& typedFolder) {
    const auto names = Scan(typedFolder);
    if (!names)
        return {kWrongFolder};
    QStringList candidates;
    for (const QString& name : *names)
        if (!name.contains(QLatin1String("GeneratedPriceList")))
            candidates << name;
    QStringList lines{QStringLiteral("------------------------------------")};
    if (candidates.isEmpty()) {
        lines << QStringLiteral("Any files (ext : csv, xls, xlsx, xlsb) that can will use for generate common file(s) "
                                "is not found. NOT OK !");
        return lines;
    }
    lines << kListHeader;
    for (const QString& name : candidates)
        lines << QStringLiteral("  -  ") + name;
    return lines;
}

QString problemText(const QString& fullPath) {
    return QStringLiteral("Problem with file \"") + fullPath + QStringLiteral("\" !");
}

QString Regenerate(OwnPriceTable& table, const QString& typedFolder, const PriceColumnNames& names, QChar separator,
                   const Hooks& hooks, const QLocale& locale) {
    table.Empty();
    const auto sortAtEnd = qScopeGuard([&] { table.Sort(); });
    const auto files = Scan(typedFolder);
    if (!files) {
        hooks.reportLine(kWrongFolder);
        return {};
    }
    if (files->isEmpty())
        hooks.reportLine(QStringLiteral("Any Files (ext : csv, xls, xlsx, xlsb) that can will use for generate common "
                                        "file(s) is not found (folder is empty). NOT OK !"));
    else
        hooks.reportLine(kListHeader);
    const QString folder = Folder(typedFolder);
    PriceListReader reader(table, names, separator, locale);
    for (int i = 0; i < files->size(); ++i) {
        const QString& name = files->at(i);
        if (hooks.readingFile)
            hooks.readingFile(i, int(files->size()), name);
        const QString path = folder + name;
        PriceListLoad load;
        if (name.contains(QLatin1String(".csv")))
            load = reader.LoadCsvPriceList(path, name);
        else if (name.contains(QLatin1String(".xls")))
            load = reader.LoadSheetPriceList(path, name);
        if (load.problem == PriceListLoad::Problem::Unreadable && hooks.sheetProblem)
            hooks.sheetProblem(path);
        if (load.used)
            hooks.reportLine(QStringLiteral("  -  ") + name);
        if (load.problem == PriceListLoad::Problem::CannotRead)
            return load.error;
    }
    return {};
}

} // namespace PriceListFolder
