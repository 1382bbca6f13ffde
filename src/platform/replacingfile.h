#pragma once

#include "platform/atomicfile.h"

#include <QByteArray>
#include <QString>

// A fresh file that replaces `target` when committed: created exclusively under a hidden name of
// its own in the target's folder and renamed over the target's name at the end, every step
// relative to the folder opened once. The name itself is replaced, never followed: a link planted
// under the target's name is swapped for the new file and what it pointed at stays untouched.
// Until the commit the target keeps its old content; without one the fresh file is removed.
// The new file's mode follows `access` (see AtomicFile::Access).
class ReplacingFile {
public:
    enum class Existing {
        Replace,
        // Only a new file: anything already under the name, a link too (even one pointing
        // nowhere), makes open() fail and is left alone. The file is written under its own name
        // and removed again without a commit.
        Refuse,
    };

    explicit ReplacingFile(const QString& target, AtomicFile::Access access = AtomicFile::Access::Shared,
                           Existing existing = Existing::Replace);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the fresh file (once); false with the reason in errorString().
    bool open();
    bool write(const char* data, qint64 size);
    // Opens when not yet open, makes the bytes durable and renames the file over the target
    // (Existing::Replace) or keeps it (Existing::Refuse).
    bool commit();
    QString errorString() const { return m_error; }

private:
    bool fail(int code);
    void discard();

    QString m_target;
    AtomicFile::Access m_access;
    Existing m_existing;
    QByteArray m_name;
    QByteArray m_temp;
    int m_folder = -1;
    int m_file = -1;
    int m_mode = -1; // the mode to give the new file; -1 leaves what creation gave it
    QString m_error;
};
