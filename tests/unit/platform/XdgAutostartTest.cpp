#include "platform/x11/XdgAutostart.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TempDir.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::ScopedEnv;
using test::TempDir;
using test::WriteText;

std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(prefix))
            found.push_back(line);
    }
    return found;
}

std::set<std::string> FolderEntries(const std::string& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// ---- The Exec value ------------------------------------------------------------------------

// Expected values follow the Desktop Entry rules by hand: an argument with a reserved character
// is put in double quotes, inside which ", `, $ and \ take a backslash; a literal % is written
// %%; then the string-value escapes apply (\ as \\, tab as \t, newline as \n).
struct ExecCase {
    const char* name;
    std::string path;
    std::string expected;
};

class XdgExecArgument : public testing::TestWithParam<ExecCase> {};

TEST_P(XdgExecArgument, QuotesAndEscapesThePath) {
    const ExecCase& c = GetParam();
    EXPECT_EQ(XdgAutostart::execArgument(c.path), c.expected);

    TempDir home;
    XdgAutostart(home.path()).apply(true, c.path);
    const std::string entry = ReadText(home / "autostart/quillet.desktop");
    EXPECT_EQ(LinesStartingWith(entry, "Exec="), std::vector<std::string>{"Exec=" + c.expected});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XdgExecArgument,
    testing::Values(ExecCase{"Plain", "/usr/bin/quillet", "/usr/bin/quillet"},
                    ExecCase{"Blank", "/opt/My Apps/quillet", R"("/opt/My Apps/quillet")"},
                    ExecCase{"DoubleQuote", R"(/opt/a"b/quillet)", R"("/opt/a\\"b/quillet")"},
                    ExecCase{"Backslash", R"(/opt/a\b/quillet)", R"("/opt/a\\\\b/quillet")"},
                    ExecCase{"Dollar", "/opt/$HOME/quillet", R"("/opt/\\$HOME/quillet")"},
                    ExecCase{"Backtick", "/opt/a`b/quillet", R"("/opt/a\\`b/quillet")"},
                    ExecCase{"Percent", "/opt/100%/quillet", "/opt/100%%/quillet"},
                    ExecCase{"PercentAndBlank", "/opt/50% off/q", R"("/opt/50%% off/q")"},
                    ExecCase{"SingleQuote", "/opt/it's/q", R"("/opt/it's/q")"},
                    ExecCase{"Tab", "/opt/a\tb/q", R"("/opt/a\tb/q")"},
                    ExecCase{"Newline", "/opt/a\nb/q", R"("/opt/a\nb/q")"},
                    ExecCase{"OtherReserved", "/opt/a;b&c|d(e)*?#~<>/q",
                             R"("/opt/a;b&c|d(e)*?#~<>/q")"},
                    ExecCase{"EqualsSign", "/opt/a=b/q", "/opt/a=b/q"},
                    ExecCase{"NonAscii", "/opt/\xED\x81\xB4/q", "/opt/\xED\x81\xB4/q"}),
    [](const testing::TestParamInfo<ExecCase>& info) { return std::string(info.param.name); });

// ---- The entry file ------------------------------------------------------------------------

TEST(XdgAutostart, EnablingWritesTheEntryAndCreatesTheFolders) {
    TempDir dir;
    const std::string home = dir / "config";
    XdgAutostart autostart(home);
    ASSERT_EQ(autostart.entryPath(), home + "/autostart/quillet.desktop");

    autostart.apply(true, "/usr/bin/quillet");
    const std::string entry = ReadText(autostart.entryPath());
    EXPECT_TRUE(entry.starts_with("[Desktop Entry]\n")) << entry;
    EXPECT_EQ(LinesStartingWith(entry, "Type="), std::vector<std::string>{"Type=Application"});
    EXPECT_EQ(LinesStartingWith(entry, "Name=").size(), 1u);
    EXPECT_EQ(FolderEntries(home + "/autostart"), std::set<std::string>{"quillet.desktop"})
        << "no temporary file may stay behind";

    autostart.apply(true, "/opt/new place/quillet");
    EXPECT_EQ(LinesStartingWith(ReadText(autostart.entryPath()), "Exec="),
              std::vector<std::string>{R"(Exec="/opt/new place/quillet")"});
}

TEST(XdgAutostart, DisablingRemovesOnlyTheEntry) {
    TempDir home;
    const std::string folder = home / "autostart";
    fs::create_directories(folder);
    WriteText(folder + "/other.desktop", "[Desktop Entry]\nExec=other\n");
    WriteText(folder + "/quillet.desktop.bak", "kept");
    XdgAutostart autostart(home.path());

    autostart.apply(true, "/usr/bin/quillet");
    autostart.apply(false, "/usr/bin/quillet");
    EXPECT_FALSE(fs::exists(autostart.entryPath()));
    EXPECT_EQ(FolderEntries(folder),
              (std::set<std::string>{"other.desktop", "quillet.desktop.bak"}));
    EXPECT_EQ(ReadText(folder + "/other.desktop"), "[Desktop Entry]\nExec=other\n");
    EXPECT_EQ(ReadText(folder + "/quillet.desktop.bak"), "kept");

    EXPECT_NO_THROW(autostart.apply(false, "/usr/bin/quillet")) << "removing a missing entry";
    EXPECT_FALSE(fs::exists(autostart.entryPath()));
}

TEST(XdgAutostart, DisablingWithoutAFolderCreatesNothing) {
    TempDir dir;
    XdgAutostart(dir / "config").apply(false, "/usr/bin/quillet");
    EXPECT_TRUE(FolderEntries(dir.path()).empty());
}

// A regular file stands where a folder is needed: the write is skipped without a word.
class XdgAutostartBlocked : public testing::TestWithParam<const char*> {};

TEST_P(XdgAutostartBlocked, IsSkippedSilently) {
    TempDir dir;
    const std::string blocker = dir / GetParam();
    fs::create_directories(fs::path(blocker).parent_path());
    WriteText(blocker, "in the way");
    XdgAutostart autostart(dir / "config");

    EXPECT_NO_THROW(autostart.apply(true, "/usr/bin/quillet"));
    EXPECT_NO_THROW(autostart.apply(false, "/usr/bin/quillet"));
    EXPECT_EQ(ReadText(blocker), "in the way");
    EXPECT_FALSE(fs::exists(autostart.entryPath()));
}

INSTANTIATE_TEST_SUITE_P(Cases, XdgAutostartBlocked, testing::Values("config", "config/autostart"));

// Which config home is used without an override.
struct HomeCase {
    const char* name;
    const char* xdgConfigHome;  // nullptr: unset
    const char* home;           // nullptr: unset
    std::string expected;
};

class XdgAutostartHome : public testing::TestWithParam<HomeCase> {};

TEST_P(XdgAutostartHome, FollowsTheEnvironment) {
    const HomeCase& c = GetParam();
    ScopedEnv xdg("XDG_CONFIG_HOME", c.xdgConfigHome);
    ScopedEnv home("HOME", c.home);
    EXPECT_EQ(XdgAutostart().entryPath(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XdgAutostartHome,
    testing::Values(HomeCase{"XdgConfigHome", "/cfg", "/home/u", "/cfg/autostart/quillet.desktop"},
                    HomeCase{"RelativeXdgConfigHomeIgnored", "cfg", "/home/u",
                             "/home/u/.config/autostart/quillet.desktop"},
                    HomeCase{"EmptyXdgConfigHome", "", "/home/u",
                             "/home/u/.config/autostart/quillet.desktop"},
                    HomeCase{"NoXdgConfigHome", nullptr, "/home/u",
                             "/home/u/.config/autostart/quillet.desktop"},
                    HomeCase{"NoHomeAtAll", nullptr, nullptr, ""}),
    [](const testing::TestParamInfo<HomeCase>& info) { return std::string(info.param.name); });

TEST(XdgAutostart, WithoutAnyHomeNothingIsWritten) {
    TempDir dir;
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", nullptr);
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    EXPECT_NO_THROW(XdgAutostart().apply(true, "/usr/bin/quillet"));
    fs::current_path(before);
    EXPECT_TRUE(FolderEntries(dir.path()).empty());
}

}  // namespace
}  // namespace quillet::platform
