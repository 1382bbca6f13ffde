#include "catalogservice.h"

#include "answer.h"
#include "query.h"

#include <algorithm>
#include <set>

#include "common/escape.h"

namespace {

constexpr int kDemoMakers[] = {5, 16, 74}; // AUDI, BMW, MERCEDES-BENZ
const char* const kDemoBrands[] = {"ATE", "FEBI BILSTEIN"};
constexpr size_t kMaxTypesForArticle = 2000;

const char* const kFunctions[] = {"GetListYears",
                                  "getManufacturers",
                                  "getModels",
                                  "getTypes",
                                  "getInfoCar",
                                  "getSearchKBA",
                                  "getSearchMIME",
                                  "GetTreeCategories",
                                  "GetListTradeGroupsForCar",
                                  "GetListArticlesFromTreeCategory",
                                  "GetListArticlesFromTradeGroup",
                                  "getSearchArticleByNameForCar",
                                  "getSearchByCrossref",
                                  "GetSearchByCrossrefAndBrand",
                                  "getImageForArticle",
                                  "GetCrossReferencesForArticle",
                                  "GetTypesForArticle",
                                  "GetSuppliers",
                                  "fun_exportdata"};

bool isFunction(const std::string& name) {
    return std::find_if(std::begin(kFunctions), std::end(kFunctions), [&](const char* f) { return name == f; }) !=
           std::end(kFunctions);
}

bool containsIgnoringCase(const std::string& haystack, const std::string& needle) {
    if (needle.empty())
        return true;
    return ToLowerAscii(haystack).find(ToLowerAscii(needle)) != std::string::npos;
}

void typeFields(CatalogAnswer& a, const VehicleType& t, bool withFullName) {
    a.field("typid", t.typid);
    a.field("shortnametypecar", t.shortName);
    if (withFullName)
        a.field("fullnametypecar", t.fullName);
    a.field("pconstart", t.start);
    a.field("pconend", t.end);
    a.field("bodytype", t.body);
    a.field("kw", t.kw);
    a.field("hp", t.hp);
    a.field("ccm", t.ccm);
    a.field("typefuel", t.fuel);
    a.field("listcodeengine", t.engines);
}

void articleFields(CatalogAnswer& a, const Product& p, int laid, bool withLaid, bool withTerms,
                   const char* referenceKey = "articlenr") {
    a.field("artid", p.artid);
    if (withLaid)
        a.field("laid", laid);
    a.field("braid", p.braid);
    a.field("brand", p.brand);
    a.field(referenceKey, p.reference);
    a.field("name", p.name);
    a.field("additionalforname", p.additional);
    a.field("statusproduct", p.status);
    a.field("criteries", p.criteries);
    if (withTerms)
        a.field("termsofuse", p.terms);
}

bool inYear(const VehicleType& t, int year) {
    return year == 0 || (t.startYear <= year && year <= t.endYear);
}

// ---- export files ----

struct ExportOptions {
    bool criteria = false, crosses = false, applicability = false;
};

std::vector<std::string> exportRow(const CatalogData& data, const Product& p, const ExportOptions& o,
                                   const std::function<bool(const VehicleType&)>& typeVisible) {
    std::vector<std::string> row = {std::to_string(p.braid),
                                    p.brand,
                                    p.reference,
                                    p.name + (p.additional.empty() ? "" : " " + p.additional),
                                    p.status,
                                    p.price};
    if (o.criteria)
        row.push_back(p.criteries);
    if (o.crosses) {
        std::string crosses;
        for (const CrossRef& c : data.crossRefs(p)) {
            if (!crosses.empty())
                crosses += ", ";
            crosses += c.brand + " " + c.number;
        }
        row.push_back(crosses);
    }
    if (o.applicability) {
        std::string typids;
        for (int typid : data.typesOf(p)) {
            const VehicleType* t = data.type(typid);
            if (!t || !typeVisible(*t))
                continue;
            if (!typids.empty())
                typids += ',';
            typids += std::to_string(typid);
        }
        row.push_back(typids);
    }
    return row;
}

std::vector<std::string> exportTitles(const ExportOptions& o) {
    std::vector<std::string> titles = {"brand id", "brand", "reference", "name product", "status product", "price"};
    if (o.criteria)
        titles.push_back("criteries");
    if (o.crosses)
        titles.push_back("cross references");
    if (o.applicability)
        titles.push_back("aplicability");
    return titles;
}

std::string csvField(const std::string& value, char sep) {
    if (value.find(sep) == std::string::npos && value.find('"') == std::string::npos &&
        value.find('\n') == std::string::npos)
        return value;
    std::string out = "\"";
    for (char c : value)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// The element or key name of an export column.
std::string columnKey(const std::vector<std::string>& titles, size_t i) {
    static const char* const kFixed[] = {"braid", "brand", "reference", "name", "status", "price"};
    if (i < 6)
        return kFixed[i];
    return titles[i] == "criteries" ? "criteries" : titles[i] == "cross references" ? "crosses" : "aplicability";
}

} // namespace

CatalogService::CatalogService(const CatalogData& data, const Accounts& accounts, bool demo, int port)
    : m_data(data), m_accounts(accounts), m_demo(demo), m_port(port) {}

bool CatalogService::makerVisible(int mfaid) const {
    return !m_demo || std::find(std::begin(kDemoMakers), std::end(kDemoMakers), mfaid) != std::end(kDemoMakers);
}

bool CatalogService::brandVisible(int braid) const {
    if (!m_demo)
        return true;
    auto it = m_data.brands.find(braid);
    if (it == m_data.brands.end())
        return false;
    return std::find(std::begin(kDemoBrands), std::end(kDemoBrands), it->second) != std::end(kDemoBrands);
}

bool CatalogService::typeVisible(const VehicleType& t) const {
    return makerVisible(t.mfaid);
}

void CatalogService::handle(const httplib::Request& req, httplib::Response& res) const {
    const Query q(req.target);
    const std::string& fn = q.function();

    if (fn == "help" || fn.empty()) {
        std::string page = std::string("<html><head><title>Velmora ") + (m_demo ? "demo catalog" : "catalog") +
                           " service</title></head><body><h1>" + (m_demo ? "Demo catalog server" : "Catalog service") +
                           "</h1><p>Every function answers GET requests with format=json&amp;lang=..&amp;email=..&amp;"
                           "seccode=..</p><ul>";
        for (const char* f : kFunctions)
            page += std::string("<li>") + f + "</li>";
        page += "</ul></body></html>\n";
        res.set_content(page, "text/html; charset=utf-8");
        return;
    }
    if (fn.rfind("images/", 0) == 0) {
        // images/<artid>-<n>.jpg
        const std::string rest = fn.substr(7);
        const size_t dash = rest.find('-');
        const Product* p =
            dash == std::string::npos ? nullptr : m_data.product(std::atoi(rest.substr(0, dash).c_str()));
        const int n = dash == std::string::npos ? 0 : std::atoi(rest.substr(dash + 1).c_str());
        if (!p || n < 1 || n > static_cast<int>(p->pictures.size()) ||
            p->pictures[n - 1] >= static_cast<int>(m_data.pictures.size())) {
            res.status = 404;
            res.set_content("Not Found\n", "text/plain");
            return;
        }
        res.set_content(m_data.pictures[p->pictures[n - 1]], "image/jpeg");
        return;
    }
    if (!isFunction(fn)) {
        res.status = 404;
        res.set_content("Unknown function\n", "text/plain");
        return;
    }

    const AccountState account = m_demo ? m_accounts.demo(q.value("email"), q.value("seccode"))
                                        : m_accounts.catalog(q.value("email"), q.value("seccode"));
    CatalogAnswer a(fn, account.status);
    if (!account.hasData) {
        res.set_content(a.finish(), "application/json; charset=utf-8");
        return;
    }

    if (fn == "GetListYears") {
        std::set<int, std::greater<int>> years;
        for (const VehicleType& t : m_data.types)
            if (typeVisible(t))
                for (int y = std::max(t.startYear, 1990); y <= std::min(t.endYear, 2025); ++y)
                    years.insert(y);
        for (int y : years) {
            a.beginRecord();
            a.field("year", y);
        }
    } else if (fn == "getManufacturers" || fn == "getModels" || fn == "getTypes") {
        const int year = q.integer("year");
        const int only = q.integer("only");
        const int mfaid = q.integer("mfaid");
        const int modid = q.integer("modid");
        auto typeMatches = [&](const VehicleType& t) {
            return typeVisible(t) && inYear(t, year) && (only == 0 || t.vclass == only);
        };
        if (fn == "getManufacturers") {
            for (const Maker& m : m_data.makers) {
                const bool any = std::any_of(m_data.types.begin(), m_data.types.end(), [&](const VehicleType& t) {
                    return t.mfaid == m.mfaid && typeMatches(t);
                });
                if (!any)
                    continue;
                a.beginRecord();
                a.field("mfaid", m.mfaid);
                a.field("brand", m.brand);
            }
        } else if (fn == "getModels") {
            for (const Model& m : m_data.models) {
                if (mfaid != 0 && m.mfaid != mfaid)
                    continue;
                const bool any = std::any_of(m_data.types.begin(), m_data.types.end(), [&](const VehicleType& t) {
                    return t.modid == m.modid && typeMatches(t);
                });
                if (!any)
                    continue;
                a.beginRecord();
                a.field("modid", m.modid);
                a.field("modelcar", m.name);
                a.field("pconstart", m.start);
                a.field("pconend", m.end);
            }
        } else {
            for (const VehicleType& t : m_data.types) {
                if ((modid != 0 && t.modid != modid) || !typeMatches(t))
                    continue;
                a.beginRecord();
                typeFields(a, t, true);
            }
        }
    } else if (fn == "getInfoCar") {
        const VehicleType* t = m_data.type(q.integer("typid"));
        if (t && typeVisible(*t)) {
            const Model* m = m_data.model(t->modid);
            const Maker* mk = m_data.maker(t->mfaid);
            a.beginRecord();
            a.field("typid", t->typid);
            a.field("modid", t->modid);
            a.field("mfaid", t->mfaid);
            // The short name: make and model have their own fields, and the caption joins all three.
            a.field("typecar", t->shortName);
            a.field("modelcar", m ? m->name : "");
            a.field("brand", mk ? mk->brand : "");
            a.field("pconstart", t->start);
            a.field("pconend", t->end);
            a.field("bodytype", t->body);
            a.field("kw", t->kw);
            a.field("hp", t->hp);
            a.field("ccm", t->ccm);
            a.field("typefuel", t->fuel);
            a.field("listcodeengine", t->engines);
        }
    } else if (fn == "getSearchKBA" || fn == "getSearchMIME") {
        const bool kba = fn == "getSearchKBA";
        const std::string number = NormalizeNumber(q.value(kba ? "kba" : "mime"));
        if (!number.empty())
            for (const VehicleType& t : m_data.types)
                if (typeVisible(t) && (kba ? t.kba : t.mime) == number) {
                    a.beginRecord();
                    a.field("typid", t.typid);
                }
    } else if (fn == "GetTreeCategories") {
        const int typid = q.integer("typid");
        const int strtype = q.integer("strtype");
        const int needFlag = strtype == 3 ? kEngineTree : strtype == 5 ? kAxleTree : 0;
        const VehicleType* t = m_data.type(typid);
        if (t && typeVisible(*t) && (strtype == 1 || strtype == 2 || needFlag != 0)) {
            std::set<int> present;
            for (const Fitment& f : m_data.fitments(typid)) {
                const Product& p = m_data.products[f.product];
                if (p.copy == 0 && productVisible(p))
                    present.insert(p.path.begin(), p.path.end());
            }
            std::vector<const Category*> path;
            std::function<void(int)> visit = [&](int id) {
                auto it = m_data.categories.find(id);
                if (it == m_data.categories.end() || !present.count(id))
                    return;
                const Category& c = it->second;
                if (needFlag && !(c.flags & needFlag))
                    return;
                path.push_back(&c);
                a.beginRecord();
                a.field("level", c.level);
                for (int l = 1; l <= 5; ++l) {
                    const Category* node = l <= static_cast<int>(path.size()) ? path[l - 1] : nullptr;
                    a.field("id" + std::to_string(l), node ? std::to_string(node->id) : "");
                    a.field("text" + std::to_string(l), node ? node->name : "");
                }
                for (int child : c.children)
                    visit(child);
                path.pop_back();
            };
            for (int root : m_data.rootCategories)
                visit(root);
        }
    } else if (fn == "GetListTradeGroupsForCar") {
        const int typid = q.integer("typid");
        std::set<int> present;
        for (const Fitment& f : m_data.fitments(typid)) {
            const Product& p = m_data.products[f.product];
            if (p.copy == 0 && productVisible(p))
                present.insert(p.gaid);
        }
        const VehicleType* t = m_data.type(typid);
        if (t && typeVisible(*t))
            for (const TradeGroup& g : m_data.tradeGroups)
                if (present.count(g.gaid)) {
                    a.beginRecord();
                    a.field("gaid", g.gaid);
                    a.field("ganame", g.name);
                    a.field("gaassembly", g.assembly);
                }
    } else if (fn == "GetListArticlesFromTreeCategory" || fn == "GetListArticlesFromTradeGroup") {
        const bool byCategory = fn == "GetListArticlesFromTreeCategory";
        const int id = q.integer(byCategory ? "strid" : "gaid");
        auto matches = [&](const Product& p) {
            if (!productVisible(p))
                return false;
            return byCategory ? std::find(p.path.begin(), p.path.end(), id) != p.path.end() : p.gaid == id;
        };
        if (id != 0) {
            if (q.has("typid") && q.integer("typid") != 0) {
                const VehicleType* t = m_data.type(q.integer("typid"));
                if (t && typeVisible(*t))
                    for (const Fitment& f : m_data.fitments(t->typid)) {
                        const Product& p = m_data.products[f.product];
                        if (matches(p)) {
                            a.beginRecord();
                            articleFields(a, p, f.laid, true, true);
                        }
                    }
            } else {
                for (const Product& p : m_data.products)
                    if (matches(p)) {
                        a.beginRecord();
                        articleFields(a, p, 0, true, true);
                    }
            }
        }
    } else if (fn == "getSearchArticleByNameForCar") {
        const std::string search = q.value("search");
        const VehicleType* t = m_data.type(q.integer("typid"));
        if (t && typeVisible(*t) && !search.empty())
            for (const Fitment& f : m_data.fitments(t->typid)) {
                const Product& p = m_data.products[f.product];
                if (productVisible(p) && containsIgnoringCase(p.name + " " + p.additional, search)) {
                    a.beginRecord();
                    articleFields(a, p, 0, false, true);
                }
            }
    } else if (fn == "getSearchByCrossref") {
        const std::string number = NormalizeNumber(q.value("search"));
        std::set<std::pair<int, std::string>> seen;
        if (!number.empty())
            for (int index : m_data.productsByNumber(number)) {
                const Product& p = m_data.products[index];
                if (!productVisible(p))
                    continue;
                // The reference as the brand writes it (blanks, dots, slashes), as the vendor sends it.
                const std::string& searchnr = p.reference;
                if (!seen.insert({p.braid, searchnr}).second)
                    continue;
                a.beginRecord();
                a.field("braid", p.braid);
                a.field("searchnr", searchnr);
                a.field("brand", p.brand);
                a.field("name", p.name);
            }
    } else if (fn == "GetSearchByCrossrefAndBrand") {
        const std::string number = NormalizeNumber(q.value("search"));
        const int braid = q.integer("braid");
        if (!number.empty())
            for (int index : m_data.productsByNumber(number)) {
                const Product& p = m_data.products[index];
                if (p.braid != braid || !productVisible(p))
                    continue;
                a.beginRecord();
                articleFields(a, p, 0, false, false, "searchnr");
            }
    } else if (fn == "getImageForArticle" || fn == "GetCrossReferencesForArticle" || fn == "GetTypesForArticle") {
        const Product* p = m_data.product(q.integer("artid"));
        if (p && productVisible(*p)) {
            if (fn == "getImageForArticle") {
                for (size_t n = 1; n <= p->pictures.size(); ++n) {
                    a.beginRecord();
                    a.field("pathimage", "http://127.0.0.1:" + std::to_string(m_port) + "/images/" +
                                             std::to_string(p->artid) + "-" + std::to_string(n) + ".jpg");
                }
            } else if (fn == "GetCrossReferencesForArticle") {
                for (const CrossRef& c : m_data.crossRefs(*p)) {
                    a.beginRecord();
                    a.field("brand", c.brand);
                    a.field("displaynr", c.number);
                }
            } else {
                size_t count = 0;
                for (int typid : m_data.typesOf(*p)) {
                    const VehicleType* t = m_data.type(typid);
                    if (!t || !typeVisible(*t) || count++ >= kMaxTypesForArticle)
                        continue;
                    a.beginRecord();
                    typeFields(a, *t, true);
                }
            }
        }
    } else if (fn == "GetSuppliers") {
        std::vector<std::pair<std::string, int>> suppliers;
        for (const auto& [braid, name] : m_data.brands)
            if (brandVisible(braid))
                suppliers.emplace_back(name, braid);
        std::sort(suppliers.begin(), suppliers.end());
        for (const auto& [name, braid] : suppliers) {
            a.beginRecord();
            a.field("braid", braid);
            a.field("brand", name);
        }
    } else if (fn == "fun_exportdata") {
        const std::string format = q.value("format");
        const std::string brand = q.value("brand");
        ExportOptions o;
        o.criteria = q.value("needcritery") == "1";
        o.crosses = q.value("needcrosses") == "1";
        o.applicability = q.value("needaplicability") == "1";
        std::vector<const Product*> list;
        for (const Product& p : m_data.products)
            if (productVisible(p) && p.brand == brand)
                list.push_back(&p);
        auto visible = [this](const VehicleType& t) { return typeVisible(t); };
        const std::vector<std::string> titles = exportTitles(o);
        if (format.rfind("csv", 0) == 0) {
            char sep = ';';
            if (format.size() >= 6 && format[3] == '[' && format[5] == ']')
                sep = format[4];
            // A byte-order mark opens the file; the client drops the first character of the answer.
            std::string out = "\xEF\xBB\xBF";
            for (size_t i = 0; i < titles.size(); ++i)
                out += (i ? std::string(1, sep) : "") + csvField(titles[i], sep);
            out += "\r\n";
            for (const Product* p : list) {
                const auto row = exportRow(m_data, *p, o, visible);
                for (size_t i = 0; i < row.size(); ++i)
                    out += (i ? std::string(1, sep) : "") + csvField(row[i], sep);
                out += "\r\n";
            }
            res.set_content(out, "text/csv; charset=utf-8");
        } else if (format == "xml") {
            // Lines 1, 3 and 4 are the service's envelope; the client removes them.
            std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<products brand=\"" + xmlEscape(brand) +
                              "\">\r\n<statustext>" + xmlEscape(account.status) + "</statustext>\r\n<count>" +
                              std::to_string(list.size()) + "</count>\r\n";
            for (const Product* p : list) {
                const auto row = exportRow(m_data, *p, o, visible);
                out += "  <product>";
                for (size_t i = 0; i < row.size(); ++i) {
                    const std::string tag = columnKey(titles, i);
                    out += "<" + tag + ">" + xmlEscape(row[i]) + "</" + tag + ">";
                }
                out += "</product>\r\n";
            }
            out += "</products>\r\n";
            res.set_content(out, "application/xml; charset=utf-8");
        } else {
            // Lines 2 and 3 are the service's envelope; the client removes them.
            std::string out = "{\r\n\t\"statusText\": \"";
            AppendJsonValue(out, account.status);
            out += "\",\r\n\t\"count\": \"" + std::to_string(list.size()) + "\",\r\n\t\"products\": [\r\n";
            for (size_t n = 0; n < list.size(); ++n) {
                const auto row = exportRow(m_data, *list[n], o, visible);
                out += "\t\t{";
                for (size_t i = 0; i < row.size(); ++i) {
                    out += (i ? ", \"" : "\"") + columnKey(titles, i) + "\": \"";
                    AppendJsonValue(out, row[i]);
                    out += "\"";
                }
                out += n + 1 < list.size() ? "},\r\n" : "}\r\n";
            }
            out += "\t]\r\n}\r\n";
            res.set_content(out, "application/json; charset=utf-8");
        }
        return;
    }
    res.set_content(a.finish(), "application/json; charset=utf-8");
}
