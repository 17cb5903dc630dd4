// SPDX-License-Identifier: GPL-3.0-or-later
// The driver of a bot: how a bot's turn goes move by move, remembering the
// moves that changed nothing. The moves themselves are in rules/Moves.cpp,
// the strategies in BotStrategies.cpp.
#include "ai/PlayerBot.h"

#include <algorithm>

namespace canasta {

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

bool TPlayerBot::Refused(const TMove& ge) const {
    return std::find(RefusedGestures.begin(), RefusedGestures.end(), ge) != RefusedGestures.end();
}

bool TPlayerBot::AnyRefused(TMoveType kind) const {
    return std::any_of(RefusedGestures.begin(), RefusedGestures.end(),
                       [kind](const TMove& g) { return g.Kind == kind; });
}

TMove TPlayerBot::Next(const TGame& g) {
    if (!IsPlayersMove(g)) return {};
    NoteTurn(g);
    return Choose(g);
}

void TPlayerBot::Apply(TGame& g, const TMove& ge) {
    NoteTurn(g);
    const uint64_t before = StateFingerprint(g);
    const bool undoesTake = ge.Kind == TMoveType::TakePile && g.PileTakeUndoable;
    ApplyMove(g, ge);
    ++Gestures;
    const bool changed = StateFingerprint(g) != before;
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

TMove TPlayerBot::Step(TGame& g) {
    const TMove ge = Next(g);
    if (ge.Kind != TMoveType::None) Apply(g, ge);
    return ge;
}

int TPlayerBot::PlayTurn(TGame& g, int maxGestures) {
    if (!IsPlayersMove(g)) return 0;
    const uint64_t key = Key(g);
    int n = 0;
    while (IsPlayersMove(g) && Key(g) == key) {
        if (n >= maxGestures) return -1;
        if (Step(g).Kind == TMoveType::None) return -1;
        ++n;
    }
    return n;
}

}  // namespace canasta
