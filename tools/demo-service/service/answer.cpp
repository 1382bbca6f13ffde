#include "answer.h"

void AppendJsonValue(std::string& out, std::string_view value) {
    for (char c : value) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) >= 0x20) {
            out += c;
        }
    }
}

CatalogAnswer::CatalogAnswer(std::string_view function, std::string_view status) {
    m_head = "{\n\t\"statusText\": \"";
    AppendJsonValue(m_head, status);
    m_head += "\",\n\t\"function\": \"";
    AppendJsonValue(m_head, function);
    m_head += "\",\n\t\"result\": {\n";
}

void CatalogAnswer::closeRecord() {
    if (m_records == 0)
        return;
    if (m_fieldOpen)
        m_body += '\n';
    m_body += "\t\t\t}\n";
    m_fieldOpen = false;
}

void CatalogAnswer::beginRecord() {
    closeRecord();
    m_body += m_records == 0 ? "\t\t\t{\n" : "\t\t\t,{\n";
    ++m_records;
}

void CatalogAnswer::field(std::string_view key, std::string_view value) {
    if (m_fieldOpen)
        m_body += ",\n";
    m_body += "\t\t\t\t\"";
    m_body += key;
    m_body += "\": \"";
    AppendJsonValue(m_body, value);
    m_body += '"';
    m_fieldOpen = true;
}

void CatalogAnswer::field(std::string_view key, long long value) {
    field(key, std::to_string(value));
}

std::string CatalogAnswer::finish() {
    closeRecord();
    std::string out = std::move(m_head);
    out += "\t\t\"count\": \"" + std::to_string(m_records) + "\",\n\t\t\"data\": [\n";
    out += m_body;
    out += "\t\t]\n\t}\n}\n";
    return out;
}
