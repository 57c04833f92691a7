#include "net/server.h"

#include <algorithm>

#include "net/httpget.h"

#ifndef QUINTELLE_SERVER
#error "the build names the vendor's server in QUINTELLE_SERVER"
#endif

namespace quintelle::net {

std::optional<VendorServer> parseServer(const QString& text) {
    const QString trimmed = text.trimmed();
    const qsizetype colon = trimmed.indexOf(QLatin1Char(':'));
    VendorServer server;
    server.host = colon < 0 ? trimmed : trimmed.left(colon);
    if (colon >= 0) {
        bool ok = false;
        const QString digits = trimmed.mid(colon + 1);
        server.port = digits.toInt(&ok);
        const bool plainDigits =
            !digits.isEmpty() && std::all_of(digits.begin(), digits.end(),
                                             [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (!ok || !plainDigits || server.port < 1 || server.port > 65535) return std::nullopt;
    }
    if (server.host.isEmpty()) return std::nullopt;
    for (const QChar c : server.host)
        if (c.isSpace() || c == u'/' || c == u':' || c == u'@' || c == u'#' || c == u'?')
            return std::nullopt;
    server.text = trimmed;
    return server;
}

namespace {

VendorServer buildDefault() {
    // A build setting that does not parse is a build mistake; the text still
    // names the host so the fault shows where it is used.
    return parseServer(QStringLiteral(QUINTELLE_SERVER))
        .value_or(
            VendorServer{QStringLiteral(QUINTELLE_SERVER), 80, QStringLiteral(QUINTELLE_SERVER)});
}

VendorServer& current() {
    static VendorServer server = buildDefault();
    return server;
}

}  // namespace

const VendorServer& vendorServer() {
    return current();
}

void setVendorServer(const VendorServer& server) {
    current() = server;
}

void resetVendorServer() {
    current() = buildDefault();
}

namespace vendorpath {

QString versionText() {
    return QStringLiteral("/quintelle/quintelleversion.txt");
}

QString installer(const QString& file) {
    return QStringLiteral("/quintelle/") + file;
}

QString manifest() {
    return QStringLiteral("/quintelle/qtlsetup.manifest");
}

QString scorePost(const QString& name, const QString& date, const QString& score) {
    return QStringLiteral("/cgi-bin/quintelle.cgi?name=") + name + QStringLiteral("&date=") + date +
           QStringLiteral("&score=") + score;
}

QString highScorePage() {
    return QStringLiteral("/counter/quintelle.shtml");
}

QString dailyList() {
    return QStringLiteral("/daily/1/list");
}

}  // namespace vendorpath

QString dailyPageOf(const QString& link) {
    QString path = link;
    const QString origin = vendorServer().origin();
    if (path.startsWith(origin + u'/', Qt::CaseInsensitive)) path = path.mid(origin.size());
    for (const char* page : {"list", "deal", "grid"}) {
        const QString prefix = QStringLiteral("/daily/1/") + QLatin1String(page);
        if (path == prefix || path.startsWith(prefix + u'?')) {
            // Only a plain query: nothing that would leave the request line.
            const bool plain = std::all_of(path.begin(), path.end(), [](QChar c) {
                return c.unicode() > 32 && c.unicode() < 127 && c != u'#';
            });
            return plain ? path : QString();
        }
    }
    return {};
}

void aimAtVendor(THTTPGetRequest& fetch, const QString& path) {
    const VendorServer& server = vendorServer();
    fetch.URL = QStringLiteral("http://") + server.host + path;
    fetch.Port = server.port;
}

}  // namespace quintelle::net
