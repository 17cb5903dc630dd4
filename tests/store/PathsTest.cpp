// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/Paths.h"

#include <gtest/gtest.h>

#include <optional>

#include "store/RegistryEnhanced.h"
#include "store/TestSupport.h"

namespace canasta {
namespace {

TEST(PathsTest, CanastaHomeThenXdgFoldersThenHome) {
    // Put the variables back for whatever runs next in this process.
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    for (const char* name : {"CANASTA_HOME", "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        saved.emplace_back(name, getenv(name) ? std::optional<std::string>(getenv(name)) : std::nullopt);
    struct TRestore {
        decltype(saved)& Saved;
        ~TRestore() {
            for (auto& [name, value] : Saved) value ? setenv(name, value->c_str(), 1) : unsetenv(name);
        }
    } restore{saved};

    test::TTempDir dir;
    setenv("CANASTA_HOME", dir.Path("game").c_str(), 1);
    EXPECT_EQ(DataFolder(), dir.Path("game"));
    EXPECT_EQ(SettingsDatabaseFile(), dir.Path("game/settings.sqlite3"));
    ASSERT_TRUE(TRegistryEnhanced().WriteValue("Settings\\Delay", 100));  // folder created on first use
    EXPECT_TRUE(test::Exists(dir.Path("game/settings.sqlite3")));

    setenv("CANASTA_HOME", "", 1);
    setenv("HOME", dir.Path("home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.Path("cfg").c_str(), 1);
    setenv("XDG_DATA_HOME", "relative/data", 1);  // not absolute: ignored
    EXPECT_EQ(SettingsFolder(), dir.Path("cfg/canasta"));
    EXPECT_EQ(DataFolder(), dir.Path("home/.local/share/canasta"));
    EXPECT_TRUE(test::Exists(dir.Path("home/.local/share/canasta")));
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(OldIniFile(), dir.Path("home/.config/canasta/canasta.ini"));
}

}  // namespace
}  // namespace canasta
