#include "catalogdata.h"

#include "query.h"

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using Row = std::function<void(sqlite3_stmt*)>;

std::string text(sqlite3_stmt* stmt, int column) {
    const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return value ? std::string(value, static_cast<size_t>(sqlite3_column_bytes(stmt, column))) : std::string();
}

std::string blob(sqlite3_stmt* stmt, int column) {
    const auto* value = static_cast<const char*>(sqlite3_column_blob(stmt, column));
    return value ? std::string(value, static_cast<size_t>(sqlite3_column_bytes(stmt, column))) : std::string();
}

int integer(sqlite3_stmt* stmt, int column) {
    return sqlite3_column_int(stmt, column);
}

bool each(sqlite3* db, const char* sql, const Row& row, std::string& error) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        row(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        error = sqlite3_errmsg(db);
        return false;
    }
    return true;
}

int yearOf(const std::string& yyyymm, int fallback) {
    return yyyymm.size() >= 4 ? std::stoi(yyyymm.substr(0, 4)) : fallback;
}

} // namespace

bool CatalogData::load(const std::string& path, int scale, std::string& error) {
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error = "cannot open " + path;
        sqlite3_close(raw);
        return false;
    }
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    bool ok = true;
    ok = ok && each(
                   db.get(), "SELECT mfaid, brand, oebrand FROM manufacturer ORDER BY brand",
                   [&](sqlite3_stmt* s) {
                       makers.push_back({integer(s, 0), text(s, 1), text(s, 2)});
                   },
                   error);
    ok = ok &&
         each(
             db.get(), "SELECT modid, mfaid, vclass, name, pconstart, pconend FROM model ORDER BY name",
             [&](sqlite3_stmt* s) {
                 models.push_back({integer(s, 0), integer(s, 1), integer(s, 2), text(s, 3), text(s, 4), text(s, 5)});
             },
             error);
    for (size_t i = 0; i < makers.size(); ++i)
        m_makerIndex[makers[i].mfaid] = i;
    for (size_t i = 0; i < models.size(); ++i)
        m_modelIndex[models[i].modid] = i;
    ok =
        ok && each(
                  db.get(),
                  "SELECT typid, modid, shortname, fullname, pconstart, pconend, bodytype, kw, hp, ccm, fuel, engines, "
                  "kba, mime FROM type ORDER BY typid",
                  [&](sqlite3_stmt* s) {
                      VehicleType t;
                      t.typid = integer(s, 0);
                      t.modid = integer(s, 1);
                      t.shortName = text(s, 2);
                      t.fullName = text(s, 3);
                      t.start = text(s, 4);
                      t.end = text(s, 5);
                      t.body = text(s, 6);
                      t.kw = text(s, 7);
                      t.hp = text(s, 8);
                      t.ccm = text(s, 9);
                      t.fuel = text(s, 10);
                      t.engines = text(s, 11);
                      t.kba = NormalizeNumber(text(s, 12));
                      t.mime = NormalizeNumber(text(s, 13));
                      if (const Model* m = model(t.modid)) {
                          t.mfaid = m->mfaid;
                          t.vclass = m->vclass;
                      }
                      t.startYear = yearOf(t.start, 0);
                      t.endYear = yearOf(t.end, 9999);
                      types.push_back(std::move(t));
                  },
                  error);
    for (size_t i = 0; i < types.size(); ++i)
        m_typeIndex[types[i].typid] = i;

    ok = ok &&
         each(
             db.get(), "SELECT id, parent, level, flags, pos, name FROM category ORDER BY pos",
             [&](sqlite3_stmt* s) {
                 Category c{integer(s, 0), integer(s, 1), integer(s, 2), integer(s, 3), integer(s, 4), text(s, 5), {}};
                 if (c.parent == 0)
                     rootCategories.push_back(c.id);
                 else
                     categories[c.parent].children.push_back(c.id);
                 const int id = c.id;
                 std::vector<int> children = std::move(categories[id].children);
                 categories[id] = std::move(c);
                 categories[id].children = std::move(children);
             },
             error);
    ok = ok && each(
                   db.get(), "SELECT gaid, pos, name, assembly FROM tradegroup ORDER BY pos",
                   [&](sqlite3_stmt* s) {
                       tradeGroups.push_back({integer(s, 0), integer(s, 1), text(s, 2), text(s, 3)});
                   },
                   error);
    ok = ok && each(
                   db.get(), "SELECT braid, name FROM brand ORDER BY name",
                   [&](sqlite3_stmt* s) { brands[integer(s, 0)] = text(s, 1); }, error);
    ok = ok && each(
                   db.get(),
                   "SELECT artid, braid, gaid, category, reference, name, additional, status, criteries, termsofuse, "
                   "price, pictures FROM product ORDER BY artid",
                   [&](sqlite3_stmt* s) {
                       Product p;
                       p.artid = integer(s, 0);
                       p.braid = integer(s, 1);
                       p.gaid = integer(s, 2);
                       p.category = integer(s, 3);
                       p.reference = text(s, 4);
                       p.name = text(s, 5);
                       p.additional = text(s, 6);
                       p.status = text(s, 7);
                       p.criteries = text(s, 8);
                       p.terms = text(s, 9);
                       p.price = text(s, 10);
                       const std::string pics = text(s, 11);
                       size_t start = 0;
                       while (start < pics.size()) {
                           size_t end = pics.find(',', start);
                           if (end == std::string::npos)
                               end = pics.size();
                           p.pictures.push_back(std::stoi(pics.substr(start, end - start)));
                           start = end + 1;
                       }
                       p.base = static_cast<int>(products.size());
                       products.push_back(std::move(p));
                   },
                   error);
    if (!ok)
        return false;
    const size_t generated = products.size();
    for (Product& p : products) {
        p.brand = brands[p.braid];
        for (int id = p.category; id != 0;) {
            p.path.insert(p.path.begin(), id);
            auto it = categories.find(id);
            id = it == categories.end() ? 0 : it->second.parent;
        }
        m_productIndex[p.artid] = static_cast<size_t>(p.base);
    }
    m_typesOfProduct.resize(generated);
    m_crossRefs.resize(generated);

    // laid: the link's own id, as the vendor numbers its article-to-vehicle links.
    int laid = 0;
    ok = ok && each(
                   db.get(), "SELECT artid, typid FROM applicability ORDER BY rowid",
                   [&](sqlite3_stmt* s) {
                       auto it = m_productIndex.find(integer(s, 0));
                       if (it == m_productIndex.end())
                           return;
                       const int typid = integer(s, 1);
                       m_typesOfProduct[it->second].push_back(typid);
                       m_fitments[typid].push_back({static_cast<int>(it->second), ++laid});
                   },
                   error);
    ok = ok && each(
                   db.get(), "SELECT artid, brand, number FROM crossref ORDER BY rowid",
                   [&](sqlite3_stmt* s) {
                       auto it = m_productIndex.find(integer(s, 0));
                       if (it != m_productIndex.end())
                           m_crossRefs[it->second].push_back({text(s, 1), text(s, 2)});
                   },
                   error);
    ok = ok && each(
                   db.get(), "SELECT id, name, kind, currency FROM site ORDER BY id",
                   [&](sqlite3_stmt* s) {
                       sites.push_back({integer(s, 0), integer(s, 2), text(s, 1), text(s, 3)});
                   },
                   error);
    ok = ok && each(
                   db.get(),
                   "SELECT name, content, country, email, renameto, addbrand, addreference, addprice FROM pricelist "
                   "ORDER BY rowid",
                   [&](sqlite3_stmt* s) {
                       priceLists.push_back({text(s, 0), blob(s, 1), text(s, 2), text(s, 3), text(s, 4), text(s, 5),
                                             text(s, 6), text(s, 7)});
                   },
                   error);
    ok = ok && each(
                   db.get(), "SELECT id, jpeg FROM picture ORDER BY id",
                   [&](sqlite3_stmt* s) {
                       const int id = integer(s, 0);
                       if (id >= 0 && id < 1000) {
                           if (pictures.size() <= static_cast<size_t>(id))
                               pictures.resize(static_cast<size_t>(id) + 1);
                           pictures[static_cast<size_t>(id)] = blob(s, 1);
                       }
                   },
                   error);
    if (!ok)
        return false;

    // Copies for big lists: same data, own ids and numbers, same vehicles.
    for (int k = 1; k < scale; ++k) {
        for (size_t i = 0; i < generated; ++i) {
            Product copy = products[i];
            copy.artid = products[i].artid + k * 1000000;
            copy.reference = products[i].reference + "-" + std::to_string(k);
            copy.copy = k;
            m_productIndex[copy.artid] = products.size();
            products.push_back(std::move(copy));
        }
    }
    if (scale > 1) {
        for (auto& [typid, list] : m_fitments) {
            const size_t original = list.size();
            for (int k = 1; k < scale; ++k)
                for (size_t i = 0; i < original; ++i)
                    list.push_back({list[i].product + k * static_cast<int>(generated), list[i].laid + k * 100000});
        }
    }
    for (size_t i = 0; i < products.size(); ++i) {
        const Product& p = products[i];
        std::vector<int>& own = m_byNumber[NormalizeNumber(p.reference)];
        if (own.empty() || own.back() != static_cast<int>(i))
            own.push_back(static_cast<int>(i));
        if (p.copy == 0)
            for (const CrossRef& c : m_crossRefs[i]) {
                std::vector<int>& list = m_byNumber[NormalizeNumber(c.number)];
                if (list.empty() || list.back() != static_cast<int>(i))
                    list.push_back(static_cast<int>(i));
            }
    }
    for (auto& [number, list] : m_byNumber) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return true;
}

const Maker* CatalogData::maker(int mfaid) const {
    auto it = m_makerIndex.find(mfaid);
    return it == m_makerIndex.end() ? nullptr : &makers[it->second];
}

const Model* CatalogData::model(int modid) const {
    auto it = m_modelIndex.find(modid);
    return it == m_modelIndex.end() ? nullptr : &models[it->second];
}

const VehicleType* CatalogData::type(int typid) const {
    auto it = m_typeIndex.find(typid);
    return it == m_typeIndex.end() ? nullptr : &types[it->second];
}

const Product* CatalogData::product(int artid) const {
    auto it = m_productIndex.find(artid);
    return it == m_productIndex.end() ? nullptr : &products[it->second];
}

const std::vector<Fitment>& CatalogData::fitments(int typid) const {
    static const std::vector<Fitment> none;
    auto it = m_fitments.find(typid);
    return it == m_fitments.end() ? none : it->second;
}

const std::vector<int>& CatalogData::productsByNumber(const std::string& normalized) const {
    static const std::vector<int> none;
    auto it = m_byNumber.find(normalized);
    return it == m_byNumber.end() ? none : it->second;
}
