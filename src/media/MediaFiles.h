// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the shipped sound and music files are, and the jukebox play list.
// Plain C++, no audio.
#include <string>
#include <vector>

#include "media/SoundEvents.h"

namespace canasta {

// The folder of the files shipped with the program: <prefix>/share/canasta
// beside the installed executable, else the source tree's assets/ folder
// (when run from the build tree).
std::string ShippedDataFolder();
// Its "sounds" and "music" folders. Music is also the default jukebox folder.
std::string ShippedSoundFolder();
std::string ShippedMusicFolder();

// A name without a folder is taken from folder; a name with one is kept.
std::string ResolveInFolder(const std::string& name, const std::string& folder);
// True for an existing regular file (or a link to one).
bool IsExistingFile(const std::string& path);

// The MIDI files of a folder ("*.mid", any letter case) as folder + "/" + name, sorted by name in any case.
std::vector<std::string> MidiFilesIn(const std::string& folder);
// count rounds of swapping two entries at independently drawn indices.
void ShufflePlayList(std::vector<std::string>& list, const TRandomBelow& random);

}  // namespace canasta
