#pragma once

#include "accounts.h"
#include "catalogdata.h"

#include <httplib.h>

#include <mutex>
#include <string>
#include <unordered_map>

// The shop price comparison ("COMPAREPRICE") and e-platform price analysis ("EBAYANALIZ")
// services with their site list. Prices are derived from the request, so answers repeat; with a
// drift, every further ask of the same question is one step on (as a run on the next day would
// be): each offer moves by up to `drift` percent and some sellers come and go, the same way
// every time the service is started.
class PriceService {
public:
    PriceService(const CatalogData& data, const Accounts& accounts, int sitePort, int drift = 0);

    void handle(const httplib::Request& req, httplib::Response& res);

private:
    std::string answer(const std::string& service, const std::string& status, const std::string& site,
                       const std::string& brand, const std::string& part, bool withOffers, int step) const;
    // How often this question was asked before.
    int nextStep(const std::string& question);

    const CatalogData& m_data;
    const Accounts& m_accounts;
    int m_sitePort;
    int m_drift;
    std::mutex m_mutex;
    std::unordered_map<std::string, int> m_asked;
};
