// SPDX-License-Identifier: GPL-3.0-or-later
// The Master thinks off the window's thread: a copy of the level plays the
// turn on a copy of the game, and the game's own turn then follows the
// decisions it took. Meanwhile the table paints and takes keys, and nothing
// that would change the game runs (the window counts as presenting).
#include "table/Thinking.h"

#include <QMetaObject>

#include "rules/Moves.h"

namespace canasta {

namespace {

uint64_t PositionOf(const TGame& g) {
    uint64_t h = StateFingerprint(g);
    for (int v : {static_cast<int>(g.HandNumber), g.Stock.Size(), g.DiscardPile.Size(),
                  g.Seat(TSeat::Opponent).Hand.Size(), static_cast<int>(g.OpponentsTurn)})
        h = h * 1099511628211ull + static_cast<uint64_t>(v);
    return h;
}

}  // namespace

bool TfmCanMain::StartThinking() {
    // Without time to show anything, the turn is played at once.
    if (PauseScale <= 0 || PaintSuppressed || Thought) return false;
    if (!Driver.HasPendingStep() || G.HandEndPending || !G.OpponentsTurn || G.Config.Networked) return false;
    const int level = G.Config.Level;
    if (level < 0 || level >= static_cast<int>(G.Levels.size())) return false;
    auto* master = dynamic_cast<TMaster*>(G.Levels[static_cast<size_t>(level)]);
    if (!master || master->HasPlan()) return false;

    auto thought = std::make_unique<TThought>();
    thought->Level = master;
    thought->Position = PositionOf(G);
    thought->Copy = std::make_unique<TGame>(thought->Host, G);
    thought->Copy->Levels = {};
    thought->Thinker = std::make_unique<TMaster>(*master);
    TThought* t = thought.get();
    const uint32_t serial = ++ThoughtSerial;
    Thought = std::move(thought);
    t->Worker = std::thread([this, t, serial] {
        try {
            t->Plan = t->Thinker->PlanTurn(*t->Copy, TSeat::Opponent);
            t->Planned = true;
        } catch (const std::exception&) {
            // The turn on the game itself meets the same trouble and reports it.
        }
        QMetaObject::invokeMethod(
            this, [this, serial] { ThinkingDone(serial); }, Qt::QueuedConnection);
    });
    return true;
}

void TfmCanMain::FinishThinking() {
    if (!Thought) return;
    std::unique_ptr<TThought> t = std::move(Thought);
    t->Worker.join();
    const bool sameLevel = G.Config.Level >= 0 && G.Config.Level < static_cast<int>(G.Levels.size()) &&
                           G.Levels[static_cast<size_t>(G.Config.Level)] == t->Level;
    if (t->Planned && sameLevel && PositionOf(G) == t->Position) t->Level->FollowPlan(std::move(t->Plan));
}

void TfmCanMain::ThinkingDone(uint32_t serial) {
    if (!Thought || serial != ThoughtSerial) return;
    FinishThinking();
    Advance();
}

}  // namespace canasta
