// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "support/TestTable.h"

using namespace canasta;
using namespace canasta::test;

TEST(Scoring, ConcealedGoingOutWithANaturalCanastaAndTwoRedThrees) {
    TestTable t;
    t.Meld(12, {"KS", "KC", "KD", "KH", "KS", "KC", "KD"});  // 70 points
    t.Meld(2, {"3D", "3H"});
    t.OppHand({"9S", "JK"});
    t.G.WentOut = woPlayer;
    t.G.Seat(TSeat::Player).PointsBeforeTurn = 0;
    THandScore p, o;
    t.G.ScoreHand(p, o);
    EXPECT_EQ(p.FinishBonus, 200);
    EXPECT_EQ(p.CanastaValue, 500);
    EXPECT_EQ(p.RedThreeValue, 200);
    EXPECT_EQ(p.TableValue, 70);
    EXPECT_EQ(p.Total, 970);
    // The opponent melded nothing: its hand counts against it.
    EXPECT_EQ(o.HandValue, -60);
    EXPECT_EQ(o.HandCount, 2);
    EXPECT_EQ(o.Total, -60);
    t.G.Seat(TSeat::Player).PointsBeforeTurn = 10;
    t.G.ScoreHand(p, o);
    EXPECT_EQ(p.FinishBonus, 100);
}

TEST(Scoring, FourRedThreesAndNegativeScoring) {
    TestTable t;
    t.Meld(12, {"KS", "KC", "KD", "KH", "KS", "KC", "KD"});
    t.Meld(2, {"3D", "3H", "3D", "3H"});
    t.OppMeld(2, {});
    t.G.WentOut = woPlayer;
    THandScore p, o;
    t.G.ScoreHand(p, o);
    EXPECT_EQ(p.RedThreeValue, 800);
    EXPECT_EQ(p.RedThreeCount, 4);

    // The side that must score negatively: -800 for four, table cards negative.
    TestTable n;
    n.Meld(2, {"3D", "3H", "3D", "3H"});
    n.OppMeld(11, {"QS", "QC", "QD", "QH", "QS", "QC", "QD"});
    n.G.WentOut = woOpponent;
    n.G.ScoreHand(p, o);
    EXPECT_EQ(p.RedThreeValue, -800);
    EXPECT_EQ(p.Total, -800);
    EXPECT_EQ(o.RedThreeValue, 0);
}

TEST(Scoring, CanastaRequiredMakesTheTableCountAgainst) {
    TestTable t;
    t.G.Rules.CanastaRequired = true;
    t.G.Rules.CanastasToGoOut = 2;
    t.Meld(12, {"KS", "KC", "KD", "KH", "KS", "KC", "KD"});
    t.Meld(6, {"7S", "7C", "7D"});
    t.Meld(2, {"3D"});
    t.Hand({"9S"});
    t.G.WentOut = woOpponent;
    THandScore p, o;
    t.G.ScoreHand(p, o);
    EXPECT_EQ(p.CanastaValue, 0);
    EXPECT_EQ(p.CanastaCount, 0);
    EXPECT_EQ(p.TableValue, -85);
    EXPECT_EQ(p.RedThreeValue, -100);
    EXPECT_EQ(p.HandValue, -10);
    EXPECT_EQ(p.Total, -195);
}

TEST(Scoring, NobodyWentOut) {
    TestTable t;
    t.Meld(2, {"3D"});
    t.OppMeld(6, {"7S", "7C", "7D"});
    t.G.WentOut = woNobody;
    THandScore p, o;
    t.G.ScoreHand(p, o);
    EXPECT_EQ(p.FinishBonus, 0);
    EXPECT_EQ(o.FinishBonus, 0);
    EXPECT_EQ(p.RedThreeValue, -100);  // only red threes melded
    EXPECT_EQ(o.TableValue, 15);
}

TEST(Scoring, MeldedPointsLeavesShortColumnsOut) {
    TestTable t;
    t.Meld(12, {"KS", "KC", "KD"});
    t.Meld(13, {"AS", "AC"});
    t.Meld(2, {"3D"});
    EXPECT_EQ(t.G.MeldedPoints(TSeat::Player, false), 30);
    EXPECT_EQ(t.G.MeldedPoints(TSeat::Player, true), 70);
}

TEST(Scoring, MatchCommentsAtEachBoundary) {
    TestTable t;
    t.G.Config.PlayerName = "Zoe";
    EXPECT_EQ(t.G.MatchComment(600), "Congratulations Zoe! You beat the computer.");
    EXPECT_EQ(t.G.MatchComment(100), "Congratulations Zoe! You won, but it was pretty close!");
    EXPECT_EQ(t.G.MatchComment(2501), "Congratulations Zoe! You crushed the computer.");
    EXPECT_EQ(t.G.MatchComment(2500), "Congratulations Zoe! You defeated the computer.");
    EXPECT_EQ(t.G.MatchComment(1801), "Congratulations Zoe! You defeated the computer.");
    EXPECT_EQ(t.G.MatchComment(1800), "Congratulations Zoe! You beat the computer.");
    EXPECT_EQ(t.G.MatchComment(501), "Congratulations Zoe! You beat the computer.");
    EXPECT_EQ(t.G.MatchComment(500), "Congratulations Zoe! You won.");
    EXPECT_EQ(t.G.MatchComment(201), "Congratulations Zoe! You won.");
    EXPECT_EQ(t.G.MatchComment(200), "Congratulations Zoe! You won, but it was pretty close!");
    EXPECT_EQ(t.G.MatchComment(0), "It's a draw!");
    EXPECT_EQ(t.G.MatchComment(-1), "Too bad, Zoe, you lost but it was pretty close.");
    EXPECT_EQ(t.G.MatchComment(-200), "Too bad, Zoe, you lost but it was pretty close.");
    EXPECT_EQ(t.G.MatchComment(-201), "Too bad, Zoe, you lost.");
    EXPECT_EQ(t.G.MatchComment(-500), "Too bad, Zoe, you lost.");
    EXPECT_EQ(t.G.MatchComment(-501), "Too bad, Zoe, the computer beat you.");
    EXPECT_EQ(t.G.MatchComment(-1800), "Too bad, Zoe, the computer beat you.");
    EXPECT_EQ(t.G.MatchComment(-1801), "Too bad, Zoe, the computer defeated you.");
    EXPECT_EQ(t.G.MatchComment(-2500), "Too bad, Zoe, the computer defeated you.");
    EXPECT_EQ(t.G.MatchComment(-2501), "Too bad, Zoe, the computer crushed you.");
    t.G.Config.PlayerName.clear();
    EXPECT_EQ(t.G.MatchComment(300), "Congratulations Player! You won.");
}

TEST(Scoring, EndOfMatchReportsAndResets) {
    TestTable t;
    DrawDiscardLevel level;
    t.G.Levels = {&level, &level, &level};
    t.G.Seat(TSeat::Player).Score = 4900;
    t.G.Seat(TSeat::Opponent).Score = 4400;
    t.Hand({"KH"});
    t.Meld(12, {"KS", "KC", "KD", "KS", "KC", "KD"});
    t.G.Seat(TSeat::Player).PointsBeforeTurn = 60;
    t.G.MeldCard(0);
    EXPECT_TRUE(t.Host.Matches.empty());  // the match end is the driver's step
    Drive(t.G);
    ASSERT_EQ(t.Host.Matches.size(), 1u);
    const TMatchResult& m = t.Host.Matches[0];
    EXPECT_TRUE(m.PlayerWon);
    EXPECT_EQ(m.PlayerScore, 4900 + 670);
    EXPECT_EQ(m.Difference, 4900 + 670 - 4400);
    EXPECT_EQ(t.G.Seat(TSeat::Player).Score, 0);  // a new match starts
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).Score, 0);
    EXPECT_FALSE(t.G.GameInProgress);

    TestTable q;
    q.G.Levels = {&level, &level, &level};
    q.G.Seat(TSeat::Player).Score = q.G.Seat(TSeat::Opponent).Score = 5010;
    q.G.StockExhausted = true;
    q.Host.Answers = {false};  // "Do you want to play another game?" No
    q.Hand({"5H"});
    q.OppHand({"5D"});
    q.StockDownTo(0);
    q.DrawPhase();
    q.G.EndHandClicked();
    Drive(q.G);
    ASSERT_EQ(q.Host.Matches.size(), 1u);
    EXPECT_EQ(q.Host.Matches[0].Comment, "It's a draw!");
    EXPECT_FALSE(q.Host.Matches[0].PlayerWon || q.Host.Matches[0].OpponentWon);
    EXPECT_TRUE(q.G.QuitRequested);
}
