// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What one turn did, told in words: "Took the pile (23 cards), melded three
// kings, discarded the 7♣". A turn is the cards it moved (as the game reported
// them to its host) and the seat's table before and after it; the melds come
// from the table, so melds taken back within the turn do not count.
#include <optional>
#include <string>
#include <vector>

#include "model/Game.h"

namespace canasta {

struct TCardMove {
    TCard Card;
    TCardPlace From, To;
};

// What a seat has on the table at one moment.
struct TSeatTable {
    TCardList Melds;
    TMeldState MeldState;
};
TSeatTable SeatTableOf(const TGameState& state, TSeat seat);

struct TTurnRecord {
    TSeat Seat = TSeat::Player;
    TSeatTable Before, After;
    std::vector<TCardMove> Moves;
    bool HandOver = false;  // the hand ended with this turn
    bool WentOut = false;   // ... because this seat went out
};

// The turn reduced to what it did.
struct TTurnSummary {
    int Drawn = 0;             // from the stock, red threes that were replaced not counted
    int PileTaken = 0;         // cards taken from the pile and kept
    std::vector<TCard> Added;  // new on the seat's table, where they lie after the turn
    std::optional<TCard> Discard;
    bool Passed = false;  // ended without a discard while the hand went on
    bool WentOut = false;
};
TTurnSummary SummarizeTurn(const TTurnRecord& turn);

// The phrases of the turn in order, each starting in lower case; none for a
// turn that did nothing.
std::vector<std::string> TurnPhrases(const TTurnRecord& turn);
// The phrases as one sentence: "Drew a card and passed the discard".
std::string TurnAccount(const TTurnRecord& turn);
// A line of the move log: "You: drew a card, discarded the 9♥"; empty for a
// turn that did nothing.
std::string TurnLogLine(const std::string& who, const TTurnRecord& turn);
// Where the cards the turn melded and discarded lie now.
std::vector<TCardPlace> TurnHighlights(const TTurnRecord& turn);

// "7♣", "10♥", "A♠", "Joker".
std::string CardName(int id);
// "one" .. "ten", then digits.
std::string CountWord(int n);
// "threes", "sixes", "kings", "aces"; "wild cards" for jokers and twos.
std::string RankPlural(int rank);

// The turns of the current hand, both seats, one log line each. The host
// hands it every card move; Sync is called whenever the table has shown what
// the game did, and closes the turn of a seat that is no longer to move.
class TTurnLog {
public:
    void Record(const TGame& game, const TCard& card, TCardPlace from, TCardPlace to);
    // Returns the turn it closed, if that turn did anything. A new deal clears the log.
    std::optional<TTurnRecord> Sync(const TGame& game);
    // Forgets the hand (a game loaded over it).
    void Reset();
    const std::vector<std::string>& Lines() const { return LogLines; }

private:
    bool Started = false;
    uint32_t Hand = 0;
    std::optional<TTurnRecord> Open;
    std::vector<std::string> LogLines;
};

}  // namespace canasta
