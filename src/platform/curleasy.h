#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <curl/curl.h>

#include <optional>

// One libcurl easy handle, with the settings every transfer of the program shares: never a
// proxy, no signals, and a limit on how long the connection may stay without progress.
class CurlEasy {
public:
    CurlEasy();
    ~CurlEasy();
    CurlEasy(const CurlEasy&) = delete;
    CurlEasy& operator=(const CurlEasy&) = delete;

    bool isValid() const { return m_curl != nullptr; }
    CURL* handle() const { return m_curl; }

    template <class T> void set(CURLoption option, T value) { curl_easy_setopt(m_curl, option, value); }
    void setUrl(const QString& url);
    // Connecting, and any stretch without a byte received, give up after this many seconds.
    void setNoProgressLimit(int seconds);
    // Extra request lines; the handle keeps them until it is destroyed.
    void setHeaders(const QList<QByteArray>& lines);
    // The request head the vendor's services expect: HTTP/1.0 on a fresh connection, the given
    // User-Agent, keep-alive (or close) and no Accept line of curl's own; no redirects.
    void setServiceHttpHead(const QByteArray& userAgent, bool keepAlive);
    CURLcode perform();

private:
    CURL* m_curl = nullptr;
    curl_slist* m_headers = nullptr;
    QByteArray m_url;
};

// The address as it goes on the wire: the bytes that cannot stand in a request target (blank,
// control characters, anything beyond ASCII, taken as UTF-8, and the '#' that would end it) are
// percent-encoded; every other character is sent exactly as given, so the server reads the
// values the program took from its answers.
QByteArray wireAddress(const QString& url);

// The code and reason phrase of a status line ("HTTP/1.1 200 OK"); nothing for other lines.
struct StatusLine {
    int code = 0;
    QString reason;
};
std::optional<StatusLine> ParseStatusLine(const QByteArray& line);
