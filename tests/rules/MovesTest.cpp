// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>

#include "rules/Moves.h"
#include "support/TestTable.h"

using namespace canasta;
using namespace canasta::test;

namespace {

bool Contains(const std::vector<TMove>& moves, const TMove& m) {
    return std::find(moves.begin(), moves.end(), m) != moves.end();
}

}  // namespace

// A trial of a move tells whether it would change the game, and why the
// rules refuse it, without touching the game or its host.
TEST(Moves, IsLegalTriesOnACopyAndSaysWhy) {
    TestTable t;
    t.Hand({"5S", "5C", "9H", "KD"});
    t.Pile({"8C"});
    t.DrawPhase();
    const TGameState before = t.G.State();
    const uint64_t fingerprint = StateFingerprint(t.G);
    const size_t events = t.Host.Events.size();

    EXPECT_TRUE(IsLegal(t.G, TSeat::Player, {TMoveType::Draw}).Legal);
    const TLegality early = IsLegal(t.G, TSeat::Player, {TMoveType::Discard, 0});
    EXPECT_FALSE(early.Legal);
    EXPECT_EQ(early.Reason, TRefusal::DiscardBeforeDraw);
    EXPECT_EQ(early.Why, StatusErrorText(TRefusal::DiscardBeforeDraw, ""));
    EXPECT_EQ(IsLegal(t.G, TSeat::Player, {TMoveType::MeldCard, 0}).Reason, TRefusal::MeldBeforeDraw);
    // Nor may the other seat move on the player's turn.
    EXPECT_EQ(IsLegal(t.G, TSeat::Opponent, {TMoveType::Draw}).Why, "it is not the opponent's turn");

    EXPECT_EQ(StateFingerprint(t.G), fingerprint);
    EXPECT_EQ(t.G.Stock.Count, before.Stock.Count);
    EXPECT_EQ(t.Host.Events.size(), events) << "the trial reported nothing to the game's host";

    // After drawing: a second draw is refused, and a discard that would leave a
    // column of two is refused with the validation message.
    t.Melding();
    const TLegality again = IsLegal(t.G, TSeat::Player, {TMoveType::Draw});
    EXPECT_FALSE(again.Legal);
    t.Meld(9, {"9S", "9C"});
    const TLegality wrong = IsLegal(t.G, TSeat::Player, {TMoveType::Discard, t.HandIndex("KD")});
    EXPECT_FALSE(wrong.Legal);
    EXPECT_EQ(wrong.Reason, TRefusal::DiscardNotPossible);
    EXPECT_EQ(wrong.Why.rfind("Discarding is not possible now: every column", 0), 0u) << wrong.Why;
}

TEST(Moves, LegalMovesListsWhatChangesTheGameAndNothingElse) {
    TestTable t;
    t.Hand({"5S", "5C", "5H", "9H", "KD", "JK"});
    t.Pile({"4C", "8C"});
    t.DrawPhase();
    std::vector<TMove> moves = LegalMoves(t.G, TSeat::Player);
    EXPECT_TRUE(Contains(moves, {TMoveType::Draw}));
    EXPECT_FALSE(Contains(moves, {TMoveType::TakePile})) << "no pair of eights";
    EXPECT_FALSE(Contains(moves, {TMoveType::Discard, 0})) << "not before drawing";
    EXPECT_TRUE(LegalMoves(t.G, TSeat::Opponent).empty());

    t.Melding();
    moves = LegalMoves(t.G, TSeat::Player);
    EXPECT_FALSE(Contains(moves, {TMoveType::Draw}));
    EXPECT_TRUE(Contains(moves, {TMoveType::MeldCard, t.HandIndex("5S")}));
    EXPECT_TRUE(Contains(moves, {TMoveType::Discard, t.HandIndex("KD")}));
    // Every listed move is legal, keeps the game whole, and none is listed twice.
    for (const TMove& m : moves) {
        EXPECT_TRUE(IsLegal(t.G, TSeat::Player, m).Legal) << DescribeMove(t.G, m);
        THeadlessHost quiet;
        TGame copy(quiet, t.G);
        ApplyMove(copy, m);
        EXPECT_EQ(CheckConsistency(copy), "") << DescribeMove(t.G, m);
        EXPECT_EQ(std::count(moves.begin(), moves.end(), m), 1);
    }
    // No move on the other side's turn.
    t.G.OpponentsTurn = true;
    EXPECT_TRUE(LegalMoves(t.G, TSeat::Player).empty());
}

namespace {

constexpr int kEights = 7;  // the column of the eights (twos are 1)

// The opponent's turn, its moves coming one at a time.
void OpponentToMove(TestTable& t) {
    // As the player's discard leaves it.
    t.G.HasDrawn = false;
    t.G.TurnStart = true;
    t.G.UndoStack.clear();
    t.G.HandTurnToOpponent();
    t.G.OpponentTurn = {};
}

int OppIndex(const TestTable& t, const char* name) {
    return FindLastById(t.G.Seat(TSeat::Opponent).Hand, CardId(name));
}

// Every listed move is legal, played once, and keeps the game whole.
void ExpectListedMovesPlayable(const TestTable& t, const std::vector<TMove>& moves) {
    for (const TMove& m : moves) {
        THeadlessHost quiet;
        TGame copy(quiet, t.G);
        EXPECT_EQ(PlayMove(copy, TSeat::Opponent, m), "") << DescribeMove(t.G, m);
        EXPECT_EQ(CheckConsistency(copy), "") << DescribeMove(t.G, m);
        EXPECT_EQ(std::count(moves.begin(), moves.end(), m), 1) << DescribeMove(t.G, m);
    }
}

}  // namespace

// The opponent seat has the same moves, checked against its turn as far as
// it got: what the network's replay and a search over either seat use.
TEST(Moves, TheOpponentSeatMovesOneStepAtATime) {
    TestTable t;
    t.Hand({"4S", "6H", "9D"});
    t.OppHand({"8S", "8D", "KC", "KD", "KH", "JK", "2C", "7S"});
    t.Pile({"5C", "8C"});
    OpponentToMove(t);

    std::vector<TMove> moves = LegalMoves(t.G, TSeat::Opponent);
    EXPECT_TRUE(Contains(moves, {TMoveType::Draw}));
    EXPECT_TRUE(Contains(moves, {TMoveType::TakePile})) << "a pair of eights takes the pile";
    EXPECT_FALSE(Contains(moves, {TMoveType::Discard, 0}));
    ExpectListedMovesPlayable(t, moves);
    EXPECT_EQ(IsLegal(t.G, TSeat::Opponent, {TMoveType::Discard, 0}).Why, "the opponent has not drawn yet");
    EXPECT_TRUE(LegalMoves(t.G, TSeat::Player).empty());

    // The take puts the top card on the table at once; the rest waits until
    // the seat says it comes, and the take may still be given back.
    const TGameState before = t.G.State();
    ASSERT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::TakePile}), "");
    EXPECT_EQ(CountInColumn(t.G.Seat(TSeat::Opponent).Melds, kEights), 1);
    EXPECT_EQ(IsLegal(t.G, TSeat::Opponent, {TMoveType::Discard, OppIndex(t, "7S")}).Why,
              "the top card of the pile is not melded yet");
    EXPECT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::Draw}), "the opponent has already drawn");
    moves = LegalMoves(t.G, TSeat::Opponent);
    EXPECT_TRUE(Contains(moves, {TMoveType::UndoTake}));
    EXPECT_TRUE(Contains(moves, {TMoveType::TakePileRest}));
    ExpectListedMovesPlayable(t, moves);
    ASSERT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::UndoTake}), "");
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).Hand, before.Seat(TSeat::Opponent).Hand);
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).Melds, before.Seat(TSeat::Opponent).Melds);
    EXPECT_EQ(t.G.DiscardPile, before.DiscardPile);
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).Score, before.Seat(TSeat::Opponent).Score - 50);

    // Again, now melding the eights, a wild card of each kind to any column
    // with cards, and the last meld back.
    ASSERT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::TakePile}), "");
    ASSERT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::MeldCard, OppIndex(t, "8S")}), "");
    ASSERT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::MeldCard, OppIndex(t, "8D")}), "");
    moves = LegalMoves(t.G, TSeat::Opponent);
    TMove joker{TMoveType::AddWild, kEights};
    joker.Card = OppIndex(t, "JK");
    TMove two{TMoveType::AddWild, kEights};
    two.Card = OppIndex(t, "2C");
    EXPECT_TRUE(Contains(moves, joker));
    EXPECT_TRUE(Contains(moves, two));
    EXPECT_TRUE(Contains(moves, {TMoveType::UndoMeld}));
    EXPECT_FALSE(Contains(moves, {TMoveType::MeldCard, OppIndex(t, "JK")})) << "a wild card is no natural meld";
    ExpectListedMovesPlayable(t, moves);
    ASSERT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::UndoMeld}), "");
    EXPECT_EQ(CountInColumn(t.G.Seat(TSeat::Opponent).Melds, kEights), 2);
    EXPECT_GE(OppIndex(t, "8D"), 0);
    // The eight was seen on the table: the player knows the opponent holds it.
    ASSERT_EQ(t.G.Seat(TSeat::Opponent).PickedUp.Count, 1);
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).PickedUp.At(0).Id, CardId("8D"));

    // A refused move changes nothing; a discard ends the turn.
    const TGameState now = t.G.State();
    EXPECT_NE(PlayMove(t.G, TSeat::Opponent, {TMoveType::Discard, 99}), "");
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).Hand, now.Seat(TSeat::Opponent).Hand);
    ASSERT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::MeldCard, OppIndex(t, "8D")}), "");
    EXPECT_TRUE(t.G.Seat(TSeat::Opponent).PickedUp.Empty());
    ASSERT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::TakePileRest}), "");
    // The rest of the pile was seen going into the opponent's hand.
    ASSERT_EQ(t.G.Seat(TSeat::Opponent).PickedUp.Count, 1);
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).PickedUp.At(0).Id, CardId("5C"));
    EXPECT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::Discard, OppIndex(t, "7S")}),
              "the opponent's melds do not allow a discard")
        << "24 points are no first meld";
    for (const char* king : {"KC", "KD", "KH"})
        ASSERT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::MeldCard, OppIndex(t, king)}), "");
    ASSERT_EQ(PlayMove(t.G, TSeat::Opponent, {TMoveType::Discard, OppIndex(t, "7S")}), "");
    EXPECT_FALSE(t.G.OpponentsTurn);
    EXPECT_TRUE(LegalMoves(t.G, TSeat::Opponent).empty());
    EXPECT_EQ(CheckConsistency(t.G), "");
}

// Any move at all, for either seat, is played or refused with a reason, and
// the game stays whole either way; legal moves keep the game going.
TEST(Moves, PlayMoveTakesAnyMoveForEitherSeat) {
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        THeadlessHost host;
        TGame g(host);
        g.FixedSeed = true;
        g.Rng.Seed = seed;
        g.PlayerDrawsFirst = seed % 2;
        g.DealHand();
        TRandom rng(seed);
        int played = 0;
        for (int i = 0; i < 3000 && g.TurnPhase != TTurnPhase::HandOver; ++i) {
            const TSeat seat = g.OpponentsTurn ? TSeat::Opponent : TSeat::Player;
            TMove m;
            m.Kind = static_cast<TMoveType>(rng.Next(static_cast<uint32_t>(TMoveType::Pass) + 1));
            m.Index = static_cast<int>(rng.Next(130)) - 5;
            m.Card = static_cast<int>(rng.Next(130)) - 5;
            m.Shift = rng.Next(4) == 0;
            m.Ctrl = rng.Next(4) == 0;
            // Now and then a move of the seat that is not to move.
            const TSeat who = rng.Next(8) == 0 ? OtherSeat(seat) : seat;
            const TGameState before = g.State();
            const std::string why = PlayMove(g, who, m);
            if (why.empty()) {
                ++played;
            } else {
                EXPECT_EQ(g.Seat(TSeat::Opponent).Hand, before.Seat(TSeat::Opponent).Hand) << why;
                EXPECT_EQ(g.DiscardPile, before.DiscardPile) << why;
            }
            ASSERT_EQ(CheckConsistency(g), "") << "seed " << seed << " move " << i << ": " << DescribeMove(g, m);
            // Every tenth step a legal move, so the hand goes on.
            if (i % 10 == 9) {
                const std::vector<TMove> legal = LegalMoves(g, seat);
                if (!legal.empty()) {
                    ASSERT_EQ(PlayMove(g, seat, legal[rng.Next(static_cast<uint32_t>(legal.size()))]), "");
                }
            }
        }
        EXPECT_GT(played, 20) << "seed " << seed;
    }
}
