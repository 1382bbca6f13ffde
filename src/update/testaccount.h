#pragma once

#include <QString>

class Desktop;
class Dialogs;
struct Endpoints;

// The answer body of a GET as text, or empty unless the status phrase is OK.
QString GetSiteText(const QString& address);

// The account server's address for a test account; the address is percent-encoded, since a
// valid quoted local part may hold blanks, quotes and "&".
QString TestAccountRequestUrl(const QString& siteUrl, const QString& email);

// "Create test account": checks the address, asks the vendor's account server and reacts to its
// answer (shows it, or offers the contact page or the purchase page).
void RequestTestAccount(const QString& emailText, const Endpoints& endpoints, Dialogs& dialogs, Desktop& desktop);
