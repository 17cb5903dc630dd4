// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/SettingsCatalog.h"

namespace canasta {

namespace settings {

std::string SoundPath(const std::string& eventName, int n) {
    return std::string(SoundKey) + "\\" + eventName + std::to_string(n);
}

std::string HighScoreKey(int level, bool match) {
    return std::string(HighScoreLevels.at(static_cast<size_t>(level))) + (match ? "Match" : "");
}

static std::string HighScorePath(int level, bool match, const char* field, int row) {
    return HighScoreKey(level, match) + "\\" + field + std::to_string(row);
}

std::string HighScoreScorePath(int level, bool match, int row) { return HighScorePath(level, match, "Score", row); }
std::string HighScoreNamePath(int level, bool match, int row) { return HighScorePath(level, match, "Name", row); }
std::string HighScoreDatePath(int level, bool match, int row) { return HighScorePath(level, match, "Date", row); }

}  // namespace settings

int32_t Read(ISettingsStore* store, const TSetting<int32_t>& s) { return ReadInt(store, s.Path, s.Default); }
bool Read(ISettingsStore* store, const TSetting<bool>& s) { return ReadBool(store, s.Path, s.Default); }
std::string Read(ISettingsStore* store, const TSetting<const char*>& s) { return ReadString(store, s.Path, s.Default); }

int LevelIndexFromName(const std::string& name) {
    if (name == settings::LevelNames[0]) return 0;
    if (name == settings::LevelNames[1]) return 1;
    if (name == settings::LevelNames[3]) return 3;
    return 2;
}

std::string ReadMusicDir(ISettingsStore* store, const std::string& programFolder) {
    std::string dir = ReadString(store, settings::MusicDir, programFolder);
    // Keep a lone "/" (the root folder) as it is.
    if (dir.size() > 1 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
    return dir;
}

TAppSettings LoadAppSettings(ISettingsStore* store, const std::string& programFolder) {
    using namespace settings;
    TAppSettings s;
    s.Version = Read(store, Version);
    s.BackgroundColor = Read(store, BackgroundColor);
    s.MouseOptions = Read(store, MouseOptions);
    s.Sound = Read(store, Sound);
    s.Delay = Read(store, Delay);
    s.AutoSave = Read(store, AutoSave);
    s.HintShown = Read(store, HintShown);
    s.MusicFile = Read(store, MusicFile);
    s.MusicDir = ReadMusicDir(store, programFolder);
    s.MusicType = Read(store, MusicType);
    s.Music = Read(store, Music);
    s.ShowStatusbar = Read(store, ShowStatusbar);
    s.Level = Read(store, Level);
    s.Aggression = Read(store, Aggression);
    s.CardMovement = Read(store, CardMovement);
    s.CardSpeed = Read(store, CardSpeed);
    s.CardbackColor = {Read(store, CardbackColor0), Read(store, CardbackColor1)};
    for (int n = 0; n < 2; ++n) {
        s.CardbackPattern[n] = ReadInt(store, CardbackPattern.Path(n), CardbackPattern.Default);
        s.CardbackFilename[n] = ReadString(store, CardbackFilename.Path(n), CardbackFilename.Default);
        s.CardbackType[n] = ReadInt(store, CardbackType.Path(n), CardbackType.Default);
    }
    s.ShowHighscores = Read(store, ShowHighscores);
    s.ShowTurns = Read(store, ShowTurns);
    s.Resolution = Read(store, Resolution);
    s.WindowPlace = Read(store, WindowPlace);
    s.ChatOnTop = Read(store, ChatOnTop);
    s.Rules = LoadRuleOptions(store);
    return s;
}

}  // namespace canasta
