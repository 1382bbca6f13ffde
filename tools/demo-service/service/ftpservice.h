#pragma once

#include "catalogdata.h"

#include <atomic>
#include <string>
#include <thread>

// Sample accounts of the download server: no user (or "anonymous") with any password, and one
// supplier login for links that carry a user name and a password.
namespace SampleFtp {
inline constexpr const char* kSupplierUser = "supplier";
inline constexpr const char* kSupplierPassword = "supplier-2026";
} // namespace SampleFtp

// A small FTP server on 127.0.0.1 that serves the sample price lists as /pricelists/NAME:
// login, the set-up commands, passive mode and RETR, which is all a price list download needs.
class FtpService {
public:
    FtpService(const CatalogData& data, int port, bool quiet);
    ~FtpService();

    bool bind();
    void start();
    void stop();
    int port() const { return m_port; }

private:
    void acceptLoop();
    void session(int control) const;
    const PriceListFile* file(const std::string& cwd, const std::string& path) const;

    const CatalogData& m_data;
    int m_port;
    bool m_quiet;
    int m_listener = -1;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};
