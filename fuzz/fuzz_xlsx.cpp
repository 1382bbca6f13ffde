// Workbooks: the XML scanner fed in chunks of any sizes gives what it gives fed whole (tokens,
// names, attributes, captured texts, the fault that ends it); the sheet reader and the price
// list reader take any package built from the input (a worksheet and shared strings put into a
// well-formed package, or the input itself as the file) without harm, handing on rows in order,
// the title row first, within the sheet's bounds.
//   byte 0: bit 0 the input is the file itself, bit 1 parts stored, bit 2 small bounds
//   byte 1: seed of the chunk sizes
//   rest:   the file, or the worksheet's rows, a NUL, then the shared strings
#include "fuzzcheck.h"
#include "platform/sheetreader.h"
#include "platform/xmlscanner.h"
#include "pricelists/ownpricetable.h"
#include "pricelists/pricelistreaders.h"
#include "support/workbookpackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstring>

namespace {

// Every token as a line, with what a reader asks of it; capture is on inside "t" and "v".
QList<QByteArray> scan(QByteArrayView xml, std::uint32_t seed) {
    qint64 pos = 0;
    std::uint32_t state = seed * 2654435761u + 1;
    XmlScanner scanner([&](char* buffer, qint64 size) {
        qint64 chunk = size;
        if (seed != 0) {
            state = state * 1664525u + 1013904223u;
            chunk = std::min<qint64>(size, 1 + (state >> 16) % 97);
        }
        const qint64 n = std::min(chunk, qint64(xml.size()) - pos);
        std::memcpy(buffer, xml.data() + pos, size_t(n));
        pos += n;
        return n;
    });
    QList<QByteArray> tokens;
    for (;;) {
        const XmlScanner::Token token = scanner.next();
        if (token == XmlScanner::Token::EndOfDocument || token == XmlScanner::Token::Error) {
            tokens << "end " + QByteArray::number(int(token)) + " " + QByteArray::number(int(scanner.fault()));
            return tokens;
        }
        const QByteArray name = scanner.name().toByteArray();
        const bool text = name == "t" || name == "v";
        if (token == XmlScanner::Token::End && text) {
            scanner.setCapture(false);
            tokens << "text " + scanner.text();
        }
        tokens << QByteArray::number(int(token)) + " " + name + " r=" + scanner.attribute("r").toByteArray() +
                      " t=" + scanner.attribute("t").toByteArray() +
                      " id=" + scanner.prefixedAttribute("id").toByteArray() +
                      " d=" + XmlScanner::decoded(scanner.attribute("s"));
        if (token == XmlScanner::Token::Start && text) {
            scanner.text().clear();
            scanner.setCapture(true);
        }
    }
}

QString scratchFile() {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/fuzz_xlsx-%1.xlsx").arg(QCoreApplication::applicationPid());
    return path;
}

void readWorkbook(const QString& path, bool smallBounds) {
    SheetReader::Options options;
    if (smallBounds) {
        options.limits.partBytes = 4096;
        options.limits.smallPartBytes = 2048;
        options.limits.ratioFromBytes = 1024;
        options.limits.ratio = 4;
        options.limits.sharedStrings = 8;
        options.limits.sharedTextBytes = 64;
    }
    int last = 0;
    const SheetReader::Result result = SheetReader::read(
        path,
        [&](int row, const QStringList& cells) {
            FUZZ_CHECK(last == 0 ? row == 1 : row > last);
            FUZZ_CHECK(row <= 1048576);
            FUZZ_CHECK(cells.size() <= 16384);
            last = row;
            return true;
        },
        QLocale::c(), options);
    FUZZ_CHECK(last >= 1 || result.status != SheetReader::Status::Read);
    FUZZ_CHECK(result.status == SheetReader::Status::Read || !result.error.isEmpty() ||
               result.status == SheetReader::Status::Unavailable);
    FUZZ_CHECK(result.columns >= 0 && result.columns <= 16384);

    OwnPriceTable table;
    PriceListReader reader(table, {"[brand][]", "[code][reference]", "[price]"}, QLatin1Char(';'), QLocale::c());
    const PriceListLoad load = reader.LoadSheetPriceList(path, QStringLiteral("f-[B].xlsx"));
    FUZZ_CHECK(load.records == table.Count());
    FUZZ_CHECK(load.used || load.records == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::uint8_t flags = data[0];
    const QByteArrayView body(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    const QList<QByteArray> whole = scan(body, 0);
    FUZZ_CHECK(scan(body, data[1] + 1u) == whole);

    QByteArray file;
    if (flags & 1) {
        // A binary workbook would be handed to an office program: not here.
        if (body.toByteArray().toLower().contains("workbook.bin"))
            return 0;
        file = body.toByteArray();
    } else {
        const qsizetype nul = body.indexOf('\0');
        const QByteArray sheet = (nul < 0 ? body : body.first(nul)).toByteArray();
        const QByteArray strings = nul < 0 ? QByteArray() : body.sliced(nul + 1).toByteArray();
        const QString path = scratchFile();
        FUZZ_CHECK(WorkbookPackage::write(path, WorkbookPackage::minimal(sheet, strings), flags & 2));
        readWorkbook(path, flags & 4);
        return 0;
    }
    QFile out(scratchFile());
    FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(file);
    out.close();
    readWorkbook(scratchFile(), flags & 4);
    return 0;
}
