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

// A link planted at `linkPath` to a file elsewhere (a victim holding "victim"), or to a name
// elsewhere that does not exist yet. A writer of the program must replace the link, never write
// through it.
class PlantedLink {
public:
    enum class Target { ExistingFile, Nothing };
    explicit PlantedLink(const QString& linkPath, Target target = Target::ExistingFile);
    // The link was planted, and now the victim is as it was (or still does not exist) and no
    // longer linked from `linkPath`.
    bool victimIntact() const;
    QString victim() const { return m_victim; }

private:
    QTemporaryDir m_elsewhere;
    QString m_link;
    QString m_victim;
    Target m_target;
    bool m_planted = false;
};

// The full path of a file in tests/fixtures.
QString fixturePath(const QString& name);
// Whole file content; empty when missing.
QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
