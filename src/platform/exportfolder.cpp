#include "platform/exportfolder.h"

#include "platform/desktop.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ExportFolder(QString* error) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return QString();
    };
    if (documents.isEmpty())
        return fail(QStringLiteral("The user's documents folder is not known"));
    const QString folder = QDir(documents).filePath(QStringLiteral("Velmora"));
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return fail(QStringLiteral("Could not create the folder \"%1\"").arg(QDir::toNativeSeparators(folder)));
    return folder;
}

void TellSavedIn(Dialogs& dialogs, Desktop& desktop, const QString& text, const QString& folder) {
    if (dialogs.informationWithAction(text, QStringLiteral("Open folder")))
        desktop.open(folder);
}

bool OpenSavedExport(Dialogs& dialogs, Desktop& desktop, const QString& file) {
    const bool opened = desktop.open(file);
    const QFileInfo saved(file);
    TellSavedIn(dialogs, desktop,
                QStringLiteral("The file \"%1\" is saved in folder :\r\n%2")
                    .arg(saved.fileName(), QDir::toNativeSeparators(saved.absolutePath())),
                saved.absolutePath());
    return opened;
}
