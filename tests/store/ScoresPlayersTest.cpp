// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "store/HighScores.h"
#include "store/Players.h"

using namespace canasta;

namespace {
struct FakeUi : IHighScoreUi {
    bool Show = true;
    int Sounds = 0, Asked = 0, Shown = 0, BoldRow = 0;
    std::string Answer = "Zoe";
    bool ShowHighScores() override { return Show; }
    void PlayHighScoreSound() override { ++Sounds; }
    bool AskName(const std::string& caption, const std::string& prompt, std::string& name) override {
        ++Asked;
        EXPECT_EQ(prompt, "Enter your name:");
        name = Answer;
        return true;
    }
    void ShowHallOfFame(int, int, int row) override {
        ++Shown;
        BoldRow = row;
    }
    std::string Today() override { return "08/12/2026"; }
};
}  // namespace

TEST(HighScores, EntersInOrderWithEqualScoresKeptAbove) {
    TMemorySettings store;
    FakeUi ui;
    THighScores hs;
    hs.Load(&store);
    std::string name = "Ann";
    bool asked = false;
    EXPECT_EQ(hs.Enter(&store, ui, 0, hsHand, 0, name, "Computer", asked), 0);  // a margin of 0 never enters
    EXPECT_EQ(hs.Enter(&store, ui, 0, hsHand, 300, name, "Computer", asked), 1);
    EXPECT_EQ(ui.Asked, 1);
    EXPECT_EQ(name, "Zoe");  // the answer is the name for the rest of this game-over
    EXPECT_EQ(hs.Enter(&store, ui, 0, hsHand, 300, name, "Computer", asked), 2);  // equal: below
    EXPECT_EQ(ui.Asked, 1);                                                       // asked once per game-over
    EXPECT_EQ(hs.Enter(&store, ui, 0, hsHand, 500, name, "Computer", asked), 1);
    EXPECT_EQ(ui.BoldRow, 1);
    const auto& list = hs.Tables[hsHand][0];
    EXPECT_EQ(list[0].Score, 500);
    EXPECT_EQ(list[1].Score, 300);
    EXPECT_EQ(list[2].Score, 300);
    EXPECT_EQ(list[0].Date, "08/12/2026");

    // The computer's margin enters under its name, silently.
    const int sounds = ui.Sounds;
    EXPECT_EQ(hs.Enter(&store, ui, 0, hsHand, -400, name, "Computer", asked), 2);
    EXPECT_EQ(list[1].Name, "Computer");
    EXPECT_EQ(ui.Sounds, sounds);
    EXPECT_EQ(ui.Asked, 1);

    // Stored under "Beginner\Score1" ... and read back.
    EXPECT_EQ(ReadInt(&store, "Beginner\\Score1", 0), 500);
    EXPECT_EQ(ReadString(&store, "Beginner\\Name2", ""), "Computer");
    THighScores back;
    back.Load(&store);
    EXPECT_EQ(back.Tables[hsHand][0], list);

    // A full list: row 10 falls out; a margin not above row 10 stays out.
    for (int i = 0; i < 10; ++i) hs.Enter(&store, ui, 2, hsMatch, 1000 + i, name, "Computer", asked);
    EXPECT_EQ(hs.Enter(&store, ui, 2, hsMatch, 1000, name, "Computer", asked), 0);
    EXPECT_EQ(hs.Enter(&store, ui, 2, hsMatch, 2000, name, "Computer", asked), 1);
    EXPECT_EQ(hs.Tables[hsMatch][2][9].Score, 1001);
    EXPECT_EQ(ReadInt(&store, "ExpertMatch\\Score10", 0), 1001);

    hs.Clear(&store, 2, hsMatch);
    EXPECT_EQ(ReadInt(&store, "ExpertMatch\\Score1", 0), 0);
    EXPECT_EQ(hs.Tables[hsMatch][2][0].Score, 0);
}

TEST(HighScores, HiddenListsStillStoreUnderTheStoredName) {
    TMemorySettings store;
    FakeUi ui;
    ui.Show = false;
    THighScores hs;
    std::string name = "Ann";
    bool asked = false;
    EXPECT_EQ(hs.Enter(&store, ui, 3, hsHand, 120, name, "Bob", asked), 1);
    EXPECT_EQ(ui.Asked + ui.Sounds + ui.Shown, 0);
    EXPECT_EQ(ReadString(&store, "NetworkGame\\Name1", ""), "Ann");
}

TEST(Players, StoredFormOrderAndWinRatios) {
    TMemorySettings store;
    TPlayers p;
    p.List.push_back({"Zoe", std::make_shared<TWinRatio>(3, 1)});
    p.List.push_back({"Adam", std::make_shared<TWinRatio>(1, 2)});
    p.Current = 1;
    p.Rewrite(&store);
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName1", ""), "Adam,1,2");
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName2", ""), "Zoe,3,1");
    TPlayers back;
    back.Load(&store);
    ASSERT_EQ(back.List.size(), 2u);
    EXPECT_EQ(back.CurrentName(), "Adam");  // the current player is loaded first
    EXPECT_EQ(RatioText(*back.List[1].Ratio), "75%");
    EXPECT_EQ(RatioText(*back.List[0].Ratio), "33%");
    EXPECT_EQ(RatioText(TWinRatio(2, 1)), "67%");
    EXPECT_EQ(RatioText(TWinRatio(0, 0)), "?");

    back.RecordMatchResult(&store, 5000, 5000);  // a draw counts nothing
    EXPECT_EQ(back.List[0].Ratio->Wins, 1);
    EXPECT_EQ(back.List[0].Ratio->Losses, 2);
    back.RecordMatchResult(&store, 5100, 4000);
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName1", ""), "Adam,2,2");

    // Fewer players after a deletion: the rewrite leaves no stale entry.
    back.List.erase(back.List.begin() + 1);
    back.Rewrite(&store);
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName2", ""), "");
    EXPECT_FALSE(IsValidPlayerName("a,b"));
    EXPECT_FALSE(IsValidPlayerName(""));

    // With no player chosen the list is still stored from the first name on,
    // so a load finds every player (not none).
    TPlayers unchosen;
    unchosen.List.push_back({"Zoe", std::make_shared<TWinRatio>(3, 1)});
    unchosen.List.push_back({"Adam", std::make_shared<TWinRatio>(1, 2)});
    unchosen.Current = -1;
    TMemorySettings other;
    unchosen.Rewrite(&other);
    TPlayers loaded;
    loaded.Load(&other);
    ASSERT_EQ(loaded.List.size(), 2u);
    EXPECT_EQ(loaded.List[0].Name, "Zoe");
    EXPECT_EQ(loaded.List[1].Name, "Adam");
}

TEST(Players, NoPlayersMeansNoCurrentPlayerAndNothingRecorded) {
    TMemorySettings store;
    TPlayers p;
    p.Load(&store);
    EXPECT_EQ(p.Current, -1);
    p.RecordMatchResult(&store, 5000, 100);
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName1", ""), "");
}
