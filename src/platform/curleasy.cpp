#include "platform/curleasy.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

// Constant-initialised and lock-free, so a signal handler may set it.
std::atomic<bool> g_allCancelled{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void ensureCurlInitialised() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

void setAllTransfersCancelled(bool cancelled) {
    g_allCancelled.store(cancelled);
}

bool allTransfersCancelled() {
    return g_allCancelled.load();
}

CurlEasy::CurlEasy() {
    ensureCurlInitialised();
    m_curl = curl_easy_init();
    if (!m_curl)
        return;
    set(CURLOPT_NOSIGNAL, 1L);
    // Always the server itself, whatever proxy the environment names.
    set(CURLOPT_PROXY, "");
    set(CURLOPT_XFERINFOFUNCTION, &CurlEasy::onProgress);
    set(CURLOPT_XFERINFODATA, this);
    set(CURLOPT_NOPROGRESS, 0L);
}

CurlEasy::~CurlEasy() {
    if (m_curl)
        curl_easy_cleanup(m_curl);
    curl_slist_free_all(m_headers);
}

void CurlEasy::setUrl(const QString& url) {
    m_url = wireAddress(url);
    set(CURLOPT_URL, m_url.constData());
}

void CurlEasy::setLimits(const TransferLimits& limits) {
    set(CURLOPT_CONNECTTIMEOUT, long(limits.noProgressSeconds));
    set(CURLOPT_LOW_SPEED_LIMIT, std::max(1L, limits.lowSpeedBytes));
    set(CURLOPT_LOW_SPEED_TIME, long(limits.noProgressSeconds));
    set(CURLOPT_TIMEOUT, long(std::max(0, limits.deadlineSeconds)));
    set(CURLOPT_MAXFILESIZE_LARGE, curl_off_t(std::max<qint64>(0, limits.maxBytes)));
}

void CurlEasy::setNoProgressLimit(int seconds) {
    TransferLimits limits;
    limits.noProgressSeconds = seconds;
    setLimits(limits);
}

void CurlEasy::setProgressCallback(int (*callback)(void*, qint64, qint64), void* user) {
    m_progress = callback;
    m_progressUser = user;
}

int CurlEasy::onProgress(void* self, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
    const auto* curl = static_cast<const CurlEasy*>(self);
    if (g_allCancelled.load())
        return 1;
    return curl->m_progress ? curl->m_progress(curl->m_progressUser, qint64(now), qint64(total)) : 0;
}

void CurlEasy::setHeaders(const QList<QByteArray>& lines) {
    curl_slist_free_all(m_headers);
    m_headers = nullptr;
    for (const QByteArray& line : lines)
        m_headers = curl_slist_append(m_headers, line.constData());
    set(CURLOPT_HTTPHEADER, m_headers);
}

void CurlEasy::setServiceHttpHead(const QByteArray& userAgent, bool keepAlive) {
    QList<QByteArray> lines;
    if (keepAlive)
        lines << "Keep-Alive: 300"
              << "Connection: keep-alive";
    else
        lines << "Connection: close";
    lines << "User-Agent: " + userAgent;
    lines << "Accept:"; // drops curl's own Accept line
    setHeaders(lines);
    set(CURLOPT_HTTPGET, 1L);
    set(CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    set(CURLOPT_FOLLOWLOCATION, 0L);
    set(CURLOPT_FORBID_REUSE, 1L);
    set(CURLOPT_FRESH_CONNECT, 1L);
    set(CURLOPT_HTTP09_ALLOWED, 1L);
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
}

CURLcode CurlEasy::perform() {
    if (!m_curl)
        return CURLE_FAILED_INIT;
    // Nothing starts once the program is being terminated.
    if (g_allCancelled.load())
        return CURLE_ABORTED_BY_CALLBACK;
    return curl_easy_perform(m_curl);
}

std::optional<StatusLine> ParseStatusLine(const QByteArray& raw) {
    const QByteArray line = raw.trimmed();
    if (line.size() < 5 || line.left(5).toUpper() != "HTTP/")
        return std::nullopt;
    StatusLine status;
    const qsizetype firstBlank = line.indexOf(' ');
    const QByteArray rest = firstBlank < 0 ? QByteArray() : line.mid(firstBlank + 1);
    const qsizetype secondBlank = rest.indexOf(' ');
    status.code = (secondBlank < 0 ? rest : rest.left(secondBlank)).toInt();
    status.reason = secondBlank < 0 ? QString() : QString::fromLatin1(rest.mid(secondBlank + 1)).trimmed();
    return status;
}

QByteArray wireAddress(const QString& url) {
    static const char kHex[] = "0123456789ABCDEF";
    const QByteArray bytes = url.toUtf8();
    QByteArray wire;
    wire.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        // A '#' would end the target: the transfer library cuts it and what follows off.
        if (byte <= 0x20 || byte >= 0x7F || c == '#') {
            wire += '%';
            wire += kHex[byte >> 4];
            wire += kHex[byte & 0x0F];
        } else {
            wire += c;
        }
    }
    return wire;
}
