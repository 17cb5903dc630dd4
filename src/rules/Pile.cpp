// SPDX-License-Identifier: GPL-3.0-or-later
// Taking the discard pile, freezing, discarding, and the one-card rule.
#include "model/Game.h"

namespace canasta {

bool TGame::PileFrozenForMover() {
    if (PileFrozen) return true;
    if (!(Rules.InitiallyFrozen && Rules.FrozenPerPlayer)) return false;
    // The computer's seat keeps its points as it melds; the person's are
    // counted from its table.
    return OpponentsTurn ? Seat(TSeat::Opponent).MeldedPoints == 0 : MeldedPoints(TSeat::Player, false) == 0;
}

bool TGame::PileFrozenFor(TSeat seat) const {
    if (PileFrozen) return true;
    const TRuleOptions& rules = SeatRules(seat);
    if (!(rules.InitiallyFrozen && rules.FrozenPerPlayer)) return false;
    return MeldedPoints(seat, false) == 0;
}

bool TGame::IsForced(TSeat seat, int handCount, const TCounts& columnCounts) const {
    if (DiscardPile.Empty() || PileFrozen) return false;
    const int r = DiscardPile.Last().Rank;
    if (r < 3) return false;
    if (DiscardPile.Count == 1 && handCount == 1) return false;
    const int n = columnCounts[static_cast<size_t>(r)];
    return (n >= 3 && n <= 6) || ((n == 7 || n == 8) && SeatRules(seat).AddToCanasta);
}

bool TGame::MayTakePile(TSeat seat, bool allowForced) {
    CountColumns();
    const TSeatState& s = Seat(seat);
    const TRuleOptions& rules = SeatRules(seat);
    if (DiscardPile.Empty()) return false;
    const int r = DiscardPile.Last().Rank;
    if (r < 3) return false;
    const int inHand = s.RankCounts[static_cast<size_t>(r)];
    const int column = s.ColumnCounts[static_cast<size_t>(r)];
    const int wilds = s.RankCounts[kRankJoker] + s.RankCounts[kRankTwo];
    const bool frozen = PileFrozenFor(seat);
    const bool ok = inHand >= 2 ||
                    (!frozen && !(rules.NaturalPair && rules.PairForExistingMeld) && column >= 3 &&
                     (column < 7 || rules.AddToCanasta)) ||
                    (!frozen && !rules.NaturalPair && inHand == 1 && wilds >= 1 && column < 3) ||
                    (allowForced && StockExhausted && IsForced(seat, s.Hand.Count, s.ColumnCounts));
    if (!ok) return false;
    if (column == 0) {
        const int cards = s.Hand.Count + DiscardPile.Count;
        if (s.MeldState.Canastas < rules.CanastasToGoOut ? cards <= 3 : cards <= 0) return false;
    }
    if (DiscardPile.Count == 1 && s.Hand.Count == 1) return false;
    return true;
}

void TGame::TakePile() {
    if (OpponentsTurn || TurnPhase == TTurnPhase::HandOver) return;
    if (!TurnStart) {
        if (!PileTakeUndoable) {
            ShowStatusError(TRefusal::AlreadyDrawn);
            return;
        }
        SetTurnPhase(TTurnPhase::Draw);
        if (!Rules.TopCardCounts) Seat(TSeat::Player).MinimumMeld -= TakenTopCard.Points;
        UndoTakePile();
        TopCardPending = PileTakeUndoable = false;
        TurnStart = true;
        return;
    }
    MarkGameInProgress();
    if (!MayTakePile(TSeat::Player, true)) {
        ShowStatusError(DiscardPile.Count == 1 && Seat(TSeat::Player).Hand.Count == 1
                            ? TRefusal::OneCardPileWithOneCardHand
                            : TRefusal::TopCardNotMeldable);
        return;
    }
    const bool forcedOnly = !MayTakePile(TSeat::Player, false);
    Host.SetRulesHint(kRulesHintLocked);
    TurnStart = false;
    if (DiscardPile.Count >= 13) Host.PlaySound(TSoundEvent::TakeHugePile);
    CountColumns();
    TopCardPending = true;

    const TCard top = TakeLastCard(DiscardPile);
    const int rank = top.Rank;
    const int before = Seat(TSeat::Player).ColumnCounts[static_cast<size_t>(rank)];
    Observer.MoveMade({TMoveKind::TakePileTop});
    const TCard card = LayOnTable(TSeat::Player, top, rank, {TArea::DiscardPile});
    TakenTopCard = card;
    CheckCanasta(TSeat::Player, card.Column);
    // The canasta display may have moved the card within its column.
    {
        int i = FindLastById(Seat(TSeat::Player).Melds, card.Id);
        if (i >= 0 && Seat(TSeat::Player).Melds.Cards[static_cast<size_t>(i)].Column == card.Column)
            TakenTopCard.Depth = Seat(TSeat::Player).Melds.Cards[static_cast<size_t>(i)].Depth;
    }
    HasDrawn = true;

    if (forcedOnly) {
        SetTurnPhase(TTurnPhase::MeldOrDiscard);
        TopCardPending = PileTakeUndoable = false;
        DrawsThisTurn = 0;
        SaveTurnSnapshot();
    } else if (PileFrozenForMover() || before < 1 || (Rules.NaturalPair && Rules.PairForExistingMeld)) {
        SetTurnPhase(TTurnPhase::PileTaken);
        PileTakeUndoable = true;
        TakenTopColumn = static_cast<uint8_t>(rank);
        if (!Rules.TopCardCounts) Seat(TSeat::Player).MinimumMeld += card.Points;
        TopColumnCountBefore = before;
    } else {
        Observer.MoveMade({TMoveKind::TakePileRest});
        SetTurnPhase(TTurnPhase::MeldOrDiscard);
        PileFrozen = TopCardPending = PileTakeUndoable = false;
        TakeRestOfPile();
    }
    Host.Invalidate(TRegion::Pile);
    Host.Invalidate(TRegion::PlayerHand);
    Host.Invalidate(TRegion::PlayerMelds);
    if (CheckForcedPass()) return;
    SaveTurnSnapshot();
}

void TGame::CompletePileTake() {
    if (!PileTakeUndoable) return;
    // Judge the table with the rest of the pile already in the hand: a take
    // completed on a momentarily empty hand would leave melds (black threes)
    // that are only valid when going out, with no undo left to remove them.
    int incoming = 0;
    for (const TCard& c : DiscardPile) incoming += IsRedThree(c) ? 0 : 1;
    if (!ValidateMelds(TSeat::Player, -incoming)) return;  // counts the columns too
    if (Seat(TSeat::Player).ColumnCounts[TakenTopColumn] < TopColumnCountBefore + 3) return;
    if (!(MeldedPoints(TSeat::Player, false) >= Seat(TSeat::Player).MinimumMeld ||
          (Rules.BonusCounts && Seat(TSeat::Player).MeldState.Canastas >= 1)))
        return;

    SetTurnPhase(TTurnPhase::MeldOrDiscard);
    PileFrozen = PileTakeUndoable = TopCardPending = TurnStart = false;
    // The top card no longer needs to be kept out of the first-meld count.
    if (!Rules.TopCardCounts) Seat(TSeat::Player).MinimumMeld -= TakenTopCard.Points;
    Observer.MoveMade({TMoveKind::TakePileRest});
    TakeRestOfPile();
    Host.Invalidate(TRegion::Pile);
    Host.Invalidate(TRegion::PlayerHand);
    Host.Invalidate(TRegion::PlayerMelds);
}

void TGame::TakeRestOfPile() {
    // Top down: red threes onto the table, every other card into the hand,
    // where the opponent now knows it is.
    while (!DiscardPile.Empty()) {
        const TCard c = TakeLastCard(DiscardPile);
        if (IsRedThree(c)) {
            LayOnTable(TSeat::Player, c, kRankThree, {TArea::DiscardPile});
        } else {
            AddToHand(TSeat::Player, c, {TArea::DiscardPile}, true);
            AddCard(Seat(TSeat::Player).PickedUp, Seat(TSeat::Player).Hand.Last());
        }
    }
    // The melds made during the take are final now.
    ClearUndo();
    Host.SetUndoEnabled(false);
}

void TGame::UndoTakePile() {
    TopCardPending = PileTakeUndoable = HasDrawn = false;
    RestoreTurnSnapshot();
    // The melds of the take went back to the hand with the snapshot; their undo
    // entries would otherwise point at cards no longer on the table.
    ClearUndo();
    Host.SetUndoEnabled(false);
    int index = -1;
    for (int i = Seat(TSeat::Player).Melds.Count - 1; i >= 0; --i) {
        const TCard& c = Seat(TSeat::Player).Melds.Cards[static_cast<size_t>(i)];
        if (c.Column == TakenTopCard.Column && c.Depth == TakenTopCard.Depth && c.Id == TakenTopCard.Id) {
            index = i;
            break;
        }
    }
    if (index < 0)
        throw THandAbandoned("An error occurred while undoing taking the discard pile. A new hand will be dealt.",
                             TMsgKind::Warning);
    // A canasta that stands without the top card stays one, its label
    // counting the naturals it had before the take; one the top card
    // completed is a canasta no more.
    TCard card = TakeFromTable(TSeat::Player, index);
    const TCardPlace from = PlaceOf(TArea::PlayerMelds, card);
    ClearColumn(card);
    AddCard(DiscardPile, card);
    Seat(TSeat::Player).Score -= 50;
    Host.Notice("Taking the pile back cost you 50 points.");
    Host.AnimateMove(card, from, {TArea::DiscardPile});
    Host.Invalidate(TRegion::Pile);
    Host.Invalidate(TRegion::PlayerMelds);
    Host.Invalidate(TRegion::PlayerHand);
    Host.Invalidate(TRegion::Scores);
    Observer.MoveMade({TMoveKind::UndoTake});
}

void TGame::SpreadColumn(TCardList& list, int column) {
    int8_t& depth = list.Depths[static_cast<size_t>(column)];
    depth = 0;
    for (TCard& c : list)
        if (c.Column == column) c.Depth = ++depth;
}

bool TGame::MayDiscard(const TCard& card) { return !IsRedThree(card) || Rules.RedThreeFreezes; }

bool TGame::DiscardCard(int index) {
    if (OpponentsTurn || TurnPhase == TTurnPhase::HandOver) return false;
    if (!HasDrawn) {
        ShowStatusError(TRefusal::DiscardBeforeDraw);
        return false;
    }
    const TCard& inHand = Seat(TSeat::Player).Hand.At(index);
    if (!ValidateTurnMelds(TSeat::Player, TopCardPending, 1)) {
        ShowStatusError(TRefusal::DiscardNotPossible);
        return false;
    }
    if (!MayDiscard(inHand)) {
        ValidationMessage = "a Red Three cannot be discarded with the current rules";
        ShowStatusError(TRefusal::DiscardNotPossible);
        return false;
    }
    if (IsWild(inHand) || (IsRedThree(inHand) && Rules.RedThreeFreezes)) PileFrozen = true;
    ClearUndo();
    Host.SetUndoEnabled(false);
    HasDrawn = false;
    TurnStart = true;
    TCard card;
    RemoveCardAt(Seat(TSeat::Player).Hand, index, card, false, inHand.Rank);
    const TCardPlace from = PlaceOf(TArea::PlayerHand, card);
    ClearColumn(card);
    card.FaceUp = true;
    AddCard(DiscardPile, card);
    ++Seat(TSeat::Player).Discards[card.Rank];
    RemoveCardById(Seat(TSeat::Player).PickedUp, card);
    Observer.MoveMade({TMoveKind::Discard, card.Id});
    Host.AnimateMove(card, from, {TArea::DiscardPile});
    Host.Invalidate(TRegion::PlayerHand);
    Host.Invalidate(TRegion::Pile);
    OpponentsTurn = true;
    if (!EndHandIfOver()) HandTurnToOpponent();
    return true;
}

bool TGame::DiscardRedThreeFromTable(int index) {
    if (OpponentsTurn || TurnPhase == TTurnPhase::HandOver || !Rules.RedThreeFreezes) return false;
    const TCard& onTable = Seat(TSeat::Player).Melds.At(index);
    if (!IsRedThree(onTable)) return false;
    // Ending the turn this way must not carry an invalid table into the next turn.
    if (HasDrawn && !ValidateTurnMelds(TSeat::Player, TopCardPending)) {
        ShowStatusError(TRefusal::DiscardNotPossible);
        return false;
    }
    HasDrawn = false;
    // A turn ended between two draws must not carry its count into the next.
    DrawsThisTurn = 0;
    SetTurnPhase(TTurnPhase::Draw);
    TurnStart = true;
    Observer.MoveMade({TMoveKind::DiscardRedThree, onTable.Id});
    RedThreeToPile(TSeat::Player, index);
    OpponentsTurn = true;
    if (!EndHandIfOver()) {
        ClearUndo();
        Host.SetUndoEnabled(false);
        HandTurnToOpponent();
    }
    return true;
}

bool TGame::MustPass(TSeat seat, bool takePending) {
    const TSeatState& s = Seat(seat);
    if (s.Hand.Count != 1) return false;
    const TRuleOptions& rules = SeatRules(seat);
    if (s.MeldState.Canastas >= rules.CanastasToGoOut) return false;
    if (takePending && !DiscardPile.Empty()) return false;
    if (!ValidateTurnMelds(seat, takePending)) return false;  // counts the columns too
    if (s.MeldState.Canastas == 0 && rules.CanastasToGoOut == 2) return true;
    const TCard& last = s.Hand.Cards[0];
    if (IsNatural(last.Rank) && s.ColumnCounts[last.Rank] == 6) return false;
    if (IsWild(last)) {
        std::array<int, kColumns> wilds{};
        for (const TCard& c : s.Melds)
            if (IsWild(c)) ++wilds[c.Column];
        for (int c = 3; c < kColumns; ++c)
            if (s.ColumnCounts[static_cast<size_t>(c)] == 6 && wilds[static_cast<size_t>(c)] < 3) return false;
    }
    return true;
}

bool TGame::CheckForcedPass() {
    if (!MustPass(TSeat::Player, TopCardPending)) return false;
    Host.Notice("You only have one card left, and not enough Canastas to go out. You have to pass the discard.");
    ClearUndo();
    Host.SetUndoEnabled(false);
    TopCardPending = HasDrawn = PileTakeUndoable = false;
    DrawsThisTurn = 0;
    TurnStart = true;
    OpponentsTurn = true;
    Observer.MoveMade({TMoveKind::Pass});
    HandTurnToOpponent();
    // Against the computer the snapshot is of the table its turn leaves.
    if (Config.Networked)
        SaveTurnSnapshot();
    else
        TurnSnapshotDue = true;
    return true;
}

void TGame::EndHandClicked() {
    if (OpponentsTurn || !StockExhausted || TurnPhase != TTurnPhase::Draw || !TurnStart) return;
    CountColumns();
    if (IsForced(TSeat::Player, Seat(TSeat::Player).Hand.Count, Seat(TSeat::Player).ColumnCounts)) {
        Host.Inform(
            "You cannot end this hand now, because you must \n\rmeld the top card of the pile. (You are 'forced').",
            TMsgKind::Information);
        return;
    }
    Observer.MoveMade({TMoveKind::EndHand});
    EndHandRequested = true;
    EndHandIfOver();
}

}  // namespace canasta
