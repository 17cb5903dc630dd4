// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's composition root: what the program builds once and keeps for
// its whole run, before the table window exists and after it is gone.
#include <functional>
#include <memory>
#include <string>

#include "ai/Levels.h"
#include "media/AudioPlayer.h"
#include "model/Settings.h"
#include "store/HighScores.h"
#include "store/Players.h"
#include "store/RegistryEnhanced.h"
#include "store/SettingsCatalog.h"
#include "table/CanMain.h"

namespace canasta {

class TSoundSystem;

class TAppRoot {
public:
    // Over the program's settings database. A damaged one is set aside and a
    // failed write told, both through report.
    explicit TAppRoot(const std::function<void(const std::string& message)>& report,
                      std::unique_ptr<IAudioPlayer> player = nullptr);
    // Over a store kept by the caller (tests keep theirs in memory). A null
    // player means SDL2_mixer.
    explicit TAppRoot(ISettingsStore& store, std::unique_ptr<IAudioPlayer> player = nullptr);
    ~TAppRoot();
    TAppRoot(const TAppRoot&) = delete;
    TAppRoot& operator=(const TAppRoot&) = delete;

    // What the table window is built over; valid as long as this root.
    TTableParts Parts();

private:
    // Start-up: old settings taken over, then everything read in one go.
    void ReadSettings(std::unique_ptr<IAudioPlayer> player);

    std::unique_ptr<TRegistryEnhanced> OwnStore;
    ISettingsStore& Store;
    TAppSettings Settings;
    // The game reports to the window through the relay while the window
    // lives; the window installs the levels into it and withdraws them
    // before it goes.
    TGameHostRelay GameRelay;
    TGame Game{GameRelay};
    TComputerLevels ComputerLevels;
    TPlayers Players;
    THighScores HighScores;
    std::unique_ptr<TSoundSystem> Sound;
};

}  // namespace canasta
