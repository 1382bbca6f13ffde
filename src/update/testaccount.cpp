#include "update/testaccount.h"

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/httpexchange.h"
#include "service/endpoints.h"
#include "service/textfunctions.h"
#include "update/emailsyntax.h"

namespace {
const QString kNotPermitted = QStringLiteral("In my permitted contact list not found this email address");
const QString kAlreadyUsed = QStringLiteral("This email already using/used WebService");
} // namespace

QString GetSiteText(const QString& address) {
    const HttpResult result = HttpGet(address);
    return result.ok() ? StreamToUtf8Text(result.body) : QString();
}

QString TestAccountRequestUrl(const QString& siteUrl, const QString& email) {
    return siteUrl + QStringLiteral("/services/apps/velmora/createtestaccount.php?email=") + EncodeBrand(email);
}

void RequestTestAccount(const QString& emailText, const Endpoints& endpoints, Dialogs& dialogs, Desktop& desktop) {
    const QString email = Trim(emailText);
    if (email.isEmpty() || !CheckEmailSyntax(email)) {
        dialogs.information(QStringLiteral("Value \"email\" is empty or wrong !!!"));
        return;
    }
    const QString answer = GetSiteText(TestAccountRequestUrl(endpoints.siteUrl, email));
    if (IsBlank(answer)) {
        dialogs.information(QStringLiteral("Cannot to conect with account server ! Please try in some time again."));
        return;
    }
    if (answer.contains(kNotPermitted)) {
        if (dialogs.confirm(answer + QStringLiteral(" Send request ?"), Confirmation::Routine))
            desktop.open(PathEncode(endpoints.siteUrl +
                                    QStringLiteral("/contact-us?message=Please add my email address [") + email +
                                    QStringLiteral("] to permitted contact list&id_contact=1")));
        return;
    }
    if (answer.contains(kAlreadyUsed)) {
        if (dialogs.confirm(answer + QStringLiteral(" Open the page for extend use WebService (need use same email "
                                                    "address that was used first time) ?")))
            desktop.open(endpoints.siteUrl + QStringLiteral("/buy/catalog?email=") + EncodeBrand(email));
        return;
    }
    dialogs.information(answer);
}
