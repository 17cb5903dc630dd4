// The release version as the player sees it: the window title and the About
// box, both from the one project version.
#include "TableFixture.h"

namespace canasta::test {

TEST_F(TableWindowTest, TitleAndAboutBoxShowTheRelease) {
    TfmCanMain& w = Open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Canasta 4.13"));

    w.AboutAction()->trigger();
    ASSERT_EQ(CountSeen(QStringLiteral("QMessageBox")), 1);
    const TSeenDialog& about = Seen.back();
    EXPECT_EQ(about.Title, QStringLiteral("About Canasta"));
    EXPECT_TRUE(about.Text.startsWith(QStringLiteral("<b>Canasta</b><br>Version 4.13<br><br>Two-handed Canasta")))
        << about.Text.toStdString();
}

}  // namespace canasta::test
