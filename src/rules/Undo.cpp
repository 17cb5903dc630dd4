// SPDX-License-Identifier: GPL-3.0-or-later
// Taking back the cards melded this turn.
#include "model/Game.h"
#include "model/Tokens.h"

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
    for (int i = PlayerMelds.Count - 1; i >= 0 && index < 0; --i) {
        const TCard& c = PlayerMelds.Cards[static_cast<size_t>(i)];
        if (c.Id == entry.Id && c.Column == column) index = i;
    }
    if (index < 0) index = FindLastById(PlayerMelds, entry.Id);
    if (index < 0) throw InternalError("UndoMeld: melded card not found on the table");
    // The removal breaks a recorded canasta when the column no longer
    // qualifies: at seven cards, or when a natural leaves a column whose wild
    // cards then outnumber what a canasta allows.
    int count = 0, naturals = 0;
    const int inColumn = PlayerMelds.At(index).Column;
    for (const TCard& c : PlayerMelds) {
        if (c.Column != inColumn) continue;
        ++count;
        if (IsNatural(c.Rank)) ++naturals;
    }
    if (IsNatural(PlayerMelds.At(index).Rank)) --naturals;
    const bool stillCanasta = count - 1 >= 7 && (naturals >= 4 || column == kRankTwo);
    const bool breaks = PlayerMeldState.CanastaKind[static_cast<size_t>(column)] != ckNone && !stillCanasta;
    TCard card;
    RemoveCardAt(PlayerMelds, index, card, breaks, column);
    AddCard(PickedUpCards, card);
    if (breaks) {
        --PlayerMeldState.Canastas;
        PlayerMeldState.CanastaKind[static_cast<size_t>(column)] = ckNone;
        SpreadColumn(PlayerMelds, column);
    }
    CheckCanasta(PlayerMelds, true, card.Column);
    Host.Invalidate(TRegion::PlayerMelds);
    const TCardPlace from = PlaceOf(TArea::PlayerMelds, card);
    PlaceInColumn(PlayerHand, false, card);
    card.FaceUp = true;
    AddCard(PlayerHand, card);
    Host.AnimateMove(card, from, PlaceOf(TArea::PlayerHand, card));
    Host.Invalidate(TRegion::PlayerHand);
    if (UndoStack.empty()) Host.SetUndoEnabled(false);
    Host.SendToken(token::Undo, std::to_string(column) + token::FieldSeparator + std::to_string(card.Id));
}

void TGame::UndoAll() {
    while (!UndoStack.empty() && !OpponentsTurn && TurnPhase != TTurnPhase::HandOver) UndoMeld();
}

}  // namespace canasta
