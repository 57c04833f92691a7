#include "server/service.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>

#include "server/logo.h"
#include "server/page.h"
#include "server/post.h"
#include "server/scorestore.h"

namespace quintelle::server {
namespace {

constexpr const char* kText = "text/plain; charset=utf-8";
constexpr const char* kHtml = "text/html; charset=utf-8";

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void unavailable(httplib::Response& res, const DatabaseError& e) {
    std::fprintf(stderr, "quintelle-server: database: %s\n", printable(e.what()).c_str());
    res.status = 503;
    res.set_content("The score list is unavailable just now; please try again later.\n", kText);
}

void servePost(const httplib::Request& req, httplib::Response& res, ScoreStore& store,
               const ServiceSettings& settings) {
    auto parsed = parsePost(req.target);
    if (auto* reason = std::get_if<std::string>(&parsed)) {
        res.status = 400;
        res.set_content("Score not accepted: " + *reason + ".\n", kText);
        return;
    }
    try {
        PostOutcome outcome = store.add(std::get<ScorePost>(parsed), req.remote_addr, nowMs(),
                                        settings.postsPerMinute);
        if (outcome == PostOutcome::TooMany) {
            res.status = 429;
            res.set_header("Retry-After", "60");
            res.set_content("Too many scores from your address; please wait a minute.\n", kText);
            return;
        }
        res.set_content("Score received. Thank you for playing Quintelle!\n", kText);
    } catch (const DatabaseError& e) {
        unavailable(res, e);
    }
}

void serveInstaller(httplib::Response& res, const std::filesystem::path& folder) {
    std::filesystem::path path = folder / "qtlsetup.exe";
    std::error_code error;
    auto file = std::make_shared<std::ifstream>();
    if (!folder.empty() && std::filesystem::is_regular_file(path, error)) {
        file->open(path, std::ios::binary);
    }
    auto size = file->is_open() ? std::filesystem::file_size(path, error) : 0;
    if (!file->is_open() || error) {
        res.status = 404;
        res.set_content("No installer is available on this server.\n", kText);
        return;
    }
    // Streamed in pieces with its length announced up front, so a large
    // installer never sits whole in memory.
    res.set_content_provider(
        static_cast<std::size_t>(size), "application/octet-stream",
        [file](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            char buffer[64 * 1024];
            file->seekg(static_cast<std::streamoff>(offset));
            file->read(buffer, static_cast<std::streamsize>(std::min(length, sizeof buffer)));
            std::streamsize got = file->gcount();
            return got > 0 && sink.write(buffer, static_cast<std::size_t>(got));
        });
}

bool installerPresent(const std::filesystem::path& folder) {
    std::error_code error;
    return !folder.empty() && std::filesystem::is_regular_file(folder / "qtlsetup.exe", error);
}

thread_local std::chrono::steady_clock::time_point requestStart;

}  // namespace

void installRoutes(httplib::Server& server, ScoreStore& store, const ServiceSettings& settings) {
    server.Get(R"(/cgi-bin/quintelle\.cgi)",
               [&store, settings](const httplib::Request& req, httplib::Response& res) {
                   servePost(req, res, store, settings);
               });
    server.Get(R"(/counter/quintelle\.shtml)",
               [&store, settings](const httplib::Request& req, httplib::Response& res) {
                   try {
                       res.set_header("Cache-Control", "no-store");
                       res.set_content(renderScorePage(store.top(settings.top),
                                                       linksFor(req.get_header_value("Host"))),
                                       kHtml);
                   } catch (const DatabaseError& e) {
                       unavailable(res, e);
                   }
               });
    server.Get("/", [&store, settings](const httplib::Request& req, httplib::Response& res) {
        try {
            res.set_content(
                renderHomePage(store.top(settings.top), linksFor(req.get_header_value("Host")),
                               settings.versionText, installerPresent(settings.files)),
                kHtml);
        } catch (const DatabaseError& e) {
            unavailable(res, e);
        }
    });
    // The game compares this body byte for byte with its own version: no line break.
    server.Get(R"(/quintelle/quintelleversion\.txt)",
               [settings](const httplib::Request&, httplib::Response& res) {
                   res.set_header("Cache-Control", "no-store");
                   res.set_content(settings.versionText, "text/plain");
               });
    server.Get(R"(/quintelle/qtlsetup\.exe)",
               [settings](const httplib::Request&, httplib::Response& res) {
                   serveInstaller(res, settings.files);
               });
    server.Get(R"(/quintelle/logo\.jpg)", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(reinterpret_cast<const char*>(kLogoJpeg), kLogoJpegSize, "image/jpeg");
    });
    // Every refusal carries a short text, never an empty body.
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty() || res.status == 304) return;
        std::string text = res.status == 404 ? "Not found." : "Request refused.";
        res.set_content(text + "\n", kText);
    });
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& x) {
                std::fprintf(stderr, "quintelle-server: %s\n", printable(x.what()).c_str());
            } catch (...) {
            }
            res.status = 500;
            res.set_content("Internal error.\n", kText);
        });
    server.set_payload_max_length(16 * 1024);
}

std::string printable(std::string_view text) {
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7f || c == '\\') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

void installRequestLog(httplib::Server& server, std::ostream& log) {
    server.set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
        requestStart = std::chrono::steady_clock::now();
        return httplib::Server::HandlerResponse::Unhandled;
    });
    auto lock = std::make_shared<std::mutex>();
    server.set_logger([&log, lock](const httplib::Request& req, const httplib::Response& res) {
        using namespace std::chrono;
        auto now = steady_clock::now();
        double ms = requestStart == steady_clock::time_point{}
                        ? 0.0
                        : duration<double, std::milli>(now - requestStart).count();
        requestStart = {};
        auto wall = system_clock::now();
        std::time_t seconds = system_clock::to_time_t(wall);
        std::tm utc{};
        gmtime_r(&seconds, &utc);
        char stamp[40];
        std::size_t n = std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &utc);
        std::snprintf(
            stamp + n, sizeof stamp - n, ".%03dZ",
            static_cast<int>(duration_cast<milliseconds>(wall.time_since_epoch()).count() % 1000));
        char tail[48];
        std::snprintf(tail, sizeof tail, " %d %.1fms\n", res.status, ms);
        std::string line = std::string(stamp) + " " + printable(req.remote_addr) + " " +
                           printable(req.method) + " " + printable(req.target) + tail;
        std::lock_guard guard(*lock);
        log << line << std::flush;
    });
}

}  // namespace quintelle::server
