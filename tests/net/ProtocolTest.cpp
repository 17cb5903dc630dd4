// SPDX-License-Identifier: GPL-3.0-or-later
// The token protocol at the receiving end: framing, the receive buffer, the
// mirrored deal, the opponent's moves (and the refusal of moves that do not
// fit), and the cases where a naive replay would let the copies drift.
#include <sstream>

#include "NetPair.h"
#include "net/Codepage.h"
#include "net/MoveTokens.h"
#include "net/RuleString.h"
#include "support/TestTable.h"

namespace canasta::test {
namespace {

std::string Frame(const std::string& name, const std::string& data = "") { return BuildFrame(name, data); }
std::string F(std::initializer_list<std::string> fields) { return JoinFields(fields); }

// A receiver with a hand-built table; the opponent is to move.
struct TReceiver : IProtocolEvents {
    TestTable T;
    TProtocol P{T.G, *this};
    std::vector<std::string> Refused, Unknown, Chats, Rules;

    explicit TReceiver(TRuleOptions rules = {}) : T(rules) {
        T.G.Config.Networked = true;
        T.G.Config.OpponentName = "Bea";
        T.G.Config.MeldDelay = 0;
    }
    void OpponentToMove() {
        T.G.OpponentsTurn = true;
        T.G.TurnStart = true;
        T.G.HasDrawn = false;
        T.G.SetTurnPhase(TTurnPhase::OpponentTurn);
    }
    void Feed(const std::string& bytes) {
        ASSERT_TRUE(P.Append(bytes));
        P.ProcessTokens();
    }
    void OnChat(const std::string& text) override { Chats.push_back(text); }
    bool OnGreeting(const std::string&, const std::string&) override { return true; }
    void OnRules(const std::string& r) override { Rules.push_back(r); }
    void OnUnknownToken(const std::string& name) override { Unknown.push_back(name); }
    void OnRefused(const std::string& token, const std::string& why) override { Refused.push_back(token + ": " + why); }
};

// Everything a refused move must leave as it was.
std::string Fingerprint(const TGame& g) {
    std::ostringstream s;
    s << DigestHex(SeatDigest(g, TSeat::Player)) << DigestHex(SeatDigest(g, TSeat::Opponent)) << int(g.TurnPhase)
      << g.OpponentsTurn << g.Seat(TSeat::Opponent).MeldedPoints << g.PileFrozen << g.HandNumber
      << g.Seat(TSeat::Opponent).Score << g.EndHandRequested;
    for (const TCard& c : g.Seat(TSeat::Opponent).Melds) s << ',' << int(c.Column) << ':' << int(c.Depth);
    return s.str();
}

// ---------------------------------------------------------------- framing

TEST(Framing, FrameIsNameSeparatorDataEnd) {
    EXPECT_EQ(Frame("DRAWNEW"), std::string("DRAWNEW\xFE\xFF"));
    EXPECT_EQ(Frame("MELD", "12"), std::string("MELD\xFE"
                                               "12\xFF"));
    EXPECT_EQ(Frame("UNDO", F({"7", "45"})), std::string("UNDO\xFE"
                                                         "7\xFE"
                                                         "45\xFF"));
}

TEST(Framing, LongDataIsCutSoTheTerminatorFits) {
    const std::string frame = Frame("CHAT", std::string(400, 'x'));
    EXPECT_EQ(frame.size(), 255u);
    EXPECT_EQ(frame.back(), '\xFF');
    EXPECT_EQ(frame.substr(0, 5), std::string("CHAT\xFE"));
}

TEST(Framing, NextFieldTakesOneFieldAndItsDelimiter) {
    std::string m = std::string(
        "UNDO\xFE"
        "7\xFE"
        "45\xFF");
    EXPECT_EQ(NextField(m), "UNDO");
    EXPECT_EQ(NextField(m), "7");
    EXPECT_EQ(NextField(m), "45");
    EXPECT_TRUE(m.empty());
    std::string rest = "tail";
    EXPECT_EQ(NextField(rest), "tail");
    EXPECT_TRUE(rest.empty());
}

TEST(Framing, NamesAreLookedUpExactly) {
    EXPECT_EQ(LookupToken("DRAWPILEREST"), tkDrawPileRest);
    EXPECT_EQ(LookupToken("HANDOVER"), tkHandOver);
    EXPECT_EQ(LookupToken("meld"), tkUnknown);
    EXPECT_EQ(LookupToken("MELD "), tkUnknown);
    EXPECT_EQ(LookupToken(""), tkUnknown);
}

TEST(Framing, IntegerFieldsAsTheSenderWritesThem) {
    EXPECT_EQ(ParseIntField("53"), 53);
    EXPECT_EQ(ParseIntField("-50"), -50);
    EXPECT_FALSE(ParseIntField(""));
    EXPECT_FALSE(ParseIntField("-"));
    EXPECT_FALSE(ParseIntField("12a"));
    EXPECT_FALSE(ParseIntField(" 1"));
    EXPECT_FALSE(ParseIntField("99999999999"));
}

// ---------------------------------------------------------------- texts

TEST(Texts, ReservedBytesNeverReachTheWire) {
    // "þ" and "ÿ" are 0xFE and 0xFF in the code page; NUL ends nothing.
    const std::string wire = WireText(std::string("Þór þú ÿes") + std::string(1, '\0') + "x\n\t");
    for (char c : wire) {
        EXPECT_NE(c, '\xFE');
        EXPECT_NE(c, '\xFF');
        EXPECT_NE(c, '\0');
        EXPECT_GE(static_cast<unsigned char>(c), 0x20);
    }
    EXPECT_EQ(wire, std::string("\xDE\xF3r th\xFA yesx  "));
}

TEST(Texts, CodePageRoundTrip) {
    const std::string text = "Grüße € – Œuvre";
    EXPECT_EQ(Cp1252ToUtf8(Utf8ToCp1252(text)), text);
    EXPECT_EQ(Utf8ToCp1252("漢"), "?");
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");  // cut UTF-8
    EXPECT_EQ(DisplayText("a\nb\x80"), "a b€");
}

// ---------------------------------------------------------------- receiving

TEST(Receiving, TwoTokensInOneReadAreBothAppliedInOrder) {
    TReceiver r;
    r.Feed(Frame("CHAT", "Bea: one") + Frame("CHAT", "Bea: two"));
    EXPECT_EQ(r.Chats, (std::vector<std::string>{"Bea: one", "Bea: two"}));
    EXPECT_TRUE(r.P.Buffer().empty());
}

TEST(Receiving, ATokenSplitAcrossReadsIsAppliedAfterTheSecond) {
    TReceiver r;
    const std::string bytes = Frame("CHAT", "Bea: hello");
    r.Feed(bytes.substr(0, 7));
    EXPECT_TRUE(r.Chats.empty());
    r.Feed(bytes.substr(7));
    EXPECT_EQ(r.Chats, (std::vector<std::string>{"Bea: hello"}));
}

TEST(Receiving, DrawNewWithEmptyDataIsAppliedOnce) {
    TReceiver r;
    r.OpponentToMove();
    const int stock = r.T.G.Stock.Count;
    r.Feed(std::string("DRAWNEW\xFE\xFF"));
    EXPECT_EQ(r.T.G.Stock.Count, stock - 1);
    EXPECT_EQ(r.T.G.Seat(TSeat::Opponent).Hand.Count + r.T.G.Seat(TSeat::Opponent).Melds.Count, 1);
    EXPECT_TRUE(r.Refused.empty());
    EXPECT_TRUE(r.Unknown.empty());
}

TEST(Receiving, AChatLineWithoutSeparatorsIsOneLine) {
    TReceiver r;
    r.Feed(Frame("CHAT", "Bea: 3 x 4 = 12; fine!"));
    ASSERT_EQ(r.Chats.size(), 1u);
    EXPECT_EQ(r.Chats[0], "Bea: 3 x 4 = 12; fine!");
}

TEST(Receiving, AnUnknownNameIsReportedOnceAndItsFieldsDropped) {
    TReceiver r;
    r.Feed(Frame("HELLO", F({"CHAT", "x"})) + Frame("CHAT", "Bea: after"));
    EXPECT_EQ(r.Unknown, (std::vector<std::string>{"HELLO"}));
    EXPECT_EQ(r.Chats, (std::vector<std::string>{"Bea: after"}));
}

TEST(Receiving, IgnoredTokensDoNothing) {
    TReceiver r;
    const std::string before = Fingerprint(r.T.G);
    r.Feed(Frame("OK") + Frame("SENDAGAIN") + Frame("QUIT"));
    EXPECT_EQ(Fingerprint(r.T.G), before);
    EXPECT_TRUE(r.Unknown.empty());
}

TEST(Receiving, AFrameLongerThanTheFormatLosesItsTail) {
    TReceiver r;
    r.Feed("CHAT\xFE" + std::string(600, 'a') + "\xFF" + Frame("CHAT", "next"));
    ASSERT_EQ(r.Chats.size(), 2u);
    EXPECT_EQ(r.Chats[0].size(), 250u);
    EXPECT_EQ(r.Chats[1], "next");
}

TEST(Receiving, APeerThatNeverEndsATokenCannotGrowTheBuffer) {
    TReceiver r;
    const std::string chunk(8192, 'z');
    int accepted = 0;
    while (r.P.Append(chunk)) ++accepted;
    EXPECT_EQ(accepted, 8);  // 64 KiB
    EXPECT_LE(r.P.Buffer().size(), TProtocol::kMaxPartial);
    // Complete tokens may still come in any number.
    TReceiver s;
    for (int i = 0; i < 2000; ++i) ASSERT_TRUE(s.P.Append(Frame("CHAT", std::string(60, 'c'))));
}

TEST(Receiving, AResetDropsOnlyTheUnfinishedToken) {
    TReceiver r;
    r.T.G.HandEndPending = true;  // held
    r.Feed(Frame("CHAT", "kept") + "CHA");
    r.P.DropPartialToken();
    r.T.G.HandEndPending = false;
    r.Feed(Frame("CHAT", "new"));
    EXPECT_EQ(r.Chats, (std::vector<std::string>{"kept", "new"}));
}

TEST(Receiving, TokensWaitWhileTheEndOfHandWindowsAreOpen) {
    // The opponent goes out by discarding; while this side's result windows
    // are open a chat line and the next deal arrive: they are applied after.
    TNetPair p("greedy", "greedy", 5);
    p.A.G.DealHand();
    p.DeliverAll();
    std::vector<std::string> during;
    bool checked = false;
    p.B.DuringHandResult = [&] {
        if (checked) return;
        checked = true;
        p.B.P.Append(Frame("CHAT", "Bea: gg"));
        p.B.P.ProcessTokens();
        during = p.B.Chats;
        EXPECT_TRUE(p.B.P.HasCompleteToken());
    };
    ASSERT_TRUE(p.Play(1)) << p.Failure;
    ASSERT_TRUE(checked);
    EXPECT_TRUE(during.empty());
    p.DeliverAll();
    EXPECT_EQ(p.B.Chats, (std::vector<std::string>{"Bea: gg"}));
}

TEST(Receiving, ChatLinesPassMovesThatWaitForAnActionButNotHeldTokens) {
    TReceiver r;
    r.OpponentToMove();
    const int stock = r.T.G.Stock.Count;
    ASSERT_TRUE(r.P.Append(Frame("CHAT", "Bea: one") + Frame("CHAT", "Bea: two") + Frame("DRAWNEW", "") +
                           Frame("CHAT", "Bea: three")));
    r.P.ProcessLeadingChats();
    EXPECT_EQ(r.Chats, (std::vector<std::string>{"Bea: one", "Bea: two"}));
    EXPECT_EQ(r.T.G.Stock.Count, stock);  // the move and what follows it wait, in order
    r.P.ProcessTokens();
    EXPECT_EQ(r.T.G.Stock.Count, stock - 1);
    EXPECT_EQ(r.Chats.size(), 3u);

    r.P.HoldTokens = true;
    ASSERT_TRUE(r.P.Append(Frame("CHAT", "Bea: held")));
    r.P.ProcessLeadingChats();
    EXPECT_EQ(r.Chats.size(), 3u);
}

// ---------------------------------------------------------------- the deal

TEST(Deal, TheReceiverHoldsWhatTheDealerDealtItAndTheTurnIsMirrored) {
    for (bool dealerFirst : {true, false}) {
        TNetPair p("greedy", "greedy", 9);
        p.A.G.PlayerDrawsFirst = dealerFirst;
        p.A.G.DealHand();
        ASSERT_EQ(p.A.Sent.back(), "DEAL");
        EXPECT_EQ(p.A.Out[5], dealerFirst ? '1' : '0');
        p.DeliverAll();
        EXPECT_EQ(SeatDigest(p.A.G, TSeat::Player), SeatDigest(p.B.G, TSeat::Opponent));
        EXPECT_EQ(SeatDigest(p.A.G, TSeat::Opponent), SeatDigest(p.B.G, TSeat::Player));
        EXPECT_EQ(p.B.G.Seat(TSeat::Player).Hand.Count, 15);
        EXPECT_EQ(p.B.G.Seat(TSeat::Opponent).Hand.Count, 15);
        // A "1" makes the receiver's opponent draw first.
        EXPECT_EQ(p.B.G.OpponentsTurn, dealerFirst);
        EXPECT_EQ(p.B.G.TurnPhase, dealerFirst ? TTurnPhase::OpponentTurn : TTurnPhase::Draw);
        EXPECT_EQ(p.A.G.OpponentsTurn, !dealerFirst);
        // Both invert for the next hand.
        EXPECT_EQ(p.B.G.PlayerDrawsFirst, !p.A.G.PlayerDrawsFirst);
        EXPECT_TRUE(p.A.G.DealtLastHand);
        EXPECT_FALSE(p.B.G.DealtLastHand);
        EXPECT_EQ(CheckConsistency(p.B.G), "");
    }
}

TEST(Deal, AMalformedRecordChangesNothing) {
    TReceiver r;
    const std::string before = Fingerprint(r.T.G);
    r.Feed(Frame("DEAL", "1" + std::string(107, '\x01')));
    std::string twice = "0";
    for (int i = 0; i < 108; ++i) twice += static_cast<char>(1 + i % 54);
    r.Feed(Frame("DEAL", twice));
    r.Feed(Frame("DEAL", "2" + std::string(108, '\x01')));
    EXPECT_EQ(Fingerprint(r.T.G), before);
    EXPECT_EQ(r.Refused.size(), 3u);
}

// ---------------------------------------------------------------- refusals

struct HostileMoves : ::testing::Test {
    TReceiver R;
    void SetUp() override {
        TestTable& t = R.T;
        t.OppHand({"KS", "KC", "7H", "JK", "2D"});
        t.OppMeld(13, {"AS", "AC", "AH"});
        t.Meld(9, {"10S", "10C", "10H"});
        t.Hand({"4S", "5C", "6D"});
        t.Pile({"8C", "QD"});
        R.OpponentToMove();
    }
    void ExpectRefused(const std::string& bytes) {
        const std::string before = Fingerprint(R.T.G);
        const size_t refusals = R.Refused.size() + R.Unknown.size();
        R.Feed(bytes);
        EXPECT_EQ(Fingerprint(R.T.G), before) << bytes;
        EXPECT_GT(R.Refused.size() + R.Unknown.size(), refusals) << bytes;
        EXPECT_EQ(CheckConsistency(R.T.G), "");
    }
};

TEST_F(HostileMoves, CardsOutsideTheDeckAndColumnsOutsideTheTable) {
    R.Feed(Frame("DRAWNEW"));
    ASSERT_TRUE(R.Refused.empty());
    for (const char* card : {"0", "54", "55", "-1", "x", "", "007a", "999999999999"}) {
        ExpectRefused(Frame("MELD", card));
        ExpectRefused(Frame("DISCARD", card));
        ExpectRefused(Frame("MELDWILDCARD", F({card, "9"})));
        ExpectRefused(Frame("UNDO", F({"9", card})));
    }
    for (const char* column : {"-1", "14", "99", "", "2", "0"}) ExpectRefused(Frame("MELDWILDCARD", F({"53", column})));
    ExpectRefused(Frame("UNDO", F({"14", "22"})));
}

TEST_F(HostileMoves, CardsThatAreNotWhereTheMoveSays) {
    R.Feed(Frame("DRAWNEW"));
    const std::string drawn = std::to_string(R.T.G.Seat(TSeat::Opponent).Hand.Last().Id);
    ExpectRefused(Frame("MELD", "10"));                    // a jack of spades it does not hold
    ExpectRefused(Frame("DISCARD", "3"));                  // the four of spades is in this side's hand
    ExpectRefused(Frame("MELDWILDCARD", F({"12", "9"})));  // a king is no wild card
    ExpectRefused(Frame("MELD", "53"));                    // a joker goes on a meld with MELDWILDCARD
    ExpectRefused(Frame("UNDO", F({"13", "26"})));         // the aces were not melded this turn
    ExpectRefused(Frame("DISCARDREDTHREE", "28"));
}

TEST_F(HostileMoves, MovesOutOfTurn) {
    ExpectRefused(Frame("DISCARD", "12"));  // before drawing
    ExpectRefused(Frame("MELD", "12"));
    ExpectRefused(Frame("DRAWPILEREST"));  // no take waiting
    ExpectRefused(Frame("UNDOPILE"));
    ExpectRefused(Frame("PASSDISCARD"));
    ExpectRefused(Frame("HANDOVER"));  // the stock is not exhausted
    R.Feed(Frame("DRAWNEW"));
    ExpectRefused(Frame("DRAWNEW"));  // one card is drawn each turn
    ExpectRefused(Frame("DRAWPILETOP"));
    ExpectRefused(Frame("PASSDISCARD"));  // more than one card in hand
    R.Feed(Frame("DISCARD", "12"));
    ASSERT_FALSE(R.T.G.OpponentsTurn);
    // Now it is this side's turn: nothing of the opponent's applies.
    for (const char* t : {"DRAWNEW", "DRAWPILETOP", "HANDOVER", "PASSDISCARD", "UNDOPILE"}) ExpectRefused(Frame(t));
    ExpectRefused(Frame("MELD", "25"));
    ExpectRefused(Frame("DISCARD", "25"));
}

TEST_F(HostileMoves, AnIllegalTakeOfThePileIsRefused) {
    // The top card is a queen and the opponent holds none.
    ExpectRefused(Frame("DRAWPILETOP"));
}

TEST_F(HostileMoves, NothingAppliesOutsideANetworkGame) {
    R.T.G.Config.Networked = false;
    ExpectRefused(Frame("DRAWNEW"));
    ExpectRefused(Frame("NEWGAME"));
}

// ---------------------------------------------------------------- two copies

// Both copies of a hand-built table; A is to move.
struct TwoCopies : ::testing::Test {
    TNetPair P{"greedy", "greedy", 3};
    TestTable T;
    void Start(TRuleOptions rules = {}) {
        // The other seat holds cards too, or its own empty hand would end the hand.
        if (T.G.Seat(TSeat::Opponent).Hand.Empty()) T.OppHand({"4D", "6H", "9D", "JC"});
        P.A.G.Rules = P.B.G.Rules = rules;
        static_cast<TGameState&>(P.A.G) = T.G.State();
        P.A.G.HandNumber = P.B.G.HandNumber = 7;
        T.G.Rules = rules;
        MirrorInto(P.A.G, P.B.G);
        ASSERT_TRUE(P.Check()) << P.Failure;
    }
    void ExpectInStep() {
        P.DeliverAll();
        ASSERT_TRUE(P.Check()) << P.Failure;
        EXPECT_EQ(SeatDigest(P.A.G, TSeat::Player), SeatDigest(P.B.G, TSeat::Opponent));
        EXPECT_EQ(SeatDigest(P.A.G, TSeat::Opponent), SeatDigest(P.B.G, TSeat::Player));
    }
    int HandIndex(const std::string& name) { return FindFirstById(P.A.G.Seat(TSeat::Player).Hand, CardId(name)); }
    // The next card drawn from the stock.
    void StockTop(const std::string& name) {
        TCard c = T.Take(name);
        c.FaceUp = false;
        AddCard(T.G.Stock, c);
    }
    // A draws (so the other copy knows the turn has got that far).
    void Draw() {
        P.A.G.DrawClicked();
        ASSERT_TRUE(P.A.G.HasDrawn);
        ExpectInStep();
    }
};

TEST_F(TwoCopies, UndoTakesTheCardFromTheColumnItNames) {
    // Nines first in the table's list, then an older meld of sevens with a
    // joker. The joker that completes the nines' canasta is swapped to an
    // earlier place by the canasta display, so the last joker in list order
    // is the sevens' one: the undo must still take the nines'.
    T.Meld(8, {"9H", "9S", "9C", "9D", "9H", "9S"});
    T.Meld(6, {"7S", "7C", "JK"});
    T.Hand({"JK", "4S", "5C"});
    T.DrawPhase();
    Start();
    Draw();
    P.A.G.AddWildcardToColumn(8);
    ASSERT_EQ(P.A.G.Seat(TSeat::Player).MeldState.Canastas, 1);
    ExpectInStep();
    EXPECT_EQ(P.B.G.Seat(TSeat::Opponent).MeldState.Canastas, 1);
    P.A.G.UndoMeld();
    ASSERT_EQ(P.A.Sent.back(), "UNDO");
    ExpectInStep();
    EXPECT_EQ(P.B.G.Seat(TSeat::Opponent).MeldState.Canastas, 0);
    EXPECT_EQ(CountInColumn(P.B.G.Seat(TSeat::Opponent).Melds, 6), 3);
    EXPECT_EQ(CountInColumn(P.B.G.Seat(TSeat::Opponent).Melds, 8), 6);
}

TEST_F(TwoCopies, AMeldThatEmptiesTheHandDuringAProvisionalTakeDoesNotEndTheHand) {
    // A holds two eights and a canasta; it takes the pile with the eight on
    // top and melds both: its hand is empty until the rest of the pile comes.
    T.Meld(11, {"QS", "QC", "QD", "QH", "QS", "QC", "QD"});
    T.Hand({"8S", "8C"});
    T.Pile({"5D", "6C", "8H"});
    T.DrawPhase();
    Start();
    P.A.G.TakePile();
    ASSERT_TRUE(P.A.G.PileTakeUndoable);
    ExpectInStep();
    P.A.G.MeldCard(HandIndex("8S"));
    ExpectInStep();
    P.A.G.MeldCard(HandIndex("8C"));
    ASSERT_EQ(P.A.Sent.back(), "DRAWPILEREST");
    ExpectInStep();
    EXPECT_NE(P.B.G.TurnPhase, TTurnPhase::HandOver);
    EXPECT_EQ(P.B.G.Seat(TSeat::Opponent).Hand.Count, 2);
    EXPECT_EQ(P.B.HandLines.size(), 0u);
}

TEST_F(TwoCopies, AnEmptiedHandWithInvalidMeldsDoesNotGoOut) {
    // A melds its last two sevens one by one: the hand is empty but a column
    // of two is no meld, so A has to take them back.
    T.Meld(11, {"QS", "QC", "QD", "QH", "QS", "QC", "QD"});
    T.Hand({"7S"});
    StockTop("7C");
    T.DrawPhase();
    Start();
    Draw();
    P.A.G.MeldCard(HandIndex("7S"));
    ExpectInStep();
    P.A.G.MeldCard(HandIndex("7C"));
    ASSERT_TRUE(P.A.G.Seat(TSeat::Player).Hand.Empty());
    ASSERT_NE(P.A.G.TurnPhase, TTurnPhase::HandOver);
    ExpectInStep();
    EXPECT_NE(P.B.G.TurnPhase, TTurnPhase::HandOver);
    P.A.G.UndoAll();
    ExpectInStep();
    EXPECT_EQ(P.B.G.Seat(TSeat::Opponent).Hand.Count, 2);
}

TEST_F(TwoCopies, GoingOutAfterATakeStartedTurnScoresTheSameOnBothSides) {
    // A had melded before this turn; the turn begins with a take of the pile
    // (no "DRAWNEW" to learn it from) and A goes out: 100, not 200, on both.
    TRuleOptions rules;
    rules.NaturalPair = false;
    T.Meld(11, {"QS", "QC", "QD", "QH", "QS", "QC", "QD"});
    T.Hand({"8S", "8C", "KS", "KC", "KD", "5H"});
    T.Pile({"8H"});
    T.DrawPhase();
    T.G.Seat(TSeat::Player).PointsBeforeTurn = 0;  // as a naive replay would have left it
    Start(rules);
    P.A.Record = P.B.Record = true;
    // B's copy learned at the end of A's last turn that A had melded.
    P.B.G.Seat(TSeat::Opponent).PointsBeforeTurn = 70;
    P.A.G.Seat(TSeat::Player).PointsBeforeTurn = 70;
    P.A.G.TakePile();
    ExpectInStep();
    P.A.G.MeldCard(HandIndex("8S"));
    P.A.G.MeldCard(HandIndex("8C"));
    ASSERT_FALSE(P.A.G.PileTakeUndoable);
    P.A.G.MeldCard(HandIndex("KS"));
    P.A.G.MeldCard(HandIndex("KC"));
    P.A.G.MeldCard(HandIndex("KD"));
    ExpectInStep();
    P.A.G.DiscardCard(HandIndex("5H"));
    ExpectInStep();
    ASSERT_EQ(P.A.Hands.size(), 1u);
    ASSERT_EQ(P.B.Hands.size(), 1u);
    EXPECT_EQ(P.A.Hands[0].Player.FinishBonus, 100);
    EXPECT_EQ(P.B.Hands[0].Opponent.FinishBonus, 100);
    EXPECT_EQ(P.A.HandLines[0], Swapped(P.B.HandLines[0]));
}

TEST(OpponentMoves, ATurnBegunWithATakeStillRecordsThatThisSideHadMelded) {
    // This side melded in its last turn; the opponent's whole turn is a take
    // of the pile and a discard. Going out next, this side's bonus is 100.
    TReceiver r;
    TestTable& t = r.T;
    t.G.Rules.NaturalPair = false;
    t.Meld(9, {"10S", "10C", "10H"});
    t.OppHand({"AS", "AC", "5D", "6D"});
    t.Pile({"4C", "AH"});
    t.G.Seat(TSeat::Player).PointsBeforeTurn = 0;
    r.OpponentToMove();
    r.Feed(Frame("DRAWPILETOP") + Frame("MELD", "13") + Frame("MELD", "26") + Frame("DRAWPILEREST") +
           Frame("DISCARD", "30"));
    ASSERT_TRUE(r.Refused.empty()) << r.Refused.front();
    EXPECT_EQ(t.G.Seat(TSeat::Player).PointsBeforeTurn, 30);
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).PointsBeforeTurn, 60);
    EXPECT_EQ(t.G.TurnPhase, TTurnPhase::Draw);
}

TEST(OpponentMoves, GoingOutByDiscardingScoresTheTurnAsItBegan) {
    // The opponent had not melded before this turn: it melds everything with
    // a canasta and goes out by discarding, concealed, for 200.
    TReceiver r;
    TestTable& t = r.T;
    t.OppHand({"KS", "KC", "KD", "KH", "KS", "KC", "KD", "5D", "5C", "5H"});
    t.Hand({"4S", "6C"});
    r.T.Host.Record = true;
    r.OpponentToMove();
    r.Feed(Frame("DRAWNEW"));
    const TCard drawn = t.G.Seat(TSeat::Opponent).Hand.Last();
    ASSERT_FALSE(IsRedThree(drawn));
    std::string moves;
    for (const char* id : {"12", "25", "38", "51", "12", "25", "38", "30", "17", "43"}) moves += Frame("MELD", id);
    r.Feed(moves);
    ASSERT_EQ(r.T.G.Seat(TSeat::Opponent).MeldState.Canastas, 1);
    ASSERT_EQ(t.G.Seat(TSeat::Opponent).Hand.Count, 1);
    const size_t hands = r.T.Host.Hands.size();
    r.Feed(Frame("DISCARD", std::to_string(drawn.Id)));
    ASSERT_EQ(r.T.Host.Hands.size(), hands + 1) << (r.Refused.empty() ? "" : r.Refused.front());
    EXPECT_EQ(r.T.Host.Hands.back().Opponent.FinishBonus, 200);
}

TEST(OpponentMoves, GivingBackATakeRestoresTheMeldedPointsOfTheMeldsMadeMeanwhile) {
    TReceiver r;
    TestTable& t = r.T;
    t.OppHand({"KS", "KC", "AD", "AH", "AS", "6D"});
    t.Pile({"4C", "KH"});
    t.G.Seat(TSeat::Opponent).Score = 400;
    r.OpponentToMove();
    const std::string before = DigestHex(SeatDigest(t.G, TSeat::Opponent));
    r.Feed(Frame("DRAWPILETOP") + Frame("MELD", "12") + Frame("MELD", "25") + Frame("MELD", "39") +
           Frame("MELD", "52") + Frame("MELD", "13"));
    ASSERT_TRUE(r.Refused.empty()) << r.Refused.front();
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).MeldedPoints, 90);
    r.Feed(Frame("UNDOPILE"));
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).MeldedPoints, 0);
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).Score, 350);
    EXPECT_EQ(t.G.Seat(TSeat::Opponent).Hand.Count, 6);
    EXPECT_EQ(t.G.DiscardPile.Last().Id, CardId("KH"));
    // Then it draws instead.
    r.Feed(Frame("DRAWNEW"));
    EXPECT_TRUE(r.Refused.empty());
    (void)before;
}

TEST(OpponentMoves, TheForcedTopCardAloneAwaitsNoRestOfThePile) {
    // Stock exhausted, the opponent's queens are on the table: it must take
    // the top queen, and only that card.
    TRuleOptions rules;
    rules.NaturalPair = rules.PairForExistingMeld = true;  // no adding the top card to a meld by choice
    TReceiver r(rules);
    TestTable& t = r.T;
    t.OppMeld(13, {"AS", "AC", "AD"});
    t.OppHand({"4S", "9C"});
    t.Pile({"5D", "AH"});
    t.StockDownTo(0);
    t.G.Seat(TSeat::Opponent).MeldedPoints = 60;
    r.OpponentToMove();
    r.Feed(Frame("DRAWPILETOP"));
    ASSERT_TRUE(r.Refused.empty()) << r.Refused.front();
    EXPECT_FALSE(r.P.Mirror().TakePending());
    r.Feed(Frame("DRAWPILEREST"));
    EXPECT_EQ(r.Refused.size(), 1u);
    r.Feed(Frame("DISCARD", "3"));
    EXPECT_EQ(t.G.TurnPhase, TTurnPhase::Draw);
}

// ---------------------------------------------------------------- who deals next

TEST(DealingOn, OnEqualScoresTheSideThatDidNotDealDeals) {
    THeadlessHost h;
    TGame g(h);
    g.Config.Networked = true;
    g.DealtLastHand = true;
    EXPECT_TRUE(g.DealsNext(10));
    EXPECT_FALSE(g.DealsNext(-10));
    EXPECT_FALSE(g.DealsNext(0));
    g.DealtLastHand = false;
    EXPECT_TRUE(g.DealsNext(0));
    g.Config.Networked = false;
    EXPECT_TRUE(g.DealsNext(-10));
}

TEST(DealingOn, ATiedHandIsDealtOnByExactlyOneSide) {
    // Both sides end a hand with nobody out and nothing melded: 0 to 0.
    TNetPair p("greedy", "greedy", 4);
    p.A.G.DealHand();
    p.DeliverAll();
    const uint32_t a = p.A.G.HandNumber, b = p.B.G.HandNumber;
    p.A.G.Stock = p.B.G.Stock = {};
    for (TNetSide* s : {&p.A, &p.B}) {
        for (TCard& c : s->G.Seat(TSeat::Player).Hand) c.Points = 0;
        for (TCard& c : s->G.Seat(TSeat::Opponent).Hand) c.Points = 0;
        s->G.Seat(TSeat::Player).Melds = s->G.Seat(TSeat::Opponent).Melds = {};
        s->G.SetStockExhausted(true);
    }
    TNetSide& mover = p.A.G.OpponentsTurn ? p.B : p.A;
    mover.G.EndHandClicked();
    p.DeliverAll();
    // One new hand on each side, the same one.
    EXPECT_EQ(p.A.G.HandNumber, a + 1);
    EXPECT_EQ(p.B.G.HandNumber, b + 1);
    EXPECT_EQ(SeatDigest(p.A.G, TSeat::Player), SeatDigest(p.B.G, TSeat::Opponent));
    EXPECT_NE(p.A.G.DealtLastHand, p.B.G.DealtLastHand);
}

// ---------------------------------------------------------------- rules

TEST(RuleStrings, RoundTripAndDifferences) {
    TRuleOptions mine;
    TRuleOptions theirs = StandardRules();
    const std::string s = BuildRulesString(theirs);
    EXPECT_EQ(std::count(s.begin(), s.end(), kFieldSep), 12);
    EXPECT_EQ(RulesFromString(s, mine), theirs);
    EXPECT_EQ(RulesFromString(BuildRulesString(mine), theirs), mine);
    std::string opponentRules;
    EXPECT_TRUE(CompareRules(BuildRulesString(mine), BuildRulesString(mine), opponentRules).empty());

    TRuleOptions one = mine, two = mine;
    one.CardsDrawn = 1;
    two.CardsDrawn = 2;
    const auto rows = CompareRules(BuildRulesString(one), BuildRulesString(two), opponentRules);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (TRuleDifference{"Number of Cards drawn each turn", "One", "Two"}));
    // Each received field followed by the separator.
    EXPECT_EQ(std::count(opponentRules.begin(), opponentRules.end(), kFieldSep), 13);
    EXPECT_EQ(RulesFromString(opponentRules, one), two);

    const auto all = CompareRules(BuildRulesString(mine), BuildRulesString(theirs), opponentRules);
    for (size_t i = 1; i < all.size(); ++i) EXPECT_LT(all[i - 1].Rule, all[i].Rule);
}

TEST(RuleStrings, MissingAndGarbledFields) {
    std::string opponentRules;
    const auto rows = CompareRules(BuildRulesString(TRuleOptions{}),
                                   "F\xFE"
                                   "1",
                                   opponentRules);
    EXPECT_EQ(rows.size(), 11u);  // the eleven missing fields compare as empty texts
    TRuleOptions keep;
    keep.CardsDrawn = 2;
    const TRuleOptions r = RulesFromString(
        "T\xFE"
        "7\xFE"
        "x",
        keep);
    EXPECT_TRUE(r.CanastaRequired);
    EXPECT_EQ(r.CanastasToGoOut, keep.CanastasToGoOut);
    EXPECT_EQ(r.CardsDrawn, 2);
}

}  // namespace
}  // namespace canasta::test

namespace canasta::test {
namespace {

// The core reports moves; the network side words them as the tokens the
// other copy has always read.
TEST(MoveTokens, EachMoveIsTheTokenThePeerExpects) {
    THeadlessHost host;
    TGame g(host);
    const std::string sep(1, '\xFE');
    using P = std::pair<std::string, std::string>;
    EXPECT_EQ(MoveToken({TMoveKind::NewGame}, g), (P{"NEWGAME", ""}));
    EXPECT_EQ(MoveToken({TMoveKind::Draw}, g), (P{"DRAWNEW", ""}));
    EXPECT_EQ(MoveToken({TMoveKind::TakePileTop}, g), (P{"DRAWPILETOP", ""}));
    EXPECT_EQ(MoveToken({TMoveKind::TakePileRest}, g), (P{"DRAWPILEREST", ""}));
    EXPECT_EQ(MoveToken({TMoveKind::UndoTake}, g), (P{"UNDOPILE", ""}));
    EXPECT_EQ(MoveToken({TMoveKind::Meld, 12}, g), (P{"MELD", "12"}));
    EXPECT_EQ(MoveToken({TMoveKind::AddWild, 53, 9}, g), (P{"MELDWILDCARD", "53" + sep + "9"}));
    EXPECT_EQ(MoveToken({TMoveKind::UndoMeld, 38, 12}, g), (P{"UNDO", "12" + sep + "38"}));
    EXPECT_EQ(MoveToken({TMoveKind::Discard, 7}, g), (P{"DISCARD", "7"}));
    EXPECT_EQ(MoveToken({TMoveKind::DiscardRedThree, 28}, g), (P{"DISCARDREDTHREE", "28"}));
    EXPECT_EQ(MoveToken({TMoveKind::Pass}, g), (P{"PASSDISCARD", ""}));
    EXPECT_EQ(MoveToken({TMoveKind::EndHand}, g), (P{"HANDOVER", ""}));
    // A deal carries the record of the last shuffle, with who draws first.
    g.FixedSeed = true;
    g.Rng.Seed = 5;
    g.Config.Networked = true;
    host.RecordMoves = true;
    g.DealHand();
    ASSERT_FALSE(host.Moves.empty());
    EXPECT_EQ(host.Moves.back().Kind, TMoveKind::Deal);
    EXPECT_EQ(MoveToken(host.Moves.back(), g), (P{"DEAL", MakeDealRecord(host.Moves.back().PlayerFirst, g.LastDeal)}));
}

}  // namespace
}  // namespace canasta::test
