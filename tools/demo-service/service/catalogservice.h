#pragma once

#include "accounts.h"
#include "catalogdata.h"

#include <httplib.h>

// The catalog service (regular) and the demo catalog server (demo account only, brands ATE and
// FEBI BILSTEIN for AUDI, BMW and MERCEDES-BENZ only).
class CatalogService {
public:
    CatalogService(const CatalogData& data, const Accounts& accounts, bool demo, int port);

    void handle(const httplib::Request& req, httplib::Response& res) const;

private:
    bool makerVisible(int mfaid) const;
    bool brandVisible(int braid) const;
    bool typeVisible(const VehicleType& t) const;
    bool productVisible(const Product& p) const { return brandVisible(p.braid); }

    const CatalogData& m_data;
    const Accounts& m_accounts;
    bool m_demo;
    int m_port;
};
