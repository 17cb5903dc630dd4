// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The single game state and the operations on it. TGameState is a plain,
// copyable record; TGame adds the host, the rule options, the settings and the
// operations, implemented across model/ (deal, draw, turn cycle), rules/
// (melds, the discard pile, scoring, undo) and ai/ (the opponent seat).
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/CardList.h"
#include "model/Deck.h"
#include "model/GameHost.h"
#include "model/RuleOptions.h"

namespace canasta {

// Where the player's turn stands; the window's status line and what a click
// does follow it. The numbers are written in saved games.
enum class TTurnPhase : uint8_t {
    Draw = 0,
    MeldOrDiscard = 1,
    MeldOrDiscardTwice = 2,
    PileTaken = 3,
    DrawSecond = 4,
    KeyMeld = 5,
    KeyDiscard = 6,
    KeyWild = 7,
    OpponentTurn = 8,
    HandOver = 9,
};

// Canasta kinds by column.
enum : uint8_t { ckNone = 0, ckMixed = 1, ckNatural = 2, ckWild = 3 };

struct TMeldState {
    int32_t Canastas = 0;
    std::array<uint8_t, kColumns> CanastaKind{};
    std::array<uint8_t, kColumns> CanastaNaturals{};
    friend bool operator==(const TMeldState&, const TMeldState&) = default;
};

using TCounts = std::array<int32_t, kColumns>;

// One entry of the undo stack: the card as placed (its column tells where).
struct TUndoEntry {
    TCard Card;
    friend bool operator==(const TUndoEntry&, const TUndoEntry&) = default;
};

// Who ended the hand.
enum : int32_t { woPlayer = 0, woOpponent = 1, woNobody = 2 };

// What one seat holds and has scored: its hand, its table, its counters and
// its totals.
struct TSeatState {
    TCardList Hand, Melds;
    TMeldState MeldState;
    // Cards this seat took from the pile that are still in its hand (the other
    // seat saw them taken), and the ranks 2..13 it discarded this hand.
    TCardList PickedUp;
    TCounts Discards{};
    // Recomputed by CountColumns.
    TCounts ColumnCounts{}, RankCounts{};
    int32_t Score = 0;
    // Points melded this hand, kept by the seat moves as a level or the
    // network replay melds. A person's gestures take cards back within the
    // turn and count only columns of three or more, so a person's points are
    // computed from the table (TGame::MeldedPoints) and this field stays 0
    // there; the saved game holds only the opponent's.
    int32_t MeldedPoints = 0;
    int32_t PointsBeforeTurn = 0;
    int32_t MinimumMeld = 50;
};

struct TGameState {
    // Card areas.
    TCardList Stock, DiscardPile;
    std::array<TSeatState, 2> Seats{};
    TSeatState& Seat(TSeat seat) { return Seats[static_cast<size_t>(seat)]; }
    const TSeatState& Seat(TSeat seat) const { return Seats[static_cast<size_t>(seat)]; }

    // Snapshot of the person's turn, for taking back its melds and a take of
    // the pile (only the player seat has gestures to undo).
    TCardList SavedPlayerHand, SavedPlayerMelds, SavedDiscardPile;
    TMeldState SavedPlayerMeldState;

    TCounts PileRankCounts{};

    // Per-hand values.
    int32_t WentOut = woNobody;
    int32_t TopColumnCountBefore = 0;

    // Turn flags.
    TTurnPhase TurnPhase = TTurnPhase::Draw;
    bool OpponentsTurn = false;
    bool TurnStart = true;
    bool HasDrawn = false;
    uint8_t DrawsThisTurn = 0;
    bool PileFrozen = false;
    bool TopCardPending = false;
    bool PileTakeUndoable = false;
    bool GoingOutWithThrees = false;
    TCard TakenTopCard{};
    uint8_t TakenTopColumn = 0;
    bool StockExhausted = false;
    bool EndHandRequested = false;
    bool PlayerDrawsFirst = true;
    bool GameInProgress = false;
    bool CardSelected = false;
    std::string ValidationMessage;

    // Undo stack of the player's melds this turn (newest last).
    std::vector<TUndoEntry> UndoStack;
};

// Display and play settings the core reads (filled by the window from the store).
struct TGameConfig {
    int MeldDelay = 300;             // computer's melding delay, ms
    bool ShowOpponentCards = false;  // the computer's hand is shown face up
    bool DoubleRightClick = false;   // discarding needs two right clicks
    int Level = 0;                   // 0 Beginner, 1 Advanced, 2 Expert, 3 Master
    int Aggression = 50;             // Expert only, 0..100
    bool ShowTurns = true;           // whose-turn window
    bool Networked = false;          // a remote player sits in the opponent seat
    std::string PlayerName;          // current player, empty when none is selected
    std::string OpponentName;        // remote player's name in a networked game
};

class TGame;

// A hand that cannot go on (the seat's bookkeeping is lost): the message says
// why, for the player, and whoever runs the game deals a new hand.
class THandAbandoned : public InternalError {
public:
    THandAbandoned(const std::string& message, TMsgKind kind) : InternalError(message), Kind(kind) {}
    TMsgKind Kind;
};

// A computer level: plays one whole turn of the seat it is given and
// returns; the game driver decides what comes next.
class IComputerLevel {
public:
    virtual ~IComputerLevel() = default;
    virtual void PlayTurn(TGame& game, TSeat seat) = 0;
    // Called at each deal so a level can clear what it keeps between turns.
    virtual void NewHand(TGame& game) {}
};

// What is known of the opponent seat's turn while its moves come one at a
// time (a network opponent's, replayed): how far its pick-up got, the melds
// it may still take back, and its seat before a take of the pile that it may
// still give back. Started afresh at every deal and at the end of its turn.
struct TOpponentTurn {
    enum class TTake : uint8_t { None, Pending, Done };
    struct TBeforeTake {
        TCardList Hand, Melds, Pile;
        TMeldState MeldState;
        int MeldedPoints = 0;
        TCardPlace TopAt{};
    };
    bool PickedUp = false;  // a draw or a take began this turn
    int Draws = 0;          // stock cards drawn this turn
    int Counted = 0;        // of them, those that count toward the cards drawn
    bool MayMeld = false;   // the pick-up is complete
    TTake Take = TTake::None;
    std::vector<std::pair<int, int>> Undo;  // (column, id) of the melds it may take back, last last
    // Shared, not copied: trials of a move copy the game.
    std::shared_ptr<const TBeforeTake> BeforeTake;

    bool AtStart() const { return Draws == 0 && Take == TTake::None && !MayMeld; }
};

// Why a move of the player was refused (shown red on the status line).
// None puts the phase text back.
enum class TRefusal : uint8_t {
    None = 0,
    MeldBeforeDraw,
    DiscardBeforeDraw,
    AlreadyDrawn,
    DiscardNotPossible,  // with the validation message saying why
    TopCardNotMeldable,
    BlackThreesOnlyGoingOut,
    TooFewWildsForWildCanasta,
    WildCanastaNotAllowed,
    OneCardPileWithOneCardHand,
};

// Status texts of the phases and the refusals.
std::string PhaseStatusText(TTurnPhase phase, bool stockExhausted, bool networked, const std::string& opponentName);
std::string StatusErrorText(TRefusal reason, const std::string& validationMessage);

int MinimumInitialMeld(int score);

inline constexpr const char* kRulesHintOpen = "|Adjust the rules of Canasta to your local variant";
inline constexpr const char* kRulesHintLocked = " Changing the rules is only possible when starting a new game";

class TGame : public TGameState {
public:
    TGame(GameHost& host, TRuleOptions rules = {}, TGameConfig config = {});
    // A view and an observer of their own.
    TGame(IGameView& view, IGameObserver& observer, TRuleOptions rules = {}, TGameConfig config = {});
    // The whole game, reporting to another host (a trial of a move, a copy to show).
    TGame(GameHost& host, const TGame& other);

    // What the view shows, and who hears of the moves and results (one host
    // is usually both).
    IGameView& Host;
    IGameObserver& Observer;
    TRuleOptions Rules;
    // In a network game, the rules the remote player plays by (known from
    // its greeting and its rule changes). Its seat is judged and scored by
    // them, as its own copy does, so both copies agree even when the two
    // players' rules differ.
    std::optional<TRuleOptions> RemoteRules;
    const TRuleOptions& OpponentSeatRules() const { return Config.Networked && RemoteRules ? *RemoteRules : Rules; }
    // The rules a seat is judged by.
    const TRuleOptions& SeatRules(TSeat seat) const { return seat == TSeat::Opponent ? OpponentSeatRules() : Rules; }
    TGameConfig Config;
    TRandom Rng;
    // When set, each deal seeds from it (tests, the simulator); otherwise from the time of day.
    bool FixedSeed = false;
    // Positions of the last shuffle (sent to a networked opponent).
    TDealPositions LastDeal{};
    // Computer levels by level index; the selected one plays the opponent seat in a local game.
    std::array<IComputerLevel*, 4> Levels{};

    TGameState& State() { return *this; }
    const TGameState& State() const { return *this; }

    // ---- model: deal and turn cycle ----
    // Scores back to zero and the first hand dealt (asking first, in a
    // network game, is the window's business).
    void NewGame();
    void DealHand(TSoundEvent sound = TSoundEvent::Deal);
    // The reset steps of a deal (everything but the shuffle and the dealing of cards).
    void ResetForDeal(TSoundEvent sound);
    // Deals the cards from the current stock: hands, red threes, up card.
    void DealFromStock();
    void SetTurnPhase(TTurnPhase phase);
    void ShowStatusError(TRefusal reason);
    void SetStockExhausted(bool flag);
    void CountColumns();
    TCard DrawFromStock();
    void SaveTurnSnapshot();
    void RestoreTurnSnapshot();
    // The opponent seat is to move; the driver plays a computer's turn, a
    // remote player's moves arrive over the network.
    void HandTurnToOpponent();
    // The player's click on the stock.
    void DrawClicked();
    // Marks the game as started (first click on the stock, the pile or a natural card).
    void MarkGameInProgress();
    std::string OpponentLabel() const;       // "Computer" or the remote name
    std::string OpponentInSentence() const;  // "the computer" or the remote name
    std::string PlayerLabel() const;         // "Player" or the current player's name

    // ---- rules: melds ----
    void MeldCard(int index);
    // Meld the natural at index with the Shift (all of the rank) or Ctrl (up to
    // three in the column) gestures.
    void MeldCardGesture(int index, bool shift, bool ctrl);
    void AddWildcardToColumn(int column);
    // A click on column c of the player's table with Shift (complete to seven).
    void AddWildcardGesture(int column, bool shift);
    // A click on a wild card in the hand (column 1; Shift up to seven, Ctrl up to three).
    void MeldWildGesture(bool shift, bool ctrl);
    bool MayMeldBlackThrees();
    // Whether the player's turn is still in its melding part: a gesture of
    // several melds stops when one of them ended the turn or the hand.
    bool StillMelding() const { return !OpponentsTurn && HasDrawn && TurnPhase != TTurnPhase::HandOver; }
    // Records (and shows stacked) a canasta completed in the seat's column.
    bool CheckCanasta(TSeat seat, int column);
    // Whether the seat's table is valid to end a turn with, its hand counted
    // handAdjust cards smaller; the message says why not.
    bool ValidateMelds(TSeat seat, int handAdjust = 0);
    // The same, and no take of the pile is still provisional (takePending:
    // the seat's top card is not melded yet).
    bool ValidateTurnMelds(TSeat seat, bool takePending, int handAdjust = 0);

    // ---- rules: discard pile ----
    // The pile is frozen for the seat to move: frozen for everyone, or, with
    // the per-player initial freeze, for a side that has melded nothing yet.
    bool PileFrozenForMover();
    bool PileFrozenFor(TSeat seat) const;
    // Whether the seat may take the pile now (allowForced: counting the forced
    // take of an exhausted stock).
    bool MayTakePile(TSeat seat, bool allowForced);
    // Whether the seat, holding handCount cards over columns of these sizes,
    // must take the top card of the pile.
    bool IsForced(TSeat seat, int handCount, const TCounts& columnCounts) const;
    void TakePile();
    void CompletePileTake();
    // The rest of the pile into the player's hand once a take is complete.
    void TakeRestOfPile();
    void UndoTakePile();
    // Whether the card may be discarded (a red three only under RedThreeFreezes).
    // Freezing the pile is left to the discard itself.
    bool MayDiscard(const TCard& card);
    // Lays a stacked column out again card by card from its base line.
    void SpreadColumn(TCardList& list, int column);
    // The player's discard of the card at that index of the hand.
    bool DiscardCard(int index);
    // Right-click on a red three of the player's table (with RedThreeFreezes).
    bool DiscardRedThreeFromTable(int index);
    // The seat holds one card it may neither meld nor go out with: it passes.
    bool MustPass(TSeat seat, bool takePending);
    // Applies the one-card rule; returns true when the player had to pass.
    bool CheckForcedPass();
    void EndHandClicked();

    // ---- rules: scoring ----
    // Points on the seat's table (red threes aside), counting only columns of
    // three or more unless allColumns.
    int MeldedPoints(TSeat seat, bool allColumns) const;
    // Ends the hand if it is over: scores it and reports the result. What
    // follows (the match end, the next deal) is the driver's step.
    bool EndHandIfOver();
    void ScoreHand(THandScore& player, THandScore& opponent);
    std::string MatchComment(int difference) const;

    // ---- rules: undo ----
    void PushUndo(const TCard& card);
    bool PopUndo(TCard& card);
    void ClearUndo();
    void UndoMeld();
    void UndoAll();

    // ---- seat moves (computer levels in either seat, network replay) ----
    // The card, coming from that place, into the seat's hand (the player's by
    // rank column, the opponent's row at its end).
    void AddToHand(TSeat seat, TCard card, TCardPlace from, bool animate);
    // Where the card at that position of the seat's hand lies: the player's
    // hand is laid out in rank columns, the opponent's is a row.
    TCardPlace HandPlace(TSeat seat, int position) const {
        return seat == TSeat::Opponent ? RowSlot(position) : PlaceOf(TArea::PlayerHand, Seat(seat).Hand.At(position));
    }
    // A position off the hand abandons it (THandAbandoned).
    void RemoveFromHand(TSeat seat, int position);
    // The card, coming from that place, onto the seat's column: spread one
    // step below the column's last card, a canasta kept stacked. Returns the
    // card as placed. Points, canastas and reports are the caller's.
    TCard LayOnTable(TSeat seat, TCard card, int column, TCardPlace from);
    // Takes the card at that index off the seat's table (an undo). A recorded
    // canasta breaks when its column no longer qualifies without the card;
    // the column is then spread again. Returns the card as it lay.
    TCard TakeFromTable(TSeat seat, int index);
    // The red three at that index of the seat's table onto the pile, which it
    // freezes. Returns the card.
    TCard RedThreeToPile(TSeat seat, int index);
    void MeldFromHand(TSeat seat, int position);
    // The seat's first joker, else its first two, onto its column of that rank.
    void MeldWildCard(TSeat seat, int rank);
    bool LayRedThrees(TSeat seat);
    // The card at that position of the seat's hand onto the pile (a wild card
    // or a red three freezes it).
    void DiscardFromHand(TSeat seat, int position);

    // The opponent's turn as far as its moves have come (see PlayMove).
    TOpponentTurn OpponentTurn;
    // Counts the deals: each hand has its own number.
    uint32_t HandNumber = 0;
    // The last refusal shown (None after a phase text): what a trial of a
    // move reads.
    TRefusal LastRefusal = TRefusal::None;
    // A hand is over and scored, and its end is not finished yet (its result
    // still shown, the Game Over question open, the next deal to come).
    bool HandEndPending = false;
    // The score difference (this side's minus the opponent's) that decides
    // who deals next: the hand's, or the match's after a Game Over.
    int HandEndDifference = 0;
    // The Game Over window waits for its answer.
    bool MatchAnswerPending = false;
    // A forced pass against the computer: the player's turn snapshot is
    // taken once the computer's turn is over, at the start of the next turn.
    bool TurnSnapshotDue = false;
    // In a networked game: this side dealt the current hand (the other side
    // received it). On equal scores the side that did not deal deals next.
    bool DealtLastHand = false;
    // Whether this side deals the next hand after a hand (or match) whose
    // difference, this side's total minus the opponent's, is given.
    bool DealsNext(int difference) const;
    // Set when the player chose not to play another game.
    bool QuitRequested = false;

private:
    bool PlayerDrawOneFromStock();
    void FinishDraw();
};

}  // namespace canasta
