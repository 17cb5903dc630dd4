// SPDX-License-Identifier: GPL-3.0-or-later
// The release version as the player sees it, from the one project version, in
// the window title and the About box; the About box also names the licence.
#include "TableFixture.h"

namespace canasta::test {

TEST_F(TableWindowTest, TitleAndAboutBoxShowTheReleaseAndTheLicence) {
    TfmCanMain& w = Open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Canasta 4.13"));

    w.AboutAction()->trigger();
    ASSERT_EQ(CountSeen(QStringLiteral("QMessageBox")), 1);
    const TSeenDialog& about = Seen.back();
    EXPECT_EQ(about.Title, QStringLiteral("About Canasta"));
    EXPECT_TRUE(about.Text.startsWith(QStringLiteral("<b>Canasta</b><br>Version 4.13<br><br>Two-handed Canasta")))
        << about.Text.toStdString();
    EXPECT_TRUE(
        about.Text.contains(QStringLiteral("GNU General Public License, version 3 or later (GPL-3.0-or-later)")))
        << about.Text.toStdString();
}

}  // namespace canasta::test
