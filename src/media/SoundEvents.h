// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound association table: which wave files each game event plays, read
// from and written to the settings store. Plain C++, no audio.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "model/GameHost.h"
#include "model/Settings.h"

namespace canasta {

inline constexpr int kSoundEventCount = 15;
inline constexpr int kMaxEventSounds = 3;

// Shown in the Sound dialog and used in the value names "Sound\" + name + n.
inline constexpr std::array<const char*, kSoundEventCount> SoundEventNames{
    "Deal",      "Exit",           "Help (1st)", "Help (2nd)",    "Help (3rd)",
    "Highscore", "Lose Hand",      "Lose Match", "Mixed Canasta", "Natural Canasta",
    "Start",     "Take Huge Pile", "Win Match",  "Win Hand",      "End Turn (network games)"};

struct TEventSounds {
    int Count = 0;
    std::array<std::string, kMaxEventSounds> Slots;

    bool Add(const std::string& file);  // false when all slots are taken
    void Remove(int index);
    friend bool operator==(const TEventSounds&, const TEventSounds&) = default;
};

using TSoundAssociations = std::array<TEventSounds, kSoundEventCount>;

// Random draw below n (n > 0).
using TRandomBelow = std::function<uint32_t(uint32_t n)>;

inline int EventIndex(TSoundEvent e) { return static_cast<int>(e); }

// The files shipped for each event.
const TEventSounds& DefaultEventSounds(int event);
TSoundAssociations DefaultSoundAssociations();

// Reads "Sound\<name>1", 2, 3 for every event. A missing first value gives the
// event's defaults, "<none>" gives no sounds.
TSoundAssociations LoadSoundAssociations(ISettingsStore* store);
// Replaces the whole "Sound" key with the table; an event without sounds gets "<none>".
void SaveSoundAssociations(ISettingsStore* store, const TSoundAssociations& table);

// One of the event's files, uniformly at random; empty when it has none.
std::string ChooseEventSound(const TEventSounds& sounds, const TRandomBelow& random);

}  // namespace canasta
