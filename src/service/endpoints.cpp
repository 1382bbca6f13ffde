#include "service/endpoints.h"

#include "platform/inifile.h"

namespace {
QString withSlash(QString url) {
    return url.endsWith(QLatin1Char('/')) ? url : url + QLatin1Char('/');
}
QString withoutSlash(QString url) {
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    return url;
}
} // namespace

Endpoints Endpoints::defaults() {
    const QString host = QString::fromLatin1(kServiceHost);
    const QString site = QStringLiteral("http://") + QString::fromLatin1(kSiteHost);
    return {QStringLiteral("http://%1:100/").arg(host), QStringLiteral("http://%1:150/").arg(host),
            QStringLiteral("http://%1:200/").arg(host), site, site};
}

Endpoints Endpoints::fromIni(const IniFile& ini) {
    Endpoints e = defaults();
    const QString section = QStringLiteral("service");
    auto take = [&](const char* key, QString& field, bool slash) {
        const QString v = ini.text(section, QString::fromLatin1(key)).trimmed();
        if (!v.isEmpty())
            field = slash ? withSlash(v) : withoutSlash(v);
    };
    take("catalog_url", e.catalogUrl, true);
    take("price_url", e.priceUrl, true);
    take("demo_url", e.demoUrl, true);
    take("site_url", e.siteUrl, false);
    take("download_url", e.downloadUrl, false);
    return e;
}

Endpoints Endpoints::fromIniFile(const QString& path) {
    return fromIni(IniFile::load(path));
}
