#include "platform/atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    void adopt(int fd) {
        reset();
        m_fd = fd;
    }
    // Closes now; false when closing reported an error (a late write failure on some file systems).
    bool reset() {
        const int fd = std::exchange(m_fd, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

// A name of our own beside the target; hidden, so that no folder listing picks up a half-written file.
QByteArray freshName() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name(".velmora-");
    for (int i = 0; i < 12; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return name;
}

} // namespace

bool replace(const QString& path, const QByteArray& bytes, Access access, QString* error) {
    const QFileInfo target(path);
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    const QByteArray name = QFile::encodeName(target.fileName());
    int failure = 0;
    auto fail = [&](int code) {
        if (error)
            *error = QStringLiteral("Cannot write file \"%1\". %2").arg(path, systemError(code));
        return false;
    };
    if (name.isEmpty())
        return fail(EISDIR);

    // Every step names files relative to the folder opened once, so the folder cannot be swapped
    // for another one half-way.
    const Fd dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return fail(errno);

    int mode = -1; // the mode to give the new file; -1 leaves what creation gave it
    struct stat old {};
    if (::fstatat(dir.get(), name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(old.st_mode))
            return fail(EISDIR);
        // Permission bits only: a planted set-id bit must not pass to a file of ours.
        if (S_ISREG(old.st_mode) && access != Access::Executable)
            mode = int(old.st_mode & 0777);
    }
    if (access == Access::Executable)
        mode = 0755;
    else if (access == Access::OwnerOnly && mode < 0)
        mode = 0600;
    // Anything that is to end up narrower than the umask's default is born 0600.
    const mode_t createMode = mode < 0 ? 0666 : 0600;

    QByteArray temp;
    Fd file;
    for (int attempt = 0; attempt < 100 && file.get() < 0; ++attempt) {
        temp = freshName();
        file.adopt(
            ::openat(dir.get(), temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode));
        if (file.get() < 0 && errno != EEXIST)
            return fail(errno);
    }
    if (file.get() < 0)
        return fail(EEXIST);

    if (!writeAll(file.get(), bytes) || (mode >= 0 && ::fchmod(file.get(), mode_t(mode)) != 0) ||
        ::fsync(file.get()) != 0)
        failure = errno;
    if (!file.reset() && !failure)
        failure = errno;
    if (!failure && ::renameat(dir.get(), temp.constData(), dir.get(), name.constData()) != 0)
        failure = errno;
    if (failure) {
        ::unlinkat(dir.get(), temp.constData(), 0);
        return fail(failure);
    }
    return true;
}

} // namespace AtomicFile
