#pragma once

#include "accounts.h"
#include "catalogdata.h"

#include <httplib.h>

// The shop price comparison ("COMPAREPRICE") and e-platform price analysis ("EBAYANALIZ")
// services with their site list. Prices are derived from the request, so answers repeat.
class PriceService {
public:
    PriceService(const CatalogData& data, const Accounts& accounts, int sitePort);

    void handle(const httplib::Request& req, httplib::Response& res) const;

private:
    std::string answer(const std::string& service, const std::string& status, const std::string& site,
                       const std::string& brand, const std::string& part, bool withOffers) const;

    const CatalogData& m_data;
    const Accounts& m_accounts;
    int m_sitePort;
};
