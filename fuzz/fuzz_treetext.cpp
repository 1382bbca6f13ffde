// Category, trade group and product trees from decoded answers: captions never hold a tab or a
// line break, depths follow the records, every product keeps its block, and the lines load.
#include "catalog/treetext.h"
#include "fuzzcheck.h"
#include "service/decoder.h"
#include "service/errors.h"
#include "service/textfunctions.h"

#include <algorithm>
#include <cstdint>

namespace {

bool plainCaption(const QString& caption) {
    return !caption.contains(u'\t') && !caption.contains(u'\r') && !caption.contains(u'\n');
}

void checkCaptions(const QList<TreeLine>& lines) {
    for (const TreeLine& line : lines)
        FUZZ_CHECK(plainCaption(line.caption));
}

template <class Rec> Decoded<Rec> decoded(const char* function, const QString& answer) {
    try {
        return DecodeAnswer<Rec>(QString::fromLatin1(function), answer);
    } catch (const ActionError&) {
        return {};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    FUZZ_CHECK(plainCaption(captionText(text)));
    FUZZ_CHECK(captionText(text).size() <= text.size());

    const QList<TCategoryRec> categories = decoded<TCategoryRec>("GetTreeCategories", text);
    const QList<TreeLine> categoryLines = categoryTreeLines(categories);
    checkCaptions(categoryLines);
    FUZZ_CHECK(categoryLines.size() == std::count_if(categories.begin(), categories.end(), [](const TCategoryRec& r) {
                   return r.level >= 1 && r.level <= 5;
               }));
    for (const TreeLine& line : categoryLines)
        FUZZ_CHECK(line.depth >= 0 && line.depth <= 4);
    // Lines that load: after the root, no line more than one level below the one before it.
    if (treeLinesError(categoryLines).isEmpty())
        for (qsizetype i = 1; i < categoryLines.size(); ++i)
            FUZZ_CHECK(categoryLines[i].depth <= (i == 1 ? 0 : categoryLines[i - 1].depth) + 1);

    const QList<TTradeGroupRec> groups = decoded<TTradeGroupRec>("GetListTradeGroupsForCar", text);
    const QList<TreeLine> groupLines = tradeGroupLines(groups);
    checkCaptions(groupLines);
    FUZZ_CHECK(treeLinesError(groupLines).isEmpty());
    FUZZ_CHECK(std::count_if(groupLines.begin(), groupLines.end(), [](const TreeLine& l) { return l.depth == 1; }) ==
               groups.size());

    const ProductRows products = productsFromAnswer(decoded<TArticleRec>("GetListArticlesFromTreeCategory", text));
    const QList<TreeLine> productLines = productTreeLines(products);
    checkCaptions(productLines);
    FUZZ_CHECK(treeLinesError(productLines).isEmpty());
    qsizetype expectedLines = 0;
    QList<int> ids, shownIds;
    for (const ProductRow& p : products) {
        expectedLines += 3 + !p.criteries.isBlank() + !p.termsofuse.isBlank();
        ids << p.artid;
    }
    FUZZ_CHECK(productLines.size() == expectedLines);
    for (const TreeLine& line : productLines)
        if (line.depth == 0)
            shownIds << line.data;
    std::sort(ids.begin(), ids.end());
    std::sort(shownIds.begin(), shownIds.end());
    FUZZ_CHECK(ids == shownIds);
    return 0;
}
