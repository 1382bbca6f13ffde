#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

// The sample catalog, read once from the generated SQLite file and then only read by the
// request threads, so no lock is needed.

struct Maker {
    int mfaid = 0;
    std::string brand, oeBrand;
};

struct Model {
    int modid = 0, mfaid = 0, vclass = 0;
    std::string name, start, end;
};

struct VehicleType {
    int typid = 0, modid = 0, mfaid = 0, vclass = 0;
    int startYear = 0, endYear = 0; // endYear 9999 while still built
    std::string shortName, fullName, start, end, body, kw, hp, ccm, fuel, engines, kba, mime;
};

struct Category {
    int id = 0, parent = 0, level = 0, flags = 0, pos = 0;
    std::string name;
    std::vector<int> children; // ids, in tree order
};

struct TradeGroup {
    int gaid = 0, pos = 0;
    std::string name, assembly;
};

struct Product {
    int artid = 0, braid = 0, gaid = 0, category = 0;
    int base = 0; // index of the generated product this one copies (itself when not a copy)
    int copy = 0; // 0 for generated products, k for the k-th copy of --scale
    std::string brand, reference, name, additional, status, criteries, terms, price;
    std::vector<int> pictures;
    std::vector<int> path; // category ids from the root down to its own category
};

struct CrossRef {
    std::string brand, number;
};

struct Fitment {
    int product = 0; // index into products
    int laid = 0;
};

struct Site {
    int id = 0, kind = 0;
    std::string name, currency;
};

struct PriceListFile {
    std::string name, content, country, email, renameto, addbrand, addreference, addprice;
};

enum CategoryFlag { kEngineTree = 8, kAxleTree = 16 };

class CatalogData {
public:
    // Reads the file; false with a message on failure. `scale` copies every product that often.
    bool load(const std::string& path, int scale, std::string& error);

    std::vector<Maker> makers;           // by brand
    std::vector<Model> models;           // by name within maker
    std::vector<VehicleType> types;      // by typid
    std::map<int, Category> categories;  // by id
    std::vector<int> rootCategories;     // in tree order
    std::vector<TradeGroup> tradeGroups; // in answer order
    std::map<int, std::string> brands;   // braid -> name
    std::vector<Product> products;       // generated first, copies after
    std::vector<Site> sites;
    std::vector<PriceListFile> priceLists;
    std::vector<std::string> pictures; // JPEG bytes by picture id

    const Maker* maker(int mfaid) const;
    const Model* model(int modid) const;
    const VehicleType* type(int typid) const;
    const Product* product(int artid) const;
    const std::vector<Fitment>& fitments(int typid) const;
    const std::vector<int>& typesOf(const Product& p) const { return m_typesOfProduct[p.base]; }
    const std::vector<CrossRef>& crossRefs(const Product& p) const { return m_crossRefs[p.base]; }
    // Products whose own number or one of whose cross references is `normalized`.
    const std::vector<int>& productsByNumber(const std::string& normalized) const;

private:
    std::unordered_map<int, size_t> m_makerIndex, m_modelIndex, m_typeIndex, m_productIndex;
    std::unordered_map<int, std::vector<Fitment>> m_fitments;
    std::vector<std::vector<int>> m_typesOfProduct; // by base product index
    std::vector<std::vector<CrossRef>> m_crossRefs; // by base product index
    std::unordered_map<std::string, std::vector<int>> m_byNumber;
};
