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
    // The other seat's moves are not the player's to try.
    EXPECT_FALSE(IsLegal(t.G, TSeat::Opponent, {TMoveType::Draw}).Legal);

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
