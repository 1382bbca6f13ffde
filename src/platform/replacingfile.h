#pragma once

#include <QString>
#include <QTemporaryFile>

// A fresh file that replaces `target` when committed: created exclusively under a new name in
// the target's folder and renamed over the target's name at the end. The name itself is
// replaced, never followed: a link planted under the target's name is swapped for the new file
// and what it pointed at stays untouched. Until the commit the target keeps its old content;
// without one the fresh file is removed.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& target);
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the fresh file; false with the reason in errorString().
    bool open();
    bool isOpen() const { return m_file.isOpen(); }
    bool write(const char* data, qint64 size);
    // Flushes, gives the file `permissions` (as QFile::Permissions) and renames it over the target.
    bool commit(QFileDevice::Permissions permissions);
    QString errorString() const { return m_error; }

private:
    QString m_target;
    QTemporaryFile m_file;
    QString m_error;
};
