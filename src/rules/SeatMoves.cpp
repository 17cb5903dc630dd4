// SPDX-License-Identifier: GPL-3.0-or-later
// Cards entering and leaving a seat's hand and table, one move at a time.
// Shared by the computer levels (in either seat) and the replay of a
// networked opponent's moves, so nothing here depends on a level.
#include "model/Game.h"

namespace canasta {

namespace {

TArea MeldArea(TSeat seat) { return seat == TSeat::Player ? TArea::PlayerMelds : TArea::OpponentMelds; }
TRegion HandRegion(TSeat seat) { return seat == TSeat::Player ? TRegion::PlayerHand : TRegion::OpponentHand; }
TRegion MeldRegion(TSeat seat) { return seat == TSeat::Player ? TRegion::PlayerMelds : TRegion::OpponentMelds; }

}  // namespace

void TGame::AddToHand(TSeat seat, TCard card, TCardPlace from, bool animate) {
    TCardList& hand = Seat(seat).Hand;
    if (seat == TSeat::Opponent) {
        card.FaceUp = Config.ShowOpponentCards;
        ClearColumn(card);
    } else {
        card.FaceUp = true;
        PlaceInColumn(hand, false, card);
    }
    AddCard(hand, card);
    if (animate) {
        Host.AnimateMove(card, from, HandPlace(seat, hand.Count - 1));
        Host.Invalidate(HandRegion(seat));
    }
}

void TGame::RemoveFromHand(TSeat seat, int position) {
    TCardList& hand = Seat(seat).Hand;
    // A broken position means the seat's bookkeeping is lost; a fresh hand
    // is the one state known to be sound.
    if (position < 0 || position >= hand.Count)
        throw THandAbandoned(seat == TSeat::Opponent ? "Error removing card from computer's hand"
                                                     : "Error removing card from player's hand",
                             TMsgKind::Error);
    TCard removed;
    if (seat == TSeat::Opponent) {
        RemoveCardAt(hand, position, removed, true, 0);
    } else {
        // The cards above it in its rank column close up.
        RemoveCardAt(hand, position, removed, false, hand.Cards[static_cast<size_t>(position)].Rank);
    }
    // The same card (deck too) leaves the record of cards taken from the pile.
    TCardList& taken = Seat(seat).PickedUp;
    for (int i = 0; i < taken.Count; ++i)
        if (taken.Cards[static_cast<size_t>(i)].Id == removed.Id &&
            taken.Cards[static_cast<size_t>(i)].Deck == removed.Deck) {
            TCard out;
            RemoveCardAt(taken, i, out, true, 0);
            break;
        }
    Host.Invalidate(HandRegion(seat));
}

void TGame::MeldFromHand(TSeat seat, int position) {
    TSeatState& s = Seat(seat);
    if (position < 0 || position >= s.Hand.Count) {
        RemoveFromHand(seat, position);
        return;
    }
    CountColumns();
    TCard card = s.Hand.Cards[static_cast<size_t>(position)];
    const TCardPlace from = HandPlace(seat, position);
    card.FaceUp = true;
    RemoveFromHand(seat, position);

    const int column = card.Rank;
    const int before = s.ColumnCounts[static_cast<size_t>(column)];
    if (seat == TSeat::Player) {
        // The player's table is laid out as its gestures lay it: every column
        // spread (the threes too, however many), a canasta stacked.
        PlaceInColumn(s.Melds, s.MeldState.CanastaKind[static_cast<size_t>(column)] != ckNone, card);
    } else if (before >= 7) {
        // A canasta is shown stacked on one spot.
        card.Column = static_cast<uint8_t>(column);
        card.Depth = 1;
    } else {
        PlaceInColumn(s.Melds, false, card);
    }
    AddCard(s.Melds, card);
    if (!IsRedThree(card)) s.MeldedPoints += card.Points;
    Host.AnimateMove(card, from, PlaceOf(MeldArea(seat), card));
    Host.Invalidate(MeldRegion(seat));
    Host.Wait(Config.MeldDelay);
    if (before >= 6) CheckCanasta(seat, card.Column);
}

void TGame::MeldWildCard(TSeat seat, int rank) {
    if (rank < 1 || rank >= kColumns)
        throw InternalError("MeldWildCard: rank " + std::to_string(rank) + " out of range");
    TSeatState& s = Seat(seat);
    const int position = FirstWildCard(s.Hand);
    if (position < 0) {
        Host.Inform("Meld error: Wildcard not found.", TMsgKind::Error);
        return;
    }
    CountColumns();
    const int size = s.ColumnCounts[static_cast<size_t>(rank)];
    TCard card = s.Hand.Cards[static_cast<size_t>(position)];
    const TCardPlace from = HandPlace(seat, position);
    card.FaceUp = true;
    RemoveFromHand(seat, position);

    int8_t& depth = s.Melds.Depths[static_cast<size_t>(rank)];
    if (seat == TSeat::Player) {
        if (s.MeldState.CanastaKind[static_cast<size_t>(rank)] == ckNone) ++depth;
    } else {
        depth = size >= 7 ? 1 : depth + 1;
    }
    card.Column = static_cast<uint8_t>(rank);
    card.Depth = depth;
    AddCard(s.Melds, card);
    s.MeldedPoints += card.Points;
    Host.AnimateMove(card, from, PlaceOf(MeldArea(seat), card));
    Host.Invalidate(MeldRegion(seat));
    Host.Wait(Config.MeldDelay);
    if (size >= 6) CheckCanasta(seat, card.Column);
}

void TGame::DiscardFromHand(TSeat seat, int position) {
    TSeatState& s = Seat(seat);
    if (position < 0 || position >= s.Hand.Count) {
        RemoveFromHand(seat, position);
        return;
    }
    TCard card = s.Hand.Cards[static_cast<size_t>(position)];
    const TCardPlace from = HandPlace(seat, position);
    RemoveFromHand(seat, position);
    card.FaceUp = true;
    ClearColumn(card);
    AddCard(DiscardPile, card);
    ++s.Discards[card.Rank];
    Host.AnimateMove(card, from, {TArea::DiscardPile});
    if (IsWild(card) || IsRedThree(card)) PileFrozen = true;
}

bool TGame::LayRedThrees(TSeat seat) {
    const TCardList& hand = Seat(seat).Hand;
    bool laid = false;
    for (int i = 0; i < hand.Count;) {
        if (!IsRedThree(hand.Cards[static_cast<size_t>(i)])) {
            ++i;
            continue;
        }
        MeldFromHand(seat, i);
        laid = true;
        Host.Invalidate(MeldRegion(seat));
        Host.Wait(Config.MeldDelay);
        i = 0;
    }
    return laid;
}

}  // namespace canasta
