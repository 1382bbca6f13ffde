#include "support/testpaths.h"

#include <QDir>
#include <QFile>

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
