// SPDX-License-Identifier: GPL-3.0-or-later
// Saved games, the automatic save across two starts, high scores and win
// ratios at the end of a hand and match, and the Customize dialog, all
// through the table window's menu.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QRadioButton>
#include <QSlider>
#include <QPushButton>
#include <QTableWidget>

#include <QElapsedTimer>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <tuple>

#include "dialogs/PlayerDialogs.h"
#include "dialogs/Results.h"
#include "dialogs/Welcome.h"
#include "help/HelpWindow.h"
#include "media/MediaFiles.h"
#include "store/Paths.h"
#include "store/SettingsCatalog.h"
#include "store/SavedGame.h"
#include "table/CanMainNet.h"
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

// What the program keeps for its whole run outlives the window: a second
// window over the same parts finds what the first one changed in them, and
// plays with the same computer levels.
TEST_F(TableWindowTest, ASecondWindowOverTheSameRootFindsItsParts) {
    TfmCanMain& first = Open();
    const TTableParts parts = Opened.Root->Parts();
    first.Players().List.push_back({"Zoe", std::make_shared<TWinRatio>(2, 1)});
    first.Players().Current = 0;
    first.close();
    Window.reset();
    // The game stays with the root, reporting to nobody while no window shows it.
    EXPECT_FALSE(parts.GameRelay.Attached());
    parts.Game.Host.ShowStatus("nobody sees this");

    TStartOptions options;
    options.SplashMs = 0;
    options.ForcedSize = 0;
    TfmCanMain second(parts, options);
    EXPECT_EQ(&second.Game(), &parts.Game);
    EXPECT_TRUE(parts.GameRelay.Attached());
    EXPECT_EQ(second.Players().CurrentName(), "Zoe");
    EXPECT_EQ(second.Game().Config.PlayerName, "Zoe");
    EXPECT_EQ(second.Game().Levels[0], &parts.ComputerLevels.Beginner);
    EXPECT_EQ(second.Game().Levels[2], &parts.ComputerLevels.Expert);
    // Not through the store: the list is saved only when a dialog or a match changes it.
    EXPECT_EQ(ReadString(&Store, "Player Names\\PlayerName1", ""), "");
}

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
        G().Seat(TSeat::Player).Score = 1230;
        G().Seat(TSeat::Opponent).Score = 455;
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
    EXPECT_EQ(G().TurnPhase, TTurnPhase::MeldOrDiscard);
    EXPECT_FALSE(w.UndoMeldAction()->isEnabled()) << "the undo history is not in the file";
    EXPECT_FALSE(w.UndoAllAction()->isEnabled());
    EXPECT_EQ(w.PanelText(0), "1230");
    EXPECT_EQ(w.PanelText(2), "455");

    // The computer's hand stays hidden until the next deal, even when asked for.
    EXPECT_TRUE(w.GameLoaded());
    G().PlayerDrawsFirst = true;  // a table that waits for the player
    G().DealHand();
    EXPECT_FALSE(w.GameLoaded());

    // Cancelling the dialog loads nothing.
    const std::string dealt = TableOf(G());
    AnswerFileDialog(QString());
    w.LoadAction()->trigger();
    EXPECT_EQ(TableOf(G()), dealt);
}

TEST_F(SavedGameWindowTest, AGameSavedAtOneSizeLoadsAtEveryOtherWithEveryCardInPlace) {
    Open(0);
    StartedGame();
    const TGameState table = G().State();
    const QString file = Home() + "/sizes.can";
    for (int saved = 0; saved < kSizeCount; ++saved) {
        Window->ApplySizeIndex(saved);
        AnswerFileDialog(file);
        Window->SaveAction()->trigger();
        ASSERT_TRUE(QFile::exists(file));
        TSavedGame s;
        ASSERT_EQ(ParseSavedGame(ReadBytes(file), s).Status, TLoadStatus::Ok);
        EXPECT_EQ(s.SizeIndex, saved) << "the file is written at the window's size";
        for (int loaded = 0; loaded < kSizeCount; ++loaded) {
            SCOPED_TRACE("saved at size " + std::to_string(saved) + ", loaded at " + std::to_string(loaded));
            Window->ApplySizeIndex(loaded);
            G().DealHand();
            Window->LoadAction()->trigger();
            ASSERT_TRUE(Window->GameLoaded());
            EXPECT_EQ(G().Stock, table.Stock);
            EXPECT_EQ(G().DiscardPile, table.DiscardPile);
            EXPECT_EQ(G().Seat(TSeat::Opponent).Hand, table.Seat(TSeat::Opponent).Hand);
            EXPECT_EQ(G().Seat(TSeat::Opponent).Melds, table.Seat(TSeat::Opponent).Melds);
            EXPECT_EQ(G().Seat(TSeat::Player).Hand, table.Seat(TSeat::Player).Hand);
            EXPECT_EQ(G().Seat(TSeat::Player).Melds, table.Seat(TSeat::Player).Melds);
            EXPECT_EQ(G().SavedPlayerHand, table.SavedPlayerHand);
            EXPECT_EQ(G().SavedPlayerMelds, table.SavedPlayerMelds);
            EXPECT_EQ(CheckConsistency(G()), "");
        }
        QFile::remove(file);
    }
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
        // The match in progress is asked about first (and given up unsaved here).
        ASSERT_EQ(CountSeen("QMessageBox"), 2) << c.Name;
        EXPECT_TRUE(Seen.front().Text.startsWith("A match is in progress")) << Seen.front().Text.toStdString();
        EXPECT_TRUE(Seen.back().Text.startsWith(c.Message)) << Seen.back().Text.toStdString();
        EXPECT_EQ(TableOf(G()), before) << c.Name;
        EXPECT_TRUE(w.UndoMeldAction()->isEnabled()) << "the turn goes on as before";
    }

    // A missing file is quietly not loaded.
    Seen.clear();
    AnswerFileDialog(Home() + "/nothing-here.can");
    w.LoadAction()->trigger();
    EXPECT_EQ(CountSeen("QMessageBox"), 1) << "only the question before the load";
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
    // An earlier automatic save that this run did not load is another game:
    // neither replaced by the network game nor deleted.
    WriteBytes(AutosaveFile(), "stale");
    G().Config.Networked = true;
    w.close();
    EXPECT_EQ(ReadBytes(AutosaveFile()), "stale");
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
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, 15) << "a new deal";
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
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, 15);
    EXPECT_EQ(CheckConsistency(G()), "");

    Seen.clear();
    WriteBytes(AutosaveFile(), "not a game");
    Start({});
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_EQ(Seen.back().Text, AutosaveFile().toUpper() + " : this file is not a Canasta saved game");
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, 15);
}

TEST_F(SavedGameWindowTest, NoToAnotherGameDeletesTheAutomaticSaveAndQuits) {
    Open();
    WriteBytes(AutosaveFile(), OtherGameFile());
    // The match ended here is the one continued from the automatic save.
    TfmCanMain& w = Open();
    ASSERT_TRUE(w.GameLoaded());
    TestTable t = Table();
    t.Hand({"5S"});
    t.StockDownTo(0);
    t.DrawPhase();
    Arrange(t);
    G().Seat(TSeat::Player).Score = 5200;
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
        G().Seat(TSeat::Player).Score = 4900;
        G().GameInProgress = true;
        QTest::mouseClick(Window->EndHandButton(), Qt::LeftButton);
    }

    // The computer wins a hand by 35 (the stock is exhausted and the player
    // ends the hand with a king, a queen and an ace in hand: -40 to -5).
    void LoseAHand() {
        TestTable t = Table();
        t.Hand({"KD", "QS", "AH"});
        t.OppHand({"5C"});
        t.StockDownTo(0);
        t.DrawPhase();
        Arrange(t);
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
    EXPECT_EQ(G().Seat(TSeat::Player).Score, 0) << "the next match has begun";
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
    LoseAHand();
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

TEST_F(ScoresWindowTest, MenuItemsForTheListsAndTheStatistics) {
    TfmCanMain& w = Open();
    int fame = 0, ratio = 0;
    QStringList shown;
    OnDialog = [&](QDialog& d) {
        fame += qobject_cast<TfmHighScores*>(&d) != nullptr;
        if (auto* stats = qobject_cast<TfmWinRatio*>(&d)) {
            ++ratio;
            shown << stats->Players()->currentText();
        }
        return Accept(d);
    };
    // Without players the default player's statistics open, not a message.
    EXPECT_EQ(w.WinRatioAction()->text(), "&Statistics...");
    w.WinRatioAction()->trigger();
    EXPECT_EQ(CountSeen("QMessageBox"), 0);
    w.Players().List.push_back({"Zoe", std::make_shared<TWinRatio>()});
    w.Players().Current = 0;
    w.WinRatioAction()->trigger();
    w.HiscoresAction()->trigger();
    EXPECT_EQ(ratio, 2);
    EXPECT_EQ(shown, QStringList({"Player", "Zoe"}));
    EXPECT_EQ(fame, 1);
    EXPECT_EQ(w.HiscoresAction()->statusTip(), "Show the Top Ten highscores");
}

TEST_F(ScoresWindowTest, HandsAndMatchesCountInTheStatisticsAndSurviveARestart) {
    // An Expert game: a hand lost, then the last hand and the match won.
    Store.WriteValue("Settings\\Level", std::string("Expert"));
    TfmCanMain& w = Open();
    Answering();
    LoseAHand();
    WinTheMatch();
    const TPlayerStatistics& s = *w.Players().Default.Stats;
    EXPECT_EQ(s.ByOpponent.at("Expert"), (TTally{2, 1, 1, 1}));
    EXPECT_EQ(s.Total(), (TTally{2, 1, 1, 1})) << "no other level counted";
    ASSERT_TRUE(s.BestHand);
    EXPECT_GT(*s.BestHand, 500);
    EXPECT_EQ(s.HandScoreSum, -40 + *s.BestHand);
    EXPECT_GT(s.BestMatch.value_or(0), 5000);
    EXPECT_EQ(s.Streak, 1);
    EXPECT_EQ(w.Players().Default.Ratio->Wins, 1);

    // A new start over the same settings reads them back, and shows them.
    const TPlayerStatistics before = s;
    Start({});
    EXPECT_EQ(*Window->Players().Default.Stats, before);
    EXPECT_EQ(Window->Players().Default.Ratio->Wins, 1);
    QString best;
    OnDialog = [&](QDialog& d) {
        if (auto* stats = qobject_cast<TfmWinRatio*>(&d)) best = stats->BestHandText();
        return Accept(d);
    };
    Window->WinRatioAction()->trigger();
    EXPECT_EQ(best, QString::number(*before.BestHand));
}

// ---- the welcome window ----

TEST_F(TableWindowTest, TheWelcomeOpensAtStartUntilToldNotTo) {
    TStartOptions options;
    options.Welcome = true;
    TfmCanMain& w = Start(options);
    QWidget* welcome = w.WelcomeWindow();
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(welcome->isVisible());
    EXPECT_FALSE(welcome->isModal());
    EXPECT_EQ(CountSeen("fmWelcome"), 0) << "never run as a modal window";
    auto* dialog = qobject_cast<TfmWelcome*>(welcome);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->KeysLabel()->text().contains("F1"));
    // The game goes on beside it.
    const int hand = G().Seat(TSeat::Player).Hand.Count;
    ClickStock();
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, hand + 1);
    // "Your first game" opens that help page.
    dialog->FirstGameButton()->click();
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpWindow()->CurrentPage(), "quickstart.html");
    HelpWindow()->close();

    // Closed without the box checked: it comes again at the next start.
    welcome->close();
    Start(options);
    ASSERT_NE(Window->WelcomeWindow(), nullptr);
    auto* again = qobject_cast<TfmWelcome*>(Window->WelcomeWindow());
    EXPECT_FALSE(again->DontShowBox()->isChecked());
    again->DontShowBox()->click();
    EXPECT_FALSE(ReadBool(&Store, settings::ShowWelcome.Path, true)) << "kept as soon as it is checked";
    Start(options);
    EXPECT_EQ(Window->WelcomeWindow(), nullptr);
}

TEST_F(TableWindowTest, TheWelcomeKeepsOutOfTestsAndCommandLineLoads) {
    // Windows built without asking for it (the tests, the tools) never show it.
    Start({});
    EXPECT_EQ(Window->WelcomeWindow(), nullptr);
    // A saved game named on the command line: the player knows the way.
    TStartOptions load;
    load.Welcome = true;
    load.Arguments = {QDir(QString::fromStdString(DataFolder())).filePath("no-such-game.can")};
    Start(load);
    EXPECT_EQ(Window->WelcomeWindow(), nullptr);
    EXPECT_TRUE(ReadBool(&Store, settings::ShowWelcome.Path, true)) << "still to come at a plain start";
}

// ---- Customize ----

TEST_F(TableWindowTest, CustomizeOkAppliesSizeAndPlaySettings) {
    TfmCanMain& w = Open(0);
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    t.Meld(6, {"7H", "7D", "7C"});
    t.Melding();
    Arrange(t);
    const int hand = G().Seat(TSeat::Player).Hand.Count;

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
    EXPECT_EQ(w.TableGeometry().SizeIndex, 1);
    EXPECT_EQ(w.size(), QSize(800, 600));
    EXPECT_EQ(G().Config.MeldDelay, 0) << "the fastest melding";
    EXPECT_EQ(std::get<int32_t>(Store.ReadValue("Settings\\Delay", std::monostate{})), 0);
    // The cards moved with the table: every card on a column of the new size.
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, hand);
    EXPECT_EQ(ColumnCount(6), 3);
    EXPECT_EQ(CheckConsistency(G()), "");
}

// ---- what another run left is not lost ----

TEST_F(SavedGameWindowTest, ARefusedCommandLineFileLeavesTheAutomaticSaveAlone) {
    Open();
    const std::string resumable = OtherGameFile();
    Seen.clear();
    WriteBytes(AutosaveFile(), resumable);
    const QString damaged = Home() + "/x.can";
    WriteBytes(damaged, "CanastaSavedGame 1 17 3 ");
    TStartOptions options;
    options.Arguments = {damaged};
    TfmCanMain& w = Start(options);
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_FALSE(w.GameLoaded());
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(ReadBytes(AutosaveFile()), resumable) << "quit at once: the unfinished game stays";

    // Neither does a run with the automatic save switched off, which never loaded it.
    Store.WriteValue("Settings\\AutoSave", false);
    Start({}).close();
    EXPECT_EQ(ReadBytes(AutosaveFile()), resumable);

    // A game actually played in its place replaces it.
    Store.WriteValue("Settings\\AutoSave", true);
    TfmCanMain& played = Start(options);
    ClickStock();
    ASSERT_TRUE(G().GameInProgress);
    const std::string table = TableOf(G());
    played.close();
    THeadlessHost host;
    TGame reloaded(host, G().Rules, G().Config);
    ASSERT_EQ(LoadSavedGame(reloaded, ReadBytes(AutosaveFile())).Status, TLoadStatus::Ok);
    EXPECT_EQ(TableOf(reloaded), table);
    QFile::remove(damaged);
}

TEST_F(SavedGameWindowTest, ANamedPipeOrAnOversizedFileIsRefusedWithoutWaiting) {
    const QString pipe = Home() + "/pipe.can";
    const QByteArray pipeName = QFile::encodeName(pipe);
    QFile::remove(pipe);
    ASSERT_EQ(::mkfifo(pipeName.constData(), 0644), 0);
    // Should the start-up open the pipe for reading, a writer turns up after
    // five seconds, so that a hang fails the test instead of stopping it.
    std::atomic<bool> done{false};
    std::thread rescue([&] {
        for (int i = 0; i < 500 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (done) return;
        const int fd = ::open(pipeName.constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    });
    QElapsedTimer clock;
    clock.start();
    TStartOptions options;
    options.Arguments = {pipe};
    Start(options);
    const qint64 took = clock.elapsed();
    done = true;
    rescue.join();
    EXPECT_LT(took, 2000) << "start-up waited on the pipe";
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_EQ(Seen.back().Text, pipe.toUpper() + " : this file is not a Canasta saved game");
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, 15) << "a new deal";
    QFile::remove(pipe);

    // Far larger than any saved game, though it begins like one.
    Seen.clear();
    const QString huge = Home() + "/huge.can";
    WriteBytes(huge, OtherGameFile() + std::string(kMaxSavedGameBytes, ' '));
    options.Arguments = {huge};
    Start(options);
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_EQ(Seen.back().Text, huge.toUpper() + " : this file is not a Canasta saved game");
    QFile::remove(huge);
}

TEST_F(SavedGameWindowTest, TemporaryFilesOfAKilledSaveAreRemovedAtStartUp) {
    namespace fs = std::filesystem;
    const fs::path home = Home().toStdString();
    auto leftover = [&](const char* name, int ageSeconds) {
        WriteBytes(QString::fromStdString((home / name).string()), "half a game");
        fs::last_write_time(home / name, fs::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
    };
    leftover("autosave.can.tmp-Ab12Cd", 600);
    leftover("player.can.tmp-000000", 600);
    leftover("autosave.can.tmp-Zz99Yy", 0);  // may be the save of another running copy
    leftover("notes.txt", 600);
    Start({});
    EXPECT_FALSE(fs::exists(home / "autosave.can.tmp-Ab12Cd"));
    EXPECT_FALSE(fs::exists(home / "player.can.tmp-000000"));
    EXPECT_TRUE(fs::exists(home / "autosave.can.tmp-Zz99Yy"));
    EXPECT_TRUE(fs::exists(home / "notes.txt"));
    fs::remove(home / "autosave.can.tmp-Zz99Yy");
    fs::remove(home / "notes.txt");
}

TEST_F(SavedGameWindowTest, AFailedAutomaticSaveIsReportedAndStayingKeepsTheGame) {
    TfmCanMain& w = Open();
    StartedGame();
    const std::string table = TableOf(G());
    // A folder in the way: autosave.can cannot be written.
    QDir().mkpath(AutosaveFile());
    WriteBytes(AutosaveFile() + "/inside", "kept");
    OnDialog = [](QDialog& d) { return qobject_cast<QMessageBox*>(&d) ? int(QMessageBox::No) : Accept(d); };
    w.close();
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    const QString text = Seen.back().Text;
    EXPECT_TRUE(text.contains(AutosaveFile())) << text.toStdString();
    EXPECT_TRUE(text.contains("Is a directory")) << "the reason: " << text.toStdString();
    EXPECT_TRUE(w.isVisible()) << "the player chose to stay";
    EXPECT_EQ(TableOf(G()), table);

    OnDialog = {};  // quit without saving
    w.close();
    EXPECT_EQ(CountSeen("QMessageBox"), 2);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(ReadBytes(AutosaveFile() + "/inside"), "kept");
    QDir(AutosaveFile()).removeRecursively();
}

// ---- dialogs confirmed unchanged ----

namespace {
// What a card back shows: its type and the one value that type uses.
std::string Shown(const TBackSetting& b) {
    switch (b.Type) {
        case kBackSolid: return "solid " + std::to_string(b.Color);
        case kBackPattern: return "pattern " + std::to_string(b.Pattern);
        default: return "file " + b.FileName;
    }
}
}  // namespace

TEST_F(TableWindowTest, DialogsConfirmedUnchangedLeaveEverySettingAsItWas) {
    Store.WriteValue("Settings\\Delay", 500);  // between two steps of the slider
    TfmCanMain& w = Open();
    // Read as the table reads them (the music folder's default is the shipped one).
    const TAppSettings before = LoadAppSettings(&Store, ShippedMusicFolder());
    const auto backs = w.Backs();
    ASSERT_EQ(backs[1].Color, 16512u);
    OnDialog = [](QDialog& d) {
        if (auto* customize = qobject_cast<TfmCustomize*>(&d)) {
            customize->bnOkClick();
            return d.result();
        }
        return Accept(d);
    };
    for (QAction* a : {w.DecksAction(), w.CustomizeAction(), w.RulesAction(), w.SoundAction()}) {
        SCOPED_TRACE(a->text().toStdString());
        a->trigger();
        const TAppSettings after = LoadAppSettings(&Store, ShippedMusicFolder());
        EXPECT_TRUE(after == before);
        EXPECT_EQ(after.Delay, before.Delay);
        EXPECT_EQ(after.Aggression, before.Aggression);
        EXPECT_EQ(after.CardSpeed, before.CardSpeed);
        EXPECT_EQ(after.CardbackColor, before.CardbackColor);
        EXPECT_EQ(after.CardbackType, before.CardbackType);
        EXPECT_EQ(after.CardbackPattern, before.CardbackPattern);
        EXPECT_EQ(after.MusicType, before.MusicType);
        EXPECT_EQ(after.MusicDir, before.MusicDir);
        EXPECT_EQ(after.MusicFile, before.MusicFile);
        EXPECT_EQ(after.Level, before.Level);
        EXPECT_EQ(after.MouseOptions, before.MouseOptions);
        EXPECT_TRUE(after.Rules == before.Rules);
        for (size_t d = 0; d < 2; ++d) EXPECT_EQ(Shown(w.Backs()[d]), Shown(backs[d])) << "deck " << d;
    }
    EXPECT_EQ(CountSeen("fmDeck"), 1);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Store.ReadValue("Cardback\\Color1", std::monostate{})))
        << "nothing written for an unchanged deck";
    EXPECT_EQ(w.Game().Config.MeldDelay, 500);
    EXPECT_EQ(w.AppSettings().Delay, 500);
}

// ---- told to end (a signal) ----

class EndBySignalTest : public SavedGameWindowTest {
protected:
    void TearDown() override {
        EndModalWindows(false);
        SavedGameWindowTest::TearDown();
    }
    // Until the deferred close has run.
    static void Settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
};

TEST_F(EndBySignalTest, AStartedGameIsSavedAndNothingIsAsked) {
    TfmCanMain& w = Open();
    StartedGame();
    const std::string table = TableOf(G());
    w.QuitBySignal();
    Settle();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(Seen.empty());
    THeadlessHost host;
    TGame reloaded(host, G().Rules, G().Config);
    ASSERT_EQ(LoadSavedGame(reloaded, ReadBytes(AutosaveFile())).Status, TLoadStatus::Ok);
    EXPECT_EQ(TableOf(reloaded), table);
    EXPECT_FALSE(std::get<std::string>(Store.ReadValue("Settings\\Resolution", std::string())).empty());
}

TEST_F(EndBySignalTest, ANetworkGameOrAFailedSaveDoesNotHoldItUp) {
    TfmCanMain& w = Open();
    StartedGame();
    G().Config.Networked = true;  // would ask whether to quit the network game
    w.QuitBySignal();
    Settle();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(Seen.empty());

    EndModalWindows(false);
    TfmCanMain& again = Open();
    StartedGame();
    QDir().mkpath(AutosaveFile());  // the automatic save cannot be written
    again.QuitBySignal();
    Settle();
    EXPECT_FALSE(again.isVisible());
    EXPECT_TRUE(Seen.empty()) << "reported on stderr, not asked";
    QDir(AutosaveFile()).removeRecursively();
}

TEST_F(EndBySignalTest, AnOpenDialogGivesWayAndTheGameIsStillSaved) {
    TfmCanMain& w = Open();
    StartedGame();
    const std::string table = TableOf(G());
    // A real modal loop this time: the About box waits for a person.
    SetModalHandler({});
    QTimer::singleShot(50, &w, [&w] { w.QuitBySignal(); });
    bool rescued = false;
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        if (QWidget* open = QApplication::activeModalWidget()) {
            rescued = true;
            open->close();
        }
    });
    rescue.start(5000);
    QElapsedTimer clock;
    clock.start();
    w.AboutAction()->trigger();
    Settle();
    EXPECT_FALSE(rescued) << "the box stayed open";
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(w.isVisible());
    THeadlessHost host;
    TGame reloaded(host, G().Rules, G().Config);
    ASSERT_EQ(LoadSavedGame(reloaded, ReadBytes(AutosaveFile())).Status, TLoadStatus::Ok);
    EXPECT_EQ(TableOf(reloaded), table);
}

namespace {
// A table with the hand in a fixed order: taking a meld back may put the
// card at another place in the hand list, on the same spot of the table.
std::string TableInAnyHandOrder(const TGame& g) {
    TSavedGame s = CaptureSavedGame(g);
    for (TSavedCardList* hand : {&s.PlayerHand, &s.SavedPlayerHand})
        std::sort(hand->Cards.begin(), hand->Cards.begin() + hand->Count, [](const TSavedCard& a, const TSavedCard& b) {
            return std::tie(a.Id, a.Deck, a.X, a.Y) < std::tie(b.Id, b.Deck, b.X, b.Y);
        });
    return FormatSavedGame(s, [] { return 0; });
}
}  // namespace

TEST_F(EndBySignalTest, MeldsLeftWrongAreTakenBackRatherThanTheGameLost) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"9S", "9C", "4H", "KD", "QS"});
    t.Pile({"5D", "9H"});
    t.DrawPhase();
    Arrange(t);
    ClickStock();
    ASSERT_TRUE(G().GameInProgress);
    const std::string drawn = TableInAnyHandOrder(G());
    ClickHand("KD");  // a column of one card: no game to save as it stands
    ASSERT_FALSE(G().ValidateTurnMelds(TSeat::Player, G().TopCardPending));
    w.QuitBySignal();
    Settle();
    EXPECT_FALSE(w.isVisible());
    THeadlessHost host;
    TGame reloaded(host, G().Rules, G().Config);
    ASSERT_EQ(LoadSavedGame(reloaded, ReadBytes(AutosaveFile())).Status, TLoadStatus::Ok);
    EXPECT_EQ(TableInAnyHandOrder(reloaded), drawn);
}

TEST_F(EndBySignalTest, AProvisionalTakeOfThePileIsKeptWithoutItsPenalty) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"9S", "9C", "4H", "KD", "QS"});
    t.Pile({"5D", "9H"});
    t.DrawPhase();
    Arrange(t);
    G().GameInProgress = true;
    ClickPile();
    ASSERT_TRUE(G().PileTakeUndoable);
    const std::string taken = TableInAnyHandOrder(G());
    ClickHand("KD");  // and a wrong meld on top of it
    ASSERT_FALSE(G().ValidateTurnMelds(TSeat::Player, G().TopCardPending));
    w.QuitBySignal();
    Settle();
    EXPECT_FALSE(w.isVisible());
    THeadlessHost host;
    TGame reloaded(host, G().Rules, G().Config);
    ASSERT_EQ(LoadSavedGame(reloaded, ReadBytes(AutosaveFile())).Status, TLoadStatus::Ok);
    EXPECT_TRUE(reloaded.PileTakeUndoable) << "still the player's to complete or undo";
    EXPECT_EQ(reloaded.Seat(TSeat::Player).Score, 0);
    EXPECT_EQ(TableInAnyHandOrder(reloaded), taken);
}

TEST_F(SavedGameWindowTest, ANewGameALoadOrAConnectionAsksBeforeAMatchIsThrownAway) {
    TfmCanMain& w = Open();
    // Nothing played yet: nothing to ask about.
    const uint32_t first = G().HandNumber;
    w.NewAction()->trigger();
    EXPECT_EQ(CountSeen("QMessageBox"), 0);
    ASSERT_EQ(G().HandNumber, first + 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.IsBusy(); }, 10000));

    StartedGame();
    const std::string before = TableOf(G());
    const QString standing = QStringLiteral("A match is in progress: you have 1230 points, Computer has 455.\n");
    const std::vector<std::pair<QAction*, QString>> actions = {
        {w.NewAction(), "start a new game"},
        {w.LoadAction(), "load another game"},
        {w.Network().ConnectAction(), "connect to an opponent"},
    };
    for (const auto& [action, doing] : actions) {
        Seen.clear();
        OnDialog = [](QDialog& d) { return qobject_cast<QMessageBox*>(&d) ? int(QMessageBox::Cancel) : 0; };
        action->trigger();
        // Only the question: no file or connection window after a Cancel.
        ASSERT_EQ(Seen.size(), 1u) << doing.toStdString();
        EXPECT_EQ(Seen[0].Text, standing + "Do you want to save it before you " + doing + "?");
        EXPECT_EQ(TableOf(G()), before) << doing.toStdString();
    }

    // Save: the file dialog, the file, then the new game.
    const QString file = Home() + "/kept.can";
    QFile::remove(file);
    Seen.clear();
    OnDialog = [&](QDialog& d) {
        if (qobject_cast<QMessageBox*>(&d)) return int(QMessageBox::Save);
        auto* files = qobject_cast<QFileDialog*>(&d);
        if (!files) return Accept(d);
        files->selectFile(file);
        return int(QDialog::Accepted);
    };
    // A pile take not yet completed cannot be saved: the match goes on.
    TestTable taking = Table();
    taking.Hand({"9S", "9C", "4H", "KD", "QS"});
    taking.Pile({"5D", "9H"});
    taking.DrawPhase();
    Arrange(taking);
    G().GameInProgress = true;
    ClickPile();
    ASSERT_TRUE(G().PileTakeUndoable);
    const std::string taken = TableOf(G());
    w.NewAction()->trigger();
    EXPECT_EQ(TableOf(G()), taken) << "the save was refused, so nothing is thrown away";
    EXPECT_FALSE(QFile::exists(file));
    ClickPile();  // taken back
    ASSERT_TRUE(G().TurnStart);

    const uint32_t hand = G().HandNumber;
    Seen.clear();
    w.NewAction()->trigger();
    EXPECT_TRUE(QFile::exists(file)) << "saved before the new game";
    EXPECT_EQ(G().HandNumber, hand + 1);
    EXPECT_EQ(G().Seat(TSeat::Player).Score, 0);

    // Between hands there is nothing a saved file could resume: only whether to end it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.IsBusy(); }, 10000));
    StartedGame();
    const TTurnPhase phase = G().TurnPhase;
    G().SetTurnPhase(TTurnPhase::HandOver);
    Seen.clear();
    OnDialog = [](QDialog& d) { return qobject_cast<QMessageBox*>(&d) ? int(QMessageBox::No) : 0; };
    w.NewAction()->trigger();
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].Text, standing + "Do you want to end it and start a new game?");
    EXPECT_EQ(G().HandNumber, hand + 1) << "No keeps the match";
    G().SetTurnPhase(phase);

    // Don't Save goes straight on.
    OnDialog = {};
    Seen.clear();
    w.NewAction()->trigger();
    EXPECT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_EQ(G().HandNumber, hand + 2);
    QFile::remove(file);
}
