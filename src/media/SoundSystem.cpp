// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/SoundSystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include "media/MediaFiles.h"
#include "model/Deck.h"
#include "store/SettingsCatalog.h"

namespace canasta {

TSoundSystem::TSoundSystem(ISettingsStore* store, std::unique_ptr<IAudioPlayer> player, QObject* parent)
    : QObject(parent),
      Associations(DefaultSoundAssociations()),
      SettingsStore(store),
      AudioPlayer(player ? std::move(player) : MakeSdlAudioPlayer()) {
    Music.MusicDir = ShippedMusicFolder();
    auto rng = std::make_shared<TRandom>(TimeOfDaySeed());
    Random = [rng](uint32_t n) { return rng->Next(n); };
    AudioPlayer->OnMusicEnded = [this] { PlayMusic(); };
}

TSoundSystem::~TSoundSystem() { AudioPlayer->OnMusicEnded = nullptr; }

void TSoundSystem::LoadSettings() {
    Associations = LoadSoundAssociations(SettingsStore);
    Music.SoundEnabled = Read(SettingsStore, settings::Sound);
    Music.MusicEnabled = Read(SettingsStore, settings::Music);
    Music.MusicType = Read(SettingsStore, settings::MusicType);
    Music.MusicFile = Read(SettingsStore, settings::MusicFile);
    Music.MusicDir = ReadMusicDir(SettingsStore, ShippedMusicFolder());
    PlayListPosition = -1;
}

void TSoundSystem::SaveSettings() {
    if (!SettingsStore) return;
    WriteBool(SettingsStore, settings::Sound.Path, Music.SoundEnabled);
    WriteBool(SettingsStore, settings::Music.Path, Music.MusicEnabled);
    WriteInt(SettingsStore, settings::MusicType.Path, Music.MusicType == 0 ? 0 : 1);
    WriteString(SettingsStore, settings::MusicFile.Path, Music.MusicFile);
    WriteString(SettingsStore, settings::MusicDir, Music.MusicDir);
    SaveSoundAssociations(SettingsStore, Associations);
}

std::string TSoundSystem::SoundFilePath(const std::string& name) { return ResolveInFolder(name, ShippedSoundFolder()); }

std::string TSoundSystem::MusicFilePath(const std::string& name) { return ResolveInFolder(name, ShippedMusicFolder()); }

void TSoundSystem::PlaySoundEvent(TSoundEvent event) {
    const int index = EventIndex(event);
    if (!Music.SoundEnabled || index < 0 || index >= kSoundEventCount) return;
    const TEventSounds& sounds = Associations[static_cast<size_t>(index)];
    if (sounds.Count == 0) return;
    AudioPlayer->PlayWave(SoundFilePath(ChooseEventSound(sounds, Random)));
}

void TSoundSystem::PlayHelpSound() {
    static constexpr TSoundEvent kHelp[] = {TSoundEvent::Help3, TSoundEvent::Help1, TSoundEvent::Help2};
    PlaySoundEvent(kHelp[HelpCounter % 3]);
    ++HelpCounter;
}

void TSoundSystem::PlayFile(const std::string& nameOrPath) {
    if (Music.SoundEnabled) PreviewFile(nameOrPath);
}

void TSoundSystem::PreviewFile(const std::string& nameOrPath) { AudioPlayer->PlayWave(SoundFilePath(nameOrPath)); }

void TSoundSystem::PlayMusic() {
    if (!Music.MusicEnabled) {
        AudioPlayer->CloseMusic();
        return;
    }
    if (Music.MusicType == 0) {
        // Every end of play comes back here, so the piece repeats.
        const std::string file = MusicFilePath(Music.MusicFile);
        AudioPlayer->CloseMusic();
        if (IsExistingFile(file)) AudioPlayer->PlayMusic(file);
        return;
    }
    // Jukebox. Pieces that vanished or will not play are skipped; after two
    // rounds of failures the music stays off instead of looping.
    size_t triesLeft = 0;
    for (bool first = true;; first = false) {
        if (PlayListPosition < 0 || PlayListPosition >= static_cast<int>(PlayList.size())) {
            PlayList = MidiFilesIn(Music.MusicDir);
            PlayListPosition = 0;
            ShufflePlayList(PlayList, Random);
        }
        if (PlayList.empty()) {
            PlayListPosition = -1;
            AudioPlayer->CloseMusic();
            return;
        }
        if (first) triesLeft = 2 * PlayList.size();
        std::string file;
        do {
            file = PlayList[static_cast<size_t>(PlayListPosition++)];
            if (PlayListPosition >= static_cast<int>(PlayList.size())) PlayListPosition = -1;
        } while (!IsExistingFile(file) && PlayListPosition != -1);
        AudioPlayer->CloseMusic();
        if (IsExistingFile(file) && AudioPlayer->PlayMusic(file)) return;
        if (--triesLeft == 0) return;
    }
}

void TSoundSystem::StartMusic() { QTimer::singleShot(0, this, &TSoundSystem::PlayMusic); }

void TSoundSystem::ApplyMusicSettings(const TMusicSettings& music) {
    Music = music;
    PlayListPosition = -1;
    AudioPlayer->CloseMusic();
    PlayMusic();
}

void TSoundSystem::BeginShutdown() {
    // Off first, so that no end of play starts another piece.
    Music.MusicEnabled = false;
    AudioPlayer->CloseMusic();
    PlaySoundEvent(TSoundEvent::Exit);
}

void TSoundSystem::FinishShutdown() {
    if (Music.SoundEnabled) {
        QElapsedTimer waited;
        waited.start();
        while (AudioPlayer->WavePlaying() && waited.elapsed() < ExitWaitLimitMs) {
            if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QThread::msleep(10);
        }
    }
    AudioPlayer->CloseWave();
}

}  // namespace canasta
