#include "workbook.h"

#include <cstdint>
#include <map>

#include "common/escape.h"

namespace {

uint32_t crc32(const std::string& data) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char ch : data)
        crc = table[(crc ^ ch) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void put16(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Stored (uncompressed) entries: every zip reader handles them and we need no deflater.
std::string zipStored(const std::vector<std::pair<std::string, std::string>>& files) {
    std::string out, central;
    for (const auto& [name, data] : files) {
        const uint32_t offset = static_cast<uint32_t>(out.size());
        const uint32_t crc = crc32(data);
        put32(out, 0x04034b50);
        put16(out, 20);
        put16(out, 0);
        put16(out, 0);
        put16(out, 0);
        put16(out, 0x21); // fixed date, so builds are byte-identical
        put32(out, crc);
        put32(out, static_cast<uint32_t>(data.size()));
        put32(out, static_cast<uint32_t>(data.size()));
        put16(out, static_cast<uint32_t>(name.size()));
        put16(out, 0);
        out += name;
        out += data;

        put32(central, 0x02014b50);
        put16(central, 20);
        put16(central, 20);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0x21);
        put32(central, crc);
        put32(central, static_cast<uint32_t>(data.size()));
        put32(central, static_cast<uint32_t>(data.size()));
        put16(central, static_cast<uint32_t>(name.size()));
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put32(central, 0);
        put32(central, offset);
        central += name;
    }
    const uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(files.size()));
    put16(out, static_cast<uint32_t>(files.size()));
    put32(out, static_cast<uint32_t>(central.size()));
    put32(out, centralOffset);
    put16(out, 0);
    return out;
}

bool isNumber(const std::string& text) {
    if (text.empty() || text.size() > 12)
        return false;
    int dots = 0;
    for (char c : text) {
        if (c == '.')
            ++dots;
        else if (c < '0' || c > '9')
            return false;
    }
    return dots <= 1 && text.front() != '.' && text.back() != '.' &&
           (text.size() == 1 || text[0] != '0' || text[1] == '.');
}

std::string columnName(size_t index) {
    std::string name;
    ++index;
    while (index > 0) {
        name.insert(name.begin(), static_cast<char>('A' + (index - 1) % 26));
        index = (index - 1) / 26;
    }
    return name;
}

} // namespace

std::string MakeWorkbook(const std::vector<std::vector<std::string>>& rows) {
    std::map<std::string, size_t> stringIndex;
    std::vector<std::string> strings;
    size_t columns = 0;
    std::string sheetData;
    for (size_t r = 0; r < rows.size(); ++r) {
        columns = std::max(columns, rows[r].size());
        sheetData += "<row r=\"" + std::to_string(r + 1) + "\">";
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const std::string& value = rows[r][c];
            const std::string ref = columnName(c) + std::to_string(r + 1);
            if (r > 0 && isNumber(value)) {
                sheetData += "<c r=\"" + ref + "\"><v>" + value + "</v></c>";
            } else {
                auto [it, added] = stringIndex.emplace(value, strings.size());
                if (added)
                    strings.push_back(value);
                sheetData += "<c r=\"" + ref + "\" t=\"s\"><v>" + std::to_string(it->second) + "</v></c>";
            }
        }
        sheetData += "</row>";
    }
    const std::string xmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    const std::string mainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string relNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const std::string pkgRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";

    std::string shared = xmlHead + "<sst xmlns=\"" + mainNs + "\" count=\"" + std::to_string(strings.size()) +
                         "\" uniqueCount=\"" + std::to_string(strings.size()) + "\">";
    for (const std::string& s : strings)
        shared += "<si><t xml:space=\"preserve\">" + xmlEscape(s) + "</t></si>";
    shared += "</sst>";

    const std::string dimension = "A1:" + columnName(columns ? columns - 1 : 0) + std::to_string(rows.size());
    std::string sheet = xmlHead + "<worksheet xmlns=\"" + mainNs + "\" xmlns:r=\"" + relNs + "\"><dimension ref=\"" +
                        dimension + "\"/><sheetData>" + sheetData + "</sheetData></worksheet>";

    std::vector<std::pair<std::string, std::string>> files = {
        {"[Content_Types].xml",
         xmlHead +
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
             "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
             "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
             "<Override PartName=\"/xl/workbook.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
             "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
             "<Override PartName=\"/xl/sharedStrings.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
             "</Types>"},
        {"_rels/.rels", xmlHead + "<Relationships xmlns=\"" + pkgRelNs + "\"><Relationship Id=\"rId1\" Type=\"" +
                            relNs + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", xmlHead + "<workbook xmlns=\"" + mainNs + "\" xmlns:r=\"" + relNs +
                                "\"><sheets><sheet name=\"Prices\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         xmlHead + "<Relationships xmlns=\"" + pkgRelNs + "\"><Relationship Id=\"rId1\" Type=\"" + relNs +
             "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + relNs +
             "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", sheet},
        {"xl/sharedStrings.xml", shared},
    };
    return zipStored(files);
}
