// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The weakest computer level: fixed rules, no randomness, no memory of the
// cards the human took from the pile.
#include "ai/ComputerTurn.h"

namespace canasta {

class TBeginner : public TComputerTurn {
public:
    struct TInitialMeldCheck {
        bool Possible = false;
        int Pairs = 0;   // pairs it would complete with a wild card
        int Points = 0;  // points reached (melded points included)
        int Used = 0;    // hand cards the meld would use
    };

    void NewHand(TGame&) override { PileComing = 0; }

    // The decisions, public so each can be exercised on a hand-built table
    // (after Attach).
    bool TakeDecision() override;
    void MeldRankOf(const TCard& card);
    virtual TInitialMeldCheck CanMakeInitialMeld();
    void MakeInitialMeld();
    void CompleteCanastas();
    void MeldDown();
    void MeldPairsAndWilds();
    TDiscardChoice ChooseDiscard() override;

    // Points the initial meld must reach this turn: the minimum, raised by the
    // top card's value when the top card does not count.
    int MeldTarget = 50;

protected:
    void BeginTurn() override;
    void MeldAfterTake(const TCard& top) override;
    void MeldAfterForcedTake(const TCard& top) override;
    void InitialMeld() override;
    void AddToMelds() override;
    void GoOut() override;

    // Whether melding n more cards of the rank may empty the hand: with the
    // canastas to go out, with pile cards still coming in, or when they
    // complete the canasta that makes them (reads the counts C).
    bool MayEmptyHand(int rank, int n);
    // How many of the wanted cards of the rank to meld so the hand is not
    // emptied without the canastas and no meld is left below three cards.
    int MeldableCount(int rank, int wanted);
    // Pile cards still to come into the hand while melding with a pile's top card.
    int PileComing = 0;
    // All of the rank, and a wild card when that leaves the meld at two.
    virtual void MeldRank(int rank);
    void TopUpInitialMeld();
    // Wild cards a meld of that rank can still take with its naturals still
    // at least as many as its wild cards.
    int WildRoom(int rank);

private:
    void MeldAllOfRank(int rank);
};

}  // namespace canasta
