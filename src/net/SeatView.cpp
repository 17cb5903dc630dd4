// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/SeatView.h"

#include <utility>

namespace canasta {

TOpponentView::TOpponentView(const TGame& g, bool topCardPending) {
    TGameConfig config = g.Config;
    // The seat is judged by the rules its player plays by.
    View = std::make_unique<TGame>(Host, g.OpponentSeatRules(), g.Layout, config);
    TGame& v = *View;
    static_cast<TGameState&>(v) = g.State();
    std::swap(v.Seat(TSeat::Player).Hand, v.Seat(TSeat::Opponent).Hand);
    std::swap(v.Seat(TSeat::Player).Melds, v.Seat(TSeat::Opponent).Melds);
    std::swap(v.Seat(TSeat::Player).MeldState, v.Seat(TSeat::Opponent).MeldState);
    std::swap(v.Seat(TSeat::Player).Score, v.Seat(TSeat::Opponent).Score);
    v.Seat(TSeat::Player).PickedUp = {};
    v.UndoStack.clear();
    v.OpponentsTurn = false;
    v.TopCardPending = v.PileTakeUndoable = topCardPending;
    v.GoingOutWithThrees = false;
    v.Seat(TSeat::Player).MinimumMeld = MinimumInitialMeld(v.Seat(TSeat::Player).Score);
    v.HandNumber = g.HandNumber;
}

TOpponentView::~TOpponentView() = default;

}  // namespace canasta
