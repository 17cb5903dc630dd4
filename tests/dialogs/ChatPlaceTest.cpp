// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QRect>

#include "dialogs/Chat.h"

using namespace canasta;

namespace {

bool Overlaps(const QRect& a, const QRect& b) { return a.intersects(b); }

}  // namespace

// The chat opens beside the table when the screen has room, and never over
// the table's menu or the opponent's hand along its top.
TEST(ChatPlace, BesideTheTableElseOverItsLowerRight) {
    const QSize chat(429 + 10, 108 + 30);
    const QRect screen(0, 0, 1600, 1200);

    const QRect small(0, 0, 640, 480);
    const QPoint right = DefaultChatPlace(small, chat, screen);
    EXPECT_EQ(right, QPoint(648, 0));

    // A table against the right edge: the chat goes to its left.
    const QRect atRight(1600 - 800, 100, 800, 600);
    const QPoint left = DefaultChatPlace(atRight, chat, screen);
    EXPECT_EQ(left, QPoint(800 - 8 - chat.width(), 100));

    // A table as wide as the screen: below it.
    const QRect wide(0, 0, 1600, 900);
    EXPECT_EQ(DefaultChatPlace(wide, chat, screen), QPoint(0, 908));

    // A table filling the screen: over its lower right corner, clear of the
    // top strip where the menu and the opponent's hand are.
    const QRect full(0, 0, 1600, 1200);
    const QRect inside(DefaultChatPlace(full, chat, screen), chat);
    EXPECT_TRUE(screen.contains(inside));
    EXPECT_FALSE(Overlaps(inside, QRect(0, 0, 1600, 200)));

    // Whatever the case, the chat stays on the screen.
    for (const QRect& table : {small, atRight, wide, full, QRect(900, 1000, 640, 480)}) {
        const QRect placed(DefaultChatPlace(table, chat, screen), chat);
        EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();
    }
}
