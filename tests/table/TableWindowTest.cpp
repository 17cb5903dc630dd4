// SPDX-License-Identifier: GPL-3.0-or-later
// The table window played with real mouse and key events.
#include <QAction>
#include <QElapsedTimer>
#include <QTimer>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusTipEvent>

#include "ai/Master.h"
#include "ai/PlayerBot.h"
#include "dialogs/Deck.h"
#include "dialogs/Results.h"
#include "dialogs/Rules.h"
#include "table/TableFixture.h"

using namespace canasta;
using namespace canasta::test;

namespace {

const char* kDrawText = "Draw a card by clicking on the stock or the discard pile";
const char* kMeldText = "Meld a card by clicking it, discard a card by right-clicking it";

// A computer level that fails inside its turn, as a broken invariant would.
class FailingLevel : public IComputerLevel {
public:
    void PlayTurn(TGame&, TSeat) override { throw InternalError("stock index 200 out of range"); }
};

}  // namespace

TEST_F(TableWindowTest, DrawingFromTheStock) {
    TfmCanMain& w = Open();
    EXPECT_EQ(w.StatusText().toStdString(), kDrawText);
    EXPECT_FALSE(G().GameInProgress);
    EXPECT_EQ(w.RulesAction()->statusTip().toStdString(), "Adjust the rules of Canasta to your local variant");
    TestTable t = Table();
    t.Hand({"5S", "5C", "9H", "KD"});
    t.Pile({"8C"});
    t.DrawPhase();
    Arrange(t);
    const TCard top = G().Stock.Last();

    ClickStock();
    EXPECT_TRUE(G().HasDrawn);
    EXPECT_TRUE(G().GameInProgress);
    EXPECT_EQ(FindFirstById(G().Seat(TSeat::Player).Hand, top.Id) >= 0 || IsRedThree(top), true);
    EXPECT_EQ(w.StatusText().toStdString(), kMeldText);
    EXPECT_EQ(w.RulesAction()->statusTip().toStdString(),
              " Changing the rules is only possible when starting a new game");

    // A second click is refused in red and leaves the hand as it is.
    const int cards = G().Seat(TSeat::Player).Hand.Count;
    ClickStock();
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, cards);
    EXPECT_EQ(w.StatusText().toStdString(), "You have already drawn");
    EXPECT_TRUE(w.StatusIsError());
    QElapsedTimer red;
    red.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.StatusIsError(); }, 10000)) << "the red highlight never ends";
    // 600 ms, less what a coarse timer may fire early and the time the click took.
    EXPECT_GE(red.elapsed(), 500) << "the red highlight ends after 600 ms";
    EXPECT_EQ(w.StatusText().toStdString(), "You have already drawn") << "the text stays";
}

TEST_F(TableWindowTest, FunctionKeysClickStockAndPile) {
    Open();
    TestTable t = Table();
    t.Hand({"7S", "7C", "9H", "KD", "QS"});
    t.Meld(6, {"7H", "7D", "JK"});  // melded before: the pile is not frozen for the player
    t.Pile({"4C", "7S"});
    t.DrawPhase();
    Arrange(t);
    G().PileFrozen = false;

    Key(Qt::Key_F7);
    EXPECT_FALSE(G().TurnStart) << "F7 takes the pile";
    EXPECT_TRUE(G().DiscardPile.Empty());
    EXPECT_EQ(InHand("4C"), 1);
    Key(Qt::Key_F6);
    EXPECT_EQ(Window->StatusText().toStdString(), "You have already drawn");
}

TEST_F(TableWindowTest, ProvisionalPileTakeIsUndoneByClickingThePile) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"9S", "9C", "4H", "KD", "QS"});
    t.Pile({"5D", "9H"});
    t.DrawPhase();
    Arrange(t);

    ClickPile();
    EXPECT_EQ(ColumnCount(8), 1) << "the top nine goes to the table";
    EXPECT_EQ(w.StatusText().toStdString(), "Meld by clicking left, undo taking discard pile by clicking it");
    const int score = G().Seat(TSeat::Player).Score;
    ClickPile();
    EXPECT_TRUE(G().TurnStart);
    EXPECT_EQ(G().DiscardPile.Count, 2);
    EXPECT_EQ(ColumnCount(8), 0);
    // The take back costs 50 points, and the message area says so until the player acts.
    EXPECT_EQ(G().Seat(TSeat::Player).Score, score - 50);
    EXPECT_EQ(w.StatusText().toStdString(), std::string("Taking the pile back cost you 50 points.\n") + kDrawText);
    EXPECT_EQ(CheckConsistency(G()), "");
    ClickStock();
    EXPECT_EQ(w.StatusText().toStdString(), kMeldText);
}

TEST_F(TableWindowTest, MeldGesturesWithShiftAndCtrl) {
    Open();
    TestTable t = Table();
    t.Hand({"7S", "7C", "7H", "7D", "KS", "KC", "KH", "4D", "9S"});
    t.Meld(6, {"7S"});
    Arrange(t);

    // Ctrl: as many as bring the column to three.
    ClickHand("7C", Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(ColumnCount(6), 3);
    // Plain click: one card.
    ClickHand("KS");
    EXPECT_EQ(ColumnCount(12), 1);
    // Shift: every card of the rank.
    ClickHand("KC", Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(ColumnCount(12), 3);
    EXPECT_EQ(InHand("KC") + InHand("KH"), 0);
    EXPECT_TRUE(Window->UndoMeldAction()->isEnabled());
    EXPECT_EQ(CheckConsistency(G()), "");
}

TEST_F(TableWindowTest, ShiftClickOnATableColumnCompletesTheCanasta) {
    Open();
    TestTable t = Table();
    t.Hand({"2S", "4D", "9S", "KC", "QH"});
    t.Meld(10, {"JS", "JC", "JH", "JD", "JS"});
    Arrange(t);

    // One wild card cannot bring five to seven: nothing happens.
    const TCard& jack = G().Seat(TSeat::Player).Melds.Cards[0];
    ClickCard(TArea::PlayerMelds, jack, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(ColumnCount(10), 5);

    TestTable t2 = Table();
    t2.Hand({"2S", "JK", "4D", "9S", "KC"});
    t2.Meld(10, {"JS", "JC", "JH", "JD", "JS"});
    Arrange(t2);
    ClickCard(TArea::PlayerMelds, G().Seat(TSeat::Player).Melds.Cards[0], Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(ColumnCount(10), 7);
    EXPECT_EQ(G().Seat(TSeat::Player).MeldState.CanastaKind[10], ckMixed);

    // A plain click on a column adds one wild card.
    TestTable t3 = Table();
    t3.Hand({"2S", "JK", "4D", "9S", "KC"});
    t3.Meld(5, {"6S", "6C", "6H"});
    Arrange(t3);
    ClickCard(TArea::PlayerMelds, G().Seat(TSeat::Player).Melds.Cards[2]);
    EXPECT_EQ(ColumnCount(5), 4);
}

TEST_F(TableWindowTest, RefusedGesturesShowTheirTextAndChangeNothing) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"9S", "7C", "2D", "JK"});
    t.Pile({"5D", "9H"});
    t.DrawPhase();
    Arrange(t);
    ClickHand("7C");
    EXPECT_EQ(w.StatusText().toStdString(),
              "You cannot meld before drawing; please draw first by clicking on the stock or the discard pile");
    EXPECT_TRUE(w.StatusIsError());
    ClickPile();  // frozen, and one nine is no pair
    EXPECT_EQ(w.StatusText().toStdString(),
              "Taking the discard pile is not possible now because you cannot meld the top card");
    G().HasDrawn = true;
    G().TurnStart = false;
    ClickHand("JK");
    EXPECT_EQ(w.StatusText().toStdString(), "You need at least seven wildcards to create a wildcard Canasta");
    G().Rules.WildCanastaAllowed = false;
    ClickHand("2D");
    EXPECT_EQ(w.StatusText().toStdString(), "Wildcard Canastas are not allowed with the current rules");
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, 4);
    EXPECT_EQ(G().Seat(TSeat::Player).Melds.Count, 0);
    EXPECT_EQ(G().DiscardPile.Count, 2);
}

TEST_F(TableWindowTest, SingleRightClickDiscardsAndTheComputerPlays) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    Arrange(t);
    ClickHand("9H", Qt::RightButton);
    EXPECT_EQ(G().DiscardPile.Count >= 1, true);
    EXPECT_EQ(Level.Turns, 1);
    EXPECT_EQ(InHand("9H"), 0);
    EXPECT_EQ(w.StatusText().toStdString(), kDrawText) << "the computer's turn is over";
    EXPECT_FALSE(w.UndoMeldAction()->isEnabled());
}

// A computer level whose turn moves cards (so there is something to show):
// it draws, lays its red threes, pauses as a melding computer does, discards.
class ShowingLevel : public IComputerLevel {
public:
    void PlayTurn(TGame& g, TSeat) override {
        g.OpponentsTurn = true;
        g.AddToHand(TSeat::Opponent, g.DrawFromStock(), {TArea::Stock}, true);
        g.Host.Wait(300);
        g.DiscardFromHand(TSeat::Opponent, g.Seat(TSeat::Opponent).Hand.Count - 1);
        g.OpponentsTurn = false;
        g.SetTurnPhase(TTurnPhase::Draw);
    }
};

TEST_F(TableWindowTest, TheComputersTurnIsShownAfterTheGameHasMovedOn) {
    TfmCanMain& w = Open();
    ShowingLevel showing;
    G().Levels = {&showing, &showing, &showing};
    Window->PauseScale = 1;
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    Arrange(t);
    const int stock = G().Stock.Count;
    ClickHand("9H", Qt::RightButton);
    // The discard is shown first; the computer plays once it has landed.
    EXPECT_TRUE(w.IsBusy());
    EXPECT_TRUE(G().OpponentsTurn);
    EXPECT_EQ(G().Stock.Count, stock);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !G().OpponentsTurn; }, 10000));
    // Its turn is played at once and then shown: the status keeps the
    // computer's turn until its cards have moved.
    EXPECT_EQ(G().Stock.Count, stock - 1);
    EXPECT_TRUE(w.IsBusy());
    EXPECT_EQ(w.StatusText().toStdString(), "It's the computer's turn");
    // Clicks meanwhile are dropped: they were aimed at a table still moving.
    const int hand = G().Seat(TSeat::Player).Hand.Count;
    ClickStock();
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, hand);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.IsBusy(); }, 10000));
    // Below the account of the computer's turn.
    EXPECT_TRUE(w.StatusText().endsWith(QLatin1Char('\n') + QString::fromUtf8(kDrawText)))
        << w.StatusText().toStdString();
    ClickStock();
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, hand + 1);
}

// The Master searches on a worker thread: meanwhile the table paints and
// takes keys, and the game waits; then the turn is played as decided.
TEST_F(TableWindowTest, TheMasterThinksWhileTheTableStaysLive) {
    TfmCanMain& w = Open();
    TMaster master;
    master.Budget.ThinkMs = 400;
    master.Budget.Threads = 2;
    G().Levels = {&Level, &Level, &Level, &master};
    G().Config.Level = 3;
    Window->PauseScale = 1;
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    t.OppHand({"4C", "4D", "7S", "8H", "8D", "JC", "QH", "AS", "AD", "6C", "10S"});
    t.Pile({"6D", "9S"});
    Arrange(t);
    const int stock = G().Stock.Count;
    ClickHand("9H", Qt::RightButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Thinking(); }, 10000));
    EXPECT_TRUE(G().OpponentsTurn);
    EXPECT_EQ(G().Stock.Count, stock);
    EXPECT_TRUE(w.IsBusy());

    struct TPaints : QObject {
        int Count = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            Count += e->type() == QEvent::Paint;
            return false;
        }
    } paints;
    View()->installEventFilter(&paints);
    View()->update();
    EXPECT_TRUE(QTest::qWaitFor([&] { return paints.Count > 0; }, 5000));
    w.setWindowState(w.windowState() | Qt::WindowFullScreen);
    ASSERT_TRUE(w.isFullScreen());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(w.isFullScreen());
    EXPECT_TRUE(w.Thinking());
    View()->removeEventFilter(&paints);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !G().OpponentsTurn; }, 10000));
    EXPECT_FALSE(w.Thinking());
    // The search ran on the copy; the game's turn followed what it decided.
    EXPECT_EQ(master.Stats.TakeSearches + master.Stats.DiscardSearches, 0);
    EXPECT_FALSE(master.HasPlan());
    EXPECT_LT(G().Stock.Count, stock);
    EXPECT_EQ(CheckConsistency(G()), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.IsBusy(); }, 10000));
}

// Closing while it thinks waits for the search and saves the whole turn.
TEST_F(TableWindowTest, ClosingWhileTheMasterThinksFinishesItsTurn) {
    Store.WriteValue("Settings\\AutoSave", int32_t(1));
    TfmCanMain& w = Open();
    TMaster master;
    master.Budget.ThinkMs = 300;
    G().Levels = {&Level, &Level, &Level, &master};
    G().Config.Level = 3;
    Window->PauseScale = 1;
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    t.OppHand({"4C", "4D", "7S", "8H", "8D", "JC", "QH", "AS", "AD", "6C", "10S"});
    Arrange(t);
    G().GameInProgress = true;
    ClickHand("9H", Qt::RightButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Thinking(); }, 10000));
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.Thinking());
    EXPECT_FALSE(G().OpponentsTurn);
    EXPECT_EQ(G().TurnPhase, TTurnPhase::Draw);
    EXPECT_EQ(CheckConsistency(G()), "");
    EXPECT_TRUE(QFile::exists(AutosaveFile()));
}

TEST_F(TableWindowTest, ClosingWhileTheComputersTurnIsShownSavesTheWholeTurn) {
    Store.WriteValue("Settings\\AutoSave", int32_t(1));
    TfmCanMain& w = Open();
    ShowingLevel showing;
    G().Levels = {&showing, &showing, &showing};
    Window->PauseScale = 1;
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    Arrange(t);
    G().GameInProgress = true;
    ClickHand("9H", Qt::RightButton);
    ASSERT_TRUE(w.IsBusy());
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.IsBusy());
    EXPECT_EQ(G().TurnPhase, TTurnPhase::Draw);
    EXPECT_TRUE(QFile::exists(AutosaveFile()));
}

TEST_F(TableWindowTest, NewGameInANetworkGameAsksFirst) {
    TfmCanMain& w = Open();
    G().Config.Networked = true;
    G().Seat(TSeat::Player).Score = 700;
    const uint32_t hand = G().HandNumber;
    OnDialog = [](QDialog&) { return int(QMessageBox::No); };
    w.NewAction()->trigger();
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].Text.toStdString(),
              "You have a network game running. Are you sure you want to start a new game?");
    EXPECT_EQ(G().Seat(TSeat::Player).Score, 700);
    EXPECT_EQ(G().HandNumber, hand);
    G().Config.Networked = false;
}

TEST_F(TableWindowTest, RightClickBeforeDrawingShowsErrorTwoAtOnce) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    t.DrawPhase();
    Arrange(t);
    ClickHand("9H", Qt::RightButton);
    EXPECT_EQ(w.StatusText().toStdString(),
              "You cannot discard before drawing; please draw first by clicking on the stock or the discard pile");
    EXPECT_EQ(InHand("9H"), 1);
}

TEST_F(TableWindowTest, DoubleRightClickArmsThenDiscards) {
    Store.WriteValue("Settings\\Mouse Options", std::string("Double Right Click"));
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD", "QC"});
    Arrange(t);
    EXPECT_EQ(w.StatusText().toStdString(), "Meld by clicking a card, discard by right-clicking it twice");

    ClickHand("9H", Qt::RightButton);
    EXPECT_EQ(InHand("9H"), 1) << "the first click only arms the card";
    ClickHand("KD", Qt::RightButton);
    EXPECT_EQ(InHand("KD"), 1) << "another card is armed instead";
    ClickHand("9H", Qt::RightButton);
    EXPECT_EQ(InHand("9H"), 1);
    ClickHand("9H", Qt::RightButton);
    EXPECT_EQ(InHand("9H"), 0);
    EXPECT_EQ(Level.Turns, 1);
}

TEST_F(TableWindowTest, ArmedCardIsDisarmedWhenTheHandChanges) {
    Store.WriteValue("Settings\\Mouse Options", std::string("Double Right Click"));
    Open();
    TestTable t = Table();
    t.Hand({"4S", "4C", "4H", "9H", "KD", "QC", "5S", "6S"});
    Arrange(t);
    const int armed = FindFirstById(G().Seat(TSeat::Player).Hand, CardId("KD"));
    ClickHand("KD", Qt::RightButton);
    ClickHand("4S", Qt::LeftButton, Qt::ShiftModifier);  // three fours leave the hand
    // The card now at the armed index is another card: one click must not discard it.
    ASSERT_LT(armed, G().Seat(TSeat::Player).Hand.Count);
    const TCard other = G().Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(armed)];
    ASSERT_NE(other.Id, CardId("KD"));
    ClickCard(TArea::PlayerHand, other, Qt::RightButton);
    EXPECT_GE(FindFirstById(G().Seat(TSeat::Player).Hand, other.Id), 0);
    EXPECT_EQ(Level.Turns, 0);
}

TEST_F(TableWindowTest, KeyboardModesMeldDiscardAndAddWildCards) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"7S", "7C", "7H", "2D", "KS", "QC", "JK"});
    t.Meld(12, {"KC", "KH", "KD"});
    Arrange(t);

    Key(Qt::Key_F8);
    EXPECT_EQ(w.KeyboardMode(), 0);
    EXPECT_EQ(G().TurnPhase, TTurnPhase::KeyMeld);
    Key(Qt::Key_7, Qt::ShiftModifier);  // Shift: all sevens
    EXPECT_EQ(ColumnCount(6), 3);
    EXPECT_EQ(G().TurnPhase, TTurnPhase::KeyMeld) << "the mode stays for the next key";
    Key(Qt::Key_1);  // no card key: nothing
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, 4);
    Key(Qt::Key_W);  // the jokers' column of the hand: seven wild cards are not there
    EXPECT_EQ(w.StatusText().toStdString(), "You need at least seven wildcards to create a wildcard Canasta");

    Key(Qt::Key_F9);
    EXPECT_EQ(G().TurnPhase, TTurnPhase::KeyWild);
    Key(Qt::Key_K);  // a wild card onto the kings
    EXPECT_EQ(ColumnCount(12), 4);

    Key(Qt::Key_Escape);
    EXPECT_EQ(G().TurnPhase, TTurnPhase::MeldOrDiscard);

    Key(Qt::Key_F10);
    EXPECT_EQ(G().TurnPhase, TTurnPhase::KeyDiscard);
    Key(Qt::Key_Q);
    EXPECT_EQ(InHand("QC"), 0);
    EXPECT_EQ(Level.Turns, 1);
    EXPECT_EQ(G().TurnPhase, TTurnPhase::Draw) << "after the discard the instruction is to draw";
    EXPECT_TRUE(G().TurnStart);
}

TEST_F(TableWindowTest, CardKeysTakeTheFirstCardOfTheirColumnAtEverySize) {
    for (int size = 0; size < kSizeCount; ++size) {
        SCOPED_TRACE("size " + std::to_string(size));
        Open(size);
        TestTable t = Table();
        t.Hand({"5S", "5C", "9H", "KD", "KS"});
        t.Meld(12, {"KC", "KH", "KD"});
        t.Hand({"JK"});
        Arrange(t);
        Key(Qt::Key_F9);
        Key(Qt::Key_K);  // the joker onto the kings
        EXPECT_EQ(ColumnCount(12), 4);
        Key(Qt::Key_F10);
        Key(Qt::Key_5);  // the first five of the column: the spade
        ASSERT_GE(G().DiscardPile.Count, 1);
        EXPECT_EQ(G().DiscardPile.Cards[0].Id, CardId("5S")) << "under the computer's discard";
        EXPECT_EQ(InHand("5S"), 0);
        EXPECT_EQ(InHand("5C"), 1);
        Window.reset();
    }
}

TEST_F(TableWindowTest, EscapeBeforeDrawingReturnsToTheDrawInstruction) {
    TfmCanMain& w = Open();
    Key(Qt::Key_F8);
    EXPECT_EQ(G().TurnPhase, TTurnPhase::KeyMeld);
    Key(Qt::Key_Escape);
    EXPECT_EQ(w.StatusText().toStdString(), kDrawText);
}

TEST_F(TableWindowTest, UndoMenuItemsAndTheirKeys) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"7S", "7C", "7H", "KS", "KC", "KH", "4D"});
    Arrange(t);
    EXPECT_FALSE(w.UndoMeldAction()->isEnabled());
    ClickHand("7S", Qt::LeftButton, Qt::ShiftModifier);
    ClickHand("KS", Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(w.UndoAllAction()->isEnabled());

    Key(Qt::Key_Delete);
    EXPECT_EQ(ColumnCount(12), 2);
    EXPECT_EQ(InHand("KH") + InHand("KC") + InHand("KS"), 1);
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(G().Seat(TSeat::Player).Melds.Count, 0);
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, 7);
    EXPECT_FALSE(w.UndoMeldAction()->isEnabled());
    EXPECT_FALSE(w.UndoAllAction()->isEnabled());
    EXPECT_EQ(CheckConsistency(G()), "");
}

TEST_F(TableWindowTest, CtrlF11ShowsTheComputersHand) {
    Open();
    ASSERT_GT(G().Seat(TSeat::Opponent).Hand.Count, 0);
    EXPECT_FALSE(G().Seat(TSeat::Opponent).Hand.Cards[0].FaceUp);
    Key(Qt::Key_F11);  // without Ctrl: nothing
    EXPECT_FALSE(G().Config.ShowOpponentCards);
    Key(Qt::Key_F11, Qt::ControlModifier);
    EXPECT_TRUE(G().Config.ShowOpponentCards);
    EXPECT_EQ(Window->OpponentHandPitch(), 12);
    for (const TCard& c : G().Seat(TSeat::Opponent).Hand) EXPECT_TRUE(c.FaceUp);
    Key(Qt::Key_F11, Qt::ControlModifier);
    EXPECT_EQ(Window->OpponentHandPitch(), 10);
    for (const TCard& c : G().Seat(TSeat::Opponent).Hand) EXPECT_FALSE(c.FaceUp);
}

TEST_F(TableWindowTest, EndHandButtonEndsAnExhaustedHand) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    t.Pile({"4C"});
    t.StockDownTo(0);
    t.DrawPhase();
    Arrange(t);
    ASSERT_TRUE(w.EndHandButton()->isVisible());
    ASSERT_TRUE(w.EndHandButton()->isEnabled());

    QTest::mouseClick(w.EndHandButton(), Qt::LeftButton);
    EXPECT_EQ(CountSeen("fmScore"), 1);
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, 15) << "the next hand is dealt";
    EXPECT_LT(G().Seat(TSeat::Player).Score, 0);
}

TEST_F(TableWindowTest, ScoringWindowDetailsShowTheComputersHand) {
    Open();
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    t.OppHand({"4C", "8D", "QS"});
    t.StockDownTo(0);
    t.DrawPhase();
    Arrange(t);

    bool faceUpDuringDetails = false;
    QString opponentCaption;
    OnDialog = [&](QDialog& d) {
        if (auto* score = qobject_cast<TfmScore*>(&d)) {
            opponentCaption = score->lbOpponentCaption->text();
            QTest::mouseClick(score->bnDetails, Qt::LeftButton);
        } else if (d.objectName() == "fmDetails") {
            faceUpDuringDetails = true;
            for (const TCard& c : G().Seat(TSeat::Opponent).Hand) faceUpDuringDetails &= c.FaceUp;
        }
        return Accept(d);
    };
    QTest::mouseClick(Window->EndHandButton(), Qt::LeftButton);
    EXPECT_EQ(opponentCaption, "Computer's Score:");
    EXPECT_EQ(CountSeen("fmDetails"), 1);
    EXPECT_TRUE(faceUpDuringDetails);
}

TEST_F(TableWindowTest, GameOverNoQuitsAndYesPlaysOn) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"5S"});
    t.StockDownTo(0);
    t.DrawPhase();
    Arrange(t);
    G().Seat(TSeat::Player).Score = 5200;
    G().Seat(TSeat::Opponent).Score = 100;
    G().GameInProgress = true;
    OnDialog = [](QDialog& d) { return Accept(d); };
    QTest::mouseClick(w.EndHandButton(), Qt::LeftButton);
    EXPECT_EQ(CountSeen("fmGameOver"), 1);
    EXPECT_EQ(G().Seat(TSeat::Player).Score, 0);
    EXPECT_FALSE(G().GameInProgress);
    EXPECT_TRUE(w.isVisible());

    TestTable t2 = Table();
    t2.Hand({"5S"});
    t2.StockDownTo(0);
    t2.DrawPhase();
    Arrange(t2);
    G().Seat(TSeat::Player).Score = 5200;
    OnDialog = [](QDialog& d) {
        return d.objectName() == "fmGameOver" ? int(TfmGameOver::No) : int(QDialog::Accepted);
    };
    QTest::mouseClick(w.EndHandButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 10000)) << "No closes the table";
    EXPECT_EQ(std::get<std::string>(Store.ReadValue("Settings\\Resolution", std::monostate{})).substr(4), "640x480");
}

TEST_F(TableWindowTest, CoreErrorGivesAnErrorBoxAndAFreshDeal) {
    TfmCanMain& w = Open();
    FailingLevel failing;
    G().Levels = {&failing, &failing, &failing};
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    Arrange(t);
    OnDialog = [&](QDialog& d) {
        // The fresh deal must not run into the same failure.
        G().Levels = {&Level, &Level, &Level};
        return int(QMessageBox::Ok);
    };
    ClickHand("9H", Qt::RightButton);
    ASSERT_EQ(CountSeen("QMessageBox"), 1);
    EXPECT_TRUE(Seen.back().Text.contains("stock index 200 out of range"));
    EXPECT_EQ(G().Seat(TSeat::Player).Hand.Count, 15);
    EXPECT_EQ(CheckConsistency(G()), "");
    EXPECT_FALSE(w.IsBusy());
    // The table still answers.
    if (!G().OpponentsTurn && G().TurnStart) {
        ClickStock();
        EXPECT_TRUE(G().HasDrawn || G().TurnPhase == TTurnPhase::DrawSecond);
    }
}

TEST_F(TableWindowTest, MenuHintShowsUntilTheMouseMovesOverTheTable) {
    TfmCanMain& w = Open();
    QStatusTipEvent tip(QStringLiteral("Select a color or image for the backside of the cards"));
    QApplication::sendEvent(&w, &tip);
    EXPECT_TRUE(w.HintIsShown());
    EXPECT_EQ(w.StatusText(), "Select a color or image for the backside of the cards");
    QTest::mouseMove(View(), QPoint(300, 100));
    EXPECT_EQ(w.StatusText().toStdString(), kDrawText);
    EXPECT_FALSE(w.HintIsShown());
}

TEST_F(TableWindowTest, RulesDialogFromTheMenu) {
    TfmCanMain& w = Open();
    // Before the first click: unfreezing the pile takes effect at once.
    bool enabled = false;
    OnDialog = [&](QDialog& d) {
        auto* rules = qobject_cast<TfmRules*>(&d);
        if (!rules) return Accept(d);
        enabled = rules->ckInitiallyFrozen->isEnabled();
        rules->ckInitiallyFrozen->setChecked(false);
        return Accept(d);
    };
    G().PileFrozen = true;
    w.RulesAction()->trigger();
    EXPECT_TRUE(enabled);
    EXPECT_FALSE(G().Rules.InitiallyFrozen);
    EXPECT_FALSE(G().PileFrozen);
    EXPECT_FALSE(LoadRuleOptions(&Store).InitiallyFrozen);

    // After the first draw the rules are locked.
    ClickStock();
    bool warned = false;
    OnDialog = [&](QDialog& d) {
        auto* rules = qobject_cast<TfmRules*>(&d);
        if (!rules) return Accept(d);
        enabled = rules->ckInitiallyFrozen->isEnabled();
        warned = !rules->lbWarning->isHidden();
        return Accept(d);
    };
    w.RulesAction()->trigger();
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(warned);
}

TEST_F(TableWindowTest, DecksDialogOkAppliesTheBacks) {
    TfmCanMain& w = Open();
    OnDialog = [](QDialog& d) {
        if (auto* deck = qobject_cast<TfmDeck*>(&d)) deck->rbPattern->setChecked(true);
        return Accept(d);
    };
    w.DecksAction()->trigger();
    EXPECT_EQ(w.Backs()[0].Type, kBackPattern);
    EXPECT_EQ(w.Backs()[0].Pattern, 1) << "the dialog's own default pattern";
    EXPECT_EQ(std::get<int32_t>(Store.ReadValue("Cardback\\Type0", std::monostate{})), 1);
}

TEST_F(TableWindowTest, ClosingWritesPositionAndSize) {
    TfmCanMain& w = Open(1);
    w.move(10, 20);
    w.close();
    const auto v = Store.ReadValue("Settings\\Resolution", std::monostate{});
    ASSERT_TRUE(std::holds_alternative<std::string>(v));
    EXPECT_EQ(std::get<std::string>(v), QStringLiteral("%1,%2,800x600").arg(w.x()).arg(w.y()).toStdString());
}

// ---- a whole hand, the human seat played by the scripted player through the mouse ----

namespace {

bool SameTable(const TGameState& a, const TGameState& b) {
    return a.Seat(TSeat::Player).Hand == b.Seat(TSeat::Player).Hand &&
           a.Seat(TSeat::Player).Melds == b.Seat(TSeat::Player).Melds && a.DiscardPile == b.DiscardPile &&
           a.Stock.Count == b.Stock.Count && a.TurnPhase == b.TurnPhase && a.UndoStack.size() == b.UndoStack.size() &&
           a.OpponentsTurn == b.OpponentsTurn && a.TurnStart == b.TurnStart;
}

}  // namespace

class WholeHandTest : public TableWindowTest {
protected:
    // Performs the scripted player's gesture with the mouse or the keyboard.
    void Perform(const TMove& g) {
        const Qt::KeyboardModifiers mods =
            (g.Shift ? Qt::ShiftModifier : Qt::NoModifier) | (g.Ctrl ? Qt::ControlModifier : Qt::NoModifier);
        switch (g.Kind) {
            case TMoveType::Draw: ClickStock(); break;
            case TMoveType::TakePile: ClickPile(); break;
            case TMoveType::MeldCard:
            case TMoveType::MeldWild:
                ClickCard(TArea::PlayerHand, G().Seat(TSeat::Player).Hand.At(g.Index), Qt::LeftButton, mods);
                break;
            case TMoveType::Discard:
                ClickCard(TArea::PlayerHand, G().Seat(TSeat::Player).Hand.At(g.Index), Qt::RightButton);
                break;
            case TMoveType::AddWild: {
                for (const TCard& c : G().Seat(TSeat::Player).Melds)
                    if (c.Column == g.Index) {
                        ClickCard(TArea::PlayerMelds, c, Qt::LeftButton, mods);
                        break;
                    }
                break;
            }
            case TMoveType::DiscardRedThree:
                ClickCard(TArea::PlayerMelds, G().Seat(TSeat::Player).Melds.At(g.Index), Qt::RightButton);
                break;
            case TMoveType::UndoMeld: Key(Qt::Key_Delete); break;
            case TMoveType::UndoAll: Key(Qt::Key_Delete, Qt::ControlModifier); break;
            case TMoveType::EndHand: QTest::mouseClick(Window->EndHandButton(), Qt::LeftButton); break;
            case TMoveType::UndoTake: ClickPile(); break;
            case TMoveType::TakePileRest:
            case TMoveType::Pass:
            case TMoveType::None: break;
        }
    }
};

TEST_F(WholeHandTest, BeginnerAndScriptedPlayerPlayAHandToItsScoringWindow) {
    Open(1);
    TBeginner beginner;
    G().Levels = {&beginner, &beginner, &beginner};
    G().Config.Level = 0;
    TGreedyBot bot;
    const uint32_t hand = G().HandNumber;
    int gestures = 0;
    while (CountSeen("fmScore") == 0 && gestures < 3000) {
        ASSERT_EQ(CheckConsistency(G()), "") << "after " << gestures << " gestures";
        ASSERT_TRUE(IsPlayersMove(G())) << "the turn must come back to the player";
        const TMove g = bot.Next(G());
        ASSERT_NE(g.Kind, TMoveType::None) << "the scripted player is stuck";
        const TGameState before = G().State();
        Perform(g);
        ++gestures;
        // Refused gestures are noted by the scripted player so it tries others.
        if (G().HandNumber == hand && SameTable(before, G().State())) bot.Apply(G(), g);
    }
    EXPECT_EQ(CountSeen("fmScore"), 1);
    EXPECT_GT(gestures, 10) << "a hand takes many gestures";
    EXPECT_GT(G().HandNumber, hand) << "the next hand was dealt";
    EXPECT_NE(G().Seat(TSeat::Player).Score, 0);
}

// ---- timers and animation ----

TEST(Animation, AMoveTakesATimeAPersonCanFollow) {
    // Across the table: a few hundred milliseconds at the default (fastest)
    // speed, over a second at the slowest, whatever the distance in pixels.
    EXPECT_EQ(MoveDurationMs(400, 10), 300);
    EXPECT_EQ(MoveDurationMs(400, 0), 1200);
    EXPECT_EQ(MoveDurationMs(3, 10), 0) << "a move of a few pixels is not animated";
    for (int speed = 1; speed <= 10; ++speed)
        EXPECT_LT(MoveDurationMs(400, speed), MoveDurationMs(400, speed - 1)) << "speed " << speed;
    // Longer moves take longer, within bounds: short ones stay visible, long ones do not drag.
    EXPECT_LT(MoveDurationMs(100, 10), MoveDurationMs(400, 10));
    EXPECT_GE(MoveDurationMs(20, 10), 150);
    EXPECT_LE(MoveDurationMs(2000, 10), 375);
    // The card starts and stops gently and arrives where it should.
    EXPECT_DOUBLE_EQ(EaseInOut(0), 0);
    EXPECT_DOUBLE_EQ(EaseInOut(1), 1);
    EXPECT_DOUBLE_EQ(EaseInOut(0.5), 0.5);
    EXPECT_LT(EaseInOut(0.1), 0.1);
    EXPECT_GT(EaseInOut(0.9), 0.9);
}

// The pace of a real computer turn at the default speed, printed for the
// record (what a card move takes and how many frames it gets).
TEST_F(TableWindowTest, TheComputersMovesAreShownAtAFollowablePace) {
    TfmCanMain& w = Open();
    ShowingLevel showing;
    G().Levels = {&showing, &showing, &showing};
    Window->PauseScale = 1;
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    Arrange(t);
    ClickHand("9H", Qt::RightButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.IsBusy(); }, 10000));
    const TMovePace& pace = w.MovePace();
    ASSERT_EQ(pace.Moves, 3);  // the player's discard, the computer's draw and discard
    const double ms = double(pace.Milliseconds) / pace.Moves, frames = double(pace.Frames) / pace.Moves;
    std::printf("card moves: %d, %.0f ms and %.1f frames each on average\n", pace.Moves, ms, frames);
    EXPECT_GE(ms, 150) << "a move a person can follow";
    EXPECT_GT(frames, 4) << "a move, not a jump";
}

namespace {
double Brightness(const QImage& img, const QRect& r) {
    double sum = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) sum += qGray(img.pixel(x, y));
    return sum / (r.width() * r.height());
}
}  // namespace

TEST_F(TableWindowTest, DrawnCardFlashesDarkEvenWithoutMovement) {
    Store.WriteValue("Settings\\Card Movement", int32_t(0));
    Open();
    Window->PauseScale = 1;
    TestTable t = Table();
    t.Hand({"5S"});
    t.DrawPhase();
    Arrange(t);
    // A red three would be laid out and replaced; take a plain card as the stock's top.
    while (IsRedThree(G().Stock.Last())) std::swap(G().Stock.Cards[0], G().Stock.Cards[G().Stock.Count - 1]);
    QImage during;
    QTimer::singleShot(200, [&] { during = View()->grab().toImage(); });
    QElapsedTimer clock;
    clock.start();
    ClickStock();
    // The flash is shown while the game waits; the click itself returns at once.
    EXPECT_TRUE(Window->IsBusy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Window->IsBusy(); }, 10000));
    EXPECT_GE(clock.elapsed(), 380);
    ASSERT_FALSE(during.isNull());
    const QImage after = View()->grab().toImage();
    const TCard& drawn = G().Seat(TSeat::Player).Hand.At(G().Seat(TSeat::Player).Hand.Count - 1);
    const TPoint at = Window->CardPoint(TArea::PlayerHand, drawn);
    const QRect card(at.X + 3, at.Y + 3, Layout().CardWidth - 6, Layout().CardHeight - 6);
    EXPECT_LT(Brightness(during, card), 0.75 * Brightness(after, card));
}

TEST_F(TableWindowTest, SecondErrorRestartsTheRedHighlight) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"5S", "9H"});
    t.DrawPhase();
    Arrange(t);
    ClickHand("5S");
    ASSERT_TRUE(w.StatusIsError());
    QTest::qWait(400);
    ClickHand("9H", Qt::RightButton);
    QElapsedTimer second;
    second.start();
    EXPECT_EQ(w.StatusText().toStdString(),
              "You cannot discard before drawing; please draw first by clicking on the stock or the discard pile");
    EXPECT_TRUE(w.StatusIsError());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.StatusIsError(); }, 10000));
    // Counted from the first error it would end about 200 ms after the second.
    EXPECT_GE(second.elapsed(), 500) << "600 ms count from the second error";
}

TEST_F(TableWindowTest, WhoseTurnWindowClosesAfterItsTime) {
    TfmCanMain& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    G().PlayerDrawsFirst = true;
    Key(Qt::Key_F2);
    QElapsedTimer shown;
    shown.start();
    EXPECT_TRUE(w.WhoseTurnShown());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.WhoseTurnShown(); }, 15000)) << "the window never closes";
    EXPECT_GE(shown.elapsed(), 1300) << "it stays 1.5 seconds";
}

// The standard keys work beside the F-keys and are the ones the menus show.
TEST_F(TableWindowTest, StandardKeysBesideTheFKeys) {
    TfmCanMain& w = Open();
    EXPECT_EQ(w.NewAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_TRUE(w.NewAction()->shortcuts().contains(QKeySequence(Qt::Key_F2)));
    EXPECT_EQ(w.LoadAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(w.SaveAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(w.UndoMeldAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(w.ExitAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(w.HelpTopicsAction()->shortcut(), QKeySequence(Qt::Key_F1));

    // Ctrl+Z takes back the last meld of the turn.
    TestTable t = Table();
    t.Hand({"5S", "5C", "5H", "9H", "KD"});
    Arrange(t);
    ClickHand("5S");
    ASSERT_EQ(ColumnCount(4), 1);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ColumnCount(4), 0);
    EXPECT_EQ(InHand("5S"), 1);

    // While cards are chosen by keyboard, Ctrl+Q is the queens' key, not Exit.
    t.Clear();
    t.Hand({"QS", "QC", "QH", "9H", "KD"});
    Arrange(t);
    Key(Qt::Key_F8);
    ASSERT_EQ(G().TurnPhase, TTurnPhase::KeyMeld);
    Key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(ColumnCount(11), 3);
}
