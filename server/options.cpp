#include "server/options.h"

#include <charconv>

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

}  // namespace

std::string usageText() {
    return "Usage: quintelle-server [OPTION]...\n"
           "Serves Quintelle's online high-score list, version text and installer.\n"
           "\n"
           "  --listen ADDRESS:PORT  where to accept connections (default 127.0.0.1:80);\n"
           "                         port 0 picks a free port, which is printed\n"
           "  --db TARGET            SQLite file (default quintelle-scores.db) or a\n"
           "                         postgresql://user@host/dbname address\n"
           "  --files DIR            folder holding qtlsetup.exe, the installer offered\n"
           "  --version-text TEXT    current version of the game (default 1.0.0)\n"
           "  --top N                scores listed on the high-score page (default 100)\n"
           "  --posts-per-minute N   posts accepted from one address per minute\n"
           "                         (default 10; 0 for no limit)\n"
           "  --help                 show this text\n";
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
                     option == "--posts-per-minute";
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
        } else if (!parseInt(value, 0, 1000000, options.service.postsPerMinute)) {
            return fail("--posts-per-minute wants a number from 0 up");
        }
    }
    return options;
}

}  // namespace quintelle::server
