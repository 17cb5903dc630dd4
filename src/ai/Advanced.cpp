// SPDX-License-Identifier: GPL-3.0-or-later
#include "ai/Advanced.h"

#include <algorithm>

namespace canasta {

namespace {

size_t At(int rank) { return static_cast<size_t>(rank); }

}  // namespace

void TAdvanced::NewHand(TGame& game) {
    TBeginner::NewHand(game);
    Shared->BlackThreeFlag = false;
}

int TAdvanced::BlackThreesInHand() const {
    int n = 0;
    for (const TCard& c : Game().Seat(Me).Hand) n += IsBlackThree(c);
    return n;
}

int TAdvanced::TwoElseJoker() const {
    const int two = FindInHand(kRankTwo);
    return two >= 0 ? two : FindInHand(kRankJoker);
}

// ---- melding pieces ----

void TAdvanced::MeldOfRank(int rank, int n) {
    int held = 0;
    for (const TCard& c : Game().Seat(Me).Hand) held += c.Rank == rank;
    int left = MeldableCount(rank, n == 0 ? held : std::min(n, held));
    for (int i = HandSize() - 1; i >= 0 && left > 0;) {
        if (HandCard(i).Rank == rank) {
            MeldFromHand(i);
            --left;
            i = HandSize() - 1;
        } else {
            --i;
        }
    }
    CountCards();
    if (rank >= 3 && C.MeldSize[At(rank)] == 2) MeldWildCard(rank);
}

void TAdvanced::MeldCanasta(int rank) {
    MeldRank(rank);
    CountCards();
    for (int n = 7 - C.MeldSize[At(rank)]; n > 0; --n) MeldWildCard(rank);
}

TAdvanced::TOpening TAdvanced::CanastaOpening() {
    CountCards();
    TOpening found;
    int jokers = C.Jokers();
    for (int f = kRankAce; f >= 3; --f) {
        const int n = C.HandByRank[At(f)];
        if (n < 4 || n + C.Wilds() < 7) continue;
        int value = NaturalPoints(f) * n;
        for (int w = 7 - n; w > 0; --w) {
            if (jokers > 0) {
                value += 50;
                --jokers;  // stays spent for the lower ranks of this scan
            } else {
                value += 20;
            }
        }
        if (value >= MeldTarget) found = {true, f};
    }
    return found;
}

void TAdvanced::MeldAfterTake(const TCard& top) {
    const int r = top.Rank;
    PileComing = Game().DiscardPile.Count;
    if (HasMelded()) {
        MeldRank(r);
    } else {
        const TOpening opening = CanastaOpening();
        if (opening.Found && opening.Rank == r)
            MeldCanasta(r);
        else
            MeldRank(r);
    }
    MakeInitialMeld();
    PileComing = 0;
}

void TAdvanced::MeldAfterForcedTake(const TCard& top) { MeldRank(top.Rank); }

TBeginner::TInitialMeldCheck TAdvanced::CanMakeInitialMeld() {
    TInitialMeldCheck check = TBeginner::CanMakeInitialMeld();
    const bool pairsAllowed = MeldTarget < 90 ? check.Pairs == 0 : MeldTarget < 120 ? check.Pairs <= 1 : true;
    check.Possible = check.Used < HandSize() + ComingWithTake - 6 && check.Points >= MeldTarget && pairsAllowed;
    return check;
}

// ---- taking the pile ----

bool TAdvanced::CanastaProspect(int r, int k) const {
    auto inPlay = [&](int i) {
        return C.HandByRank[At(i)] + C.PileByRank[At(i)] + C.MeldSize[At(i)] - (i == r ? 1 : 0);
    };
    int best = -1;
    for (int i = kRankAce; i >= 3 && best < 0; --i)
        if (inPlay(i) + C.Wilds() >= 7 && inPlay(i) >= 4) best = i;
    if (best < 0) return false;
    if (C.HandByRank[At(best)] < 3) return inPlay(best) - k + C.Wilds() >= 7;
    return true;
}

bool TAdvanced::TakeDecision() {
    TGame& g = Game();
    CountCards();
    if (g.DiscardPile.Empty()) return false;
    const TCard top = g.DiscardPile.Last();
    const int r = top.Rank;
    MeldTarget = g.Seat(Me).MinimumMeld + (g.Rules.TopCardCounts ? 0 : top.Points);
    if (!CanTakePile(top)) return false;

    TProvisionalCard provisional(g, Me, top);
    CountCards();
    int pairs = 0;
    bool meldable = HasMelded();
    if (!meldable) {
        // The rest of the pile comes in with the take: those cards remain
        // in the hand after the meld too.
        ComingWithTake = g.DiscardPile.Count - 1;
        const TInitialMeldCheck check = CanMakeInitialMeld();
        ComingWithTake = 0;
        meldable = check.Possible;
        pairs = check.Pairs;
    }
    CountCards();
    const double n = g.DiscardPile.Count;
    const int inHand = C.HandByRank[At(r)], inMeld = C.MeldSize[At(r)];

    if (!HasCanastasRequired() && g.Rules.CanastaRequired) {
        if (!meldable) return false;
        if (CanastaProspect(r, pairs)) return true;
        return RandomReal() > 25.0 / (n * n);
    }
    const double u = RandomReal();
    const int total = inHand + inMeld + C.PileByRank[At(r)];
    if (total >= 4 && total + C.Wilds() >= 7) return meldable && (inHand >= 3 || inMeld >= 3);
    if (u <= 16.0 / (n * n)) return meldable && inHand >= 3;
    return meldable && (inHand >= 3 || inMeld >= 3);
}

// ---- going out ----

void TAdvanced::GoOut() { GoOutDecision(); }

void TAdvanced::GoOutDecision() {
    TGame& g = Game();
    if (HasCanastasRequired()) {
        const double u = RandomReal();
        const int humanHand = g.Seat(Other).Hand.Count;
        const bool out = g.Seat(Other).Melds.Count + humanHand >= 31 || humanHand == 0 ||
                         u < 16.0 / (double(humanHand) * humanHand) || HandSize() == 2;
        if (!out) return;
        MeldDown();
        MeldPairsAndWilds();
        return;
    }
    if (!g.Rules.CanastaRequired && g.Seat(Other).MeldState.Canastas >= CanastasRequired() && HasMelded() &&
        g.Seat(Other).Hand.Count < 7)
        MeldDown();
}

void TAdvanced::MeldDown() { MeldDownWithBudget(HasCanastasRequired() ? HandSize() : HandSize() - 6); }

void TAdvanced::MeldDownWithBudget(int budget) {
    CountCards();
    const TCardCounts counts = C;
    for (int i = kRankAce; i >= 3; --i) {
        const int inHand = counts.HandByRank[At(i)];
        const bool existing = counts.MeldSize[At(i)] > 0;
        if (!((existing && inHand > 0) || inHand >= 3) || inHand > budget) continue;
        budget -= inHand;
        if (inHand < (existing ? 1 : 3)) continue;
        for (int m = 0; m < inHand; ++m) {
            const int at = FindInHand(i);
            if (at < 0) break;
            MeldFromHand(at);
        }
    }
}

void TAdvanced::MeldPairsAndWilds() {
    CountCards();
    const TCardCounts counts = C;
    const int blackThrees = BlackThreesInHand();
    int pairs = 0;
    for (int i = 3; i <= kRankAce; ++i) pairs += counts.HandByRank[At(i)] == 2;
    const int spare = counts.Wilds() - pairs;
    const int left = HandSize() - 3 * pairs - spare - (blackThrees >= 3 ? blackThrees : 0);
    if (spare < 0 || (left != 0 && left != 1)) return;

    for (int i = kRankAce; i >= 3; --i)
        if (counts.HandByRank[At(i)] == 2) MeldRank(i);
    if (blackThrees >= 3) MeldRank(kRankThree);

    CountCards();
    std::array<int, kColumns> room{};
    for (int i = 3; i <= kRankAce; ++i)
        room[At(i)] = C.MeldSize[At(i)] >= 7 ? 0 : 2 * C.MeldByRank[At(i)] - C.MeldSize[At(i)];
    int placed = 0;
    for (int i = 3; i <= kRankAce && placed < spare; ++i) {
        const int n = std::min(room[At(i)], spare - placed);
        for (int w = 0; w < n; ++w) MeldWildCard(i);
        placed += std::max(0, n);
    }
    // The rest goes on the canastas, lowest rank first, never past as many
    // wild cards as naturals; what cannot be placed stays in the hand.
    for (int i = 3; i <= kRankAce && placed < spare; ++i) {
        if (Game().Seat(Me).MeldState.CanastaKind[At(i)] == ckNone) continue;
        CountCards();
        const int n = std::min(WildRoom(i), spare - placed);
        for (int w = 0; w < n; ++w) MeldWildCard(i);
        placed += n;
    }
}

void TAdvanced::BeforeDiscard() {
    CountCards();
    if (Game().Seat(Me).Melds.Count >= 21 && HasCanastasRequired() && BlackThreesInHand() > 0)
        Shared->BlackThreeFlag = true;
}

// ---- discard ----

TDiscardChoice TAdvanced::ChooseDiscard() {
    TGame& g = Game();
    CountCards();
    const auto& hand = C.HandByRank;
    if (HandSize() == 1) return {0};

    const int wilds = C.Wilds();
    if (wilds >= 3 && wilds >= HandSize() - 4 && (PileFrozenForMe() || !HasCanastasRequired())) return {TwoElseJoker()};

    const bool feedsCanasta = !g.Rules.AddToCanasta;  // a human canasta cannot take the card
    auto safeForHuman = [&](int r, int limit) {
        const int m = C.OppMeldSize[At(r)];
        return m <= limit || (m >= 7 && feedsCanasta);
    };

    int chosen = -1;
    if (g.DiscardPile.Count > 5) {
        const int blackThree = FindBlackThree();
        if (blackThree >= 0) return {blackThree};
        for (int r = 3; r <= kRankAce && chosen < 0; ++r) {
            const int n = hand[At(r)];
            if ((n == 1 || n == 4 || n == 5) && safeForHuman(r, 2)) chosen = r;
        }
        for (int t = 0; t <= 15 && chosen < 0; ++t) {
            for (int r = 3; r <= kRankAce; ++r)
                if (hand[At(r)] > 0 && safeForHuman(r, t) && (chosen < 0 || hand[At(r)] < hand[At(chosen)])) chosen = r;
            if (chosen >= 0 && wilds > 0 && g.Seat(Other).Hand.Count < 10 && C.OppMeldSize[At(chosen)] >= 2 &&
                !PileFrozenForMe())
                return {TwoElseJoker()};
        }
        if (chosen < 0) return {0};
        return {FindInHand(chosen)};
    }

    for (int t = 1; t <= 15 && chosen < 0; ++t) {
        const bool ascending = RandomReal() < 0.8;
        for (int k = 0; k < 11 && chosen < 0; ++k) {
            const int r = ascending ? 3 + k : kRankAce - k;
            if (hand[At(r)] > 0 && hand[At(r)] + C.MeldSize[At(r)] == t && C.OppMeldSize[At(r)] != 6) chosen = r;
        }
    }
    const int blackThree = FindBlackThree();
    if (chosen >= 0) {
        if (hand[At(chosen)] >= 2 && blackThree >= 0) return {blackThree};
        return {FindInHand(chosen)};
    }
    return {blackThree >= 0 ? blackThree : 0};
}

}  // namespace canasta
