// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "support/TestTable.h"

using namespace canasta;
using namespace canasta::test;

namespace {

// Puts the named cards on top of the stock, the first name on top.
void StackStock(TestTable& t, std::vector<std::string> topFirst) {
    std::vector<TCard> cards;
    for (const auto& n : topFirst) cards.push_back(t.Take(n));
    for (auto it = cards.rbegin(); it != cards.rend(); ++it) {
        it->FaceUp = false;
        AddCard(t.G.Stock, *it);
    }
}

struct GameFixture : ::testing::Test {
    TestTable T;
    DrawDiscardLevel Level;
    GameFixture() { T.G.Levels = {&Level, &Level, &Level}; }
};

}  // namespace

TEST_F(GameFixture, DealLaysOutRedThreesAndCoversWildUpCards) {
    // Opponent: fifteen cards with a red three among them; player likewise;
    // then a joker and a two as up cards before a king.
    std::vector<std::string> order = {"3D"};
    for (const char* n : {"4S", "4C", "5S", "5C", "6S", "6C", "7S", "7C", "8S", "8C", "9S", "9C", "10S", "10C", "JS"})
        order.push_back(n);
    order.push_back("3H");
    for (const char* n : {"4D", "4H", "5D", "5H", "6D", "6H", "7D", "7H", "8D", "8H", "9D", "9H", "10D", "10H", "JD"})
        order.push_back(n);
    for (const char* n : {"JK", "2H", "KS"}) order.push_back(n);
    T.Clear();
    T.G.Stock = {};
    // Rebuild a full stock with the order above on top.
    TRandom rng(3);
    ShuffleDeck(T.G.Stock, rng);
    StackStock(T, order);
    T.G.PileFrozen = false;
    T.G.DealFromStock();

    EXPECT_EQ(T.G.Seat(TSeat::Opponent).Hand.Count, 15);
    EXPECT_EQ(T.G.Seat(TSeat::Player).Hand.Count, 15);
    ASSERT_EQ(T.G.Seat(TSeat::Opponent).Melds.Count, 1);
    EXPECT_EQ(T.G.Seat(TSeat::Opponent).Melds.Cards[0].Id, CardId("3D"));
    EXPECT_TRUE(T.G.Seat(TSeat::Opponent).Melds.Cards[0].FaceUp);
    EXPECT_EQ(T.G.Seat(TSeat::Opponent).Melds.Cards[0].Column, 2);
    EXPECT_EQ(T.G.Seat(TSeat::Opponent).Melds.Cards[0].Depth, 1);
    ASSERT_EQ(T.G.Seat(TSeat::Player).Melds.Count, 1);
    EXPECT_EQ(T.G.Seat(TSeat::Player).Melds.Cards[0].Id, CardId("3H"));
    EXPECT_EQ(T.G.Seat(TSeat::Player).Melds.Cards[0].Depth, 1);
    ASSERT_EQ(T.G.DiscardPile.Count, 3);
    EXPECT_EQ(T.G.DiscardPile.Last().Id, CardId("KS"));
    EXPECT_TRUE(T.G.PileFrozen);
    EXPECT_EQ(T.G.Stock.Count, 108 - 31 - 2 - 2);
    // Hand cards sit in their rank columns, one step apart.
    for (const TCard& c : T.G.Seat(TSeat::Player).Hand) EXPECT_EQ(c.Column, c.Rank);
    EXPECT_EQ(T.G.Seat(TSeat::Player).Hand.Depths[3], 2);  // two fours
    for (const TCard& c : T.G.Seat(TSeat::Player).Hand)
        if (c.Rank == 3) {
            EXPECT_TRUE(c.Depth == 1 || c.Depth == 2);
        }
    for (const TCard& c : T.G.Seat(TSeat::Opponent).Hand) EXPECT_EQ(c.Column, 0) << "the opponent's row has no columns";
}

TEST_F(GameFixture, BlackThreeUpCardDoesNotFreeze) {
    std::vector<std::string> order = {"4S", "4C",  "5S",  "5C", "6S", "6C",  "7S",  "7C", "8S", "8C", "9S",
                                      "9C", "10S", "10C", "JS", "4D", "4H",  "5D",  "5H", "6D", "6H", "7D",
                                      "7H", "8D",  "8H",  "9D", "9H", "10D", "10H", "JD", "3S"};
    TRandom rng(5);
    ShuffleDeck(T.G.Stock, rng);
    StackStock(T, order);
    T.G.PileFrozen = false;
    T.G.DealFromStock();
    EXPECT_EQ(T.G.DiscardPile.Count, 1);
    EXPECT_EQ(T.G.DiscardPile.Last().Id, CardId("3S"));
    EXPECT_FALSE(T.G.PileFrozen);
}

TEST_F(GameFixture, WholeDealsStayConsistentAndAlternateTheFirstDraw) {
    T.G.PlayerDrawsFirst = true;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        T.G.Rng.Seed = seed;
        const bool first = T.G.PlayerDrawsFirst;
        T.G.DealHand();
        Drive(T.G);
        EXPECT_EQ(T.G.PlayerDrawsFirst, !first);
        EXPECT_EQ(T.Consistent(), "") << "seed " << seed;
        EXPECT_EQ(T.G.Seat(TSeat::Player).Hand.Count, 15);
        EXPECT_EQ(T.G.TurnPhase, TTurnPhase::Draw);  // the opponent seat's turn (if first) has run
        EXPECT_EQ(T.G.Seat(TSeat::Player).MinimumMeld, 50);
    }
    EXPECT_EQ(Level.Turns, 100);
}

TEST_F(GameFixture, DrawingTwoCardsAndAStockThatRunsOut) {
    T.G.Rules.CardsDrawn = 2;
    T.Hand({"KS", "KC", "5H"});
    T.Pile({"9D"});
    T.DrawPhase();
    T.G.DrawClicked();
    EXPECT_EQ(T.G.TurnPhase, TTurnPhase::DrawSecond);
    EXPECT_FALSE(T.G.HasDrawn);
    T.G.MeldCard(T.HandIndex("KS"));  // not allowed between the two draws
    EXPECT_EQ(T.Host.LastError, StatusErrorText(TRefusal::MeldBeforeDraw, ""));
    T.G.DrawClicked();
    EXPECT_EQ(T.G.TurnPhase, TTurnPhase::MeldOrDiscard);
    EXPECT_TRUE(T.G.HasDrawn);
    EXPECT_EQ(T.G.Seat(TSeat::Player).Hand.Count, 5);
    T.G.DrawClicked();
    EXPECT_EQ(T.Host.LastError, "You have already drawn");
    EXPECT_EQ(T.Consistent(), "");

    // With one card left in the stock the turn moves on after it.
    TestTable u;
    u.G.Rules.CardsDrawn = 2;
    u.Hand({"KS", "KC", "5H"});
    u.Pile({"9D"});
    u.StockDownTo(1);
    u.DrawPhase();
    u.G.DrawClicked();
    EXPECT_EQ(u.G.TurnPhase, TTurnPhase::MeldOrDiscard);
    EXPECT_TRUE(u.G.HasDrawn);
    EXPECT_TRUE(u.G.StockExhausted);
    EXPECT_TRUE(u.Host.EndHandVisible);
    EXPECT_EQ(u.Consistent(), "");
}

TEST_F(GameFixture, RedThreeDrawsAnExtraCardUnlessSwitchedOffOrTheStockIsEmpty) {
    T.Hand({"KS", "KC", "5H"});
    T.Pile({"9D"});
    StackStock(T, {"3D", "3H", "8C"});
    T.DrawPhase();
    T.G.DrawClicked();
    EXPECT_EQ(T.G.Seat(TSeat::Player).Melds.Count, 2);  // both red threes laid out
    EXPECT_EQ(T.G.Seat(TSeat::Player).Hand.Count, 4);   // and the eight drawn
    EXPECT_EQ(T.ColumnCount(2), 2);
    EXPECT_EQ(T.G.TurnPhase, TTurnPhase::MeldOrDiscard);

    TestTable off;
    off.G.Rules.RedThreeDrawsExtra = false;
    off.Hand({"KS", "KC", "5H"});
    off.Pile({"9D"});
    StackStock(off, {"3D", "8C"});
    off.DrawPhase();
    off.G.DrawClicked();
    EXPECT_EQ(off.G.Seat(TSeat::Player).Melds.Count, 1);
    EXPECT_EQ(off.G.Seat(TSeat::Player).Hand.Count, 3);  // the red three was the draw
    EXPECT_EQ(off.G.TurnPhase, TTurnPhase::MeldOrDiscard);

    // The red three was the stock's last card: no extra draw, the turn goes on.
    TestTable last;
    last.Hand({"KS", "KC", "5H"});
    last.Pile({"9D"});
    StackStock(last, {"3D"});
    last.StockDownTo(1);
    last.DrawPhase();
    last.G.DrawClicked();
    EXPECT_EQ(last.G.Seat(TSeat::Player).Melds.Count, 1);
    EXPECT_EQ(last.G.Seat(TSeat::Player).Hand.Count, 3);
    EXPECT_TRUE(last.G.StockExhausted);
    EXPECT_EQ(last.G.TurnPhase, TTurnPhase::MeldOrDiscard);
    EXPECT_EQ(last.Consistent(), "");
}

TEST_F(GameFixture, RedThreeDrawnWithOneCardLeftPassesTheTurn) {
    T.G.Rules.RedThreeDrawsExtra = false;
    T.Hand({"KS"});
    T.Pile({"9D"});
    StackStock(T, {"3D"});
    T.DrawPhase();
    T.G.DrawClicked();
    EXPECT_EQ(Level.Turns, 0);  // the turn is handed over; the driver plays it
    EXPECT_TRUE(T.G.OpponentsTurn);
    Drive(T.G);
    EXPECT_EQ(T.Host.LastNotice,
              "You only have one card left, and not enough Canastas to go out. You have to pass the discard.");
    EXPECT_EQ(T.Host.InformCount, 0) << "no window to close every turn";
    EXPECT_EQ(Level.Turns, 1);
    EXPECT_EQ(T.G.TurnPhase, TTurnPhase::Draw);
    EXPECT_TRUE(T.G.TurnStart);
    EXPECT_FALSE(T.G.HasDrawn);
    EXPECT_EQ(T.Consistent(), "");
}

TEST(GameRules, MinimumInitialMeldBoundaries) {
    EXPECT_EQ(MinimumInitialMeld(-5), 15);
    EXPECT_EQ(MinimumInitialMeld(-1), 15);
    EXPECT_EQ(MinimumInitialMeld(0), 50);
    EXPECT_EQ(MinimumInitialMeld(1499), 50);
    EXPECT_EQ(MinimumInitialMeld(1500), 90);
    EXPECT_EQ(MinimumInitialMeld(2999), 90);
    EXPECT_EQ(MinimumInitialMeld(3000), 120);
}

TEST(GameRules, PhaseTextsFollowTheDiscardOptionAndTheStock) {
    TestTable t;
    t.G.SetTurnPhase(TTurnPhase::MeldOrDiscard);
    EXPECT_EQ(t.G.TurnPhase, TTurnPhase::MeldOrDiscard);
    t.G.Config.DoubleRightClick = true;
    t.G.SetTurnPhase(TTurnPhase::MeldOrDiscard);
    EXPECT_EQ(t.G.TurnPhase, TTurnPhase::MeldOrDiscardTwice);
    EXPECT_EQ(t.Host.Status, "Meld by clicking a card, discard by right-clicking it twice");
    t.G.Config.DoubleRightClick = false;
    t.G.SetTurnPhase(TTurnPhase::MeldOrDiscardTwice);
    EXPECT_EQ(t.G.TurnPhase, TTurnPhase::MeldOrDiscard);
    EXPECT_FALSE(t.Host.EndHandEnabled);
    t.G.SetStockExhausted(true);
    t.G.SetTurnPhase(TTurnPhase::Draw);
    EXPECT_EQ(t.Host.Status, "Stock exhausted; take discard pile or end hand");
    EXPECT_TRUE(t.Host.EndHandEnabled);
    t.G.Config.Networked = true;
    t.G.Config.OpponentName = "Ann";
    t.G.SetTurnPhase(TTurnPhase::OpponentTurn);
    EXPECT_EQ(t.Host.Status, "It's Ann's turn");
    t.G.ValidationMessage = "why";
    t.G.ShowStatusError(TRefusal::DiscardNotPossible);
    EXPECT_EQ(t.Host.LastError, "Discarding is not possible now: why");
    t.G.ShowStatusError(TRefusal::None);
    EXPECT_EQ(t.Host.Status, "It's Ann's turn");
}

TEST_F(GameFixture, NewGameResetsTheMatch) {
    T.G.Seat(TSeat::Player).Score = 1200;
    T.G.Seat(TSeat::Opponent).Score = 900;
    T.G.GameInProgress = true;
    T.Host.RecordMoves = true;
    std::vector<TSoundEvent> sounds;
    T.Host.OnSound = [&](TSoundEvent e) { sounds.push_back(e); };
    T.G.NewGame();
    EXPECT_EQ(T.G.Seat(TSeat::Player).Score, 0);
    EXPECT_EQ(T.G.Seat(TSeat::Opponent).Score, 0);
    EXPECT_FALSE(T.G.GameInProgress);
    ASSERT_FALSE(sounds.empty());
    EXPECT_EQ(sounds.front(), TSoundEvent::Start);
    ASSERT_FALSE(T.Host.Moves.empty());
    EXPECT_EQ(T.Host.Moves.front().Kind, TMoveKind::NewGame);
}
