// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "ai/Advanced.h"
#include "ai/Beginner.h"
#include "ai/Expert.h"
#include "ai/PlayerBot.h"
#include "rules/Consistency.h"
#include "rules/Driver.h"
#include "rules/Moves.h"

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

namespace {

// The moves a level tells of its turn, played one by one through PlayMove on a
// copy of the game as its turn began, must bring the copy where the level
// brought the game: a level's turn is a sequence of the seat's moves.
class TReplayedLevel : public IComputerLevel {
public:
    TReplayedLevel(IComputerLevel& level, THeadlessHost& host) : Level(level), Host(host) {}

    void PlayTurn(TGame& g, TSeat seat) override {
        THeadlessHost quiet;
        TGame copy(quiet, g);
        const size_t from = Host.Moves.size();
        Level.PlayTurn(g, seat);
        ++Turns;
        for (size_t i = from; i < Host.Moves.size() && Failure.empty(); ++i) {
            const TMoveReport& r = Host.Moves[i];
            if (r.Seat != seat) continue;
            const TMove m = MoveOfReport(copy, seat, r);
            const std::string why = PlayMove(copy, seat, m);
            if (!why.empty()) Failure = DescribeMove(copy, m) + " refused: " + why;
        }
        if (Failure.empty()) Failure = Differences(copy, g, seat);
        if (!Failure.empty() && Failure.rfind("turn ", 0) != 0)
            Failure = "turn " + std::to_string(Turns) + ": " + Failure;
    }
    void NewHand(TGame& g) override { Level.NewHand(g); }

    std::string Failure;
    int Turns = 0;

private:
    // The cards of a list by identity, whatever their order and deck.
    static std::multiset<int> Ids(const TCardList& list) {
        std::multiset<int> ids;
        for (const TCard& c : list) ids.insert(c.Id);
        return ids;
    }
    static std::multiset<std::pair<int, int>> ByColumn(const TCardList& list) {
        std::multiset<std::pair<int, int>> cards;
        for (const TCard& c : list) cards.insert({c.Column, c.Id});
        return cards;
    }
    static std::string Differences(const TGame& a, const TGame& b, TSeat seat) {
        const TSeatState &x = a.Seat(seat), &y = b.Seat(seat);
        if (Ids(x.Hand) != Ids(y.Hand)) return "hands differ";
        if (ByColumn(x.Melds) != ByColumn(y.Melds)) return "tables differ";
        if (Ids(a.DiscardPile) != Ids(b.DiscardPile) || a.Stock.Count != b.Stock.Count) return "pile or stock differs";
        if (x.MeldState.Canastas != y.MeldState.Canastas || x.MeldedPoints != y.MeldedPoints)
            return "melds counted apart";
        if (a.PileFrozen != b.PileFrozen) return "the pile's freeze differs";
        // Whose turn it would be does not matter once the hand is over.
        if (a.TurnPhase != b.TurnPhase || (a.TurnPhase != TTurnPhase::HandOver && a.OpponentsTurn != b.OpponentsTurn))
            return "the turn went elsewhere: phase " + std::to_string(int(a.TurnPhase)) + " against " +
                   std::to_string(int(b.TurnPhase)) + ", hand " + std::to_string(x.Hand.Count) + ", stock " +
                   std::to_string(a.Stock.Count);
        if (x.Score != y.Score || a.Seat(OtherSeat(seat)).Score != b.Seat(OtherSeat(seat)).Score)
            return "scores differ";
        return {};
    }

    IComputerLevel& Level;
    THeadlessHost& Host;
};

// Under the default rules and random ones, with the level judging the pile by
// the seat's rules as a checked seat must.
TEST(LevelMoves, EveryLevelsTurnIsMovesOfItsSeat) {
    for (const char* name : {"beginner", "advanced", "expert"}) {
        for (uint32_t seed = 1; seed <= 60; ++seed) {
            TRandom rng(seed);
            const TRuleOptions rules =
                seed <= 2 ? TRuleOptions{} : RandomRuleOptions([&rng](uint32_t n) { return rng.Next(n); });
            THeadlessHost host;
            host.Answers = {false};
            host.RecordMoves = true;
            TGame g(host, rules);
            std::unique_ptr<TComputerTurn> level = Level(name);
            level->CheckedMoves = true;
            TReplayedLevel replayed(*level, host);
            g.Levels = {&replayed, &replayed, &replayed};
            g.FixedSeed = true;
            g.Rng.Seed = seed;
            std::unique_ptr<TPlayerBot> bot = MakePlayerBot(seed % 2 ? "greedy" : "random");
            bot->Seed(seed);
            TGameDriver driver(g);
            g.NewGame();
            driver.Run();
            for (int i = 0; i < 4000 && !g.QuitRequested && g.HandNumber <= 6 && replayed.Failure.empty(); ++i) {
                bot->Step(g);
                driver.Run();
            }
            ASSERT_EQ(replayed.Failure, "") << name << " seed " << seed;
            EXPECT_GT(replayed.Turns, 20) << name << " seed " << seed;
        }
    }
}

}  // namespace
