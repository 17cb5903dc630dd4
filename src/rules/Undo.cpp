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
    // The removal breaks a recorded canasta when the column no longer
    // qualifies: at seven cards, or when a natural leaves a column whose wild
    // cards then outnumber what a canasta allows.
    int count = 0, naturals = 0;
    const int inColumn = Seat(TSeat::Player).Melds.At(index).Column;
    for (const TCard& c : Seat(TSeat::Player).Melds) {
        if (c.Column != inColumn) continue;
        ++count;
        if (IsNatural(c.Rank)) ++naturals;
    }
    if (IsNatural(Seat(TSeat::Player).Melds.At(index).Rank)) --naturals;
    const bool stillCanasta = count - 1 >= 7 && (naturals >= 4 || column == kRankTwo);
    const bool breaks =
        Seat(TSeat::Player).MeldState.CanastaKind[static_cast<size_t>(column)] != ckNone && !stillCanasta;
    TCard card;
    RemoveCardAt(Seat(TSeat::Player).Melds, index, card, breaks, column);
    AddCard(Seat(TSeat::Player).PickedUp, card);
    if (breaks) {
        --Seat(TSeat::Player).MeldState.Canastas;
        Seat(TSeat::Player).MeldState.CanastaKind[static_cast<size_t>(column)] = ckNone;
        SpreadColumn(Seat(TSeat::Player).Melds, column);
    }
    CheckCanasta(TSeat::Player, card.Column);
    Host.Invalidate(TRegion::PlayerMelds);
    const TCardPlace from = PlaceOf(TArea::PlayerMelds, card);
    PlaceInColumn(Seat(TSeat::Player).Hand, false, card);
    card.FaceUp = true;
    AddCard(Seat(TSeat::Player).Hand, card);
    Host.AnimateMove(card, from, PlaceOf(TArea::PlayerHand, card));
    Host.Invalidate(TRegion::PlayerHand);
    if (UndoStack.empty()) Host.SetUndoEnabled(false);
    Observer.MoveMade({TMoveKind::UndoMeld, card.Id, column});
}

void TGame::UndoAll() {
    while (!UndoStack.empty() && !OpponentsTurn && TurnPhase != TTurnPhase::HandOver) UndoMeld();
}

}  // namespace canasta
