#pragma once

#include <QString>

class IniFile;

// The vendor's service host, the one name behind the catalog, price and demo ports.
inline constexpr const char* kServiceHost = "services.velmora.example";
// The vendor's web site and download server.
inline constexpr const char* kSiteHost = "www.velmora.example";
// The demo account of the demo catalog server.
inline constexpr const char* kDemoEmail = "demo@velmora.test";
inline constexpr const char* kDemoSeccode = "@nrvqlzkxtbwm@";

// Base addresses of the vendor's services. Section [service] of the settings file may override
// each one (catalog_url, price_url, demo_url, site_url, download_url); the program never writes
// that section.
struct Endpoints {
    QString catalogUrl;  // ends with "/"
    QString priceUrl;    // ends with "/"
    QString demoUrl;     // ends with "/"
    QString siteUrl;     // no trailing "/"
    QString downloadUrl; // no trailing "/"

    static Endpoints defaults();
    static Endpoints fromIni(const IniFile& ini);
    static Endpoints fromIniFile(const QString& path);
};
