#include "siteservice.h"

#include "query.h"

#include "common/escape.h"

#ifndef VELMORA_DEMO_UPDATE_KEY
#define VELMORA_DEMO_UPDATE_KEY "update-test.key"
#endif

#include <cstdio>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

std::string html(const std::string& text) {
    std::string out;
    for (char c : xmlEscape(text))
        out += c == '\r' ? std::string("<br>") : std::string(1, c);
    return out;
}

std::string page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + html(title) + "</title></head><body><h1>" +
           html(title) + "</h1>" + body + "</body></html>\n";
}

// Percent-encodes what a URL path cannot carry as it is (brackets, blanks, non-ASCII).
std::string pathEncode(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// The whole file; nothing when it cannot be read.
std::optional<std::string> fileContent(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace

SiteService::SiteService(const CatalogData& data, Accounts& accounts, const Options& options)
    : m_data(data), m_accounts(accounts), m_options(options) {
    if (const auto key = fileContent(options.updateKeyFile.empty() ? VELMORA_DEMO_UPDATE_KEY : options.updateKeyFile))
        m_updateKey = ReadMinisignSecretKey(*key);
    if (!m_updateKey)
        std::fprintf(stderr, "velmora-demo-service: no update signing key; the update is served unsigned\n");
}

void SiteService::handle(const httplib::Request& req, httplib::Response& res) const {
    const Query q(req.target);
    const std::string& path = q.function();
    const std::string base = "http://127.0.0.1:" + std::to_string(m_options.sitePort());

    if (path == "services/apps/velmora/createtestaccount.php") {
        const std::string email = q.value("email");
        std::string seccode;
        std::string text;
        if (email.empty() || email.find('@') == std::string::npos)
            text = "Value email is empty or wrong";
        else
            switch (m_accounts.createTestAccount(email, seccode)) {
            case Accounts::Creation::Created:
                text = "Test account was created. Email: " + email + " Seccode: " + seccode +
                       " (valid till 202603). Use them on page SETTINGS, panel Connect to WebService.";
                break;
            case Accounts::Creation::AlreadyUsed:
                text = "This email already using/used WebService";
                break;
            case Accounts::Creation::NotPermitted:
                text = "In my permitted contact list not found this email address";
                break;
            }
        res.set_content(text, "text/plain; charset=utf-8");
    } else if (path == "contact-us") {
        res.set_content(page("Contact us", "<form><p>From: <input name=\"from\" value=\"" + html(q.value("from")) +
                                               "\"></p><p><textarea name=\"message\" rows=\"12\" cols=\"80\">" +
                                               html(q.value("message")) +
                                               "</textarea></p><input type=\"hidden\" "
                                               "name=\"id_contact\" value=\"" +
                                               html(q.value("id_contact")) + "\"><button>Send</button></form>"),
                        "text/html; charset=utf-8");
    } else if (path == "buy/catalog" || path == "buy/compare" || path == "buy/analysis") {
        const std::string what = path == "buy/catalog"   ? "Catalog web service"
                                 : path == "buy/compare" ? "Comparator prices"
                                                         : "Ebay | Amazon analizator prices";
        res.set_content(page(what + ": new client | extend service",
                             "<p>Account: " + html(q.value("email")) +
                                 "</p><p>1 month, 6 months or 12 months of service. This is a stand-in page: nothing "
                                 "is sold here.</p>"),
                        "text/html; charset=utf-8");
    } else if (path == "services/catalog" || path == "services/server" || path == "services/compareprice") {
        // The "about" links of the settings page.
        const std::string what = path == "services/catalog"  ? "Catalog web service"
                                 : path == "services/server" ? "The server behind the web service"
                                                             : "Price services: comparator and analizator";
        res.set_content(page(what, "<p>A stand-in page of the vendor's web site.</p>"), "text/html; charset=utf-8");
    } else if (path == "services/apps/velmora/freepricelists.txt") {
        std::string out;
        for (const PriceListFile& f : m_data.priceLists)
            out += "<country>" + f.country + "</country><email>" + f.email + "</email><url>" + base + "/pricelists/" +
                   pathEncode(f.name) + "</url><renameto>" + f.renameto + "</renameto><addbrand>" + f.addbrand +
                   "</addbrand><addreference>" + f.addreference + "</addreference><addprice>" + f.addprice +
                   "</addprice>\r\n";
        // One supplier publishes by FTP, with its own name for the downloaded file.
        out += "<country>AT</country><email>ftp@partsworld.example</email><url>ftp://127.0.0.1:" +
               std::to_string(m_options.ftpPort()) +
               "/pricelists/partsworld-stock.csv</url><renameto>PARTSWORLD</renameto><addbrand></addbrand>"
               "<addreference></addreference><addprice></addprice>\r\n";
        res.set_content(out, "text/plain; charset=utf-8");
    } else if (path == "download/versionhistoryforvelmora.txt") {
        res.set_content("\"VELMORA\" " + m_options.publishedVersion +
                            " released\r\n"
                            "  - price services: site lists and account check\r\n"
                            "  - catalog export as CSV, XML and JSON\r\n"
                            "\"VELMORA\" 0.9.0 released\r\n"
                            "  - first public test version\r\n",
                        "text/plain; charset=utf-8");
    } else if (path == "services/apps/velmora/Velmora.exe") {
        if (const auto program = fileContent(m_options.programFile)) {
            res.set_content(*program, "application/octet-stream");
        } else {
            res.status = 404;
            res.set_content("Not Found\n", "text/plain");
        }
    } else if (path == "services/apps/velmora/Velmora.exe.minisig") {
        const auto program = fileContent(m_options.programFile);
        if (program && m_updateKey) {
            // minisign's own trusted comment, and the version this file is published as.
            const std::string comment = "timestamp:" + std::to_string(std::time(nullptr)) +
                                        "\tfile:Velmora.exe\tversion:" + m_options.publishedVersion;
            res.set_content(MinisignSign(*m_updateKey, *program, comment), "text/plain");
        } else {
            res.status = 404;
            res.set_content("Not Found\n", "text/plain");
        }
    } else if (path.rfind("pricelists/", 0) == 0) {
        const std::string name = path.substr(11);
        for (const PriceListFile& f : m_data.priceLists)
            if (f.name == name) {
                const bool xlsx = name.size() > 5 && name.compare(name.size() - 5, 5, ".xlsx") == 0;
                res.set_content(f.content, xlsx ? "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"
                                                : "text/csv; charset=utf-8");
                return;
            }
        res.status = 404;
        res.set_content("Not Found\n", "text/plain");
    } else if (path.rfind("offers/", 0) == 0) {
        res.set_content(page("Offer " + path.substr(7), "<p>A stand-in offer page of an e-platform.</p>"),
                        "text/html; charset=utf-8");
    } else if (path.empty() || path == "index.html") {
        std::string list;
        for (const PriceListFile& f : m_data.priceLists)
            list += "<li><a href=\"/pricelists/" + pathEncode(f.name) + "\">" + html(f.name) + "</a></li>";
        res.set_content(
            page("Velmora", "<ul><li><a href=\"/download/versionhistoryforvelmora.txt\">Version history</a></li>"
                            "<li><a href=\"/services/apps/velmora/freepricelists.txt\">Free price lists</a></li>"
                            "<li><a href=\"/contact-us\">Contact us</a></li></ul><h2>Price lists</h2><ul>" +
                                list + "</ul>"),
            "text/html; charset=utf-8");
    } else {
        res.status = 404;
        res.set_content("Not Found\n", "text/plain");
    }
}
