// Builds the sample catalog of the stand-in services into one SQLite file. Deterministic: the same
// program always writes the same data, so tests and documentation can name sample numbers.

#include "pictures.h"
#include "vocabulary.h"
#include "workbook.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint64_t next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }

private:
    uint64_t m_state;
};

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    if (text.empty())
        return parts;
    size_t start = 0;
    while (true) {
        const size_t at = text.find(sep, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            break;
        start = at + 1;
    }
    return parts;
}

std::string digits(Random& rnd, int count) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += static_cast<char>('0' + rnd.below(10));
    return s;
}

std::string letters(Random& rnd, int count) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += static_cast<char>('A' + rnd.below(26));
    return s;
}

std::string money(int cents) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%02d", cents / 100, cents % 100);
    return buf;
}

// ---- the database ----

class Db {
public:
    explicit Db(const std::string& path) {
        std::remove(path.c_str());
        if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK) {
            std::fprintf(stderr, "cannot create %s\n", path.c_str());
            std::exit(1);
        }
        exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;");
    }
    ~Db() {
        exec("COMMIT;");
        sqlite3_close(m_db);
    }
    void exec(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            std::fprintf(stderr, "sql error: %s\n", error ? error : "?");
            std::exit(1);
        }
    }
    // Binds every value as text or blob in order; integers go as text and are read back as such.
    void insert(const char* sql, const std::vector<std::string>& values, int blobColumn = -1) {
        sqlite3_stmt*& stmt = m_statements[sql];
        if (!stmt && sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "sql error: %s\n", sqlite3_errmsg(m_db));
            std::exit(1);
        }
        sqlite3_reset(stmt);
        for (size_t i = 0; i < values.size(); ++i) {
            if (static_cast<int>(i) == blobColumn)
                sqlite3_bind_blob(stmt, static_cast<int>(i + 1), values[i].data(), static_cast<int>(values[i].size()),
                                  SQLITE_TRANSIENT);
            else
                sqlite3_bind_text(stmt, static_cast<int>(i + 1), values[i].c_str(), -1, SQLITE_TRANSIENT);
        }
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            std::fprintf(stderr, "sql error: %s\n", sqlite3_errmsg(m_db));
            std::exit(1);
        }
    }
    void finish() {
        for (auto& [sql, stmt] : m_statements)
            sqlite3_finalize(stmt);
        m_statements.clear();
    }

private:
    sqlite3* m_db = nullptr;
    std::map<std::string, sqlite3_stmt*> m_statements;
};

const char* kSchema = R"(
CREATE TABLE manufacturer(mfaid INTEGER PRIMARY KEY, brand TEXT, oebrand TEXT);
CREATE TABLE model(modid INTEGER PRIMARY KEY, mfaid INT, name TEXT, pconstart TEXT, pconend TEXT, vclass INT);
CREATE TABLE type(typid INTEGER PRIMARY KEY, modid INT, shortname TEXT, fullname TEXT, pconstart TEXT, pconend TEXT,
                  bodytype TEXT, kw INT, hp INT, ccm INT, fuel TEXT, engines TEXT, kba TEXT, mime TEXT);
CREATE TABLE category(id INTEGER PRIMARY KEY, parent INT, level INT, name TEXT, flags INT, pos INT);
CREATE TABLE tradegroup(gaid INTEGER PRIMARY KEY, name TEXT, assembly TEXT, pos INT);
CREATE TABLE brand(braid INTEGER PRIMARY KEY, name TEXT);
CREATE TABLE product(artid INTEGER PRIMARY KEY, braid INT, reference TEXT, gaid INT, category INT, name TEXT,
                     additional TEXT, status TEXT, criteries TEXT, termsofuse TEXT, price TEXT, pictures TEXT);
CREATE TABLE applicability(artid INT, typid INT);
CREATE TABLE crossref(artid INT, brand TEXT, number TEXT);
CREATE TABLE picture(id INTEGER PRIMARY KEY, jpeg BLOB);
CREATE TABLE pricelist(name TEXT PRIMARY KEY, content BLOB, country TEXT, email TEXT, renameto TEXT,
                       addbrand TEXT, addreference TEXT, addprice TEXT);
CREATE TABLE site(id INTEGER PRIMARY KEY, name TEXT, kind INT, currency TEXT);
)";

// ---- vehicles ----

constexpr int kSampleKType = 10010; // AUDI A4 (8E2, B6) 1.6, as documented

struct Type {
    int typid, modid, mfaid, vclass;
    std::string fuel;
};

struct Model {
    int modid, mfaid, vclass;
    std::string oeBrand;
    std::vector<int> types;
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "velmora-demo-datagen: %s\n", message.c_str());
    std::exit(1);
}

// The engine of `family` that carries `code`; a vocabulary slip stops the build.
const EngineSeed& engineOf(const std::string& family, const std::string& code, const char* model) {
    for (const EngineSeed& e : kEngines)
        if (family == e.family)
            for (const std::string& c : split(e.codes, ','))
                if (c == code || c == " " + code)
                    return e;
    fail("no " + family + " engine " + code + " for " + model);
}

std::string tsnFor(int serial) {
    // Generated type keys start at "B", so they never meet the documented samples.
    std::string tsn;
    tsn += static_cast<char>('B' + (serial / 676) % 24);
    tsn += static_cast<char>('A' + (serial / 26) % 26);
    tsn += static_cast<char>('A' + serial % 26);
    return tsn;
}

void writeVehicles(Db& db, Random& rnd, std::vector<Model>& models, std::vector<Type>& types) {
    int modid = 1101;
    int typid = 10001;
    int modelIndex = 0;
    for (const MakerSeed& maker : kMakers) {
        db.insert("INSERT INTO manufacturer VALUES(?,?,?)", {std::to_string(maker.mfaid), maker.brand, maker.oeBrand});
        for (const ModelSeed& seed : maker.models) {
            if (!seed.name)
                break;
            Model model{modid, maker.mfaid, seed.vclass, maker.oeBrand, {}};
            const int endYm = seed.end ? seed.end : 0;
            db.insert("INSERT INTO model VALUES(?,?,?,?,?,?)",
                      {std::to_string(modid), std::to_string(maker.mfaid), seed.name, std::to_string(seed.start),
                       endYm ? std::to_string(endYm) : "", std::to_string(seed.vclass)});

            const int startYear = seed.start / 100, endYear = endYm ? endYm / 100 : 2025;
            int k = 0;
            for (const std::string& entry : split(seed.engines, '|')) {
                const size_t eq = entry.find('=');
                const std::string code = eq == std::string::npos ? entry : entry.substr(eq + 1);
                const EngineSeed& engine = engineOf(maker.oeBrand, code, seed.name);
                const std::string typeName = eq == std::string::npos ? engine.name : entry.substr(0, eq);
                // A type runs while both its model and its engine are built; the model starts
                // with its first type.
                if (engine.from > endYear || (engine.to && engine.to < startYear) ||
                    (k == 0 && engine.from > startYear))
                    fail(std::string("engine ") + code + " was not built for " + seed.name);
                int tStart = seed.start;
                if (engine.from > startYear)
                    tStart = engine.from * 100 + rnd.between(1, 12);
                else if (k > 0 && rnd.chance(40))
                    tStart = std::min(endYear, startYear + rnd.below(3)) * 100 + rnd.between(1, 12);
                tStart = std::max(seed.start, endYm ? std::min(tStart, endYm) : tStart);
                int tEnd = endYm;
                if (engine.to && (!endYm || engine.to < endYear))
                    tEnd = engine.to * 100 + rnd.between(1, 12);
                else if (k > 0 && rnd.chance(20) && tStart / 100 + 1 < endYear)
                    tEnd = rnd.between(tStart / 100 + 1, endYear) * 100 + rnd.between(1, 12);
                if (tEnd && endYm)
                    tEnd = std::min(tEnd, endYm);
                if (tEnd && tEnd < tStart)
                    tEnd = tStart;
                const int hp = (engine.kw * 136 + 50) / 100;
                const std::string fullname = std::string(maker.brand) + " " + seed.name + " " + typeName;
                char kba[16], mime[16];
                std::snprintf(kba, sizeof kba, "%s%s", maker.hsn, tsnFor(typid - 10001).c_str());
                std::snprintf(mime, sizeof mime, "%d", 100000 + 3 * typid);
                std::string kbaText = kba, mimeText = mime;
                // Some models share one number between their first three types, as re-badged
                // variants do in the registers.
                if (modelIndex % 4 == 0 && k < 3 && !model.types.empty())
                    kbaText = std::string(maker.hsn) + tsnFor(model.types.front() - 10001);
                if (modelIndex % 5 == 1 && k < 3 && !model.types.empty())
                    mimeText = std::to_string(100000 + 3 * model.types.front());
                // The documented samples.
                if (std::string(seed.name) == "A4 (8E2, B6)" && k == 0)
                    kbaText = "0588AKA";
                if (std::string(seed.name) == "GOLF IV (1J1)" && k < 3)
                    kbaText = "0603AMN";
                if (std::string(seed.name) == "3 (E46)" && k == 0)
                    mimeText = "481516";
                if (std::string(seed.name) == "C-CLASS (W203)" && k < 3)
                    mimeText = "230742";
                db.insert("INSERT INTO type VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                          {std::to_string(typid), std::to_string(modid), typeName, fullname, std::to_string(tStart),
                           tEnd ? std::to_string(tEnd) : "", seed.body, std::to_string(engine.kw), std::to_string(hp),
                           std::to_string(engine.ccm), engine.fuel, engine.codes, kbaText, mimeText});
                types.push_back({typid, modid, maker.mfaid, seed.vclass, engine.fuel});
                model.types.push_back(typid);
                ++typid;
                ++k;
            }
            models.push_back(model);
            ++modid;
            ++modelIndex;
        }
    }
}

// ---- categories and products ----

struct Leaf {
    int category;
    int gaid;
    int article; // index into kArticles
    std::string position;
};

void writeCategories(Db& db, std::vector<Leaf>& leaves) {
    struct Node {
        int id, parent, level, flags;
        std::string name;
    };
    std::vector<Node> nodes;
    std::map<std::string, size_t> byPath;
    int gaid = 200;
    // A group belongs to every tree one of its articles belongs to.
    auto node = [&](const std::string& path, int parent, int level, const std::string& name, int flags) {
        auto it = byPath.find(path);
        if (it != byPath.end()) {
            nodes[it->second].flags |= flags;
            return nodes[it->second].id;
        }
        const int id = 100001 + static_cast<int>(nodes.size());
        byPath[path] = nodes.size();
        nodes.push_back({id, parent, level, flags, name});
        return id;
    };
    int index = 0;
    for (const ArticleSeed& a : kArticles) {
        const int treeFlags = a.flags & (EngineTree | AxleTree | ForTrucks);
        const std::string p1 = a.group, p2 = p1 + "/" + a.subgroup, p3 = p2 + "/" + a.component,
                          p4 = p3 + "/" + a.article;
        const int c1 = node(p1, 0, 1, a.group, treeFlags);
        const int c2 = node(p2, c1, 2, a.subgroup, treeFlags);
        const int c3 = node(p3, c2, 3, a.component, treeFlags);
        const int c4 = node(p4, c3, 4, a.article, treeFlags);
        ++gaid;
        // Trade groups of one assembly stand together, so each assembly shows once.
        db.insert("INSERT INTO tradegroup VALUES(?,?,?,?)",
                  {std::to_string(gaid), a.article, a.group, std::to_string(index)});
        const auto positions = split(a.positions, '|');
        if (positions.empty())
            leaves.push_back({c4, gaid, index, ""});
        for (const std::string& position : positions)
            leaves.push_back({node(p4 + "/" + position, c4, 5, position, treeFlags), gaid, index, position});
        ++index;
    }
    int pos = 0;
    for (const Node& n : nodes)
        db.insert("INSERT INTO category VALUES(?,?,?,?,?,?)",
                  {std::to_string(n.id), std::to_string(n.parent), std::to_string(n.level), n.name,
                   std::to_string(n.flags), std::to_string(pos++)});
}

std::string referenceFor(Random& rnd, const std::string& brand, int serial) {
    if (brand == "ATE")
        return "13.0460-" + digits(rnd, 4) + ".2";
    if (brand == "TRW")
        return serial == 0 ? "GDB1385" : letters(rnd, 3) + digits(rnd, 4);
    if (brand == "BOSCH")
        return "0 986 " + digits(rnd, 3) + " " + digits(rnd, 3);
    if (brand == "FEBI BILSTEIN")
        return digits(rnd, 5);
    if (brand == "MANN-FILTER")
        return std::string(rnd.chance(50) ? "W " : "HU ") + digits(rnd, 3) + "/" + digits(rnd, 2);
    if (brand == "MAHLE")
        return std::string(rnd.chance(50) ? "OX " : "LX ") + digits(rnd, 3) + (rnd.chance(50) ? "D" : "");
    if (brand == "SACHS")
        return digits(rnd, 3) + " " + digits(rnd, 3);
    if (brand == "LEMFÖRDER")
        return digits(rnd, 5) + " " + digits(rnd, 2);
    if (brand == "GATES")
        return "K0" + digits(rnd, 5) + "XS";
    if (brand == "NGK")
        return digits(rnd, 4);
    if (brand == "VALEO")
        return digits(rnd, 6);
    if (brand == "BREMBO")
        return "P " + digits(rnd, 2) + " " + digits(rnd, 3);
    return digits(rnd, 6);
}

std::string oeNumberFor(Random& rnd, const std::string& oeBrand) {
    if (oeBrand == "VAG")
        return digits(rnd, 1) + letters(rnd, 1) + "0 " + digits(rnd, 3) + " " + digits(rnd, 3) + " " + letters(rnd, 1);
    if (oeBrand == "BMW")
        return "34 11 " + digits(rnd, 1) + " " + digits(rnd, 3) + " " + digits(rnd, 3);
    if (oeBrand == "MERCEDES-BENZ")
        return "A " + digits(rnd, 3) + " " + digits(rnd, 3) + " " + digits(rnd, 2) + " " + digits(rnd, 2);
    return digits(rnd, 7);
}

// A value in the range such a measure has on real parts.
// Measures whose range depends on the part more than on the measure's name.
struct MeasureRange {
    const char* article;
    const char* criterion;
    int low, high;
};
const MeasureRange kMeasureRanges[] = {
    {"Brake Pad Set, disc brake", "Width [mm]", 95, 165},
    {"Brake Pad Set, disc brake", "Height [mm]", 42, 75},
    {"Brake Pad Set, disc brake", "Thickness [mm]", 15, 20},
    {"Brake Disc", "Outer diameter [mm]", 239, 360},
    {"Brake Disc", "Height [mm]", 35, 62},
    {"Brake Shoe Set", "Width [mm]", 30, 60},
    {"Oil Filter", "Height [mm]", 60, 140},
    {"Oil Filter", "Outer diameter [mm]", 65, 110},
    {"Air Filter", "Height [mm]", 40, 80},
    {"Air Filter", "Width [mm]", 120, 280},
    {"Air Filter", "Length [mm]", 180, 380},
    {"Timing Belt Kit", "Width [mm]", 17, 32},
    {"Timing Belt", "Width [mm]", 17, 32},
    {"Timing Belt Kit", "Number of Teeth", 100, 160},
    {"Timing Belt", "Number of Teeth", 100, 160},
    {"V-Ribbed Belt", "Length [mm]", 700, 2600},
    {"Wiper Blade", "Length [mm]", 280, 700},
};

std::string criterionValue(Random& rnd, const std::string& article, const std::string& name) {
    for (const MeasureRange& r : kMeasureRanges)
        if (article == r.article && name == r.criterion)
            return std::to_string(rnd.between(r.low, r.high)) + (rnd.chance(20) ? ".5" : "");
    auto has = [&](const char* word) { return name.find(word) != std::string::npos; };
    if (has("Cone"))
        return std::to_string(rnd.between(12, 22));
    if (has("Thickness"))
        return std::to_string(rnd.between(10, 32)) + (rnd.chance(40) ? ".5" : "");
    if (has("Diameter") || has("diameter"))
        return std::to_string(rnd.between(has("Inner") || has("Piston") || has("Cone") ? 12 : 60,
                                          has("Inner") || has("Piston") || has("Cone") ? 60 : 345));
    if (has("Teeth") || has("Links"))
        return std::to_string(rnd.between(18, 160));
    if (has("Voltage"))
        return rnd.chance(80) ? "12" : "24";
    if (has("Current"))
        return std::to_string(rnd.between(7, 18) * 10);
    if (has("Power"))
        return std::to_string(rnd.between(8, 30) / 10) + "." + std::to_string(rnd.between(0, 9));
    if (has("Pressure"))
        return std::to_string(rnd.between(80, 150));
    if (has("Temperature"))
        return std::to_string(rnd.between(80, 105));
    if (has("Capacity"))
        return rnd.chance(50) ? "0.5" : "1";
    if (has("Ribs") || has("Connectors"))
        return std::to_string(rnd.between(3, 8));
    if (has("Thread"))
        return "M" + std::to_string(rnd.between(10, 16)) + "x1.5";
    if (has("Type"))
        return rnd.chance(50) ? "Gas Pressure" : "Oil Pressure";
    if (has("Spanner"))
        return std::to_string(rnd.between(14, 21));
    return std::to_string(rnd.between(40, 480)) + (rnd.chance(30) ? ".5" : "");
}

const char* const kTermsOfUse[] = {"for vehicles with sports suspension",
                                   "for vehicles without electronic parking brake",
                                   "for PR number: 1ZE",
                                   "only in connection with original wheel rims",
                                   "for vehicles with air conditioning",
                                   "Vehicle Production Country: Germany",
                                   "for vehicles with ABS",
                                   "for vehicles with automatic transmission"};

void writeProducts(Db& db, Random& rnd, const std::vector<Leaf>& leaves, const std::vector<Model>& models,
                   const std::vector<Type>& types) {
    std::map<std::string, int> brandIds;
    for (size_t i = 0; i < std::size(kPartBrands); ++i) {
        brandIds[kPartBrands[i]] = kPartBrandIds[i];
        db.insert("INSERT INTO brand VALUES(?,?)", {std::to_string(kPartBrandIds[i]), kPartBrands[i]});
    }
    std::map<int, std::string> fuelOf;
    for (const Type& t : types)
        fuelOf[t.typid] = t.fuel;
    std::map<std::string, int> serials;
    const Model* sampleModel = nullptr;
    for (const Model& m : models)
        if (std::find(m.types.begin(), m.types.end(), kSampleKType) != m.types.end())
            sampleModel = &m;
    if (!sampleModel)
        fail("no model of the K-type sample");
    int artid = 100001;
    for (const Leaf& leaf : leaves) {
        const ArticleSeed& a = kArticles[leaf.article];
        const auto brands = split(a.brands, '|');
        const auto extras = split(a.extra, '|');
        const auto criteria = split(a.criteria, '|');
        const bool universal = a.flags & Universal;
        const int groups = universal ? 2 : 10;
        for (int g = 0; g < groups; ++g) {
            // The documented cross-reference sample: TRW GDB1385 and its FEBI BILSTEIN
            // equivalent, front pads of the K-type sample's model.
            const bool documentedPads = &leaf == &leaves.front() && g == 0;
            // One fitment: models of one original-equipment family and class share the part.
            std::vector<int> fit;
            std::string oeBrand = "VAG";
            if (universal) {
                for (const Type& t : types)
                    if (t.vclass == 1)
                        fit.push_back(t.typid);
            } else {
                std::vector<const Model*> candidates;
                for (const Model& m : models)
                    if (((a.flags & ForCars) && m.vclass == 1) || ((a.flags & ForTrucks) && m.vclass == 2) ||
                        ((a.flags & ForBikes) && m.vclass == 3))
                        candidates.push_back(&m);
                if (candidates.empty())
                    continue;
                const Model* pick = candidates[rnd.below(static_cast<int>(candidates.size()))];
                if (documentedPads)
                    pick = sampleModel;
                oeBrand = pick->oeBrand;
                std::vector<const Model*> family;
                for (const Model* m : candidates)
                    if (m->oeBrand == pick->oeBrand && m->vclass == pick->vclass && m != pick)
                        family.push_back(m);
                std::vector<const Model*> chosen = {pick};
                const int more = rnd.between(0, 3);
                for (int i = 0; i < more && !family.empty(); ++i) {
                    const int at = rnd.below(static_cast<int>(family.size()));
                    chosen.push_back(family[at]);
                    family.erase(family.begin() + at);
                }
                for (const Model* m : chosen)
                    for (int typid : m->types) {
                        const std::string& fuel = fuelOf[typid];
                        if ((a.flags & PetrolOnly) && fuel.find("Petrol") == std::string::npos)
                            continue;
                        if ((a.flags & DieselOnly) && fuel != "Diesel")
                            continue;
                        fit.push_back(typid);
                    }
            }
            if (fit.empty())
                continue;
            std::vector<std::string> groupBrands = brands;
            while (groupBrands.size() > 3 || (groupBrands.size() > 2 && rnd.chance(40)))
                groupBrands.erase(groupBrands.begin() + rnd.below(static_cast<int>(groupBrands.size())));
            if (documentedPads)
                groupBrands = {"TRW", "FEBI BILSTEIN"};
            // Parts that stand for one another share their dimensions.
            std::string crit;
            if (!leaf.position.empty())
                crit = "Fitting Position: " + leaf.position;
            for (const std::string& c : criteria) {
                if (!crit.empty())
                    crit += "; ";
                crit += c + ": " + criterionValue(rnd, a.article, c);
            }
            const int basePrice = 500 + (leaf.article * 997) % 15000;
            std::vector<std::pair<int, std::pair<std::string, std::string>>> members; // artid, brand, reference
            for (const std::string& brand : groupBrands) {
                const int serial = (brand == "TRW" && a.article == std::string("Brake Pad Set, disc brake"))
                                       ? serials["TRW pads"]++
                                       : -1;
                const std::string reference = referenceFor(rnd, brand, serial);
                std::string additional = extras.empty() ? "" : extras[rnd.below(static_cast<int>(extras.size()))];
                std::string status = "Normal";
                const int s = rnd.below(100);
                if (s >= 98)
                    status = "Pseudo article";
                else if (s >= 93)
                    status = "Not available from manufacturer";
                else if (s >= 86)
                    status = "Discontinued";
                const std::string terms = rnd.chance(30) ? kTermsOfUse[rnd.below(8)] : "";
                const int cents = basePrice + rnd.between(-300, 3000);
                const int shape =
                    a.group == std::string("Filters") ? 2 : (a.article == std::string("Brake Disc") ? 0 : 1);
                std::string pictures;
                const int drawn = rnd.between(1, 3);
                // The documented picture samples.
                const int pictureCount = artid == 100001 ? 3 : artid == 100002 ? 1 : drawn;
                for (int i = 0; i < pictureCount; ++i)
                    pictures += (i ? "," : "") + std::to_string(shape * 8 + rnd.below(8));
                // Some products have no picture at all; drawn above anyway so the other data stay put.
                if (artid % 20 == 0)
                    pictures.clear();
                db.insert("INSERT INTO product VALUES(?,?,?,?,?,?,?,?,?,?,?,?)",
                          {std::to_string(artid), std::to_string(brandIds[brand]), reference, std::to_string(leaf.gaid),
                           std::to_string(leaf.category), a.article, additional, status, crit, terms,
                           money(std::max(199, cents)), pictures});
                for (int typid : fit)
                    db.insert("INSERT INTO applicability VALUES(?,?)", {std::to_string(artid), std::to_string(typid)});
                members.push_back({artid, {brand, reference}});
                ++artid;
            }
            std::vector<std::string> oeNumbers;
            const int oeCount = rnd.between(1, 2);
            for (int i = 0; i < oeCount; ++i)
                oeNumbers.push_back(oeNumberFor(rnd, oeBrand));
            for (const auto& [id, own] : members) {
                for (const auto& [otherId, other] : members)
                    if (otherId != id)
                        db.insert("INSERT INTO crossref VALUES(?,?,?)",
                                  {std::to_string(id), other.first, other.second});
                for (const std::string& oe : oeNumbers)
                    db.insert("INSERT INTO crossref VALUES(?,?,?)", {std::to_string(id), oeBrand, oe});
            }
        }
    }
}

// ---- price list files ----

struct PriceRow {
    std::string brand, reference, name, price;
};

std::string csv(const std::vector<std::vector<std::string>>& rows, char sep) {
    std::string out;
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i)
                out += sep;
            const std::string& v = row[i];
            if (v.find(sep) != std::string::npos || v.find('"') != std::string::npos) {
                out += '"';
                for (char c : v)
                    out += c == '"' ? std::string("\"\"") : std::string(1, c);
                out += '"';
            } else {
                out += v;
            }
        }
        out += "\r\n";
    }
    return out;
}

void writePriceLists(Db& db, sqlite3* source) {
    std::vector<PriceRow> all;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(source,
                       "SELECT b.name, p.reference, p.name, p.price FROM product p JOIN brand b ON b.braid = p.braid "
                       "ORDER BY p.artid",
                       -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        PriceRow r;
        for (int i = 0; i < 4; ++i)
            (i == 0   ? r.brand
             : i == 1 ? r.reference
             : i == 2 ? r.name
                      : r.price) = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
        all.push_back(r);
    }
    sqlite3_finalize(stmt);
    // Traders mark their prices up differently; keep the texts plausible.
    auto marked = [](const std::string& price, int percent) {
        const double value = std::stod(price) * (100 + percent) / 100.0;
        return money(static_cast<int>(value * 100 + 0.5));
    };

    std::vector<std::vector<std::string>> stock = {{"Brand", "Reference", "Price", "Stock"}};
    std::vector<std::vector<std::string>> uk = {{"Make", "Part number", "Description", "Net price"}};
    std::vector<std::vector<std::string>> ate = {{"artnr", "bezeichnung", "preis"}};
    std::vector<std::vector<std::string>> febi = {{"codepart", "name", "price"}};
    std::vector<std::vector<std::string>> euro = {{"brand", "numberproduct", "price", "currency"}};
    int i = 0;
    for (const PriceRow& r : all) {
        ++i;
        stock.push_back({r.brand, r.reference, marked(r.price, 12), std::to_string(i % 37)});
        if (i % 3 != 0)
            uk.push_back({r.brand, r.reference, r.name, marked(r.price, -5)});
        if (r.brand == "ATE")
            ate.push_back({r.reference, r.name, marked(r.price, 3)});
        if (r.brand == "FEBI BILSTEIN")
            febi.push_back({r.reference, r.name, marked(r.price, 7)});
        if (i % 2 == 0)
            euro.push_back({r.brand, r.reference, marked(r.price, 9), "EUR"});
    }
    struct File {
        std::string name, content, country, email, renameto, addbrand, addreference, addprice;
    };
    const std::vector<File> files = {
        {"partsworld-stock.csv", csv(stock, ';'), "DE", "sales@partsworld.example", "", "", "", ""},
        {"uk-motorfactors.csv", csv(uk, ','), "GB", "prices@motorfactors.example", "MOTORFACTORS", "Make",
         "Part number", "Net price"},
        {"lager-[ATE].csv", csv(ate, ';'), "DE", "info@bremsenlager.example", "ATE", "", "artnr", "preis"},
        {"febi-[FEBI BILSTEIN].xlsx", MakeWorkbook(febi), "PL", "biuro@czesci.example", "FEBI BILSTEIN", "", "codepart",
         ""},
        {"eurostock-prices.xlsx", MakeWorkbook(euro), "FR", "contact@eurostock.example", "", "", "numberproduct", ""},
    };
    for (const File& f : files)
        db.insert("INSERT INTO pricelist VALUES(?,?,?,?,?,?,?,?)",
                  {f.name, f.content, f.country, f.email, f.renameto, f.addbrand, f.addreference, f.addprice}, 1);
}

} // namespace

// ---- brands as messy as real supplier names ----

// Brands with "&", "/", umlauts and long names, written after the price lists so that the
// generated catalog and its files stay as they were. Their products sit in no category and fit
// no vehicle: they show in the supplier list, the export and the cross-reference search.
void writeMessyBrands(Db& db) {
    struct Seed {
        int braid;
        const char* brand;
        const char* prefix;
    };
    const Seed brands[] = {{9001, "A&B PARTS", "AB"}, {9002, "NORDSTRÖM / KÜHLER- & MOTORENTEILE GMBH & CO. KG", "NK"}};
    struct Item {
        const char* name;
        const char* additional;
        const char* criteria;
    };
    const Item items[] = {
        {"Wasserkühler, Motorkühlung", "für Fahrzeuge mit Klimaanlage; Schaltgetriebe",
         "Netzmaß [mm]: 650 x 398; Material: Aluminium/Kunststoff"},
        {"Dichtung \"Ölwanne\"", "", "Material: NBR (Nitril-Butadien-Kautschuk); Dicke [mm]: 2,5"},
        {"Thermostat, Kühlmittel - mit Dichtung, Gehäuse und Temperaturschalter für Ausführung \"Tropen\", "
         "verstärkt, Ersatz für Erstausrüstung",
         "Öffnungstemperatur 87°C", "Öffnungstemperatur [°C]: 87; Ø [mm]: 54"},
        {"Schlauch, Ladeluftkühler", "links/rechts", "Länge [mm]: 410; Innendurchmesser [mm]: 63"},
    };
    int artid = 900001;
    for (const Seed& b : brands) {
        db.insert("INSERT INTO brand VALUES(?,?)", {std::to_string(b.braid), b.brand});
        int n = 0;
        for (const Item& item : items) {
            const std::string reference =
                std::string(b.prefix) + " " + std::to_string(4100 + 17 * n) + "/" + std::to_string(n + 1);
            db.insert("INSERT INTO product VALUES(?,?,?,?,?,?,?,?,?,?,?,?)",
                      {std::to_string(artid), std::to_string(b.braid), reference, "0", "0", item.name, item.additional,
                       n == 3 ? "Discontinued" : "Normal", item.criteria, "", money(1990 + 1234 * n), ""});
            db.insert("INSERT INTO crossref VALUES(?,?,?)",
                      {std::to_string(artid), "VAG", "06B 121 " + std::to_string(111 + n)});
            ++artid;
            ++n;
        }
    }
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.sqlite\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    const std::string temp = path + ".part";
    {
        Db db(temp);
        db.exec(kSchema);
        Random rnd(20260115);
        std::vector<Model> models;
        std::vector<Type> types;
        writeVehicles(db, rnd, models, types);
        std::vector<Leaf> leaves;
        writeCategories(db, leaves);
        writeProducts(db, rnd, leaves, models, types);
        for (int v = 0; v < 24; ++v)
            db.insert("INSERT INTO picture VALUES(?,?)", {std::to_string(v), MakePartPicture(v)}, 1);
        for (const SiteSeed& s : kSites)
            db.insert("INSERT INTO site VALUES(?,?,?,?)",
                      {std::to_string(s.id), s.name, std::to_string(s.kind), s.currency});
        db.exec("COMMIT; BEGIN;");
        sqlite3* reader = nullptr;
        sqlite3_open(temp.c_str(), &reader);
        writePriceLists(db, reader);
        sqlite3_close(reader);
        writeMessyBrands(db);
        db.finish();
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
