#include "XdgAutostart.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace quillet::platform {

namespace fs = std::filesystem;

XdgAutostart::XdgAutostart(std::string configHome) : configHome_(std::move(configHome)) {}

std::string XdgAutostart::entryPath() const {
    std::string home = configHome_;
    if (home.empty()) {
        if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
            home = xdg;
        else if (const char* user = std::getenv("HOME"); user && *user)
            home = std::string(user) + "/.config";
    }
    if (home.empty())
        return {};
    return home + "/autostart/quillet.desktop";
}

std::string XdgAutostart::execArgument(const std::string& path) {
    // An argument with a reserved character must be quoted, and inside the quotes ", `, $ and
    // \ take a backslash. A field code starts with %, so a literal % is doubled.
    static constexpr const char* kReserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool quote = path.find_first_of(kReserved) != std::string::npos;
    std::string arg;
    if (quote)
        arg += '"';
    for (char c : path) {
        if (quote && std::strchr("\"`$\\", c))
            arg += '\\';
        if (c == '%')
            arg += '%';
        arg += c;
    }
    if (quote)
        arg += '"';
    // The Exec value is also a string value, whose own escapes come on top.
    std::string value;
    for (char c : arg) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else if (c == '\t')
            value += "\\t";
        else
            value += c;
    }
    return value;
}

std::string XdgAutostart::entryText(const std::string& executablePath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Quillet\n"
           "Comment=Clipboard history\n"
           "Exec=" +
           execArgument(executablePath) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

void XdgAutostart::apply(bool enabled, const std::string& executablePath) {
    const std::string path = entryPath();
    if (path.empty())
        return;
    std::error_code ec;
    if (!enabled) {
        fs::remove(path, ec);
        return;
    }
    fs::create_directories(fs::path(path).parent_path(), ec);
    if (ec)
        return;
    // Write beside the entry and rename over it, so that a session starting meanwhile never
    // reads half an entry.
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << entryText(executablePath);
        if (!out.flush()) {
            out.close();
            fs::remove(tmp, ec);
            return;
        }
    }
    fs::rename(tmp, path, ec);
    if (ec)
        fs::remove(tmp, ec);
}

}  // namespace quillet::platform
