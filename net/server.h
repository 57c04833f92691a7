#pragma once
// The vendor's web server, one setting for the whole program: "host" or
// "host:port". The build gives the default; the settings file may name
// another at start. Everyone asks here for host and port.
#include <QString>
#include <optional>

namespace quintelle::net {

struct VendorServer {
    QString host;
    int port = 80;
    // The setting as written: "host" or "host:port".
    QString text;

    // "http://" + host[:port]: the web site and the base of every request.
    QString origin() const { return QStringLiteral("http://") + text; }
};

// "host" or "host:port" with a port 1..65535 and a host free of blanks,
// slashes and further colons; nothing for any other text.
std::optional<VendorServer> parseServer(const QString& text);

// The setting in force: the build's until setVendorServer is called.
const VendorServer& vendorServer();
void setVendorServer(const VendorServer& server);
// Back to the build's setting (tests).
void resetVendorServer();

}  // namespace quintelle::net
