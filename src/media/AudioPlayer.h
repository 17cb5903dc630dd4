// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two players of the table window: one channel for sound effects and one
// stream for music, so an effect never interrupts the music. Every failure
// (no audio device, a missing or unplayable file) is silent.
#include <functional>
#include <memory>
#include <string>

namespace canasta {

class IAudioPlayer {
public:
    virtual ~IAudioPlayer() = default;

    // Stops the current effect and plays file once.
    virtual void PlayWave(const std::string& file) = 0;
    virtual bool WavePlaying() = 0;
    virtual void CloseWave() = 0;

    // Stops the current piece and plays file once. False when it could not be
    // started (no device, unreadable file).
    virtual bool PlayMusic(const std::string& file) = 0;
    virtual bool MusicPlaying() = 0;
    // Stops the music without an end notification.
    virtual void CloseMusic() = 0;

    // Called on the GUI thread when a piece has played to its end.
    std::function<void()> OnMusicEnded;
};

// SDL2_mixer players; the audio device is opened on first use.
std::unique_ptr<IAudioPlayer> MakeSdlAudioPlayer();

}  // namespace canasta
