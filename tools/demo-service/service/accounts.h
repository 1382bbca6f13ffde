#pragma once

#include <mutex>
#include <set>
#include <string>

// The sample accounts. Statuses carry dates as six digits, year and month.
namespace SampleAccounts {
inline constexpr const char* kTraderEmail = "trader@velmora.test";
inline constexpr const char* kTraderSeccode = "trader-2026";
inline constexpr const char* kCompareEmail = "compare@velmora.test";
inline constexpr const char* kCompareSeccode = "compare-2026";
inline constexpr const char* kAnalysisEmail = "analiz@velmora.test";
inline constexpr const char* kAnalysisSeccode = "analiz-2026";
inline constexpr const char* kExpiredEmail = "expired@velmora.test";
inline constexpr const char* kExpiredSeccode = "expired-2025";
inline constexpr const char* kDemoEmail = "demo@velmora.test";
inline constexpr const char* kDemoSeccode = "@nrvqlzkxtbwm@";

inline constexpr const char* kPaidStatus = "paid client till 202612";
inline constexpr const char* kTrialStatus = "trial client till 202603";
inline constexpr const char* kExpiredStatus = "expired 202512";
inline constexpr const char* kDemoStatus = "demo client";
inline constexpr const char* kTestClient = "test client";
inline constexpr const char* kNotRegistered = "not registered";
} // namespace SampleAccounts

struct AccountState {
    std::string status;
    bool known = false;   // false: the account gets the "test client" answer
    bool hasData = false; // true: records are served
};

// Accounts of the catalog, demo and price services, plus test accounts created through the web
// site while the service runs.
class Accounts {
public:
    AccountState catalog(const std::string& email, const std::string& seccode) const;
    AccountState demo(const std::string& email, const std::string& seccode) const;
    AccountState price(const std::string& service, const std::string& email, const std::string& seccode) const;

    enum class Creation { Created, AlreadyUsed, NotPermitted };
    // The security code of a created account is written into `seccode`.
    Creation createTestAccount(const std::string& email, std::string& seccode);

private:
    bool isTestAccount(const std::string& email, const std::string& seccode) const;

    mutable std::mutex m_mutex;
    std::set<std::string> m_created;
};

// The security code the web site hands out for a new test account.
std::string TestAccountSeccode(const std::string& email);
