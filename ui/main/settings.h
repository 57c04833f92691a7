#pragma once
// The settings file, read once at start and written whole: the window's outer
// bounds, the player's name and the two options, in one plain record.
#include <QRect>
#include <QString>
#include <optional>

#include "net/server.h"

namespace quintelle::ui {

struct Settings {
    static constexpr QRect kStandardBounds{3, 3, 634, 586};

    QRect bounds = kStandardBounds;  // outer, frame included
    bool boundsStored = false;       // false: a first start, placed for the screen
    QString name = QStringLiteral("Guest");
    bool sounds = true;
    bool updateCheck = true;
    // Read, never written: an installed game can be pointed at another server
    // by hand. A value that is not "host[:port]" is left out.
    std::optional<net::VendorServer> server;
};

// Missing or unreadable values are the defaults above.
Settings readSettings(const QString& path);
// Throws the settings file's write error.
void writeSettings(const QString& path, const Settings& settings);

}  // namespace quintelle::ui
