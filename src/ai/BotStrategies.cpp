// SPDX-License-Identifier: GPL-3.0-or-later
// The strategies of the player-seat bot: greedy, and random with a greedy
// finish. Each only chooses the next gesture; PlayerBot.cpp carries it out.
#include "ai/PlayerBot.h"

#include <algorithm>
#include <array>

namespace canasta {

// What the player sees of its own seat, counted once per decision.
struct TBotSeatView {
    TCounts Hand{}, Col{}, ColWilds{}, OppCol{};
    int HandCount = 0, Jokers = 0, Twos = 0, BlackThrees = 0, TableBlackThrees = 0;
    int TablePoints = 0;   // every table card but red threes
    int MeldedPoints = 0;  // columns of three or more
    int Canastas = 0, Need = 1;
    bool FrozenForMe = false;
    bool MinimumMet = true;

    explicit TBotSeatView(const TGame& g) {
        for (const TCard& c : g.Seat(TSeat::Player).Hand) {
            ++Hand[c.Rank];
            if (IsBlackThree(c)) ++BlackThrees;
        }
        for (const TCard& c : g.Seat(TSeat::Player).Melds) {
            const size_t col = c.Column;
            ++Col[col];
            if (IsWild(c)) ++ColWilds[col];
            if (IsBlackThree(c)) ++TableBlackThrees;
            if (!IsRedThree(c)) TablePoints += c.Points;
        }
        for (const TCard& c : g.Seat(TSeat::Player).Melds)
            if (!IsRedThree(c) && Col[c.Column] >= 3) MeldedPoints += c.Points;
        for (const TCard& c : g.Seat(TSeat::Opponent).Melds) ++OppCol[c.Column];
        HandCount = g.Seat(TSeat::Player).Hand.Count;
        Jokers = Hand[kRankJoker];
        Twos = Hand[kRankTwo];
        Canastas = g.Seat(TSeat::Player).MeldState.Canastas;
        Need = g.Rules.CanastasToGoOut;
        FrozenForMe = g.PileFrozen || (g.Rules.InitiallyFrozen && g.Rules.FrozenPerPlayer && MeldedPoints == 0);
        MinimumMet = TablePoints == 0 || TablePoints >= g.Seat(TSeat::Player).MinimumMeld ||
                     (g.Rules.BonusCounts && Canastas >= 1);
    }
    int Wilds() const { return Jokers + Twos; }
    int Naturals(int c) const { return Col[static_cast<size_t>(c)] - ColWilds[static_cast<size_t>(c)]; }
    bool CanGoOut() const { return Canastas >= Need; }
    // Melding k cards still leaves a card to discard, or going out is allowed.
    bool Keeps(int k) const { return HandCount - k >= 1 || CanGoOut(); }
};

namespace {

int NaturalValue(int rank) { return rank == kRankAce ? 20 : rank >= 7 ? 10 : 5; }

int FirstInHand(const TGame& g, int rank) {
    for (int i = 0; i < g.Seat(TSeat::Player).Hand.Count; ++i)
        if (g.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)].Rank == rank) return i;
    return -1;
}

int FirstBlackThreeInHand(const TGame& g) {
    for (int i = 0; i < g.Seat(TSeat::Player).Hand.Count; ++i)
        if (IsBlackThree(g.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)])) return i;
    return -1;
}

TMove Make(TMoveType kind, int index = 0, bool shift = false, bool ctrl = false) { return {kind, index, shift, ctrl}; }

TMove MeldRankGesture(const TGame& g, const TBotSeatView& v, int rank) {
    return Make(TMoveType::MeldCard, FirstInHand(g, rank), v.Hand[static_cast<size_t>(rank)] > 1);
}

// A first meld: groups of the hand whose points reach `needed` with at most
// maxCards cards (so one stays to discard); empty when there is none. Groups of
// three or more by value first, then pairs with a wild card, then wild cards
// on the planned melds. mustRank (the pile's top card, counted in the hand) is
// planned first.
enum class TGroupKind { Naturals, Pair, Wild };
struct TGroup {
    TGroupKind Kind;
    int Rank;
};

std::vector<TGroup> PlanFirstMeld(const TBotSeatView& v, int needed, int maxCards, int mustRank) {
    std::vector<TGroup> plan;
    int points = 0, cards = 0, jokers = v.Jokers, twos = v.Twos;
    auto takeWild = [&]() {
        if (jokers > 0) {
            --jokers;
            return 50;
        }
        --twos;
        return 20;
    };
    std::array<int, kColumns> naturals{}, wilds{};
    auto addNaturals = [&](int c) {
        const int n = v.Hand[static_cast<size_t>(c)];
        plan.push_back({TGroupKind::Naturals, c});
        points += n * NaturalValue(c);
        cards += n;
        naturals[static_cast<size_t>(c)] = v.Naturals(c) + n;
        wilds[static_cast<size_t>(c)] = v.ColWilds[static_cast<size_t>(c)];
    };
    auto addPair = [&](int c) {
        plan.push_back({TGroupKind::Pair, c});
        points += 2 * NaturalValue(c) + takeWild();
        cards += 3;
        naturals[static_cast<size_t>(c)] = 2;
        wilds[static_cast<size_t>(c)] = 1;
    };
    if (mustRank >= 0) {
        const int n = v.Hand[static_cast<size_t>(mustRank)];
        if (n >= 3 || v.Col[static_cast<size_t>(mustRank)] > 0) {
            addNaturals(mustRank);
        } else if (n == 2 && jokers + twos > 0) {
            addPair(mustRank);  // with the natural pair not required: one natural, the top card and a wild card
        } else {
            return {};
        }
    }
    std::vector<int> groups;
    for (int c = 3; c <= kRankAce; ++c) {
        if (c == mustRank) continue;
        const int n = v.Hand[static_cast<size_t>(c)];
        if (n > 0 && (n >= 3 || v.Col[static_cast<size_t>(c)] >= 3)) groups.push_back(c);
    }
    auto value = [&](int c) { return v.Hand[static_cast<size_t>(c)] * NaturalValue(c); };
    std::stable_sort(groups.begin(), groups.end(), [&](int a, int b) { return value(a) > value(b); });
    for (int c : groups) {
        if (points >= needed) break;
        if (cards + v.Hand[static_cast<size_t>(c)] > maxCards) continue;
        addNaturals(c);
    }
    for (int c = kRankAce; c >= 3 && points < needed; --c) {
        if (c == mustRank || v.Hand[static_cast<size_t>(c)] != 2 || v.Col[static_cast<size_t>(c)] > 0) continue;
        if (jokers + twos == 0 || cards + 3 > maxCards) continue;
        addPair(c);
    }
    // Wild cards on the planned melds, never more than their naturals.
    for (size_t i = 0; i < plan.size() && points < needed; ++i) {
        const size_t c = static_cast<size_t>(plan[i].Rank);
        while (points < needed && jokers + twos > 0 && wilds[c] < naturals[c] && cards + 1 <= maxCards) {
            points += takeWild();
            ++wilds[c];
            ++cards;
            plan.push_back({TGroupKind::Wild, plan[i].Rank});
        }
    }
    if (points < needed || cards > maxCards) return {};
    return plan;
}

TMove FirstMeldGesture(const TGame& g, const TBotSeatView& v, const std::vector<TGroup>& plan) {
    for (const TGroup& group : plan) {
        const size_t c = static_cast<size_t>(group.Rank);
        if (group.Kind == TGroupKind::Wild) {
            if (v.Col[c] > 0) return Make(TMoveType::AddWild, group.Rank);
            continue;
        }
        if (v.Hand[c] > 0)
            return group.Kind == TGroupKind::Pair ? Make(TMoveType::MeldCard, FirstInHand(g, group.Rank), true)
                                                  : MeldRankGesture(g, v, group.Rank);
    }
    return {};
}

}  // namespace

void TGreedyBot::OnNewTurn() {
    Retreated = false;
    UndidTake = false;
}

bool TGreedyBot::WantPile(const TGame& g, const TBotSeatView& v) const {
    if (UndidTake || g.DiscardPile.Empty()) return false;
    const TCard& top = g.DiscardPile.Last();
    const int r = top.Rank;
    const size_t k = static_cast<size_t>(r);
    if (r < 3 || (g.DiscardPile.Count == 1 && v.HandCount == 1)) return false;
    const TRuleOptions& rules = g.Rules;
    const bool pair = v.Hand[k] >= 2;
    const bool addToMeld = !v.FrozenForMe && !(rules.NaturalPair && rules.PairForExistingMeld) && v.Col[k] >= 3 &&
                           (v.Col[k] < 7 || rules.AddToCanasta);
    const bool single = !v.FrozenForMe && !rules.NaturalPair && v.Hand[k] == 1 && v.Wilds() >= 1 && v.Col[k] < 3;
    if (!pair && !addToMeld && !single) return false;
    if (v.Col[k] == 0 && !v.CanGoOut() && v.HandCount + g.DiscardPile.Count <= 3) return false;
    if (v.TablePoints > 0) return v.MinimumMet;
    // Before the first meld the take must also reach the minimum.
    TBotSeatView with = v;
    ++with.Hand[k];
    ++with.HandCount;
    const int needed = g.Seat(TSeat::Player).MinimumMeld + (rules.TopCardCounts ? 0 : top.Points);
    return !PlanFirstMeld(with, needed, with.HandCount - 1, r).empty();
}

TMove TGreedyBot::Choose(const TGame& g) {
    std::vector<TMove> moves;
    const TBotSeatView v(g);
    if (g.PileTakeUndoable) {
        PileTakenMoves(g, v, moves);
    } else if (g.TurnPhase == TTurnPhase::DrawSecond) {
        moves.push_back(Make(TMoveType::Draw));
    } else if (!g.HasDrawn) {
        if (WantPile(g, v)) moves.push_back(Make(TMoveType::TakePile));
        if (!g.StockExhausted) {
            moves.push_back(Make(TMoveType::Draw));
        } else {
            moves.push_back(Make(TMoveType::EndHand));
            moves.push_back(Make(TMoveType::TakePile));  // forced to take the top card
        }
    } else {
        MeldMoves(g, v, moves);
    }
    // Whatever is left: anything a player could still try.
    if (!g.UndoStack.empty()) moves.push_back(Make(TMoveType::UndoAll));
    for (int i = 0; i < v.HandCount; ++i) moves.push_back(Make(TMoveType::Discard, i));
    for (int i = 0; i < v.HandCount; ++i) moves.push_back(Make(TMoveType::MeldCard, i));
    for (int c = 1; c < kColumns; ++c)
        if (v.Col[static_cast<size_t>(c)] > 0) moves.push_back(Make(TMoveType::AddWild, c));
    if (g.PileTakeUndoable || g.TurnStart) moves.push_back(Make(TMoveType::TakePile));

    for (const TMove& m : moves) {
        if (Refused(m)) continue;
        if (m.Kind == TMoveType::UndoAll || m.Kind == TMoveType::UndoMeld) Retreated = true;
        if (m.Kind == TMoveType::TakePile && g.PileTakeUndoable) UndidTake = true;
        return m;
    }
    return {};
}

void TGreedyBot::PileTakenMoves(const TGame& g, const TBotSeatView& v, std::vector<TMove>& moves) const {
    const int r = g.TakenTopColumn;
    const size_t k = static_cast<size_t>(r);
    if (v.Col[k] < g.TopColumnCountBefore + 3) {
        if (v.Hand[k] > 0)
            moves.push_back(Make(TMoveType::MeldCard, FirstInHand(g, r), true));
        else if (v.Wilds() > 0 && v.Naturals(r) > v.ColWilds[k])
            moves.push_back(Make(TMoveType::AddWild, r));
    } else if (v.MeldedPoints < g.Seat(TSeat::Player).MinimumMeld && !(g.Rules.BonusCounts && v.Canastas >= 1)) {
        const auto plan = PlanFirstMeld(v, g.Seat(TSeat::Player).MinimumMeld - v.MeldedPoints, v.HandCount - 1, -1);
        const TMove first = FirstMeldGesture(g, v, plan);
        if (first.Kind != TMoveType::None) moves.push_back(first);
    } else {
        Repairs(g, v, moves);
    }
    moves.push_back(Make(TMoveType::TakePile));  // give the take back
}

// Moves that make an invalid table valid again; none when it is valid. When
// the hand cannot mend every bad column, the melds of the turn are taken back.
void TGreedyBot::Repairs(const TGame& g, const TBotSeatView& v, std::vector<TMove>& moves) const {
    std::vector<TMove> mend;
    bool invalid = false, hopeless = false;
    int cardsNeeded = 0, wildsNeeded = 0;
    for (int c = 3; c <= kRankAce; ++c) {
        const size_t k = static_cast<size_t>(c);
        const bool short3 = v.Col[k] > 0 && v.Col[k] < 3;
        const bool tooWild = v.ColWilds[k] > v.Naturals(c);
        if (!short3 && !tooWild) continue;
        invalid = true;
        const int naturals = v.Naturals(c) + v.Hand[k];
        const int total = v.Col[k] + v.Hand[k];
        if (naturals < v.ColWilds[k]) {
            hopeless = true;
        } else if (total >= 3) {
            if (v.Hand[k] > 0) mend.push_back(Make(TMoveType::MeldCard, FirstInHand(g, c), true));
            cardsNeeded += v.Hand[k];
        } else if (naturals >= 2 && v.ColWilds[k] == 0 && total == 2) {
            if (v.Hand[k] > 0)
                mend.push_back(Make(TMoveType::MeldCard, FirstInHand(g, c), true));
            else
                mend.push_back(Make(TMoveType::AddWild, c));
            cardsNeeded += v.Hand[k] + 1;
            ++wildsNeeded;
        } else {
            hopeless = true;
        }
    }
    const int wildColumn = v.Col[kRankTwo];
    if (wildColumn > 0 && wildColumn < 7) {
        invalid = true;
        if (v.Wilds() + wildColumn >= 7) {
            mend.push_back(Make(TMoveType::MeldWild, 0, true));
            cardsNeeded += 7 - wildColumn;
            wildsNeeded += 7 - wildColumn;
        } else {
            hopeless = true;
        }
    }
    if (v.TableBlackThrees > 0 && v.HandCount > 1) {
        invalid = true;
        hopeless = true;
    }
    if (!invalid) return;
    if (hopeless || wildsNeeded > v.Wilds() || !v.Keeps(cardsNeeded)) {
        if (!g.UndoStack.empty()) moves.push_back(Make(TMoveType::UndoAll));
        return;
    }
    moves.insert(moves.end(), mend.begin(), mend.end());
    if (!g.UndoStack.empty()) moves.push_back(Make(TMoveType::UndoAll));
}

void TGreedyBot::MeldMoves(const TGame& g, const TBotSeatView& v, std::vector<TMove>& moves) const {
    if (v.HandCount == 0) {
        // Melded out without being allowed to go out: take the last meld back.
        moves.push_back(Make(TMoveType::UndoMeld));
        return;
    }
    if (AnyRefused(TMoveType::Discard) && !g.UndoStack.empty()) moves.push_back(Make(TMoveType::UndoAll));
    if (!Retreated) {
        const size_t before = moves.size();
        Repairs(g, v, moves);
        if (moves.size() == before) {
            if (v.TablePoints > 0 && !v.MinimumMet) {
                const auto plan =
                    PlanFirstMeld(v, g.Seat(TSeat::Player).MinimumMeld - v.TablePoints, v.HandCount - 1, -1);
                const TMove first = FirstMeldGesture(g, v, plan);
                moves.push_back(first.Kind != TMoveType::None ? first : Make(TMoveType::UndoAll));
            } else if (v.TablePoints == 0) {
                const auto plan = PlanFirstMeld(v, g.Seat(TSeat::Player).MinimumMeld, v.HandCount - 1, -1);
                const TMove first = FirstMeldGesture(g, v, plan);
                if (first.Kind != TMoveType::None) moves.push_back(first);
            } else {
                ExtendMoves(g, v, moves);
            }
        }
    }
    for (int i : DiscardOrder(g, v)) moves.push_back(Make(TMoveType::Discard, i));
}

void TGreedyBot::ExtendMoves(const TGame& g, const TBotSeatView& v, std::vector<TMove>& moves) const {
    // Naturals onto existing melds, then new melds of three or more.
    for (int c = 3; c <= kRankAce; ++c) {
        const size_t k = static_cast<size_t>(c);
        const int n = v.Hand[k];
        if (n == 0 || v.Col[k] < 3) continue;
        const bool completesOut = v.Col[k] + n >= 7 && v.Canastas + 1 >= v.Need;
        if (v.Keeps(n) || completesOut) moves.push_back(MeldRankGesture(g, v, c));
    }
    for (int c = 3; c <= kRankAce; ++c) {
        const size_t k = static_cast<size_t>(c);
        if (v.Col[k] == 0 && v.Hand[k] >= 3 && v.Keeps(v.Hand[k])) moves.push_back(MeldRankGesture(g, v, c));
    }
    // Complete canastas with wild cards.
    for (int c = kRankAce; c >= 3; --c) {
        const size_t k = static_cast<size_t>(c);
        const int missing = 7 - v.Col[k];
        if (v.Col[k] < 4 || missing <= 0 || missing > v.Wilds()) continue;
        if (v.Naturals(c) < v.ColWilds[k] + missing) continue;
        if (v.Keeps(missing) || v.Canastas + 1 >= v.Need) moves.push_back(Make(TMoveType::AddWild, c, true));
    }
    if (g.Rules.WildCanastaAllowed && v.Col[kRankTwo] == 0 && v.Wilds() >= 7 && v.Keeps(7))
        moves.push_back(Make(TMoveType::MeldWild, 0, true));
    if (!v.CanGoOut()) return;

    // Going out: worth spending pairs and wild cards only if at most one card is left.
    int singles = 0, pairs = 0;
    for (int c = 3; c <= kRankAce; ++c) {
        const size_t k = static_cast<size_t>(c);
        if (v.Col[k] > 0) continue;
        if (v.Hand[k] == 1) ++singles;
        if (v.Hand[k] == 2) ++pairs;
    }
    const int leftOver = singles + 2 * std::max(0, pairs - v.Wilds()) + (v.BlackThrees < 3 ? v.BlackThrees : 0);
    if (leftOver > 1) return;
    for (int c = kRankAce; c >= 3; --c) {
        const size_t k = static_cast<size_t>(c);
        if (v.Hand[k] == 2 && v.Col[k] == 0 && v.Wilds() >= 1)
            moves.push_back(Make(TMoveType::MeldCard, FirstInHand(g, c), true));
    }
    if (v.BlackThrees >= 3 && (v.HandCount == v.BlackThrees || v.HandCount == v.BlackThrees + 1))
        moves.push_back(Make(TMoveType::MeldCard, FirstBlackThreeInHand(g), true));
    if (v.Wilds() > 0 && v.HandCount >= 2) {
        for (int c = kRankAce; c >= 3; --c) {
            const size_t k = static_cast<size_t>(c);
            if (v.Col[k] >= 3 && v.Naturals(c) > v.ColWilds[k]) {
                moves.push_back(Make(TMoveType::AddWild, c));
                break;
            }
        }
    }
}

// Hand positions from the least to the most useful card.
std::vector<int> TGreedyBot::DiscardOrder(const TGame& g, const TBotSeatView& v) const {
    std::vector<std::pair<int, int>> scored;
    for (int i = 0; i < v.HandCount; ++i) {
        const TCard& c = g.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)];
        const size_t k = c.Rank;
        int score;
        if (IsRedThree(c)) {
            if (!g.Rules.RedThreeFreezes) continue;
            score = 2000;
        } else if (IsWild(c)) {
            score = 1000 + c.Points;
        } else if (IsBlackThree(c)) {
            score = 0;  // blocks the pile for the opponent
        } else {
            score = 10 + 25 * v.Hand[k] + (v.Col[k] > 0 ? 200 : 0) + c.Points;
            if (v.OppCol[k] >= 3) score += 80;  // the opponent could take the pile with it
        }
        scored.emplace_back(score, i);
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> order;
    for (const auto& s : scored) order.push_back(s.second);
    return order;
}

// ---------------------------------------------------------------------------

TMove TRandomBot::Choose(const TGame& g) {
    if (GesturesThisTurn() >= Cap) return TGreedyBot::Choose(g);
    const int hand = g.Seat(TSeat::Player).Hand.Count;
    auto pct = [this]() { return static_cast<int>(Rng.Next(100)); };
    auto modifiers = [&](TMove ge) {
        const int m = pct();
        ge.Shift = m >= 50 && m < 75;
        ge.Ctrl = m >= 75 && m < 95;
        if (m >= 95) ge.Shift = ge.Ctrl = true;
        return ge;
    };
    auto handGesture = [&]() -> TMove {
        if (hand == 0) return Make(TMoveType::UndoMeld);
        const int i = static_cast<int>(Rng.Next(static_cast<uint32_t>(hand)));
        const bool wild = IsWild(g.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)]);
        return modifiers(Make(wild ? TMoveType::MeldWild : TMoveType::MeldCard, i));
    };
    auto discard = [&]() -> TMove {
        if (hand == 0) return Make(TMoveType::UndoMeld);
        return Make(TMoveType::Discard, static_cast<int>(Rng.Next(static_cast<uint32_t>(hand))));
    };
    auto column = [&]() -> TMove {
        std::vector<int> columns;
        for (int c = 1; c < kColumns; ++c)
            if (c != kRankThree && CountInColumn(g.Seat(TSeat::Player).Melds, c) > 0) columns.push_back(c);
        if (columns.empty()) return handGesture();
        TMove ge = Make(TMoveType::AddWild, columns[Rng.Next(static_cast<uint32_t>(columns.size()))]);
        ge.Shift = pct() < 30;
        return ge;
    };
    auto redThree = [&]() -> TMove {
        std::vector<int> threes;
        for (int i = 0; i < g.Seat(TSeat::Player).Melds.Count; ++i)
            if (g.Seat(TSeat::Player).Melds.Cards[static_cast<size_t>(i)].Column == kRankThree) threes.push_back(i);
        if (threes.empty()) return discard();
        return Make(TMoveType::DiscardRedThree, threes[Rng.Next(static_cast<uint32_t>(threes.size()))]);
    };
    auto draw = [&]() { return Make(g.StockExhausted ? TMoveType::EndHand : TMoveType::Draw); };
    auto any = [&]() -> TMove {
        switch (Rng.Next(9)) {
            case 0: return draw();
            case 1: return Make(TMoveType::TakePile);
            case 2: return handGesture();
            case 3: return column();
            case 4: return Make(TMoveType::UndoMeld);
            case 5: return Make(TMoveType::UndoAll);
            case 6: return discard();
            case 7: return redThree();
            default: return Make(TMoveType::EndHand);
        }
    };

    const int p = pct();
    if (g.PileTakeUndoable) {
        if (p < 45) return handGesture();
        if (p < 60) return column();
        if (p < 70) return Make(TMoveType::TakePile);
        if (p < 85) return discard();
        return any();
    }
    if (g.TurnPhase == TTurnPhase::DrawSecond) return p < 70 ? draw() : any();
    if (!g.HasDrawn) {
        if (p < 50) return draw();
        if (p < 70) return Make(TMoveType::TakePile);
        return any();
    }
    if (p < 35) return handGesture();
    if (p < 45) return column();
    if (p < 51) return Make(TMoveType::UndoMeld);
    if (p < 53) return Make(TMoveType::UndoAll);
    if (p < 90) return discard();
    return any();
}

std::unique_ptr<TPlayerBot> MakePlayerBot(const std::string& name) {
    if (name == "greedy") return std::make_unique<TGreedyBot>();
    if (name == "random") return std::make_unique<TRandomBot>();
    return nullptr;
}

}  // namespace canasta
