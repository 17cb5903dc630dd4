// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A player that records what it was asked to play, and a sound system over
// it with a memory settings store and a seeded random generator.
#include <QApplication>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "media/AudioPlayer.h"
#include "media/SoundSystem.h"
#include "model/Deck.h"

namespace canasta::test {

class TFakeAudioPlayer : public IAudioPlayer {
public:
    void PlayWave(const std::string& file) override {
        Waves.push_back(file);
        WavePollsLeft = WaveLengthPolls;
    }
    bool WavePlaying() override {
        ++WavePolls;
        return WavePollsLeft-- > 0;
    }
    void CloseWave() override {
        ++WaveCloses;
        WavePollsLeft = 0;
    }
    bool PlayMusic(const std::string& file) override {
        ++MusicStarts;
        if (Unplayable.count(file)) return false;
        Pieces.push_back(file);
        Playing = true;
        return true;
    }
    bool MusicPlaying() override { return Playing; }
    void CloseMusic() override { Playing = false; }

    // The current piece plays to its end.
    void EndPiece() {
        Playing = false;
        if (OnMusicEnded) OnMusicEnded();
    }

    std::vector<std::string> Waves;
    std::vector<std::string> Pieces;
    std::set<std::string> Unplayable;
    int MusicStarts = 0;  // attempts, played or not
    int WaveCloses = 0;
    int WaveLengthPolls = 0;  // how many WavePlaying() calls a wave lasts
    int WavePollsLeft = 0;
    int WavePolls = 0;  // WavePlaying() calls
    bool Playing = false;
};

struct TSoundRig {
    explicit TSoundRig(uint32_t seed = 7) {
        auto fake = std::make_unique<TFakeAudioPlayer>();
        Player = fake.get();
        Sound = std::make_unique<TSoundSystem>(&Store, std::move(fake));
        auto rng = std::make_shared<TRandom>(seed);
        Sound->Random = [rng](uint32_t n) { return rng->Next(n); };
    }
    TMemorySettings Store;
    TFakeAudioPlayer* Player;
    std::unique_ptr<TSoundSystem> Sound;
};

// One application for the whole test program (widgets need it). Never
// deleted: destroyed among the exit handlers it would outlive Qt's own globals.
inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "media_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace canasta::test
