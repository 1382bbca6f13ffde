#include "accounts.h"

#include "query.h"

#include <cstdint>

using namespace SampleAccounts;

namespace {

bool matches(const std::string& email, const std::string& seccode, const char* e, const char* s) {
    return ToLowerAscii(email) == e && seccode == s;
}

} // namespace

std::string TestAccountSeccode(const std::string& email) {
    uint32_t h = 2166136261u;
    for (char c : ToLowerAscii(email))
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return "trial-" + std::to_string(h % 900000 + 100000);
}

bool Accounts::isTestAccount(const std::string& email, const std::string& seccode) const {
    std::lock_guard lock(m_mutex);
    return m_created.count(ToLowerAscii(email)) && seccode == TestAccountSeccode(email);
}

AccountState Accounts::catalog(const std::string& email, const std::string& seccode) const {
    if (matches(email, seccode, kTraderEmail, kTraderSeccode))
        return {kPaidStatus, true, true};
    if (matches(email, seccode, kExpiredEmail, kExpiredSeccode))
        return {kExpiredStatus, true, false};
    if (isTestAccount(email, seccode))
        return {kTrialStatus, true, true};
    return {kTestClient, false, false};
}

AccountState Accounts::demo(const std::string& email, const std::string& seccode) const {
    if (matches(email, seccode, kDemoEmail, kDemoSeccode))
        return {kDemoStatus, true, true};
    return {kTestClient, false, false};
}

AccountState Accounts::price(const std::string& service, const std::string& email, const std::string& seccode) const {
    if (matches(email, seccode, kExpiredEmail, kExpiredSeccode))
        return {kExpiredStatus, true, false};
    if (service == "COMPAREPRICE" && matches(email, seccode, kCompareEmail, kCompareSeccode))
        return {kPaidStatus, true, true};
    if (service == "EBAYANALIZ" && matches(email, seccode, kAnalysisEmail, kAnalysisSeccode))
        return {kPaidStatus, true, true};
    return {kNotRegistered, false, false};
}

Accounts::Creation Accounts::createTestAccount(const std::string& email, std::string& seccode) {
    const std::string lower = ToLowerAscii(email);
    for (const char* used : {kTraderEmail, kCompareEmail, kAnalysisEmail, kExpiredEmail, kDemoEmail})
        if (lower == used)
            return Creation::AlreadyUsed;
    // Only addresses of the sample domains are on the vendor's permitted contact list.
    const size_t at = lower.rfind('@');
    const std::string domain = at == std::string::npos ? std::string() : lower.substr(at + 1);
    if (domain != "velmora.test" && domain != "example.com")
        return Creation::NotPermitted;
    std::lock_guard lock(m_mutex);
    if (!m_created.insert(lower).second)
        return Creation::AlreadyUsed;
    seccode = TestAccountSeccode(lower);
    return Creation::Created;
}
