#pragma once
#include <QString>

// Opens an address in the user's browser (or mail program, ...), putting the
// scheme of its URLType in front.
class TURL {
  public:
    enum TURLType {
        utFile,
        utFtp,
        utGopher,
        utHttp,
        utHttps,
        utMailto,
        utNews,
        utTelnet,
        utWais,
        utnone
    };

    QString URL;
    TURLType URLType = utHttp;

    static QString prefix(TURLType type);
    QString address() const { return prefix(URLType) + URL; }

    // An absolute http:, https: or mailto: address: the only kind a page
    // from the network may hand to the shell.
    static bool isWebAddress(const QString& address);

    // False for an empty URL (nothing is opened) or when the desktop refused.
    bool OpenURL() const;
};
