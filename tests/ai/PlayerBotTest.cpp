// SPDX-License-Identifier: GPL-3.0-or-later
// The scripted player seat: gestures only through the table's operations,
// sensible greedy choices, and progress whatever the random gestures did.
#include <gtest/gtest.h>

#include "ai/AiTestSupport.h"
#include "ai/Beginner.h"
#include "ai/PlayerBot.h"

using namespace canasta;
using namespace canasta::test;

namespace {

struct Bot : ::testing::Test {
    TestTable t;
    DrawDiscardLevel opponent;
    TGreedyBot bot;
    TGame& g = t.G;

    Bot() { g.Levels = {&opponent, &opponent, &opponent}; }
};

TEST_F(Bot, GesturesDoNothingWhileTheOpponentMoves) {
    t.DrawPhase();
    t.Hand({"5C", "9D"});
    g.OpponentsTurn = true;
    g.SetTurnPhase(TTurnPhase::OpponentTurn);
    const TGameState before = g.State();
    for (TMoveType k : {TMoveType::Draw, TMoveType::TakePile, TMoveType::Discard, TMoveType::MeldCard})
        ApplyMove(g, {k, 0});
    EXPECT_EQ(g.Seat(TSeat::Player).Hand, before.Seat(TSeat::Player).Hand);
    EXPECT_EQ(g.Stock.Count, before.Stock.Count);
    EXPECT_EQ(bot.Next(g).Kind, TMoveType::None);
}

TEST_F(Bot, TakesThePileForAPairAndDrawsOtherwise) {
    t.Meld(12, {"KS", "KH", "KD"});
    t.Meld(13, {"AS", "AH", "AD"});
    t.Hand({"8S", "8H", "4C", "9D", "JC"});
    t.Pile({"5C", "8D"});
    t.DrawPhase();
    EXPECT_EQ(bot.Next(g).Kind, TMoveType::TakePile);
    t.Pile({"QD"});
    EXPECT_EQ(bot.Next(g).Kind, TMoveType::Draw);
}

TEST_F(Bot, FirstMeldReachesTheMinimumWithAWildCard) {
    t.Hand({"KS", "KH", "KC", "5S", "5H", "5D", "JK", "9C", "JD"});
    t.Pile({"4H"});
    t.DrawPhase();
    ASSERT_GT(bot.PlayTurn(g), 0);
    EXPECT_GE(g.MeldedPoints(TSeat::Player, true), 50);
    EXPECT_TRUE(g.ValidateMelds(TSeat::Player));
    EXPECT_TRUE(g.OpponentsTurn);  // the turn ends with the discard
    Drive(g);
    EXPECT_EQ(opponent.Turns, 1);
    EXPECT_EQ(t.Consistent(), "");
}

TEST_F(Bot, DiscardsABlackThreeBeforeNaturalsAndWildCardsLast) {
    t.Hand({"JK", "9C", "3S", "KD"});
    t.Melding();
    EXPECT_EQ(bot.Next(g), (TMove{TMoveType::Discard, t.HandIndex("3S")}));
    t.Clear();
    t.Hand({"JK", "9C", "KD"});
    EXPECT_EQ(bot.Next(g), (TMove{TMoveType::Discard, t.HandIndex("9C")}));
}

TEST_F(Bot, GoesOutWhenItHasTheCanasta) {
    t.Meld(12, {"KS", "KH", "KD", "KC", "KS", "KH", "KD"});
    t.Hand({"5C", "5D", "5H", "9S"});
    t.Melding();
    const uint32_t hand = g.HandNumber;
    g.PlayerDrawsFirst = true;
    bot.PlayTurn(g);
    Drive(g);
    EXPECT_EQ(g.HandNumber, hand + 1);
    ASSERT_EQ(t.Host.Hands.size(), 1u);
    EXPECT_GT(t.Host.Hands[0].Player.FinishBonus, 0);
}

// A refused gesture is not repeated in the same state: the forced player's
// "End Hand" is refused, so it takes the top card.
TEST_F(Bot, RefusedEndHandLeadsToTheForcedTake) {
    t.Meld(8, {"9S", "9H", "9C", "9D"});
    t.Hand({"KS", "5C"});
    t.Pile({"4C", "9H"});
    t.StockDownTo(0);
    t.DrawPhase();
    EXPECT_EQ(bot.Step(g).Kind, TMoveType::EndHand);
    EXPECT_EQ(t.Host.LastInform.rfind("You cannot end this hand now", 0), 0u);
    EXPECT_EQ(bot.Step(g).Kind, TMoveType::TakePile);
    EXPECT_EQ(t.ColumnCount(8), 5);
}

TEST(RandomBot, AlwaysFinishesItsTurn) {
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        THeadlessHost host;
        DrawDiscardLevel opponent;
        TGame g(host);
        g.Levels = {&opponent, &opponent, &opponent};
        g.FixedSeed = true;
        g.Rng.Seed = seed;
        TRandomBot bot(40);
        bot.Seed(seed);
        g.DealHand();
        Drive(g);
        for (int turn = 0; turn < 40 && !g.QuitRequested; ++turn) {
            ASSERT_TRUE(IsPlayersMove(g));
            while (IsPlayersMove(g) && bot.GesturesThisTurn() < 200) {
                const int turns = opponent.Turns;
                const uint32_t hand = g.HandNumber;
                ASSERT_NE(bot.Step(g).Kind, TMoveType::None) << "seed " << seed;
                Drive(g);
                ASSERT_EQ(CheckConsistency(g), "") << "seed " << seed;
                if (opponent.Turns != turns || g.HandNumber != hand) break;
            }
            ASSERT_LT(bot.GesturesThisTurn(), 200) << "seed " << seed;
        }
    }
}

TEST(GreedyBot, PlaysAWholeMatchAgainstTheBeginner) {
    THeadlessHost host;
    host.Answers = {false};  // no second game
    TBeginner beginner;
    TGame g(host);
    g.Levels = {&beginner, nullptr, nullptr};
    g.FixedSeed = true;
    g.Rng.Seed = 2024;
    TGreedyBot bot;
    g.NewGame();
    Drive(g);
    int gestures = 0;
    while (!g.QuitRequested && gestures < 20000) {
        ASSERT_NE(bot.Step(g).Kind, TMoveType::None);
        Drive(g);
        ASSERT_EQ(CheckConsistency(g), "") << "gesture " << gestures;
        ++gestures;
    }
    EXPECT_TRUE(g.QuitRequested);
    EXPECT_TRUE(g.Seat(TSeat::Player).Score >= 5000 || g.Seat(TSeat::Opponent).Score >= 5000);
}

}  // namespace
