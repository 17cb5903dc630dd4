// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/TableGeometry.h"

#include <algorithm>
#include <cmath>

namespace canasta {

namespace {

int Scaled(double value, double scale) { return static_cast<int>(std::lround(value * scale)); }

}  // namespace

TableLayout FitLayout(int width, int height) {
    width = std::max(width, kMinimumTableWidth);
    height = std::max(height, kMinimumTableHeight);
    const double sx = double(width) / kReferenceTableWidth;
    const double sy = double(height) / kReferenceTableHeight;
    // Cards keep their shape and grow with the tighter direction; the places
    // follow the height, so a tall table spreads its rows, a wide one its columns.
    const double s = std::min(sx, sy);
    TableLayout t;
    t.SizeIndex = 0;
    for (int i = kSizeCount - 1; i > 0; --i) {
        const TWindowSize& ws = WindowSizeOf(i);
        if (width >= ws.Width && height + 40 >= ws.Height) {
            t.SizeIndex = i;
            break;
        }
    }
    t.Scale = s;
    t.CardHeight = Scaled(65, s);
    t.CardWidth = Scaled(42, s);
    t.ColumnStep = std::max(8, Scaled(kColumnStep, s));
    t.TableLeft = std::max(3, Scaled(3, s));
    t.WindowWidth = width;
    t.WindowHeight = height;
    t.ColumnWidth = std::max(t.CardWidth + 2, (width - t.TableLeft) / kColumns);
    t.HandRowTop = Scaled(5, sy);
    t.CentreLine = Scaled(202, sy);
    // The piles and the first cards of the melds keep their few pixels from
    // the centre line at every size, as the four sizes always had them.
    t.StockTop = t.CentreLine - t.CardHeight - 2;
    t.DiscardTop = t.CentreLine + 2;
    t.PlayerMeldBase = t.CentreLine + 6 - t.ColumnStep;
    t.OpponentMeldBase = t.CentreLine - t.CardHeight - 3 + t.ColumnStep;
    t.PlayerHandBase = t.CentreLine + t.CardHeight + std::max(56, Scaled(56, sy));
    return t;
}

int PileCountPoints(const TableLayout& layout) {
    return std::max(8, static_cast<int>(std::lround(8 * std::min(layout.Scale, 2.5))));
}

int RowPitch(const TableLayout& layout, int cardSpacing) {
    return std::max(1, static_cast<int>(std::lround(cardSpacing * layout.Scale)));
}

}  // namespace canasta
