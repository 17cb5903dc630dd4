// SPDX-License-Identifier: GPL-3.0-or-later
// The other side's turn told on the status line and marked on the table, and
// the move log of the hand, played through the table window.
#include <QAction>
#include <QListWidget>

#include "dialogs/MoveLog.h"
#include "table/TableFixture.h"

using namespace canasta;
using namespace canasta::test;

namespace {

// A computer turn that draws, melds its three kings and a wild card, and
// discards the 7♣.
class MeldingLevel : public IComputerLevel {
public:
    void PlayTurn(TGame& g, TSeat) override {
        g.OpponentsTurn = true;
        g.AddToHand(TSeat::Opponent, g.DrawFromStock(), {TArea::Stock}, true);
        for (const char* king : {"KS", "KC", "KH"})
            g.MeldFromHand(TSeat::Opponent, FindFirstById(g.Seat(TSeat::Opponent).Hand, CardId(king)));
        g.MeldWildCard(TSeat::Opponent, 12);
        g.DiscardFromHand(TSeat::Opponent, FindFirstById(g.Seat(TSeat::Opponent).Hand, CardId("7C")));
        g.OpponentsTurn = false;
        g.SetTurnPhase(TTurnPhase::Draw);
        ++Turns;
    }
    int Turns = 0;
};

const char* kAccount = "Drew a card, melded three kings and a wild card, discarded the 7♣";

}  // namespace

TEST_F(TableWindowTest, TheComputersTurnIsToldMarkedAndLogged) {
    TfmCanMain& w = Open();
    MeldingLevel melding;
    G().Levels = {&melding, &melding, &melding};
    Window->PauseScale = 1;
    G().Config.MeldDelay = 50;
    TestTable t = Table();
    t.Hand({"5S", "9H", "QD"});
    t.OppHand({"KS", "KC", "KH", "2H", "7C", "4D"});
    Arrange(t);
    w.MoveLogAction()->trigger();
    TfmMoveLog* log = w.MoveLogWindow();
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isVisible());
    EXPECT_FALSE(log->isModal());
    EXPECT_TRUE(log->Lines().isEmpty());

    ClickHand("9H", Qt::RightButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return melding.Turns == 1; }, 10000));
    // The turn is told and marked once it has been shown, not while it is.
    EXPECT_TRUE(w.IsBusy());
    EXPECT_TRUE(w.LastTurnAccount().isEmpty());
    EXPECT_TRUE(w.HighlightedPlaces().empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.IsBusy(); }, 10000));

    EXPECT_EQ(w.LastTurnAccount().toStdString(), kAccount);
    // The account above the instruction on the message line.
    EXPECT_EQ(w.StatusText().toStdString(),
              std::string(kAccount) + "\nDraw a card by clicking on the stock or the discard pile");
    const std::vector<TCardPlace> marked = w.HighlightedPlaces();
    ASSERT_EQ(marked.size(), 5u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(marked[static_cast<size_t>(i)],
                  (TCardPlace{TArea::OpponentMelds, 12, static_cast<int8_t>(i + 1), 0}));
    EXPECT_EQ(marked[4], (TCardPlace{TArea::DiscardPile}));
    // The frame is drawn beside the card it marks.
    const TableLayout& L = Layout();
    const QPoint besidePile(L.TableLeft - 1, L.DiscardTop + L.CardHeight / 2);
    EXPECT_EQ(View()->grab().toImage().pixelColor(besidePile), QColor(255, 140, 0));

    const QStringList lines{
        QStringLiteral("You: discarded the 9♥"),
        QStringLiteral("Computer: drew a card, melded three kings and a wild card, discarded the 7♣")};
    EXPECT_EQ(w.MoveLogLines(), lines);
    EXPECT_EQ(log->Lines(), lines) << "the open log follows the game";
    EXPECT_EQ(log->lbMoves->currentRow(), 1) << "the newest line is in view";

    // The player's next action takes the marks and the account away.
    ClickStock();
    EXPECT_TRUE(w.HighlightedPlaces().empty());
    EXPECT_EQ(w.StatusText().toStdString(), "Draw a card by clicking on the stock or the discard pile")
        << "the account goes at once, the next instruction once the draw is shown";
    EXPECT_NE(View()->grab().toImage().pixelColor(besidePile), QColor(255, 140, 0));
    EXPECT_EQ(w.LastTurnAccount().toStdString(), kAccount) << "the last account stays readable";
    EXPECT_EQ(w.MoveLogLines(), lines) << "the player's turn is not over yet";

    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.IsBusy(); }, 10000));
    EXPECT_EQ(w.StatusText().toStdString(), "Meld a card by clicking it, discard a card by right-clicking it");

    // A new deal starts a new log.
    const uint32_t hand = G().HandNumber;
    w.NewAction()->trigger();
    ASSERT_EQ(G().HandNumber, hand + 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.IsBusy(); }, 10000));
    EXPECT_TRUE(w.MoveLogLines().isEmpty());
    EXPECT_TRUE(log->Lines().isEmpty());
}

TEST_F(TableWindowTest, TheMoveLogIsAMenuItemWithItsHelp) {
    TfmCanMain& w = Open();
    QAction* item = w.MoveLogAction();
    EXPECT_EQ(item->text().toStdString(), "Move &Log...");
    EXPECT_FALSE(item->statusTip().isEmpty());
    EXPECT_FALSE(item->whatsThis().isEmpty());
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
    ASSERT_NE(w.MoveLogWindow(), nullptr);
    EXPECT_TRUE(w.MoveLogWindow()->isVisible());
    // Esc closes it, as any dialog.
    QTest::keyClick(w.MoveLogWindow()->lbMoves, Qt::Key_Escape);
    EXPECT_FALSE(w.MoveLogWindow()->isVisible());
}

TEST_F(TableWindowTest, AForcedPassIsToldInTheMessageAreaNotInAWindow) {
    TfmCanMain& w = Open();
    MeldingLevel melding;
    G().Levels = {&melding, &melding, &melding};
    TestTable t = Table();
    t.Hand({"8H", "QS", "QC", "QD"});
    t.Meld(12, {"KD", "KD", "KH", "KC"});
    t.Pile({"5C"});
    t.OppHand({"KS", "KC", "KH", "2H", "7C", "4D"});
    Arrange(t);

    // Three queens leave one card and no canasta: the turn passes.
    ClickHand("QS", Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return melding.Turns == 1 && !w.IsBusy(); }, 10000));
    EXPECT_EQ(CountSeen("QMessageBox"), 0) << "no window to close every turn";
    const QString pass =
        QStringLiteral("You only have one card left, and not enough Canastas to go out. You have to pass the discard.");
    // Both notes above the instruction while they fit; the newest at least.
    EXPECT_TRUE(w.StatusText().endsWith(QString::fromUtf8(kAccount) +
                                        QStringLiteral("\nDraw a card by clicking on the stock or the discard pile")))
        << w.StatusText().toStdString();
    if (w.StatusText().contains(pass)) {
        EXPECT_TRUE(w.StatusText().startsWith(pass + QStringLiteral(" ")));
    }

    // A wide window has room for both.
    w.resize(1600, 900);
    ASSERT_TRUE(QTest::qWaitFor([&] { return View()->width() > 1200; }, 5000));
    w.ShowStatus(PhaseStatusText(G().TurnPhase, G().StockExhausted, false, G().Config.PlayerName));
    EXPECT_EQ(w.StatusText(), pass + QStringLiteral(" ") + QString::fromUtf8(kAccount) +
                                  QStringLiteral("\nDraw a card by clicking on the stock or the discard pile"));

    ClickStock();
    EXPECT_FALSE(w.StatusText().contains(pass)) << "the notes go when the player acts";
}
