#include "options.h"

#include <charconv>
#include <cstring>

namespace {

bool readInt(const char* text, int min, int max, int& out) {
    const char* end = text + std::strlen(text);
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text, end, value);
    if (ec != std::errc() || ptr != end || value < min || value > max)
        return false;
    out = value;
    return true;
}

} // namespace

const char* UsageText() {
    return "usage: velmora-demo-service [options]\n"
           "  --port-base P          FTP P+21, site P+80, catalog P+100, price P+150, demo P+200\n"
           "                         (default 18000; 0 gives the real ports 21, 80, 100, 150, 200)\n"
           "  --data PATH            sample catalog (SQLite) to serve\n"
           "  --latency-ms N         delay every answer by N milliseconds\n"
           "  --fail-every N         answer every Nth request with 500 Internal Server Error\n"
           "  --drop-every N         close every Nth connection before the status line\n"
           "  --published-version V  version announced by the version history (default 1.0.0)\n"
           "  --program-file PATH    executable served as the program update (default /bin/true)\n"
           "  --update-key PATH      minisign secret key that signs it (default: the stand-in's test key)\n"
           "  --scale N              serve every product N times (big lists for benchmarks)\n"
           "  --price-drift N        move every price offer by up to N percent each time its\n"
           "                         question is asked again, sellers coming and going (0: off)\n"
           "  --quiet                no line per request\n";
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            error = UsageText();
            return false;
        }
        if (i + 1 >= argc) {
            error = "missing value after " + arg;
            return false;
        }
        const char* value = argv[++i];
        bool ok = true;
        if (arg == "--port-base")
            ok = readInt(value, 0, 65535 - 200, options.portBase);
        else if (arg == "--data")
            options.dataPath = value;
        else if (arg == "--latency-ms")
            ok = readInt(value, 0, 600000, options.latencyMs);
        else if (arg == "--fail-every")
            ok = readInt(value, 0, 1000000000, options.failEvery);
        else if (arg == "--drop-every")
            ok = readInt(value, 0, 1000000000, options.dropEvery);
        else if (arg == "--published-version")
            options.publishedVersion = value;
        else if (arg == "--program-file")
            options.programFile = value;
        else if (arg == "--update-key")
            options.updateKeyFile = value;
        else if (arg == "--scale")
            ok = readInt(value, 1, 2000, options.scale);
        else if (arg == "--price-drift")
            ok = readInt(value, 0, 50, options.priceDrift);
        else {
            error = "unknown option " + arg;
            return false;
        }
        if (!ok) {
            error = "bad value for " + arg + ": " + value;
            return false;
        }
    }
    return true;
}
