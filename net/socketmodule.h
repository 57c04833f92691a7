#pragma once
#include <QStringList>
#include <memory>

#include "net/streamsocket.h"

namespace quintelle::net {

// TWSocket, and Qt Network with it, is built into a module of its own: only
// the update download needs a socket, and most sessions never download, so
// the program loads the module at the first lookup instead of at start.
inline constexpr char kNetworkModuleFile[] = "libquintelle_network.so";
// The module's one entry point, `extern "C"`: a new TWSocket, owned by the
// caller.
using StreamSocketFactory = StreamSocket* (*)();
inline constexpr char kStreamSocketEntry[] = "quintelle_stream_socket";

// A socket that opens the module from the first of `candidates` that loads
// at its first lookup and from then on is the module's TWSocket. Without the
// module the lookup still reports, and the connection cannot start: its
// error text says the module did not load, and why.
std::unique_ptr<StreamSocket> moduleSocket(QStringList candidates);
// The same, from where the program keeps its modules.
std::unique_ptr<StreamSocket> moduleSocket();

}  // namespace quintelle::net
