#include "server/options.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "version.h"

namespace quintelle::server {
namespace {

bool parseInt(const std::string& text, int low, int high, int& out) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
    if (value < low || value > high) return false;
    out = value;
    return true;
}

// "HOST:PORT", "[IPv6]:PORT" or ":PORT" (all addresses).
bool parseListen(const std::string& text, std::string& host, int& port) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    std::string name = text.substr(0, colon);
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
        name = name.substr(1, name.size() - 2);
    } else if (name.find(':') != std::string::npos) {
        return false;  // a bare IPv6 address is ambiguous without brackets
    }
    if (!parseInt(text.substr(colon + 1), 0, 65535, port)) return false;
    host = name.empty() ? "0.0.0.0" : name;
    return true;
}

// "http://" or "https://", a host, and an optional port and path: plain
// printable text that needs no escaping in a link.
bool validPublicUrl(const std::string& url) {
    std::size_t scheme = url.starts_with("http://") ? 7 : url.starts_with("https://") ? 8 : 0;
    if (scheme == 0 || url.size() == scheme || url[scheme] == '/') return false;
    return std::all_of(url.begin(), url.end(), [](char c) {
        return c > ' ' && c < 0x7f &&
               std::string_view("\"'<>\\^`{|}?#").find(c) == std::string_view::npos;
    });
}

}  // namespace

std::string usageText() {
    return "Usage: quintelle-server [OPTION]...\n"
           "Serves Quintelle's online high-score list, Daily Deal, version text and\n"
           "installer.\n"
           "\n"
           "  --listen ADDRESS:PORT   where to accept connections (default 127.0.0.1:80);\n"
           "                          port 0 picks a free port, which is printed\n"
           "  --db TARGET             SQLite file (default quintelle-scores.db) or a\n"
           "                          postgresql://user@host/dbname address\n"
           "  --files DIR             folder holding qtlsetup.exe, the installer offered,\n"
           "                          and its signed qtlsetup.manifest\n"
           "  --version-text TEXT     current version of the game (default " +
           std::string(kVersion) + ")\n"
           "  --public-url URL        address players reach this service at, used for the\n"
           "                          pages' links (default: the --listen address)\n"
           "  --top N                 scores listed on the high-score page (default 100)\n"
           "  --posts-per-minute N    posts accepted from one address per minute\n"
           "                          (default 10; 0 for no limit)\n"
           "  --daily-sessions-per-hour N\n"
           "                          Daily Deal rounds one address may open an hour\n"
           "                          (default 20; 0 for no limit)\n"
           "  --par-playouts N        the expert's playouts per decision when it plays\n"
           "                          the day's deal for its par (default 15000)\n"
           "  --daily-keep-days N     days whose Daily Deal lists and grids are kept\n"
           "                          (default 400)\n"
           "  --trusted-proxy ADDRESS a reverse proxy whose X-Forwarded-For header names\n"
           "                          the client the limits count; repeat for each proxy.\n"
           "                          Without it that header is ignored\n"
           "  --connections-per-address N\n"
           "                          connections one address may hold open (default 32;\n"
           "                          0 for no limit; trusted proxies are not limited)\n"
           "  --request-timeout SECONDS\n"
           "                          time a client has to send a whole request (default 10)\n"
           "  --help                  show this text\n"
           "\n"
           "Behind a reverse proxy on the same machine, for example:\n"
           "  quintelle-server --listen 127.0.0.1:8080 --trusted-proxy 127.0.0.1 \\\n"
           "      --public-url http://scores.example.com\n"
           "with the proxy passing each client's address on, as nginx does with\n"
           "  proxy_set_header X-Forwarded-For $proxy_add_x_forwarded_for;\n";
}

std::string defaultPublicUrl(const std::string& host, int port) {
    if (host == "0.0.0.0" || host == "::") return {};
    std::string name = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return "http://" + name + (port == 80 ? "" : ":" + std::to_string(port));
}

std::variant<ServerOptions, EarlyExit> parseOptions(const std::vector<std::string>& args) {
    ServerOptions options;
    auto fail = [](const std::string& message) {
        return EarlyExit{"quintelle-server: " + message + "\nTry 'quintelle-server --help'.\n", 2};
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") return EarlyExit{usageText(), 0};
        bool known = option == "--listen" || option == "--db" || option == "--files" ||
                     option == "--version-text" || option == "--top" ||
                     option == "--posts-per-minute" || option == "--public-url" ||
                     option == "--trusted-proxy" || option == "--connections-per-address" ||
                     option == "--request-timeout" || option == "--daily-sessions-per-hour" ||
                     option == "--par-playouts" || option == "--daily-keep-days";
        if (!known) return fail("unknown option '" + option + "'");
        if (i + 1 == args.size()) return fail(option + " needs a value");
        const std::string& value = args[++i];
        if (option == "--listen") {
            if (!parseListen(value, options.host, options.port)) {
                return fail("--listen wants ADDRESS:PORT, such as 127.0.0.1:8080");
            }
        } else if (option == "--db") {
            if (value.empty()) return fail("--db needs a file or a postgresql:// address");
            options.db = value;
        } else if (option == "--files") {
            options.service.files = value;
        } else if (option == "--version-text") {
            options.service.versionText = value;
        } else if (option == "--top") {
            if (!parseInt(value, 1, 10000, options.service.top)) {
                return fail("--top wants a number from 1 to 10000");
            }
        } else if (option == "--public-url") {
            if (!validPublicUrl(value)) {
                return fail("--public-url wants an address such as http://scores.example.com");
            }
            options.service.publicUrl = value.substr(0, value.find_last_not_of('/') + 1);
        } else if (option == "--trusted-proxy") {
            if (canonicalAddress(value).empty()) {
                return fail("--trusted-proxy wants a numeric address, such as 127.0.0.1");
            }
            options.limits.trustedProxies.push_back(value);
        } else if (option == "--connections-per-address") {
            if (!parseInt(value, 0, 1000000, options.limits.connectionsPerAddress)) {
                return fail("--connections-per-address wants a number from 0 up");
            }
        } else if (option == "--request-timeout") {
            int seconds = 0;
            if (!parseInt(value, 1, 3600, seconds)) {
                return fail("--request-timeout wants a number of seconds from 1 to 3600");
            }
            options.limits.request = std::chrono::seconds(seconds);
        } else if (option == "--daily-sessions-per-hour") {
            if (!parseInt(value, 0, 1000000, options.service.daily.sessionsPerHour)) {
                return fail("--daily-sessions-per-hour wants a number from 0 up");
            }
        } else if (option == "--par-playouts") {
            if (!parseInt(value, 1, 10000000, options.service.daily.parPlayouts)) {
                return fail("--par-playouts wants a number from 1 up");
            }
        } else if (option == "--daily-keep-days") {
            if (!parseInt(value, 1, 100000, options.service.daily.keepDays)) {
                return fail("--daily-keep-days wants a number from 1 up");
            }
        } else if (!parseInt(value, 0, 1000000, options.service.postsPerMinute)) {
            return fail("--posts-per-minute wants a number from 0 up");
        }
    }
    return options;
}

}  // namespace quintelle::server
