// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The middle level: weighs the pile size, keeps a long hand after its initial
// meld, may open with a whole canasta, goes out by chance, and discards with
// an eye on the human's melds. Random draws come from the game's generator.
#include "ai/Beginner.h"
#include "ai/ExpertState.h"

namespace canasta {

class TAdvanced : public TBeginner {
public:
    struct TOpening {
        bool Found = false;
        int Rank = 0;
    };

    TAdvanced() = default;
    // A copy keeps a state of its own when the original did (a copy of a
    // level can then think on another thread).
    TAdvanced(const TAdvanced& other)
        : TBeginner(other),
          ComingWithTake(other.ComingWithTake),
          Own(other.Own),
          Shared(other.Shared == &other.Own ? &Own : other.Shared) {}
    TAdvanced& operator=(const TAdvanced&) = delete;

    void NewHand(TGame& game) override;
    // The record shared with the Expert of the same game (BlackThreeFlag).
    void ShareState(TExpertState& state) { Shared = &state; }
    TExpertState& State() { return *Shared; }

    // The decisions, public so each can be exercised on a hand-built table.
    bool TakeDecision() override;
    TInitialMeldCheck CanMakeInitialMeld() override;
    TOpening CanastaOpening();
    void MeldCanasta(int rank);
    void GoOutDecision();
    void MeldDown();
    void MeldPairsAndWilds();
    TDiscardChoice ChooseDiscard() override;

protected:
    void MeldAfterTake(const TCard& top) override;
    void MeldAfterForcedTake(const TCard& top) override;
    void GoOut() override;
    void BeforeDiscard() override;
    // Backward over the hand: n cards of the rank (0 all), then a wild card
    // when that leaves the meld at two.
    void MeldOfRank(int rank, int n);
    void MeldRank(int rank) override { MeldOfRank(rank, 0); }
    // Melds of the ranks eligible within the budget (nothing held back).
    void MeldDownWithBudget(int budget);
    // The canasta prospect of the take decision with the top card of rank r
    // counted once (the counts hold it provisionally); k wild cards go to
    // the initial meld.
    bool CanastaProspect(int r, int k) const;
    int BlackThreesInHand() const;
    // The first two in hand order, else the first joker.
    int TwoElseJoker() const;

private:
    // Pile cards a take would bring in, while the take decision checks the meld.
    int ComingWithTake = 0;
    TExpertState Own;
    TExpertState* Shared = &Own;
};

}  // namespace canasta
