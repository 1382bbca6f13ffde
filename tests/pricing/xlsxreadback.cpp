#include "xlsxreadback.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <zip.h>

namespace {

QByteArray entry(zip_t* archive, const char* name, bool* found) {
    *found = false;
    zip_stat_t stat;
    if (zip_stat(archive, name, 0, &stat) != 0)
        return {};
    zip_file_t* file = zip_fopen(archive, name, 0);
    if (!file)
        return {};
    QByteArray bytes(qsizetype(stat.size), '\0');
    const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
    zip_fclose(file);
    *found = read == zip_int64_t(stat.size);
    return bytes;
}

struct Style {
    bool bold = false;
    QString left, right, top, bottom;
    QString numberFormat;
};

// The built-in number formats a writer refers to by id alone.
QString builtInFormat(int id) {
    switch (id) {
    case 0:
        return QStringLiteral("General");
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 10:
        return QStringLiteral("0.00%");
    case 49:
        return QStringLiteral("@");
    default:
        return QStringLiteral("built-in %1").arg(id);
    }
}

QList<Style> readStyles(const QByteArray& xml) {
    QList<bool> fonts;
    QList<QStringList> borders;
    QList<Style> styles;
    QMap<int, QString> formats;
    QXmlStreamReader r(xml);
    QString section;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            const auto name = r.name();
            if (name == u"fonts" || name == u"borders" || name == u"cellXfs" || name == u"cellStyleXfs")
                section = name.toString();
            else if (name == u"numFmt")
                formats[r.attributes().value("numFmtId").toInt()] = r.attributes().value("formatCode").toString();
            else if (section == u"fonts" && name == u"font")
                fonts << false;
            else if (section == u"fonts" && name == u"b" && !fonts.isEmpty())
                fonts.last() = true;
            else if (section == u"borders" && name == u"border")
                borders << QStringList{QString(), QString(), QString(), QString()};
            else if (section == u"borders" && !borders.isEmpty()) {
                const QStringList sides{"left", "right", "top", "bottom"};
                const qsizetype side = sides.indexOf(name.toString());
                if (side >= 0)
                    borders.last()[side] = r.attributes().value("style").toString();
            } else if (section == u"cellXfs" && name == u"xf") {
                Style s;
                const int font = r.attributes().value("fontId").toInt();
                const int border = r.attributes().value("borderId").toInt();
                s.bold = font < fonts.size() && fonts[font];
                const int format = r.attributes().value("numFmtId").toInt();
                s.numberFormat = formats.value(format, builtInFormat(format));
                if (border < borders.size()) {
                    s.left = borders[border][0];
                    s.right = borders[border][1];
                    s.top = borders[border][2];
                    s.bottom = borders[border][3];
                }
                styles << s;
            }
        } else if (r.isEndElement() && r.name().toString() == section) {
            section.clear();
        }
    }
    return styles;
}

QStringList readSharedStrings(const QByteArray& xml) {
    QStringList strings;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"si")
            strings << QString();
        else if (r.isStartElement() && r.name() == u"t" && !strings.isEmpty())
            strings.last() += r.readElementText();
    }
    return strings;
}

int columnIndex(QStringView reference) {
    int column = 0;
    for (const QChar c : reference) {
        if (!c.isUpper())
            break;
        column = column * 26 + (c.unicode() - 'A' + 1);
    }
    return column - 1;
}

} // namespace

SheetContent ReadXlsx(const QString& path, int sheetNumber) {
    SheetContent content;
    int errorCode = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &errorCode);
    if (!archive) {
        content.error = QStringLiteral("not a zip archive");
        return content;
    }
    bool found = false;
    const QByteArray sheetName = "xl/worksheets/sheet" + QByteArray::number(sheetNumber) + ".xml";
    const QByteArray sheet = entry(archive, sheetName.constData(), &found);
    bool stylesFound = false;
    const QByteArray stylesXml = entry(archive, "xl/styles.xml", &stylesFound);
    bool sharedFound = false;
    const QByteArray sharedXml = entry(archive, "xl/sharedStrings.xml", &sharedFound);
    zip_close(archive);
    if (!found || !stylesFound) {
        content.error = QStringLiteral("worksheet or styles missing");
        return content;
    }
    content.sheetXml = QString::fromUtf8(sheet);
    const QList<Style> styles = readStyles(stylesXml);
    const QStringList shared = readSharedStrings(sharedXml);

    QXmlStreamReader r(sheet);
    int row = -1;
    int column = -1;
    SheetCell* cell = nullptr;
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        const auto name = r.name();
        if (name == u"col") {
            const int first = r.attributes().value("min").toInt() - 1;
            const int last = r.attributes().value("max").toInt() - 1;
            for (int c = first; c <= last; ++c)
                content.widths[c] = r.attributes().value("width").toDouble();
        } else if (name == u"row") {
            row = r.attributes().value("r").toInt() - 1;
            content.rowCount = std::max(content.rowCount, row + 1);
        } else if (name == u"c") {
            column = columnIndex(r.attributes().value("r"));
            cell = &content.cells[row][column];
            cell->type = r.attributes().value("t").toString();
            const int style = r.attributes().value("s").toInt();
            if (style < styles.size()) {
                cell->bold = styles[style].bold;
                cell->left = styles[style].left;
                cell->right = styles[style].right;
                cell->top = styles[style].top;
                cell->bottom = styles[style].bottom;
                cell->numberFormat = styles[style].numberFormat;
            }
        } else if (name == u"v" && cell) {
            const QString value = r.readElementText();
            cell->text = cell->type == u"s" ? shared.value(value.toInt()) : value;
        } else if (name == u"t" && cell) {
            cell->text += r.readElementText();
        }
    }
    if (r.hasError())
        content.error = r.errorString();
    return content;
}

QString SheetContent::shown(int row, int column) const {
    const SheetCell c = cell(row, column);
    static const QRegularExpression decimalsFormat(QStringLiteral("^0(?:\\.(0+))?$"));
    const QRegularExpressionMatch match = decimalsFormat.match(c.numberFormat);
    if (!c.type.isEmpty() || c.text.isEmpty() || !match.hasMatch())
        return c.text;
    return QString::number(c.text.toDouble(), 'f', int(match.captured(1).size()));
}
