#pragma once

#include <string>

#include "platform/Autostart.h"

namespace quillet::platform {

// Autostart as a desktop entry in the XDG autostart folder ($XDG_CONFIG_HOME/autostart, by
// default ~/.config/autostart), which desktop sessions run at log-in.
class XdgAutostart final : public Autostart {
  public:
    // `configHome` overrides $XDG_CONFIG_HOME; empty means the environment's.
    explicit XdgAutostart(std::string configHome = {});

    void apply(bool enabled, const std::string& executablePath) override;

    // The entry's file: <config home>/autostart/quillet.desktop.
    std::string entryPath() const;

    // The entry's text for `executablePath`.
    static std::string entryText(const std::string& executablePath);

    // `path` as the one argument of an Exec key: quoted and escaped where the Desktop Entry
    // format asks for it, then escaped as a string value.
    static std::string execArgument(const std::string& path);

  private:
    std::string configHome_;
};

}  // namespace quillet::platform
