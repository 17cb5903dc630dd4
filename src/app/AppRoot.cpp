// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppRoot.h"

#include "media/SoundSystem.h"
#include "store/Migration.h"
#include "store/Paths.h"

namespace canasta {

TAppRoot::TAppRoot(const std::function<void(const std::string& message)>& report, std::unique_ptr<IAudioPlayer> player)
    : OwnStore(std::make_unique<TRegistryEnhanced>()), Store(*OwnStore) {
    OwnStore->OnWriteError = report;
    if (const std::string damaged = OwnStore->SetAsideDamagedFile(); !damaged.empty()) {
        report(damaged);
        // The damaged settings had been taken over from the old ini file long
        // ago: doing it again would delete the saved games as old ones.
        WriteInt(&Store, settings::Version.Path, settings::CurrentVersion);
    }
    ReadSettings(std::move(player));
}

TAppRoot::TAppRoot(ISettingsStore& store, std::unique_ptr<IAudioPlayer> player) : Store(store) {
    ReadSettings(std::move(player));
}

TAppRoot::~TAppRoot() = default;

void TAppRoot::ReadSettings(std::unique_ptr<IAudioPlayer> player) {
    // Sound output; without a device the game goes on silently.
    Sound = std::make_unique<TSoundSystem>(&Store, std::move(player));
    // Settings of older versions are taken over once.
    MigrateSettings(&Store, OldIniFile(), DataFolder());
    Settings = LoadAppSettings(&Store);
    Players.Load(&Store);
    HighScores.Load(&Store);
    Sound->LoadSettings();
}

TTableParts TAppRoot::Parts() {
    return {Store, Game, GameRelay, Settings, ComputerLevels, Players, HighScores, *Sound};
}

}  // namespace canasta
