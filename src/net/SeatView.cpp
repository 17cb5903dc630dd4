// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/SeatView.h"

#include <utility>

namespace canasta {

TOpponentView::TOpponentView(const TGame& g, bool topCardPending) {
    TGameConfig config = g.Config;
    // The seat is judged by the rules its player plays by.
    View = std::make_unique<TGame>(Host, g.OpponentSeatRules(), config);
    TGame& v = *View;
    static_cast<TGameState&>(v) = g.State();
    std::swap(v.PlayerHand, v.OpponentHand);
    std::swap(v.PlayerMelds, v.OpponentMelds);
    std::swap(v.PlayerMeldState, v.OpponentMeldState);
    std::swap(v.PlayerScore, v.OpponentScore);
    v.PickedUpCards = {};
    v.UndoStack.clear();
    v.OpponentsTurn = false;
    v.TopCardPending = v.PileTakeUndoable = topCardPending;
    v.GoingOutWithThrees = false;
    v.PlayerMinimumMeld = MinimumInitialMeld(v.PlayerScore);
    v.HandNumber = g.HandNumber;
}

TOpponentView::~TOpponentView() = default;

}  // namespace canasta
