#pragma once

#include <QString>
#include <QStringList>

// The files the catalog service produces per brand through "fun_exportdata".
namespace CatalogExport {

// The values of the settings key "convert_as".
enum class Format { Csv = 1, Xml = 2, Json = 3 };

struct Options {
    bool criteria = false;
    bool crosses = false;
    bool applicability = false;
};

struct Account {
    QString email;
    QString seccode;
    QString lang;
};

// "&needcritery=1", "&needcrosses=1", "&needaplicability=1" for the options that are on.
QString OptionsText(const Options& options);

// The request of one brand; `listSeparator` goes into "format=csv[;]".
QString Request(Format format, const QString& listSeparator, const Account& account, const QString& brand,
                const QString& optionsText);

// The answer's lines without the service's envelope: CSV loses its first character, XML its
// first, third and fourth lines (from four lines on), JSON its second and third (from three on).
QStringList TrimAnswer(Format format, QStringList lines);

// The file of a brand in `folder`: a brand name never leaves the folder nor fails on a path
// character, so "/", "\" and control characters become "_".
QString FilePath(const QString& folder, const QString& brand, Format format);

// Saves a brand's lines to its file in `folder` (UTF-8 with mark, CR LF), replacing an earlier
// file of that name; a link found under the name is replaced, never written through. False with
// the reason in `error` when it cannot.
bool SaveFile(const QString& folder, const QString& brand, Format format, const QStringList& lines, QString* error);

} // namespace CatalogExport
