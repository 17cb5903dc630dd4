// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Relayout.h"

namespace canasta {

namespace {

// Maps a point of a column area from one geometry to the other, keeping the
// column and the number of 12-pixel steps from the area's base line.
struct AreaMap {
    const TableLayout& From;
    const TableLayout& To;
    int FromBase, ToBase;

    int X(int x) const { return To.ColumnX(From.ColumnOf(x)); }
    int Y(int y) const { return ToBase + (y - FromBase); }
    void Apply(TCardList& list) const {
        for (TCard& c : list) {
            c.X = X(c.X);
            c.Y = Y(c.Y);
        }
        for (int col = 0; col < kColumns; ++col) {
            TPoint& a = list.Anchors[static_cast<size_t>(col)];
            a.X = To.ColumnX(col);
            a.Y = Y(a.Y);
        }
    }
};

void PlacePile(TCardList& list, int x, int y) {
    for (TCard& c : list) {
        c.X = x;
        c.Y = y;
    }
}

}  // namespace

void CarryOverLayout(TGame& g, const TableLayout& from, const TableLayout& to) {
    const AreaMap hand{from, to, from.PlayerHandBase, to.PlayerHandBase};
    const AreaMap melds{from, to, from.PlayerMeldBase, to.PlayerMeldBase};
    const AreaMap opponent{from, to, from.OpponentMeldBase, to.OpponentMeldBase};
    hand.Apply(g.Seat(TSeat::Player).Hand);
    hand.Apply(g.SavedPlayerHand);
    melds.Apply(g.Seat(TSeat::Player).Melds);
    melds.Apply(g.SavedPlayerMelds);
    opponent.Apply(g.Seat(TSeat::Opponent).Melds);
    if (g.TakenTopCard.Id != 0) {
        g.TakenTopCard.X = melds.X(g.TakenTopCard.X);
        g.TakenTopCard.Y = melds.Y(g.TakenTopCard.Y);
    }
    PlacePile(g.Stock, to.TableLeft, to.StockTop);
    PlacePile(g.DiscardPile, to.TableLeft, to.DiscardTop);
    PlacePile(g.SavedDiscardPile, to.TableLeft, to.DiscardTop);
    for (int i = 0; i < g.Seat(TSeat::Opponent).Hand.Count; ++i) {
        TCard& c = g.Seat(TSeat::Opponent).Hand.Cards[static_cast<size_t>(i)];
        c.X = to.TableLeft + (c.X - from.TableLeft);
        c.Y = to.HandRowTop;
    }
}

}  // namespace canasta
