#include "export/catalogexport.h"

#include "platform/textfile.h"
#include "service/textfunctions.h"

namespace CatalogExport {

QString OptionsText(const Options& options) {
    QString text;
    if (options.criteria)
        text += QStringLiteral("&needcritery=1");
    if (options.crosses)
        text += QStringLiteral("&needcrosses=1");
    if (options.applicability)
        text += QStringLiteral("&needaplicability=1");
    return text;
}

QString Request(Format format, const QString& listSeparator, const Account& account, const QString& brand,
                const QString& optionsText) {
    QString formatText;
    switch (format) {
    case Format::Csv:
        formatText = QStringLiteral("csv[") + listSeparator + QLatin1Char(']');
        break;
    case Format::Xml:
        formatText = QStringLiteral("xml");
        break;
    case Format::Json:
        formatText = QStringLiteral("json");
        break;
    }
    return QStringLiteral("fun_exportdata?format=") + formatText + QStringLiteral("&email=") + Trim(account.email) +
           QStringLiteral("&seccode=") + Trim(account.seccode) + QStringLiteral("&lang=") + account.lang +
           QStringLiteral("&brand=") + EncodeBrand(brand) + optionsText;
}

QStringList TrimAnswer(Format format, QStringList lines) {
    switch (format) {
    case Format::Csv:
        if (!lines.isEmpty())
            lines.first().remove(0, 1);
        break;
    case Format::Xml:
        if (lines.size() >= 4) {
            lines.remove(2, 2);
            lines.removeFirst();
        }
        break;
    case Format::Json:
        if (lines.size() >= 3)
            lines.remove(1, 2);
        break;
    }
    return lines;
}

QString FilePath(const QString& folder, const QString& brand, Format format) {
    QString name = brand;
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    static const char* const kExtensions[] = {"", ".csv", ".xml", ".json"};
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + name + QLatin1String(kExtensions[int(format)]);
}

bool SaveFile(const QString& folder, const QString& brand, Format format, const QStringList& lines, QString* error) {
    return TextFile::writeUtf8Lines(FilePath(folder, brand, format), lines, error);
}

} // namespace CatalogExport
