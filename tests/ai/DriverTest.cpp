// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "ai/Advanced.h"
#include "ai/Beginner.h"
#include "ai/Expert.h"
#include "ai/PlayerBot.h"
#include "rules/Consistency.h"
#include "rules/Driver.h"

using namespace canasta;

namespace {

std::unique_ptr<TComputerTurn> Level(const std::string& name) {
    if (name == "beginner") return std::make_unique<TBeginner>();
    if (name == "advanced") return std::make_unique<TAdvanced>();
    return std::make_unique<TExpert>();
}

struct TPairing {
    std::string Player;    // "greedy" or "random" (a bot) or a level's name
    std::string Opponent;  // a level's name
};

// Plays one whole match as the window does: the player's seat moves, then the
// driver runs what follows (the computer's turn, the end of the hand, the
// next deal) until the player's seat is to move again or the match is over.
void PlayMatch(const TPairing& pairing, uint32_t seed) {
    THeadlessHost host;
    host.Answers = {false};  // no second game
    host.Record = true;
    TGame g(host);
    std::unique_ptr<TComputerTurn> opponent = Level(pairing.Opponent);
    g.Levels = {opponent.get(), opponent.get(), opponent.get()};
    g.FixedSeed = true;
    g.Rng.Seed = seed;
    g.PlayerDrawsFirst = seed & 1;
    std::unique_ptr<TPlayerBot> bot;
    std::unique_ptr<TComputerTurn> playerLevel;
    if (pairing.Player == "greedy" || pairing.Player == "random") {
        bot = MakePlayerBot(pairing.Player);
        bot->Seed(seed);
    } else {
        playerLevel = Level(pairing.Player);
    }
    TGameDriver driver(g);
    g.NewGame();
    driver.Run();
    int turns = 0;
    while (!g.QuitRequested) {
        ASSERT_LT(++turns, 20000) << "the match does not end";
        ASSERT_TRUE(IsPlayersMove(g)) << "the driver stopped with nobody to move";
        if (bot) {
            ASSERT_NE(bot->Step(g).Kind, TMoveType::None);
        } else {
            playerLevel->PlayTurn(g, TSeat::Player);
        }
        driver.Run();
        ASSERT_EQ(CheckConsistency(g), "") << "turn " << turns;
    }
    ASSERT_EQ(host.Matches.size(), 1u);
    const TMatchResult& m = host.Matches[0];
    EXPECT_TRUE(m.PlayerScore >= 5000 || m.OpponentScore >= 5000);
    EXPECT_EQ(m.PlayerScore - m.OpponentScore, m.Difference);
    EXPECT_GE(host.Hands.size(), 2u);
}

class WholeMatch : public ::testing::TestWithParam<TPairing> {};

TEST_P(WholeMatch, ThroughTheDriverInEitherSeat) {
    for (uint32_t seed = 1; seed <= 3; ++seed) PlayMatch(GetParam(), seed);
}

INSTANTIATE_TEST_SUITE_P(Pairings, WholeMatch,
                         ::testing::Values(TPairing{"greedy", "beginner"}, TPairing{"random", "expert"},
                                           TPairing{"expert", "advanced"}, TPairing{"beginner", "expert"}),
                         [](const ::testing::TestParamInfo<TPairing>& pairing) {
                             return pairing.param.Player + "_vs_" + pairing.param.Opponent;
                         });

}  // namespace

namespace {

// An observer apart from the view: it hears the player's moves and every
// finished hand and match, and nothing of what is shown.
struct TTally : IGameObserver {
    int Moves = 0, Hands = 0, Matches = 0;
    void MoveMade(const TMoveReport&) override { ++Moves; }
    void HandFinished(const THandResult&) override { ++Hands; }
    void MatchFinished(const TMatchResult&) override { ++Matches; }
};

TEST(Observers, HearMovesAndResultsApartFromTheView) {
    THeadlessHost view;
    view.Answers = {false};
    view.Record = true;
    TTally tally;
    TGame g(view, tally);
    TBeginner level;
    g.Levels = {&level, &level, &level};
    g.FixedSeed = true;
    g.Rng.Seed = 3;
    std::unique_ptr<TPlayerBot> bot = MakePlayerBot("greedy");
    TGameDriver driver(g);
    g.NewGame();
    driver.Run();
    for (int i = 0; i < 20000 && !g.QuitRequested; ++i) {
        bot->Step(g);
        driver.Run();
    }
    ASSERT_TRUE(g.QuitRequested);
    EXPECT_GT(tally.Moves, 20);
    EXPECT_GE(tally.Hands, 2);
    EXPECT_EQ(tally.Matches, 1);
    // The view showed the results but heard none of them.
    EXPECT_TRUE(view.Hands.empty());
    EXPECT_TRUE(view.Matches.empty());
    EXPECT_FALSE(view.Events.empty());
}

}  // namespace
