// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The searching level. It plays the Expert's turn, but where the Expert takes
// its two decisions that move a hand most (take the pile or draw, and which
// card to discard) it first plays each candidate forward: many deals of the
// cards its seat cannot see, every candidate on the same deals with the same
// rollout seeds, the rest of the hand played out by Expert against Expert,
// the outcome valued in match terms. It keeps the Expert's choice unless
// another candidate is better by a clear margin on those paired outcomes.
#include <cstdint>
#include <vector>

#include "ai/Expert.h"

namespace canasta {

// How long the Master thinks: a wall-clock budget per turn spread over
// threads, or (ThinkMs 0) a fixed number of sampled deals per decision, which
// with one thread replays exactly.
struct TMasterBudget {
    int ThinkMs = 0;
    int Samples = 48;
    int Threads = 1;
    uint32_t Seed = 0x4D617374u;
    // A candidate replaces the Expert's choice when its mean paired gain
    // exceeds this many standard errors.
    double Margin = 2.0;
    // Candidates for the discard besides the Expert's card.
    int DiscardAlternatives = 3;
    // The parts of the search, each to be switched off to measure what it is worth:
    // the take decision, the discard, the match value (else the hand's point
    // difference), the same deals and rollout seeds for every candidate.
    bool SearchTake = true, SearchDiscard = true, ValueMatch = true, CommonDeals = true;
};

// The budget the program plays with: the turn stays under about a second on
// two loaded cores.
TMasterBudget DefaultMasterBudget();

// The cards the seat cannot see (the other seat's hand apart from the cards
// it is known to hold from pile takes, and the stock) dealt afresh from the
// same cards: a function of the seat's information and the seed only.
void RedealHiddenCards(TGame& game, TSeat seat, uint32_t seed);

// Value of final scores for the seat's side: its chance of winning the match,
// estimated from the lead, the distance to 5,000 and the first-meld minimums.
double MatchValue(int myScore, int otherScore);

// The searched decisions of one turn, in the order they were taken.
struct TMasterPlan {
    std::vector<bool> Takes;
    std::vector<TDiscardChoice> Discards;
};

class TMaster : public TExpert {
public:
    TMasterBudget Budget;

    // Thinking off the thread that plays: a copy of this level plays the
    // turn on a copy of the game (any thread may do that) and returns what it
    // decided; given to FollowPlan, the next turn of the game itself plays
    // those decisions without searching again. The rest of the turn is the
    // Expert's and draws from the game's generator, so both turns agree.
    TMasterPlan PlanTurn(TGame& copy, TSeat seat);
    void FollowPlan(TMasterPlan plan);
    bool HasPlan() const { return PlanArmed; }

    // What the searches did (for the simulator and the tests).
    struct TStats {
        long TakeSearches = 0, TakeChanged = 0;
        long DiscardSearches = 0, DiscardChanged = 0;
        long Samples = 0;
    };
    TStats Stats;

    // The decisions, public so a test can ask for one on a prepared table.
    bool TakeDecision() override;
    TDiscardChoice ChooseDiscard() override;

protected:
    void BeginTurn() override;
    // The seat cannot see the other hand: the expected count from what it can see.
    int HumanWildsAndThrees() const override;

private:
    bool SearchTake();
    TDiscardChoice SearchDiscard();
    // Deadline of the search now starting (steady clock, ns), 0 with a work-unit budget.
    int64_t Deadline(double share) const;
    uint32_t SearchSeed(int kind) const;
    // The Expert's state when this turn began (rollouts replay the turn from there).
    TExpertState TurnStartState;
    int64_t TurnStart = 0;
    // Recording a plan, or following one (the next decision of each kind at Next*).
    bool Recording = false, Following = false, PlanArmed = false;
    TMasterPlan Plan;
    size_t NextTake = 0, NextDiscard = 0;
};

// The candidate values of one decision: Values[s][c] for sampled deal s and
// candidate c (candidate 0 is the default). Returns the candidate to play:
// 0 unless another one's mean paired gain exceeds margin standard errors.
int PickCandidate(const std::vector<std::vector<double>>& values, double margin);

}  // namespace canasta
