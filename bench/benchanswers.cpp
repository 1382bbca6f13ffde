#include "benchanswers.h"

#include <array>
#include <cstdio>
#include <random>
#include <string_view>
#include <vector>

namespace {

class AnswerWriter {
public:
    void beginRecord() {
        m_text += m_records++ == 0 ? "\t\t\t{\r\n" : "\t\t\t,{\r\n";
        m_firstField = true;
    }
    void field(std::string_view key, std::string_view value) {
        if (!m_firstField)
            m_text += ",\r\n";
        m_firstField = false;
        m_text += "\t\t\t\t\"";
        m_text += key;
        m_text += "\": \"";
        m_text += value;
        m_text += '"';
    }
    void field(std::string_view key, long value) { field(key, std::to_string(value)); }
    void endRecord() { m_text += "\r\n\t\t\t}\r\n"; }
    std::size_t size() const { return m_text.size(); }
    std::string finish() { return "{\r\n\t\"data\": [\r\n" + m_text + "\t]\r\n}\r\n"; }

private:
    std::string m_text;
    long m_records = 0;
    bool m_firstField = true;
};

class Picker {
public:
    explicit Picker(unsigned seed) : m_rng(seed) {}
    long between(long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(m_rng); }
    bool chance(int percent) { return between(1, 100) <= percent; }
    template <class C> const auto& from(const C& items) {
        return items[static_cast<std::size_t>(between(0, static_cast<long>(std::size(items)) - 1))];
    }

private:
    std::mt19937 m_rng;
};

std::string yearMonth(long year, long month) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04ld%02ld", year, month);
    return buf;
}

} // namespace

std::string typesAnswer(std::size_t bytes) {
    static constexpr std::array<std::string_view, 16> kEngines = {
        "1.0 TSI",    "1.2 TCe",   "1.4 16V",    "1.6 HDi",     "2.0 TDI", "2.0 TDI quattro",
        "1.9 TDI",    "2.2 CRDi",  "1.5 dCi",    "3.0 V6 24V",  "1.8 T",   "2.5 Turbo Diesel",
        "Électrique", "1.6 Gázos", "2.0 Гибрид", "1.3 Multijet"};
    static constexpr std::array<std::string_view, 9> kBodies = {
        "Saloon", "Hatchback", "Estate", "Coupé", "Convertible", "Off-Road Vehicle", "MPV", "Pick-up", "Van"};
    static constexpr std::array<std::string_view, 6> kFuels = {"Diesel",           "Petrol",   "Petrol/Electric",
                                                               "Petrol/Gas (LPG)", "Electric", "Diesel/Electric"};
    // Engines come from a limited range of outputs and displacements, as in the catalog.
    static constexpr std::array<long, 46> kKw = {37,  40,  44,  50,  51,  55,  59,  63,  66,  70,  74,  75,
                                                 77,  80,  81,  85,  88,  90,  92,  96,  100, 103, 105, 110,
                                                 118, 120, 125, 130, 132, 140, 147, 150, 155, 162, 165, 170,
                                                 180, 184, 195, 200, 210, 225, 235, 250, 265, 280};
    static constexpr std::array<long, 45> kCcm = {
        999,  1149, 1197, 1198, 1242, 1248, 1299, 1332, 1364, 1390, 1395, 1398, 1461, 1499, 1560,
        1586, 1595, 1596, 1598, 1686, 1781, 1796, 1798, 1896, 1910, 1968, 1984, 1995, 1997, 1998,
        2143, 2179, 2198, 2231, 2392, 2488, 2494, 2698, 2967, 2987, 2993, 2995, 3198, 3597, 4163};
    Picker pick(20240601);
    std::vector<std::string> engineCodes(600);
    for (std::string& code : engineCodes)
        for (int c = 0; c < 4; ++c)
            code += static_cast<char>('A' + pick.between(0, 25));
    AnswerWriter out;
    long typid = 3000;
    while (out.size() < bytes) {
        typid += pick.between(1, 40);
        const long startYear = pick.between(1985, 2022);
        const long kw = pick.from(kKw);
        out.beginRecord();
        out.field("typid", typid);
        out.field("shortnametypecar", std::string(pick.from(kEngines)) + (pick.chance(30) ? " 4motion" : ""));
        out.field("pconstart", yearMonth(startYear, pick.between(1, 12)));
        out.field("pconend", pick.chance(20) ? std::string(pick.chance(50) ? "" : " ")
                                             : yearMonth(startYear + pick.between(1, 12), pick.between(1, 12)));
        out.field("bodytype", pick.from(kBodies));
        out.field("kw", kw);
        out.field("hp", kw * 136 / 100);
        out.field("ccm", pick.from(kCcm));
        out.field("typefuel", pick.from(kFuels));
        std::string codes;
        for (long n = pick.between(1, 5); n > 0; --n) {
            if (!codes.empty())
                codes += ", ";
            codes += pick.from(engineCodes);
        }
        out.field("listcodeengine", codes);
        out.endRecord();
    }
    return out.finish();
}

std::string articlesAnswer(std::size_t bytes, long count, long mostCriteria) {
    static constexpr std::array<std::string_view, 15> kBrands = {
        "BOSCH",          "ATE",       "TRW",        "FEBI BILSTEIN", "MANN-FILTER",
        "SACHS",          "LEMFÖRDER", "BREMBO",     "VALEO",         "NGK",
        "MAHLE ORIGINAL", "MEYLE",     "ZIMMERMANN", "TEXTAR",        "SKF"};
    static constexpr std::array<std::string_view, 12> kNames = {"Brake Disc",
                                                                "Brake Pad Set, disc brake",
                                                                "Oil Filter",
                                                                "Air Filter",
                                                                "Spark Plug",
                                                                "Shock Absorber",
                                                                "Control Arm/Trailing Arm, wheel suspension",
                                                                "Wheel Bearing Kit",
                                                                "Bremsscheibe",
                                                                "Тормозной диск",
                                                                "Filtre à huile",
                                                                "Timing Belt Kit"};
    static constexpr std::array<std::string_view, 7> kAdditions = {"",       "",       "Front Axle", "Rear Axle",
                                                                   "Vented", "Coated", "Ø 280 mm"};
    static constexpr std::array<std::string_view, 4> kStatus = {"Normal", "Normal", "Discontinued", "On request"};
    static constexpr std::array<std::string_view, 14> kCriteria = {"Fitting Position: Front Axle",
                                                                   "Brake Disc Type: Vented",
                                                                   "Diameter [mm]: 280",
                                                                   "Brake Disc Thickness [mm]: 22",
                                                                   "Minimum thickness [mm]: 19,2",
                                                                   "Height [mm]: 38,5",
                                                                   "Number of Holes: 5",
                                                                   "Bolt Hole Circle Ø [mm]: 112",
                                                                   "Centering Diameter [mm]: 65",
                                                                   "Surface: coated",
                                                                   "Operating temperature to [°C]: 120",
                                                                   "Thread Size: M14x1,25",
                                                                   "Einbauseite: Hinterachse",
                                                                   "Материал: сталь"};
    static constexpr std::array<std::string_view, 5> kTerms = {
        "", "", "for vehicles with ABS", "Vehicle Equipment: for vehicles with sports suspension",
        "from chassis no.: 8P-A-100001; für Fahrzeuge mit Xenon-Licht"};
    Picker pick(20240602);
    AnswerWriter out;
    long artid = 100000;
    for (long made = 0; out.size() < bytes && made < count; ++made) {
        artid += pick.between(1, 500);
        out.beginRecord();
        out.field("artid", artid);
        out.field("laid", pick.between(1, 9999999));
        out.field("braid", pick.between(1, 400));
        out.field("brand", pick.from(kBrands));
        out.field("articlenr",
                  "0 986 " + std::to_string(pick.between(100, 999)) + " " + std::to_string(pick.between(100, 999)));
        out.field("name", pick.from(kNames));
        out.field("additionalforname", pick.from(kAdditions));
        out.field("statusproduct", pick.from(kStatus));
        std::string criteria;
        for (long n = pick.between(2, mostCriteria); n > 0; --n) {
            if (!criteria.empty())
                criteria += "; ";
            criteria += pick.from(kCriteria);
        }
        out.field("criteries", criteria);
        out.field("termsofuse", pick.from(kTerms));
        out.endRecord();
    }
    return out.finish();
}
