// The settings file reader: writing back what was read and reading it again changes nothing,
// and a value set under a plain section and key reads back as one trimmed line.
#include "fuzzcheck.h"
#include "platform/inifile.h"
#include "platform/textfile.h"

#include <cstdint>

namespace {

// A plain name from the input's first bytes: letters, digits and "_".
QString plainName(const std::uint8_t* data, std::size_t size, std::size_t at) {
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789_";
    QString name;
    for (std::size_t i = at; i < at + 3 && i < size; ++i)
        name += QLatin1Char(kAlphabet[data[i] % (sizeof(kAlphabet) - 1)]);
    return name.isEmpty() ? QStringLiteral("x") : name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    IniFile ini = IniFile::parse(TextFile::decodePerLine(bytes));
    const QString written = ini.toText();
    FUZZ_CHECK(IniFile::parse(written).toText() == written);

    const QString section = plainName(data, size, 0);
    const QString key = plainName(data, size, 3);
    const QString value = QString::fromUtf8(bytes.right(bytes.size() / 3));
    ini.setValue(section, key, value);
    const QString changed = ini.toText();
    const IniFile again = IniFile::parse(changed);
    // A value is written as set and read back trimmed; from then on nothing changes.
    FUZZ_CHECK(IniFile::parse(again.toText()).toText() == again.toText());
    QString oneLine = value;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    FUZZ_CHECK(again.value(section, key) == oneLine.trimmed());
    return 0;
}
