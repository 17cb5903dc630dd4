// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every settings value name of the program with its start-up default, in one
// place, and TAppSettings: the values the table window reads at start-up.
// The rule options keep their names in model/RuleOptions.h (rulekeys).
#include <array>
#include <cstdint>
#include <string>

#include "Version.h"
#include "model/RuleOptions.h"
#include "model/Settings.h"

namespace canasta {

template <class T>
struct TSetting {
    const char* Path;
    T Default;
};

// A numbered family of values: Prefix + n.
template <class T>
struct TNumberedSetting {
    const char* Prefix;
    T Default;
    std::string Path(int n) const { return Prefix + std::to_string(n); }
};

namespace settings {

inline constexpr int32_t CurrentVersion = kReleaseNumber;
inline constexpr TSetting<int32_t> Version{"Settings\\Version", 0};

inline constexpr TSetting<int32_t> BackgroundColor{"Settings\\Background Color", 32768};  // 0x00BBGGRR
inline constexpr TSetting<const char*> MouseOptions{"Settings\\Mouse Options", "Single Right Click"};
inline constexpr const char* SingleRightClick = "Single Right Click";
inline constexpr const char* DoubleRightClick = "Double Right Click";
inline constexpr TSetting<bool> Sound{"Settings\\Sound", true};
inline constexpr TSetting<int32_t> Delay{"Settings\\Delay", 300};
inline constexpr TSetting<bool> AutoSave{"Settings\\AutoSave", true};
inline constexpr TSetting<bool> HintShown{"Settings\\Hint Shown", false};
inline constexpr TSetting<const char*> MusicFile{"Music\\File", "ARCADIA.MID"};
// Default: the program's folder; see ReadMusicDir.
inline constexpr const char* MusicDir = "Music\\Dir";
inline constexpr TSetting<int32_t> MusicType{"Settings\\Music Type", 1};  // 0 single file, 1 jukebox folder
inline constexpr TSetting<bool> Music{"Settings\\Music", true};
inline constexpr TSetting<bool> ShowStatusbar{"Settings\\Show Statusbar", true};
inline constexpr TSetting<const char*> Level{"Settings\\Level", "Beginner"};
inline constexpr TSetting<int32_t> Aggression{"Settings\\Aggression", 50};
inline constexpr TSetting<bool> CardMovement{"Settings\\Card Movement", true};
inline constexpr TSetting<int32_t> CardSpeed{"Settings\\Card Speed", 10};
inline constexpr TSetting<int32_t> CardbackColor0{"Cardback\\Color0", 128};
inline constexpr TSetting<int32_t> CardbackColor1{"Cardback\\Color1", 16512};
inline constexpr TNumberedSetting<int32_t> CardbackPattern{"Cardback\\Pattern", 0};  // n = deck 0, 1
inline constexpr TNumberedSetting<const char*> CardbackFilename{"Cardback\\Filename", ""};
inline constexpr TNumberedSetting<int32_t> CardbackType{"Cardback\\Type", 0};
inline constexpr TSetting<bool> ShowHighscores{"Settings\\Show Highscores", true};
inline constexpr TSetting<bool> ShowTurns{"Settings\\Show Turns", true};
inline constexpr TSetting<const char*> Resolution{"Settings\\Resolution", "0,0,640x480"};
// The window's own place and size when the user sized it freely: "left,top,width,height,state"
// (state 0 normal, 1 maximized, 2 full screen); empty when a preset size was last chosen.
inline constexpr TSetting<const char*> WindowPlace{"Settings\\Window Place", ""};
inline constexpr TSetting<bool> ChatOnTop{"Network\\Chat on Top", true};

// The connect dialog: LAN (true) or Internet, the opponent field, the
// identification server (only connected to, to learn the Internet address),
// and the opponent address history, newest first, at most 10.
inline constexpr TSetting<bool> LANorInternet{"Network\\LANorInternet", false};
inline constexpr TSetting<const char*> LANAddress{"Network\\LANAddress", ""};
inline constexpr TSetting<const char*> IDServer{"Network\\ID Server", "www.debian.org"};
inline constexpr TNumberedSetting<const char*> LANHist{"Network\\LANHist", ""};  // n = 0, 1, ...
inline constexpr int LANHistMax = 10;

// The chat window's font, place and size (the position's default is the table window's).
inline constexpr TSetting<int32_t> ChatFontColor{"Chat\\Font.Color", 0};
inline constexpr TSetting<int32_t> ChatFontHeight{"Chat\\Font.Height", -11};
inline constexpr TSetting<const char*> ChatFontName{"Chat\\Font.Name", "MS Sans Serif"};
inline constexpr TSetting<int32_t> ChatFontPitch{"Chat\\Font.Pitch", 0};  // 0 default, 1 variable, 2 fixed
inline constexpr TSetting<int32_t> ChatFontSize{"Chat\\Font.Size", 8};
inline constexpr TSetting<bool> ChatFontBold{"Chat\\Font.Bold", false};
inline constexpr TSetting<bool> ChatFontItalic{"Chat\\Font.Italic", false};
inline constexpr TSetting<bool> ChatFontUnderline{"Chat\\Font.Underline", false};
inline constexpr TSetting<bool> ChatFontStrikeOut{"Chat\\Font.StrikeOut", false};
inline constexpr const char* ChatTop = "Chat\\Top";
inline constexpr const char* ChatLeft = "Chat\\Left";
inline constexpr TSetting<int32_t> ChatHeight{"Chat\\Height", 108};
inline constexpr TSetting<int32_t> ChatWidth{"Chat\\Width", 429};

// Players: n = 1, 2, ...; the list ends at the first empty value; 1 is the current player.
inline constexpr const char* PlayerNamesKey = "Player Names";
inline constexpr TNumberedSetting<const char*> PlayerName{"Player Names\\PlayerName", ""};

// Statistics of the players: "Default" for the games played while no player
// is chosen, "Named\" + the name in hexadecimal for each player (store/Statistics.h).
inline constexpr const char* StatisticsKey = "Statistics";
// The default player's match wins and losses (a named player's are in "Player Names").
inline constexpr const char* DefaultPlayerWins = "Statistics\\Default\\Wins";
inline constexpr const char* DefaultPlayerLosses = "Statistics\\Default\\Losses";

// The welcome window at start-up, until the player asks not to see it again.
inline constexpr TSetting<bool> ShowWelcome{"Settings\\Show Welcome", true};

// Sound files of an event: "Sound\" + event name + n, n = 1..3.
inline constexpr const char* SoundKey = "Sound";
inline constexpr const char* NoSound = "<none>";
std::string SoundPath(const std::string& eventName, int n);

// Computer levels as stored in "Settings\Level".
inline constexpr std::array<const char*, 4> LevelNames{"Beginner", "Advanced", "Expert", "Master"};

// High scores: level index 0..4 (the network game keeps 3, the Master came
// later), hand or match list, row 1..10.
inline constexpr std::array<const char*, 5> HighScoreLevels{"Beginner", "Advanced", "Expert", "NetworkGame", "Master"};
inline constexpr int HighScoreRows = 10;
std::string HighScoreKey(int level, bool match);                 // "Expert", "BeginnerMatch" ...
std::string HighScoreScorePath(int level, bool match, int row);  // integer, default 0
std::string HighScoreNamePath(int level, bool match, int row);   // text, default empty
std::string HighScoreDatePath(int level, bool match, int row);   // text, default empty

}  // namespace settings

int32_t Read(ISettingsStore* store, const TSetting<int32_t>& s);
bool Read(ISettingsStore* store, const TSetting<bool>& s);
std::string Read(ISettingsStore* store, const TSetting<const char*>& s);

// "Beginner" -> 0, "Advanced" -> 1, "Master" -> 3, any other text (other letter case too) -> 2.
int LevelIndexFromName(const std::string& name);
// "Music\Dir" with one trailing backslash or slash removed; programFolder when absent.
std::string ReadMusicDir(ISettingsStore* store, const std::string& programFolder);

struct TAppSettings {
    int32_t Version = settings::Version.Default;
    int32_t BackgroundColor = settings::BackgroundColor.Default;
    std::string MouseOptions = settings::MouseOptions.Default;
    bool Sound = settings::Sound.Default;
    int32_t Delay = settings::Delay.Default;
    bool AutoSave = settings::AutoSave.Default;
    bool HintShown = settings::HintShown.Default;
    std::string MusicFile = settings::MusicFile.Default;
    std::string MusicDir;
    int32_t MusicType = settings::MusicType.Default;
    bool Music = settings::Music.Default;
    bool ShowStatusbar = settings::ShowStatusbar.Default;
    std::string Level = settings::Level.Default;
    int32_t Aggression = settings::Aggression.Default;
    bool CardMovement = settings::CardMovement.Default;
    int32_t CardSpeed = settings::CardSpeed.Default;
    std::array<int32_t, 2> CardbackColor{settings::CardbackColor0.Default, settings::CardbackColor1.Default};
    std::array<int32_t, 2> CardbackPattern{settings::CardbackPattern.Default, settings::CardbackPattern.Default};
    std::array<std::string, 2> CardbackFilename{settings::CardbackFilename.Default, settings::CardbackFilename.Default};
    std::array<int32_t, 2> CardbackType{settings::CardbackType.Default, settings::CardbackType.Default};
    bool ShowHighscores = settings::ShowHighscores.Default;
    bool ShowTurns = settings::ShowTurns.Default;
    std::string Resolution = settings::Resolution.Default;
    std::string WindowPlace = settings::WindowPlace.Default;
    bool ChatOnTop = settings::ChatOnTop.Default;
    TRuleOptions Rules;

    int LevelIndex() const { return LevelIndexFromName(Level); }
    // Any text but "Single Right Click" means two right clicks to discard.
    bool SingleRightClick() const { return MouseOptions == settings::SingleRightClick; }

    friend bool operator==(const TAppSettings&, const TAppSettings&) = default;
};

// Reads every value above with its default (a null store gives the defaults).
// programFolder is the default of "Music\Dir".
TAppSettings LoadAppSettings(ISettingsStore* store, const std::string& programFolder = {});

}  // namespace canasta

// The player-list request by e-mail.
namespace canasta::settings {
inline constexpr TSetting<bool> PLRequestIssued{"Settings\\PL Request Issued", false};
// Where the request goes and the list's web page, shown in the dialog. No
// list service is known to the program: both stay empty until the player
// names one (the dialog asks for the address while there is none).
inline constexpr TSetting<const char*> PLMaintainerAddress{"Network\\Player List Address", ""};
inline constexpr TSetting<const char*> PLMaintainerName{"Network\\Player List Maintainer", "Canasta Player List"};
inline constexpr TSetting<const char*> PLWebPage{"Network\\Player List Page", ""};
}  // namespace canasta::settings
