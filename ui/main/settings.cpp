#include "ui/main/settings.h"

#include <QFile>

#include "data/inifile.h"
#include "ui/main/widgets.h"

namespace quintelle::ui {

namespace {

constexpr auto kSection = "quintelle";

}  // namespace

Settings readSettings(const QString& path) {
    const IniFile ini(QFile::encodeName(path).toStdString());
    const QRect standard = Settings::kStandardBounds;
    Settings s;
    for (const char* key : {"Left", "Top", "Width", "Height"})
        s.boundsStored = s.boundsStored || !ini.readString(kSection, key, "").empty();
    s.bounds = QRect(ini.readInteger(kSection, "Left", standard.x()),
                     ini.readInteger(kSection, "Top", standard.y()),
                     ini.readInteger(kSection, "Width", standard.width()),
                     ini.readInteger(kSection, "Height", standard.height()));
    // The words are compared exactly: only "no" turns the sounds off, only
    // "false" the update check.
    s.sounds = ini.readString(kSection, "Sounds", "yes") != "no";
    s.updateCheck = ini.readString(kSection, "Update", "true") != "false";
    s.name = fromLocalBytes(ini.readString(kSection, "Name", "Guest"));
    s.server = net::parseServer(fromLocalBytes(ini.readString(kSection, "Server", "")));
    return s;
}

void writeSettings(const QString& path, const Settings& s) {
    IniFile ini(QFile::encodeName(path).toStdString());
    ini.writeInteger(kSection, "Top", s.bounds.y());
    ini.writeInteger(kSection, "Left", s.bounds.x());
    ini.writeInteger(kSection, "Width", s.bounds.width());
    ini.writeInteger(kSection, "Height", s.bounds.height());
    ini.writeString(kSection, "Name", s.name.toLocal8Bit().toStdString());
    ini.writeString(kSection, "Sounds", s.sounds ? "yes" : "no");
    ini.writeString(kSection, "Update", s.updateCheck ? "true" : "false");
    ini.save();
}

}  // namespace quintelle::ui
