// SPDX-License-Identifier: GPL-3.0-or-later
// The seat moves and the computer levels on either seat.
#include <gtest/gtest.h>

#include <memory>

#include "ai/AiTestSupport.h"
#include "ai/Levels.h"
#include "rules/Consistency.h"
#include "rules/Driver.h"

using namespace canasta;
using namespace canasta::test;

namespace {

TEST(SeatMoves, ThePlayerSeatKeepsItsHandInRankColumns) {
    TestTable t;
    TGame& g = t.G;
    t.Hand({"8S", "8H", "9D", "3H", "JK"});
    g.AddToHand(TSeat::Player, t.Take("8C"), {TArea::Stock}, false);
    const TCard& added = g.Seat(TSeat::Player).Hand.Last();
    EXPECT_TRUE(added.FaceUp);
    EXPECT_EQ(added.Column, added.Rank);
    EXPECT_EQ(added.Depth, 3);  // on top of the two eights
    EXPECT_EQ(g.HandPlace(TSeat::Player, g.Seat(TSeat::Player).Hand.Count - 1),
              (TCardPlace{TArea::PlayerHand, added.Rank, 3, 0}));

    // The bottom eight goes to the table; the eights above it close up.
    g.MeldFromHand(TSeat::Player, t.HandIndex("8S"));
    EXPECT_EQ(CountInColumn(g.Seat(TSeat::Player).Melds, added.Rank), 1);
    EXPECT_EQ(g.Seat(TSeat::Player).MeldedPoints, 10);
    EXPECT_EQ(g.Seat(TSeat::Player).Hand.Depths[added.Rank], 2);
    EXPECT_TRUE(g.LayRedThrees(TSeat::Player));
    EXPECT_EQ(FindFirstById(g.Seat(TSeat::Player).Hand, CardId("3H")), -1);
    g.MeldFromHand(TSeat::Player, t.HandIndex("8H"));
    g.MeldFromHand(TSeat::Player, t.HandIndex("8C"));
    g.MeldWildCard(TSeat::Player, added.Rank);
    EXPECT_EQ(g.Seat(TSeat::Player).Melds.Last().Id, kJokerId);
    EXPECT_EQ(g.Seat(TSeat::Player).MeldedPoints, 80);
    EXPECT_EQ(g.Seat(TSeat::Opponent).MeldedPoints, 0);
    EXPECT_EQ(Names(g.Seat(TSeat::Player).Hand), (std::vector<std::string>{"9D"}));
    EXPECT_EQ(t.Consistent(), "");
    const int pile = g.DiscardPile.Count;
    g.DiscardFromHand(TSeat::Player, 0);
    EXPECT_EQ(g.DiscardPile.Count, pile + 1);
    EXPECT_EQ(g.DiscardPile.Last().Id, CardId("9D"));
    EXPECT_EQ(g.DiscardPile.Last().Column, 0);
    EXPECT_EQ(g.Seat(TSeat::Player).Discards[g.DiscardPile.Last().Rank], 1);
    EXPECT_TRUE(g.Seat(TSeat::Player).Hand.Empty());
    EXPECT_EQ(t.Consistent(), "");
    EXPECT_THROW(g.RemoveFromHand(TSeat::Player, 0), THandAbandoned);
}

// Going out with black threes beside four red threes: the column of threes
// holds eight cards and stays spread, as a person's table does.
TEST(SeatMoves, ThePlayerSeatsThreesStaySpread) {
    TestTable t;
    TGame& g = t.G;
    t.Hand({"3H", "3D", "3H", "3D", "3C", "3S", "3C", "3S"});
    while (!g.Seat(TSeat::Player).Hand.Empty()) g.MeldFromHand(TSeat::Player, 0);
    EXPECT_EQ(g.Seat(TSeat::Player).Melds.Depths[kRankThree], 8);
    EXPECT_EQ(g.Seat(TSeat::Player).Melds.Last().Depth, 8);
    EXPECT_EQ(t.Consistent(), "");
}

TEST(SeatMoves, ACardLeavingTheHandLeavesTheRecordOfTakenCardsByDeck) {
    TestTable t;
    TGame& g = t.G;
    TCard fromStock = t.Take("KH");
    TCard fromPile = t.Take("KH");
    ASSERT_NE(fromStock.Deck, fromPile.Deck);
    g.AddToHand(TSeat::Opponent, fromStock, {TArea::Stock}, false);
    g.AddToHand(TSeat::Opponent, fromPile, {TArea::DiscardPile}, false);
    AddCard(g.Seat(TSeat::Opponent).PickedUp, g.Seat(TSeat::Opponent).Hand.Last());
    // The king from the stock is melded: the one taken from the pile is still held.
    g.MeldFromHand(TSeat::Opponent, 0);
    ASSERT_EQ(g.Seat(TSeat::Opponent).PickedUp.Count, 1);
    EXPECT_EQ(g.Seat(TSeat::Opponent).PickedUp.Cards[0].Deck, fromPile.Deck);
    g.MeldFromHand(TSeat::Opponent, 0);
    EXPECT_EQ(g.Seat(TSeat::Opponent).PickedUp.Count, 0);
}

// Two levels play whole hands, one in each seat, through the game's own turn
// order: every turn leaves a sound table and hands the turn to the other seat.
TEST(SeatLevels, ALevelPlaysThePlayerSeat) {
    for (uint32_t seed : {3u, 11u, 29u}) {
        THeadlessHost host;
        TGame g(host);
        g.FixedSeed = true;
        g.Rng.Seed = seed;
        TComputerLevels opponent(g), player;
        g.Config.Level = 2;
        TGameDriver driver(g);
        g.NewGame();
        driver.Run();
        const uint32_t hands = g.HandNumber + 3;
        uint32_t dealt = 0;
        int turns = 0;
        while (g.HandNumber < hands && turns < 2000) {
            if (g.HandNumber != dealt) {
                player.Advanced.NewHand(g);
                dealt = g.HandNumber;
            }
            ASSERT_FALSE(g.OpponentsTurn);
            ASSERT_NE(g.TurnPhase, TTurnPhase::HandOver);
            const int before = g.Seat(TSeat::Player).Hand.Count + g.Seat(TSeat::Player).Melds.Count;
            player.Advanced.PlayTurn(g, TSeat::Player);
            ++turns;
            EXPECT_EQ(CheckConsistency(g), "") << "seed " << seed << ", turn " << turns;
            if (g.TurnPhase != TTurnPhase::HandOver) {
                EXPECT_TRUE(g.OpponentsTurn);
                EXPECT_EQ(g.TurnPhase, TTurnPhase::OpponentTurn);
                EXPECT_GT(g.Seat(TSeat::Player).Hand.Count + g.Seat(TSeat::Player).Melds.Count, before - 20);
                for (const TCard& c : g.Seat(TSeat::Player).Hand) EXPECT_EQ(c.Column, c.Rank);
            }
            driver.Run();
            EXPECT_EQ(CheckConsistency(g), "") << "seed " << seed << ", turn " << turns;
        }
        EXPECT_EQ(g.HandNumber, hands) << "seed " << seed;
        opponent.Withdraw();
    }
}

}  // namespace
