#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <optional>

// Checking for, downloading and swapping in a newer version of the program. On this platform
// the files are named after the running executable (NAME): the download is saved as "new_" +
// NAME beside it, the previous version is kept as "old_" + NAME, and a shell script swaps them
// once the program has ended and starts the new one.

inline constexpr const char* kVersionHistoryPath = "/download/versionhistoryforvelmora.txt";
inline constexpr const char* kProgramDownloadPath = "/services/apps/velmora/Velmora.exe";
inline constexpr const char* kUpdateAgent = "QuorlinUpload";
inline constexpr const char* kUpdateScriptName = "UpdProgrVelmora.sh";

// The text the first line of the version history holds while `version` is the current one.
QString VersionAnnouncement(const QString& version);
// Whether the version history's first bytes announce a version other than `version`; nothing
// when they hold no complete first line.
std::optional<bool> AnnouncesOtherVersion(const QByteArray& firstBytes, const QString& version);
// The version the first line announces ("\"VELMORA\" 2.0.0 released" gives "2.0.0"); empty
// when it announces none or there is no complete first line.
QString AnnouncedVersion(const QByteArray& firstBytes);

struct PublishedVersion {
    bool other = false; // the first line does not announce the running version
    QString announced;  // the version it names, when it names one
};
// Reads the first bytes of the download server's version history, at most 101 of them; nothing
// when they cannot be read or hold no complete first line.
std::optional<PublishedVersion> CheckPublishedVersion(const QString& downloadUrl, const QString& version);

// "Load " + the kilobytes received, with as many fraction digits as they need, + " KB ".
QString LoadCaption(qint64 bytes, const QLocale& locale = QLocale::system());
// A complete download that can run here: not empty and an ELF executable.
bool IsRunnableProgram(qint64 size, const QByteArray& head);

struct UpdateFiles {
    QString program;    // folder + NAME
    QString newProgram; // folder + "new_" + NAME
    QString oldProgram; // folder + "old_" + NAME
    QString script;     // folder + the script's name
};
UpdateFiles UpdateFilesIn(const QString& folder, const QString& programName);

// The swap script: waits for the program to end, keeps the previous version as "old_" + NAME
// (replacing an older one), puts the new one in place with its run bit and starts it; without
// a new file it only says so.
QByteArray UpdateScript(const QString& programName);
// Writes the script into `path` with its run bit, under a fresh name first that then replaces
// whatever held the name (never writing through a link); false with `error` set when it cannot.
bool WriteUpdateScript(const QString& path, const QString& programName, QString* error);
