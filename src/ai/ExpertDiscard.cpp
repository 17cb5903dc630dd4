// SPDX-License-Identifier: GPL-3.0-or-later
// The Expert's choice of discard: what the human can use, the rank it is
// discarding down, wild cards to freeze the pile, a red three from the table.
#include <algorithm>

#include "ai/Expert.h"

namespace canasta {

namespace {

size_t At(int rank) { return static_cast<size_t>(rank); }

}  // namespace

TDiscardChoice TExpert::ChooseDiscard() {
    TGame& g = Game();
    CountCards();
    const auto& hand = C.HandByRank;
    const int preferred = RandomInt(10) < 8 ? kRankTwo : kRankJoker;
    const int other = preferred == kRankTwo ? kRankJoker : kRankTwo;
    auto wildDiscard = [&] {
        const int at = FindInHand(preferred);
        return at >= 0 ? at : FindInHand(other);
    };
    const int required = CanastasRequired();
    const bool frozen = PileFrozenForMe();
    const int open = frozen ? 0 : 1;  // F: the human's melds count only while it may take the pile
    const int wilds = C.Wilds();

    const int blackThree = FindBlackThree();
    if (S().BlackThreeFlag && blackThree >= 0) return {blackThree};
    if (HandSize() == 1) return {0};
    if (wilds > 2 * required + 2 && (frozen || !HasCanastasRequired())) return {wildDiscard()};

    if (g.Rules.RedThreeFreezes && required == 2 && !HasMelded() && HandSize() < 14) {
        for (int i = 0; i < g.Seat(Me).Melds.Count; ++i)
            if (IsRedThree(g.Seat(Me).Melds.Cards[At(i)])) return {i, true};
    }

    if (S().PlanRank != 0 && hand[At(S().PlanRank)] > 0 && KeepsInitialMeld(S().PlanRank))
        return {FindInHand(S().PlanRank)};

    // Steps from here on may be overridden by the last check.
    S().PlanRank = 0;
    int chosen = -1;
    if (FreezeTest()) {
        CountCards();
        if (blackThree >= 0) {
            chosen = blackThree;
        } else {
            if (HandSize() >= 12 && HumanHand() <= 20 && wilds >= 1) {
                if (hand[At(preferred)] > 0 && KeepsInitialMeld(preferred))
                    chosen = FindInHand(preferred);
                else if (hand[At(other)] > 0 && KeepsInitialMeld(other))
                    chosen = FindInHand(other);
            }
            for (int limit = 9; chosen < 0;) {
                int largest = 0;
                for (int r = 3; r <= kRankAce; ++r) {
                    const int n = hand[At(r)];
                    if (n < 1 || n >= limit || (frozen && n == 2)) continue;
                    largest = std::max(largest, n);
                }
                if (largest < 1) break;
                for (int r = 3; r <= kRankAce && chosen < 0; ++r) {
                    if (hand[At(r)] != largest) continue;
                    if (open * C.OppMeldSize[At(r)] + C.KnownOppByRank[At(r)] < 2 && KeepsInitialMeld(r)) {
                        chosen = FindInHand(r);
                        S().PlanRank = r;
                    }
                }
                limit = largest;
            }
        }
    }
    CountCards();
    {
        const int knownWildsAndThrees =
            C.KnownOppByRank[kRankJoker] + C.KnownOppByRank[kRankTwo] + C.KnownOppByRank[kRankThree];
        if ((wilds >= 4 || (wilds >= 1 && wilds <= 3 && HasCanastasRequired())) &&
            HumanHand() - knownWildsAndThrees <= 7 && g.Seat(Other).Melds.Count >= 20 && !frozen && !S().BlackThreeFlag)
            chosen = wildDiscard();
    }

    // The main search: the smallest groups first, the safest rank among them.
    if (chosen < 0) {
        for (int u = 0;;) {
            int v = 1000;
            for (int r = 3; r <= kRankAce; ++r) {
                const int total = hand[At(r)] + C.MeldSize[At(r)];
                if (total > u) v = std::min(v, total);
            }
            if (v != 1000) {
                u = v;
                if (v >= 2 && blackThree >= 0 && StockSize() < 70) {
                    chosen = blackThree;
                } else {
                    std::vector<int> candidates;
                    for (int r = 3; r <= kRankAce; ++r)
                        if (hand[At(r)] + C.MeldSize[At(r)] == v) candidates.push_back(r);
                    auto score = [&](int r) { return -(open * C.OppMeldSize[At(r)] + C.KnownOppByRank[At(r)]); };
                    for (int ceiling = 1; chosen < 0;) {
                        int kept = -1000;
                        for (int r : candidates)
                            if (score(r) < ceiling && score(r) >= -100) kept = std::max(kept, score(r));
                        if (kept == -1000) break;
                        std::vector<int> best;
                        for (int r : candidates)
                            if (score(r) == kept) best.push_back(r);
                        if (!HasCanastasRequired() && open * g.Seat(Other).Melds.Count + HumanHand() > 25) {
                            chosen = FindInHand(best.front());
                        } else {
                            for (int r : best) {
                                const int seen = C.OppMeldSize[At(r)] + C.KnownOppByRank[At(r)];
                                if ((frozen && C.KnownOppByRank[At(r)] < 2) || seen + C.PileByRank[At(r)] < 6 ||
                                    seen >= 7) {
                                    chosen = FindInHand(r);  // none for a rank held only on the table
                                    break;
                                }
                            }
                        }
                        if (chosen >= 0 || kept < -8) break;
                        ceiling = kept;
                    }
                }
            }
            if (v > 8) {
                for (int r = 3; r <= kRankAce; ++r) {
                    if (hand[At(r)] > 0 && C.OppMeldByRank[At(r)] != C.OppMeldSize[At(r)]) {
                        chosen = FindInHand(r);
                        break;
                    }
                }
            }
            if (chosen >= 0) S().PlanRank = HandCard(chosen).Rank;
            if (chosen >= 0 || v > 8) break;
        }
    }

    if (chosen < 0) chosen = blackThree >= 0 && StockSize() < 70 ? blackThree : FindInHand(HighestRankHeld());

    // Last check: the human holds one card and could go out on the pile.
    if (g.DiscardPile.Empty() && HumanHand() == 1 && C.OppMeldSize[At(HandCard(chosen).Rank)] > 0) {
        int rank = -1;
        for (int r = 3; r <= kRankAce && rank < 0; ++r)
            if (hand[At(r)] > 0 && C.OppMeldSize[At(r)] == 0) rank = r;
        if (rank < 0) rank = HighestRankHeld();
        chosen = FindInHand(rank);
    }
    return {chosen};
}

}  // namespace canasta
