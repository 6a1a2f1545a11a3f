#pragma once

#include <QString>
#include <QtGlobal>

namespace quillet::app {

// The user's settings, one field per key of "options.ini", each holding its default until read.
// Read once at start-up and written once at the confirmed exit; in between, the program changes
// only this record.
struct Settings {
    int PositionX = 1;     // left edge of the main window, screen pixels
    int PositionY = 1;     // top edge of the main window, screen pixels
    bool FirstUse = true;  // centre the main window at its first show
    bool AutoHideTop = true;
    bool AutoHideLeft = true;
    bool AutoHideRight = true;
    bool AutoHideBottom = true;
    bool EnableText = true;         // capture text clipboard contents
    bool EnableImage = true;        // capture image clipboard contents
    bool EnableSound = true;        // play notification sounds
    int TransparentValue = 240;     // main window opacity; only OpacityOf() of it is applied
    bool RunAtWindowsStart = true;  // start with the desktop session
    bool SetMinimized = true;       // start fully transparent, reachable through the tray icon

    bool operator==(const Settings&) const = default;
};

// The settings stored in the INI file at `iniPath`. Never fails: a missing or unreadable file
// gives the defaults, and so does, key by key, a missing key or a value that is not a number.
// A boolean is true unless its value is a number equal to 0.
Settings ReadSettings(const QString& iniPath);

// Writes every key of `settings` into the INI file at `iniPath` (FirstUse always as false),
// keeping the file's other lines, and creates the file when it is missing. Booleans are written
// as "1" or "0", integers in decimal. Returns false when the file cannot be written or exists
// but cannot be read; the file is then left as it was.
bool WriteSettings(const QString& iniPath, const Settings& settings);

// The opacity that `transparentValue` stands for: its low 8 bits, 0 invisible to 255 opaque.
quint8 OpacityOf(int transparentValue);

}  // namespace quillet::app
