// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Moves.h"

#include <algorithm>

namespace canasta {

uint64_t StateFingerprint(const TGame& g) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t x) {
        h ^= x;
        h *= 1099511628211ull;
    };
    mix(g.HandNumber);
    mix(static_cast<uint64_t>(g.TurnPhase));
    mix(uint64_t(g.OpponentsTurn) | uint64_t(g.TurnStart) << 1 | uint64_t(g.HasDrawn) << 2 |
        uint64_t(g.PileFrozen) << 3 | uint64_t(g.TopCardPending) << 4 | uint64_t(g.PileTakeUndoable) << 5 |
        uint64_t(g.GoingOutWithThrees) << 6 | uint64_t(g.StockExhausted) << 7 | uint64_t(g.EndHandRequested) << 8 |
        uint64_t(g.QuitRequested) << 9);
    mix(g.DrawsThisTurn);
    mix(g.Stock.Count);
    mix(g.DiscardPile.Count);
    mix(g.Seat(TSeat::Opponent).Hand.Count);
    mix(g.Seat(TSeat::Opponent).Melds.Count);
    mix(g.UndoStack.size());
    mix(static_cast<uint32_t>(g.Seat(TSeat::Player).Score));
    for (const TCard& c : g.Seat(TSeat::Player).Hand)
        mix(uint64_t(c.Id) << 16 | uint64_t(c.Column) << 8 | uint8_t(c.Depth));
    for (const TCard& c : g.Seat(TSeat::Player).Melds)
        mix(uint64_t(c.Id) << 16 | uint64_t(c.Column) << 8 | uint8_t(c.Depth));
    return h;
}

std::string DescribeMove(const TGame& g, const TMove& ge) {
    auto handCard = [&](int i) {
        return i >= 0 && i < g.Seat(TSeat::Player).Hand.Count
                   ? CardShortName(g.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)].Id)
                   : "#" + std::to_string(i);
    };
    std::string mods = std::string(ge.Shift ? " shift" : "") + (ge.Ctrl ? " ctrl" : "");
    switch (ge.Kind) {
        case TMoveType::None: return "none";
        case TMoveType::Draw: return "draw";
        case TMoveType::TakePile: return "pile";
        case TMoveType::MeldCard: return "meld " + handCard(ge.Index) + mods;
        case TMoveType::AddWild: return "wild to column " + std::to_string(ge.Index) + mods;
        case TMoveType::MeldWild: return "wild canasta" + mods;
        case TMoveType::UndoMeld: return "undo";
        case TMoveType::UndoAll: return "undo all";
        case TMoveType::Discard: return "discard " + handCard(ge.Index);
        case TMoveType::DiscardRedThree: return "discard red three #" + std::to_string(ge.Index);
        case TMoveType::EndHand: return "end hand";
        case TMoveType::TakePileRest: return "rest of the pile";
        case TMoveType::UndoTake: return "give the pile back";
        case TMoveType::Pass: return "pass";
    }
    return "?";
}

bool IsPlayersMove(const TGame& g) {
    return !g.OpponentsTurn && g.TurnPhase != TTurnPhase::HandOver && !g.QuitRequested;
}

void ApplyMove(TGame& g, const TMove& ge) {
    if (!IsPlayersMove(g)) return;
    const int hand = g.Seat(TSeat::Player).Hand.Count;
    switch (ge.Kind) {
        case TMoveType::None: return;
        case TMoveType::Draw:
            // The stock is no target once it is empty.
            if (!g.StockExhausted) g.DrawClicked();
            return;
        case TMoveType::TakePile: g.TakePile(); return;
        case TMoveType::MeldCard:
        case TMoveType::MeldWild: {
            if (ge.Kind == TMoveType::MeldWild ||
                (ge.Index >= 0 && ge.Index < hand && IsWild(g.Seat(TSeat::Player).Hand.At(ge.Index)))) {
                g.MeldWildGesture(ge.Shift, ge.Ctrl);
            } else if (ge.Index >= 0 && ge.Index < hand) {
                g.MeldCardGesture(ge.Index, ge.Shift, ge.Ctrl);
            }
            return;
        }
        case TMoveType::AddWild: {
            // Only a column with a card in it, outside the threes, can be clicked.
            if (ge.Index < 1 || ge.Index >= kColumns || ge.Index == kRankThree) return;
            if (CountInColumn(g.Seat(TSeat::Player).Melds, ge.Index) == 0) return;
            g.AddWildcardGesture(ge.Index, ge.Shift);
            return;
        }
        case TMoveType::UndoMeld: g.UndoMeld(); return;
        case TMoveType::UndoAll: g.UndoAll(); return;
        case TMoveType::Discard:
            if (ge.Index >= 0 && ge.Index < hand) g.DiscardCard(ge.Index);
            return;
        case TMoveType::DiscardRedThree:
            if (ge.Index >= 0 && ge.Index < g.Seat(TSeat::Player).Melds.Count &&
                g.Seat(TSeat::Player).Melds.Cards[static_cast<size_t>(ge.Index)].Column == kRankThree)
                g.DiscardRedThreeFromTable(ge.Index);
            return;
        case TMoveType::EndHand:
            if (g.StockExhausted) g.EndHandClicked();
            return;
        case TMoveType::UndoTake:
            // A click on the pile gives a provisional take back.
            if (g.PileTakeUndoable) g.TakePile();
            return;
        // The game completes a take and passes for the player by itself.
        case TMoveType::TakePileRest:
        case TMoveType::Pass: return;
    }
}

namespace {

// Records the refusal a move met, and nothing else.
class TTrialHost : public THeadlessHost {
public:
    std::string Refusal;
    void ShowStatusError(const std::string& text) override { Refusal = text; }
};

}  // namespace

TMove MoveOfReport(const TGame& game, TSeat seat, const TMoveReport& r) {
    const TSeatState& s = game.Seat(seat);
    // The last of two twins, as the seat that made the move picks it.
    auto inHand = [&s](int id) {
        const int at = FindLastById(s.Hand, id);
        return at < 0 ? s.Hand.Count : at;
    };
    TMove m;
    switch (r.Kind) {
        case TMoveKind::NewGame:
        case TMoveKind::Deal: break;
        case TMoveKind::Draw: m.Kind = TMoveType::Draw; break;
        case TMoveKind::TakePileTop: m.Kind = TMoveType::TakePile; break;
        case TMoveKind::TakePileRest: m.Kind = TMoveType::TakePileRest; break;
        case TMoveKind::UndoTake: m.Kind = TMoveType::UndoTake; break;
        case TMoveKind::Meld: m = {TMoveType::MeldCard, inHand(r.CardId)}; break;
        case TMoveKind::AddWild:
            m = {TMoveType::AddWild, r.Column};
            m.Card = inHand(r.CardId);
            break;
        case TMoveKind::UndoMeld:
            // The card in the column named: a twin elsewhere on the table (a
            // joker in another meld) stays where it is.
            m.Kind = TMoveType::UndoMeld;
            m.Card = s.Melds.Count;
            for (int i = s.Melds.Count - 1; i >= 0; --i)
                if (s.Melds.At(i).Id == r.CardId && s.Melds.At(i).Column == r.Column) {
                    m.Card = i;
                    break;
                }
            break;
        case TMoveKind::Discard: m = {TMoveType::Discard, inHand(r.CardId)}; break;
        case TMoveKind::DiscardRedThree: {
            const int at = FindLastById(s.Melds, r.CardId);
            m = {TMoveType::DiscardRedThree, at < 0 ? s.Melds.Count : at};
            break;
        }
        case TMoveKind::Pass: m.Kind = TMoveType::Pass; break;
        case TMoveKind::EndHand: m.Kind = TMoveType::EndHand; break;
    }
    return m;
}

std::string PlayMove(TGame& game, TSeat seat, const TMove& move) {
    if (seat == TSeat::Opponent) return PlayOpponentMove(game, move);
    if (!IsPlayersMove(game)) return "it is not the player's turn";
    const uint64_t before = StateFingerprint(game);
    game.LastRefusal = TRefusal::None;
    ApplyMove(game, move);
    if (StateFingerprint(game) != before) return {};
    if (game.LastRefusal != TRefusal::None) return StatusErrorText(game.LastRefusal, game.ValidationMessage);
    return "the move changes nothing";
}

TLegality IsLegal(const TGame& game, TSeat seat, const TMove& move) {
    TLegality result;
    if (move.Kind == TMoveType::None) return result;
    TTrialHost host;
    TGame trial(host, game);
    if (seat == TSeat::Opponent) {
        result.Why = PlayOpponentMove(trial, move);
        result.Legal = result.Why.empty();
        return result;
    }
    if (!IsPlayersMove(game)) return result;
    trial.LastRefusal = TRefusal::None;
    const uint64_t before = StateFingerprint(trial);
    ApplyMove(trial, move);
    result.Legal = StateFingerprint(trial) != before;
    if (!result.Legal) {
        result.Reason = trial.LastRefusal;
        result.Why = host.Refusal;
    }
    return result;
}

namespace {

// The opponent seat's candidates: one wild card of each kind held to each
// column, melds and discards by hand position, the last meld back.
std::vector<TMove> OpponentCandidates(const TGame& game) {
    const TSeatState& me = game.Seat(TSeat::Opponent);
    std::vector<TMove> c = {{TMoveType::Draw}, {TMoveType::TakePile}, {TMoveType::TakePileRest}, {TMoveType::UndoTake}};
    for (int i = 0; i < me.Hand.Count; ++i)
        if (!IsWild(me.Hand.At(i))) c.push_back({TMoveType::MeldCard, i});
    const int joker = FindFirstById(me.Hand, kJokerId);
    int two = -1;
    for (int i = 0; i < me.Hand.Count && two < 0; ++i)
        if (me.Hand.At(i).Rank == kRankTwo) two = i;
    for (int column = 1; column < kColumns; ++column)
        for (int wild : {joker, two})
            if (wild >= 0) {
                TMove m{TMoveType::AddWild, column};
                m.Card = wild;
                c.push_back(m);
            }
    c.push_back({TMoveType::UndoMeld});
    for (int i = 0; i < me.Hand.Count; ++i) c.push_back({TMoveType::Discard, i});
    for (int i = 0; i < me.Melds.Count; ++i)
        if (IsRedThree(me.Melds.At(i))) c.push_back({TMoveType::DiscardRedThree, i});
    c.push_back({TMoveType::Pass});
    c.push_back({TMoveType::EndHand});
    return c;
}

}  // namespace

std::vector<TMove> LegalMoves(const TGame& game, TSeat seat) {
    std::vector<TMove> candidates, legal;
    if (seat == TSeat::Opponent) {
        for (const TMove& m : OpponentCandidates(game))
            if (IsLegal(game, seat, m).Legal) legal.push_back(m);
        return legal;
    }
    if (!IsPlayersMove(game)) return legal;
    const TSeatState& me = game.Seat(TSeat::Player);
    candidates.push_back({TMoveType::Draw});
    candidates.push_back({TMoveType::TakePile});
    for (int i = 0; i < me.Hand.Count; ++i) {
        const bool wild = IsWild(me.Hand.Cards[static_cast<size_t>(i)]);
        candidates.push_back({wild ? TMoveType::MeldWild : TMoveType::MeldCard, i});
    }
    for (int c = 1; c < kColumns; ++c) candidates.push_back({TMoveType::AddWild, c});
    candidates.push_back({TMoveType::UndoMeld});
    for (int i = 0; i < me.Hand.Count; ++i) candidates.push_back({TMoveType::Discard, i});
    for (int i = 0; i < me.Melds.Count; ++i)
        if (IsRedThree(me.Melds.Cards[static_cast<size_t>(i)])) candidates.push_back({TMoveType::DiscardRedThree, i});
    candidates.push_back({TMoveType::EndHand});
    for (const TMove& m : candidates) {
        // One wild card meld stands for all: they differ only in which card was clicked.
        if (m.Kind == TMoveType::MeldWild && std::find_if(legal.begin(), legal.end(), [](const TMove& l) {
                                                 return l.Kind == TMoveType::MeldWild;
                                             }) != legal.end())
            continue;
        if (IsLegal(game, seat, m).Legal) legal.push_back(m);
    }
    return legal;
}

}  // namespace canasta
