// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fixed-capacity card list: every pile, hand and table area of the game.
// A plain value record (no pointers, no allocation) so a whole area can be
// copied for the turn snapshot, the saved game and the network deal.
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "model/Card.h"

namespace canasta {

// An internal inconsistency (overflow, empty list, index out of range). It ends
// the operation loudly; the table window turns it into an error box and a new deal.
class InternalError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// The card areas of the table. The hands and the two tables are laid out in
// columns; the stock and the pile are single heaps; the opponent's hand is a row.
enum class TArea : uint8_t { Stock, DiscardPile, PlayerHand, PlayerMelds, OpponentHand, OpponentMelds };

// Where a card lies: its area, and there its column and depth (column areas)
// or its slot (the opponent's row).
struct TCardPlace {
    TArea Area = TArea::Stock;
    uint8_t Column = 0;
    int8_t Depth = 0;
    uint8_t Slot = 0;
    friend bool operator==(const TCardPlace&, const TCardPlace&) = default;
};

// The place of a card of a column area, or of a heap.
inline TCardPlace PlaceOf(TArea area, const TCard& c) { return {area, c.Column, c.Depth, 0}; }
// The place of slot i of the opponent's hand row.
inline TCardPlace RowSlot(int i) { return {TArea::OpponentHand, 0, 0, static_cast<uint8_t>(i)}; }

// Takes the card out of its column (for a heap or the opponent's row).
inline void ClearColumn(TCard& c) {
    c.Column = 0;
    c.Depth = 0;
}

struct TCardList {
    std::array<TCard, kDeckSize> Cards{};
    uint8_t Count = 0;
    // Depth of the last card placed in each column (0: the column is empty).
    std::array<int8_t, kColumns> Depths{};

    // Checked access to the live slots 0..Count-1.
    TCard& At(int i) {
        if (i < 0 || i >= Count) throw InternalError(IndexMessage(i));
        return Cards[static_cast<size_t>(i)];
    }
    const TCard& At(int i) const {
        if (i < 0 || i >= Count) throw InternalError(IndexMessage(i));
        return Cards[static_cast<size_t>(i)];
    }
    const TCard& Last() const { return At(Count - 1); }
    bool Empty() const { return Count == 0; }
    int Size() const { return Count; }

    const TCard* begin() const { return Cards.data(); }
    const TCard* end() const { return Cards.data() + Count; }
    TCard* begin() { return Cards.data(); }
    TCard* end() { return Cards.data() + Count; }

    // Equality over the live slots and the column depths; slots past Count hold no meaning.
    friend bool operator==(const TCardList& a, const TCardList& b);

private:
    std::string IndexMessage(int i) const;
};

// Copies the card into slot Count; a full list is an internal error.
void AddCard(TCardList& list, const TCard& card);
// Removes and returns the last card; an empty list is an internal error.
TCard TakeLastCard(TCardList& list);
// Removes the first card with the same identity; does nothing when absent.
// Returns whether a card was removed.
bool RemoveCardById(TCardList& list, const TCard& card);
// Removes the card at index; unless keep is set, closes the gap in its column
// and moves the depth of col back.
void RemoveCardAt(TCardList& list, int index, TCard& out, bool keep, int col);
// Puts the card in column card.Rank one step below the column's last card (at
// the last card's depth when keep is set). Does not add the card.
void PlaceInColumn(TCardList& list, bool keep, TCard& card);

// Index of the first / last card with that identity, or -1.
int FindFirstById(const TCardList& list, int id);
// The wild card a meld gets from the hand: the first joker, else the first two; -1 for none.
int FirstWildCard(const TCardList& hand);
int FindLastById(const TCardList& list, int id);
// Number of cards in that column.
int CountInColumn(const TCardList& list, int column);

}  // namespace canasta
