// SPDX-License-Identifier: GPL-3.0-or-later
// The opponent seat's moves one at a time, as a network opponent's arrive:
// every move is checked before anything changes (a discard before the draw, a
// second take of the pile, an undo of a card not melded this turn ... are
// refused), and the cards move through the seat moves the computer levels use.
#include "model/Game.h"
#include "rules/Moves.h"

namespace canasta {

namespace {

using TTake = TOpponentTurn::TTake;
constexpr TSeat kSeat = TSeat::Opponent;

class TOpponentMoves {
public:
    explicit TOpponentMoves(TGame& game) : G(game), T(game.OpponentTurn), S(game.Seat(kSeat)) {}

    std::string Play(const TMove& m) {
        if (G.QuitRequested) return "the game is over";
        if (G.TurnPhase == TTurnPhase::HandOver) return "the hand is over";
        if (!G.OpponentsTurn || G.TurnPhase != TTurnPhase::OpponentTurn) return "it is not the opponent's turn";
        switch (m.Kind) {
            case TMoveType::Draw: return Draw();
            case TMoveType::TakePile: return TakeTop();
            case TMoveType::TakePileRest: return TakeRest();
            case TMoveType::UndoTake: return UndoTake();
            case TMoveType::MeldCard: return Meld(m.Index);
            case TMoveType::AddWild: return MeldWild(m.Card < 0 ? FirstWildCard(S.Hand) : m.Card, m.Index);
            case TMoveType::MeldWild: return MeldWild(m.Card < 0 ? FirstWildCard(S.Hand) : m.Card, kRankTwo);
            case TMoveType::UndoMeld: return Undo(m.Card);
            case TMoveType::Discard: return Discard(m.Index);
            case TMoveType::DiscardRedThree: return DiscardRedThree(m.Index);
            case TMoveType::Pass: return Pass();
            case TMoveType::EndHand: return EndHand();
            case TMoveType::None:
            case TMoveType::UndoAll: break;
        }
        return "not a move";
    }

private:
    bool InHand(int index) const { return index >= 0 && index < S.Hand.Count; }

    void StartPickUp() {
        if (T.PickedUp) return;
        T.PickedUp = true;
        // Whether a side had melded before its turn decides its going-out
        // bonus; taken here and at every turn's end, so a turn that begins
        // with a take of the pile (or is a red three's discard) counts as well.
        G.Seat(TSeat::Player).PointsBeforeTurn = G.MeldedPoints(TSeat::Player, false);
        S.PointsBeforeTurn = S.MeldedPoints;
    }

    // The turn is over; a discard may end the hand.
    void EndTurn(bool mayEndHand) {
        T = {};
        G.OpponentsTurn = false;
        G.SetTurnPhase(TTurnPhase::Draw);
        // A hand that ends here is scored with the values of this turn (the
        // other copy has not moved them on either).
        if (mayEndHand && G.EndHandIfOver()) return;
        G.Seat(TSeat::Player).PointsBeforeTurn = G.MeldedPoints(TSeat::Player, false);
        S.PointsBeforeTurn = S.MeldedPoints;
    }

    void PutOnTable(const TCard& card, int column, TCardPlace from) {
        G.LayOnTable(kSeat, card, column, from);
        if (!IsRedThree(card)) S.MeldedPoints += card.Points;
        G.CheckCanasta(kSeat, column);
    }

    bool MeldsValid(int handAdjust) { return G.ValidateTurnMelds(kSeat, T.Take == TTake::Pending, handAdjust); }

    void CheckGoneOut() {
        // The other copy ends the hand after a meld only when its hand is
        // empty, no take is provisional and its melds are valid; an emptied
        // hand alone (black threes still missing, a column of two) does not go out.
        if (!S.Hand.Empty() || T.Take == TTake::Pending) return;
        if (MeldsValid(0)) G.EndHandIfOver();
    }

    std::string Draw() {
        if (T.MayMeld || T.Take != TTake::None) return "the opponent has already drawn";
        if (G.Stock.Empty()) return "the stock is empty";
        StartPickUp();
        const TCard card = G.DrawFromStock();
        G.AddToHand(kSeat, card, {TArea::Stock}, true);
        ++T.Draws;
        const bool redThree = IsRedThree(card);
        if (redThree) G.MeldFromHand(kSeat, S.Hand.Count - 1);
        // A red three replaced by a further draw does not count as the turn's card.
        const TRuleOptions& rules = G.OpponentSeatRules();
        if (!(redThree && rules.RedThreeDrawsExtra && !G.Stock.Empty())) {
            ++T.Counted;
            if (T.Counted >= rules.CardsDrawn || G.Stock.Empty()) T.MayMeld = true;
        }
        G.SetStockExhausted(G.Stock.Empty());
        return {};
    }

    std::string TakeTop() {
        if (!T.AtStart()) return "the opponent has already drawn";
        if (G.DiscardPile.Empty()) return "the discard pile is empty";
        if (!G.MayTakePile(kSeat, true)) return "the opponent may not take the discard pile";
        // Only the top card when nothing but the forced take allows it; the
        // rest of the pile then stays and no completion follows.
        const bool forcedOnly = !G.MayTakePile(kSeat, false);
        StartPickUp();
        if (G.DiscardPile.Count >= 13) G.Host.PlaySound(TSoundEvent::TakeHugePile);
        auto before = std::make_shared<TOpponentTurn::TBeforeTake>();
        before->Hand = S.Hand;
        before->Melds = S.Melds;
        before->Pile = G.DiscardPile;
        before->MeldState = S.MeldState;
        before->MeldedPoints = S.MeldedPoints;
        TCard card = TakeLastCard(G.DiscardPile);
        G.Host.Invalidate(TRegion::Pile);
        PutOnTable(card, card.Rank, {TArea::DiscardPile});
        before->TopAt = PlaceOf(TArea::OpponentMelds, S.Melds.Last());
        T.BeforeTake = std::move(before);
        T.MayMeld = true;
        T.Take = forcedOnly ? TTake::Done : TTake::Pending;
        return {};
    }

    std::string TakeRest() {
        if (T.Take != TTake::Pending) return "no take of the discard pile is waiting";
        // Top down; the player saw every card go, so the record of cards the
        // opponent took holds them (a red three goes to the table at once).
        while (!G.DiscardPile.Empty()) {
            const TCard card = TakeLastCard(G.DiscardPile);
            G.AddToHand(kSeat, card, {TArea::DiscardPile}, true);
            if (IsRedThree(card))
                G.MeldFromHand(kSeat, S.Hand.Count - 1);
            else
                AddCard(S.PickedUp, S.Hand.Last());
        }
        G.PileFrozen = false;
        G.Host.Invalidate(TRegion::Pile);
        T.Take = TTake::Done;
        T.BeforeTake.reset();
        T.Undo.clear();
        CheckGoneOut();
        return {};
    }

    std::string UndoTake() {
        if (T.Take != TTake::Pending || !T.BeforeTake) return "no take of the discard pile is waiting";
        // The seat goes back to what it was before the take, melds made
        // meanwhile included; so do the melded points. The take back costs 50.
        const TOpponentTurn::TBeforeTake& b = *T.BeforeTake;
        const TCard top = b.Pile.Last();
        S.Hand = b.Hand;
        S.Melds = b.Melds;
        S.MeldState = b.MeldState;
        G.DiscardPile = b.Pile;
        S.MeldedPoints = b.MeldedPoints;
        S.Score -= 50;
        G.Host.AnimateMove(top, b.TopAt, {TArea::DiscardPile});
        G.Host.Invalidate(TRegion::Pile);
        G.Host.Invalidate(TRegion::OpponentHand);
        G.Host.Invalidate(TRegion::OpponentMelds);
        G.Host.Invalidate(TRegion::Scores);
        T.Take = TTake::None;
        T.BeforeTake.reset();
        T.MayMeld = false;
        T.Undo.clear();
        return {};
    }

    std::string Meld(int index) {
        if (!T.MayMeld) return "the opponent has not drawn yet";
        if (!InHand(index)) return "card not in the opponent's hand";
        const TCard card = S.Hand.At(index);
        if (IsWild(card) || IsRedThree(card)) return "card cannot be melded into its own column";
        G.RemoveFromHand(kSeat, index);
        PutOnTable(card, card.Rank, RowSlot(index));
        T.Undo.emplace_back(card.Rank, card.Id);
        CheckGoneOut();
        return {};
    }

    std::string MeldWild(int index, int column) {
        if (column <= 0 || column >= kColumns || column == kRankThree) return "no wild card goes to that column";
        if (column == kRankTwo && !G.OpponentSeatRules().WildCanastaAllowed) return "wildcard canastas are not allowed";
        if (!T.MayMeld) return "the opponent has not drawn yet";
        if (!InHand(index)) return "card not in the opponent's hand";
        const TCard card = S.Hand.At(index);
        if (!IsWild(card)) return "not a wild card";
        G.RemoveFromHand(kSeat, index);
        PutOnTable(card, column, RowSlot(index));
        T.Undo.emplace_back(column, card.Id);
        CheckGoneOut();
        return {};
    }

    std::string Undo(int index) {
        if (!T.MayMeld || T.Undo.empty()) return "not the opponent's last meld of this turn";
        const auto [column, id] = T.Undo.back();
        // The card in its column: a twin elsewhere on the table (a joker in
        // another meld) stays where it is.
        if (index < 0)
            for (int i = S.Melds.Count - 1; i >= 0 && index < 0; --i)
                if (S.Melds.At(i).Id == id && S.Melds.At(i).Column == column) index = i;
        if (index < 0 || index >= S.Melds.Count || S.Melds.At(index).Id != id || S.Melds.At(index).Column != column)
            return "not the opponent's last meld of this turn";

        const TCard card = G.TakeFromTable(kSeat, index);
        S.MeldedPoints -= card.Points;
        G.AddToHand(kSeat, card, PlaceOf(TArea::OpponentMelds, card), true);
        // It was seen on the table.
        AddCard(S.PickedUp, S.Hand.Last());
        T.Undo.pop_back();
        return {};
    }

    std::string Discard(int index) {
        if (!T.MayMeld) return "the opponent has not drawn yet";
        if (T.Take == TTake::Pending) return "the top card of the pile is not melded yet";
        if (!InHand(index)) return "card not in the opponent's hand";
        if (!MeldsValid(1)) return "the opponent's melds do not allow a discard";
        G.DiscardFromHand(kSeat, index);
        G.Host.Invalidate(TRegion::Pile);
        G.Host.PlaySound(TSoundEvent::EndTurnNetwork);
        EndTurn(true);
        return {};
    }

    std::string DiscardRedThree(int index) {
        if (!G.OpponentSeatRules().RedThreeFreezes) return "red threes cannot be discarded with the current rules";
        if (T.Take == TTake::Pending) return "the top card of the pile is not melded yet";
        if (index < 0 || index >= S.Melds.Count) return "card not on the opponent's table";
        if (!IsRedThree(S.Melds.At(index))) return "not a red three";
        if (T.MayMeld && !MeldsValid(0)) return "the opponent's melds do not allow ending the turn";
        G.RedThreeToPile(kSeat, index);
        EndTurn(true);
        return {};
    }

    std::string Pass() {
        if (T.AtStart()) return "the opponent has not drawn yet";
        if (T.Take == TTake::Pending) return "the top card of the pile is not melded yet";
        if (S.Hand.Count != 1) return "the opponent does not hold exactly one card";
        if (S.MeldState.Canastas >= G.OpponentSeatRules().CanastasToGoOut) return "the opponent may go out";
        // The account of the turn tells the player of the pass.
        EndTurn(false);
        return {};
    }

    std::string EndHand() {
        if (!G.StockExhausted) return "the stock is not exhausted";
        if (!T.AtStart()) return "the opponent has already drawn";
        // Judged as the other copy judged it, with its rules.
        G.CountColumns();
        if (G.IsForced(kSeat, S.Hand.Count, S.ColumnCounts)) return "the opponent is forced to take the pile";
        G.EndHandRequested = true;
        G.EndHandIfOver();
        return {};
    }

    TGame& G;
    TOpponentTurn& T;
    TSeatState& S;
};

}  // namespace

std::string PlayOpponentMove(TGame& game, const TMove& move) { return TOpponentMoves(game).Play(move); }

}  // namespace canasta
