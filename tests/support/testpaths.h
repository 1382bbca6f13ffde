#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A temporary program folder and working folder for one test.
class TestFolders {
public:
    TestFolders();
    QString programDir() const { return m_program.path(); }
    QString workingDir() const { return m_working.path(); }
    QString programFile(const QString& name) const;
    QString workingFile(const QString& name) const;

private:
    QTemporaryDir m_program;
    QTemporaryDir m_working;
};

// The full path of a file in tests/fixtures.
QString fixturePath(const QString& name);
// Whole file content; empty when missing.
QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
