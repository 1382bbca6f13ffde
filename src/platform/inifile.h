#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// A profile file read and written by section and key. Names compare without regard to case,
// as profile files do; sections and keys the program does not know keep their place and value
// when the file is written back.
class IniFile {
public:
    // Reads the file; a missing or unreadable file gives an empty profile.
    static IniFile load(const QString& path);
    static IniFile parse(const QString& text);

    std::optional<QString> value(const QString& section, const QString& key) const;
    QString text(const QString& section, const QString& key, const QString& fallback = QString()) const;
    // Decimal integer; the fallback when missing or not a number.
    int integer(const QString& section, const QString& key, int fallback) const;
    void setValue(const QString& section, const QString& key, const QString& value);

    QString toText() const;
    // Replaces the file atomically; false with the reason in `error` when that fails.
    bool save(const QString& path, QString* error = nullptr) const;

private:
    struct Section {
        QString name;
        QList<QPair<QString, QString>> entries;
        QStringList looseLines; // comments and other lines kept as they were
        bool header = false;    // false only for the lines before the first section
    };
    Section* find(const QString& name);
    const Section* find(const QString& name) const;

    QList<Section> m_sections;
};
