#include "update/programupdate.h"

#include "platform/atomicfile.h"
#include "platform/httpexchange.h"
#include "platform/localeformats.h"
#include "service/textfunctions.h"

#include <QRegularExpression>

namespace {

constexpr int kVersionCheckSeconds = 10;
constexpr qsizetype kVersionBytes = 101;
const QByteArray kDots = "....................................";

// A word the shell takes as it is, whatever the name holds.
QByteArray quoted(const QString& text) {
    QByteArray bytes = text.toLocal8Bit();
    bytes.replace('\'', "'\\''");
    return '\'' + bytes + '\'';
}

// The first line of the trimmed text, with its line feed; empty when there is no line feed.
QString firstLine(const QByteArray& firstBytes) {
    const QString text = Trim(LocaleFormats::decodeAnsi(firstBytes));
    const qsizetype lineFeed = text.indexOf(QLatin1Char('\n'));
    return lineFeed < 0 ? QString() : text.left(lineFeed + 1);
}

} // namespace

QString VersionAnnouncement(const QString& version) {
    return QStringLiteral("\"VELMORA\" ") + version + QStringLiteral(" released");
}

std::optional<bool> AnnouncesOtherVersion(const QByteArray& firstBytes, const QString& version) {
    const QString line = firstLine(firstBytes);
    if (IsBlank(line))
        return std::nullopt;
    return !line.contains(VersionAnnouncement(version));
}

QString AnnouncedVersion(const QByteArray& firstBytes) {
    static const QRegularExpression announced(QStringLiteral("\"VELMORA\" (\\S+) released"));
    return announced.match(firstLine(firstBytes)).captured(1);
}

std::optional<PublishedVersion> CheckPublishedVersion(const QString& downloadUrl, const QString& version) {
    HttpOptions options;
    options.userAgent = kUpdateAgent;
    options.timeoutSeconds = kVersionCheckSeconds;
    // The first line is all the check needs: whatever follows the first 101 bytes, endless or
    // trickled, is never waited for.
    options.maxBodyBytes = kVersionBytes;
    options.firstBytesOnly = true;
    const HttpResult answer = HttpGet(downloadUrl + QLatin1String(kVersionHistoryPath), options);
    // An error page is no version history.
    if (!answer.completed || answer.statusCode < 200 || answer.statusCode > 299)
        return std::nullopt;
    const std::optional<bool> other = AnnouncesOtherVersion(answer.body, version);
    if (!other)
        return std::nullopt;
    return PublishedVersion{*other, AnnouncedVersion(answer.body)};
}

QString LoadCaption(qint64 bytes, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return QStringLiteral("Load ") + plain.toString(double(bytes) / 1024.0, 'f', QLocale::FloatingPointShortest) +
           QStringLiteral(" KB ");
}

bool IsRunnableProgram(qint64 size, const QByteArray& head) {
    return size > 0 && head.startsWith("\x7f"
                                       "ELF");
}

UpdateFiles UpdateFilesIn(const QString& folder, const QString& programName) {
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return {base + programName, base + QLatin1String("new_") + programName, base + QLatin1String("old_") + programName,
            base + QLatin1String(kUpdateScriptName)};
}

QByteArray UpdateScript(const QString& programName) {
    const QByteArray name = quoted(programName);
    const QByteArray newName = quoted(QLatin1String("new_") + programName);
    const QByteArray oldName = quoted(QLatin1String("old_") + programName);
    auto say = [](const QString& text) { return "echo " + quoted(text) + "\n"; };
    QByteArray script = "#!/bin/sh\n"
                        "# Swaps in the downloaded program once the running one has ended, and starts it.\n"
                        "cd \"$(dirname \"$0\")\" || exit 1\n"
                        "echo 'PAUSE 5 sec.'\n"
                        "sleep 5\n"
                        "echo '" +
                        kDots + "'\n";
    script += "if [ ! -f " + newName + " ]; then\n    " + say(QLatin1String("FILE_NOT_FOUND new_") + programName) +
              "    exit 1\nfi\n";
    script += "if [ -f " + name + " ]; then\n    " +
              say(QStringLiteral("RENAME_OLD_FILE %1 TO old_%1").arg(programName)) + "    rm -f " + oldName + "\n" +
              "    mv -f " + name + " " + oldName + " || exit 1\n    echo '" + kDots + "'\nfi\n";
    script += say(QStringLiteral("RENAME_NEW_FILE new_%1 TO %1").arg(programName));
    script += "mv -f " + newName + " " + name + " || exit 1\n";
    script += "chmod +x " + name + "\n";
    script += "echo '" + kDots + "'\n";
    script += say(QLatin1String("RUN_PROGRAM ") + programName);
    script += "./" + name + " </dev/null >/dev/null 2>&1 &\n";
    return script;
}

bool WriteUpdateScript(const QString& path, const QString& programName, QString* error) {
    return AtomicFile::replace(path, UpdateScript(programName), AtomicFile::Access::Executable, error);
}
