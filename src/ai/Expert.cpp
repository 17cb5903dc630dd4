// SPDX-License-Identifier: GPL-3.0-or-later
#include "ai/Expert.h"

#include <algorithm>

namespace canasta {

namespace {

size_t At(int rank) { return static_cast<size_t>(rank); }

}  // namespace

void TExpert::NewHand(TGame& game) {
    TAdvanced::NewHand(game);
    S().Clear();
}

void TExpert::BeginTurn() { MeldTarget = Game().Seat(Me).MinimumMeld; }

int TExpert::HumanWildsAndThrees() const {
    int n = 0;
    for (const TCard& c : Game().Seat(Other).Hand) n += c.Rank <= kRankThree;
    return n;
}

int TExpert::HighestRankHeld() const {
    int best = -1;
    for (const TCard& c : Game().Seat(Me).Hand) best = std::max(best, static_cast<int>(c.Rank));
    return best;
}

void TExpert::RollAggressiveTurn() {
    const int roll = RandomInt(StockSize());
    S().AggressiveTurn = Game().Config.Aggression * 0.6 + 10 > roll;
}

void TExpert::ComputeHoldBack() {
    const TGame& g = Game();
    const int stockAndPile = g.Stock.Count + g.DiscardPile.Count;
    S().HoldBack = stockAndPile < 62 &&
                   g.Seat(Other).Hand.Count + g.Seat(Other).Melds.Count >= (77 - stockAndPile) / 2 + 21 && !HasMelded();
}

// ---- pick-up ----

void TExpert::PickUpOpening() {
    TGame& g = Game();
    RollAggressiveTurn();
    g.Seat(Other).PointsBeforeTurn = g.MeldedPoints(Other, false);
    S().MeldTarget = g.Seat(Me).MinimumMeld;

    if (g.DiscardPile.Count == 1) {
        S().BlackThreeFlag = S().BlackThreeFlag && BlackThreesInHand() >= 2;
        S().PlanRank = 0;
    }
    ComputeHoldBack();
}

TExpert::TPickUp TExpert::ExpertPickUp() {
    TGame& g = Game();
    PickUpOpening();

    if (TakeDecision() && TakeAllowed()) {
        S().PlanRank = 0;
        g.Host.Wait(g.Config.MeldDelay);
        const TCard top = TakeTopCard();
        PileComing = g.DiscardPile.Count;
        CountCards();
        const int t = top.Rank;
        if (C.MeldSize[At(t)] < 3) {
            if (!HasMelded()) {
                if (C.HandByRank[At(t)] == 2) --S().InitialMeldWilds;
                MeldOfRank(t, 0);
                ExpertInitialMeld();
            } else {
                MeldOfRank(t, 3);
            }
        } else if (PileFrozenForMe() || (g.Rules.NaturalPair && g.Rules.PairForExistingMeld)) {
            MeldOfRank(t, 3);
        } else {
            MeldOfRank(t, 1);
        }
        PileComing = 0;
        S().PileCanasta = false;
        TakeRestOfPile();
        g.PileFrozen = false;
        return TPickUp::Took;
    }
    if (g.StockExhausted) {
        if (!ForcedTake()) {
            EndHandAtEmptyStock();
            return TPickUp::Ended;
        }
        const TCard top = TakeTopCard(false);
        MeldOfRank(top.Rank, 1);
        return TPickUp::Took;
    }
    DrawCards();
    return TPickUp::Drew;
}

TExpert::TGoOut TExpert::GoOutEstimate() {
    CountCards();
    const int blackThrees = BlackThreesInHand();
    int pairs = 0, inGroups = 0;
    for (int r = 3; r <= kRankAce; ++r) {
        const int total = C.HandByRank[At(r)] + C.MeldSize[At(r)];
        if (total == 2) ++pairs;
        if (total >= 3) inGroups += C.HandByRank[At(r)];
    }
    const int wilds = C.Wilds();
    const int spare = wilds - pairs;
    const int left = HandSize() - 3 * pairs - inGroups - spare - (blackThrees >= 3 ? blackThrees : 0);
    TGoOut result;
    result.Distance = left + (spare < 0 ? 2 * (pairs - wilds) : 0);
    result.Now = spare >= 0 && (left == 0 || left == 1);
    return result;
}

void TExpert::AddWildsToTriples(int& points, int& jokers, int& twos, int& spent, int target) {
    for (int r = kRankAce; r >= 3 && points < target && jokers + twos >= 1; --r) {
        if (C.HandByRank[At(r)] < 3) continue;
        for (int w = 0; w < 3 && points < target && jokers + twos >= 1; ++w) {
            if (jokers > 0) {
                points += 50;
                --jokers;
            } else {
                points += 20;
                --twos;
            }
            ++spent;
        }
    }
}

TExpert::TEstimate TExpert::InitialMeldEstimate(int c, bool pileCanasta, bool fullCheck) {
    TGame& g = Game();
    CountCards();
    // Without the full check the estimate allows 5 points of slack (the points
    // test uses the lowered target throughout).
    const int target = S().MeldTarget - (fullCheck ? 0 : 5);
    int points = g.Seat(Me).MeldedPoints, used = 0, jokers = C.Jokers(), twos = C.Twos(), spent = 0;
    auto addWild = [](int& pts, int& j, int& t, int& n) {
        if (j > 0) {
            pts += 50;
            --j;
        } else if (t > 0) {
            pts += 20;
            --t;
        } else {
            return;
        }
        ++n;
    };
    if (c >= 3) {
        const int n = C.HandByRank[At(c)];
        points += NaturalPoints(c) * n;
        used += n;
        if (n == 2) addWild(points, jokers, twos, spent);
    }
    for (int r = 3; r <= kRankAce && points < target; ++r) {
        const int n = C.HandByRank[At(r)];
        if (r == c || n < 3) continue;
        points += NaturalPoints(r) * n;
        used += n;
    }

    int points1 = points, jokers1 = jokers, twos1 = twos, spent1 = spent;
    AddWildsToTriples(points1, jokers1, twos1, spent1, target);

    int points2 = points, jokers2 = jokers, twos2 = twos, spent2 = spent, used2 = used;
    for (int r = kRankAce; r >= 3 && points2 < target && jokers2 + twos2 > 0; --r) {
        if (r == c || C.HandByRank[At(r)] != 2) continue;
        points2 += 2 * NaturalPoints(r);
        used2 += 2;
        addWild(points2, jokers2, twos2, spent2);
    }
    AddWildsToTriples(points2, jokers2, twos2, spent2, target);

    const bool reach1 = points1 >= target, reach2 = points2 >= target;
    int plan = 0;
    if (reach1 && reach2)
        plan = spent2 < spent1 ? 2 : 1;
    else if (reach1)
        plan = 1;
    else if (reach2)
        plan = 2;
    S().InitialMeldPlan = plan;
    TEstimate result;
    int total = 0;
    if (plan == 1) {
        total = points1;
        result.Wilds = spent1;
    } else if (plan == 2) {
        total = points2;
        result.Wilds = spent2;
        used = used2;
    }

    const int pile = g.DiscardPile.Count;
    const int net = result.Wilds - C.PileByRank[kRankJoker] - C.PileByRank[kRankTwo];
    const int required = CanastasRequired();
    bool room = true;
    if (fullCheck) room = HandSize() + pile - 9 - 3 * required >= used + result.Wilds || (required == 1 && pileCanasta);

    bool allowance = true;
    if (required == 1) {
        const int tgt = S().MeldTarget;
        if (tgt < 90) {
            allowance = net <= (pile >= 15 ? 1 : 0) || pile >= 20;
        } else if (tgt < 120) {
            allowance = net <= (pile >= 7 ? 1 : 0) || pile >= 20;
        } else {
            allowance = net <= (pile <= 5 ? 0 : pile <= 10 ? 1 : 2) || pile >= 20;
        }
    }
    result.Yes = room && plan != 0 && total >= target && allowance;
    return result;
}

bool TExpert::PileCanastaTest() {
    CountCards();
    for (int r = 3; r <= kRankAce; ++r) {
        const int n = C.HandByRank[At(r)] + C.MeldByRank[At(r)] + C.PileByRank[At(r)];
        if (n >= 4 && n + C.Wilds() >= 7 && n + C.Wilds() - C.PileByRank[At(r)] < 7 && C.MeldSize[At(r)] < 7)
            return true;
    }
    return false;
}

bool TExpert::FreezeTest() {
    TGame& g = Game();
    if (g.DiscardPile.Empty()) return false;
    CountCards();
    int threes = 0, fours = 0, pairs = 0;
    for (int r = 3; r <= kRankAce; ++r) {
        const int total = C.HandByRank[At(r)] + C.MeldSize[At(r)];
        threes += total == 3;
        fours += total >= 4;
        pairs += C.HandByRank[At(r)] >= 2;
    }
    const int wilds = C.Wilds();
    const bool build = (threes >= 1 && threes + wilds >= 3) || (fours >= 1 && fours + wilds >= 2);

    if (S().HoldBack) return false;
    if (!HasMelded() && S().PlanRank == 0) {
        // A look-ahead only: the plan the take decision chose stays in force.
        const int plan = S().InitialMeldPlan;
        const bool keeps = InitialMeldEstimate(0, false, false).Yes;
        S().InitialMeldPlan = plan;
        if (!keeps) return false;
    }
    if (g.Seat(Other).Hand.Count + g.Seat(Other).Melds.Count + HumanWildsAndThrees() >= 26) return false;
    CountCards();
    if ((CanastasRequired() == 2 && pairs >= 5) || (!build && Canastas() == 0) || g.DiscardPile.Count >= 20 ||
        (HandSize() >= 20 && HasCanastasRequired()))
        return true;
    const size_t r = At(g.DiscardPile.Last().Rank);
    if (C.KnownOppByRank[r] + C.OppMeldSize[r] + C.PileByRank[r] < 7) return false;
    return C.KnownOppByRank[r] + C.OppMeldSize[r] < 7;
}

bool TExpert::KeepsInitialMeld(int rank) {
    if (HasMelded()) return true;
    const int at = FindInHand(rank);
    if (at < 0) return false;
    TGame& g = Game();
    const TCardList saved = g.Seat(Me).Hand;
    const int plan = S().InitialMeldPlan;
    TCardList& hand = g.Seat(Me).Hand;
    for (int i = at; i + 1 < hand.Count; ++i) hand.Cards[At(i)] = hand.Cards[At(i + 1)];
    --hand.Count;
    const bool keeps = InitialMeldEstimate(0, false, false).Yes;
    g.Seat(Me).Hand = saved;
    S().InitialMeldPlan = plan;
    CountCards();
    return keeps;
}

bool TExpert::TakeDecision() {
    TGame& g = Game();
    CountCards();
    if (g.DiscardPile.Empty()) return false;
    const TCard top = g.DiscardPile.Last();
    const int t = top.Rank;
    S().MeldTarget = g.Seat(Me).MinimumMeld + (g.Rules.TopCardCounts ? 0 : top.Points);
    if (!CanTakePile(top)) return false;

    S().PileCanasta = PileCanastaTest();
    const int e1 = GoOutEstimate().Distance;

    TProvisionalCard provisional(g, Me, top);
    CountCards();
    bool meldable = HasMelded();
    S().InitialMeldWilds = 0;
    if (!meldable) {
        const TEstimate estimate = InitialMeldEstimate(t, S().PileCanasta, true);
        meldable = estimate.Yes;
        S().InitialMeldWilds = estimate.Wilds;
    }
    const int pile = g.DiscardPile.Count;
    const int stock = StockSize();
    const int required = CanastasRequired();

    if (FreezeTest()) {
        CountCards();
        const bool keepsWild =
            HandSize() >= 25 && HumanHand() < 21 &&
            ((C.Twos() > 0 && KeepsInitialMeld(kRankTwo)) || (C.Jokers() > 0 && KeepsInitialMeld(kRankJoker)));
        if (BlackThreesInHand() > 0 || S().PlanRank != 0 || keepsWild) return false;
        if (!meldable) return false;
        CountCards();
        if (stock >= 71 || pile < 3) return C.PileByRank[kRankJoker] + C.PileByRank[kRankTwo] > 0;
        return true;
    }

    // The hand as it would be with the whole pile.
    int e2 = 0;
    {
        TCardList& hand = g.Seat(Me).Hand;
        const uint8_t before = hand.Count;
        for (int i = 0; i + 1 < g.DiscardPile.Count; ++i) AddCard(hand, g.DiscardPile.Cards[At(i)]);
        e2 = GoOutEstimate().Distance;
        hand.Count = before;
    }
    CountCards();
    const int inHand = C.HandByRank[At(t)], inMeld = C.MeldSize[At(t)], wilds = C.Wilds();
    const bool open = !PileFrozenForMe();

    if (S().BlackThreeFlag) {
        const bool near = S().AggressiveTurn && HasCanastasRequired() && e1 < 3;
        const bool g1 = near ? e1 + 1 >= e2 : true;
        const bool plain = BlackThreesInHand() == 0 && S().PlanRank == 0 && g1 &&
                           (inHand >= 3 || (inMeld >= 1 && open) || (HasCanastasRequired() && pile >= 8 / required));
        const bool canasta = S().PileCanasta && (inHand >= 3 || (inMeld >= 1 && open));
        return meldable && (plain || canasta);
    }

    bool take = false;
    if (!HasCanastasRequired() && g.Rules.CanastaRequired) {
        const int k = HasMelded() ? 0 : S().InitialMeldWilds;
        if (meldable) take = CanastaProspect(t, k) || RandomReal() > 25.0 / (double(pile) * pile);
    } else if (S().AggressiveTurn && HasCanastasRequired() && e1 < 3) {
        take = meldable && !(e1 + 1 < e2);
    } else {
        const int q = inHand + inMeld + C.PileByRank[At(t)];
        if (q >= 5 && inMeld < 7 && q + wilds >= 8) {
            take = meldable;
        } else if (required == 2) {
            take = meldable && ((pile >= 3 && (inMeld >= 1 || inHand >= 3)) ||
                                (pile >= 6 && (inMeld >= 1 || (inHand == 2 && wilds >= 1))));
        } else if (inMeld >= 1 && open) {
            take = meldable && pile >= 4;
        } else if (inHand >= 4) {
            take = meldable && stock <= 15 * required + 46;
        } else if (inHand == 3) {
            take = meldable && pile >= 15 - 7 * required && stock <= 15 * required + 46;
        }
    }
    if (required == 1 && stock >= 68) take = false;
    return take;
}

// ---- melding ----

void TExpert::ExpertInitialMeld() {
    TGame& g = Game();
    auto reached = [&] { return g.Seat(Me).MeldedPoints >= S().MeldTarget; };
    CountCards();
    std::array<bool, kColumns> marked{};
    for (int r = kRankAce; r >= 3 && !reached(); --r) {
        if (C.HandByRank[At(r)] < 3) continue;
        MeldOfRank(r, 3);
        marked[At(r)] = true;
    }
    for (int r = kRankAce; r >= 3 && !reached(); --r)
        if (marked[At(r)]) MeldOfRank(r, 0);
    if (S().InitialMeldPlan == 2) {
        int pairs = 0;
        for (int r = kRankAce; r >= 3 && !reached() && pairs <= S().InitialMeldWilds; --r) {
            CountCards();
            // A pair needs its wild card: two naturals alone are no meld.
            if (C.HandByRank[At(r)] != 2 || C.Wilds() == 0) continue;
            MeldOfRank(r, 0);
            ++pairs;
        }
    }
    CountCards();
    for (int s = 8; s >= 3; --s) {
        for (int r = kRankAce; r >= 3; --r) {
            if (reached() || C.Wilds() == 0) return;
            const int size = C.MeldSize[At(r)];
            if (size < 1 || size + C.PileByRank[At(r)] != s) continue;
            // At most four, and never more wild cards than naturals.
            const int n = std::min(4, WildRoom(r));
            for (int w = 0; w < n && C.Wilds() > 0 && !reached() && (HandSize() > 1 || MayEmptyHand(r, 1)); ++w) {
                MeldWildCard(r);
                CountCards();
            }
        }
    }
}

void TExpert::LayRedThreesFromBack() {
    TGame& g = Game();
    for (int i = HandSize() - 1; i >= 0;) {
        if (!IsRedThree(HandCard(i))) {
            --i;
            continue;
        }
        MeldFromHand(i);
        g.Host.Invalidate(Me == TSeat::Player ? TRegion::PlayerMelds : TRegion::OpponentMelds);
        g.Host.Wait(g.Config.MeldDelay);
        i = HandSize() - 1;
    }
}

void TExpert::NaturalCanastas() {
    for (int r = 3; r <= kRankAce; ++r) {
        CountCards();
        if (C.HandByRank[At(r)] + C.MeldSize[At(r)] < 7 || C.MeldSize[At(r)] != C.MeldByRank[At(r)]) continue;
        if (HasMelded() || 7 * NaturalPoints(r) >= S().MeldTarget) MeldOfRank(r, 0);
    }
}

void TExpert::CanGoOutNow() {
    CountCards();
    int wilds = C.Wilds(), singles = 0, canastas = Canastas();
    const int required = CanastasRequired();
    bool ok = true;
    for (int j = 8; j >= 1 && ok; --j) {
        for (int r = 3; r <= kRankAce && ok; ++r) {
            if (C.HandByRank[At(r)] + C.MeldSize[At(r)] != j) continue;
            if (canastas < required && j >= 4 && wilds - 7 + j >= 0) {
                wilds -= std::max(0, 7 - j);
                ++canastas;
            }
            if (j == 2) {
                if (wilds == 0)
                    ok = false;
                else
                    --wilds;
            }
            if (j == 1) ++singles;
        }
    }
    const int blackThrees = BlackThreesInHand();
    bool e = ok && singles < 2;
    if ((blackThrees == 1 || blackThrees == 2) && !(blackThrees == 1 && singles == 1)) e = false;
    if (canastas >= required && e && S().AggressiveTurn) {
        ExpertCompleteCanastas();
        ExpertMeldDown(0);
        ExpertPairsAndWilds();
    }
}

void TExpert::ExpertCompleteCanastas() {
    CountCards();
    std::array<int, kColumns> plan;
    plan.fill(-1);
    for (int r = kRankAce; r >= 3; --r) {
        const int total = C.HandByRank[At(r)] + C.MeldSize[At(r)];
        if (total + C.Wilds() < 7 || total < 4 || C.MeldSize[At(r)] >= 7) continue;
        const int need = std::max(0, 7 - total);
        const int room = 3 - (C.MeldSize[At(r)] > 0 ? WildsInMeld(r) : 0);
        if (need <= room) plan[At(r)] = need;
    }
    for (int j = 0; j <= 3; ++j) {
        for (int r = kRankAce; r >= 3; --r) {
            if (plan[At(r)] != j) continue;
            CountCards();
            if (C.Wilds() < j || HandSize() < C.HandByRank[At(r)] + j) continue;
            // Melding the whole hand is going out: only with the canastas it needs.
            if (HandSize() == C.HandByRank[At(r)] + j && Canastas() + 1 < CanastasRequired()) continue;
            if (!HasMelded() && OpeningCanastaPoints(r, j) < S().MeldTarget) continue;
            MeldOfRank(r, 0);
            for (int w = 0; w < j; ++w) MeldWildCard(r);
        }
        if (j == 3) break;
        if (!S().AggressiveTurn && HasCanastasRequired() && Canastas() >= HumanCanastas()) {
            CountCards();
            if (!(C.Wilds() >= 6 || GoOutEstimate().Now)) break;
        }
    }
}

int TExpert::OpeningCanastaPoints(int rank, int wilds) const {
    int points = NaturalPoints(rank) * C.HandByRank[At(rank)];
    for (int w = 0, jokers = C.Jokers(); w < wilds; ++w, --jokers) points += jokers > 0 ? 50 : 20;
    return points;
}

void TExpert::ExpertPairsAndWilds() {
    if (HasMelded()) MeldPairsAndWilds();
}

void TExpert::ExpertMeldDown(int k) {
    // Melding down is no way to open: the first meld has its own minimum.
    if (!HasMelded()) return;
    const int required = CanastasRequired();
    MeldDownWithBudget(Canastas() < required ? HandSize() - (6 * required + 2) : HandSize() - 2 * k);
}

TExpert::TReach TExpert::ReachableCanastas() {
    CountCards();
    TReach reach;
    reach.Canastas = Canastas();
    int wilds = C.Wilds();
    reach.Cards = wilds;
    for (int i = 8; i >= 4 && wilds >= 0; --i) {
        for (int r = 3; r <= kRankAce; ++r) {
            if (C.HandByRank[At(r)] + C.MeldSize[At(r)] != i || C.MeldSize[At(r)] >= 7) continue;
            const int need = std::max(0, 7 - i);
            if (wilds < need) continue;
            wilds -= need;
            ++reach.Canastas;
            reach.Cards += C.HandByRank[At(r)];
        }
    }
    return reach;
}

bool TExpert::ScoreCheck() const {
    const TGame& g = Game();
    int human = g.Seat(Other).Score + 300 * g.Seat(Other).MeldState.Canastas;
    for (const TCard& c : g.Seat(Other).Melds) human += c.Points;
    int computer = g.Seat(Me).Score + 300 * Canastas();
    for (const TCard& c : g.Seat(Me).Melds) computer += c.Points;
    return human < computer || human < 5000;
}

void TExpert::ExpertMeld() {
    TGame& g = Game();
    const int required = CanastasRequired();
    LayRedThreesFromBack();
    NaturalCanastas();
    CanGoOutNow();

    auto humanCards = [&] { return g.Seat(Other).Hand.Count + g.Seat(Other).Melds.Count; };
    const bool humanHasCanastas = HumanCanastas() >= required;
    if (StockSize() < 6 || (!S().HoldBack && ((humanHasCanastas && HumanHand() < 10) ||
                                              (HumanCanastas() == 0 && required == 1 && StockSize() < 55 &&
                                               g.Seat(Other).Melds.Count < 5)))) {
        ExpertCompleteCanastas();
        if (HasCanastasRequired()) {
            ExpertMeldDown(0);
            ExpertPairsAndWilds();
        }
    }

    if (required == 2) {
        const TReach reach = ReachableCanastas();
        if ((reach.Canastas >= 2 && HandSize() - reach.Cards != 2) || StockSize() < 5) ExpertCompleteCanastas();
        if (HandSize() - reach.Cards < 2 && reach.Canastas >= 2) {
            ExpertMeldDown(0);
            ExpertPairsAndWilds();
        }
    }

    if (HasCanastasRequired() || !g.Rules.CanastaRequired) {
        if (!HasCanastasRequired()) {
            if (humanHasCanastas && HumanHand() < 5 && !S().HoldBack && HasMelded() &&
                HandSize() + g.Seat(Me).Melds.Count >= 7 * required + 10 - 7 * Canastas())
                ExpertMeldDown(1);
        } else {
            const int x = HandSize() + (PileFrozenForMe() ? 0 : g.Seat(Me).Melds.Count);
            const bool attempt = S().AggressiveTurn
                                     ? !(HumanCanastas() < required - 1 && humanCards() < 35 && x >= 15)
                                     : (humanCards() >= 35 || x < 7 || (humanHasCanastas && HumanHand() < 4));
            bool wentThrough = false;
            if (attempt && GoOutEstimate().Now && ScoreCheck()) {
                ExpertMeldDown(0);
                ExpertCompleteCanastas();
                ExpertPairsAndWilds();
                wentThrough = true;
            }
            if (!wentThrough && HasCanastasRequired()) {
                int redThrees = 0;
                for (const TCard& c : g.Seat(Other).Melds) redThrees += IsRedThree(c);
                if (HumanHand() < 6 || StockSize() < 5 ||
                    (StockSize() < 60 && g.Seat(Other).Melds.Count == redThrees && S().AggressiveTurn))
                    ExpertCompleteCanastas();
                if (StockSize() < 5 || (HumanHand() < 6 && humanHasCanastas)) ExpertMeldDown(1);
            }
        }
    }

    CountCards();
    if (StockSize() <= 3 * required + 68 && BlackThreesInHand() >= 2) S().BlackThreeFlag = true;
}

}  // namespace canasta
