#include "workbookpackage.h"

#include <QFile>

#include <zip.h>

namespace WorkbookPackage {

Parts minimal(const QByteArray& sheetData, const QByteArray& sharedStrings) {
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    const QByteArray type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    QByteArray rels =
        "<Relationships><Relationship Id=\"rId1\" Type=\"" + type + "worksheet\" Target=\"worksheets/sheet1.xml\"/>";
    if (!sharedStrings.isNull())
        rels += "<Relationship Id=\"rId2\" Type=\"" + type + "sharedStrings\" Target=\"sharedStrings.xml\"/>";
    rels += "</Relationships>";
    Parts parts{
        {"_rels/.rels", "<Relationships><Relationship Id=\"rId1\" Type=\"" + type +
                            "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml",
         "<workbook " + ns + "><sheets><sheet name=\"Prices\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels", rels},
        {"xl/worksheets/sheet1.xml", "<worksheet " + ns + "><sheetData>" + sheetData + "</sheetData></worksheet>"},
    };
    if (!sharedStrings.isNull())
        parts.append({"xl/sharedStrings.xml", "<sst " + ns + ">" + sharedStrings + "</sst>"});
    return parts;
}

bool write(const QString& path, const Parts& parts, bool store) {
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return false;
    for (const auto& [name, bytes] : parts) {
        // libzip reads the buffer when the archive is closed, while `parts` still holds it.
        zip_source_t* source = zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index = source ? zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            zip_discard(zip);
            return false;
        }
        zip_set_file_compression(zip, zip_uint64_t(index), store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    return zip_close(zip) == 0;
}

} // namespace WorkbookPackage
