#include "platform/replacingfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A name of our own beside the target; hidden, so that no folder listing picks up a half-written file.
QByteArray freshName() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name(".velmora-");
    for (int i = 0; i < 12; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return name;
}

// Closes now; false when closing reported an error (a late write failure on some file systems).
bool closeNow(int& fd) {
    const int was = std::exchange(fd, -1);
    return was < 0 || ::close(was) == 0;
}

} // namespace

ReplacingFile::ReplacingFile(const QString& target, AtomicFile::Access access, Existing existing)
    : m_target(target), m_access(access), m_existing(existing),
      m_name(QFile::encodeName(QFileInfo(target).fileName())) {}

ReplacingFile::~ReplacingFile() {
    discard();
    closeNow(m_folder);
}

bool ReplacingFile::fail(int code) {
    m_error = QStringLiteral("Cannot write file \"%1\". %2").arg(m_target, QString::fromLocal8Bit(std::strerror(code)));
    return false;
}

void ReplacingFile::discard() {
    closeNow(m_file);
    if (!m_temp.isEmpty())
        ::unlinkat(m_folder, m_temp.constData(), 0);
    m_temp.clear();
}

bool ReplacingFile::open() {
    if (m_file >= 0)
        return true;
    if (m_name.isEmpty())
        return fail(EISDIR);
    // Every step names files relative to the folder opened once, so the folder cannot be swapped
    // for another one half-way.
    if (m_folder < 0) {
        const QByteArray folder = QFile::encodeName(QFileInfo(m_target).absolutePath());
        m_folder = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_folder < 0)
            return fail(errno);
    }

    using AtomicFile::Access;
    m_mode = -1;
    struct stat old {};
    if (::fstatat(m_folder, m_name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(old.st_mode))
            return fail(EISDIR);
        // Permission bits only: a planted set-id bit must not pass to a file of ours.
        if (S_ISREG(old.st_mode) && m_access != Access::Executable)
            m_mode = int(old.st_mode & 0777);
    }
    if (m_access == Access::Executable)
        m_mode = 0755;
    else if (m_access == Access::OwnerOnly && m_mode < 0)
        m_mode = 0600;
    // Anything that is to end up narrower than the umask's default is born 0600.
    const mode_t createMode = m_mode < 0 ? 0666 : 0600;

    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    if (m_existing == Existing::Refuse) {
        m_file = ::openat(m_folder, m_name.constData(), flags, createMode);
        if (m_file < 0)
            return fail(errno);
        m_temp = m_name;
        return true;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray temp = freshName();
        m_file = ::openat(m_folder, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
        if (m_file >= 0) {
            m_temp = temp;
            return true;
        }
        if (errno != EEXIST)
            return fail(errno);
    }
    return fail(EEXIST);
}

bool ReplacingFile::write(const char* data, qint64 size) {
    if (!open())
        return false;
    while (size > 0) {
        const ssize_t n = ::write(m_file, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n == 0 ? ENOSPC : errno);
        data += n;
        size -= n;
    }
    return true;
}

bool ReplacingFile::commit() {
    if (!open())
        return false;
    const bool replacing = m_existing == Existing::Replace;
    int failure = 0;
    // Durable before it takes the old file's place.
    if ((m_mode >= 0 && ::fchmod(m_file, mode_t(m_mode)) != 0) || (replacing && ::fsync(m_file) != 0))
        failure = errno;
    if (!closeNow(m_file) && !failure)
        failure = errno;
    // renameat replaces the directory entry itself, a symbolic link included.
    if (!failure && replacing && ::renameat(m_folder, m_temp.constData(), m_folder, m_name.constData()) != 0)
        failure = errno;
    if (failure) {
        discard();
        return fail(failure);
    }
    m_temp.clear();
    return true;
}
