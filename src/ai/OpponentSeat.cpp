// SPDX-License-Identifier: GPL-3.0-or-later
// Cards entering and leaving the opponent's hand and table. Shared by the
// computer levels and the replay of a networked opponent's moves, so nothing
// here depends on a level.
#include "model/Game.h"

namespace canasta {

void TGame::AddToComputerHand(TCard card, TCardPlace from, bool animate) {
    card.FaceUp = Config.ShowOpponentCards;
    ClearColumn(card);
    AddCard(Seat(TSeat::Opponent).Hand, card);
    if (animate) {
        Host.AnimateMove(card, from, RowSlot(Seat(TSeat::Opponent).Hand.Count - 1));
        Host.Invalidate(TRegion::OpponentHand);
    }
}

void TGame::RemoveFromComputerHand(int position) {
    // A broken position means the seat's bookkeeping is lost; a fresh hand
    // is the one state known to be sound.
    if (position < 0 || position >= Seat(TSeat::Opponent).Hand.Count)
        throw THandAbandoned("Error removing card from computer's hand", TMsgKind::Error);
    TCard removed;
    RemoveCardAt(Seat(TSeat::Opponent).Hand, position, removed, true, 0);
    Host.Invalidate(TRegion::OpponentHand);
}

void TGame::MeldFromHand(int position) {
    if (position < 0 || position >= Seat(TSeat::Opponent).Hand.Count) {
        RemoveFromComputerHand(position);
        return;
    }
    CountColumns();
    TCard card = Seat(TSeat::Opponent).Hand.Cards[static_cast<size_t>(position)];
    const TCardPlace from = RowSlot(position);
    card.FaceUp = true;
    RemoveFromComputerHand(position);

    const int column = card.Rank;
    const int before = Seat(TSeat::Opponent).ColumnCounts[static_cast<size_t>(column)];
    if (before >= 7) {
        // A canasta is shown stacked on one spot.
        card.Column = static_cast<uint8_t>(column);
        card.Depth = 1;
    } else {
        PlaceInColumn(Seat(TSeat::Opponent).Melds, false, card);
    }
    AddCard(Seat(TSeat::Opponent).Melds, card);
    if (!IsRedThree(card)) Seat(TSeat::Opponent).MeldedPoints += card.Points;
    Host.AnimateMove(card, from, PlaceOf(TArea::OpponentMelds, card));
    Host.Invalidate(TRegion::OpponentMelds);
    Host.Wait(Config.MeldDelay);
    if (before >= 6) CheckCanasta(TSeat::Opponent, card.Column);
}

void TGame::MeldWildCard(int rank) {
    if (rank < 1 || rank >= kColumns)
        throw InternalError("MeldWildCard: rank " + std::to_string(rank) + " out of range");
    int position = FindFirstById(Seat(TSeat::Opponent).Hand, kJokerId);
    if (position < 0) {
        for (int i = 0; i < Seat(TSeat::Opponent).Hand.Count && position < 0; ++i)
            if (Seat(TSeat::Opponent).Hand.Cards[static_cast<size_t>(i)].Rank == kRankTwo) position = i;
    }
    if (position < 0) {
        Host.Inform("Meld error: Wildcard not found.", TMsgKind::Error);
        return;
    }
    CountColumns();
    const int size = Seat(TSeat::Opponent).ColumnCounts[static_cast<size_t>(rank)];
    TCard card = Seat(TSeat::Opponent).Hand.Cards[static_cast<size_t>(position)];
    const TCardPlace from = RowSlot(position);
    card.FaceUp = true;
    RemoveFromComputerHand(position);

    int8_t& depth = Seat(TSeat::Opponent).Melds.Depths[static_cast<size_t>(rank)];
    depth = size >= 7 ? 1 : depth + 1;
    card.Column = static_cast<uint8_t>(rank);
    card.Depth = depth;
    AddCard(Seat(TSeat::Opponent).Melds, card);
    Seat(TSeat::Opponent).MeldedPoints += card.Points;
    Host.AnimateMove(card, from, PlaceOf(TArea::OpponentMelds, card));
    Host.Invalidate(TRegion::OpponentMelds);
    Host.Wait(Config.MeldDelay);
    if (size >= 6) CheckCanasta(TSeat::Opponent, card.Column);
}

bool TGame::LayRedThrees() {
    bool laid = false;
    for (int i = 0; i < Seat(TSeat::Opponent).Hand.Count;) {
        if (!IsRedThree(Seat(TSeat::Opponent).Hand.Cards[static_cast<size_t>(i)])) {
            ++i;
            continue;
        }
        MeldFromHand(i);
        laid = true;
        Host.Invalidate(TRegion::OpponentMelds);
        Host.Wait(Config.MeldDelay);
        i = 0;
    }
    return laid;
}

}  // namespace canasta
