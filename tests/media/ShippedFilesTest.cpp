// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped sounds and music decode with SDL2_mixer, and the SDL players
// report the end of a piece on the GUI thread (dummy audio driver).
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "media/MediaFiles.h"
#include "media/MediaTestSupport.h"
#include "media/SoundSystem.h"
#include "store/TestSupport.h"

namespace canasta {
namespace {

namespace fs = std::filesystem;

class ShippedFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        Mix_SetSoundFonts("/usr/share/sounds/sf2/TimGM6mb.sf2");
        ASSERT_EQ(Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048), 0) << Mix_GetError();
    }
    static void TearDownTestSuite() {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
};

uintmax_t FolderSize(const std::string& folder) {
    uintmax_t total = 0;
    for (const auto& e : fs::directory_iterator(folder)) total += e.file_size();
    return total;
}

TEST_F(ShippedFiles, EverySoundDecodes) {
    std::set<std::string> names{"about.wav"};
    for (int e = 0; e < kSoundEventCount; ++e) {
        const TEventSounds& s = DefaultEventSounds(e);
        for (int i = 0; i < s.Count; ++i) names.insert(s.Slots[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(names.size(), 16u);
    for (const std::string& name : names) {
        const std::string path = TSoundSystem::SoundFilePath(name);
        Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
        ASSERT_NE(chunk, nullptr) << path << ": " << Mix_GetError();
        const double seconds = chunk->alen / (44100.0 * 2 * 2);
        EXPECT_GT(seconds, 0.3) << name;
        EXPECT_LT(seconds, 4.0) << name;
        Mix_FreeChunk(chunk);
    }
    EXPECT_LT(FolderSize(ShippedSoundFolder()) + FolderSize(ShippedMusicFolder()), 2'000'000u);
}

TEST_F(ShippedFiles, EveryPieceLoadsAsMidiMusic) {
    const std::vector<std::string> pieces = MidiFilesIn(ShippedMusicFolder());
    EXPECT_GE(pieces.size(), 4u);
    EXPECT_TRUE(IsExistingFile(TSoundSystem::MusicFilePath("ARCADIA.MID"))) << "the default music file";
    for (const std::string& path : pieces) {
        Mix_Music* music = Mix_LoadMUS(path.c_str());
        ASSERT_NE(music, nullptr) << path << ": " << Mix_GetError();
        EXPECT_EQ(Mix_GetMusicType(music), MUS_MID) << path;
        Mix_FreeMusic(music);
    }
}

// One middle C lasting `beats` quarter notes at 120 per minute.
void WriteShortMidi(const std::string& path, int beats) {
    const int ticks = 480 * beats;
    std::string track = {0x00, char(0x90), 60, 100};
    std::string delta;
    for (int v = ticks, first = 1; first || v; first = 0, v >>= 7)
        delta.insert(0, 1, char((v & 0x7F) | (first ? 0 : 0x80)));
    track += delta + std::string{char(0x80), 60, 0} + std::string{0x00, char(0xFF), 0x2F, 0x00};
    std::string file = std::string("MThd") + std::string{0, 0, 0, 6, 0, 0, 0, 1, 0x01, char(0xE0)} + "MTrk";
    const auto n = static_cast<uint32_t>(track.size());
    file += std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)} + track;
    std::ofstream(path, std::ios::binary) << file;
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return done();
}

TEST(SdlPlayers, EndOfPieceReachesTheGuiThreadButADeliberateStopDoesNot) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    test::TestApp();
    test::TTempDir dir;
    const std::string piece = dir.Path("short.mid");
    WriteShortMidi(piece, 1);  // half a second

    std::unique_ptr<IAudioPlayer> player = MakeSdlAudioPlayer();
    int ended = 0;
    bool onGuiThread = false;
    player->OnMusicEnded = [&] {
        ++ended;
        onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    };
    ASSERT_TRUE(player->PlayMusic(piece));
    EXPECT_TRUE(player->MusicPlaying());
    // FluidSynth lets the last note die away first: about three seconds more.
    EXPECT_TRUE(WaitFor([&] { return ended > 0; }, 8000));
    EXPECT_TRUE(onGuiThread);

    // Past the first second, when an end would be passed on without delay.
    ASSERT_TRUE(player->PlayMusic(piece));
    WaitFor([] { return false; }, 1100);
    player->CloseMusic();  // SDL's halt calls the finished hook at once
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(ended, 1);

    player->PlayWave(TSoundSystem::SoundFilePath("help.wav"));
    EXPECT_TRUE(player->WavePlaying());
    EXPECT_TRUE(WaitFor([&] { return !player->WavePlaying(); }, 5000));
    EXPECT_FALSE(player->PlayMusic(dir.Path("missing.mid")));
    player->PlayWave(dir.Path("missing.wav"));  // silently nothing
    EXPECT_FALSE(player->WavePlaying());
}

}  // namespace
}  // namespace canasta
