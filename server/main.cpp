// quintelle-server: the vendor's web service the game talks to.
#include <httplib.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <thread>

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
    const ServerOptions& options = std::get<ServerOptions>(parsed);

    // SIGINT and SIGTERM are taken by one waiting thread, which stops the
    // server; requests under way finish and every accepted post is committed.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<ScoreStore> store;
    try {
        store = std::make_unique<ScoreStore>(options.db);
    } catch (const DatabaseError& e) {
        std::cerr << "quintelle-server: " << e.what() << "\n";
        return 1;
    }

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(16); };
    // Address reuse lets a restart bind at once, but no port sharing: a second
    // server on a busy port must fail rather than quietly split the traffic.
    server.set_socket_options([](int socket) {
        int on = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    });
    server.set_read_timeout(10);
    server.set_write_timeout(10);
    installRoutes(server, *store, options.service);
    installRequestLog(server, std::cerr);

    errno = 0;
    int port = options.port == 0
                   ? server.bind_to_any_port(options.host)
                   : (server.bind_to_port(options.host, options.port) ? options.port : -1);
    if (port < 0) {
        int error = errno;
        std::cerr << "quintelle-server: cannot listen on " << options.host << ":" << options.port;
        if (error != 0) std::cerr << " (" << std::strerror(error) << ")";
        std::cerr << ".\n";
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
    std::string shown =
        options.host.find(':') != std::string::npos ? "[" + options.host + "]" : options.host;
    std::cout << "quintelle-server: listening on http://" << shown << ":" << port << "/"
              << std::endl;

    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    bool served = server.listen_after_bind();
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    std::cerr << "quintelle-server: stopped\n";
    return served ? 0 : 1;
}
