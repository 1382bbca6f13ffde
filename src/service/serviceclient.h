#pragma once

#include "service/endpoints.h"

#include <QByteArray>
#include <QString>

#include <functional>

class Dialogs;
class RequestLog;

// Where the catalog account lives: the e-mail, security code and language controls of the
// settings page. Read at the moment a request text is built.
class AccountSource {
public:
    virtual ~AccountSource() = default;
    virtual QString email() const = 0;
    virtual QString seccode() const = 0;
    virtual QString lang() const = 0;
    virtual void setAccount(const QString& email, const QString& seccode) = 0;
};

// A plain account for tests and tools.
class FixedAccount : public AccountSource {
public:
    FixedAccount(QString email = {}, QString seccode = {}, QString lang = QStringLiteral("en"))
        : m_email(std::move(email)), m_seccode(std::move(seccode)), m_lang(std::move(lang)) {}
    QString email() const override { return m_email; }
    QString seccode() const override { return m_seccode; }
    QString lang() const override { return m_lang; }
    void setAccount(const QString& email, const QString& seccode) override {
        m_email = email;
        m_seccode = seccode;
    }
    void setLang(const QString& lang) { m_lang = lang; }

private:
    QString m_email, m_seccode, m_lang;
};

// The two request operations of the window thread: one GET each, one log line each, the
// answer body as text or empty on any failure.
class ServiceClient {
public:
    ServiceClient(const Endpoints& endpoints, RequestLog& log, Dialogs& dialogs, AccountSource& account);

    QString CatalogRequest(const QString& request);
    // The same request, the answer as received: UTF-8 bytes for the decoder, no text made of it.
    QByteArray catalogAnswer(const QString& request);
    QString PriceServiceRequest(const QString& request);
    // Asks whether to switch to the demo server; on Yes the catalog address and the account
    // boxes change to the demo ones.
    void OfferDemoServer();
    // The last catalog request met the "test client" answer and has already made the offer.
    bool lastRequestOfferedDemoServer() const { return m_offeredDemoServer; }
    // The last catalog exchange brought no answer at all (no connection, time-out, a broken
    // reply): its empty text says nothing about what the service holds. False after an
    // answer, an empty one included.
    bool lastCatalogExchangeFailed() const { return m_catalogExchangeFailed; }

    QString catalogBaseUrl() const { return m_catalogBaseUrl; }
    QString priceServiceBaseUrl() const { return m_priceServiceBaseUrl; }
    const Endpoints& endpoints() const { return m_endpoints; }
    AccountSource& account() const { return m_account; }
    // Told after an exchange that brought no answer (true: the catalog service, false: the price
    // services), besides its log line.
    void setFailureHook(std::function<void(bool catalog)> hook) { m_failureHook = std::move(hook); }

    // "format=json&lang=…&email=…&seccode=…" with the account's current values; e-mail and
    // security code trimmed and not encoded.
    QString StandardParameters() const;
    // function + "?" + standard parameters + own parameters ("&year=1998…").
    QString ListRequest(const QString& function, const QString& own = QString()) const;
    // function + "?" + keyPiece ("typid=5", "search=…") + "&" + standard parameters.
    QString KeyRequest(const QString& function, const QString& keyPiece) const;

private:
    QByteArray exchange(const QString& baseUrl, const QString& request, bool catalog);

    Endpoints m_endpoints;
    RequestLog& m_log;
    Dialogs& m_dialogs;
    AccountSource& m_account;
    QString m_catalogBaseUrl;
    QString m_priceServiceBaseUrl;
    std::function<void(bool)> m_failureHook;
    bool m_offeredDemoServer = false;
    bool m_catalogExchangeFailed = false;
};

// What a search says when its exchange failed, in place of "not found": nothing was searched.
inline constexpr const char* kCatalogNoAnswer = "The catalog service did not answer, nothing was searched !!!";

// The 26-character marker of an unregistered account in a catalog answer.
inline constexpr const char* kTestClientMarker = "\"statusText\": \"test client";
// Whether the answer's bytes hold the marker. It is ASCII, so it stands in the bytes exactly
// where it stands in the text.
bool holdsTestClientMarker(QByteArrayView answer);
