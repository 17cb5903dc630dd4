// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/TableLayout.h"

#include <cstring>
#include <string>

namespace canasta {

static const TWindowSize kSizes[kSizeCount] = {
    {640, 480, 42, 65, "640", "640x480"},
    {800, 600, 53, 81, "800", "800x600"},
    {1024, 768, 67, 104, "1024", "1024x768"},
    {1280, 1024, 67, 104, "1024", "1280x1024"},
};

const TWindowSize& WindowSizeOf(int sizeIndex) {
    if (sizeIndex < 0 || sizeIndex >= kSizeCount)
        throw InternalError("window size index " + std::to_string(sizeIndex) + " out of range");
    return kSizes[sizeIndex];
}

int SizeIndexOfName(const char* name) {
    for (int i = 0; i < kSizeCount; ++i)
        if (std::strcmp(kSizes[i].Name, name) == 0) return i;
    return -1;
}

TableLayout ComputeLayout(int sizeIndex, int clientWidth) {
    const TWindowSize& s = WindowSizeOf(sizeIndex);
    TableLayout t;
    t.SizeIndex = sizeIndex;
    t.TableLeft = 3;
    t.CardWidth = s.CardWidth;
    t.CardHeight = s.CardHeight;
    t.WindowWidth = s.Width;
    t.WindowHeight = s.Height;
    if (clientWidth < 0) clientWidth = s.Width;
    t.ColumnWidth = (clientWidth - kColumns * s.CardWidth) / kColumns + s.CardWidth;
    t.CentreLine = s.Height / 2 - 38;
    t.StockTop = t.CentreLine - s.CardHeight - 2;
    t.DiscardTop = t.CentreLine + 2;
    t.PlayerMeldBase = t.CentreLine - 6;
    t.PlayerHandBase = t.CentreLine + s.CardHeight + 56;
    t.OpponentMeldBase = t.CentreLine - s.CardHeight + 9;
    t.HandRowTop = 5;
    return t;
}

int TableLayout::BaseOf(TArea area) const {
    switch (area) {
        case TArea::PlayerHand: return PlayerHandBase;
        case TArea::PlayerMelds: return PlayerMeldBase;
        case TArea::OpponentMelds: return OpponentMeldBase;
        case TArea::Stock: return StockTop;
        case TArea::DiscardPile: return DiscardTop;
        case TArea::OpponentHand: return HandRowTop;
    }
    throw InternalError("BaseOf: unknown card area");
}

TPoint TableLayout::PointOf(const TCardPlace& place, int cardSpacing) const {
    switch (place.Area) {
        case TArea::Stock:
        case TArea::DiscardPile: return {TableLeft, BaseOf(place.Area)};
        case TArea::OpponentHand: return {TableLeft + place.Slot * cardSpacing, HandRowTop};
        case TArea::PlayerHand:
        case TArea::PlayerMelds:
        case TArea::OpponentMelds: return {ColumnX(place.Column), DepthY(place.Area, place.Depth)};
    }
    throw InternalError("PointOf: unknown card area");
}

}  // namespace canasta
