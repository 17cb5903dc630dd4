// SPDX-License-Identifier: GPL-3.0-or-later
// IAudioPlayer over SDL2_mixer: channel 0 for effects, the music stream for
// MIDI (rendered by FluidSynth with the General MIDI sound font).
#include <SDL.h>
#include <SDL_mixer.h>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <cstdlib>

#include "media/AudioPlayer.h"
#include "media/MediaFiles.h"

namespace canasta {

namespace {

// SDL_mixer looks for FluidR3 by default; TimGM6mb is the small font we depend on.
constexpr int kMusicVolume = 80;  // of MIX_MAX_VOLUME (128)
constexpr const char* kSoundFonts[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2"};

class TSdlAudioPlayer : public QObject, public IAudioPlayer {
public:
    TSdlAudioPlayer() { Instance.store(this); }

    ~TSdlAudioPlayer() override {
        CloseWave();
        CloseMusic();
        if (Open) {
            Mix_HookMusicFinished(nullptr);
            Mix_CloseAudio();
        }
        if (SubsystemUp) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        TSdlAudioPlayer* self = this;
        Instance.compare_exchange_strong(self, nullptr);
    }

    void PlayWave(const std::string& file) override {
        CloseWave();
        if (!EnsureOpen()) return;
        Chunk = Mix_LoadWAV(file.c_str());
        if (Chunk && Mix_PlayChannel(0, Chunk, 0) < 0) CloseWave();
    }

    bool WavePlaying() override { return Open && Mix_Playing(0) != 0; }

    void CloseWave() override {
        if (Open) Mix_HaltChannel(0);
        if (Chunk) Mix_FreeChunk(Chunk);
        Chunk = nullptr;
    }

    bool PlayMusic(const std::string& file) override {
        CloseMusic();
        if (!EnsureOpen()) return false;
        Music = Mix_LoadMUS(file.c_str());
        if (!Music) return false;
        PieceClock.start();
        if (Mix_PlayMusic(Music, 1) != 0) {
            CloseMusic();
            return false;
        }
        return true;
    }

    bool MusicPlaying() override { return Open && Music && Mix_PlayingMusic() != 0; }

    void CloseMusic() override {
        ++Generation;  // end notifications already posted for this piece are dropped
        if (Open) {
            // Mix_HaltMusic calls the finished hook itself; a deliberate stop is no end of play.
            Mix_HookMusicFinished(nullptr);
            Mix_HaltMusic();
            Mix_HookMusicFinished(&HookMusicFinished);
        }
        if (Music) Mix_FreeMusic(Music);
        Music = nullptr;
    }

private:
    // Opens the device once; without one everything stays silent.
    bool EnsureOpen() {
        if (Tried) return Open;
        Tried = true;
        // The program handles SIGINT and SIGTERM itself (saving the game first).
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SubsystemUp = true;
        const char* fonts = std::getenv("SDL_SOUNDFONTS");
        if (!fonts || !*fonts) {
            for (const char* font : kSoundFonts) {
                if (IsExistingFile(font)) {
                    Mix_SetSoundFonts(font);
                    break;
                }
            }
        }
        if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) != 0) return false;
        Open = true;
        Mix_AllocateChannels(1);
        // Music stays in the background, below the effects.
        Mix_VolumeMusic(kMusicVolume);
        Mix_HookMusicFinished(&HookMusicFinished);
        return true;
    }

    // Runs on SDL's audio thread: hand the end of play to the GUI thread.
    static void HookMusicFinished() {
        TSdlAudioPlayer* self = Instance.load();
        if (!self) return;
        unsigned generation = Generation.load();
        QMetaObject::invokeMethod(
            self, [self, generation] { self->MusicFinished(generation); }, Qt::QueuedConnection);
    }

    void MusicFinished(unsigned generation) {
        if (generation != Generation.load()) return;
        // A piece that ends at once (empty or broken file) would otherwise be
        // restarted in a busy loop; give it a pause first.
        if (PieceClock.isValid() && PieceClock.elapsed() < 1000) {
            QTimer::singleShot(2000, this, [this, generation] {
                if (generation == Generation.load() && OnMusicEnded) OnMusicEnded();
            });
            return;
        }
        if (OnMusicEnded) OnMusicEnded();
    }

    static inline std::atomic<TSdlAudioPlayer*> Instance{nullptr};
    static inline std::atomic<unsigned> Generation{0};

    bool Tried = false;
    bool SubsystemUp = false;
    bool Open = false;
    Mix_Chunk* Chunk = nullptr;
    Mix_Music* Music = nullptr;
    QElapsedTimer PieceClock;
};

}  // namespace

std::unique_ptr<IAudioPlayer> MakeSdlAudioPlayer() { return std::make_unique<TSdlAudioPlayer>(); }

}  // namespace canasta
