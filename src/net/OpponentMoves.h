// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The remote player's moves replayed in the opponent seat of this side's
// copy of the game, and the mirrored deal.
//
// Every move is checked before anything changes: the card must be where the
// move says, and the move must fit the opponent's turn as far as it got (a
// discard before the draw, a second take of the pile, an undo of a card not
// melded this turn ... are refused). Where the sender's own rules decided
// something the wire does not carry (whether a take of the pile is only the
// forced top card, whether an emptied hand goes out), the same rules are asked
// of the opponent's seat, by the rules its player plays by, so both copies stay equal.
#include <string>
#include <utility>
#include <vector>

#include "model/Game.h"

namespace canasta {

// This side's copy of a hand the other side dealt: the stock from the record's
// positions, the first fifteen cards to this side's hand (the dealer dealt its
// opponent first), the next fifteen to the opponent's. False (the game
// untouched) for a malformed record.
bool ApplyMirroredDeal(TGame& game, const std::string& record);

class TOpponentMirror {
public:
    explicit TOpponentMirror(TGame& game);

    // Applies one received move (a token index of net/Framing.h with its
    // fields). Returns an empty string when it was applied, otherwise why it
    // was refused; a refused move changes nothing.
    std::string Apply(int token, const std::vector<std::string>& fields);

    // The opponent's take of the pile is provisional (completed by
    // "DRAWPILEREST" or given back by "UNDOPILE").
    bool TakePending();

private:
    enum TTake { kNoTake, kTakePending, kTakeDone };
    // What this side knows of the opponent's current turn.
    struct TTurn {
        bool PickedUp = false;  // a draw or a take began this turn
        int Draws = 0;          // stock cards drawn this turn
        int Counted = 0;        // of them, those that count toward the cards drawn
        bool MayMeld = false;   // the pick-up is complete
        int Take = kNoTake;
        std::vector<std::pair<int, int>> Undo;  // (column, id) of melds that may be taken back
        // The seat and the pile before a take, for "UNDOPILE".
        TCardList Hand, Melds, Pile;
        TMeldState MeldState;
        int MeldedPoints = 0;
        TCardPlace TopAt{};
    };

    void Sync();
    bool AtTurnStart() const { return T.Draws == 0 && T.Take == kNoTake && !T.MayMeld; }
    std::string MoveAllowed() const;
    void StartPickUp();
    // The opponent's turn is over; a discard may end the hand.
    void EndOpponentTurn(bool mayEndHand);
    void PutOnTable(TCard card, int column, TCardPlace from);
    void CheckGoneOut();
    bool MeldsValid(int handAdjust);

    std::string DrawNew();
    std::string DrawPileTop();
    std::string DrawPileRest();
    std::string UndoPile();
    std::string Meld(const std::string& cardField);
    std::string MeldWild(const std::string& cardField, const std::string& columnField);
    std::string Undo(const std::string& columnField, const std::string& cardField);
    std::string Discard(const std::string& cardField);
    std::string DiscardRedThree(const std::string& cardField);
    std::string PassDiscard();
    std::string HandOver();
    std::string NewGame();
    std::string Deal(const std::string& record);

    TGame& G;
    TTurn T;
    uint32_t TurnHand = 0;
    bool Synced = false;
};

}  // namespace canasta
