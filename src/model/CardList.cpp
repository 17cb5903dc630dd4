// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/CardList.h"

#include <algorithm>

namespace canasta {

std::string TCardList::IndexMessage(int i) const {
    return "card list index " + std::to_string(i) + " outside 0.." + std::to_string(int(Count) - 1);
}

bool operator==(const TCardList& a, const TCardList& b) {
    return a.Count == b.Count && a.Depths == b.Depths && std::equal(a.begin(), a.end(), b.begin());
}

void AddCard(TCardList& list, const TCard& card) {
    if (list.Count >= kDeckSize) throw InternalError("AddCard: card list is full");
    list.Cards[list.Count] = card;
    ++list.Count;
}

TCard TakeLastCard(TCardList& list) {
    if (list.Count == 0) throw InternalError("TakeLastCard: card list is empty");
    --list.Count;
    return list.Cards[list.Count];
}

bool RemoveCardById(TCardList& list, const TCard& card) {
    int i = FindFirstById(list, card.Id);
    if (i < 0) return false;
    std::copy(list.Cards.begin() + i + 1, list.Cards.begin() + list.Count, list.Cards.begin() + i);
    --list.Count;
    return true;
}

void RemoveCardAt(TCardList& list, int index, TCard& out, bool keep, int col) {
    if (index < 0 || index >= list.Count)
        throw InternalError("RemoveCardAt: index " + std::to_string(index) + " outside the list");
    if (!keep && (col < 0 || col >= kColumns))
        throw InternalError("RemoveCardAt: column " + std::to_string(col) + " out of range");
    out = list.Cards[static_cast<size_t>(index)];
    std::copy(list.Cards.begin() + index + 1, list.Cards.begin() + list.Count, list.Cards.begin() + index);
    --list.Count;
    if (!keep) {
        --list.Depths[static_cast<size_t>(col)];
        for (int i = 0; i < list.Count; ++i) {
            TCard& c = list.Cards[static_cast<size_t>(i)];
            if (c.Column == out.Column && c.Depth > out.Depth) --c.Depth;
        }
    }
}

void PlaceInColumn(TCardList& list, bool keep, TCard& card) {
    if (card.Rank >= kColumns) throw InternalError("PlaceInColumn: rank out of range");
    int8_t& depth = list.Depths[card.Rank];
    card.Column = card.Rank;
    if (!keep) ++depth;
    card.Depth = depth;
}

int FirstWildCard(const TCardList& hand) {
    const int joker = FindFirstById(hand, kJokerId);
    if (joker >= 0) return joker;
    for (int i = 0; i < hand.Count; ++i)
        if (hand.Cards[static_cast<size_t>(i)].Rank == kRankTwo) return i;
    return -1;
}

int FindFirstById(const TCardList& list, int id) {
    for (int i = 0; i < list.Count; ++i)
        if (list.Cards[static_cast<size_t>(i)].Id == id) return i;
    return -1;
}

int FindLastById(const TCardList& list, int id) {
    for (int i = list.Count - 1; i >= 0; --i)
        if (list.Cards[static_cast<size_t>(i)].Id == id) return i;
    return -1;
}

int CountInColumn(const TCardList& list, int column) {
    return static_cast<int>(
        std::count_if(list.begin(), list.end(), [column](const TCard& c) { return c.Column == column; }));
}

}  // namespace canasta
