// SPDX-License-Identifier: GPL-3.0-or-later
// The hint: the strongest level's first move in the player's seat, from what
// the player can see, with the game left as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ai/Hint.h"
#include "ai/Levels.h"
#include "rules/Consistency.h"
#include "rules/Driver.h"
#include "rules/TurnAccount.h"
#include "support/TestTable.h"

namespace canasta::test {
namespace {

// Keeps the card moves a level made.
class MoveRecorder : public THeadlessHost {
public:
    struct Move {
        TCard Card;
        TCardPlace From, To;
    };
    std::vector<Move> Moves;
    void AnimateMove(const TCard& card, TCardPlace from, TCardPlace to) override { Moves.push_back({card, from, to}); }
};

// A dealt game with the levels installed, the player to move.
struct Dealt {
    THeadlessHost Host;
    TGame G{Host};
    std::unique_ptr<TComputerLevels> Levels = InstallComputerLevels(G);
    explicit Dealt(uint32_t seed) {
        G.FixedSeed = true;
        G.Rng.Seed = seed;
        G.PlayerDrawsFirst = true;
        G.Config.Level = 2;
        // The hint asks the Expert: a stronger level installed later must
        // not move the pinned positions.
        for (size_t i = 3; i < G.Levels.size(); ++i) G.Levels[i] = nullptr;
        G.NewGame();
        TGameDriver(G).Run();
    }
};

// The strongest level's own turn in the player's seat of the position the
// hint is computed for: the moves it made (the red threes it laid aside) and
// its table at the end.
struct LevelsTurnResult {
    std::vector<MoveRecorder::Move> Moves;
    TCardList Melds;
};
LevelsTurnResult LevelsTurn(const TGame& game) {
    MoveRecorder host;
    TGame copy(host, game);
    EXPECT_TRUE(PrepareHintPosition(copy));
    host.Moves.clear();
    TComputerLevels levels(copy);
    IComputerLevel* level = copy.Levels[static_cast<size_t>(StrongestLevel(game))];
    if (HintFromTurnStart(copy))
        level->PlayTurn(copy, TSeat::Player);
    else
        dynamic_cast<TComputerTurn&>(*level).PlayTurnAfterPickUp(copy, TSeat::Player);
    LevelsTurnResult result;
    for (const auto& m : host.Moves)
        if (!(IsRedThree(m.Card) && m.From.Area == TArea::PlayerHand)) result.Moves.push_back(m);
    result.Melds = copy.Seat(TSeat::Player).Melds;
    return result;
}

bool Same(const TCard& a, const TCard& b) { return a.Id == b.Id && a.Deck == b.Deck; }

// Everything the hint could touch: the state record, the levels' memory.
void ExpectUnchanged(const TGame& before, const TExpertState& stateBefore, const Dealt& d) {
    EXPECT_EQ(StateFingerprint(before), StateFingerprint(d.G));
    EXPECT_EQ(before.Stock, d.G.Stock);
    EXPECT_EQ(before.DiscardPile, d.G.DiscardPile);
    EXPECT_EQ(before.Seat(TSeat::Opponent).Hand, d.G.Seat(TSeat::Opponent).Hand);
    EXPECT_EQ(before.Seat(TSeat::Player).Hand, d.G.Seat(TSeat::Player).Hand);
    EXPECT_EQ(before.Seat(TSeat::Player).MeldedPoints, d.G.Seat(TSeat::Player).MeldedPoints);
    EXPECT_EQ(before.Rng.Seed, d.G.Rng.Seed);
    EXPECT_EQ(before.Levels, d.G.Levels);
    EXPECT_TRUE(stateBefore == d.Levels->State);
}

// Plays the player's seat by the hint for that many moves of seed's first
// hand (the driver plays the computer in between).
void FollowHints(Dealt& d, int moves) {
    for (int i = 0; i < moves; ++i) {
        const THint h = ComputeHint(d.G);
        ASSERT_NE(h.Kind, THint::TKind::None) << h.Why;
        ApplyMove(d.G, h.Move);
        TGameDriver(d.G).Run();
    }
}

// The hint is the level's decision on the same copy: at the start of the
// turn its first move; within the turn the next step toward its table (cards
// the player has not put there yet) or, with the melding done, its discard.
void ExpectLevelsDecision(const TGame& g, const THint& h) {
    const LevelsTurnResult turn = LevelsTurn(g);
    const std::vector<MoveRecorder::Move>& moves = turn.Moves;
    ASSERT_FALSE(moves.empty());
    auto count = [](const TCardList& melds, int column, bool wild) {
        int n = 0;
        for (const TCard& c : melds) n += c.Column == column && IsWild(c) == wild && !IsRedThree(c);
        return n;
    };
    switch (h.Kind) {
        case THint::TKind::Draw: EXPECT_EQ(moves.front().From.Area, TArea::Stock); break;
        case THint::TKind::TakePile: EXPECT_EQ(moves.front().From.Area, TArea::DiscardPile); break;
        case THint::TKind::Discard: {
            ASSERT_EQ(h.Cards.size(), 1u);
            auto discard = std::find_if(moves.begin(), moves.end(),
                                        [](const MoveRecorder::Move& m) { return m.To.Area == TArea::DiscardPile; });
            ASSERT_NE(discard, moves.end());
            EXPECT_EQ(discard->Card.Rank, h.Cards[0].Rank);
            break;
        }
        case THint::TKind::Meld:
        case THint::TKind::AddWild: {
            EXPECT_TRUE(std::any_of(moves.begin(), moves.end(), [&](const MoveRecorder::Move& m) {
                return m.To.Area == TArea::PlayerMelds && m.To.Column == h.Column;
            }));
            ASSERT_FALSE(h.Cards.empty());
            int naturals = 0, wilds = 0;
            for (const TCard& c : h.Cards) {
                EXPECT_TRUE(IsWild(c) || c.Rank == h.Column) << CardName(c.Id);
                ++(IsWild(c) ? wilds : naturals);
            }
            const TCardList& now = g.Seat(TSeat::Player).Melds;
            EXPECT_LE(count(now, h.Column, false) + naturals, count(turn.Melds, h.Column, false));
            EXPECT_LE(count(now, h.Column, true) + wilds, count(turn.Melds, h.Column, true));
            break;
        }
        default: ADD_FAILURE() << "no hint: " << h.Why;
    }
}

TEST(Hint, MatchesTheStrongestLevelOnPinnedPositions) {
    struct Position {
        uint32_t Seed;
        int Moves;  // hinted moves played before
        THint::TKind Kind;
        const char* What;
    };
    const Position positions[] = {
        {1, 0, THint::TKind::Draw, "Draw from the stock."},
        {1, 1, THint::TKind::Discard, "Discard the 5\u2663."},
        {1, 12, THint::TKind::TakePile,
         "Take the discard pile (13 cards) and meld its A\u2660 with your A\u2660, A\u2663 and A\u2666."},
        // Mid-turn: the pile taken provisionally, the top card waiting for its partners.
        {2, 15, THint::TKind::Meld, "Meld 9\u2666 and 9\u2660 with the 9\u2663 you took."},
        // ... and the first meld to complete before the rest of the pile comes in.
        {2, 16, THint::TKind::Meld, "Meld A\u2665, A\u2660 and A\u2660 as a new meld of aces."},
        // Mid-turn after melds of the turn: wild cards to a meld, then a new meld.
        {2, 33, THint::TKind::AddWild, "Add Joker and 2\u2666 to your aces."},
        {2, 35, THint::TKind::Meld, "Meld 10\u2660, 10\u2663 and 10\u2665 as a new meld of tens."},
    };
    for (const Position& p : positions) {
        SCOPED_TRACE("seed " + std::to_string(p.Seed) + " after " + std::to_string(p.Moves) + " moves");
        Dealt d(p.Seed);
        FollowHints(d, p.Moves);
        const THint h = ComputeHint(d.G);
        EXPECT_EQ(h.Kind, p.Kind) << h.What;
        EXPECT_EQ(h.What, p.What);
        EXPECT_FALSE(h.Why.empty());
        EXPECT_EQ(h.Level, 2);
        ExpectLevelsDecision(d.G, h);
        // The gesture it names is one the table takes now.
        EXPECT_TRUE(IsLegal(d.G, TSeat::Player, h.Move).Legal) << DescribeMove(d.G, h.Move);
    }
}

TEST(Hint, NeverChangesTheGameAndIsAlwaysLegal) {
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        Dealt d(seed);
        for (int step = 0; step < 40 && d.G.HandNumber == 1 && IsPlayersMove(d.G); ++step) {
            THeadlessHost quiet;
            const TGame before(quiet, d.G);
            const TExpertState state = d.Levels->State;
            const THint h = ComputeHint(d.G);
            ExpectUnchanged(before, state, d);
            ASSERT_NE(h.Kind, THint::TKind::None) << "seed " << seed << " step " << step << ": " << h.Why;
            ASSERT_TRUE(IsLegal(d.G, TSeat::Player, h.Move).Legal)
                << "seed " << seed << " step " << step << ": " << DescribeMove(d.G, h.Move);
            // The same position gives the same hint.
            EXPECT_EQ(ComputeHint(d.G).What, h.What);
            ApplyMove(d.G, h.Move);
            TGameDriver(d.G).Run();
            ASSERT_EQ(CheckConsistency(d.G), "");
        }
    }
}

TEST(Hint, ReadsNothingThePlayerCannotSee) {
    Dealt d(2);
    // On to a turn where the opponent holds cards it was seen taking.
    for (int i = 0; i < 200 && (d.G.Seat(TSeat::Opponent).PickedUp.Count == 0 || d.G.HasDrawn); ++i) FollowHints(d, 1);
    ASSERT_GT(d.G.Seat(TSeat::Opponent).PickedUp.Count, 0);
    ApplyMove(d.G, {TMoveType::Draw});
    const THint h = ComputeHint(d.G);

    // Where the hidden cards lie makes no difference.
    THeadlessHost host;
    TGame swapped(host, d.G);
    TSeatState& other = swapped.Seat(TSeat::Opponent);
    int unknown = -1;
    for (int i = 0; i < other.Hand.Count && unknown < 0; ++i)
        if (FindLastById(other.PickedUp, other.Hand.At(i).Id) < 0) unknown = i;
    ASSERT_GE(unknown, 0);
    ASSERT_GT(swapped.Stock.Count, 0);
    TCard& a = other.Hand.Cards[static_cast<size_t>(unknown)];
    TCard& b = swapped.Stock.Cards[0];
    std::swap(a.Id, b.Id);
    std::swap(a.Rank, b.Rank);
    std::swap(a.Points, b.Points);
    std::swap(a.Deck, b.Deck);
    const THint again = ComputeHint(swapped);
    EXPECT_EQ(again.What, h.What);
    EXPECT_EQ(again.Why, h.Why);

    // The fresh deal keeps the cards the opponent was seen taking and the
    // counts, and leaves a complete deck.
    TGame copy(host, d.G);
    DealHiddenCards(copy, 99);
    EXPECT_EQ(CheckConsistency(copy), "");
    EXPECT_EQ(copy.Stock.Count, d.G.Stock.Count);
    EXPECT_EQ(copy.Seat(TSeat::Opponent).Hand.Count, d.G.Seat(TSeat::Opponent).Hand.Count);
    for (const TCard& seen : d.G.Seat(TSeat::Opponent).PickedUp) {
        int before = 0, after = 0;
        for (const TCard& c : d.G.Seat(TSeat::Opponent).Hand) before += Same(c, seen);
        for (const TCard& c : copy.Seat(TSeat::Opponent).Hand) after += Same(c, seen);
        EXPECT_GE(after, before > 0 ? 1 : 0) << CardName(seen.Id);
    }
    EXPECT_NE(copy.Stock, d.G.Stock);
}

TEST(Hint, FollowingItPlaysWholeHands) {
    // Every hint, one after the other, is a move the table takes: the plan
    // of a turn holds as the player carries it out step by step.
    int hints = 0;
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        Dealt d(seed);
        for (int step = 0; step < 400 && d.G.HandNumber <= 2 && IsPlayersMove(d.G); ++step) {
            const THint h = ComputeHint(d.G);
            ASSERT_NE(h.Kind, THint::TKind::None) << "seed " << seed << " step " << step << ": " << h.Why;
            ApplyMove(d.G, h.Move);
            TGameDriver(d.G).Run();
            ASSERT_EQ(CheckConsistency(d.G), "");
            ++hints;
        }
        EXPECT_GT(d.G.HandNumber, 2u) << "seed " << seed << ": two hands were not finished";
    }
    EXPECT_GT(hints, 1000);
}

TEST(Hint, NoHintOutsideThePlayersTurn) {
    Dealt d(1);
    ApplyMove(d.G, {TMoveType::Draw});
    ApplyMove(d.G, ComputeHint(d.G).Move);  // the discard: the computer is to move
    ASSERT_TRUE(d.G.OpponentsTurn);
    EXPECT_EQ(ComputeHint(d.G).Kind, THint::TKind::None);
    TGameDriver(d.G).Run();
    ASSERT_TRUE(IsPlayersMove(d.G));
    TGame bare(d.Host, d.G);
    bare.Levels = {};
    EXPECT_EQ(ComputeHint(bare).Kind, THint::TKind::None);
    EXPECT_NE(ComputeHint(d.G).Kind, THint::TKind::None);
}

}  // namespace
}  // namespace canasta::test
