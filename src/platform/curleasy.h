#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <curl/curl.h>

#include <optional>

// How long and how much a transfer may take. A server that trickles or never ends is cut off by
// the low-speed limit, the overall deadline or the size cap, whichever comes first.
struct TransferLimits {
    // Connecting, and any stretch of this many seconds below the low speed, give up.
    int noProgressSeconds = 90;
    // Bytes a second the transfer must average over each stretch of noProgressSeconds.
    long lowSpeedBytes = 1;
    // The whole transfer, connecting included; 0 for none.
    int deadlineSeconds = 0;
    // An announced or received body beyond this fails the transfer; 0 for none.
    qint64 maxBytes = 0;
};

// Ends every transfer of the program, running or still to start, within about a second: the
// program is being terminated. Safe to call from a signal handler. Tests clear it again.
void setAllTransfersCancelled(bool cancelled);
bool allTransfersCancelled();

// One libcurl easy handle, with the settings every transfer of the program shares: never a
// proxy, no signals, limits on time and size, and the program-wide cancel.
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
    void setLimits(const TransferLimits& limits);
    // Connecting, and any stretch without a byte received, give up after this many seconds.
    void setNoProgressLimit(int seconds);
    // `callback` is asked about once a second and at every progress; non-zero aborts. Every
    // transfer is aborted once all transfers are cancelled, whatever the callback says.
    void setProgressCallback(int (*callback)(void* user, qint64 received, qint64 total), void* user);
    // Extra request lines; the handle keeps them until it is destroyed.
    void setHeaders(const QList<QByteArray>& lines);
    // The request head the vendor's services expect: HTTP/1.0 on a fresh connection, the given
    // User-Agent, keep-alive (or close) and no Accept line of curl's own; no redirects.
    void setServiceHttpHead(const QByteArray& userAgent, bool keepAlive);
    CURLcode perform();

private:
    static int onProgress(void* self, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t);

    CURL* m_curl = nullptr;
    int (*m_progress)(void*, qint64, qint64) = nullptr;
    void* m_progressUser = nullptr;
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
