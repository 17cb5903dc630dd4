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

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Cards in one column step this far apart on screen.
constexpr int kColumnStep = 12;

struct TCardList {
    std::array<TCard, kDeckSize> Cards{};
    uint8_t Count = 0;
    std::array<TPoint, kColumns> Anchors{};

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

    // Equality over the live slots and the anchors; slots past Count hold no meaning.
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
// (dir +1 for columns growing downward, -1 upward) and moves the anchor of col back.
void RemoveCardAt(TCardList& list, int dir, int index, TCard& out, bool keep, int col);
// Sets the card's X and Y from the anchor of column card.Rank (the anchor moves
// one step unless keep is set). Does not add the card.
void PlaceInColumn(TCardList& list, bool down, bool keep, TCard& card);

// Index of the first / last card with that identity, or -1.
int FindFirstById(const TCardList& list, int id);
int FindLastById(const TCardList& list, int id);
// Number of cards with that X.
int CountAtX(const TCardList& list, int x);

}  // namespace canasta
