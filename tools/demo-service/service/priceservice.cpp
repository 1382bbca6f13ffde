#include "priceservice.h"

#include "query.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <vector>

namespace {

uint64_t fnv(const std::string& text) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

// splitmix64: a well-spread number from a number, so each offer and step draws its own.
uint64_t mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

uint64_t draw(uint64_t offer, uint64_t step) {
    return mix(offer ^ mix(step));
}

// The price after `step` moves of at most `drift` percent each.
long long drifted(long long cents, uint64_t offer, int step, int drift) {
    const long long span = 2LL * drift * 100 + 1;
    for (int i = 1; i <= step; ++i) {
        const long long basisPoints =
            static_cast<long long>(draw(offer, static_cast<uint64_t>(i)) % span) - drift * 100;
        cents = std::max(1LL, (cents * (10000 + basisPoints) + 5000) / 10000);
    }
    return cents;
}

std::string money(long long cents) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld.%02lld", cents / 100, cents % 100);
    return buf;
}

const char* const kSellers[] = {"autoteile_profi", "brakeparts-direct", "motorstore24",
                                "partsplanet",     "teilewelt_de",      "car-spares-uk",
                                "garage-supply",   "euro-autoparts",    "fast-parts-shop"};

// Sellers who turn up as prices drift, named as real sellers name themselves (letters beyond
// ASCII, long names, punctuation), some selling across the border in their own currency.
struct Newcomer {
    const char* name;
    // Empty: the site's currency.
    const char* currency;
    // Their price, in hundredths of a percent of the site's.
    long long rate;
};
const Newcomer kNewcomers[] = {
    {"Autoteile Müller & Söhne", "", 10000},
    {"Ersatzteile-Großhandel Köln-Ehrenfeld e.K. – Filiale Süd, Lager 3 (Abholung möglich)", "", 10000},
    {"Łódź Części Samochodowe Sp. z o.o.", "PLN", 43000},
    {"Ørsted Bildele ApS", "DKK", 74600},
    {"Brit Motor Spares Ltd", "GBP", 8500},
};

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

PriceService::PriceService(const CatalogData& data, const Accounts& accounts, int sitePort, int drift)
    : m_data(data), m_accounts(accounts), m_sitePort(sitePort), m_drift(drift) {}

int PriceService::nextStep(const std::string& question) {
    if (m_drift == 0)
        return 0;
    std::lock_guard lock(m_mutex);
    return m_asked[question]++;
}

void PriceService::handle(const httplib::Request& req, httplib::Response& res) {
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
        res.set_content(answer(service, "unknown service", "", "", "", false, 0), "application/json; charset=utf-8");
        return;
    }
    const AccountState account = m_accounts.price(service, q.value("email"), q.value("seccode"));
    const int step = account.hasData
                         ? nextStep(service + "|" + q.value("site") + "|" + NormalizeNumber(q.value("brand")) + "|" +
                                    NormalizeNumber(q.value("part")))
                         : 0;
    res.set_content(
        answer(service, account.status, q.value("site"), q.value("brand"), q.value("part"), account.hasData, step),
        "application/json; charset=utf-8");
}

// The readers rely on: fields at two spaces (main offers) or four (sub-offers), quoted values
// after " : ", a comparison record's closing brace at the start of its line, the last one as
// "}]", and "currency" last in an analysis offer.
std::string PriceService::answer(const std::string& service, const std::string& status, const std::string& siteId,
                                 const std::string& brand, const std::string& part, bool withOffers, int step) const {
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
    // Which offers stand in this step's answer: with a drift, one in six comparison offers is
    // gone and a third one may come up now and then.
    std::vector<int> shown;
    for (int n = 0; n < (analysis ? offers : 3); ++n) {
        const bool usual = n < offers;
        const bool flipped = !analysis && withOffers && step > 0 && draw(h ^ (0xC0FFEEull + n), step) % 6 == 0;
        if (usual != flipped)
            shown.push_back(n);
    }

    std::string out = "[{\"statusText\" : \"" + status + "\", \"service\" : \"" + service + "\", \"count\" : \"" +
                      std::to_string(shown.size()) + "\"}";
    if (shown.empty())
        return out + "\n]\n";
    out += ",\n";
    const std::string host = site->name;
    const std::string offerBase =
        "http://127.0.0.1:" + std::to_string(m_sitePort) + "/offers/" + siteId + "/" + NormalizeNumber(part) + "/";
    for (size_t at = 0; at < shown.size(); ++at) {
        const int n = shown[at];
        const long long usualCents = baseCents * (85 + static_cast<long long>((h >> (12 + 4 * n)) % 40)) / 100;
        const long long cents = drifted(usualCents, h ^ (0x5EEDull + n), step, m_drift);
        out += "{\n";
        field(out, "  ", "host", host);
        field(out, "  ", "price", money(cents));
        if (analysis) {
            field(out, "  ", "URL", offerBase + std::to_string(n + 1));
            field(out, "  ", "currency", site->currency);
            // Sellers of this step: one in five of the usual ones is away, now and then a new one
            // turns up (one of the newcomers).
            std::vector<int> sellers;
            const int subs = n == 0 ? static_cast<int>(h % 9) : static_cast<int>((h >> (20 + 3 * n)) % 5);
            for (int s = 0; s < subs; ++s)
                if (step == 0 || draw(h ^ (0xABull + 16 * n + s), step) % 5 != 0)
                    sellers.push_back(s);
            if (step > 0 && draw(h ^ (0xEEull + n), step) % 4 == 0)
                sellers.push_back(subs + static_cast<int>(draw(h, step) % 3));
            out += "  \"subproducts\" : [\n";
            for (size_t i = 0; i < sellers.size(); ++i) {
                const int s = sellers[i];
                const Newcomer* newcomer = s >= subs ? &kNewcomers[(h >> s) % std::size(kNewcomers)] : nullptr;
                long long subCents =
                    drifted(usualCents * (90 + (s * 7) % 25) / 100, h ^ (0x5B0ull + 16 * n + s), step, m_drift);
                if (newcomer)
                    subCents = std::max(1LL, (subCents * newcomer->rate + 5000) / 10000);
                out += "    {\n";
                field(out, "    ", "host",
                      std::string(newcomer ? newcomer->name : kSellers[(h >> s) % 9]) + " (" + host + ")");
                field(out, "    ", "price", money(subCents));
                field(out, "    ", "URL", offerBase + std::to_string(n + 1) + "-" + std::to_string(s + 1));
                field(out, "    ", "currency",
                      newcomer && *newcomer->currency ? std::string(newcomer->currency) : site->currency, true);
                out += i + 1 < sellers.size() ? "    },\n" : "    }\n";
            }
            out += "  ]\n";
        } else {
            field(out, "  ", "currency", site->currency, true);
        }
        out += at + 1 < shown.size() ? "},\n" : "}]\n";
    }
    return out;
}
