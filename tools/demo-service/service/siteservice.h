#pragma once

#include "accounts.h"
#include "catalogdata.h"
#include "options.h"

#include "common/minisign.h"

#include <httplib.h>

#include <optional>

// The vendor's web site and download server: test accounts, contact and purchase pages, the
// free price list catalogue with its files, the version history and the program download with
// its signature.
class SiteService {
public:
    SiteService(const CatalogData& data, Accounts& accounts, const Options& options);

    void handle(const httplib::Request& req, httplib::Response& res) const;

private:
    const CatalogData& m_data;
    Accounts& m_accounts;
    const Options& m_options;
    // Signs the program download, as the vendor does; nothing when the key could not be read.
    std::optional<MinisignKey> m_updateKey;
};
