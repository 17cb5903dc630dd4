// SPDX-License-Identifier: GPL-3.0-or-later
// The Rules, card-back and result windows, and the start-up values.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "dialogs/Deck.h"
#include "dialogs/Modal.h"
#include "dialogs/Pattern.h"
#include "dialogs/Results.h"
#include "dialogs/Rules.h"
#include "table/CanMain.h"

using namespace canasta;

TEST(RulesDialog, OpensFromTheOptionsInMemoryWithItsInterlocks) {
    TMemorySettings store;
    TRuleOptions o;
    o.InitiallyFrozen = false;
    o.NaturalPair = true;
    TfmRules d(&store, o, false, 0, nullptr);
    EXPECT_FALSE(d.ckFrozenPerPlayer->isEnabled());
    EXPECT_TRUE(d.ckPairForExistingMeld->isEnabled());
    EXPECT_TRUE(d.lbWarning->isHidden());
    d.ckInitiallyFrozen->click();
    EXPECT_TRUE(d.ckFrozenPerPlayer->isEnabled());
    d.ckNaturalPair->click();
    EXPECT_FALSE(d.ckPairForExistingMeld->isEnabled());
}

TEST(RulesDialog, CanastaRequiredCaptionFollowsTheNumberOfCanastas) {
    TMemorySettings store;
    TfmRules d(&store, TRuleOptions{}, false, 2, nullptr);
    EXPECT_EQ(d.ckCanastaRequired->text(), "At least one Canasta required for positive score");
    d.rbCanastasTwo->click();
    EXPECT_EQ(d.ckCanastaRequired->text(), "At least two Canastas required for positive score");
    d.rbCanastasOne->click();
    EXPECT_EQ(d.ckCanastaRequired->text(), "At least one Canasta required for positive score");
}

TEST(RulesDialog, StandardPresetSetsTheControlsAndOkWritesAllThirteen) {
    TMemorySettings store;
    TfmRules d(&store, TRuleOptions{}, false, 3, nullptr);
    EXPECT_EQ(d.Page(), 3);
    d.bnStandard->click();
    EXPECT_EQ(d.Options(), StandardRules());
    EXPECT_EQ(LoadRuleOptions(&store), TRuleOptions{}) << "nothing is written before OK";
    d.bnOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(LoadRuleOptions(&store), StandardRules());
    EXPECT_EQ(std::get<int32_t>(store.ReadValue("Settings\\Number of Canastas", std::monostate{})), 2);
}

TEST(RulesDialog, CancelWritesNothing) {
    TMemorySettings store;
    TfmRules d(&store, TRuleOptions{}, false, 0, nullptr);
    d.ckAddToCanasta->click();
    d.bnCancel->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_TRUE(store.ListNames("Settings").empty());
}

TEST(RulesDialog, GameInProgressLocksEverything) {
    TMemorySettings store;
    TfmRules d(&store, TRuleOptions{}, true, 0, nullptr);
    EXPECT_FALSE(d.lbWarning->isHidden());
    for (QWidget* w : std::initializer_list<QWidget*>{
             d.ckAddToCanasta, d.ckTopCardCounts, d.ckInitiallyFrozen, d.ckFrozenPerPlayer, d.ckNaturalPair,
             d.ckPairForExistingMeld, d.ckDrawExtra, d.ckThreeFreezes, d.ckCanastaRequired, d.ckBonusCounts,
             d.ckWildCanasta, d.rgCanastas, d.rgCards, d.bnStandard})
        EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
    EXPECT_TRUE(d.bnOK->isEnabled());
}

TEST(PatternPicker, LeftClickSelectsTheThumbnailUnderThePointer) {
    TfmPattern d(0, nullptr);
    const QRect shell = TPatternGrid::ThumbRect(9);
    EXPECT_EQ(shell.topLeft(), QPoint(5 + 4 * 58, 5 + 86)) << "second row, last place";
    QTest::mouseClick(d.Grid, Qt::RightButton, {}, shell.center());
    EXPECT_EQ(d.Selected(), 0) << "other buttons are ignored";
    QTest::mouseClick(d.Grid, Qt::LeftButton, {}, shell.center());
    EXPECT_EQ(d.Selected(), 9);
    QTest::mouseClick(d.Grid, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(d.Selected(), 9) << "a click between thumbnails keeps the selection";
    QTest::keyClick(d.Grid, Qt::Key_Up);
    EXPECT_EQ(d.Selected(), 4);
    QTest::keyClick(d.Grid, Qt::Key_Home);
    EXPECT_EQ(d.Selected(), 0);
}

class DeckDialogTest : public ::testing::Test {
protected:
    void TearDown() override { SetModalHandler({}); }
    TMemorySettings Store;
    int Applied = 0;
    std::array<TBackSetting, 2> Last{};
    TfmDeck::TApply Apply = [this](const TBackSetting& a, const TBackSetting& b) {
        ++Applied;
        Last = {a, b};
    };
};

TEST_F(DeckDialogTest, ReadsWithItsOwnDefaults) {
    TfmDeck d(&Store, Apply);
    EXPECT_EQ(d.Back(0).Type, kBackSolid);
    EXPECT_EQ(d.Back(0).Color, 128u);
    EXPECT_EQ(d.Back(1).Color, 128u);
    EXPECT_EQ(d.Back(0).Pattern, 1);
    EXPECT_TRUE(d.rbDeckOne->isChecked());
    EXPECT_TRUE(d.rbSolid->isChecked());
    EXPECT_FALSE(d.bnApply->isEnabled());
    EXPECT_FALSE(d.Preview().isNull());
}

TEST_F(DeckDialogTest, ApplyWritesTheTypeAndOnlyTheValueItUses) {
    TfmDeck d(&Store, Apply);
    d.rbDeckTwo->click();
    EXPECT_TRUE(d.bnApply->isEnabled());
    d.rbPattern->click();
    EXPECT_EQ(d.Back(1).Type, kBackPattern);
    SetModalHandler([](QDialog& dialog) {
        auto* picker = qobject_cast<TfmPattern*>(&dialog);
        if (!picker) return int(QDialog::Rejected);
        picker->Grid->Select(9);
        return int(QDialog::Accepted);
    });
    d.bnChange->click();
    EXPECT_EQ(d.Back(1).Pattern, 9);
    d.bnApply->click();
    EXPECT_EQ(Applied, 1);
    EXPECT_EQ(Last[1].Pattern, 9);
    EXPECT_FALSE(d.bnApply->isEnabled());
    EXPECT_EQ(std::get<int32_t>(Store.ReadValue("Cardback\\Type1", std::monostate{})), kBackPattern);
    EXPECT_EQ(std::get<int32_t>(Store.ReadValue("Cardback\\Pattern1", std::monostate{})), 9);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Store.ReadValue("Cardback\\Color1", std::monostate{})));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Store.ReadValue("Cardback\\Filename1", std::monostate{})));
    // Cancel afterwards keeps what Apply stored.
    d.bnCancel->click();
    EXPECT_EQ(ReadDialogBack(&Store, 1).Pattern, 9);
}

TEST_F(DeckDialogTest, ColourChangeAndMissingFileBack) {
    TfmDeck d(&Store, Apply);
    SetModalHandler([](QDialog& dialog) {
        auto* colours = qobject_cast<QColorDialog*>(&dialog);
        if (!colours) return int(QDialog::Rejected);
        colours->setCurrentColor(QColor(0, 0, 255));
        colours->accept();
        return colours->result();
    });
    d.bnChange->click();
    EXPECT_EQ(d.Back(0).Color, 0xFF0000u) << "stored as 0x00BBGGRR";

    Store.WriteValue("Cardback\\Type0", int32_t(kBackFile));
    Store.WriteValue("Cardback\\Filename0", std::string("/nonexistent/back.bmp"));
    TfmDeck e(&Store, Apply);
    EXPECT_TRUE(e.rbFile->isChecked());
    EXPECT_TRUE(e.Preview().isNull()) << "an unreadable file leaves the preview empty";
}

TEST(ResultWindows, ScoringResultsAndDetails) {
    THandResult r;
    r.Player.Total = 1230;
    r.Player.TableValue = 430;
    r.Player.TableCount = 17;
    r.Player.CanastaCount = 1;
    r.Player.CanastaValue = 500;
    r.Player.FinishBonus = 100;
    r.Opponent.Total = -85;
    r.PlayerName = "Player";
    r.OpponentName = "Computer";
    r.Difference = 1315;
    int details = 0;
    TfmScore score(r, [&] { ++details; });
    EXPECT_EQ(score.windowTitle(), "Scoring Results");
    EXPECT_EQ(score.lbOpponentCaption->text(), "Computer's Score:");
    EXPECT_EQ(score.lbDifference->text(), "1315");
    EXPECT_EQ(score.bnDetails->text(), "&Details >>");
    score.bnDetails->click();
    EXPECT_EQ(details, 1);

    TfmDetails d(r);
    EXPECT_EQ(d.BlockTitle(1), "Computer");
    EXPECT_EQ(d.Cell(0, 0, 0), "17");
    EXPECT_EQ(d.Cell(0, 0, 1), "430");
    EXPECT_EQ(d.Cell(0, 2, 1), "500");
    EXPECT_EQ(d.Cell(0, 4, 0), "") << "the finish bonus has a value only";
    EXPECT_EQ(d.Cell(0, 4, 1), "100");
    EXPECT_EQ(d.Cell(1, 5, 1), "-85");
}

TEST(ResultWindows, GameOverAsksInALocalGameOnly) {
    TMatchResult m;
    m.PlayerScore = 5000;
    m.OpponentScore = 4400;
    m.Difference = 600;
    m.Comment = "Congratulations Player! You beat the computer.";
    m.OpponentName = "Computer";
    TfmGameOver local(m, false);
    EXPECT_EQ(local.windowTitle(), "Canasta");
    EXPECT_EQ(local.lbQuestion->text(), "Do you want to play another game?");
    EXPECT_EQ(local.lbOpponentCaption->text(), "Computer's score:");
    local.bnNo->click();
    EXPECT_EQ(local.result(), TfmGameOver::No);
    TfmGameOver again(m, false);
    again.bnYes->click();
    EXPECT_EQ(again.result(), QDialog::Accepted);
    TfmGameOver net(m, true);
    EXPECT_EQ(net.lbQuestion->text(), "Press OK to continue.");
    EXPECT_EQ(net.bnNo, nullptr);
}

TEST(StartUp, ResolutionValue) {
    TResolution r = ParseResolution("0,0,640x480", 1, 800, 600);
    EXPECT_EQ(r.SizeIndex, 0);
    r = ParseResolution("10,20,800x600", 1, 800, 600);
    EXPECT_EQ(r.Left, 10);
    EXPECT_EQ(r.Top, 20);
    EXPECT_EQ(r.SizeIndex, 1);
    // A size above the screen's class is lowered to it.
    r = ParseResolution("0,0,1024x768", 1, 800, 600);
    EXPECT_EQ(r.SizeIndex, 1);
    // Positions outside the class's window size become 0.
    r = ParseResolution("-5,700,800x600", 1, 800, 600);
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Top, 0);
    r = ParseResolution("801,600,800x600", 1, 800, 600);
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Top, 600);
    // Unknown or missing size names are 640 x 480.
    EXPECT_EQ(ParseResolution("0,0,1600x1200", 3, 1280, 1024).SizeIndex, 0);
    EXPECT_EQ(ParseResolution("garbage", 3, 1280, 1024).SizeIndex, 0);
    // Wide screens keep the whole window on the screen.
    r = ParseResolution("700,100,1280x1024", 4, 1920, 1200);
    EXPECT_EQ(r.SizeIndex, 3);
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Top, 100);
}
