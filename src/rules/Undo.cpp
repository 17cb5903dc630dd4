// SPDX-License-Identifier: GPL-3.0-or-later
// Taking back the cards melded this turn.
#include "model/Game.h"

namespace canasta {

void TGame::PushUndo(const TCard& card) { UndoStack.push_back({card}); }

bool TGame::PopUndo(TCard& card) {
    if (UndoStack.empty()) return false;
    card = UndoStack.back().Card;
    UndoStack.pop_back();
    return true;
}

void TGame::ClearUndo() { UndoStack.clear(); }

void TGame::UndoMeld() {
    if (OpponentsTurn || TurnPhase == TTurnPhase::HandOver) return;
    TCard entry;
    if (!PopUndo(entry)) return;
    const int column = entry.Column;
    if (column < 0 || column >= kColumns) throw InternalError("UndoMeld: column out of range");
    // The newest card of that identity in the column it was melded into: the
    // canasta display can swap cards, and another meld may hold a twin (a
    // joker) at a higher index.
    int index = -1;
    for (int i = Seat(TSeat::Player).Melds.Count - 1; i >= 0 && index < 0; --i) {
        const TCard& c = Seat(TSeat::Player).Melds.Cards[static_cast<size_t>(i)];
        if (c.Id == entry.Id && c.Column == column) index = i;
    }
    if (index < 0) index = FindLastById(Seat(TSeat::Player).Melds, entry.Id);
    if (index < 0) throw InternalError("UndoMeld: melded card not found on the table");
    const TCard card = TakeFromTable(TSeat::Player, index);
    AddCard(Seat(TSeat::Player).PickedUp, card);
    AddToHand(TSeat::Player, card, PlaceOf(TArea::PlayerMelds, card), true);
    if (UndoStack.empty()) Host.SetUndoEnabled(false);
    Observer.MoveMade({TMoveKind::UndoMeld, card.Id, column});
}

void TGame::UndoAll() {
    while (!UndoStack.empty() && !OpponentsTurn && TurnPhase != TTurnPhase::HandOver) UndoMeld();
}

}  // namespace canasta
