#include "platform/replacingfile.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

ReplacingFile::ReplacingFile(const QString& target) : m_target(target) {
    const QFileInfo info(target);
    m_file.setFileTemplate(info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1String(".XXXXXX"));
}

bool ReplacingFile::open() {
    if (m_file.isOpen())
        return true;
    if (!m_file.open()) {
        m_error = m_target + QLatin1String(": ") + m_file.errorString();
        return false;
    }
    return true;
}

bool ReplacingFile::write(const char* data, qint64 size) {
    if (m_file.write(data, size) == size)
        return true;
    m_error = m_target + QLatin1String(": ") + m_file.errorString();
    return false;
}

bool ReplacingFile::commit(QFileDevice::Permissions permissions) {
    if (!open())
        return false;
    if (!m_file.flush() || ::fsync(m_file.handle()) != 0 || !m_file.setPermissions(permissions)) {
        m_error = m_target + QLatin1String(": ") + m_file.errorString();
        return false;
    }
    // rename(2) replaces the directory entry itself, a symbolic link included.
    if (::rename(QFile::encodeName(m_file.fileName()).constData(), QFile::encodeName(m_target).constData()) != 0) {
        m_error = m_target + QLatin1String(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_file.setAutoRemove(false);
    m_file.close();
    return true;
}
