// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The strongest level: simulates taking the pile, estimates its distance from
// going out, chooses between two initial-meld plans by the wild cards each
// spends, remembers the cards the human took from the pile, rolls an
// aggressiveness per turn and discards down one rank over several turns.
#include "ai/Advanced.h"

namespace canasta {

class TExpert : public TAdvanced {
public:
    struct TGoOut {
        bool Now = false;  // can go out this turn
        int Distance = 0;  // cards still in the way
    };
    struct TEstimate {
        bool Yes = false;
        int Wilds = 0;  // wild cards the chosen plan spends
    };
    struct TReach {
        int Canastas = 0;
        int Cards = 0;  // wild cards plus the hand cards of the reachable canastas
    };
    enum class TPickUp { Took, Drew, Ended };

    void NewHand(TGame& game) override;

    // Per-turn values, public so tests can set up a turn and call one step.
    void RollAggressiveTurn();
    void ComputeHoldBack();

    // ---- pick-up and melding ----
    TPickUp ExpertPickUp();
    bool TakeDecision() override;
    TGoOut GoOutEstimate();
    TEstimate InitialMeldEstimate(int topRank, bool pileCanasta, bool fullCheck);
    bool PileCanastaTest();
    bool FreezeTest();
    bool KeepsInitialMeld(int rank);
    void ExpertInitialMeld();
    void ExpertMeld();
    void NaturalCanastas();
    void CanGoOutNow();
    void ExpertCompleteCanastas();
    void ExpertMeldDown(int k);
    void ExpertPairsAndWilds();
    TReach ReachableCanastas();
    bool ScoreCheck() const;

    // ---- discard ----
    TDiscardChoice ChooseDiscard() override;

protected:
    void BeginTurn() override;
    bool PickUp() override { return ExpertPickUp() != TPickUp::Ended; }
    void PrepareWithoutPickUp() override { PickUpOpening(); }
    void Meld() override { ExpertMeld(); }
    void BeforeDiscard() override {}
    // Jokers, twos and threes in the other seat's hand.
    virtual int HumanWildsAndThrees() const;

private:
    // The per-turn values the pick-up starts with: the aggressiveness roll,
    // the other seat's points, the meld target, the hold-back.
    void PickUpOpening();
    TExpertState& S() { return State(); }
    int StockSize() const { return Game().Stock.Count; }
    int HumanHand() const { return Game().Seat(Other).Hand.Count; }
    int HumanCanastas() const { return Game().Seat(Other).MeldState.Canastas; }
    // The highest rank code among the hand's cards.
    int HighestRankHeld() const;
    int BlackThreesHeld() const { return BlackThreesInHand(); }
    void LayRedThreesFromBack();
    // Points of a canasta of the rank from the hand with that many wild cards
    // (jokers first, as they are laid).
    int OpeningCanastaPoints(int rank, int wilds) const;
    // Wild cards on the triples of the hand until the points reach the
    // target: jokers (50) first, then twos (20).
    void AddWildsToTriples(int& points, int& jokers, int& twos, int& spent, int target);
};

}  // namespace canasta
