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
    const auto card = CardField(field(0));
    TMoveReport report;
    switch (token) {
        case tkDrawNew: report.Kind = TMoveKind::Draw; break;
        case tkDrawPileTop: report.Kind = TMoveKind::TakePileTop; break;
        case tkDrawPileRest: report.Kind = TMoveKind::TakePileRest; break;
        case tkUndoPile: report.Kind = TMoveKind::UndoTake; break;
        case tkMeld:
            if (!card) return "bad card";
            report = {TMoveKind::Meld, *card};
            break;
        case tkMeldWildCard: {
            const auto column = ColumnField(field(1));
            if (!card) return "bad card";
            if (!column) return "bad column";
            report = {TMoveKind::AddWild, *card, *column};
            break;
        }
        case tkUndo: {
            const auto column = ColumnField(field(0));
            const auto id = CardField(field(1));
            if (!column) return "bad column";
            if (!id) return "bad card";
            report = {TMoveKind::UndoMeld, *id, *column};
            break;
        }
        case tkDiscard:
            if (!card) return "bad card";
            report = {TMoveKind::Discard, *card};
            break;
        case tkDiscardRedThree:
            if (!card) return "bad card";
            if (!IsRedThreeId(*card)) return "not a red three";
            report = {TMoveKind::DiscardRedThree, *card};
            break;
        case tkPassDiscard: report.Kind = TMoveKind::Pass; break;
        case tkHandOver: report.Kind = TMoveKind::EndHand; break;
        default: return "not a move";
    }
    report.Seat = TSeat::Opponent;
    return PlayMove(G, TSeat::Opponent, MoveOfReport(G, TSeat::Opponent, report));
}

}  // namespace canasta
