#pragma once

#include <string>
#include <string_view>

// A catalog answer in the vendor's pretty-printed layout, which the client reads line by line:
// records open with three tabs and "{" (the first) or ",{" (the others), one field per line with
// four tabs, the key quoted, ": ", and the value always quoted, numbers included.
class CatalogAnswer {
public:
    CatalogAnswer(std::string_view function, std::string_view status);

    void beginRecord();
    void field(std::string_view key, std::string_view value);
    void field(std::string_view key, long long value);
    // Closes the layout; the text is complete afterwards.
    std::string finish();

private:
    void closeRecord();

    std::string m_head;
    std::string m_body;
    int m_records = 0;
    bool m_fieldOpen = false;
};

// A value as it may stand between JSON quotes: quotes and backslashes escaped, control
// characters dropped, so that no value can break a line of the layout.
void AppendJsonValue(std::string& out, std::string_view value);
