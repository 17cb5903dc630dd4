// SPDX-License-Identifier: GPL-3.0-or-later
#include "ai/Beginner.h"

#include <algorithm>

namespace canasta {

void TBeginner::BeginTurn() { MeldTarget = Game().Seat(Me).MinimumMeld; }

void TBeginner::MeldAfterTake(const TCard& top) {
    PileComing = Game().DiscardPile.Count;
    MeldRankOf(top);
    MakeInitialMeld();
    TopUpInitialMeld();
    PileComing = 0;
}

void TBeginner::MeldAfterForcedTake(const TCard& top) { MeldRankOf(top); }

void TBeginner::InitialMeld() {
    if (CanMakeInitialMeld().Possible) MakeInitialMeld();
}

void TBeginner::AddToMelds() { CompleteCanastas(); }

void TBeginner::GoOut() {
    if (!HasCanastasRequired()) return;
    MeldDown();
    MeldPairsAndWilds();
}

bool TBeginner::TakeDecision() {
    TGame& g = Game();
    if (g.DiscardPile.Empty()) return false;
    const TCard top = g.DiscardPile.Last();
    const int r = top.Rank;
    // Raised for the whole turn, taken or not.
    MeldTarget = g.Seat(Me).MinimumMeld + (g.Rules.TopCardCounts ? 0 : top.Points);

    CountCards();
    if (!CanTakePile(top)) return false;

    TProvisionalCard provisional(g, Me, top);
    CountCards();
    const auto& hand = C.HandByRank;

    if (HasCanastasRequired())
        return hand[static_cast<size_t>(r)] >= 3 ||
               (C.MeldSize[static_cast<size_t>(r)] >= 3 && g.DiscardPile.Count >= 3);

    const int jokers = C.Jokers(), twos = C.Twos();
    bool meldable = true;
    int wildsNeeded = 0;
    if (!HasMelded()) {
        int s = 0, naturals = 0;
        for (int i = 3; i <= kRankAce; ++i) {
            const int n = hand[static_cast<size_t>(i)];
            if (n >= 3) {
                s += NaturalPoints(i) * n;
                naturals += n;
            }
        }
        // Wild cards count only as far as those melds can hold them (never
        // more wild cards than naturals) and as long as a card is left to
        // discard once the rest of the pile has come in.
        const int spare = std::max(0, HandSize() + g.DiscardPile.Count - 2 - naturals);
        const int usableJokers = std::min({jokers, naturals, spare});
        const int usableTwos = std::min(twos, std::min(naturals, spare) - usableJokers);
        meldable = s + 50 * usableJokers + 20 * usableTwos >= MeldTarget;
        if (meldable) {
            for (int j = usableJokers; s < MeldTarget; ++wildsNeeded) {
                if (j > 0) {
                    s += 50;
                    --j;
                } else {
                    s += 20;
                }
            }
        }
    }

    // Canasta prospect: the best rank that hand, pile and meld could make seven of.
    auto inPlay = [&](int i) {
        const size_t k = static_cast<size_t>(i);
        return hand[k] + C.PileByRank[k] + C.MeldSize[k] - (i == r ? 1 : 0);
    };
    int best = -1;
    for (int i = kRankAce; i >= 3 && best < 0; --i)
        if (inPlay(i) + jokers + twos >= 7 && inPlay(i) >= 4) best = i;
    bool prospect = best >= 0;
    if (prospect && hand[static_cast<size_t>(best)] < 3) prospect = inPlay(best) - wildsNeeded + jokers + twos >= 7;
    return meldable && prospect;
}

bool TBeginner::MayEmptyHand(int rank, int n) {
    if (HasCanastasRequired() || PileComing > 0) return true;
    const int m = C.MeldSize[static_cast<size_t>(rank)];
    return m < 7 && m + n >= 7 && Canastas() + 1 >= CanastasRequired();
}

int TBeginner::MeldableCount(int rank, int wanted) {
    CountCards();
    const int m = C.MeldSize[static_cast<size_t>(rank)];
    // Cards the meld takes from the hand: a new meld of two gets a wild card.
    auto used = [&](int k) { return k + (rank >= 3 && m + k == 2 ? 1 : 0); };
    if (used(wanted) < HandSize() || MayEmptyHand(rank, wanted)) return wanted;
    // An empty hand without the canastas is no way to end a turn: keep a card
    // back where the rest still makes a valid meld, else meld none.
    for (int k = wanted - 1; k > 0; --k)
        if (used(k) < HandSize() && (m + k >= 3 || (m + k == 2 && C.Wilds() > 0))) return k;
    return 0;
}

void TBeginner::MeldAllOfRank(int rank) {
    int held = 0;
    for (const TCard& c : Game().Seat(Me).Hand) held += c.Rank == rank;
    int left = MeldableCount(rank, held);
    for (int i = 0; i < HandSize() && left > 0;) {
        if (HandCard(i).Rank == rank) {
            MeldFromHand(i);
            --left;
            i = 0;
        } else {
            ++i;
        }
    }
}

void TBeginner::MeldRank(int rank) {
    MeldAllOfRank(rank);
    CountCards();
    if (C.MeldSize[static_cast<size_t>(rank)] == 2) MeldWildCard(rank);
}

void TBeginner::MeldRankOf(const TCard& card) { MeldRank(card.Rank); }

TBeginner::TInitialMeldCheck TBeginner::CanMakeInitialMeld() {
    CountCards();
    const auto& hand = C.HandByRank;
    int s = Game().Seat(Me).MeldedPoints, used = 0, pairs = 0;
    for (int i = 3; i <= kRankAce && s < MeldTarget; ++i) {
        const int n = hand[static_cast<size_t>(i)];
        if (n >= 3) {
            s += NaturalPoints(i) * n;
            used += n;
        }
    }
    int jokers = C.Jokers(), twos = C.Twos();
    for (int i = kRankAce; i >= 3 && s < MeldTarget && jokers + twos > 0; --i) {
        if (hand[static_cast<size_t>(i)] != 2) continue;
        s += 2 * NaturalPoints(i);
        if (jokers > 0) {
            s += 50;
            --jokers;
        } else {
            s += 20;
            --twos;
        }
        used += 3;
        ++pairs;
    }
    return {s >= MeldTarget && used < HandSize(), pairs, s, used};
}

void TBeginner::MakeInitialMeld() {
    const TInitialMeldCheck check = CanMakeInitialMeld();
    // A pair costs a wild card: lay pairs only when that plan reaches the
    // target and leaves a card to discard (the rest of a taken pile
    // included). Otherwise the wild cards are kept for the triples, as the
    // take decision counted them.
    const int pairs = check.Points >= MeldTarget && check.Used < HandSize() + PileComing ? check.Pairs : 0;
    int rank = kRankAce;
    for (int k = 0; k < pairs; ++k) {
        CountCards();
        while (rank >= 3 && C.HandByRank[static_cast<size_t>(rank)] != 2) --rank;
        if (rank < 3) break;
        MeldRank(rank--);
    }
    while (HandSize() > 0 && Game().Seat(Me).MeldedPoints < MeldTarget) {
        CountCards();
        int found = -1;
        for (int i = 0; i < HandSize() && found < 0; ++i) {
            const int r = HandCard(i).Rank;
            if (r >= 3 && C.HandByRank[static_cast<size_t>(r)] + C.MeldSize[static_cast<size_t>(r)] >= 3) found = r;
        }
        if (found < 0) break;
        const int before = HandSize();
        MeldRank(found);
        if (HandSize() == before) break;  // the last card stays as the discard
    }
}

// The take decision counts wild cards on top of the triples toward the target,
// but the initial meld only puts wild cards on pairs: without this a first
// meld made with the pile could stay below the minimum. The rest of the pile
// is still to come, so the hand may be spent down to its last card.
void TBeginner::TopUpInitialMeld() {
    const int coming = Game().DiscardPile.Count;
    while (HasMelded() && Game().Seat(Me).MeldedPoints < MeldTarget && HandSize() + coming > 1) {
        CountCards();
        if (C.Wilds() == 0) return;
        int target = -1;
        for (int i = kRankAce; i >= 3 && target < 0; --i)
            if (C.MeldSize[static_cast<size_t>(i)] >= 3 && WildRoom(i) > 0) target = i;
        if (target < 0) return;
        MeldWildCard(target);
    }
}

int TBeginner::WildRoom(int rank) {
    const int wilds = WildsInMeld(rank);
    const int naturals = C.MeldSize[static_cast<size_t>(rank)] - wilds;
    return std::max(0, naturals - wilds);
}

void TBeginner::CompleteCanastas() {
    for (int i = kRankAce; i >= 3; --i) {
        CountCards();
        const size_t k = static_cast<size_t>(i);
        const int inHand = C.HandByRank[k], meld = C.MeldSize[k], wilds = C.Wilds();
        if (inHand + meld + wilds < 7 || meld >= 7) continue;
        const int room = 3 - WildsInMeld(i);
        const int needed = std::max(0, 7 - inHand - meld);
        if (needed > wilds || needed > room || inHand + needed >= HandSize()) continue;
        MeldAllOfRank(i);
        for (int w = 0; w < needed; ++w) MeldWildCard(i);
    }
}

void TBeginner::MeldDown() {
    CountCards();
    const TCardCounts counts = C;
    int budget = HasCanastasRequired() ? HandSize() : HandSize() - 6;
    for (int i = kRankAce; i >= 3; --i) {
        const size_t k = static_cast<size_t>(i);
        const int inHand = counts.HandByRank[k];
        const bool existing = counts.MeldSize[k] > 0;
        if (!((existing && inHand > 0) || inHand >= 3) || inHand > budget) continue;
        budget -= inHand;
        const int n = inHand - (budget == 0 ? 1 : 0);
        if (n < (existing ? 1 : 3)) continue;
        for (int m = 0; m < n; ++m) {
            const int at = FindInHand(i);
            if (at < 0) break;
            MeldFromHand(at);
        }
    }
}

void TBeginner::MeldPairsAndWilds() {
    CountCards();
    const TCardCounts counts = C;
    int pairs = 0;
    for (int i = 3; i <= kRankAce; ++i) pairs += counts.HandByRank[static_cast<size_t>(i)] == 2;
    const int spare = counts.Wilds() - pairs;
    const int left = HandSize() - 3 * pairs - spare;
    if (spare < 0 || (left != 0 && left != 1)) return;

    for (int i = kRankAce; i >= 3; --i)
        if (counts.HandByRank[static_cast<size_t>(i)] == 2) MeldRank(i);

    CountCards();
    // A meld takes wild cards only while its naturals still outnumber or equal them.
    std::array<int, kColumns> room{};
    for (int i = 3; i <= kRankAce; ++i)
        room[static_cast<size_t>(i)] = C.MeldSize[static_cast<size_t>(i)] >= 7 ? 0 : WildRoom(i);

    const int toPlace = spare - 1 + left;  // with nothing else left one wild card is the discard
    int placed = 0;
    for (int i = 3; i <= kRankAce && placed < toPlace; ++i) {
        const int n = std::min(room[static_cast<size_t>(i)], toPlace - placed);
        for (int w = 0; w < n; ++w) MeldWildCard(i);
        placed += n;
    }
    // The rest goes on the canastas, lowest rank first, as far as they can take it.
    for (int i = 1; i <= kRankAce && placed < toPlace; ++i) {
        if (i == kRankThree || Game().Seat(Me).MeldState.CanastaKind[static_cast<size_t>(i)] == ckNone) continue;
        CountCards();
        const int n = i == kRankTwo ? toPlace - placed : std::min(WildRoom(i), toPlace - placed);
        for (int w = 0; w < n; ++w) MeldWildCard(i);
        placed += n;
    }
}

TDiscardChoice TBeginner::ChooseDiscard() {
    TGame& g = Game();
    CountCards();
    const auto& hand = C.HandByRank;
    auto firstOf = [this](std::initializer_list<int> ranks) {
        for (int r : ranks) {
            const int at = r == kRankThree ? FindBlackThree() : FindInHand(r);
            if (at >= 0) return at;
        }
        return -1;
    };

    // Freeze the pile when the human is one or two cards from a canasta the
    // computer could feed.
    bool feeds = false;
    for (int i = 3; i <= kRankAce; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (hand[k] > 0 && (C.OppMeldSize[k] == 5 || C.OppMeldSize[k] == 6)) feeds = true;
    }
    if (feeds && C.Wilds() > 0 && !PileFrozenForMe()) return {firstOf({kRankThree, kRankTwo, kRankJoker})};

    bool onlyWildsAndThrees = true;
    for (const TCard& c : g.Seat(Me).Hand)
        if (c.Rank > kRankThree) onlyWildsAndThrees = false;
    if (onlyWildsAndThrees) {
        int at = FindInHand(kRankThree);
        if (at < 0) at = firstOf({kRankTwo, kRankJoker});
        return {at};
    }

    int chosen = -1, groupSize = 0;
    for (int i = 1; i <= 9 && chosen < 0; ++i) {
        for (int j : {2, 3, 4, 5}) {
            for (int r = 3; r <= kRankAce && chosen < 0; ++r)
                if (hand[static_cast<size_t>(r)] == i && C.OppMeldSize[static_cast<size_t>(r)] <= j) chosen = r;
            if (chosen >= 0) break;
        }
        for (int r = 3; r <= kRankAce && chosen < 0; ++r)
            if (hand[static_cast<size_t>(r)] == i && C.OppMeldSize[static_cast<size_t>(r)] >= 7) chosen = r;
        if (chosen >= 0) groupSize = i;
    }

    const int blackThree = FindBlackThree();
    if (blackThree >= 0 && (chosen < 0 || groupSize >= 2 || HandSize() - hand[kRankThree] == 1)) return {blackThree};
    if (chosen < 0) chosen = HandCard(0).Rank;
    return {FindInHand(chosen)};
}

}  // namespace canasta
