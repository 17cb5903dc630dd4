// SPDX-License-Identifier: GPL-3.0-or-later
#include "ai/Master.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace canasta {

namespace {

size_t At(int i) { return static_cast<size_t>(i); }

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

uint32_t Mix(uint32_t a, uint32_t b) {
    uint64_t z = (uint64_t(a) << 32) + b + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>(z ^ (z >> 31));
}

// A card as anyone sees it face down: nothing of where it lay.
TCard Plain(TCard c) {
    c.FaceUp = false;
    ClearColumn(c);
    return c;
}

// The Expert in the rollouts: the searched decision forced for one turn, and
// a turn finished from its discard on a copy of the game.
class TRolloutExpert : public TExpert {
public:
    // 1 take, 0 draw, -1 the Expert's own decision.
    int ForcedTake = -1;

    bool TakeDecision() override {
        const bool own = TExpert::TakeDecision();
        const int forced = std::exchange(ForcedTake, -1);
        return forced < 0 ? own : forced == 1;
    }
    void CloseTurn(TGame& game, TSeat seat, const TDiscardChoice& choice) {
        Attach(game, seat);
        DiscardChosen(choice);
        Finish();
    }
};

// What one search thread owns: the host the copies report to and the two
// seats' rollout levels, each with a state of its own.
struct TWorker {
    bool ValueMatch = true;
    THeadlessHost Host;
    TExpertState MineState, TheirsState;
    TRolloutExpert Mine;
    TExpert Theirs;
    TWorker() {
        Mine.ShareState(MineState);
        Theirs.ShareState(TheirsState);
    }

    // Plays both seats to the end of the hand and values the outcome for seat.
    double PlayOut(TGame& g, TSeat seat, int mineBefore, int theirsBefore) {
        try {
            for (int turns = 0; g.TurnPhase != TTurnPhase::HandOver && turns < 400; ++turns) {
                const TSeat mover = g.OpponentsTurn ? TSeat::Opponent : TSeat::Player;
                (mover == seat ? static_cast<TExpert&>(Mine) : Theirs).PlayTurn(g, mover);
            }
        } catch (const InternalError&) {
            // A rollout that broke down is valued where it stopped.
        }
        int mine = g.Seat(seat).Score, theirs = g.Seat(OtherSeat(seat)).Score;
        if (g.TurnPhase != TTurnPhase::HandOver) {
            mine += g.Seat(seat).MeldedPoints;
            theirs += g.Seat(OtherSeat(seat)).MeldedPoints;
        }
        if (!ValueMatch) return (mine - mineBefore) - (theirs - theirsBefore);
        return MatchValue(mine, theirs);
    }
};

// Runs the samples of one search: each sample re-deals the hidden cards once
// and plays every candidate on that deal with the same rollout seed.
using TPlayCandidate = std::function<void(TWorker&, TGame&, int candidate)>;

std::vector<std::vector<double>> RunSearch(const TGame& game, TSeat seat, const TMasterBudget& budget, uint32_t seed,
                                           int64_t deadline, int candidates, const TPlayCandidate& play) {
    const int limit = deadline ? 1 << 20 : std::max(1, budget.Samples);
    const int mineBefore = game.Seat(seat).Score, theirsBefore = game.Seat(OtherSeat(seat)).Score;
    std::atomic<int> next{0};
    std::mutex lock;
    std::vector<std::pair<int, std::vector<double>>> done;
    auto work = [&] {
        TWorker w;
        w.ValueMatch = budget.ValueMatch;
        std::vector<std::pair<int, std::vector<double>>> mine;
        for (;;) {
            // At least a few samples even when the clock has run out already.
            if (deadline && NowNs() >= deadline && next.load() >= 4) break;
            const int s = next.fetch_add(1);
            if (s >= limit) break;
            const uint32_t sampleSeed = Mix(seed, static_cast<uint32_t>(s));
            auto deal = [&](uint32_t dealSeed) {
                auto d = std::make_unique<TGame>(w.Host, game);
                d->Levels = {};
                RedealHiddenCards(*d, seat, dealSeed);
                return d;
            };
            std::unique_ptr<TGame> dealt = deal(sampleSeed);
            std::vector<double> values(At(candidates));
            for (int c = 0; c < candidates; ++c) {
                // Without common deals each candidate meets deals of its own.
                const uint32_t own = budget.CommonDeals ? sampleSeed : Mix(sampleSeed, static_cast<uint32_t>(c + 1));
                if (!budget.CommonDeals && c > 0) dealt = deal(own);
                TGame g(w.Host, *dealt);
                g.Rng.Seed = Mix(own, 0x524F4C4Cu);
                play(w, g, c);
                values[At(c)] = w.PlayOut(g, seat, mineBefore, theirsBefore);
            }
            mine.emplace_back(s, std::move(values));
        }
        const std::lock_guard<std::mutex> guard(lock);
        for (auto& m : mine) done.push_back(std::move(m));
    };
    const int threads = std::max(1, budget.Threads);
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) helpers.emplace_back(work);
    work();
    for (std::thread& t : helpers) t.join();
    std::sort(done.begin(), done.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::vector<double>> values;
    values.reserve(done.size());
    for (auto& d : done) values.push_back(std::move(d.second));
    return values;
}

}  // namespace

TMasterBudget DefaultMasterBudget() {
    TMasterBudget b;
    b.ThinkMs = 500;
    b.Threads = 2;
    return b;
}

void RedealHiddenCards(TGame& game, TSeat seat, uint32_t seed) {
    TSeatState& other = game.Seat(OtherSeat(seat));
    std::vector<bool> known(At(other.Hand.Count), false);
    std::vector<TCard> shown, hidden;
    // The cards it took from the pile, as they were seen.
    for (const TCard& p : other.PickedUp) {
        int found = -1;
        for (int i = 0; i < other.Hand.Count && found < 0; ++i)
            if (!known[At(i)] && other.Hand.Cards[At(i)].Id == p.Id && other.Hand.Cards[At(i)].Deck == p.Deck)
                found = i;
        for (int i = 0; i < other.Hand.Count && found < 0; ++i)
            if (!known[At(i)] && other.Hand.Cards[At(i)].Id == p.Id) found = i;
        if (found < 0) continue;
        known[At(found)] = true;
        shown.push_back(Plain(other.Hand.Cards[At(found)]));
    }
    for (int i = 0; i < other.Hand.Count; ++i)
        if (!known[At(i)]) hidden.push_back(Plain(other.Hand.Cards[At(i)]));
    const int unseenInHand = static_cast<int>(hidden.size());
    for (const TCard& c : game.Stock) hidden.push_back(Plain(c));
    // In an order of their own, so the deal does not depend on where they lay.
    std::sort(hidden.begin(), hidden.end(),
              [](const TCard& a, const TCard& b) { return a.Id != b.Id ? a.Id < b.Id : a.Deck < b.Deck; });
    TRandom rng(seed);
    for (size_t i = hidden.size(); i > 1; --i) std::swap(hidden[i - 1], hidden[rng.Next(static_cast<uint32_t>(i))]);

    const TSeat otherSeat = OtherSeat(seat);
    other.Hand = TCardList{};
    for (const TCard& c : shown) game.AddToHand(otherSeat, c, {TArea::Stock}, false);
    for (int i = 0; i < unseenInHand; ++i) game.AddToHand(otherSeat, hidden[At(i)], {TArea::Stock}, false);
    game.Stock = TCardList{};
    for (size_t i = At(unseenInHand); i < hidden.size(); ++i) AddCard(game.Stock, hidden[i]);
    game.CountColumns();
    if (otherSeat == TSeat::Player) game.SavedPlayerHand = other.Hand;
    // A person's melded points live on the table, not in the seat record; the
    // level that plays that seat in the rollouts keeps them in the record.
    if (other.MeldedPoints == 0) other.MeldedPoints = game.MeldedPoints(otherSeat, false);
}

double MatchValue(int myScore, int otherScore) {
    if (myScore >= 5000 || otherScore >= 5000) return myScore > otherScore ? 1.0 : myScore < otherScore ? 0.0 : 0.5;
    // A higher first-meld minimum costs about its extra points in the hands to come.
    const double lead = myScore - otherScore + (MinimumInitialMeld(otherScore) - MinimumInitialMeld(myScore));
    // About 900 points a hand toward 5,000, with a spread of about 1,000 a hand.
    const double handsLeft = std::max(1.0, (5000.0 - std::max(myScore, otherScore)) / 900.0);
    const double spread = 1000.0 * std::sqrt(handsLeft);
    return 0.5 * std::erfc(-lead / (spread * std::sqrt(2.0)));
}

int PickCandidate(const std::vector<std::vector<double>>& values, double margin) {
    const size_t n = values.size();
    if (n < 8) return 0;
    const size_t candidates = values.front().size();
    int best = 0;
    double bestGain = 0;
    for (size_t c = 1; c < candidates; ++c) {
        double sum = 0, squares = 0;
        for (const std::vector<double>& v : values) {
            const double d = v[c] - v[0];
            sum += d;
            squares += d * d;
        }
        const double mean = sum / double(n);
        const double variance = std::max(0.0, (squares - sum * mean) / double(n - 1));
        const double error = std::sqrt(variance / double(n));
        if (mean > 0 && mean > margin * error && mean > bestGain) {
            best = static_cast<int>(c);
            bestGain = mean;
        }
    }
    return best;
}

void TMaster::BeginTurn() {
    TExpert::BeginTurn();
    // A plan is for the one turn after it was given.
    Following = std::exchange(PlanArmed, false);
    TurnStartState = State();
    TurnStart = NowNs();
}

int64_t TMaster::Deadline(double share) const {
    if (Budget.ThinkMs <= 0) return 0;
    return TurnStart + static_cast<int64_t>(Budget.ThinkMs * share * 1e6);
}

uint32_t TMaster::SearchSeed(int kind) const {
    const TGame& g = Game();
    uint32_t s = Mix(Budget.Seed, g.HandNumber);
    s = Mix(s, static_cast<uint32_t>(g.Stock.Count * 256 + g.DiscardPile.Count));
    s = Mix(s, static_cast<uint32_t>(HandSize() * 16 + kind));
    for (const TCard& c : g.Seat(Me).Hand) s = Mix(s, c.Id);
    return s;
}

int TMaster::HumanWildsAndThrees() const {
    const TGame& g = Game();
    const TSeatState& other = g.Seat(Other);
    const auto low = [](const TCard& c) { return c.Rank <= kRankThree; };
    // Jokers, twos and threes of the two decks, less those in sight.
    int unseenLow = 4 + 8 + 8, known = 0;
    for (const TCard& c : g.Seat(Me).Hand) unseenLow -= low(c);
    for (const TCard& c : g.Seat(Me).Melds) unseenLow -= low(c);
    for (const TCard& c : other.Melds) unseenLow -= low(c);
    for (const TCard& c : g.DiscardPile) unseenLow -= low(c);
    for (const TCard& c : other.PickedUp) {
        unseenLow -= low(c);
        known += low(c);
    }
    const int unseenInHand = std::max(0, other.Hand.Count - other.PickedUp.Count);
    const int unseen = unseenInHand + g.Stock.Count;
    if (unseen <= 0) return known;
    return known + (std::max(0, unseenLow) * unseenInHand + unseen / 2) / unseen;
}

TMasterPlan TMaster::PlanTurn(TGame& copy, TSeat seat) {
    PlanArmed = false;
    Recording = true;
    Plan = {};
    PlayTurn(copy, seat);
    Recording = false;
    return std::move(Plan);
}

void TMaster::FollowPlan(TMasterPlan plan) {
    Plan = std::move(plan);
    PlanArmed = true;
    NextTake = NextDiscard = 0;
}

bool TMaster::TakeDecision() {
    const bool take = SearchTake();
    if (Recording) Plan.Takes.push_back(take);
    return take;
}

TDiscardChoice TMaster::ChooseDiscard() {
    const TDiscardChoice choice = SearchDiscard();
    if (Recording) Plan.Discards.push_back(choice);
    return choice;
}

bool TMaster::SearchTake() {
    TGame& g = Game();
    const bool expert = TExpert::TakeDecision();
    if (Following && NextTake < Plan.Takes.size()) return Plan.Takes[NextTake++];
    if (!Budget.SearchTake || g.StockExhausted || g.DiscardPile.Empty()) return expert;
    // The take is a candidate only where the Expert's own melding after a take
    // can follow it: a pile it may take and a first meld it reaches.
    bool feasible = expert;
    if (!feasible) {
        const TExpertState saved = State();
        CountCards();
        const TCard top = g.DiscardPile.Last();
        const int t = top.Rank;
        feasible = CanTakePile(top) && !(PileFrozenForMe() && C.HandByRank[At(t)] < 2);
        if (feasible && !HasMelded()) {
            const bool pileCanasta = PileCanastaTest();
            TProvisionalCard provisional(g, Me, top);
            CountCards();
            feasible = InitialMeldEstimate(t, pileCanasta, true).Yes;
        }
        State() = saved;
        CountCards();
    }
    if (!feasible) return expert;

    ++Stats.TakeSearches;
    const TExpertState start = TurnStartState;
    const int expertChoice = expert ? 1 : 0;
    const TSeat me = Me;
    const std::vector<std::vector<double>> values =
        RunSearch(g, Me, Budget, SearchSeed(1), Deadline(0.45), 2, [&](TWorker& w, TGame& copy, int candidate) {
            w.MineState = start;
            w.TheirsState.Clear();
            w.Mine.ForcedTake = candidate == 0 ? expertChoice : 1 - expertChoice;
            w.Mine.PlayTurn(copy, me);
        });
    Stats.Samples += static_cast<long>(values.size());
    if (PickCandidate(values, Budget.Margin) == 0) return expert;
    ++Stats.TakeChanged;
    return !expert;
}

TDiscardChoice TMaster::SearchDiscard() {
    const TDiscardChoice expert = TExpert::ChooseDiscard();
    if (Following && NextDiscard < Plan.Discards.size()) return Plan.Discards[NextDiscard++];
    TGame& g = Game();
    CountCards();
    // The alternatives: one card of each other natural rank, the likeliest
    // first (singles, ranks the other side has not melded, low points).
    const int expertRank = expert.FromMelds ? -1 : HandCard(expert.Position).Rank;
    std::vector<std::pair<int, int>> ranked;  // (score, position)
    for (int r = kRankThree; r <= kRankAce; ++r) {
        if (r == expertRank) continue;
        const int at = r == kRankThree ? FindBlackThree() : FindInHand(r);
        if (at < 0) continue;
        const int score = (r == kRankThree ? 0 : 10 * C.HandByRank[At(r)]) + (C.OppMeldSize[At(r)] > 0 ? 25 : 0) +
                          NaturalPoints(r) / 5;
        ranked.emplace_back(score, at);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TDiscardChoice> choices{expert};
    for (const auto& r : ranked) {
        if (static_cast<int>(choices.size()) > Budget.DiscardAlternatives) break;
        choices.push_back({r.second});
    }
    if (choices.size() < 2 || !Budget.SearchDiscard) return expert;

    ++Stats.DiscardSearches;
    const TExpertState now = State();
    const TSeat me = Me;
    const std::vector<std::vector<double>> values =
        RunSearch(g, Me, Budget, SearchSeed(2), Deadline(0.95), static_cast<int>(choices.size()),
                  [&](TWorker& w, TGame& copy, int candidate) {
                      w.MineState = now;
                      w.TheirsState.Clear();
                      w.Mine.CloseTurn(copy, me, choices[At(candidate)]);
                  });
    Stats.Samples += static_cast<long>(values.size());
    const int pick = PickCandidate(values, Budget.Margin);
    if (pick != 0) ++Stats.DiscardChanged;
    CountCards();
    return choices[At(pick)];
}

}  // namespace canasta
