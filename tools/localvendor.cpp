#include "tools/localvendor.h"

#include <httplib.h>

#include <chrono>
#include <thread>

#include "server/scorestore.h"
#include "server/service.h"

namespace quintelle::tools {

struct LocalVendor::Running {
    explicit Running(const std::filesystem::path& folder) : store((folder / "scores.db").string()) {
        server::ServiceSettings settings;
        settings.postsPerMinute = 0;  // every post comes from this one address
        server::installRoutes(http, store, settings);
        port = http.bind_to_any_port("127.0.0.1");
        if (port <= 0) return;
        serving = std::thread([this] { http.listen_after_bind(); });
        while (!http.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~Running() {
        if (!serving.joinable()) return;
        http.stop();
        serving.join();
    }

    server::ScoreStore store;
    httplib::Server http;
    int port = 0;
    std::thread serving;
};

LocalVendor::LocalVendor(const std::filesystem::path& folder)
    : running_(std::make_unique<Running>(folder)) {}

LocalVendor::~LocalVendor() = default;

int LocalVendor::port() const {
    return running_->port > 0 ? running_->port : 0;
}

}  // namespace quintelle::tools
