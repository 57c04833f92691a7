#pragma once
// Command line of quintelle-server.
#include <string>
#include <variant>
#include <vector>

#include "server/http.h"
#include "server/service.h"

namespace quintelle::server {

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 80;
    std::string db = "quintelle-scores.db";
    ServiceSettings service;  // publicUrl empty: not given
    HttpLimits limits;
};

// What to print and exit with instead of serving: the help (status 0) or a
// usage error (status 2).
struct EarlyExit {
    std::string text;
    int status = 0;
};

std::variant<ServerOptions, EarlyExit> parseOptions(const std::vector<std::string>& args);

std::string usageText();

// The public address a server listening on host:port has when none is given;
// empty for a wildcard host, which names no address a player could reach.
std::string defaultPublicUrl(const std::string& host, int port);

}  // namespace quintelle::server
