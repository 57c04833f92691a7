// The scripted server as a process, for tests that drive a whole program:
//
//     scripted_server SCRIPT RECORD_DIR
//
// It prints the port it listens on (127.0.0.1) as one line on stdout, writes
// each request it reads whole to RECORD_DIR/request-1, request-2, ...
// (each file appears complete, by rename), and runs until SIGTERM or SIGINT.
//
// The script has one command per line; blank lines and lines starting with
// '#' are skipped. TEXT takes the escapes \r \n \t \0 \\ and \xHH.
//     reply            begins the next reply
//     ok TEXT          a whole "200 OK" answer with this body
//     send TEXT        these bytes
//     sendfile PATH    the bytes of this file
//     pause MS         wait MS milliseconds
//     close            close the connection here
//     keep-alive       read the next request on the same connection
//     no-request       answer without reading a request
#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>

#include "tests/support/scripted_server.h"

using namespace quintelle::testsupport;

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r')
            out += '\r';
        else if (c == 'n')
            out += '\n';
        else if (c == 't')
            out += '\t';
        else if (c == '0')
            out += '\0';
        else if (c == 'x' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
                 hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else
            out += c;
    }
    return out;
}

std::vector<Reply> readScript(std::istream& in) {
    std::vector<Reply> replies;
    std::string line;
    int number = 0;
    const auto current = [&]() -> Reply& {
        if (replies.empty()) replies.emplace_back();
        return replies.back();
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const auto space = line.find(' ');
        const std::string command = line.substr(0, space);
        const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
        if (command == "reply")
            replies.emplace_back();
        else if (command == "ok")
            current() = Reply::ok(unescape(argument));
        else if (command == "send")
            current().send(unescape(argument));
        else if (command == "sendfile") {
            std::ifstream file(argument, std::ios::binary);
            if (!file) throw std::runtime_error("cannot read " + argument);
            std::ostringstream bytes;
            bytes << file.rdbuf();
            current().send(bytes.str());
        } else if (command == "pause")
            current().pause(milliseconds(std::stol(argument)));
        else if (command == "close")
            current().close();
        else if (command == "keep-alive")
            current().keepAlive();
        else if (command == "no-request")
            current().withoutRequest();
        else
            throw std::runtime_error("line " + std::to_string(number) + ": unknown command " +
                                     command);
    }
    return replies;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: scripted_server SCRIPT RECORD_DIR\n";
        return 2;
    }
    // Block the stop signals before any thread exists so only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    try {
        std::ifstream scriptFile(argv[1]);
        if (!scriptFile) throw std::runtime_error(std::string("cannot read ") + argv[1]);
        ScriptedServer server(readScript(scriptFile));
        const std::string dir = argv[2];
        int written = 0;
        server.onRequest([&](const RecordedRequest& request) {
            // Connection threads may finish together; number the files in order.
            static std::mutex order;
            std::lock_guard lock(order);
            const std::string name = dir + "/request-" + std::to_string(++written);
            {
                std::ofstream out(name + ".part", std::ios::binary);
                out << request.bytes;
            }
            std::rename((name + ".part").c_str(), name.c_str());
        });
        std::cout << server.port() << std::endl;
        int signal = 0;
        sigwait(&stopSignals, &signal);
    } catch (const std::exception& e) {
        std::cerr << "scripted_server: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
