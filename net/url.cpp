#include "net/url.h"

#include "platform/shell.h"

QString TURL::prefix(TURLType type) {
    switch (type) {
        case utFile:
            return QStringLiteral("file://");
        case utFtp:
            return QStringLiteral("ftp://");
        case utGopher:
            return QStringLiteral("gopher://");
        case utHttp:
            return QStringLiteral("http://");
        case utHttps:
            return QStringLiteral("https://");
        case utMailto:
            return QStringLiteral("mailto:");
        case utNews:
            return QStringLiteral("news:");
        case utTelnet:
            return QStringLiteral("telnet:");
        case utWais:
            return QStringLiteral("wais:");
        case utnone:
            break;
    }
    return {};
}

bool TURL::OpenURL() const {
    if (URL.isEmpty()) return false;
    return quintelle::platform::shellOpen(address());
}
