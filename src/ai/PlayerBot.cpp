// SPDX-License-Identifier: GPL-3.0-or-later
// The player seat's gestures and the driver of a bot: what each gesture does
// at the table, and how a bot's turn goes gesture by gesture, remembering the
// gestures that changed nothing. The strategies are in BotStrategies.cpp.
#include "ai/PlayerBot.h"

#include <algorithm>

namespace canasta {

namespace {

uint64_t Fingerprint(const TGame& g) {
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

}  // namespace

// ---------------------------------------------------------------------------

std::string DescribeGesture(const TGame& g, const TGesture& ge) {
    auto handCard = [&](int i) {
        return i >= 0 && i < g.Seat(TSeat::Player).Hand.Count
                   ? CardShortName(g.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)].Id)
                   : "#" + std::to_string(i);
    };
    std::string mods = std::string(ge.Shift ? " shift" : "") + (ge.Ctrl ? " ctrl" : "");
    switch (ge.Kind) {
        case TGestureKind::None: return "none";
        case TGestureKind::Draw: return "draw";
        case TGestureKind::TakePile: return "pile";
        case TGestureKind::MeldCard: return "meld " + handCard(ge.Index) + mods;
        case TGestureKind::AddWild: return "wild to column " + std::to_string(ge.Index) + mods;
        case TGestureKind::MeldWild: return "wild canasta" + mods;
        case TGestureKind::UndoMeld: return "undo";
        case TGestureKind::UndoAll: return "undo all";
        case TGestureKind::Discard: return "discard " + handCard(ge.Index);
        case TGestureKind::DiscardRedThree: return "discard red three #" + std::to_string(ge.Index);
        case TGestureKind::EndHand: return "end hand";
    }
    return "?";
}

bool IsPlayersMove(const TGame& g) {
    return !g.OpponentsTurn && g.TurnPhase != TTurnPhase::HandOver && !g.QuitRequested;
}

void ApplyGesture(TGame& g, const TGesture& ge) {
    if (!IsPlayersMove(g)) return;
    const int hand = g.Seat(TSeat::Player).Hand.Count;
    switch (ge.Kind) {
        case TGestureKind::None: return;
        case TGestureKind::Draw:
            // The stock is no target once it is empty.
            if (!g.StockExhausted) g.DrawClicked();
            return;
        case TGestureKind::TakePile: g.TakePile(); return;
        case TGestureKind::MeldCard:
        case TGestureKind::MeldWild: {
            if (ge.Kind == TGestureKind::MeldWild ||
                (ge.Index >= 0 && ge.Index < hand && IsWild(g.Seat(TSeat::Player).Hand.At(ge.Index)))) {
                g.MeldWildGesture(ge.Shift, ge.Ctrl);
            } else if (ge.Index >= 0 && ge.Index < hand) {
                g.MeldCardGesture(ge.Index, ge.Shift, ge.Ctrl);
            }
            return;
        }
        case TGestureKind::AddWild: {
            // Only a column with a card in it, outside the threes, can be clicked.
            if (ge.Index < 1 || ge.Index >= kColumns || ge.Index == kRankThree) return;
            if (CountInColumn(g.Seat(TSeat::Player).Melds, ge.Index) == 0) return;
            g.AddWildcardGesture(ge.Index, ge.Shift);
            return;
        }
        case TGestureKind::UndoMeld: g.UndoMeld(); return;
        case TGestureKind::UndoAll: g.UndoAll(); return;
        case TGestureKind::Discard:
            if (ge.Index >= 0 && ge.Index < hand) g.DiscardCard(ge.Index);
            return;
        case TGestureKind::DiscardRedThree:
            if (ge.Index >= 0 && ge.Index < g.Seat(TSeat::Player).Melds.Count &&
                g.Seat(TSeat::Player).Melds.Cards[static_cast<size_t>(ge.Index)].Column == kRankThree)
                g.DiscardRedThreeFromTable(ge.Index);
            return;
        case TGestureKind::EndHand:
            if (g.StockExhausted) g.EndHandClicked();
            return;
    }
}

// ---------------------------------------------------------------------------

uint64_t TPlayerBot::Key(const TGame& g) const { return uint64_t(g.HandNumber) << 32 | TurnsEnded; }

void TPlayerBot::NoteTurn(const TGame& g) {
    const uint64_t key = Key(g);
    if (key == TurnKey) return;
    TurnKey = key;
    Gestures = 0;
    RefusedGestures.clear();
    OnNewTurn();
}

bool TPlayerBot::Refused(const TGesture& ge) const {
    return std::find(RefusedGestures.begin(), RefusedGestures.end(), ge) != RefusedGestures.end();
}

bool TPlayerBot::AnyRefused(TGestureKind kind) const {
    return std::any_of(RefusedGestures.begin(), RefusedGestures.end(),
                       [kind](const TGesture& g) { return g.Kind == kind; });
}

TGesture TPlayerBot::Next(const TGame& g) {
    if (!IsPlayersMove(g)) return {};
    NoteTurn(g);
    return Choose(g);
}

void TPlayerBot::Apply(TGame& g, const TGesture& ge) {
    NoteTurn(g);
    const uint64_t before = Fingerprint(g);
    const bool undoesTake = ge.Kind == TGestureKind::TakePile && g.PileTakeUndoable;
    ApplyGesture(g, ge);
    ++Gestures;
    const bool changed = Fingerprint(g) != before;
    // The seat's turn is over after a move that changed something and ended
    // the hand or handed the turn on (a discard, a forced pass), unless the
    // move gave a provisional take back.
    if (changed && (g.TurnPhase == TTurnPhase::HandOver || (g.TurnStart && !g.HasDrawn && !undoesTake))) ++TurnsEnded;
    // A refusal is remembered only for the state it was refused in.
    if (!changed)
        RefusedGestures.push_back(ge);
    else
        RefusedGestures.clear();
}

TGesture TPlayerBot::Step(TGame& g) {
    const TGesture ge = Next(g);
    if (ge.Kind != TGestureKind::None) Apply(g, ge);
    return ge;
}

int TPlayerBot::PlayTurn(TGame& g, int maxGestures) {
    if (!IsPlayersMove(g)) return 0;
    const uint64_t key = Key(g);
    int n = 0;
    while (IsPlayersMove(g) && Key(g) == key) {
        if (n >= maxGestures) return -1;
        if (Step(g).Kind == TGestureKind::None) return -1;
        ++n;
    }
    return n;
}

}  // namespace canasta
