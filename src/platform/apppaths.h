#pragma once

#include <QString>

// Where the program keeps its files. The program's folder holds the settings, the list files,
// the request log and the pictures; the working folder holds the product list file and the
// update files. Tests point both at temporary folders.
class AppPaths {
public:
    // The executable's folder and the process's current folder. An installed copy whose folder
    // is not writable keeps its files in the user's data folder instead.
    AppPaths();
    // `usesDataFolder`: the folders stand in for an installed copy's data folder.
    AppPaths(const QString& programDir, const QString& workingDir, bool usesDataFolder = false);

    QString programDir() const { return m_programDir; }
    QString workingDir() const { return m_workingDir; }
    QString programFile(const QString& name) const;
    QString workingFile(const QString& name) const;
    // The program's folder with a trailing separator, as the settings store folders.
    QString programDirWithSeparator() const;
    // True when the executable's folder was not writable and the user's data folder serves instead.
    bool usesDataFolder() const { return m_usesDataFolder; }

private:
    QString m_programDir;
    QString m_workingDir;
    bool m_usesDataFolder = false;
};
