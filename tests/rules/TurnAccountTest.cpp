// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "rules/TurnAccount.h"
#include "support/TestTable.h"

using namespace canasta;
using namespace canasta::test;

namespace {

TCard Named(const std::string& name, int deck = 0) {
    TCard c = NewCard(CardId(name), deck);
    c.FaceUp = true;
    return c;
}

// A turn built move by move, with the seat's table before and after it.
class Turn {
public:
    explicit Turn(TSeat seat = TSeat::Opponent) { R.Seat = seat; }

    // Cards that lay on the seat's table before the turn (and still do).
    Turn& Had(int column, std::initializer_list<const char*> names) {
        for (const char* n : names) {
            Put(R.Before.Melds, column, Named(n));
            Put(R.After.Melds, column, Named(n));
        }
        return *this;
    }
    Turn& Draw(const char* name) { return Move(Named(name), {TArea::Stock}, {Hand()}); }
    // A red three drawn goes to the table (the player's way of laying it).
    Turn& DrawRedThree(const char* name) {
        const TCard c = Put(R.After.Melds, kRankThree, Named(name));
        return Move(c, {TArea::Stock}, PlaceOf(Melds(), c));
    }
    Turn& TakePile(int cards) {
        for (int i = 0; i < cards; ++i) Move(Named("4D"), {TArea::DiscardPile}, {Hand()});
        return *this;
    }
    Turn& Meld(int column, std::initializer_list<const char*> names) {
        for (const char* n : names) {
            const TCard c = Put(R.After.Melds, column, Named(n));
            Move(c, {Hand()}, PlaceOf(Melds(), c));
        }
        return *this;
    }
    // A card melded and taken back within the turn.
    Turn& MeldTakenBack(int column, const char* name) {
        TCard c = Named(name);
        c.Column = static_cast<uint8_t>(column);
        Move(c, {Hand()}, PlaceOf(Melds(), c));
        return Move(c, PlaceOf(Melds(), c), {Hand()});
    }
    Turn& Canasta(int column, uint8_t kind) {
        R.After.MeldState.CanastaKind[static_cast<size_t>(column)] = kind;
        return *this;
    }
    Turn& Discard(const char* name) { return Move(Named(name), {Hand()}, {TArea::DiscardPile}); }
    Turn& WentOut() {
        R.HandOver = R.WentOut = true;
        return *this;
    }
    Turn& Move(const TCard& c, TCardPlace from, TCardPlace to) {
        R.Moves.push_back({c, from, to});
        return *this;
    }

    std::string Account() const { return TurnAccount(R); }
    TTurnRecord R;

private:
    TArea Hand() const { return R.Seat == TSeat::Player ? TArea::PlayerHand : TArea::OpponentHand; }
    TArea Melds() const { return R.Seat == TSeat::Player ? TArea::PlayerMelds : TArea::OpponentMelds; }
    static TCard Put(TCardList& list, int column, TCard c) {
        c.Column = static_cast<uint8_t>(column);
        c.Depth = ++list.Depths[static_cast<size_t>(column)];
        AddCard(list, c);
        return c;
    }
};

}  // namespace

TEST(TurnAccount, NamesCardsRanksAndCounts) {
    EXPECT_EQ(CardName(CardId("7C")), "7♣");
    EXPECT_EQ(CardName(CardId("9H")), "9♥");
    EXPECT_EQ(CardName(CardId("10D")), "10♦");
    EXPECT_EQ(CardName(CardId("AS")), "A♠");
    EXPECT_EQ(CardName(CardId("QH")), "Q♥");
    EXPECT_EQ(CardName(kJokerId), "Joker");
    EXPECT_EQ(RankPlural(RankOf(CardId("6S"))), "sixes");
    EXPECT_EQ(RankPlural(RankOf(CardId("3S"))), "threes");
    EXPECT_EQ(RankPlural(RankOf(CardId("10S"))), "tens");
    EXPECT_EQ(RankPlural(RankOf(CardId("JS"))), "jacks");
    EXPECT_EQ(RankPlural(RankOf(CardId("KS"))), "kings");
    EXPECT_EQ(RankPlural(RankOf(CardId("AS"))), "aces");
    EXPECT_EQ(RankPlural(kRankTwo), "wild cards");
    EXPECT_EQ(RankPlural(kRankJoker), "wild cards");
    EXPECT_EQ(CountWord(1), "one");
    EXPECT_EQ(CountWord(7), "seven");
    EXPECT_EQ(CountWord(10), "ten");
    EXPECT_EQ(CountWord(11), "11");
    EXPECT_EQ(CountWord(23), "23");
}

TEST(TurnAccount, DrawMeldAndDiscard) {
    EXPECT_EQ(Turn().Draw("5S").Meld(12, {"KS", "KC", "KD"}).Discard("9H").Account(),
              "Drew a card, melded three kings, discarded the 9♥");
    // Wild cards in a new meld, and a second meld of the same turn.
    EXPECT_EQ(Turn().Draw("5S").Meld(5, {"6S", "6C", "2D"}).Meld(13, {"AS", "AC", "AD", "AH"}).Discard("JK").Account(),
              "Drew a card, melded two sixes and a wild card, melded four aces, discarded the Joker");
    EXPECT_EQ(Turn().Draw("5S").Draw("8S").Discard("10C").Account(), "Drew two cards, discarded the 10♣");
}

TEST(TurnAccount, PileTakeMeldsAndCanastas) {
    Turn t;
    t.Had(6, {"7S", "7C", "7D", "7H", "7S"}).TakePile(23).Meld(12, {"KS", "KC", "KD"}).Meld(6, {"7D", "7H"});
    t.Canasta(6, ckNatural).Discard("7C");
    EXPECT_EQ(t.Account(),
              "Took the pile (23 cards), melded three kings, added two sevens to the sevens, completed a natural "
              "canasta of sevens, discarded the 7♣");
    EXPECT_EQ(Turn().TakePile(1).Meld(8, {"9S", "9C", "9D"}).Discard("4C").Account(),
              "Took the pile (one card), melded three nines, discarded the 4♣");
    EXPECT_EQ(Turn().TakePile(10).Discard("4C").Account(), "Took the pile (ten cards), discarded the 4♣");

    Turn mixed;
    mixed.Had(12, {"KS", "KC", "KD", "KH", "KS"}).Draw("4S").Meld(12, {"2C", "JK"}).Canasta(12, ckMixed);
    EXPECT_EQ(mixed.Discard("4S").Account(),
              "Drew a card, added two wild cards to the kings, completed a mixed canasta of kings, discarded the 4♠");

    Turn wild;
    wild.Draw("4S").Meld(1, {"2S", "2C", "2D", "2H", "JK", "JK", "2S"}).Canasta(1, ckWild).Discard("5D");
    EXPECT_EQ(wild.Account(),
              "Drew a card, melded seven wild cards, completed a canasta of wild cards, discarded the 5♦");

    // A canasta that was complete before the turn is not completed again.
    Turn grown;
    grown.Had(12, {"KS", "KC", "KD", "KH", "KS", "KC", "KD"}).Draw("4S").Meld(12, {"KH"});
    grown.R.Before.MeldState.CanastaKind[12] = grown.R.After.MeldState.CanastaKind[12] = ckNatural;
    EXPECT_EQ(grown.Discard("4S").Account(), "Drew a card, added a king to the kings, discarded the 4♠");
}

TEST(TurnAccount, RedThreesAndWildAdditions) {
    // The red three drawn is laid down and replaced: one card drawn.
    Turn t;
    t.Had(12, {"KS", "KC", "KD"}).DrawRedThree("3D").Draw("8S").Meld(12, {"2D"}).Discard("9H");
    EXPECT_EQ(t.Account(), "Drew a card, laid down a red three, added a wild card to the kings, discarded the 9♥");
    Turn two;
    two.DrawRedThree("3D").DrawRedThree("3H").Draw("8S").Discard("8S");
    EXPECT_EQ(two.Account(), "Drew a card, laid down two red threes, discarded the 8♠");
    Turn mixedAdd;
    mixedAdd.Had(13, {"AS", "AC", "AD"}).Draw("8S").Meld(13, {"AH", "JK"}).Discard("8S");
    EXPECT_EQ(mixedAdd.Account(), "Drew a card, added an ace and a wild card to the aces, discarded the 8♠");
    Turn eights;
    eights.Had(7, {"8S", "8C", "8D"}).Draw("4S").Meld(7, {"8H"}).Discard("4S");
    EXPECT_EQ(eights.Account(), "Drew a card, added an eight to the eights, discarded the 4♠");
}

TEST(TurnAccount, PassAndGoingOut) {
    EXPECT_EQ(Turn().Draw("5S").Account(), "Drew a card and passed the discard");
    EXPECT_EQ(Turn().Draw("5S").Meld(4, {"5S", "5C", "5D"}).Account(),
              "Drew a card, melded three fives and passed the discard");
    EXPECT_EQ(Turn().Draw("5S").Meld(4, {"5S", "5C", "5D"}).Discard("9H").WentOut().Account(),
              "Drew a card, melded three fives, discarded the 9♥ and went out");
    // Going out by melding the last cards, black threes included.
    Turn threes;
    threes.Draw("3S").Meld(2, {"3S", "3C", "3S"}).WentOut();
    EXPECT_EQ(threes.Account(), "Drew a card, melded three black threes and went out");
    // A hand that ended without this seat going out (the stock ran out) is no pass.
    Turn ended;
    ended.Draw("5S");
    ended.R.HandOver = true;
    EXPECT_EQ(ended.Account(), "Drew a card");
    EXPECT_EQ(Turn().Account(), "");
}

TEST(TurnAccount, WhatWasTakenBackDoesNotCount) {
    // A meld taken back, and a pile take undone before drawing instead.
    Turn t(TSeat::Player);
    t.TakePile(1).Move(Named("4D"), {TArea::PlayerHand}, {TArea::DiscardPile}).Draw("QS").MeldTakenBack(12, "KS");
    t.Meld(11, {"QS", "QC", "QD"}).Discard("5H");
    EXPECT_EQ(t.Account(), "Drew a card, melded three queens, discarded the 5♥");
}

TEST(TurnAccount, LogLinesAndHighlights) {
    Turn t;
    t.Had(12, {"KS", "KC", "KD"}).Draw("8S").Meld(12, {"KH", "2D"}).Discard("9H");
    EXPECT_EQ(TurnLogLine("Computer", t.R),
              "Computer: drew a card, added a king and a wild card to the kings, "
              "discarded the 9♥");
    EXPECT_EQ(TurnLogLine("Anna", Turn().Draw("5S").R), "Anna: drew a card and passed the discard");
    EXPECT_EQ(TurnLogLine("You", Turn().R), "");
    const std::vector<TCardPlace> places = TurnHighlights(t.R);
    ASSERT_EQ(places.size(), 3u);
    EXPECT_EQ(places[0], (TCardPlace{TArea::OpponentMelds, 12, 4, 0}));
    EXPECT_EQ(places[1], (TCardPlace{TArea::OpponentMelds, 12, 5, 0}));
    EXPECT_EQ(places[2], (TCardPlace{TArea::DiscardPile}));
    // Equal cards of the two decks: only the new one is marked.
    Turn twins;
    twins.Had(12, {"KS", "KC", "KD"}).Draw("8S").Meld(12, {"KS"}).Discard("8S");
    ASSERT_EQ(TurnHighlights(twins.R).size(), 2u);
    EXPECT_EQ(TurnHighlights(twins.R)[0], (TCardPlace{TArea::OpponentMelds, 12, 4, 0}));
}

TEST(TurnLog, FollowsTheSeatToMoveAndClearsAtEachDeal) {
    TestTable t;
    t.Hand({"5S", "9H", "KD"});
    TTurnLog log;
    EXPECT_FALSE(log.Sync(t.G));  // opens the player's turn
    // The player discards: the turn is over once the opponent is to move.
    const TCard nine = t.G.Seat(TSeat::Player).Hand.At(1);
    log.Record(t.G, nine, PlaceOf(TArea::PlayerHand, nine), {TArea::DiscardPile});
    EXPECT_FALSE(log.Sync(t.G)) << "still the player's turn";
    t.G.OpponentsTurn = true;
    const std::optional<TTurnRecord> mine = log.Sync(t.G);
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine->Seat, TSeat::Player);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0], "You: discarded the 9♥");

    // The computer melds on its table and goes out.
    const TCard king = t.Take("KS");
    t.OppMeld(12, {"KS", "KC", "KD"});
    log.Record(t.G, king, RowSlot(0), PlaceOf(TArea::OpponentMelds, t.G.Seat(TSeat::Opponent).Melds.At(0)));
    t.G.TurnPhase = TTurnPhase::HandOver;
    t.G.WentOut = woOpponent;
    const std::optional<TTurnRecord> its = log.Sync(t.G);
    ASSERT_TRUE(its);
    EXPECT_EQ(its->Seat, TSeat::Opponent);
    EXPECT_EQ(TurnHighlights(*its).size(), 3u);
    ASSERT_EQ(log.Lines().size(), 2u);
    EXPECT_EQ(log.Lines()[1], "Computer: melded three kings and went out");
    EXPECT_FALSE(log.Sync(t.G)) << "nobody moves in a hand that is over";

    // Moves of the next deal belong to no turn; the deal clears the log.
    ++t.G.HandNumber;
    log.Record(t.G, king, {TArea::Stock}, {TArea::PlayerHand});
    t.G.TurnPhase = TTurnPhase::Draw;
    t.G.OpponentsTurn = false;
    EXPECT_FALSE(log.Sync(t.G));
    EXPECT_TRUE(log.Lines().empty());
    t.G.OpponentsTurn = true;
    EXPECT_FALSE(log.Sync(t.G)) << "a turn that did nothing leaves no line";
    EXPECT_TRUE(log.Lines().empty());
    t.G.Config.Networked = true;
    t.G.Config.OpponentName = "Anna";
    log.Record(t.G, king, {TArea::Stock}, RowSlot(0));
    t.G.OpponentsTurn = false;
    ASSERT_TRUE(log.Sync(t.G));
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0], "Anna: drew a card and passed the discard");
}
