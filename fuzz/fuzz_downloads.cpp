// What a download brings in from outside: the free catalogue's answer and its links, the first
// bytes of a downloaded price list, the version history's first line. Saved names stay inside
// the folder, a masked link keeps everything but its password, and nothing crashes.
#include "fuzzcheck.h"
#include "platform/transfer.h"
#include "pricelists/downloadcheck.h"
#include "pricelists/downloadnaming.h"
#include "pricelists/freecatalogue.h"
#include "service/linkparts.h"
#include "update/programupdate.h"

#include <cstdint>

namespace {

void checkLink(const QString& link, const QStringList& catalogue) {
    const QString name = DownloadFileName(link, catalogue);
    for (const QChar c : name)
        FUZZ_CHECK(c != u'/' && c != u'\\' && c.unicode() >= 0x20);

    const QString masked = MaskLinkPassword(link);
    const LinkParts parts = SplitLink(link);
    const LinkParts shown = SplitLink(masked);
    FUZZ_CHECK(shown.protocol == parts.protocol && shown.host == parts.host && shown.port == parts.port &&
               shown.user == parts.user && shown.pathAndQuery == parts.pathAndQuery);
    FUZZ_CHECK(shown.password == (parts.password.isEmpty() ? QString() : QStringLiteral("***")));
    FUZZ_CHECK(MaskLinkPassword(masked) == masked);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const QString problem = PriceListDownloadProblem(bytes.size(), bytes.left(kDownloadHeadBytes));
    if (bytes.startsWith("PK\x03\x04"))
        FUZZ_CHECK(problem.isEmpty());
    if (bytes.isEmpty())
        FUZZ_CHECK(!problem.isEmpty());

    const QStringList items = CatalogueItems(bytes);
    for (const QString& item : items) {
        CatalogueShownText(item);
        TestLinkQuestion(item);
        checkLink(CatalogueTag(item, QStringLiteral("url")), items);
    }
    // The input as one typed link too.
    checkLink(QString::fromUtf8(bytes), {});

    const QByteArray first = bytes.left(101);
    const std::optional<bool> other = AnnouncesOtherVersion(first, QStringLiteral("1.0.0"));
    if (!other)
        FUZZ_CHECK(AnnouncedVersion(first).isEmpty());
    return 0;
}
