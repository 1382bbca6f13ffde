#pragma once

#include <string>
#include <utility>
#include <vector>

// The query of a request target, read the way the vendor's services read it: pairs split at "&"
// and "=", %XX decoded, "+" kept as it is (the client sends e-mail addresses unencoded).
class Query {
public:
    explicit Query(const std::string& target);

    // The path without its leading "/" (the function name for the catalog service).
    const std::string& function() const { return m_function; }
    bool has(const std::string& key) const;
    // The first value of the key; empty when absent.
    std::string value(const std::string& key) const;
    // The value as an integer; `fallback` when absent or not a number.
    int integer(const std::string& key, int fallback = 0) const;

private:
    std::string m_function;
    std::vector<std::pair<std::string, std::string>> m_pairs;
};

std::string PercentDecode(const std::string& text);
// Upper-case ASCII letters and digits only: how part and vehicle numbers are compared.
std::string NormalizeNumber(const std::string& text);
std::string ToLowerAscii(std::string text);
