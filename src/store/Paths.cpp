// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/Paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace canasta {

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

fs::path HomeFolder() {
    if (std::string home = Env("HOME"); !home.empty()) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    std::error_code ec;
    fs::path tmp = fs::temp_directory_path(ec);
    return ec ? fs::path("/tmp") : tmp;
}

// The XDG base directories must be absolute; a relative value is ignored.
fs::path XdgFolder(const char* variable, const char* fallbackBelowHome) {
    fs::path p = Env(variable);
    return p.is_absolute() ? p : HomeFolder() / fallbackBelowHome;
}

std::string Ensure(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);  // a failure shows later as an unreadable or unwritable file
    return folder.string();
}

}  // namespace

std::string SettingsFolder() {
    if (std::string home = Env("CANASTA_HOME"); !home.empty()) return Ensure(home);
    return Ensure(XdgFolder("XDG_CONFIG_HOME", ".config") / "canasta");
}

std::string DataFolder() {
    if (std::string home = Env("CANASTA_HOME"); !home.empty()) return Ensure(home);
    return Ensure(XdgFolder("XDG_DATA_HOME", ".local/share") / "canasta");
}

std::string SettingsDatabaseFile() { return (fs::path(SettingsFolder()) / "settings.sqlite3").string(); }

std::string OldIniFile() { return (fs::path(SettingsFolder()) / "canasta.ini").string(); }

}  // namespace canasta
