#pragma once

#include <string>

struct Options {
    // FTP downloads on +21, site and downloads on +80, catalog +100, price services +150, demo catalog +200.
    int portBase = 18000;
    std::string dataPath;
    int latencyMs = 0;
    int failEvery = 0;
    int dropEvery = 0;
    bool quiet = false;
    std::string publishedVersion = "1.0.0";
    // The executable served as the program update: any small program of this platform.
    std::string programFile = "/bin/true";
    // The secret key (minisign, without password) that signs the program update; empty chooses
    // the stand-in's test key.
    std::string updateKeyFile;
    int scale = 1;
    // The most, in percent, each price offer moves every time the same question is asked again.
    int priceDrift = 0;

    int ftpPort() const { return portBase + 21; }
    int sitePort() const { return portBase + 80; }
    int catalogPort() const { return portBase + 100; }
    int pricePort() const { return portBase + 150; }
    int demoPort() const { return portBase + 200; }
};

// Fills `options` from the command line; false with a message in `error` on a bad argument.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);
const char* UsageText();
