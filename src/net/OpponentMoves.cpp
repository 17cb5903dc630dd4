// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/OpponentMoves.h"

#include "net/Framing.h"

namespace canasta {

namespace {

std::optional<int> CardField(const std::string& f) {
    const auto id = ParseIntField(f);
    if (!id || !IsValidId(*id)) return std::nullopt;
    return id;
}

std::optional<int> ColumnField(const std::string& f) {
    const auto c = ParseIntField(f);
    if (!c || *c < 0 || *c >= kColumns) return std::nullopt;
    return c;
}

// The cards the dealer gave its opponent first, then itself: here the first
// fifteen are this side's, the next fifteen the opponent's.
void DealMirrored(TGame& g) {
    g.DiscardPile = {};
    g.Seat(TSeat::Opponent).Hand = {};
    g.Seat(TSeat::Player).Hand = {};
    g.Seat(TSeat::Opponent).Melds = {};
    g.Seat(TSeat::Player).Melds = {};
    while (g.Seat(TSeat::Player).Hand.Count < 15) {
        TCard c = TakeLastCard(g.Stock);
        c.FaceUp = true;
        TCardList& area = IsRedThree(c) ? g.Seat(TSeat::Player).Melds : g.Seat(TSeat::Player).Hand;
        PlaceInColumn(area, false, c);
        AddCard(area, c);
    }
    while (g.Seat(TSeat::Opponent).Hand.Count < 15) {
        TCard c = TakeLastCard(g.Stock);
        if (IsRedThree(c)) {
            c.FaceUp = true;
            PlaceInColumn(g.Seat(TSeat::Opponent).Melds, false, c);
            AddCard(g.Seat(TSeat::Opponent).Melds, c);
        } else {
            c.FaceUp = g.Config.ShowOpponentCards;
            AddCard(g.Seat(TSeat::Opponent).Hand, c);
        }
    }
    for (;;) {
        TCard c = TakeLastCard(g.Stock);
        c.FaceUp = true;
        AddCard(g.DiscardPile, c);
        if (!(IsWild(c) || IsRedThree(c))) break;
        g.PileFrozen = true;
    }
    g.SetStockExhausted(g.Stock.Empty());
}

}  // namespace

bool ApplyMirroredDeal(TGame& g, const std::string& record) {
    bool dealerFirst = false;
    TDealPositions positions{};
    if (!ParseDealRecord(record, dealerFirst, positions)) return false;
    TCardList stock;
    if (!BuildStockFromPositions(stock, positions)) return false;

    // Set first: the reset shows whose turn it is from it.
    g.PlayerDrawsFirst = !dealerFirst;
    g.ResetForDeal(TSoundEvent::Deal);
    g.Stock = stock;
    // Whether the pile starts frozen is the dealer's rule.
    g.PileFrozen = g.OpponentSeatRules().InitiallyFrozen;
    g.LastDeal = positions;
    g.DealtLastHand = false;
    DealMirrored(g);
    g.SaveTurnSnapshot();
    for (TSeatState& seat : g.Seats) seat.MinimumMeld = MinimumInitialMeld(seat.Score);
    g.Host.Invalidate(TRegion::All);

    const bool playerFirst = g.PlayerDrawsFirst;
    g.PlayerDrawsFirst = !playerFirst;
    g.OpponentsTurn = !playerFirst;
    g.SetTurnPhase(playerFirst ? TTurnPhase::Draw : TTurnPhase::OpponentTurn);
    return true;
}

TOpponentMirror::TOpponentMirror(TGame& game) : G(game) {}

void TOpponentMirror::Sync() {
    if (Synced && TurnHand == G.HandNumber) return;
    Synced = true;
    TurnHand = G.HandNumber;
    T = {};
}

bool TOpponentMirror::TakePending() {
    Sync();
    return T.Take == kTakePending;
}

std::string TOpponentMirror::MoveAllowed() const {
    if (!G.Config.Networked) return "no network game is running";
    if (G.QuitRequested) return "the game is over";
    if (G.TurnPhase == TTurnPhase::HandOver) return "the hand is over";
    if (!G.OpponentsTurn || G.TurnPhase != TTurnPhase::OpponentTurn) return "it is not the opponent's turn";
    return {};
}

void TOpponentMirror::StartPickUp() {
    if (T.PickedUp) return;
    T.PickedUp = true;
    // Whether a side had melded before its turn decides its going-out bonus;
    // taken here and at every turn's end, so a turn that begins with a take of
    // the pile (or consists of a red three's discard) counts as well.
    G.Seat(TSeat::Player).PointsBeforeTurn = G.MeldedPoints(TSeat::Player, false);
    G.Seat(TSeat::Opponent).PointsBeforeTurn = G.Seat(TSeat::Opponent).MeldedPoints;
}

void TOpponentMirror::EndOpponentTurn(bool mayEndHand) {
    T = {};
    G.OpponentsTurn = false;
    G.SetTurnPhase(TTurnPhase::Draw);
    if (mayEndHand) {
        // A hand that ends here is scored with the values of this turn (the
        // sender's copy has not moved them on either).
        if (G.EndHandIfOver()) return;
    }
    G.Seat(TSeat::Player).PointsBeforeTurn = G.MeldedPoints(TSeat::Player, false);
    G.Seat(TSeat::Opponent).PointsBeforeTurn = G.Seat(TSeat::Opponent).MeldedPoints;
}

void TOpponentMirror::PutOnTable(TCard card, int column, TCardPlace from) {
    // Placed as the sender placed it in its own seat: a canasta stays stacked.
    int8_t& depth = G.Seat(TSeat::Opponent).Melds.Depths[static_cast<size_t>(column)];
    card.Column = static_cast<uint8_t>(column);
    if (G.Seat(TSeat::Opponent).MeldState.CanastaKind[static_cast<size_t>(column)] == ckNone) ++depth;
    card.Depth = depth;
    card.FaceUp = true;
    AddCard(G.Seat(TSeat::Opponent).Melds, card);
    if (!IsRedThree(card)) G.Seat(TSeat::Opponent).MeldedPoints += card.Points;
    G.Host.AnimateMove(card, from, PlaceOf(TArea::OpponentMelds, card));
    G.Host.Invalidate(TRegion::OpponentMelds);
    G.CheckCanasta(TSeat::Opponent, column);
}

bool TOpponentMirror::MeldsValid(int handAdjust) {
    return G.ValidateTurnMelds(TSeat::Opponent, T.Take == kTakePending, handAdjust);
}

void TOpponentMirror::CheckGoneOut() {
    // The sender ends the hand after a meld only when its hand is empty, no
    // take is provisional and its melds are valid; an emptied hand alone
    // (black threes still missing, a column of two) does not go out.
    if (!G.Seat(TSeat::Opponent).Hand.Empty() || T.Take == kTakePending) return;
    if (MeldsValid(0)) G.EndHandIfOver();
}

std::string TOpponentMirror::Apply(int token, const std::vector<std::string>& f) {
    Sync();
    auto field = [&f](size_t i) { return i < f.size() ? f[i] : std::string(); };
    switch (token) {
        case tkDeal: return Deal(field(0));
        case tkNewGame: return NewGame();
        default: break;
    }
    if (std::string why = MoveAllowed(); !why.empty()) return why;
    switch (token) {
        case tkDrawNew: return DrawNew();
        case tkDrawPileTop: return DrawPileTop();
        case tkDrawPileRest: return DrawPileRest();
        case tkUndoPile: return UndoPile();
        case tkMeld: return Meld(field(0));
        case tkMeldWildCard: return MeldWild(field(0), field(1));
        case tkUndo: return Undo(field(0), field(1));
        case tkDiscard: return Discard(field(0));
        case tkDiscardRedThree: return DiscardRedThree(field(0));
        case tkPassDiscard: return PassDiscard();
        case tkHandOver: return HandOver();
        default: return "not a move";
    }
}

std::string TOpponentMirror::Deal(const std::string& record) {
    if (!G.Config.Networked) return "no network game is running";
    if (G.QuitRequested) return "the game is over";
    if (!ApplyMirroredDeal(G, record)) return "malformed deal record";
    Sync();
    return {};
}

std::string TOpponentMirror::NewGame() {
    if (!G.Config.Networked) return "no network game is running";
    G.Seat(TSeat::Player).Score = G.Seat(TSeat::Opponent).Score = 0;
    G.GameInProgress = false;
    G.Host.Invalidate(TRegion::Scores);
    return {};
}

std::string TOpponentMirror::DrawNew() {
    if (T.MayMeld || T.Take != kNoTake) return "the opponent has already drawn";
    if (G.Stock.Empty()) return "the stock is empty";
    StartPickUp();
    const TCard card = G.DrawFromStock();
    G.AddToHand(TSeat::Opponent, card, {TArea::Stock}, true);
    ++T.Draws;
    const bool redThree = IsRedThree(card);
    if (redThree) G.MeldFromHand(TSeat::Opponent, G.Seat(TSeat::Opponent).Hand.Count - 1);
    // A red three replaced by a further draw does not count as the turn's card.
    if (!(redThree && G.OpponentSeatRules().RedThreeDrawsExtra && !G.Stock.Empty())) {
        ++T.Counted;
        if (T.Counted >= G.OpponentSeatRules().CardsDrawn || G.Stock.Empty()) T.MayMeld = true;
    }
    G.SetStockExhausted(G.Stock.Empty());
    return {};
}

std::string TOpponentMirror::DrawPileTop() {
    if (!AtTurnStart()) return "the opponent has already drawn";
    if (G.DiscardPile.Empty()) return "the discard pile is empty";
    bool forcedOnly = false;
    if (!G.MayTakePile(TSeat::Opponent, true)) return "the opponent may not take the discard pile";
    // Only the top card when nothing but the forced take allows it; the rest
    // of the pile then stays and no completion follows.
    forcedOnly = !G.MayTakePile(TSeat::Opponent, false);
    StartPickUp();
    if (G.DiscardPile.Count >= 13) G.Host.PlaySound(TSoundEvent::TakeHugePile);
    T.Hand = G.Seat(TSeat::Opponent).Hand;
    T.Melds = G.Seat(TSeat::Opponent).Melds;
    T.Pile = G.DiscardPile;
    T.MeldState = G.Seat(TSeat::Opponent).MeldState;
    T.MeldedPoints = G.Seat(TSeat::Opponent).MeldedPoints;
    TCard card = TakeLastCard(G.DiscardPile);
    G.Host.Invalidate(TRegion::Pile);
    PutOnTable(card, card.Rank, {TArea::DiscardPile});
    T.TopAt = PlaceOf(TArea::OpponentMelds, G.Seat(TSeat::Opponent).Melds.Last());
    T.MayMeld = true;
    T.Take = forcedOnly ? kTakeDone : kTakePending;
    return {};
}

std::string TOpponentMirror::DrawPileRest() {
    if (T.Take != kTakePending) return "no take of the discard pile is waiting";
    while (!G.DiscardPile.Empty()) {
        const TCard card = TakeLastCard(G.DiscardPile);
        G.AddToHand(TSeat::Opponent, card, {TArea::DiscardPile}, true);
        if (IsRedThree(card)) G.MeldFromHand(TSeat::Opponent, G.Seat(TSeat::Opponent).Hand.Count - 1);
    }
    G.PileFrozen = false;
    G.Host.Invalidate(TRegion::Pile);
    T.Take = kTakeDone;
    T.Undo.clear();
    CheckGoneOut();
    return {};
}

std::string TOpponentMirror::UndoPile() {
    if (T.Take != kTakePending) return "no take of the discard pile is waiting";
    // The sender goes back to its seat as it was before the take, melds made
    // meanwhile included; so do the melded points.
    const TCard top = T.Pile.Last();
    G.Seat(TSeat::Opponent).Hand = T.Hand;
    G.Seat(TSeat::Opponent).Melds = T.Melds;
    G.Seat(TSeat::Opponent).MeldState = T.MeldState;
    G.DiscardPile = T.Pile;
    G.Seat(TSeat::Opponent).MeldedPoints = T.MeldedPoints;
    G.Seat(TSeat::Opponent).Score -= 50;
    G.Host.AnimateMove(top, T.TopAt, {TArea::DiscardPile});
    G.Host.Invalidate(TRegion::Pile);
    G.Host.Invalidate(TRegion::OpponentHand);
    G.Host.Invalidate(TRegion::OpponentMelds);
    G.Host.Invalidate(TRegion::Scores);
    T.Take = kNoTake;
    T.MayMeld = false;
    T.Undo.clear();
    return {};
}

std::string TOpponentMirror::Meld(const std::string& cardField) {
    const auto id = CardField(cardField);
    if (!id) return "bad card";
    if (!T.MayMeld) return "the opponent has not drawn yet";
    const int index = FindLastById(G.Seat(TSeat::Opponent).Hand, *id);
    if (index < 0) return "card not in the opponent's hand";
    const TCard card = G.Seat(TSeat::Opponent).Hand.Cards[static_cast<size_t>(index)];
    if (IsWild(card) || IsRedThree(card)) return "card cannot be melded into its own column";
    G.RemoveFromHand(TSeat::Opponent, index);
    PutOnTable(card, card.Rank, RowSlot(index));
    T.Undo.emplace_back(card.Rank, card.Id);
    CheckGoneOut();
    return {};
}

std::string TOpponentMirror::MeldWild(const std::string& cardField, const std::string& columnField) {
    const auto id = CardField(cardField);
    const auto column = ColumnField(columnField);
    if (!id) return "bad card";
    if (!column) return "bad column";
    if (*column == 0 || *column == kRankThree) return "no wild card goes to that column";
    if (*column == kRankTwo && !G.OpponentSeatRules().WildCanastaAllowed) return "wildcard canastas are not allowed";
    if (!T.MayMeld) return "the opponent has not drawn yet";
    const int index = FindLastById(G.Seat(TSeat::Opponent).Hand, *id);
    if (index < 0) return "card not in the opponent's hand";
    const TCard card = G.Seat(TSeat::Opponent).Hand.Cards[static_cast<size_t>(index)];
    if (!IsWild(card)) return "not a wild card";
    G.RemoveFromHand(TSeat::Opponent, index);
    PutOnTable(card, *column, RowSlot(index));
    T.Undo.emplace_back(*column, card.Id);
    CheckGoneOut();
    return {};
}

std::string TOpponentMirror::Undo(const std::string& columnField, const std::string& cardField) {
    const auto column = ColumnField(columnField);
    const auto id = CardField(cardField);
    if (!column) return "bad column";
    if (!id) return "bad card";
    if (!T.MayMeld || T.Undo.empty() || T.Undo.back() != std::make_pair(*column, *id))
        return "not the opponent's last meld of this turn";
    // The card named in the column named: a twin elsewhere on the table (a
    // joker in another meld) must stay where it is.
    int index = -1;
    for (int i = G.Seat(TSeat::Opponent).Melds.Count - 1; i >= 0 && index < 0; --i) {
        const TCard& c = G.Seat(TSeat::Opponent).Melds.Cards[static_cast<size_t>(i)];
        if (c.Id == *id && c.Column == *column) index = i;
    }
    if (index < 0) return "card not in that column";

    // As the sender's undo judges it: the canasta breaks when the column no
    // longer qualifies without the card.
    int count = 0, naturals = 0;
    for (const TCard& c : G.Seat(TSeat::Opponent).Melds) {
        if (c.Column != *column) continue;
        ++count;
        if (IsNatural(c.Rank)) ++naturals;
    }
    if (IsNatural(G.Seat(TSeat::Opponent).Melds.At(index).Rank)) --naturals;
    const bool stillCanasta = count - 1 >= 7 && (naturals >= 4 || *column == kRankTwo);
    const bool breaks =
        G.Seat(TSeat::Opponent).MeldState.CanastaKind[static_cast<size_t>(*column)] != ckNone && !stillCanasta;
    TCard card;
    RemoveCardAt(G.Seat(TSeat::Opponent).Melds, index, card, breaks, *column);
    if (breaks) {
        --G.Seat(TSeat::Opponent).MeldState.Canastas;
        G.Seat(TSeat::Opponent).MeldState.CanastaKind[static_cast<size_t>(*column)] = ckNone;
        G.SpreadColumn(G.Seat(TSeat::Opponent).Melds, *column);
    }
    G.CheckCanasta(TSeat::Opponent, *column);
    G.Seat(TSeat::Opponent).MeldedPoints -= card.Points;
    G.Host.Invalidate(TRegion::OpponentMelds);
    G.AddToHand(TSeat::Opponent, card, PlaceOf(TArea::OpponentMelds, card), true);
    T.Undo.pop_back();
    return {};
}

std::string TOpponentMirror::Discard(const std::string& cardField) {
    const auto id = CardField(cardField);
    if (!id) return "bad card";
    if (!T.MayMeld) return "the opponent has not drawn yet";
    if (T.Take == kTakePending) return "the top card of the pile is not melded yet";
    const int index = FindLastById(G.Seat(TSeat::Opponent).Hand, *id);
    if (index < 0) return "card not in the opponent's hand";
    if (!MeldsValid(1)) return "the opponent's melds do not allow a discard";
    G.DiscardFromHand(TSeat::Opponent, index);
    G.Host.Invalidate(TRegion::Pile);
    G.Host.PlaySound(TSoundEvent::EndTurnNetwork);
    EndOpponentTurn(true);
    return {};
}

std::string TOpponentMirror::DiscardRedThree(const std::string& cardField) {
    const auto id = CardField(cardField);
    if (!id) return "bad card";
    if (!IsRedThreeId(*id)) return "not a red three";
    if (!G.OpponentSeatRules().RedThreeFreezes) return "red threes cannot be discarded with the current rules";
    if (T.Take == kTakePending) return "the top card of the pile is not melded yet";
    const int index = FindLastById(G.Seat(TSeat::Opponent).Melds, *id);
    if (index < 0) return "card not on the opponent's table";
    if (T.MayMeld && !MeldsValid(0)) return "the opponent's melds do not allow ending the turn";
    G.PileFrozen = true;
    TCard card;
    RemoveCardAt(G.Seat(TSeat::Opponent).Melds, index, card, false, kRankThree);
    const TCardPlace from = PlaceOf(TArea::OpponentMelds, card);
    ClearColumn(card);
    card.FaceUp = true;
    AddCard(G.DiscardPile, card);
    G.Host.AnimateMove(card, from, {TArea::DiscardPile});
    G.Host.Invalidate(TRegion::OpponentMelds);
    G.Host.Invalidate(TRegion::Pile);
    EndOpponentTurn(true);
    return {};
}

std::string TOpponentMirror::PassDiscard() {
    if (AtTurnStart()) return "the opponent has not drawn yet";
    if (T.Take == kTakePending) return "the top card of the pile is not melded yet";
    if (G.Seat(TSeat::Opponent).Hand.Count != 1) return "the opponent does not hold exactly one card";
    if (G.Seat(TSeat::Opponent).MeldState.Canastas >= G.OpponentSeatRules().CanastasToGoOut)
        return "the opponent may go out";
    // The account of the turn tells the player of the pass.
    EndOpponentTurn(false);
    return {};
}

std::string TOpponentMirror::HandOver() {
    if (!G.StockExhausted) return "the stock is not exhausted";
    if (!AtTurnStart()) return "the opponent has already drawn";
    // Judged as the sender judged it, with its rules.
    G.CountColumns();
    const TSeatState& seat = G.Seat(TSeat::Opponent);
    if (G.IsForced(TSeat::Opponent, seat.Hand.Count, seat.ColumnCounts))
        return "the opponent is forced to take the pile";
    G.EndHandRequested = true;
    G.EndHandIfOver();
    return {};
}

}  // namespace canasta
