// Saved games, the automatic save across two starts, high scores and win
// ratios at the end of a hand and match, and the Customize dialog, all
// through the table window's menu.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QRadioButton>
#include <QSlider>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

#include "dialogs/PlayerDialogs.h"
#include "dialogs/Results.h"
#include "store/Paths.h"
#include "store/SavedGame.h"
#include "table/TableFixture.h"

using namespace canasta;
using namespace canasta::test;

namespace {

QString Home() { return QString::fromStdString(DataFolder()); }

std::string ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

void WriteBytes(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// Everything a saved game holds, with a fixed scrambling so two equal tables compare equal.
std::string TableOf(const TGame& g) {
    return FormatSavedGame(CaptureSavedGame(g), [] { return 0; });
}

int CountWaves(const TFakeAudioPlayer* audio, const std::string& name) {
    return static_cast<int>(std::count_if(audio->Waves.begin(), audio->Waves.end(), [&](const std::string& w) {
        return QFileInfo(QString::fromStdString(w)).fileName().toStdString() == name;
    }));
}

}  // namespace

class SavedGameWindowTest : public TableWindowTest {
protected:
    // A started game in the melding phase with melds made this turn (undo enabled).
    void StartedGame() {
        TestTable t = Table();
        t.Hand({"AS", "AC", "AH", "KS", "KC", "KH", "4D", "9H"});
        t.OppHand({"4C", "8D", "QS", "JH"});
        t.OppMeld(9, {"10S", "10C", "10D"});
        t.Pile({"8C", "5D"});
        t.Melding();
        Arrange(t);
        G().GameInProgress = true;
        G().PlayerScore = 1230;
        G().OpponentScore = 455;
        ClickHand("AS", Qt::LeftButton, Qt::ShiftModifier);
        ClickHand("KS", Qt::LeftButton, Qt::ShiftModifier);
        ASSERT_TRUE(Window->UndoMeldAction()->isEnabled());
    }

    // The file dialog answered with path; everything else with OK / Yes.
    void AnswerFileDialog(const QString& path) {
        OnDialog = [this, path](QDialog& d) {
            auto* files = qobject_cast<QFileDialog*>(&d);
            if (!files) return Accept(d);
            FileDialogTitle = files->windowTitle();
            FileDialogSuffix = files->defaultSuffix();
            FileDialogFilters = files->nameFilters();
            ProposedName = QFileInfo(files->selectedFiles().value(0)).fileName();
            if (path.isEmpty()) return int(QDialog::Rejected);
            files->selectFile(path);
            return int(QDialog::Accepted);
        };
    }

    // A sound table other than the one in the window, as a file's bytes.
    std::string OtherGameFile() {
        TestTable other = Table();
        other.Hand({"AS", "AD", "3C"});
        other.Pile({"6H"});
        other.DrawPhase();
        return FormatSavedGame(CaptureSavedGame(other.G), [] { return 321; });
    }

    QString FileDialogTitle, FileDialogSuffix, ProposedName;
    QStringList FileDialogFilters;
};

TEST_F(SavedGameWindowTest, SaveAndLoadThroughTheMenuRestoreTheTable) {
    TfmCanMain& w = Open();
    StartedGame();
    const std::string before = TableOf(G());

    const QString file = Home() + "/round";
    AnswerFileDialog(file);
    Key(Qt::Key_F4);
    EXPECT_EQ(FileDialogTitle, "Save Canasta Game");
    EXPECT_EQ(FileDialogSuffix, "can");
    EXPECT_EQ(FileDialogFilters, QStringList({"Canasta Games (*.can)", "All Files (*)"}));
    EXPECT_EQ(ProposedName, "player.can") << "no player is selected";
    ASSERT_TRUE(QFile::exists(file + ".can")) << "the default suffix is added";
    EXPECT_EQ(CountSeen("QMessageBox"), 0);

    // Another deal replaces the table; loading brings the saved one back.
    G().DealHand();
    ASSERT_NE(TableOf(G()), before);
    AnswerFileDialog(file + ".can");
    Key(Qt::Key_F3);
    EXPECT_EQ(FileDialogTitle, "Load Canasta Game");
    EXPECT_EQ(TableOf(G()), before);
    EXPECT_EQ(CheckConsistency(G()), "");
    EXPECT_EQ(G().TurnPhase, tpMeldOrDiscard);
    EXPECT_FALSE(w.UndoMeldAction()->isEnabled()) << "the undo history is not in the file";
    EXPECT_FALSE(w.UndoAllAction()->isEnabled());
    EXPECT_EQ(w.PanelText(0), "1230");
    EXPECT_EQ(w.PanelText(2), "455");

    // The computer's hand stays hidden until the next deal, even when asked for.
    EXPECT_TRUE(w.GameLoaded());
    G().DealHand();
    EXPECT_FALSE(w.GameLoaded());

    // Cancelling the dialog loads nothing.
    const std::string dealt = TableOf(G());
    AnswerFileDialog(QString());
    w.LoadAction()->trigger();
    EXPECT_EQ(TableOf(G()), dealt);
}

TEST_F(SavedGameWindowTest, RefusedFilesLeaveTheTableAsItIs) {
    TfmCanMain& w = Open();
    StartedGame();
    const std::string before = TableOf(G());
    const std::string good = OtherGameFile();

    struct Case {
        const char* Name;
        std::string Bytes;
        QString Message;  // empty: nothing shown
    };
    std::string version2 = good;
    version2.replace(0, 18, "CanastaSavedGame 2");
    const QString v2 = Home() + "/v2.can", cut = Home() + "/cut.can", other = Home() + "/letter.can";
    std::vector<Case> cases = {
        {"v2.can", version2, "Version error. This file cannot be read by Canasta."},
        {"cut.can", good.substr(0, good.size() / 2), "This file is damaged and cannot be loaded: "},
        {"letter.can", "Dear friend,\r\n", other.toUpper() + " : this file is not a Canasta saved game"},
    };
    for (const Case& c : cases) {
        const QString path = Home() + "/" + c.Name;
        WriteBytes(path, c.Bytes);
        Seen.clear();
        AnswerFileDialog(path);
        w.LoadAction()->trigger();
        ASSERT_EQ(CountSeen("QMessageBox"), 1) << c.Name;
        EXPECT_TRUE(Seen.back().Text.startsWith(c.Message)) << Seen.back().Text.toStdString();
        EXPECT_EQ(TableOf(G()), before) << c.Name;
        EXPECT_TRUE(w.UndoMeldAction()->isEnabled()) << "the turn goes on as before";
    }

    // A missing file is quietly not loaded.
    Seen.clear();
    AnswerFileDialog(Home() + "/nothing-here.can");
    w.LoadAction()->trigger();
    EXPECT_EQ(CountSeen("QMessageBox"), 0);
    EXPECT_EQ(TableOf(G()), before);
}

TEST_F(SavedGameWindowTest, SaveRefusalsAndTheSkippedAutomaticSave) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"9S", "9C", "4H", "KD", "QS"});
    t.Pile({"5D", "9H"});
    t.DrawPhase();
    Arrange(t);
    AnswerFileDialog(Home() + "/refused.can");

    ClickPile();
    ASSERT_TRUE(G().PileTakeUndoable);
    w.SaveAction()->trigger();
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_EQ(Seen.back().Text, "A game cannot be saved while taking the discard pile");

    ClickPile();  // the take is undone
    ClickStock();
    ClickHand("KD");  // a column of one card
    Seen.clear();
    w.SaveAction()->trigger();
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_EQ(Seen.back().Text, "This game cannot be saved now because your meld is incorrect");
    EXPECT_FALSE(QFile::exists(Home() + "/refused.can"));

    // The automatic save skips such a table and keeps the earlier file.
    WriteBytes(AutosaveFile(), "earlier");
    w.close();
    EXPECT_EQ(ReadBytes(AutosaveFile()), "earlier");
}

TEST_F(SavedGameWindowTest, AFailedWriteShowsTheReasonAndKeepsWhatWasThere) {
    TfmCanMain& w = Open();
    StartedGame();
    // A folder where the file should go cannot be replaced.
    const QString blocked = Home() + "/blocked.can";
    QDir().mkpath(blocked);
    WriteBytes(blocked + "/inside", "kept");
    AnswerFileDialog(blocked);
    w.SaveAction()->trigger();
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_TRUE(Seen.back().Text.contains("blocked.can")) << Seen.back().Text.toStdString();
    EXPECT_EQ(ReadBytes(blocked + "/inside"), "kept");
    const QStringList left = QDir(Home()).entryList({"blocked.can.tmp*"}, QDir::Files);
    EXPECT_TRUE(left.isEmpty()) << "no temporary file stays behind";
}

// ---- start-up and shut-down ----

TEST_F(SavedGameWindowTest, QuittingAStartedGameBringsTheSameTableBackAtTheNextStart) {
    TfmCanMain& first = Open();
    StartedGame();
    const std::string before = TableOf(G());
    first.close();
    ASSERT_TRUE(QFile::exists(AutosaveFile()));
    EXPECT_EQ(CountWaves(Audio, "done.wav"), 1) << "the Exit sound";

    // The next start, with what the first one stored.
    TfmCanMain& second = Start({});
    EXPECT_EQ(TableOf(G()), before);
    EXPECT_TRUE(second.GameLoaded());
    EXPECT_EQ(CountWaves(Audio, "welcome.wav"), 1) << "the Start sound, once";
    EXPECT_EQ(CountWaves(Audio, "shufl.wav"), 0) << "nothing is dealt";
    EXPECT_EQ(second.SizeIndex(), 0);
    EXPECT_EQ(CountSeen("QMessageBox"), 0);

    // Quitting before the game has started again removes the automatic save.
    G().DealHand();
    G().GameInProgress = false;
    second.close();
    EXPECT_FALSE(QFile::exists(AutosaveFile()));
}

TEST_F(SavedGameWindowTest, AGameWithARemotePlayerIsNotKeptOnExit) {
    TfmCanMain& w = Open();
    StartedGame();
    // An earlier automatic save is not the game being played either.
    WriteBytes(AutosaveFile(), "stale");
    G().Config.Networked = true;
    w.close();
    EXPECT_FALSE(QFile::exists(AutosaveFile()));
    // Only the question whether to quit the network game.
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_TRUE(Seen.back().Text.startsWith("You have a network game running."));
}

TEST_F(SavedGameWindowTest, AutomaticSaveOffWritesNothingAndLoadsNothing) {
    Store.WriteValue("Settings\\AutoSave", false);
    TfmCanMain& first = Open();
    StartedGame();
    first.close();
    EXPECT_FALSE(QFile::exists(AutosaveFile()));

    // An automatic save left from earlier is not loaded either.
    WriteBytes(AutosaveFile(), OtherGameFile());
    Start({});
    EXPECT_FALSE(Window->GameLoaded());
    EXPECT_EQ(G().PlayerHand.Count, 15) << "a new deal";
}

TEST_F(SavedGameWindowTest, ACommandLineFileWinsOverTheAutomaticSave) {
    Open();
    StartedGame();
    const std::string wanted = TableOf(G());
    const QString file = Home() + "/wanted.can";
    WriteBytes(file, FormatSavedGame(CaptureSavedGame(G()), [] { return 17; }));
    WriteBytes(AutosaveFile(), OtherGameFile());

    TStartOptions options;
    options.Arguments = {file};
    Start(options);
    EXPECT_EQ(TableOf(G()), wanted);
}

TEST_F(SavedGameWindowTest, AnUnreadableAutomaticSaveIsReportedAndANewGameDealt) {
    WriteBytes(AutosaveFile(), "CanastaSavedGame 1 17 3 ");
    Start({});
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_TRUE(Seen.back().Text.startsWith("This file is damaged and cannot be loaded: "));
    EXPECT_EQ(G().PlayerHand.Count, 15);
    EXPECT_EQ(CheckConsistency(G()), "");

    Seen.clear();
    WriteBytes(AutosaveFile(), "not a game");
    Start({});
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_EQ(Seen.back().Text, AutosaveFile().toUpper() + " : this file is not a Canasta saved game");
    EXPECT_EQ(G().PlayerHand.Count, 15);
}

TEST_F(SavedGameWindowTest, NoToAnotherGameDeletesTheAutomaticSaveAndQuits) {
    TfmCanMain& w = Open();
    WriteBytes(AutosaveFile(), OtherGameFile());
    TestTable t = Table();
    t.Hand({"5S"});
    t.StockDownTo(0);
    t.DrawPhase();
    Arrange(t);
    G().PlayerScore = 5200;
    G().GameInProgress = true;
    OnDialog = [](QDialog& d) { return d.objectName() == "fmGameOver" ? int(TfmGameOver::No) : Accept(d); };
    QTest::mouseClick(w.EndHandButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 10000));
    EXPECT_FALSE(QFile::exists(AutosaveFile())) << "not written again on the way out";
}

// ---- high scores and win ratio ----

class ScoresWindowTest : public TableWindowTest {
protected:
    // The player ends the last hand of the match well ahead (stock exhausted, End Hand).
    void WinTheMatch() {
        TestTable t = Table();
        t.Meld(12, {"KS", "KC", "KD", "KH", "KS", "KC", "KD"});
        t.Hand({"4C"});
        t.OppHand({"8D"});
        t.StockDownTo(0);
        t.DrawPhase();
        Arrange(t);
        G().PlayerScore = 4900;
        G().GameInProgress = true;
        QTest::mouseClick(Window->EndHandButton(), Qt::LeftButton);
    }

    // Answers the name box with Name and records the Hall of Fame windows.
    void Answering() {
        OnDialog = [this](QDialog& d) {
            if (auto* box = qobject_cast<QInputDialog*>(&d)) {
                NameCaptions << box->windowTitle();
                NamePrompts << box->labelText();
                box->setTextValue(Name);
                return int(QDialog::Accepted);
            }
            if (auto* fame = qobject_cast<TfmHighScores*>(&d)) {
                FameKinds << fame->Kind();
                BoldNames << fame->Rows()->item(0, 1)->font().bold();
            }
            if (d.objectName() == "fmGameOver" && !Audio->Waves.empty())
                SoundAtGameOver = QFileInfo(QString::fromStdString(Audio->Waves.back())).fileName();
            return Accept(d);
        };
    }

    QString Name = "Ann";
    QStringList NameCaptions, NamePrompts;
    QList<int> FameKinds;
    QList<bool> BoldNames;
    QString SoundAtGameOver;  // the effect playing when the Game Over window opens
};

TEST_F(ScoresWindowTest, AWonMatchAsksTheNameOnceAndCountsTheWin) {
    TfmCanMain& w = Open();
    w.Players().List.push_back({"Zoe", std::make_shared<TWinRatio>(2, 1)});
    w.Players().Current = 0;
    G().Config.PlayerName = "Zoe";
    Answering();
    WinTheMatch();

    EXPECT_EQ(NameCaptions, QStringList({"Hand Score in Highscore List"})) << "asked once for hand and match";
    EXPECT_EQ(NamePrompts, QStringList({"Enter your name:"}));
    const THighScoreEntry& hand = w.HighScores().Tables[hsHand][0][0];
    const THighScoreEntry& match = w.HighScores().Tables[hsMatch][0][0];
    EXPECT_EQ(hand.Name, "Ann");
    EXPECT_EQ(match.Name, "Ann") << "the answer serves the whole game-over";
    EXPECT_GT(hand.Score, 500);
    EXPECT_GT(match.Score, 5000);
    EXPECT_EQ(G().PlayerScore, 0) << "the next match has begun";
    EXPECT_EQ(FameKinds, QList<int>({hsHand, hsMatch}));
    EXPECT_EQ(BoldNames, QList<bool>({true, true}));
    EXPECT_EQ(CountWaves(Audio, "exelnt.wav"), 2);
    EXPECT_EQ(SoundAtGameOver, "wonderfl.wav") << "the Win Match sound is not cut off by the Highscore sound";
    EXPECT_EQ(CountSeen("fmGameOver"), 1);

    // Both lists and the win are stored.
    EXPECT_EQ(std::get<std::string>(Store.ReadValue("Beginner\\Name1", std::monostate{})), "Ann");
    EXPECT_EQ(std::get<std::string>(Store.ReadValue("BeginnerMatch\\Name1", std::monostate{})), "Ann");
    EXPECT_EQ(std::get<std::string>(Store.ReadValue("Player Names\\PlayerName1", std::monostate{})), "Zoe,3,1");
    EXPECT_EQ(G().Config.PlayerName, "Zoe") << "the name typed is for the lists only";

    // The next game-over asks again, pre-filled with the player's name.
    NameCaptions.clear();
    Name = "Bob";
    WinTheMatch();
    EXPECT_EQ(NameCaptions.size(), 1);
    EXPECT_EQ(w.Players().List[0].Ratio->Wins, 4);
}

TEST_F(ScoresWindowTest, TheComputersWinIsEnteredUnderItsNameWithoutAsking) {
    TfmCanMain& w = Open();
    Answering();
    TestTable t = Table();
    t.Hand({"KD", "QS", "AH"});
    t.OppHand({"5C"});
    t.StockDownTo(0);
    t.DrawPhase();
    Arrange(t);
    QTest::mouseClick(w.EndHandButton(), Qt::LeftButton);
    const THighScoreEntry& row = w.HighScores().Tables[hsHand][0][0];
    EXPECT_EQ(row.Name, "Computer");
    EXPECT_EQ(row.Score, 35);
    EXPECT_TRUE(NameCaptions.isEmpty());
    EXPECT_EQ(CountWaves(Audio, "exelnt.wav"), 0);

    // With the lists hidden, an entry is still made, silently, under the player's name.
    Store.WriteValue("Settings\\Show Highscores", false);
    Start({});
    Answering();
    FameKinds.clear();
    WinTheMatch();
    EXPECT_TRUE(NameCaptions.isEmpty());
    EXPECT_TRUE(FameKinds.isEmpty());
    EXPECT_EQ(Window->HighScores().Tables[hsMatch][0][0].Name, "Player");
}

TEST_F(ScoresWindowTest, MenuItemsForTheListsAndTheWinRatio) {
    TfmCanMain& w = Open();
    w.WinRatioAction()->trigger();
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_TRUE(Seen.back().Text.startsWith("There are no players defined to show statistics for."));

    int fame = 0, ratio = 0;
    OnDialog = [&](QDialog& d) {
        fame += qobject_cast<TfmHighScores*>(&d) != nullptr;
        ratio += qobject_cast<TfmWinRatio*>(&d) != nullptr;
        return Accept(d);
    };
    w.Players().List.push_back({"Zoe", std::make_shared<TWinRatio>()});
    w.Players().Current = 0;
    w.WinRatioAction()->trigger();
    w.HiscoresAction()->trigger();
    EXPECT_EQ(ratio, 1);
    EXPECT_EQ(fame, 1);
    EXPECT_EQ(w.HiscoresAction()->statusTip(), "Show the Top Ten highscores");
}

// ---- Customize ----

TEST_F(TableWindowTest, CustomizeOkAppliesSizeAndPlaySettings) {
    TfmCanMain& w = Open(0);
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    t.Meld(6, {"7H", "7D", "7C"});
    t.Melding();
    Arrange(t);
    const int hand = G().PlayerHand.Count;

    bool largestEnabled = true;
    OnDialog = [&](QDialog& d) {
        auto* dialog = qobject_cast<TfmCustomize*>(&d);
        if (!dialog) return Accept(d);
        largestEnabled = dialog->SizeButton(3)->isEnabled();
        dialog->SizeButton(1)->setChecked(true);
        dialog->DelayBar()->setValue(10);
        dialog->bnOkClick();
        return dialog->result();
    };
    w.CustomizeAction()->trigger();
    EXPECT_FALSE(largestEnabled) << "1280 x 1024 does not fit the 800 x 600 test screen";
    EXPECT_EQ(w.SizeIndex(), 1);
    EXPECT_EQ(G().Layout.SizeIndex, 1);
    EXPECT_EQ(w.size(), QSize(800, 600));
    EXPECT_EQ(G().Config.MeldDelay, 0) << "the fastest melding";
    EXPECT_EQ(std::get<int32_t>(Store.ReadValue("Settings\\Delay", std::monostate{})), 0);
    // The cards moved with the table: every card on a column of the new size.
    EXPECT_EQ(G().PlayerHand.Count, hand);
    EXPECT_EQ(ColumnCount(6), 3);
    EXPECT_EQ(CheckConsistency(G()), "");
}
