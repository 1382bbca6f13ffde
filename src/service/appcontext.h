#pragma once

#include <QString>

class AppPaths;
class Desktop;
class Dialogs;
class RequestLog;
class ServiceClient;
struct Endpoints;

// Texts of bracketed entries ("[BOSCH][INA]") held for the whole run; a value is looked up by
// searching "[" + value + "]". The window keeps them: it loads them and sets a text when the
// panel that edits it says so.
struct SharedTexts {
    QString NecessaryBrands;
    QString CompareShopIds;
    QString AnalysisShopIds;
};

// What every panel gets: the service client and the seams. Holds no panel and no widget.
struct AppContext {
    ServiceClient* service = nullptr;
    RequestLog* log = nullptr;
    Dialogs* dialogs = nullptr;
    Desktop* desktop = nullptr;
    const AppPaths* paths = nullptr;
    const Endpoints* endpoints = nullptr;
    const SharedTexts* texts = nullptr;
    // major.minor.release, empty when the program carries no version.
    QString versionText;
};
