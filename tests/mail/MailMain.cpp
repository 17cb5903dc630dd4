// SPDX-License-Identifier: GPL-3.0-or-later
// One application object for the mail tests: timers, socket notifiers and
// posted events need an event loop, but no screen.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("CANASTA_HOME", home.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
