#pragma once
// The service's resources, on the paths the game asks for, wired into an
// HTTP server; plus the one-line-per-request log.
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "version.h"

namespace httplib {
class Server;
}

namespace quintelle::server {

class ScoreStore;

struct ServiceSettings {
    std::string versionText{kVersion};
    std::filesystem::path files;  // folder holding qtlsetup.exe; empty: none
    int top = 100;
    int postsPerMinute = 10;  // per client address; 0: unlimited
};

void installRoutes(httplib::Server& server, ScoreStore& store, const ServiceSettings& settings);

// Writes "time address method target status milliseconds" for every request.
void installRequestLog(httplib::Server& server, std::ostream& log);

// Control characters and bytes outside ASCII shown as \xNN, so a request
// cannot forge or break log lines.
std::string printable(std::string_view text);

}  // namespace quintelle::server
