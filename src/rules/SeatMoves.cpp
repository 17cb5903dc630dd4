// SPDX-License-Identifier: GPL-3.0-or-later
// Cards entering and leaving a seat's hand and table, one move at a time.
// Shared by the player's gestures, the computer levels (in either seat) and
// the opponent's moves as the network tells them, so that a card is laid,
// taken back and discarded the same way whoever plays the seat.
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

TCard TGame::LayOnTable(TSeat seat, TCard card, int column, TCardPlace from) {
    TCardList& melds = Seat(seat).Melds;
    int8_t& depth = melds.Depths[static_cast<size_t>(column)];
    card.Column = static_cast<uint8_t>(column);
    if (Seat(seat).MeldState.CanastaKind[static_cast<size_t>(column)] == ckNone) ++depth;
    card.Depth = depth;
    card.FaceUp = true;
    AddCard(melds, card);
    Host.AnimateMove(card, from, PlaceOf(MeldArea(seat), card));
    Host.Invalidate(MeldRegion(seat));
    return card;
}

TCard TGame::TakeFromTable(TSeat seat, int index) {
    TCardList& melds = Seat(seat).Melds;
    TMeldState& state = Seat(seat).MeldState;
    const int column = melds.At(index).Column;
    // The column still qualifies at seven cards or more with four naturals
    // (any number of wild cards in the column of the twos).
    int count = 0, naturals = 0;
    for (const TCard& c : melds) {
        if (c.Column != column) continue;
        ++count;
        if (IsNatural(c.Rank)) ++naturals;
    }
    if (IsNatural(melds.At(index).Rank)) --naturals;
    const bool stillCanasta = count - 1 >= 7 && (naturals >= 4 || column == kRankTwo);
    const bool breaks = state.CanastaKind[static_cast<size_t>(column)] != ckNone && !stillCanasta;
    TCard card;
    RemoveCardAt(melds, index, card, breaks, column);
    if (breaks) {
        --state.Canastas;
        state.CanastaKind[static_cast<size_t>(column)] = ckNone;
        SpreadColumn(melds, column);
    }
    CheckCanasta(seat, column);
    Host.Invalidate(MeldRegion(seat));
    return card;
}

TCard TGame::RedThreeToPile(TSeat seat, int index) {
    TCard card;
    // The threes above it close up.
    RemoveCardAt(Seat(seat).Melds, index, card, false, kRankThree);
    const TCardPlace from = PlaceOf(MeldArea(seat), card);
    card.FaceUp = true;
    ClearColumn(card);
    AddCard(DiscardPile, card);
    PileFrozen = true;
    Host.AnimateMove(card, from, {TArea::DiscardPile});
    Host.Invalidate(MeldRegion(seat));
    Host.Invalidate(TRegion::Pile);
    return card;
}

void TGame::MeldFromHand(TSeat seat, int position) {
    TSeatState& s = Seat(seat);
    if (position < 0 || position >= s.Hand.Count) {
        RemoveFromHand(seat, position);
        return;
    }
    CountColumns();
    const TCard card = s.Hand.Cards[static_cast<size_t>(position)];
    const TCardPlace from = HandPlace(seat, position);
    RemoveFromHand(seat, position);
    const int before = s.ColumnCounts[static_cast<size_t>(card.Rank)];
    LayOnTable(seat, card, card.Rank, from);
    if (!IsRedThree(card)) s.MeldedPoints += card.Points;
    Host.Wait(Config.MeldDelay);
    if (before >= 6) CheckCanasta(seat, card.Rank);
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
    const TCard card = s.Hand.Cards[static_cast<size_t>(position)];
    const TCardPlace from = HandPlace(seat, position);
    RemoveFromHand(seat, position);
    LayOnTable(seat, card, rank, from);
    s.MeldedPoints += card.Points;
    Host.Wait(Config.MeldDelay);
    if (size >= 6) CheckCanasta(seat, rank);
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
