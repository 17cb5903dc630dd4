// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything the game core reports goes through this interface: the table
// window implements it, tests and tools use THeadlessHost. Each call reports
// and returns; none of them waits for a person. A host that shows things over
// time (animations, windows) says so through Presenting, and the game driver
// waits for it to be run again.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/CardList.h"

namespace canasta {

enum class TMsgKind { Information, Warning, Error };

// Regions of the table that an operation has changed.
enum class TRegion { Stock, Pile, PlayerHand, PlayerMelds, OpponentHand, OpponentMelds, Scores, All };

// The fifteen sound events, by index.
enum class TSoundEvent {
    Deal = 0,
    Exit,
    Help1,
    Help2,
    Help3,
    Highscore,
    LoseHand,
    LoseMatch,
    MixedCanasta,
    NaturalCanasta,
    Start,
    TakeHugePile,
    WinMatch,
    WinHand,
    EndTurnNetwork
};

// The two seats. Player is this copy's user; Opponent is the computer or the
// remote player. The numbers index the per-seat records.
enum class TSeat : uint8_t { Player = 0, Opponent = 1 };

constexpr TSeat OtherSeat(TSeat seat) { return seat == TSeat::Player ? TSeat::Opponent : TSeat::Player; }

// A move of a seat (and the start of a game or a deal) named by its cards, as
// the other copy of a network game must hear of the player seat's moves; the
// network turns those into its tokens, and reads the remote player's back.
enum class TMoveKind : uint8_t {
    NewGame,
    Deal,
    Draw,
    TakePileTop,
    TakePileRest,
    UndoTake,
    Meld,
    AddWild,
    UndoMeld,
    Discard,
    DiscardRedThree,
    Pass,
    EndHand,
};
struct TMoveReport {
    TMoveKind Kind = TMoveKind::Draw;
    int CardId = 0;            // Meld, AddWild, UndoMeld, Discard, DiscardRedThree
    int Column = 0;            // AddWild, UndoMeld
    bool PlayerFirst = false;  // Deal: this side draws first
    TSeat Seat = TSeat::Player;
    friend bool operator==(const TMoveReport&, const TMoveReport&) = default;
};

// One side's score of a hand, in the order the details window lists it.
struct THandScore {
    int TableCount = 0, TableValue = 0;
    int HandCount = 0, HandValue = 0;
    int CanastaCount = 0, CanastaValue = 0;
    int RedThreeCount = 0, RedThreeValue = 0;
    int Reserved1 = 0, FinishBonus = 0, Reserved2 = 0;
    int Total = 0;
    friend bool operator==(const THandScore&, const THandScore&) = default;
};

struct THandResult {
    THandScore Player, Opponent;
    std::string PlayerName;    // "Player" when no player is selected
    std::string OpponentName;  // "Computer" or the remote player's name
    int Difference = 0;        // player total - opponent total
};

struct TMatchResult {
    int PlayerScore = 0, OpponentScore = 0;
    int Difference = 0;
    std::string Comment;  // "Congratulations ..." / "Too bad, ..." / "It's a draw!"
    std::string PlayerName;
    std::string OpponentName;
    bool PlayerWon = false, OpponentWon = false;
};

// What the view shows of the game: the table (cards moving between places,
// pauses), the message line, messages, sounds, the controls that follow the
// game and the result windows.
class IGameView {
public:
    virtual ~IGameView() = default;

    // Status bar: the text of the current phase, or a refusal (red, bold, with a beep).
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void ShowStatusError(const std::string& text) = 0;
    virtual void Beep() = 0;
    // A message for the player.
    virtual void Inform(const std::string& text, TMsgKind kind) = 0;
    // What the game did for the player on its own (a penalty, a card it
    // played, a pass), told in the message area until the player acts: no
    // window to close every turn.
    virtual void Notice(const std::string& text) = 0;
    // Table drawing: a card moving between two places, a repaint, a pause
    // between two moves of the computer.
    virtual void AnimateMove(const TCard& card, TCardPlace from, TCardPlace to) = 0;
    virtual void Invalidate(TRegion region) = 0;
    virtual void Wait(int milliseconds) = 0;
    // True while the view is still showing what it was told (a card moving,
    // a pause, a window open): the driver then stops and is run again later.
    virtual bool Presenting() const = 0;
    virtual void PlaySound(TSoundEvent event) = 0;
    // Window controls that follow the game.
    virtual void SetUndoEnabled(bool enabled) = 0;
    virtual void SetEndHandVisible(bool visible) = 0;
    virtual void SetEndHandEnabled(bool enabled) = 0;
    virtual void SetRulesHint(const std::string& hint) = 0;
    virtual void ShowWhoseTurn(const std::string& text) = 0;
    // The end of a hand's result window.
    virtual void ShowHandResult(const THandResult& result) = 0;
    // Shows the Game Over window. Returns whether to play another game when
    // the answer is known at once; otherwise the answer comes later through
    // TGameDriver::AnswerAnotherMatch.
    virtual std::optional<bool> ShowMatchResult(const TMatchResult& result) = 0;
};

// What observers hear: the moves of the seats (the network turns the player
// seat's into tokens) and every finished hand and match (high scores, the win
// ratio, the simulator's tally). The player seat's moves come from its
// gestures or from a computer level playing it; the opponent seat's from its
// computer level (a remote player's moves are the other copy's to tell).
class IGameObserver {
public:
    virtual ~IGameObserver() = default;
    virtual void MoveMade(const TMoveReport& move) = 0;
    virtual void HandFinished(const THandResult& result) = 0;
    virtual void MatchFinished(const TMatchResult& result) = 0;
};

// One object that is both, as the table window and the headless host are.
class GameHost : public IGameView, public IGameObserver {};

// A host without a screen: records what the core showed and answers the
// Game Over question from a script (default Yes). Used by tests and by the simulator.
class THeadlessHost : public GameHost {
public:
    struct Event {
        std::string Kind;  // "status", "error", "inform", "move", "sound", "hand", "match" ...
        std::string Text;
    };

    void ShowStatus(const std::string& text) override;
    void ShowStatusError(const std::string& text) override;
    void Beep() override;
    void Inform(const std::string& text, TMsgKind kind) override;
    void Notice(const std::string& text) override;
    void AnimateMove(const TCard& card, TCardPlace from, TCardPlace to) override;
    void Invalidate(TRegion region) override;
    void Wait(int milliseconds) override;
    bool Presenting() const override { return false; }
    void PlaySound(TSoundEvent event) override;
    void MoveMade(const TMoveReport& move) override;
    void SetUndoEnabled(bool enabled) override;
    void SetEndHandVisible(bool visible) override;
    void SetEndHandEnabled(bool enabled) override;
    void SetRulesHint(const std::string& hint) override;
    void ShowWhoseTurn(const std::string& text) override;
    void ShowHandResult(const THandResult& result) override;
    void HandFinished(const THandResult& result) override;
    std::optional<bool> ShowMatchResult(const TMatchResult& result) override;
    void MatchFinished(const TMatchResult& result) override;

    // Recording is off by default so long simulations do not grow memory.
    bool Record = false;
    std::vector<Event> Events;
    // Answers for ShowMatchResult, taken from the front; Yes when empty.
    std::vector<bool> Answers;

    std::string Status;      // last phase text
    std::string LastError;   // last refusal text
    std::string LastInform;  // last message box text
    std::string LastNotice;  // last message-area notice
    int ErrorCount = 0;
    int InformCount = 0;
    int WaitedMs = 0;
    bool UndoEnabled = false;
    bool EndHandVisible = false;
    bool EndHandEnabled = false;
    std::string RulesHint;
    std::vector<TMoveReport> Moves;
    bool RecordMoves = false;
    std::vector<THandResult> Hands;
    std::vector<TMatchResult> Matches;
    // Called for every sound event (e.g. to count canasta sounds in tests).
    std::function<void(TSoundEvent)> OnSound;

private:
    void Note(const char* kind, const std::string& text);
    bool NextAnswer();
};

// A host that passes everything on to the host attached now, and to a quiet
// headless one while none is: the game can be built before the window that
// shows it and outlive it.
class TGameHostRelay : public GameHost {
public:
    void Attach(GameHost* host) { To = host; }
    bool Attached() const { return To != nullptr; }

    void ShowStatus(const std::string& text) override { Host().ShowStatus(text); }
    void ShowStatusError(const std::string& text) override { Host().ShowStatusError(text); }
    void Beep() override { Host().Beep(); }
    void Inform(const std::string& text, TMsgKind kind) override { Host().Inform(text, kind); }
    void Notice(const std::string& text) override { Host().Notice(text); }
    void AnimateMove(const TCard& card, TCardPlace from, TCardPlace to) override { Host().AnimateMove(card, from, to); }
    void Invalidate(TRegion region) override { Host().Invalidate(region); }
    void Wait(int milliseconds) override { Host().Wait(milliseconds); }
    bool Presenting() const override { return To && To->Presenting(); }
    void PlaySound(TSoundEvent event) override { Host().PlaySound(event); }
    void SetUndoEnabled(bool enabled) override { Host().SetUndoEnabled(enabled); }
    void SetEndHandVisible(bool visible) override { Host().SetEndHandVisible(visible); }
    void SetEndHandEnabled(bool enabled) override { Host().SetEndHandEnabled(enabled); }
    void SetRulesHint(const std::string& hint) override { Host().SetRulesHint(hint); }
    void ShowWhoseTurn(const std::string& text) override { Host().ShowWhoseTurn(text); }
    void ShowHandResult(const THandResult& result) override { Host().ShowHandResult(result); }
    std::optional<bool> ShowMatchResult(const TMatchResult& result) override { return Host().ShowMatchResult(result); }
    void MoveMade(const TMoveReport& move) override { Host().MoveMade(move); }
    void HandFinished(const THandResult& result) override { Host().HandFinished(result); }
    void MatchFinished(const TMatchResult& result) override { Host().MatchFinished(result); }

private:
    GameHost& Host() { return To ? *To : Idle; }
    GameHost* To = nullptr;
    THeadlessHost Idle;
};

}  // namespace canasta
