// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>

#include <deque>

#include "dialogs/Modal.h"
#include "dialogs/PlayerDialogs.h"
#include "store/SettingsCatalog.h"

using namespace canasta;

namespace {

// Answers the modal windows in order: text for input boxes, Yes/No for questions.
struct Answers {
    std::deque<QString> Texts;
    std::deque<bool> YesNo;
    QStringList Seen;
    Answers() {
        SetModalHandler([this](QDialog& d) -> int {
            Seen << d.windowTitle();
            if (auto* input = qobject_cast<QInputDialog*>(&d)) {
                if (Texts.empty()) return QDialog::Rejected;
                input->setTextValue(Texts.front());
                Texts.pop_front();
                return QDialog::Accepted;
            }
            if (auto* box = qobject_cast<QMessageBox*>(&d)) {
                Seen << box->text();
                if (box->standardButtons() & QMessageBox::Yes) {
                    bool yes = YesNo.empty() ? true : YesNo.front();
                    if (!YesNo.empty()) YesNo.pop_front();
                    return yes ? QMessageBox::Yes : QMessageBox::No;
                }
                return QMessageBox::Ok;
            }
            return QDialog::Accepted;
        });
    }
    ~Answers() { SetModalHandler({}); }
};

TfmCustomize::TContext Context(TMemorySettings& store) {
    TfmCustomize::TContext c;
    c.Store = &store;
    return c;
}

}  // namespace

TEST(Customize, PlayersAreListedByNameAndTheCurrentOneIsStoredFirst) {
    Answers a;
    TMemorySettings store;
    TPreferences prefs;
    TPlayers players;
    TfmCustomize dlg(prefs, players, Context(store));
    a.Texts = {"Zoe", "Adam"};
    dlg.bnNewClick();
    dlg.bnNewClick();
    ASSERT_EQ(dlg.PlayerList()->count(), 2);
    EXPECT_EQ(dlg.PlayerList()->item(0)->text(), "Adam");
    EXPECT_EQ(dlg.CurrentPlayerLabel()->text(), "Zoe");  // the first player became current
    dlg.PlayerList()->setCurrentRow(0);
    dlg.bnSetCurrentClick();
    dlg.bnOkClick();
    EXPECT_EQ(players.CurrentName(), "Adam");
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName1", ""), "Adam,0,0");
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName2", ""), "Zoe,0,0");

    // Deleting Adam deletes Adam, and Zoe becomes current.
    TfmCustomize again(prefs, players, Context(store));
    again.PlayerList()->setCurrentRow(0);
    a.YesNo = {true};
    again.bnDeleteClick();
    EXPECT_TRUE(a.Seen.contains("Do you want to delete the player Adam?"));
    ASSERT_EQ(again.PlayerList()->count(), 1);
    EXPECT_EQ(again.CurrentPlayerLabel()->text(), "Zoe");
    again.bnOkClick();
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName1", ""), "Zoe,0,0");
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName2", ""), "");
}

TEST(Customize, CancelKeepsTheLiveListButAResetOfStatsHoldsAtOnce) {
    Answers a;
    TMemorySettings store;
    TPreferences prefs;
    TPlayers players;
    players.List.push_back({"Ann", std::make_shared<TWinRatio>(4, 2)});
    players.Current = 0;
    {
        TfmCustomize dlg(prefs, players, Context(store));
        a.Texts = {"Bob"};
        dlg.bnNewClick();
        dlg.PlayerList()->setCurrentRow(0);  // Ann
        a.YesNo = {true};
        dlg.bnResetStatsClick();
        dlg.reject();
    }
    ASSERT_EQ(players.List.size(), 1u);
    EXPECT_EQ(players.List[0].Ratio->Wins, 0);
    EXPECT_EQ(players.List[0].Ratio->Losses, 0);
}

TEST(Customize, StoresEveryValueAndFollowsTheLocks) {
    Answers a;
    TMemorySettings store;
    TPreferences prefs;
    prefs.Delay = 3000;
    prefs.Level = 0;
    TPlayers players;
    QTemporaryDir dir;
    const QString autosave = dir.path() + "/autosave.can";
    {
        QFile f(autosave);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    int relayouts = 0;
    TfmCustomize::TContext ctx = Context(store);
    ctx.AutosavePath = autosave.toStdString();
    ctx.LargestSize = 1;  // an 800 x 600 screen
    ctx.Relayout = [&] { ++relayouts; };
    TfmCustomize dlg(prefs, players, ctx);
    EXPECT_EQ(dlg.DelayBar()->value(), 0);  // 3000 ms is Slow
    EXPECT_FALSE(dlg.SizeButton(2)->isEnabled());
    EXPECT_FALSE(dlg.SizeButton(3)->isEnabled());
    EXPECT_TRUE(dlg.SizeButton(1)->isEnabled());
    EXPECT_FALSE(dlg.AggressionBar()->isEnabled());  // Beginner
    dlg.LevelButton(2)->setChecked(true);
    EXPECT_TRUE(dlg.AggressionBar()->isEnabled());
    EXPECT_TRUE(dlg.ApplyButton()->isEnabled());
    dlg.DelayBar()->setValue(10);
    dlg.AutoSaveBox()->setChecked(false);
    dlg.NoAnimationBox()->setChecked(true);
    EXPECT_FALSE(dlg.SpeedBar()->isEnabled());
    dlg.SizeButton(1)->setChecked(true);
    dlg.bnApplyClick();
    EXPECT_FALSE(dlg.ApplyButton()->isEnabled());
    EXPECT_EQ(relayouts, 1);
    EXPECT_EQ(prefs.SizeIndex, 1);
    EXPECT_EQ(ReadInt(&store, "Settings\\Delay", -1), 0);
    EXPECT_EQ(ReadString(&store, "Settings\\Level", ""), "Expert");
    EXPECT_FALSE(ReadBool(&store, "Settings\\Card Movement", true));
    EXPECT_FALSE(QFile::exists(autosave));  // switched off: removed at once

    // In a network game the level stays as stored.
    TMemorySettings net;
    TfmCustomize::TContext nctx = Context(net);
    nctx.Networked = true;
    TfmCustomize locked(prefs, players, nctx);
    EXPECT_FALSE(locked.LevelButton(0)->isEnabled());
    locked.bnOkClick();
    EXPECT_EQ(ReadString(&net, "Settings\\Level", "untouched"), "untouched");

    // A game in progress shows the warning and locks the level.
    TfmCustomize::TContext gctx = Context(net);
    gctx.GameInProgress = true;
    TfmCustomize busy(prefs, players, gctx);
    EXPECT_FALSE(busy.LevelWarning()->isHidden());
    EXPECT_FALSE(busy.LevelButton(1)->isEnabled());
    EXPECT_FALSE(busy.AggressionBar()->isEnabled());
}

TEST(Customize, TheMasterIsStoredByNameAndTakesTheAggressiveness) {
    Answers a;
    TMemorySettings store;
    TPreferences prefs;
    prefs.Level = 3;
    TPlayers players;
    TfmCustomize dlg(prefs, players, Context(store));
    EXPECT_EQ(dlg.LevelButton(3)->text(), "&Master");
    EXPECT_TRUE(dlg.LevelButton(3)->isChecked());
    EXPECT_TRUE(dlg.AggressionBar()->isEnabled());
    dlg.LevelButton(1)->setChecked(true);
    EXPECT_FALSE(dlg.AggressionBar()->isEnabled());
    dlg.LevelButton(3)->setChecked(true);
    EXPECT_TRUE(dlg.AggressionBar()->isEnabled());
    dlg.bnApplyClick();
    EXPECT_EQ(ReadString(&store, "Settings\\Level", ""), "Master");
    EXPECT_EQ(prefs.Level, 3);
    dlg.LevelButton(2)->setChecked(true);
    dlg.bnApplyClick();
    EXPECT_EQ(ReadString(&store, "Settings\\Level", ""), "Expert");
}

TEST(HallOfFame, TheMasterHasItsOwnLists) {
    Answers a;
    TMemorySettings store;
    THighScores hs;
    hs.Tables[hsMatch][4][0] = {1200, "01/02/2026", "Ann"};
    hs.Tables[hsMatch][2][0] = {700, "01/02/2026", "Bob"};
    hs.SaveList(&store, 4, hsMatch);
    EXPECT_EQ(ReadInt(&store, "MasterMatch\\Score1", 0), 1200);
    TfmHighScores dlg(hs, &store, 2, hsMatch, 0, nullptr);
    EXPECT_EQ(dlg.Rows()->item(0, 1)->text(), "Bob");
    EXPECT_EQ(dlg.LevelButton(4)->text(), "Mas&ter");
    dlg.LevelButton(4)->setChecked(true);
    EXPECT_EQ(dlg.Level(), 4);
    EXPECT_EQ(dlg.Rows()->item(0, 1)->text(), "Ann");
    a.YesNo = {true};
    dlg.bnClearClick();
    EXPECT_TRUE(a.Seen.contains("Are you sure you want to clear all highscores for the Master level?"));
    EXPECT_EQ(ReadInt(&store, "MasterMatch\\Score1", 0), 0);
    EXPECT_EQ(hs.Tables[hsMatch][2][0].Score, 700);
    // The network list keeps its place.
    dlg.LevelButton(3)->setChecked(true);
    EXPECT_EQ(dlg.Level(), 3);
}

TEST(HallOfFame, ShowsTheChosenListAndClearsIt) {
    Answers a;
    TMemorySettings store;
    THighScores hs;
    hs.Tables[hsMatch][1][0] = {900, "01/02/2026", "Ann"};
    hs.Tables[hsMatch][1][1] = {400, "01/03/2026", "Computer"};
    hs.SaveList(&store, 1, hsMatch);
    TfmHighScores dlg(hs, &store, 1, hsMatch, 2, nullptr);
    EXPECT_EQ(dlg.Rows()->item(0, 1)->text(), "Ann");
    EXPECT_EQ(dlg.Rows()->item(0, 3)->text(), "900");
    EXPECT_TRUE(dlg.Rows()->item(1, 1)->font().bold());
    EXPECT_FALSE(dlg.Rows()->item(0, 1)->font().bold());
    a.YesNo = {true};
    dlg.bnClearClick();
    EXPECT_TRUE(a.Seen.contains("Are you sure you want to clear all highscores for the Advanced level?"));
    EXPECT_EQ(dlg.Rows()->item(0, 1)->text(), "");
    EXPECT_EQ(ReadInt(&store, "AdvancedMatch\\Score1", 0), 0);
    EXPECT_EQ(hs.Tables[hsMatch][1][0].Score, 0);
}

TEST(WinRatio, RatiosAndTheDefaultPlayerWithoutPlayers) {
    Answers a;
    TMemorySettings store;
    // Without players the window shows the default player, with the way to create one.
    TPlayers none;
    int windows = 0;
    SetModalHandler([&](QDialog& d) {
        if (auto* w = qobject_cast<TfmWinRatio*>(&d)) {
            ++windows;
            EXPECT_EQ(w->windowTitle(), "Statistics");
            EXPECT_EQ(w->Players()->currentText(), "Player");
            EXPECT_FALSE(w->NoPlayersNote()->isHidden());
            EXPECT_TRUE(w->NoPlayersNote()->text().contains("select Options|Customize...|Player and press 'New...'"));
            EXPECT_EQ(w->RatioText(), "?");
        }
        return int(QDialog::Accepted);
    });
    ShowWinRatio(nullptr, none, &store);
    EXPECT_EQ(windows, 1);
    Answers again;  // the recording handler again

    TPlayers p;
    p.List.push_back({"Zoe", std::make_shared<TWinRatio>(3, 1)});
    p.List.push_back({"Adam", std::make_shared<TWinRatio>(1, 2)});
    p.Current = 0;
    TfmWinRatio dlg(p, &store);
    EXPECT_EQ(dlg.Players()->currentText(), "Zoe");
    EXPECT_TRUE(dlg.NoPlayersNote()->isHidden());
    EXPECT_EQ(dlg.Players()->count(), 2) << "the default player without games is not listed";
    EXPECT_EQ(dlg.RatioText(), "75%");
    dlg.Players()->setCurrentIndex(dlg.Players()->findText("Adam"));
    EXPECT_EQ(dlg.RatioText(), "33%");
    EXPECT_EQ(dlg.WinsText(), "1");
    again.YesNo = {true};
    dlg.bnResetClick();
    EXPECT_EQ(dlg.RatioText(), "?");
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName2", ""), "Adam,0,0");
}

TEST(Statistics, TheWindowShowsEveryCountOfThePlayerChosen) {
    Answers a;
    TMemorySettings store;
    TPlayers p;
    p.List.push_back({"Zoe", std::make_shared<TWinRatio>(1, 1)});
    p.List.push_back({"Adam", std::make_shared<TWinRatio>()});
    p.Current = 0;
    // Zoe: two hands and a won match against the Expert, one lost hand over the network.
    p.RecordHand(&store, "Expert", 1500, 400);
    p.RecordHand(&store, "Expert", 3800, 900);
    p.RecordMatch(&store, "Expert", 5300, 1300);
    p.RecordHand(&store, "Network", 200, 1200);
    // Games before any player was chosen count for the default player.
    p.Current = -1;
    p.RecordHand(&store, "Beginner", 600, 100);
    p.Current = 0;

    TfmWinRatio dlg(p, &store);
    ASSERT_EQ(dlg.Players()->count(), 3);
    EXPECT_EQ(dlg.Players()->itemText(0), "Player (no player chosen)");
    EXPECT_EQ(dlg.Players()->currentText(), "Zoe");
    EXPECT_EQ(dlg.TallyText("Expert", 0), "2");
    EXPECT_EQ(dlg.TallyText("Expert", 1), "2");
    EXPECT_EQ(dlg.TallyText("Expert", 2), "1");
    EXPECT_EQ(dlg.TallyText("Expert", 3), "1");
    EXPECT_EQ(dlg.TallyText("Network", 0), "1");
    EXPECT_EQ(dlg.TallyText("Network", 1), "0");
    EXPECT_EQ(dlg.TallyText("Beginner", 0), "0");
    EXPECT_EQ(dlg.TallyText("Advanced", 0), "0") << "every level has its row";
    EXPECT_EQ(dlg.TallyText("", 0), "3");
    EXPECT_EQ(dlg.TallyText("", 1), "2");
    EXPECT_EQ(dlg.AverageText(), "1833");  // (1500 + 3800 + 200) / 3
    EXPECT_EQ(dlg.BestHandText(), "3800");
    EXPECT_EQ(dlg.BestMatchText(), "5300");
    EXPECT_EQ(dlg.StreakText(), "1");
    EXPECT_EQ(dlg.LongestStreakText(), "1");
    EXPECT_EQ(dlg.WinsText(), "1") << "the win ratio is the stored one";

    dlg.Players()->setCurrentIndex(0);
    EXPECT_EQ(dlg.TallyText("Beginner", 0), "1");
    EXPECT_EQ(dlg.TallyText("Beginner", 1), "1");
    EXPECT_EQ(dlg.BestMatchText(), "\u2013");
    dlg.Players()->setCurrentIndex(dlg.Players()->findText("Adam"));
    EXPECT_EQ(dlg.TallyText("", 0), "0");
    EXPECT_EQ(dlg.AverageText(), "\u2013");
}

TEST(Statistics, ResetAsksFirstAndNoKeepsEverything) {
    Answers a;
    TMemorySettings store;
    TPlayers p;
    p.List.push_back({"Zoe", std::make_shared<TWinRatio>(4, 2)});
    p.Current = 0;
    p.Rewrite(&store);
    p.RecordHand(&store, "Advanced", 900, 100);
    p.RecordMatch(&store, "Advanced", 5200, 100);
    TfmWinRatio dlg(p, &store);

    // No: nothing changes, in the window, in memory or in the store.
    a.YesNo = {false};
    dlg.bnResetClick();
    EXPECT_TRUE(a.Seen.contains("Do you want to reset the win ratio statistics for player Zoe?"));
    EXPECT_EQ(dlg.TallyText("Advanced", 0), "1");
    EXPECT_EQ(dlg.WinsText(), "4");
    TPlayers stored;
    stored.Load(&store);
    EXPECT_EQ(stored.List[0].Stats->Total(), (TTally{1, 1, 1, 1}));

    // Yes: all of it goes, and stays gone after a restart.
    a.YesNo = {true};
    dlg.bnResetClick();
    EXPECT_EQ(dlg.TallyText("Advanced", 0), "0");
    EXPECT_EQ(dlg.WinsText(), "0");
    EXPECT_EQ(dlg.BestHandText(), "\u2013");
    stored.Load(&store);
    EXPECT_TRUE(stored.List[0].Stats->Empty());
    EXPECT_EQ(ReadString(&store, "Player Names\\PlayerName1", ""), "Zoe,0,0");

    // The default player is reset the same way.
    TPlayers none;
    none.RecordHand(&store, "Beginner", 300, 200);
    none.RecordMatchResult(&store, 5000, 300);
    TfmWinRatio empty(none, &store);
    a.YesNo = {true};
    empty.bnResetClick();
    EXPECT_TRUE(a.Seen.contains("Do you want to reset the win ratio statistics for player Player?"));
    TPlayers back;
    back.Load(&store);
    EXPECT_TRUE(back.Default.Stats->Empty());
    EXPECT_EQ(back.Default.Ratio->Wins, 0);
}

TEST(Customize, ResetStatsClearsTheStatisticsInTheStoreAtOnce) {
    Answers a;
    TMemorySettings store;
    TPreferences prefs;
    TPlayers players;
    players.List.push_back({"Ann", std::make_shared<TWinRatio>(4, 2)});
    players.Current = 0;
    players.RecordHand(&store, "Expert", 700, 100);
    TfmCustomize dlg(prefs, players, Context(store));
    dlg.PlayerList()->setCurrentRow(0);
    a.YesNo = {false};
    dlg.bnResetStatsClick();
    EXPECT_FALSE(players.List[0].Stats->Empty()) << "No keeps them";
    a.YesNo = {true};
    dlg.bnResetStatsClick();
    dlg.reject();
    EXPECT_TRUE(players.List[0].Stats->Empty());
    TPlayers back;
    back.List.push_back({"Ann", std::make_shared<TWinRatio>()});
    back.List[0].Stats->Load(&store, StatisticsSubKey(&back.List[0].Name));
    EXPECT_TRUE(back.List[0].Stats->Empty()) << "gone from the store though the dialog was cancelled";
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
