// SPDX-License-Identifier: GPL-3.0-or-later
// Random legal and illegal gestures of the player against an opponent seat
// that only draws and discards; every invariant is checked after each action.
#include <gtest/gtest.h>

#include "support/TestTable.h"

using namespace canasta;
using namespace canasta::test;

namespace {

struct Rng {
    uint64_t s;
    uint32_t operator()(uint32_t n) {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>((s >> 33) % n);
    }
};

TRuleOptions RandomRules(Rng& r) { return RandomRuleOptions(r); }

void RandomGesture(TGame& g, Rng& r) {
    const int hand = g.Seat(TSeat::Player).Hand.Count;
    switch (r(12)) {
        case 0: g.DrawClicked(); break;
        case 1: g.TakePile(); break;
        case 2:
        case 3:
        case 4:
            if (hand) {
                int i = static_cast<int>(r(static_cast<uint32_t>(hand)));
                if (IsWild(g.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)]))
                    g.MeldWildGesture(r(2), r(2));
                else
                    g.MeldCardGesture(i, r(3) == 0, r(3) == 0);
            }
            break;
        case 5: g.AddWildcardGesture(1 + static_cast<int>(r(13)), r(2)); break;
        case 6: g.UndoMeld(); break;
        case 7: g.UndoAll(); break;
        case 8:
        case 9:
            if (hand) g.DiscardCard(static_cast<int>(r(static_cast<uint32_t>(hand))));
            break;
        case 10:
            if (g.Seat(TSeat::Player).Melds.Count)
                g.DiscardRedThreeFromTable(static_cast<int>(r(g.Seat(TSeat::Player).Melds.Count)));
            break;
        case 11: g.EndHandClicked(); break;
    }
}

// Makes the turn end: draw if needed, then try to discard; undo all if stuck.
void FinishTurn(TGame& g) {
    if (g.TurnPhase == TTurnPhase::Draw && g.StockExhausted) {
        g.TakePile();
        if (g.TurnPhase == TTurnPhase::Draw) g.EndHandClicked();
        return;
    }
    if (g.TurnPhase == TTurnPhase::Draw) g.TakePile();  // whenever the rules allow it
    while (g.TurnPhase == TTurnPhase::Draw || g.TurnPhase == TTurnPhase::DrawSecond) {
        const uint32_t hand = g.HandNumber;
        g.DrawClicked();
        if (hand != g.HandNumber || g.OpponentsTurn) return;
    }
    if (g.PileTakeUndoable) g.TakePile();  // undo the pending take, then draw
    if (g.TurnPhase == TTurnPhase::Draw) return;
    for (int i = 0; i < g.Seat(TSeat::Player).Hand.Count; ++i) {
        const uint32_t hand = g.HandNumber;
        if (g.DiscardCard(i) || hand != g.HandNumber) return;
    }
    g.UndoAll();
    for (int i = 0; i < g.Seat(TSeat::Player).Hand.Count; ++i) {
        const uint32_t hand = g.HandNumber;
        if (g.DiscardCard(i) || hand != g.HandNumber) return;
    }
}

}  // namespace

TEST(RandomPlay, ThousandsOfTurnsKeepEveryInvariant) {
    int turns = 0, melds = 0, takes = 0, hands = 0;
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        Rng r{seed};
        THeadlessHost host;
        DrawDiscardLevel level;
        TGame g(host, RandomRules(r));
        g.Levels = {&level, &level, &level};
        g.FixedSeed = true;
        g.Rng.Seed = static_cast<uint32_t>(seed);
        g.Config.DoubleRightClick = r(2);
        g.DealHand();
        const int before = level.Turns;
        for (int action = 0; level.Turns - before < 60 && action < 20000; ++action) {
            const int meldsBefore = g.Seat(TSeat::Player).Melds.Count;
            const int pileBefore = g.DiscardPile.Count;
            const uint32_t handBefore = g.HandNumber;
            try {
                if (r(8) == 0)
                    FinishTurn(g);
                else
                    RandomGesture(g, r);
                // What the table does after each action of the player.
                TGameDriver(g).Run();
            } catch (const std::exception& e) {
                FAIL() << "seed " << seed << " action " << action << ": " << e.what();
            }
            if (g.HandNumber != handBefore) {
                ++hands;
            } else {
                melds += g.Seat(TSeat::Player).Melds.Count > meldsBefore;
                takes += g.DiscardPile.Count < pileBefore - 1;
            }
            std::string problem = CheckConsistency(g);
            ASSERT_EQ(problem, "") << "seed " << seed << " action " << action;
        }
        turns += level.Turns - before;
    }
    EXPECT_GE(turns, 2000);
    // The gestures reach the interesting rules, not only draw and discard.
    EXPECT_GT(melds, 1000);
    EXPECT_GT(takes, 10);
    EXPECT_GT(hands, 20);
    std::printf("turns %d, meld actions %d, pile takes %d, hands %d\n", turns, melds, takes, hands);
}
