#include "platform/apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

AppPaths::AppPaths() : AppPaths(QCoreApplication::applicationDirPath(), QDir::currentPath()) {
    if (QFileInfo(m_programDir).isWritable())
        return;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return;
    m_programDir = QDir::cleanPath(data);
    m_usesDataFolder = true;
}

AppPaths::AppPaths(const QString& programDir, const QString& workingDir, bool usesDataFolder)
    : m_programDir(QDir::cleanPath(programDir)), m_workingDir(QDir::cleanPath(workingDir)),
      m_usesDataFolder(usesDataFolder) {}

QString AppPaths::programFile(const QString& name) const {
    return QDir(m_programDir).filePath(name);
}

QString AppPaths::workingFile(const QString& name) const {
    return QDir(m_workingDir).filePath(name);
}

QString AppPaths::programDirWithSeparator() const {
    return m_programDir.endsWith(QLatin1Char('/')) ? m_programDir : m_programDir + QLatin1Char('/');
}
