#include "priceservice.h"

#include "query.h"

#include <cstdint>
#include <cstdio>

namespace {

uint64_t fnv(const std::string& text) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

std::string money(long long cents) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld.%02lld", cents / 100, cents % 100);
    return buf;
}

const char* const kSellers[] = {"autoteile_profi", "brakeparts-direct", "motorstore24",
                                "partsplanet",     "teilewelt_de",      "car-spares-uk",
                                "garage-supply",   "euro-autoparts",    "fast-parts-shop"};

void field(std::string& out, const char* indent, const char* key, const std::string& value, bool last = false) {
    out += indent;
    out += '"';
    out += key;
    out += "\" : \"";
    for (char c : value)
        if (c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20)
            out += c;
    out += last ? "\"\n" : "\",\n";
}

} // namespace

PriceService::PriceService(const CatalogData& data, const Accounts& accounts, int sitePort)
    : m_data(data), m_accounts(accounts), m_sitePort(sitePort) {}

void PriceService::handle(const httplib::Request& req, httplib::Response& res) const {
    const Query q(req.target);
    const std::string& fn = q.function();
    if (fn == "sites-list") {
        std::string out;
        for (const Site& s : m_data.sites)
            out += std::to_string(s.id) + ";" + s.name + ";" + std::to_string(s.kind) + "\n";
        res.set_content(out, "text/plain; charset=utf-8");
        return;
    }
    if (fn == "help" || fn.empty()) {
        res.set_content(
            "<html><head><title>Velmora price services</title></head><body><h1>Price services</h1>"
            "<ul><li>sites-list</li><li>get?service=COMPAREPRICE&amp;email=..&amp;seccode=..&amp;site=..&amp;"
            "brand=..&amp;part=..</li><li>get?service=EBAYANALIZ&amp;email=..&amp;seccode=..&amp;site=..&amp;"
            "brand=..&amp;part=..</li></ul></body></html>\n",
            "text/html; charset=utf-8");
        return;
    }
    if (fn != "get") {
        res.status = 404;
        res.set_content("Unknown function\n", "text/plain");
        return;
    }
    const std::string service = q.value("service");
    if (service != "COMPAREPRICE" && service != "EBAYANALIZ") {
        res.set_content(answer(service, "unknown service", "", "", "", false), "application/json; charset=utf-8");
        return;
    }
    const AccountState account = m_accounts.price(service, q.value("email"), q.value("seccode"));
    res.set_content(
        answer(service, account.status, q.value("site"), q.value("brand"), q.value("part"), account.hasData),
        "application/json; charset=utf-8");
}

// The readers rely on: fields at two spaces (main offers) or four (sub-offers), quoted values
// after " : ", a comparison record's closing brace at the start of its line, the last one as
// "}]", and "currency" last in an analysis offer.
std::string PriceService::answer(const std::string& service, const std::string& status, const std::string& siteId,
                                 const std::string& brand, const std::string& part, bool withOffers) const {
    const Site* site = nullptr;
    for (const Site& s : m_data.sites)
        if (std::to_string(s.id) == siteId)
            site = &s;
    const bool analysis = service == "EBAYANALIZ";
    if (!site || (analysis ? site->kind != 2 : (site->kind != 1 && site->kind != 2)) || NormalizeNumber(part).empty())
        withOffers = false;

    const uint64_t h = fnv(service + "|" + siteId + "|" + NormalizeNumber(brand) + "|" + NormalizeNumber(part));
    long long baseCents = 1000 + static_cast<long long>(h % 20000);
    for (int index : m_data.productsByNumber(NormalizeNumber(part))) {
        const Product& p = m_data.products[index];
        if (NormalizeNumber(p.reference) == NormalizeNumber(part) &&
            NormalizeNumber(p.brand) == NormalizeNumber(brand)) {
            baseCents = static_cast<long long>(std::stod(p.price) * 100 + 0.5);
            break;
        }
    }
    int offers = 0;
    if (withOffers)
        offers =
            analysis ? 1 + static_cast<int>((h >> 8) % 3) : ((h % 10 == 0) ? 0 : 1 + static_cast<int>((h >> 8) % 2));

    std::string out = "[{\"statusText\" : \"" + status + "\", \"service\" : \"" + service + "\", \"count\" : \"" +
                      std::to_string(offers) + "\"}";
    if (offers == 0)
        return out + "\n]\n";
    out += ",\n";
    const std::string host = site->name;
    const std::string offerBase =
        "http://127.0.0.1:" + std::to_string(m_sitePort) + "/offers/" + siteId + "/" + NormalizeNumber(part) + "/";
    for (int n = 0; n < offers; ++n) {
        const long long cents = baseCents * (85 + static_cast<long long>((h >> (12 + 4 * n)) % 40)) / 100;
        out += "{\n";
        field(out, "  ", "host", host);
        field(out, "  ", "price", money(cents));
        if (analysis) {
            field(out, "  ", "URL", offerBase + std::to_string(n + 1));
            field(out, "  ", "currency", site->currency);
            const int subs = n == 0 ? static_cast<int>(h % 9) : static_cast<int>((h >> (20 + 3 * n)) % 5);
            out += "  \"subproducts\" : [\n";
            for (int s = 0; s < subs; ++s) {
                out += "    {\n";
                field(out, "    ", "host", std::string(kSellers[(h >> s) % 9]) + " (" + host + ")");
                field(out, "    ", "price", money(cents * (90 + (s * 7) % 25) / 100));
                field(out, "    ", "URL", offerBase + std::to_string(n + 1) + "-" + std::to_string(s + 1));
                field(out, "    ", "currency", site->currency, true);
                out += s + 1 < subs ? "    },\n" : "    }\n";
            }
            out += "  ]\n";
        } else {
            field(out, "  ", "currency", site->currency, true);
        }
        out += n + 1 < offers ? "},\n" : "}]\n";
    }
    return out;
}
