// SPDX-License-Identifier: GPL-3.0-or-later
// One Qt Core application for the connection tests (sockets and timers need
// an event loop, no screen).
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
