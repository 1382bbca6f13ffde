#pragma once

#include <QByteArray>
#include <QString>

// Whole-file writes that never go through a link: the bytes go into a fresh file created
// exclusively in the target's folder, which then takes the target's name (rename). A link
// planted under that name is replaced, never written through, and a write that fails or is cut
// short leaves the previous file whole. (QSaveFile follows links, so it is not used for this.)
// ReplacingFile does the same for bytes that come in parts.
namespace AtomicFile {

enum class Access {
    // A new file gets the usual mode (0666 less the umask); an existing one keeps its mode.
    Shared,
    // For files that hold secrets: a new file is readable by its owner only (0600); an existing
    // one keeps its mode.
    OwnerOnly,
    // A script the program starts: always 0755.
    Executable,
};

// Replaces the file at `path` with `bytes`; false with the reason in `error` when it cannot,
// and then nothing is left behind.
bool replace(const QString& path, const QByteArray& bytes, Access access = Access::Shared, QString* error = nullptr);

} // namespace AtomicFile
