#include "support/testpaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestFolders::TestFolders() = default;

QString TestFolders::programFile(const QString& name) const {
    return QDir(programDir()).filePath(name);
}

QString TestFolders::workingFile(const QString& name) const {
    return QDir(workingDir()).filePath(name);
}

QString fixturePath(const QString& name) {
    return QDir(QStringLiteral(VELMORA_FIXTURES_DIR)).filePath(name);
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

PlantedLink::PlantedLink(const QString& linkPath, Target target)
    : m_link(linkPath), m_victim(m_elsewhere.filePath(QStringLiteral("victim.txt"))), m_target(target) {
    if (target == Target::ExistingFile) {
        writeBytes(m_victim, "victim");
        QFile::setPermissions(m_victim, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                            QFileDevice::ReadOther);
    }
    m_planted = QFile::link(m_victim, m_link);
}

bool PlantedLink::victimIntact() const {
    if (!m_planted || QFileInfo(m_link).isSymLink())
        return false;
    if (m_target == Target::Nothing)
        return !QFileInfo::exists(m_victim);
    const QFileDevice::Permissions modeBits(0x7077);
    return readBytes(m_victim) == "victim" &&
           (QFile::permissions(m_victim) & modeBits) ==
               (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}
