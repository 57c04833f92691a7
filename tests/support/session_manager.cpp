// A session manager of the smallest kind (XSMP over ICE, local connections
// only), for whole-program tests of what a logout asks of the program.
//   session_manager
// Prints "SESSION_MANAGER=<address>" for the programs to be started, then
// "registered" for each client that registers. Each line on standard input
// ("save") asks every client to save as for a logout (both kinds of save,
// shutdown, no interaction), and each client's answer is printed as
// "saved yes" or "saved no"; "closed" when a client disconnects. It never
// sends the final Die message: whatever a client does, it does on the save
// request alone. Ends at the end of its input, or after two minutes.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

std::vector<IceConn> connections;
std::vector<SmsConn> clients;

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

Bool localOnly(char* host) {
    return host && std::strncmp(host, "local/", 6) == 0;
}

Status registerClient(SmsConn client, SmPointer, char*) {
    char* id = SmsGenerateClientID(client);
    SmsRegisterClientReply(client, id);
    std::free(id);
    clients.push_back(client);
    say("registered");
    return 1;
}

void saveDone(SmsConn, SmPointer, Bool success) {
    say(success ? "saved yes" : "saved no");
}

// A client gone, politely or not.
void forget(IceConn connection) {
    for (SmsConn client : std::vector<SmsConn>(clients))
        if (SmsGetIceConnection(client) == connection) {
            SmsCleanUp(client);
            std::erase(clients, client);
        }
    IceSetShutdownNegotiation(connection, False);
    IceCloseConnection(connection);
    std::erase(connections, connection);
    say("closed");
}

void closeConnection(SmsConn client, SmPointer, int count, char** reasons) {
    SmFreeReasons(count, reasons);
    forget(SmsGetIceConnection(client));
}

void setProperties(SmsConn, SmPointer, int count, SmProp** properties) {
    for (int i = 0; i < count; ++i) SmFreeProperty(properties[i]);
    std::free(properties);
}
void deleteProperties(SmsConn, SmPointer, int count, char** names) {
    for (int i = 0; i < count; ++i) std::free(names[i]);
    std::free(names);
}
void secondPhase(SmsConn client, SmPointer) {
    SmsSaveYourselfPhase2(client);
}
void noProperties(SmsConn client, SmPointer) {
    SmsReturnProperties(client, 0, nullptr);
}

Status newClient(SmsConn, SmPointer, unsigned long* mask, SmsCallbacks* callbacks, char**) {
    *callbacks = SmsCallbacks{};
    callbacks->register_client.callback = registerClient;
    callbacks->save_yourself_done.callback = saveDone;
    callbacks->close_connection.callback = closeConnection;
    callbacks->set_properties.callback = setProperties;
    callbacks->delete_properties.callback = deleteProperties;
    callbacks->save_yourself_phase2_request.callback = secondPhase;
    callbacks->get_properties.callback = noProperties;
    *mask = SmsRegisterClientProcMask | SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask |
            SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask |
            SmsSaveYourselfP2RequestProcMask | SmsGetPropertiesProcMask;
    return 1;
}

}  // namespace

int main() {
    char error[256] = "";
    int count = 0;
    IceListenObj* listeners = nullptr;
    if (!SmsInitialize("quintelle-tests", "1.0", newClient, nullptr, localOnly, sizeof error,
                       error) ||
        !IceListenForConnections(&count, &listeners, sizeof error, error)) {
        std::fprintf(stderr, "session_manager: %s\n", error);
        return 1;
    }
    // Programs are told only of the local transport.
    std::vector<IceListenObj> local;
    for (int i = 0; i < count; ++i) {
        IceSetHostBasedAuthProc(listeners[i], localOnly);
        char* address = IceGetListenConnectionString(listeners[i]);
        if (std::strncmp(address, "local/", 6) == 0) local.push_back(listeners[i]);
        std::free(address);
    }
    char* address = IceComposeNetworkIdList(int(local.size()), local.data());
    std::printf("SESSION_MANAGER=%s\n", address);
    std::fflush(stdout);
    std::free(address);

    const time_t deadline = std::time(nullptr) + 120;
    while (std::time(nullptr) < deadline) {
        std::vector<pollfd> fds{{STDIN_FILENO, POLLIN, 0}};
        for (IceListenObj listener : local)
            fds.push_back({IceGetListenConnectionNumber(listener), POLLIN, 0});
        for (IceConn connection : connections)
            fds.push_back({IceConnectionNumber(connection), POLLIN, 0});
        if (poll(fds.data(), fds.size(), 1000) <= 0) continue;
        if (fds[0].revents) {
            char buffer[256];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) break;
            for (ssize_t line = std::count(buffer, buffer + n, '\n'); line > 0; --line)
                for (SmsConn client : clients)
                    SmsSaveYourself(client, SmSaveBoth, True, SmInteractStyleNone, False);
        }
        // The connections polled, before any is accepted or closed below.
        const std::vector<IceConn> open = connections;
        for (size_t i = 0; i < local.size(); ++i)
            if (fds[1 + i].revents) {
                IceAcceptStatus status;
                if (IceConn connection = IceAcceptConnection(local[i], &status))
                    connections.push_back(connection);
            }
        for (size_t i = 0; i < open.size(); ++i)
            if (fds[1 + local.size() + i].revents &&
                IceProcessMessages(open[i], nullptr, nullptr) == IceProcessMessagesIOError)
                forget(open[i]);
    }
    IceFreeListenObjs(count, listeners);
    return 0;
}
