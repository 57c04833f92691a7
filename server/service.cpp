#include "server/service.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "server/files.h"
#include "server/logo.h"
#include "server/page.h"
#include "server/post.h"
#include "server/scorestore.h"
#include "server/text.h"

namespace quintelle::server {
namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

Response unavailable(const DatabaseError& e) {
    std::fprintf(stderr, "quintelle-server: database: %s\n", printable(e.what()).c_str());
    return Response::text(503, "The score list is unavailable just now; please try again later.\n");
}

Response noStore(Response r) {
    r.headers.emplace_back("Cache-Control", "no-store");
    return r;
}

Response servePost(const Request& req, ScoreStore& store, int postsPerMinute) {
    auto parsed = parsePost(req.target);
    if (auto* reason = std::get_if<std::string>(&parsed)) {
        return Response::text(400, "Score not accepted: " + *reason + ".\n");
    }
    try {
        if (store.add(std::get<ScorePost>(parsed), req.client, nowMs(), postsPerMinute) ==
            PostOutcome::TooMany) {
            Response r =
                Response::text(429, "Too many scores from your address; please wait a minute.\n");
            r.headers.emplace_back("Retry-After", "60");
            return r;
        }
        return Response::text(200, "Score received. Thank you for playing Quintelle!\n");
    } catch (const DatabaseError& e) {
        return unavailable(e);
    }
}

// The installer and its manifest change together with each release, so no
// cache may keep either.
Response serveFile(const std::filesystem::path& folder, const std::string& name, const char* type) {
    Response r;
    r.file = openServed(folder, name, r.fileSize);
    if (r.file < 0) return Response::text(404, "No " + name + " is available on this server.\n");
    r.contentType = type;
    return noStore(std::move(r));
}

Response page(std::string html) {
    Response r = Response::text(200, std::move(html));
    r.contentType = kHtml;
    return r;
}

}  // namespace

std::vector<Route> serviceRoutes(ScoreStore& store, const ServiceSettings& settings) {
    PageLinks links = linksUnder(settings.publicUrl);
    return {
        {"/cgi-bin/quintelle.cgi",
         [&store, settings](const Request& req) {
             return servePost(req, store, settings.postsPerMinute);
         }},
        {"/counter/quintelle.shtml",
         [&store, settings, links](const Request&) {
             try {
                 return noStore(page(renderScorePage(store.top(settings.top), links)));
             } catch (const DatabaseError& e) {
                 return unavailable(e);
             }
         }},
        {"/",
         [&store, settings, links](const Request&) {
             try {
                 std::uint64_t size = 0;
                 int installer = openServed(settings.files, "qtlsetup.exe", size);
                 if (installer >= 0) close(installer);
                 return page(renderHomePage(store.top(settings.top), links, settings.versionText,
                                            installer >= 0));
             } catch (const DatabaseError& e) {
                 return unavailable(e);
             }
         }},
        // The game compares this body byte for byte with its own version: no line break.
        {"/quintelle/quintelleversion.txt",
         [settings](const Request&) {
             Response r = Response::text(200, settings.versionText);
             r.contentType = "text/plain";
             return noStore(std::move(r));
         }},
        {"/quintelle/qtlsetup.exe",
         [settings](const Request&) {
             return serveFile(settings.files, "qtlsetup.exe", "application/octet-stream");
         }},
        {"/quintelle/qtlsetup.manifest",
         [settings](const Request&) {
             return serveFile(settings.files, "qtlsetup.manifest", "text/plain");
         }},
        {"/quintelle/logo.jpg",
         [](const Request&) {
             Response r;
             r.body.assign(reinterpret_cast<const char*>(kLogoJpeg), kLogoJpegSize);
             r.contentType = "image/jpeg";
             return r;
         }},
    };
}

}  // namespace quintelle::server
