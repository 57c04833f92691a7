// quintelle-server: the vendor's web service the game talks to.
#include <pthread.h>
#include <signal.h>

#include <filesystem>
#include <iostream>
#include <system_error>

#include "server/http.h"
#include "server/options.h"
#include "server/scorestore.h"
#include "server/service.h"

using namespace quintelle::server;

int main(int argc, char** argv) {
    auto parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (auto* early = std::get_if<EarlyExit>(&parsed)) {
        (early->status == 0 ? std::cout : std::cerr) << early->text;
        return early->status;
    }
    ServerOptions& options = std::get<ServerOptions>(parsed);

    // SIGINT and SIGTERM are taken by one waiting thread, which stops the
    // server; answers under way go out and every accepted post is committed.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    Database db(options.db);
    std::unique_ptr<ScoreStore> store;
    try {
        store = std::make_unique<ScoreStore>(db);
    } catch (const DatabaseError& e) {
        std::cerr << "quintelle-server: " << e.what() << "\n";
        return 1;
    }

    HttpServer server(options.limits, &std::cerr);
    int port = 0;
    try {
        port = server.bind(options.host, options.port);
    } catch (const std::system_error& e) {
        std::cerr << "quintelle-server: cannot listen on " << options.host << ":" << options.port
                  << " (" << e.what() << ").\n";
        if (options.port < 1024) {
            std::cerr << "Ports below 1024 need administrator rights. Use another port, for "
                         "example\n  quintelle-server --listen 127.0.0.1:8080\nand point the "
                         "game at it with Server=127.0.0.1:8080 in the [quintelle] section of "
                         "quintelle.ini.\n";
        } else {
            std::cerr << "Another program may be using that port; choose another with --listen.\n";
        }
        return 1;
    }
    if (options.service.publicUrl.empty()) {
        options.service.publicUrl = defaultPublicUrl(options.host, port);
        if (options.service.publicUrl.empty()) {
            std::cerr << "quintelle-server: the pages' links are relative, which the game's "
                         "viewer cannot follow; give the address players use with --public-url.\n";
        }
    }
    std::error_code error;
    if (!options.service.files.empty() &&
        !std::filesystem::is_directory(options.service.files, error)) {
        std::cerr << "quintelle-server: " << options.service.files.string()
                  << " is not a folder; no installer is offered until it is.\n";
    }
    server.start(serviceRoutes(*store, options.service));
    std::string shown =
        options.host.find(':') != std::string::npos ? "[" + options.host + "]" : options.host;
    std::cout << "quintelle-server: listening on http://" << shown << ":" << port << "/"
              << std::endl;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    std::cerr << "quintelle-server: stopped\n";
    return 0;
}
