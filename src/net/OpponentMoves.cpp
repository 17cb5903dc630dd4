// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/OpponentMoves.h"

#include "net/Framing.h"
#include "rules/Moves.h"

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

bool TOpponentMirror::TakePending() const { return G.OpponentTurn.Take == TOpponentTurn::TTake::Pending; }

std::string TOpponentMirror::Apply(int token, const std::vector<std::string>& f) {
    auto field = [&f](size_t i) { return i < f.size() ? f[i] : std::string(); };
    if (!G.Config.Networked) return "no network game is running";
    switch (token) {
        case tkDeal:
            if (G.QuitRequested) return "the game is over";
            if (!ApplyMirroredDeal(G, field(0))) return "malformed deal record";
            return {};
        case tkNewGame:
            G.Seat(TSeat::Player).Score = G.Seat(TSeat::Opponent).Score = 0;
            G.GameInProgress = false;
            G.Host.Invalidate(TRegion::Scores);
            return {};
        default: break;
    }
    const TSeatState& seat = G.Seat(TSeat::Opponent);
    // A card named by the move, by its place in the opponent's hand or on its
    // table (the last of two twins, as the other copy picks it; past the end
    // when it is not there, which the move's checks refuse).
    auto inHand = [&](int id) {
        const int at = FindLastById(seat.Hand, id);
        return at < 0 ? seat.Hand.Count : at;
    };
    const auto card = CardField(field(0));
    TMove move;
    switch (token) {
        case tkDrawNew: move.Kind = TMoveType::Draw; break;
        case tkDrawPileTop: move.Kind = TMoveType::TakePile; break;
        case tkDrawPileRest: move.Kind = TMoveType::TakePileRest; break;
        case tkUndoPile: move.Kind = TMoveType::UndoTake; break;
        case tkMeld:
            if (!card) return "bad card";
            move = {TMoveType::MeldCard, inHand(*card)};
            break;
        case tkMeldWildCard: {
            const auto column = ColumnField(field(1));
            if (!card) return "bad card";
            if (!column) return "bad column";
            move = {TMoveType::AddWild, *column};
            move.Card = inHand(*card);
            break;
        }
        case tkUndo: {
            const auto column = ColumnField(field(0));
            const auto id = CardField(field(1));
            if (!column) return "bad column";
            if (!id) return "bad card";
            // The card named in the column named: a twin elsewhere on the
            // table (a joker in another meld) stays where it is.
            move.Kind = TMoveType::UndoMeld;
            move.Card = seat.Melds.Count;
            for (int i = seat.Melds.Count - 1; i >= 0; --i)
                if (seat.Melds.At(i).Id == *id && seat.Melds.At(i).Column == *column) {
                    move.Card = i;
                    break;
                }
            break;
        }
        case tkDiscard:
            if (!card) return "bad card";
            move = {TMoveType::Discard, inHand(*card)};
            break;
        case tkDiscardRedThree: {
            if (!card) return "bad card";
            if (!IsRedThreeId(*card)) return "not a red three";
            const int at = FindLastById(seat.Melds, *card);
            move = {TMoveType::DiscardRedThree, at < 0 ? seat.Melds.Count : at};
            break;
        }
        case tkPassDiscard: move.Kind = TMoveType::Pass; break;
        case tkHandOver: move.Kind = TMoveType::EndHand; break;
        default: return "not a move";
    }
    return PlayMove(G, TSeat::Opponent, move);
}

}  // namespace canasta
