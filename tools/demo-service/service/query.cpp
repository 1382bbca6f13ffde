#include "query.h"

#include <charconv>

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string PercentDecode(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string NormalizeNumber(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c >= 'a' && c <= 'z')
            out += static_cast<char>(c - 'a' + 'A');
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            out += c;
    }
    return out;
}

std::string ToLowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

Query::Query(const std::string& target) {
    const size_t question = target.find('?');
    std::string path = target.substr(0, question);
    while (!path.empty() && path.front() == '/')
        path.erase(path.begin());
    m_function = PercentDecode(path);
    if (question == std::string::npos)
        return;
    const std::string query = target.substr(question + 1);
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos)
            end = query.size();
        const std::string pair = query.substr(start, end - start);
        if (!pair.empty()) {
            const size_t eq = pair.find('=');
            if (eq == std::string::npos)
                m_pairs.emplace_back(PercentDecode(pair), std::string());
            else
                m_pairs.emplace_back(PercentDecode(pair.substr(0, eq)), PercentDecode(pair.substr(eq + 1)));
        }
        start = end + 1;
    }
}

bool Query::has(const std::string& key) const {
    for (const auto& [k, v] : m_pairs)
        if (k == key)
            return true;
    return false;
}

std::string Query::value(const std::string& key) const {
    for (const auto& [k, v] : m_pairs)
        if (k == key)
            return v;
    return {};
}

int Query::integer(const std::string& key, int fallback) const {
    const std::string text = value(key);
    int result = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    while (begin < end && *begin == ' ')
        ++begin;
    const auto [ptr, ec] = std::from_chars(begin, end, result);
    if (ec != std::errc() || ptr == begin)
        return fallback;
    return result;
}
