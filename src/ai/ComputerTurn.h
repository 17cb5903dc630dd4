// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the computer levels share: the hand analysis, the pile test, and the
// fixed skeleton of a computer turn with the steps a level fills in.
#include <optional>

#include "model/Game.h"

namespace canasta {

// Per-rank counts every decision reads; always recomputed from scratch.
struct TCardCounts {
    TCounts HandByRank{};      // my hand by rank (0 jokers, 1 twos)
    TCounts MeldSize{};        // cards per column of my table, wild cards included
    TCounts OppMeldSize{};     // the same for the other seat's table
    TCounts MeldByRank{};      // my table cards by their own rank (wild cards under 0 and 1)
    TCounts OppMeldByRank{};   // the same for the other seat's table
    TCounts PileByRank{};      // discard pile by rank
    TCounts KnownOppByRank{};  // cards the other seat took from the pile and still holds

    int Jokers() const { return HandByRank[kRankJoker]; }
    int Twos() const { return HandByRank[kRankTwo]; }
    int Wilds() const { return Jokers() + Twos(); }
};

// The counts as seen from the seat.
void CountCards(const TGame& game, TSeat seat, TCardCounts& counts);
// Wild cards in the seat's meld of that rank.
int WildsInMeld(const TGame& game, TSeat seat, int rank);
// Whether a level in the seat may take the discard pile whose top card is top.
// Reads the plain frozen flag: the per-side initial freeze is not part of it.
bool CanTakePile(TGame& game, TSeat seat, const TCardCounts& counts, const TCard& top);
// Point value of a natural of that rank code (4..7: 5, 8..K: 10, A: 20).
int NaturalPoints(int rank);

// The card a level discards: a hand position, or (Expert only) a red three of
// its table.
struct TDiscardChoice {
    int Position = -1;
    bool FromMelds = false;
};

// Puts a card into the seat's hand for the length of a decision.
class TProvisionalCard {
public:
    TProvisionalCard(TGame& game, TSeat seat, const TCard& card);
    ~TProvisionalCard();
    TProvisionalCard(const TProvisionalCard&) = delete;
    TProvisionalCard& operator=(const TProvisionalCard&) = delete;

private:
    TGame& Game;
    TSeat Seat;
    uint8_t CountBefore;
};

// One computer turn: PlayTurn runs the skeleton (open, pick up, lay red
// threes, meld, discard or pass, close) and calls the level's steps. A level
// plays the seat it is given (Me) and reads the other seat as its opponent.
class TComputerTurn : public IComputerLevel {
public:
    void PlayTurn(TGame& game, TSeat seat) final;
    // The rest of a turn whose pick-up is already made (the seat drew or took
    // the pile): melding, the discard and the close, as PlayTurn plays them.
    void PlayTurnAfterPickUp(TGame& game, TSeat seat);
    // Binds the level to a game and a seat outside a turn (tests call single steps).
    void Attach(TGame& game, TSeat seat = TSeat::Opponent);

    TCardCounts C;
    // The level's moves are checked move by move as PlayMove checks them
    // (always so in the player's seat of a network game): it then takes the
    // pile only as the seat's rules allow, and as much of it as they give.
    // Otherwise a level keeps its own judgement of the pile.
    bool CheckedMoves = false;

protected:
    // ---- level steps ----
    // After the opening (human's points stored, minimum computed).
    virtual void BeginTurn() {}
    // The whole pick-up; returns false when it ended the hand. Levels with
    // their own pick-up override it and reuse the pieces below.
    virtual bool PickUp();
    // What a level's own pick-up sets up for the melding after it, for a turn
    // whose pick-up was made before the level took over.
    virtual void PrepareWithoutPickUp() {}
    virtual bool TakeDecision() = 0;
    // Melding with the top card of a pile just taken, before the rest comes in.
    virtual void MeldAfterTake(const TCard& top) = 0;
    // Melding with the top card taken alone at the end of the stock.
    virtual void MeldAfterForcedTake(const TCard& top) = 0;
    // Red threes, initial meld, adding to melds, going out.
    virtual void Meld();
    virtual void InitialMeld() = 0;
    virtual void AddToMelds() = 0;
    virtual void GoOut() = 0;
    virtual void BeforeDiscard() {}
    virtual TDiscardChoice ChooseDiscard() = 0;

    // ---- shared pieces ----
    TGame& Game() const { return *G; }
    void CountCards() { canasta::CountCards(*G, Me, C); }
    int WildsInMeld(int rank) const { return canasta::WildsInMeld(*G, Me, rank); }
    bool CanTakePile(const TCard& top) { return canasta::CanTakePile(*G, Me, C, top); }
    // The forced-take test for my seat.
    bool ForcedTake();
    // Whether a take the level decided on may go ahead (see TakeDecision).
    bool TakeAllowed();
    bool MovesChecked() const;
    // The pile is frozen for me: for everyone, or by the per-player initial
    // freeze while I have melded nothing (the points I keep as I meld).
    bool PileFrozenForMe() const;
    bool HasMelded() const { return G->Seat(Me).MeldedPoints != 0; }
    int HandSize() const { return G->Seat(Me).Hand.Count; }
    const TCard& HandCard(int position) const { return G->Seat(Me).Hand.At(position); }
    int Canastas() const { return G->Seat(Me).MeldState.Canastas; }
    int CanastasRequired() const { return G->Rules.CanastasToGoOut; }
    bool HasCanastasRequired() const { return Canastas() >= CanastasRequired(); }
    // First hand position of a card of that rank at or after from, or -1.
    int FindInHand(int rank, int from = 0) const;
    int FindBlackThree() const;

    // The game's generator (seeded at each deal): a real in [0, 1) and an
    // integer in 0..n-1.
    double RandomReal();
    int RandomInt(int n);

    // Seat operations.
    void MeldFromHand(int position);
    void MeldWildCard(int rank);
    bool LayRedThrees();

    // My seat and the other one.
    TSeat Me = TSeat::Opponent;
    TSeat Other = TSeat::Player;

    // Pick-up pieces.
    // The pile's top card into the hand, animated; the rest of the pile follows
    // unless the take is the forced one of the top card alone.
    TCard TakeTopCard(bool restFollows = true);
    void TakeRestOfPile();  // the rest of the pile, top down, animated
    void DrawCards();       // the turn's draws with the red-three extra draw
    // No draw and no forced take left: the hand ends.
    void EndHandAtEmptyStock();
    // Closing pieces: the chosen card onto the pile, then the turn handed over
    // (a search finishes a turn on a copy of the game with its own choice).
    void DiscardChosen(const TDiscardChoice& choice);
    void Finish();

private:
    // Tells observers the level's moves, each as the move of its seat that
    // PlayMove would play on another copy (the network's copy follows the
    // player seat's): a drawn red three or the pile's top card goes to the
    // table with its draw or take, so neither is told as a meld.
    void Report(TMoveReport move);
    // The pile's top card into my hand, on record as taken.
    void TakeFromPile();
    void RunTurn(bool pickUp);
    void Discard();
    // Whether a meld keeps the rules when it is of the hand's last card: that
    // meld goes out, which the table must allow (the canastas the rules ask
    // for, every meld complete). Tried on a copy; until then the card stays
    // for the discard or the pass, as a player's would.
    bool MayMeldLastCard(bool wild, int at);

    TGame* G = nullptr;
    // The top card of a take, which observers saw go to the table already.
    std::optional<TCard> TakenTop;
    // How much of the pile the player's seat of a network game takes.
    enum class TPlayersTake { AsLevel, Whole, TopOnly } PlayersTake = TPlayersTake::AsLevel;
    // The rest of a pile being taken is still to come into the hand: until
    // then an empty hand is no going out.
    bool RestToCome = false;
};

}  // namespace canasta
