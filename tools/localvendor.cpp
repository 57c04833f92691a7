#include "tools/localvendor.h"

#include <system_error>

#include "server/http.h"
#include "server/scorestore.h"
#include "server/service.h"

namespace quintelle::tools {

struct LocalVendor::Running {
    explicit Running(const std::filesystem::path& folder)
        : database((folder / "scores.db").string()), store(database), http({}, nullptr) {
        server::ServiceSettings settings;
        settings.postsPerMinute = 0;  // every post comes from this one address
        try {
            port = http.bind("127.0.0.1", 0);
        } catch (const std::system_error&) {
            return;
        }
        settings.publicUrl = "http://127.0.0.1:" + std::to_string(port);
        http.start(server::serviceRoutes(store, settings));
    }

    server::Database database;
    server::ScoreStore store;
    server::HttpServer http;
    int port = 0;
};

LocalVendor::LocalVendor(const std::filesystem::path& folder)
    : running_(std::make_unique<Running>(folder)) {}

LocalVendor::~LocalVendor() = default;

int LocalVendor::port() const {
    return running_->port > 0 ? running_->port : 0;
}

}  // namespace quintelle::tools
