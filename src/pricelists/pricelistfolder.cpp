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

QString Question(qsizetype rows) {
    const QString state =
        rows == 0 ? QStringLiteral("is empty")
                  : QStringLiteral("holds %1 price line%2").arg(rows).arg(rows == 1 ? QString() : QStringLiteral("s"));
    return QStringLiteral("At moment table price lists in memory program %1 !!! Do regenerate data about prices for "
                          "use in memory ???")
        .arg(state);
}

QString FileLine(const QString& fileName, const PriceListLoad& load) {
    QString status;
    if (load.used) {
        status = QStringLiteral("read, %1 record%2").arg(load.records).arg(load.records == 1 ? "" : "s");
        if (load.longLines > 0)
            status += QStringLiteral("; %1 line%2 longer than %3 characters skipped")
                          .arg(load.longLines)
                          .arg(load.longLines == 1 ? "" : "s")
                          .arg(kMaxCsvLineChars);
        if (!load.error.isEmpty())
            status += QStringLiteral("; stopped early: ") + load.error;
    } else {
        status = QStringLiteral("not read: ") + (load.error.isEmpty() ? load.notUsed : load.error);
    }
    return QStringLiteral("  -  ") + fileName + QStringLiteral(" (") + status + QLatin1Char(')');
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
    PriceListReader reader(table, names, separator, locale, hooks.cancel);
    // Once the regeneration has ended early, the files after are explained, not read.
    QString endedBy;
    QString error;
    for (int i = 0; i < files->size(); ++i) {
        const QString& name = files->at(i);
        if (endedBy.isEmpty() && hooks.cancel && hooks.cancel->load())
            endedBy = QStringLiteral("the regeneration was cancelled");
        if (!endedBy.isEmpty()) {
            PriceListLoad skipped;
            skipped.notUsed = endedBy;
            hooks.reportLine(FileLine(name, skipped));
            continue;
        }
        if (hooks.readingFile)
            hooks.readingFile(i, int(files->size()), name);
        const QString path = folder + name;
        const bool sheet = !name.contains(QLatin1String(".csv"));
        const PriceListLoad load = sheet ? reader.LoadSheetPriceList(path, name) : reader.LoadCsvPriceList(path, name);
        if (sheet && hooks.sheetProblem &&
            (load.problem == PriceListLoad::Problem::Unreadable || load.problem == PriceListLoad::Problem::OverBound))
            hooks.sheetProblem(path);
        hooks.reportLine(FileLine(name, load));
        if (load.problem == PriceListLoad::Problem::Cancelled) {
            endedBy = QStringLiteral("the regeneration was cancelled");
        } else if (load.problem == PriceListLoad::Problem::CannotRead) {
            endedBy = QStringLiteral("the regeneration ended at ") + name;
            error = load.error;
        }
    }
    return error;
}

} // namespace PriceListFolder
