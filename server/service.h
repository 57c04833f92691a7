#pragma once
// The service's resources, on the paths the game asks for: the one table of
// routes the HTTP layer serves.
#include <filesystem>
#include <string>
#include <vector>

#include "server/daily.h"
#include "server/http.h"
#include "version.h"

namespace quintelle::server {

class ScoreStore;

struct ServiceSettings {
    std::string versionText{kVersion};
    std::filesystem::path files;  // folder holding qtlsetup.exe and its manifest; empty: none
    int top = 100;
    int postsPerMinute = 10;  // per client address; 0: unlimited
    // Where the pages' links point, such as "https://scores.example"; never
    // taken from a request. Empty: links relative to the page.
    std::string publicUrl;
    DailySettings daily;
};

std::vector<Route> serviceRoutes(ScoreStore& store, DailyDeal& daily,
                                 const ServiceSettings& settings);

}  // namespace quintelle::server
