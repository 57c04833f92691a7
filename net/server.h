#pragma once
// The vendor's web server, one setting for the whole program: "host" or
// "host:port". The build gives the default; the settings file may name
// another at start. Every address on it is built here.
#include <QString>
#include <optional>

struct THTTPGetRequest;

namespace quintelle::net {

struct VendorServer {
    QString host;
    int port = 80;
    // The setting as written: "host" or "host:port".
    QString text;

    // "http://" + host[:port]: the web site and the base of every request.
    QString origin() const { return QStringLiteral("http://") + text; }
    // `path` ("/...") on the server, as an address that carries the port.
    QString address(const QString& path) const { return origin() + path; }
};

// The resources the program asks the vendor's server for, as paths.
namespace vendorpath {
QString versionText();
QString installer(const QString& file);
// The installer's signed manifest (data/updatemanifest.h).
QString manifest();
// The score post: the three values go into the query as they stand.
QString scorePost(const QString& name, const QString& date, const QString& score);
QString highScorePage();
// The Daily Deal's list of today.
QString dailyList();
}  // namespace vendorpath

// A link on one of the server's Daily Deal pages that leads to another of
// them (the list of a day, a day's deal, a player's grid), relative to the
// server or on it: its path and query. Empty for every other link.
QString dailyPageOf(const QString& link);

// Aims a background fetch at `path` on the server in force: its address
// without the port, which the fetch is given apart.
void aimAtVendor(THTTPGetRequest& fetch, const QString& path);

// "host" or "host:port" with a port 1..65535 and a host free of blanks,
// slashes and further colons; nothing for any other text.
std::optional<VendorServer> parseServer(const QString& text);

// The setting in force: the build's until setVendorServer is called.
const VendorServer& vendorServer();
void setVendorServer(const VendorServer& server);
// Back to the build's setting (tests).
void resetVendorServer();

}  // namespace quintelle::net
