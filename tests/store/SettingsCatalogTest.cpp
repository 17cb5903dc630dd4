// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/SettingsCatalog.h"

#include <gtest/gtest.h>

#include "store/RegistryEnhanced.h"
#include "store/TestSupport.h"

namespace canasta {
namespace {

TEST(CatalogTest, FreshStoreGivesTheStartUpDefaults) {
    test::TTempDir dir;
    TRegistryEnhanced store(dir.Path("settings.sqlite3"));
    TAppSettings s = LoadAppSettings(&store, "/opt/canasta/");
    EXPECT_EQ(s.MusicDir, "/opt/canasta");
    EXPECT_EQ(s, LoadAppSettings(nullptr, "/opt/canasta"));
    // The values the program starts with on a new machine.
    EXPECT_EQ(std::tie(s.Version, s.BackgroundColor, s.MouseOptions, s.Delay, s.MusicFile, s.MusicType, s.Level,
                       s.Aggression, s.CardSpeed, s.Resolution),
              std::make_tuple(0, 32768, std::string("Single Right Click"), 300, std::string("ARCADIA.MID"), 1,
                              std::string("Beginner"), 50, 10, std::string("0,0,640x480")));
    EXPECT_TRUE(s.Sound && s.AutoSave && s.Music && s.ShowStatusbar && s.CardMovement && s.ShowHighscores &&
                s.ShowTurns && s.ChatOnTop);
    EXPECT_FALSE(s.HintShown);
    EXPECT_EQ(s.CardbackColor, (std::array<int32_t, 2>{128, 16512}));
    EXPECT_EQ(s.CardbackPattern, (std::array<int32_t, 2>{0, 0}));
    EXPECT_EQ(s.CardbackType, (std::array<int32_t, 2>{0, 0}));
    EXPECT_EQ(s.CardbackFilename, (std::array<std::string, 2>{"", ""}));
    const TRuleOptions& r = s.Rules;
    EXPECT_EQ(std::tie(r.CanastasToGoOut, r.CardsDrawn), std::make_tuple(1, 1));
    EXPECT_TRUE(r.AddToCanasta && r.TopCardCounts && r.InitiallyFrozen && r.NaturalPair && r.RedThreeDrawsExtra &&
                r.FrozenPerPlayer && r.WildCanastaAllowed);
    EXPECT_FALSE(r.PairForExistingMeld || r.RedThreeFreezes || r.BonusCounts || r.CanastaRequired);
    EXPECT_FALSE(test::Exists(dir.Path("settings.sqlite3")));  // reading creates nothing
}

TEST(CatalogTest, StoredValuesAreReadWhateverTheirCase) {
    TMemorySettings m;
    for (auto& [path, v] : std::vector<std::pair<const char*, TSettingValue>>{
             {"SETTINGS\\VERSION", 41301},
             {"settings\\background color", 255},
             {"Settings\\Mouse options", std::string("Double Right Click")},
             {"Settings\\Sound", 0},
             {"Settings\\Delay", 1000},
             {"Settings\\Autosave", 0},
             {"Settings\\Hint Shown", 1},
             {"Music\\File", std::string("song.mid")},
             {"Music\\Dir", std::string("C:\\Music\\")},
             {"Settings\\Music Type", 0},
             {"Settings\\Music", 0},
             {"Settings\\Show StatusBar", 0},
             {"Settings\\Level", std::string("Advanced")},
             {"Settings\\Aggression", 90},
             {"Settings\\Card Movement", 0},
             {"Settings\\Card Speed", 3},
             {"Cardback\\Color0", 1},
             {"Cardback\\Color1", 2},
             {"Cardback\\Pattern1", 4},
             {"Cardback\\Filename0", std::string("a.bmp")},
             {"Cardback\\Type1", 2},
             {"Settings\\Show Highscores", 0},
             {"Settings\\Show Turns", 0},
             {"Settings\\Resolution", std::string("10,20,1024x768")},
             {"Network\\Chat On Top", 0},
             {"Settings\\Canasta required", 1}})
        m.WriteValue(path, v);

    TAppSettings want;
    want.Version = 41301, want.BackgroundColor = 255, want.MouseOptions = "Double Right Click";
    want.Sound = want.AutoSave = want.Music = want.ShowStatusbar = want.CardMovement = false;
    want.ShowHighscores = want.ShowTurns = want.ChatOnTop = false;
    want.Delay = 1000, want.HintShown = true, want.MusicFile = "song.mid", want.MusicDir = "C:\\Music";
    want.MusicType = 0, want.Level = "Advanced", want.Aggression = 90, want.CardSpeed = 3;
    want.CardbackColor = {1, 2}, want.CardbackPattern = {0, 4}, want.CardbackFilename = {"a.bmp", ""};
    want.CardbackType = {0, 2}, want.Resolution = "10,20,1024x768", want.Rules.CanastaRequired = true;
    EXPECT_EQ(LoadAppSettings(&m, "/x"), want);
    EXPECT_EQ(want.LevelIndex(), 1);
    EXPECT_FALSE(want.SingleRightClick());
}

TEST(CatalogTest, LevelNamesMapExactly) {
    EXPECT_EQ(LevelIndexFromName("Beginner"), 0);
    EXPECT_EQ(LevelIndexFromName("Advanced"), 1);
    EXPECT_EQ(LevelIndexFromName("Master"), 3);
    EXPECT_EQ(LevelIndexFromName("master"), 2);
    for (const char* other : {"Expert", "beginner", "ADVANCED", ""}) EXPECT_EQ(LevelIndexFromName(other), 2);
}

TEST(CatalogTest, MusicDirLosesOneTrailingSeparator) {
    TMemorySettings m;
    for (auto [stored, read] : {std::pair{"C:\\Music\\", "C:\\Music"},
                                {"/home/a/music//", "/home/a/music/"},
                                {"/home/a/music", "/home/a/music"},
                                {"/", "/"}}) {
        WriteString(&m, "music\\dir", stored);
        EXPECT_EQ(ReadMusicDir(&m, "/x"), read) << stored;
    }
}

TEST(CatalogTest, NumberedPaths) {
    using namespace settings;
    EXPECT_EQ(HighScoreScorePath(2, false, 1), "Expert\\Score1");
    EXPECT_EQ(HighScoreNamePath(0, true, 10), "BeginnerMatch\\Name10");
    EXPECT_EQ(HighScoreDatePath(3, false, 5), "NetworkGame\\Date5");
    EXPECT_EQ(HighScoreScorePath(4, true, 1), "MasterMatch\\Score1");
    EXPECT_EQ(HighScoreNamePath(4, false, 10), "Master\\Name10");
    EXPECT_THROW(HighScoreKey(5, false), std::out_of_range);
    EXPECT_EQ(PlayerName.Path(1), "Player Names\\PlayerName1");
    EXPECT_EQ(SoundPath("Start", 2), "Sound\\Start2");
}

}  // namespace
}  // namespace canasta
