// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program keeps its writable files on Linux.
#include <string>

namespace canasta {

// $CANASTA_HOME if set, else $XDG_CONFIG_HOME/canasta (default ~/.config/canasta).
// Created when asked for.
std::string SettingsFolder();
// $CANASTA_HOME if set, else $XDG_DATA_HOME/canasta (default ~/.local/share/canasta):
// autosave.can and saved games. Created when asked for.
std::string DataFolder();
// The settings database and the old ini file of earlier versions, both in SettingsFolder().
std::string SettingsDatabaseFile();
std::string OldIniFile();

}  // namespace canasta
