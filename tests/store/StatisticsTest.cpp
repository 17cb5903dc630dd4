// SPDX-License-Identifier: GPL-3.0-or-later
// The players' statistics: the counts after a series of hands and matches
// against several levels and a network opponent, their stored form, a
// restart over the same settings file, renames, deletions and resets.
#include <gtest/gtest.h>

#include "store/Players.h"
#include "store/RegistryEnhanced.h"
#include "store/SettingsCatalog.h"
#include "store/Statistics.h"
#include "store/TestSupport.h"

namespace canasta {
namespace {

const std::string kBeginner = OpponentKey(0, false);
const std::string kExpert = OpponentKey(2, false);
const std::string kNetwork = OpponentKey(1, true);

// Two matches against the Beginner (won, then lost), a won match against
// the Expert and a drawn one over the network, hand by hand.
void PlayTheSeries(TPlayers& players, ISettingsStore* store) {
    // Beginner: hands 1200-300, 450-800, 3500-1000; the match is won 5150 to 2100.
    players.RecordHand(store, kBeginner, 1200, 300);
    players.RecordHand(store, kBeginner, 450, 800);
    players.RecordHand(store, kBeginner, 3500, 1000);
    players.RecordMatch(store, kBeginner, 5150, 2100);
    // Beginner again: one hand lost 2000-5200, the match lost.
    players.RecordHand(store, kBeginner, 2000, 5200);
    players.RecordMatch(store, kBeginner, 2000, 5200);
    // Expert: a level hand (no win), then a won hand and match.
    players.RecordHand(store, kExpert, 700, 700);
    players.RecordHand(store, kExpert, 4400, -150);
    players.RecordMatch(store, kExpert, 5100, 550);
    // Network: a negative hand, then the match ends level.
    players.RecordHand(store, kNetwork, -250, 600);
    players.RecordMatch(store, kNetwork, 5000, 5000);
}

void ExpectTheSeries(const TPlayerStatistics& s) {
    EXPECT_EQ(s.ByOpponent.at(kBeginner), (TTally{4, 2, 2, 1}));
    EXPECT_EQ(s.ByOpponent.at(kExpert), (TTally{2, 1, 1, 1}));
    EXPECT_EQ(s.ByOpponent.at(kNetwork), (TTally{1, 0, 1, 0}));
    EXPECT_EQ(s.ByOpponent.count(OpponentKey(1, false)), 0u) << "no games against the Advanced level";
    EXPECT_EQ(s.Total(), (TTally{7, 3, 4, 2}));
    EXPECT_EQ(s.HandScoreSum, 1200 + 450 + 3500 + 2000 + 700 + 4400 - 250);
    ASSERT_TRUE(s.AverageHandScore());
    EXPECT_DOUBLE_EQ(*s.AverageHandScore(), 12000.0 / 7);
    EXPECT_EQ(s.BestHand, 4400);
    EXPECT_EQ(s.BestMatch, 5150);
    // Won, lost, won, drawn: the draw ends the streak of one.
    EXPECT_EQ(s.Streak, 0);
    EXPECT_EQ(s.LongestStreak, 1);
}

TEST(Statistics, ASeriesOfHandsAndMatchesAgainstLevelsAndTheNetwork) {
    TMemorySettings store;
    TPlayers players;
    players.Load(&store);
    PlayTheSeries(players, &store);
    // Nobody was chosen: everything went to the default player.
    ExpectTheSeries(*players.Default.Stats);
    TPlayers back;
    back.Load(&store);
    ExpectTheSeries(*back.Default.Stats);
}

TEST(Statistics, StreaksCountMatchesWonInARow) {
    TPlayerStatistics s;
    EXPECT_FALSE(s.AverageHandScore());
    EXPECT_FALSE(s.BestHand);
    for (int i = 0; i < 3; ++i) s.RecordMatch(kExpert, 5100, 3000);
    s.RecordMatch(kExpert, 4000, 5100);
    s.RecordMatch(kExpert, 5100, 3000);
    s.RecordMatch(kBeginner, 5100, 3000);
    EXPECT_EQ(s.Streak, 2);
    EXPECT_EQ(s.LongestStreak, 3);
    // A longer run beats the old longest.
    s.RecordMatch(kNetwork, 5100, 3000);
    s.RecordMatch(kNetwork, 5100, 3000);
    EXPECT_EQ(s.Streak, 4);
    EXPECT_EQ(s.LongestStreak, 4);
    // A best that is negative is still the best there is.
    s.RecordHand(kExpert, -300, 200);
    EXPECT_EQ(s.BestHand, -300);
}

TEST(Statistics, TheCurrentPlayerCountsAndTheWinRatioFollows) {
    TMemorySettings store;
    TPlayers players;
    players.List.push_back({"Zoe", std::make_shared<TWinRatio>(3, 1)});
    players.List.push_back({"Adam", std::make_shared<TWinRatio>()});
    players.Current = 1;
    players.Rewrite(&store);
    PlayTheSeries(players, &store);
    players.RecordMatchResult(&store, 5100, 200);
    ExpectTheSeries(*players.List[1].Stats);
    EXPECT_TRUE(players.List[0].Stats->Empty());
    EXPECT_TRUE(players.Default.Stats->Empty());
    // The win ratio keeps its stored form.
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName1", ""), "Adam,1,0");
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName2", ""), "Zoe,3,1");

    // Without a player, the default player's wins and losses are kept under names of their own.
    TPlayers none;
    none.RecordMatchResult(&store, 5100, 200);
    none.RecordMatchResult(&store, 100, 5200);
    none.RecordMatchResult(&store, 5000, 5000);
    EXPECT_EQ(ReadInt(&store, settings::DefaultPlayerWins, -1), 1);
    EXPECT_EQ(ReadInt(&store, settings::DefaultPlayerLosses, -1), 1);
    TPlayers back;
    back.Load(&store);
    EXPECT_EQ(back.Default.Ratio->Wins, 1);
    EXPECT_EQ(back.Default.Ratio->Losses, 1);
    EXPECT_EQ(back.CurrentName(), "Adam");
    ExpectTheSeries(*back.List[0].Stats);
}

TEST(Statistics, SurviveARestartOverTheSameSettingsFile) {
    test::TTempDir dir;
    const std::string file = dir.Path("settings.sqlite3");
    {
        TRegistryEnhanced store(file);
        TPlayers players;
        players.Load(&store);
        players.List.push_back({"Ann", std::make_shared<TWinRatio>()});
        players.Current = 0;
        players.Rewrite(&store);
        PlayTheSeries(players, &store);
    }
    TRegistryEnhanced again(file);
    TPlayers players;
    players.Load(&again);
    ASSERT_EQ(players.CurrentName(), "Ann");
    ExpectTheSeries(*players.List[0].Stats);
    EXPECT_TRUE(players.Default.Stats->Empty());
}

TEST(Statistics, NamesThatTheStoreWouldMixUpStayApart) {
    TMemorySettings store;
    TPlayers players;
    // The store ignores letter case and splits paths at backslashes.
    for (const char* name : {"Ann", "ann", "A\\nn", "Player"})
        players.List.push_back({name, std::make_shared<TWinRatio>()});
    for (int i = 0; i < 4; ++i) {
        players.Current = i;
        for (int n = 0; n <= i; ++n) players.RecordHand(&store, kExpert, 100 * (i + 1), 0);
    }
    players.Current = -1;
    players.RecordHand(&store, kBeginner, 50, 60);
    players.Current = 0;
    players.Rewrite(&store);
    TPlayers back;
    back.Load(&store);
    ASSERT_EQ(back.List.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        const int at = back.IndexOf(players.List[static_cast<size_t>(i)].Name);
        ASSERT_GE(at, 0);
        const TPlayerStatistics& s = *back.List[static_cast<size_t>(at)].Stats;
        EXPECT_EQ(s.Total().HandsPlayed, i + 1) << players.List[static_cast<size_t>(i)].Name;
        EXPECT_EQ(s.BestHand, 100 * (i + 1));
    }
    // A named "Player" is not the default player.
    EXPECT_EQ(back.Default.Stats->Total(), (TTally{1, 0, 0, 0}));
}

TEST(Statistics, ARenameKeepsThemADeletionTakesThemAResetClearsThem) {
    TMemorySettings store;
    TPlayers players;
    players.List.push_back({"Zoe", std::make_shared<TWinRatio>(2, 0)});
    players.List.push_back({"Adam", std::make_shared<TWinRatio>()});
    players.Current = 0;
    players.RecordHand(&store, kExpert, 900, 100);
    players.Current = 1;
    players.RecordHand(&store, kBeginner, 300, 100);

    // Zoe becomes Zoey; Adam goes. A new Adam starts from nothing.
    players.List[0].Name = "Zoey";
    players.List.erase(players.List.begin() + 1);
    players.Current = 0;
    players.Rewrite(&store);
    players.List.push_back({"Adam", std::make_shared<TWinRatio>()});
    players.Rewrite(&store);
    TPlayers back;
    back.Load(&store);
    ASSERT_EQ(back.List.size(), 2u);
    EXPECT_EQ(back.List[0].Name, "Zoey");
    EXPECT_EQ(back.List[0].Stats->BestHand, 900);
    EXPECT_TRUE(back.List[1].Stats->Empty()) << "the deleted Adam's hands are gone";

    back.ResetStatistics(&store, back.List[0]);
    back.Rewrite(&store);
    EXPECT_TRUE(back.List[0].Stats->Empty());
    EXPECT_EQ(back.List[0].Ratio->Wins, 0);
    TPlayers after;
    after.Load(&store);
    EXPECT_TRUE(after.List[0].Stats->Empty());
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName1", ""), "Zoey,0,0");
}

TEST(Statistics, DamagedValuesAreLeftOutNotBelieved) {
    TMemorySettings store;
    const std::string key = StatisticsSubKey(nullptr);
    WriteString(&store, key + "\\Versus\\Expert", "4,2,1,1");
    WriteString(&store, key + "\\Versus\\Beginner", "3,5,0,0");  // more won than played
    WriteString(&store, key + "\\Versus\\Advanced", "3,x,0,0");  // not a number
    WriteString(&store, key + "\\Versus\\Master", "2,1,1,0,9");  // a field too many
    WriteString(&store, key + "\\Versus\\Network", "-1,0,0,0");  // negative
    WriteString(&store, key + "\\Hand Score Sum", "lots");
    WriteInt(&store, key + "\\Streak", 3);
    WriteInt(&store, key + "\\Longest Streak", 1);
    TPlayerStatistics s;
    s.Load(&store, key);
    ASSERT_EQ(s.ByOpponent.size(), 1u);
    EXPECT_EQ(s.ByOpponent.at("Expert"), (TTally{4, 2, 1, 1}));
    EXPECT_EQ(s.HandScoreSum, 0);
    EXPECT_EQ(s.LongestStreak, 3) << "the longest streak is never shorter than the current one";
}

TEST(Statistics, ALevelAddedLaterNeedsOnlyItsName) {
    // Any level name is a key of its own, kept and counted like the others.
    TMemorySettings store;
    TPlayers players;
    players.RecordHand(&store, "Master", 800, 100);
    players.RecordMatch(&store, "Master", 5300, 900);
    TPlayers back;
    back.Load(&store);
    // (The test store gives names back in lower case, the program's keeps their spelling.)
    int found = 0;
    for (const auto& [name, tally] : back.Default.Stats->ByOpponent)
        if (LowerAscii(name) == "master") {
            EXPECT_EQ(tally, (TTally{1, 1, 1, 1}));
            ++found;
        }
    EXPECT_EQ(found, 1);
    // Every level the settings know is shown, in their order, then the network.
    const std::vector<std::string> known = KnownOpponents();
    ASSERT_EQ(known.size(), settings::LevelNames.size() + 1);
    for (size_t i = 0; i < settings::LevelNames.size(); ++i) EXPECT_EQ(known[i], settings::LevelNames[i]);
    EXPECT_EQ(known.back(), kNetworkOpponent);
    EXPECT_EQ(OpponentKey(99, false), settings::LevelNames.back());
    EXPECT_EQ(OpponentKey(0, true), "Network");
}

}  // namespace
}  // namespace canasta
