#pragma once
// The service's HTML: the high-score page the game shows in its viewer and
// the home page a browser opens. Every stored text is escaped on the way out.
#include <string>
#include <string_view>
#include <vector>

#include "server/scorestore.h"

namespace quintelle::server {

std::string htmlEscape(std::string_view text);

// Where the pages point. The game's viewer is given the page without its
// address, so links and the logo are absolute whenever the service knows its
// public address.
struct PageLinks {
    std::string home = "/";
    std::string logo = "/quintelle/logo.jpg";
    std::string installer = "/quintelle/qtlsetup.exe";
};

// Links under publicUrl ("http://host[:port][/path]"; "" gives relative links).
PageLinks linksUnder(std::string_view publicUrl);

std::string renderScorePage(const std::vector<RankedScore>& list, const PageLinks& links);

std::string renderHomePage(const std::vector<RankedScore>& list, const PageLinks& links,
                           std::string_view version, bool installerAvailable);

}  // namespace quintelle::server
