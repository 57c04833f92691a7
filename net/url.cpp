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

bool TURL::isWebAddress(const QString& address) {
    // Blanks and control characters have no place in such an address and
    // could make the shell read it differently.
    for (const QChar c : address)
        if (c.unicode() <= 0x20 || c.unicode() == 0x7F) return false;
    for (const auto* scheme : {"http://", "https://"}) {
        const QString prefix = QString::fromLatin1(scheme);
        if (address.startsWith(prefix, Qt::CaseInsensitive))
            return address.size() > prefix.size() && address.at(prefix.size()) != QLatin1Char('/');
    }
    return address.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive) && address.size() > 7;
}

bool TURL::OpenURL() const {
    if (URL.isEmpty()) return false;
    return quintelle::platform::shellOpen(address());
}
