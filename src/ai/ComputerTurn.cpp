// SPDX-License-Identifier: GPL-3.0-or-later
#include "ai/ComputerTurn.h"

namespace canasta {

int NaturalPoints(int rank) {
    if (rank == kRankAce) return 20;
    if (rank >= 7) return 10;
    return 5;
}

void CountCards(const TGame& game, TSeat seat, TCardCounts& c) {
    const TSeatState& mine = game.Seat(seat);
    const TSeatState& theirs = game.Seat(OtherSeat(seat));
    c = TCardCounts{};
    for (const TCard& card : mine.Hand) ++c.HandByRank[card.Rank];
    for (const TCard& card : mine.Melds) {
        ++c.MeldSize[card.Column];
        ++c.MeldByRank[card.Rank];
    }
    for (const TCard& card : theirs.Melds) {
        ++c.OppMeldSize[card.Column];
        ++c.OppMeldByRank[card.Rank];
    }
    for (const TCard& card : game.DiscardPile) ++c.PileByRank[card.Rank];
    for (const TCard& card : theirs.PickedUp) ++c.KnownOppByRank[card.Rank];
}

int WildsInMeld(const TGame& game, TSeat seat, int rank) {
    int n = 0;
    for (const TCard& card : game.Seat(seat).Melds)
        if (card.Column == rank && IsWild(card)) ++n;
    return n;
}

bool CanTakePile(TGame& game, TSeat seat, const TCardCounts& c, const TCard& top) {
    const int r = top.Rank;
    if (r < 3) return false;
    if (game.DiscardPile.Count == 1 && game.Seat(seat).Hand.Count == 1) return false;
    const TRuleOptions& rules = game.SeatRules(seat);
    const int n = c.HandByRank[static_cast<size_t>(r)];
    const int m = c.MeldSize[static_cast<size_t>(r)];
    const int w = c.Wilds();
    const bool pairing = (n == 1 && w >= 1 && !rules.NaturalPair) || n >= 2 ||
                         (m >= 3 && !(rules.NaturalPair && rules.PairForExistingMeld));
    const bool frozen = game.PileFrozen;
    const bool yes = (!frozen && !rules.AddToCanasta && m < 7 && pairing) || (frozen && n >= 2) ||
                     (!frozen && rules.AddToCanasta && pairing) ||
                     (game.StockExhausted && game.IsForced(seat, game.Seat(seat).Hand.Count, c.MeldSize));
    if (!yes) return false;
    // A new meld must leave a card to discard.
    if (m == 0) return game.Seat(seat).Hand.Count + game.DiscardPile.Count > 3;
    return true;
}

TProvisionalCard::TProvisionalCard(TGame& game, TSeat seat, const TCard& card)
    : Game(game), Seat(seat), CountBefore(game.Seat(seat).Hand.Count) {
    AddCard(Game.Seat(seat).Hand, card);
}

TProvisionalCard::~TProvisionalCard() { Game.Seat(Seat).Hand.Count = CountBefore; }

// ---------------------------------------------------------------------------

void TComputerTurn::Attach(TGame& game, TSeat seat) {
    G = &game;
    Me = seat;
    Other = OtherSeat(seat);
}

void TComputerTurn::PlayTurn(TGame& game, TSeat seat) {
    Attach(game, seat);
    RunTurn(true);
}

void TComputerTurn::PlayTurnAfterPickUp(TGame& game, TSeat seat) {
    Attach(game, seat);
    RunTurn(false);
}

void TComputerTurn::Report(TMoveReport move) {
    move.Seat = Me;
    G->Observer.MoveMade(move);
}

bool TComputerTurn::PileFrozenForMe() const {
    if (G->PileFrozen) return true;
    const TRuleOptions& rules = G->SeatRules(Me);
    return rules.InitiallyFrozen && rules.FrozenPerPlayer && G->Seat(Me).MeldedPoints == 0;
}

void TComputerTurn::RunTurn(bool pickUp) {
    TGame& g = *G;
    TakenTop.reset();
    PlayersTake = TPlayersTake::AsLevel;
    RestToCome = false;
    g.OpponentsTurn = Me == TSeat::Opponent;

    g.Seat(Other).PointsBeforeTurn = g.MeldedPoints(Other, false);
    g.Seat(Me).MinimumMeld = MinimumInitialMeld(g.Seat(Me).Score);
    BeginTurn();

    if (pickUp) {
        if (!PickUp()) return;
        if (PlayersTake == TPlayersTake::Whole) TakeRestOfPile();
    } else {
        PrepareWithoutPickUp();
    }
    Meld();
    BeforeDiscard();
    Discard();
    Finish();
}

bool TComputerTurn::ForcedTake() {
    CountCards();
    return G->IsForced(Me, HandSize(), C.MeldSize);
}

bool TComputerTurn::MovesChecked() const { return CheckedMoves || (Me == TSeat::Player && G->Config.Networked); }

bool TComputerTurn::TakeAllowed() {
    // Moves checked elsewhere (the other copy of a network game judges the
    // player's seat) are judged by the seat's rules; otherwise the levels
    // keep their own judgement.
    return !MovesChecked() || G->MayTakePile(Me, true);
}

bool TComputerTurn::PickUp() {
    TGame& g = *G;
    if (TakeDecision() && TakeAllowed()) {
        g.PileFrozen = false;
        g.Host.Wait(g.Config.MeldDelay);
        const TCard top = TakeTopCard();
        MeldAfterTake(top);
        TakeRestOfPile();
        return true;
    }
    if (g.StockExhausted) {
        if (!ForcedTake()) {
            EndHandAtEmptyStock();
            return false;
        }
        const TCard top = TakeTopCard(false);
        MeldAfterForcedTake(top);
        return true;
    }
    DrawCards();
    return true;
}

void TComputerTurn::EndHandAtEmptyStock() {
    TGame& g = *G;
    Report({TMoveKind::EndHand});
    g.EndHandRequested = true;
    if (g.EndHandIfOver()) return;
    // The hand could not end (it is already being scored): nothing to play.
    Finish();
}

TCard TComputerTurn::TakeTopCard(bool restFollows) {
    Report({TMoveKind::TakePileTop});
    // Checked moves take as the other copy replays them, by the seat's rules:
    // the whole pile when it may be taken without being forced, else the top
    // card alone.
    if (MovesChecked()) PlayersTake = G->MayTakePile(Me, false) ? TPlayersTake::Whole : TPlayersTake::TopOnly;
    RestToCome = restFollows && PlayersTake != TPlayersTake::TopOnly;
    TakenTop = G->DiscardPile.Last();
    TakeFromPile();
    G->Host.Invalidate(TRegion::Pile);
    return G->Seat(Me).Hand.Last();
}

void TComputerTurn::TakeRestOfPile() {
    const bool topOnly = PlayersTake == TPlayersTake::TopOnly;
    PlayersTake = TPlayersTake::AsLevel;
    RestToCome = false;
    if (topOnly) return;
    Report({TMoveKind::TakePileRest});
    while (!G->DiscardPile.Empty()) TakeFromPile();
    G->Host.Invalidate(TRegion::Pile);
}

void TComputerTurn::TakeFromPile() {
    const TCard card = TakeLastCard(G->DiscardPile);
    G->AddToHand(Me, card, {TArea::DiscardPile}, true);
    // The other seat saw it taken (a red three goes to the table at once).
    if (!IsRedThree(card)) AddCard(G->Seat(Me).PickedUp, G->Seat(Me).Hand.Last());
}

void TComputerTurn::DrawCards() {
    TGame& g = *G;
    for (int i = 0; i < g.Rules.CardsDrawn && !g.Stock.Empty(); ++i) {
        Report({TMoveKind::Draw});
        TCard card = g.DrawFromStock();
        g.AddToHand(Me, card, {TArea::Stock}, true);
        while (g.Rules.RedThreeDrawsExtra && IsRedThree(card) && !g.Stock.Empty()) {
            Report({TMoveKind::Draw});
            card = g.DrawFromStock();
            g.AddToHand(Me, card, {TArea::Stock}, true);
        }
    }
}

void TComputerTurn::Meld() {
    LayRedThrees();
    if (!HasMelded()) InitialMeld();
    if (HasMelded()) AddToMelds();
    GoOut();
}

void TComputerTurn::Discard() {
    // The account of the turn tells the player of the pass.
    if (HandSize() < 2 && !HasCanastasRequired()) {
        if (HandSize() == 1) Report({TMoveKind::Pass});
        return;
    }
    if (HandSize() == 0) return;
    DiscardChosen(ChooseDiscard());
}

void TComputerTurn::DiscardChosen(const TDiscardChoice& choice) {
    TGame& g = *G;
    if (!choice.FromMelds) {
        if (choice.Position >= 0 && choice.Position < HandSize())
            Report({TMoveKind::Discard, HandCard(choice.Position).Id});
        // A position off the hand is refused there: the hand is abandoned.
        g.DiscardFromHand(Me, choice.Position);
        return;
    }
    // A red three from the table.
    Report({TMoveKind::DiscardRedThree, g.Seat(Me).Melds.At(choice.Position).Id});
    g.RedThreeToPile(Me, choice.Position);
}

void TComputerTurn::Finish() {
    TGame& g = *G;
    g.Host.Invalidate(TRegion::Pile);
    g.Host.Invalidate(Me == TSeat::Player ? TRegion::PlayerHand : TRegion::OpponentHand);
    if (g.EndHandIfOver()) return;
    g.Seat(Me).PointsBeforeTurn = g.Seat(Me).MeldedPoints;
    if (Me == TSeat::Player) {
        g.HandTurnToOpponent();
    } else {
        g.OpponentsTurn = false;
        g.SetTurnPhase(TTurnPhase::Draw);
    }
}

int TComputerTurn::FindInHand(int rank, int from) const {
    for (int i = from; i < HandSize(); ++i)
        if (G->Seat(Me).Hand.Cards[static_cast<size_t>(i)].Rank == rank) return i;
    return -1;
}

int TComputerTurn::FindBlackThree() const {
    for (int i = 0; i < HandSize(); ++i)
        if (IsBlackThree(G->Seat(Me).Hand.Cards[static_cast<size_t>(i)])) return i;
    return -1;
}

double TComputerTurn::RandomReal() {
    G->Rng.Next(1);
    return G->Rng.Seed / 4294967296.0;
}

int TComputerTurn::RandomInt(int n) { return n <= 0 ? 0 : static_cast<int>(G->Rng.Next(static_cast<uint32_t>(n))); }

bool TComputerTurn::MayMeldLastCard(bool wild, int at) {
    if (HandSize() != 1 || RestToCome) return true;
    // Laying a red three is no meld: a further card comes for it.
    if (!wild && IsRedThree(HandCard(0))) return true;
    THeadlessHost quiet;
    TGame trial(quiet, *G);
    if (wild)
        trial.MeldWildCard(Me, at);
    else
        trial.MeldFromHand(Me, at);
    return !trial.Seat(Me).Hand.Empty() || trial.ValidateTurnMelds(Me, false, 0);
}

void TComputerTurn::MeldFromHand(int position) {
    if (!MayMeldLastCard(false, position)) return;
    if (position >= 0 && position < HandSize()) {
        // The take's move laid the pile's top card itself: the level's first
        // card of that rank is that very card, whichever twin it picked.
        if (TakenTop && HandCard(position).Rank == TakenTop->Rank)
            for (int i = 0; i < HandSize(); ++i)
                if (HandCard(i).Id == TakenTop->Id && HandCard(i).Deck == TakenTop->Deck) position = i;
        const TCard& card = HandCard(position);
        // Red threes go to the table by themselves on the other copy, and so
        // did the top card of a take.
        if (TakenTop && card.Id == TakenTop->Id && card.Deck == TakenTop->Deck)
            TakenTop.reset();
        else if (!IsRedThree(card))
            Report({TMoveKind::Meld, card.Id});
    }
    G->MeldFromHand(Me, position);
}

void TComputerTurn::MeldWildCard(int rank) {
    if (!MayMeldLastCard(true, rank)) return;
    const TCardList& hand = G->Seat(Me).Hand;
    const int position = FirstWildCard(hand);
    if (position >= 0) Report({TMoveKind::AddWild, hand.Cards[static_cast<size_t>(position)].Id, rank});
    G->MeldWildCard(Me, rank);
}

bool TComputerTurn::LayRedThrees() { return G->LayRedThrees(Me); }

}  // namespace canasta
