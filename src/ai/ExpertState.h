// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the Expert keeps of the computer's seat. BlackThreeFlag is also set by
// the Advanced level, so the two levels of one game share one record.
namespace canasta {

struct TExpertState {
    bool AggressiveTurn = false;  // rolled at the start of each Expert turn
    bool HoldBack = false;        // per turn: keep the initial meld back
    int MeldTarget = 50;          // per turn: points the initial meld must reach
    bool BlackThreeFlag = false;  // throw black threes first (kept between turns)
    int PlanRank = 0;             // rank being discarded down, 0 none (kept between turns)
    bool PileCanasta = false;     // the pile completes a canasta the hand cannot
    int InitialMeldWilds = 0;     // wild cards the chosen initial-meld plan spends
    int InitialMeldPlan = 0;      // 1 triples with wild cards, 2 pairs too, 0 none

    void Clear() { *this = TExpertState{}; }
    friend bool operator==(const TExpertState&, const TExpertState&) = default;
};

}  // namespace canasta
