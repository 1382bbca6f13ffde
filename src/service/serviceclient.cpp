#include "service/serviceclient.h"

#include "platform/dialogs.h"
#include "platform/httpexchange.h"
#include "service/requestlog.h"
#include "service/textfunctions.h"

#include <QDateTime>

#include <bit>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

ServiceClient::ServiceClient(const Endpoints& endpoints, RequestLog& log, Dialogs& dialogs, AccountSource& account)
    : m_endpoints(endpoints), m_log(log), m_dialogs(dialogs), m_account(account),
      m_catalogBaseUrl(endpoints.catalogUrl), m_priceServiceBaseUrl(endpoints.priceUrl) {}

QByteArray ServiceClient::exchange(const QString& baseUrl, const QString& request, bool catalog) {
    const HttpResult result = HttpGet(baseUrl + request);
    if (catalog) {
        m_offeredDemoServer = false;
        m_catalogExchangeFailed = !result.ok();
    }
    if (!result.ok()) {
        m_log.AppendLogLine(FailedLogLine(QDateTime::currentDateTime(), baseUrl, request, result.reason));
        if (m_failureHook)
            m_failureHook(catalog);
        return QByteArray();
    }
    if (catalog && holdsTestClientMarker(result.body)) {
        m_offeredDemoServer = true;
        OfferDemoServer();
        return QByteArray();
    }
    m_log.AppendLogLine(AnsweredLogLine(QDateTime::currentDateTime(), baseUrl, request));
    return result.body;
}

namespace {
// The marker opens with a quote, of which an answer is full; its "T" with a colon five bytes on
// is rare, so candidates are the places where both stand, sixteen places at a time.
constexpr std::string_view kMarker(kTestClientMarker);
constexpr qsizetype kProbe1 = qsizetype(kMarker.find('T'));
constexpr qsizetype kProbe2 = qsizetype(kMarker.find(':'));
static_assert(kProbe1 < kProbe2 && kProbe2 < qsizetype(kMarker.size()));

inline bool markerAt(const char* at) {
    return std::memcmp(at, kMarker.data(), kMarker.size()) == 0;
}
} // namespace

bool holdsTestClientMarker(QByteArrayView answer) {
    const qsizetype starts = answer.size() - qsizetype(kMarker.size()) + 1; // places the marker could start
    const char* const data = answer.data();
    qsizetype at = 0;
#if defined(__SSE2__)
    const __m128i probe1 = _mm_set1_epi8(kMarker[std::size_t(kProbe1)]);
    const __m128i probe2 = _mm_set1_epi8(kMarker[std::size_t(kProbe2)]);
    for (; at + 16 <= starts; at += 16) {
        const __m128i bytes1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + kProbe1));
        const __m128i bytes2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + kProbe2));
        unsigned mask =
            unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(bytes1, probe1), _mm_cmpeq_epi8(bytes2, probe2))));
        for (; mask; mask &= mask - 1)
            if (markerAt(data + at + std::countr_zero(mask)))
                return true;
    }
#endif
    for (; at < starts; ++at)
        if (data[at + kProbe1] == kMarker[std::size_t(kProbe1)] && markerAt(data + at))
            return true;
    return false;
}

QString ServiceClient::CatalogRequest(const QString& request) {
    return StreamToUtf8Text(catalogAnswer(request));
}

QByteArray ServiceClient::catalogAnswer(const QString& request) {
    return exchange(m_catalogBaseUrl, request, true);
}

QString ServiceClient::PriceServiceRequest(const QString& request) {
    return StreamToUtf8Text(exchange(m_priceServiceBaseUrl, request, false));
}

void ServiceClient::OfferDemoServer() {
    const QString text =
        QStringLiteral("Client for work with WebService is not registered ! You can send request for create test "
                       "account (on page[SETTINGS] => panel[Connect to WebService] => button[Create test account]) "
                       "or do reconnect with demo server. ") +
        QStringLiteral("\r\n") + QString(37, QLatin1Char('-')) + QStringLiteral("\r\n") +
        QStringLiteral("Do recconnec with demo test webservice (email and seccode will replace on demo data, and "
                       "there will only data for ATE and FEBI BILSTEIN that using for AUDI, BMW and MERCEDES-BENZ) "
                       "??? ");
    if (!m_dialogs.confirm(text))
        return;
    m_catalogBaseUrl = m_endpoints.demoUrl;
    m_account.setAccount(QString::fromLatin1(kDemoEmail), QString::fromLatin1(kDemoSeccode));
}

QString ServiceClient::StandardParameters() const {
    return QLatin1String("format=json&lang=") + m_account.lang() + QLatin1String("&email=") + Trim(m_account.email()) +
           QLatin1String("&seccode=") + Trim(m_account.seccode());
}

QString ServiceClient::ListRequest(const QString& function, const QString& own) const {
    return function + QLatin1Char('?') + StandardParameters() + own;
}

QString ServiceClient::KeyRequest(const QString& function, const QString& keyPiece) const {
    return function + QLatin1Char('?') + keyPiece + QLatin1Char('&') + StandardParameters();
}
