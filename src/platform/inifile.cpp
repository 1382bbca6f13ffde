#include "platform/inifile.h"

#include "platform/textfile.h"

#include <QFile>

IniFile IniFile::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return IniFile();
    return parse(TextFile::decodePerLine(file.readAll()));
}

IniFile IniFile::parse(const QString& text) {
    IniFile ini;
    ini.m_sections.append(Section{}); // lines before the first section header
    for (const QString& raw : TextFile::splitLines(text)) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            ini.m_sections.append(Section{line.mid(1, line.size() - 2).trimmed(), {}, {}, true});
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || line.startsWith(QLatin1Char(';'))) {
            if (!line.isEmpty())
                ini.m_sections.last().looseLines << raw;
            continue;
        }
        ini.m_sections.last().entries.append({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return ini;
}

const IniFile::Section* IniFile::find(const QString& name) const {
    for (const Section& s : m_sections)
        if (!s.name.isEmpty() && s.name.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

IniFile::Section* IniFile::find(const QString& name) {
    return const_cast<Section*>(static_cast<const IniFile*>(this)->find(name));
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    if (const Section* s = find(section))
        for (const auto& entry : s->entries)
            if (entry.first.compare(key, Qt::CaseInsensitive) == 0)
                return entry.second;
    return std::nullopt;
}

QString IniFile::text(const QString& section, const QString& key, const QString& fallback) const {
    return value(section, key).value_or(fallback);
}

int IniFile::integer(const QString& section, const QString& key, int fallback) const {
    const auto stored = value(section, key);
    if (!stored)
        return fallback;
    bool ok = false;
    const int result = stored->toInt(&ok, 10);
    return ok ? result : fallback;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    Section* s = find(section);
    if (!s) {
        m_sections.append(Section{section, {}, {}, true});
        s = &m_sections.last();
    }
    for (auto& entry : s->entries) {
        if (entry.first.compare(key, Qt::CaseInsensitive) == 0) {
            entry.second = value;
            return;
        }
    }
    s->entries.append({key, value});
}

namespace {
// A value is one line of the file: a line break in it would start keys or sections of its own.
QString oneLine(QString value) {
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}
} // namespace

QString IniFile::toText() const {
    QString out;
    bool first = true;
    for (const Section& s : m_sections) {
        if (!s.header && s.entries.isEmpty() && s.looseLines.isEmpty())
            continue;
        if (!first)
            out += QLatin1String("\r\n");
        first = false;
        // A nameless "[]" keeps its header too, or its keys would join the section above.
        if (s.header)
            out += QLatin1Char('[') + s.name + QLatin1String("]\r\n");
        for (const QString& loose : s.looseLines)
            out += loose + QLatin1String("\r\n");
        for (const auto& entry : s.entries)
            out += entry.first + QLatin1Char('=') + oneLine(entry.second) + QLatin1String("\r\n");
    }
    return out;
}

bool IniFile::save(const QString& path, QString* error) const {
    // It holds the security codes of three accounts.
    return TextFile::writeAtomicallyPrivate(path, toText().toUtf8(), error);
}
