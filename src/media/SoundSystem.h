// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sound effects on game events and the background music of the table window.
// The window owns one TSoundSystem: it reads the settings at start-up, plays
// the events the game reports, keeps the music going and stops it on exit.
#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "media/AudioPlayer.h"
#include "media/SoundEvents.h"
#include "model/Settings.h"

namespace canasta {

struct TMusicSettings {
    bool SoundEnabled = true;
    bool MusicEnabled = true;
    int MusicType = 1;  // 0 single music file, anything else the jukebox folder
    std::string MusicFile = "ARCADIA.MID";
    std::string MusicDir;  // no trailing slash
    friend bool operator==(const TMusicSettings&, const TMusicSettings&) = default;
};

class TSoundSystem : public QObject {
    Q_OBJECT
public:
    // store may be null (nothing read or written); a null player means SDL2_mixer.
    explicit TSoundSystem(ISettingsStore* store, std::unique_ptr<IAudioPlayer> player = nullptr,
                          QObject* parent = nullptr);
    ~TSoundSystem() override;

    // Start-up: the association table and the music values from the store.
    void LoadSettings();
    // OK of the Sound dialog: writes the music values and the whole "Sound" key.
    void SaveSettings();

    // Plays one of the event's sounds when sound is enabled.
    void PlaySoundEvent(TSoundEvent event);
    // "&Help Topics": the three help sounds in turn, starting with the first.
    void PlayHelpSound();
    // A shipped or chosen wave file when sound is enabled ("about.wav" for the about box).
    void PlayFile(const std::string& nameOrPath);
    // The dialog's Play button: plays even while sound is switched off.
    void PreviewFile(const std::string& nameOrPath);

    // Starts the next piece (or stops, when music is off); also runs at each end of a piece.
    void PlayMusic();
    // Start-up: the first piece is started from the event loop, so the window
    // comes up without waiting for the audio device.
    void StartMusic();
    // Takes over new music settings: the play list is rebuilt and the music restarted.
    void ApplyMusicSettings(const TMusicSettings& music);

    // Exit: music off, the "Exit" sound started ...
    void BeginShutdown();
    // ... and, once the window has saved what it must, waits (handling
    // non-input events) while that sound plays, then closes the effect player.
    void FinishShutdown();
    void Shutdown() {
        BeginShutdown();
        FinishShutdown();
    }

    // The full name of a sound or music file: a bare name is taken from the shipped folder.
    static std::string SoundFilePath(const std::string& name);
    static std::string MusicFilePath(const std::string& name);

    TSoundAssociations Associations;  // changed live by the Sound dialog
    TMusicSettings Music;
    // The jukebox play list and the position of the next piece (-1: rebuild first).
    std::vector<std::string> PlayList;
    int PlayListPosition = -1;
    int HelpCounter = 1;  // mod 3: 1 first, 2 second, 0 third help sound
    // Draws below n; a generator seeded from the time of day unless a test sets its own.
    TRandomBelow Random;
    // Longest wait for the "Exit" sound, in case the device never reports its end.
    int ExitWaitLimitMs = 10000;

    IAudioPlayer& Player() { return *AudioPlayer; }
    ISettingsStore* Store() const { return SettingsStore; }

private:
    ISettingsStore* SettingsStore;
    std::unique_ptr<IAudioPlayer> AudioPlayer;
};

}  // namespace canasta
