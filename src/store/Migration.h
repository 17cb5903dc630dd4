// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One-time take-over of the settings of older versions: their ini file
// "canasta.ini" and the saved games they left behind.
#include <map>
#include <string>

#include "model/Settings.h"

namespace canasta {

// The values of one section of a Windows-style ini file, keyed by lower-cased
// name. Section and value names ignore letter case; the first occurrence of a
// name wins; CR LF line ends, ';' and '#' comment lines and lines without '='
// are tolerated. A missing or unreadable file gives an empty map.
using TIniSection = std::map<std::string, std::string>;
TIniSection ReadIniSection(const std::string& file, const std::string& section);

// Brings the store to the current settings version. iniFile is the old ini
// file; programFolder the folder of the program's writable files (saved games),
// where old saved games are deleted. Does nothing when the store is current or
// cannot be written (it would otherwise repeat, deleting games, at every start).
void MigrateSettings(ISettingsStore* store, const std::string& iniFile, const std::string& programFolder);

}  // namespace canasta
