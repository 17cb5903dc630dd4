// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Game.h"

namespace canasta {

std::string PhaseStatusText(TTurnPhase phase, bool stockExhausted, bool networked, const std::string& opponentName) {
    switch (phase) {
        case TTurnPhase::Draw:
            return stockExhausted ? "Stock exhausted; take discard pile or end hand"
                                  : "Draw a card by clicking on the stock or the discard pile";
        case TTurnPhase::MeldOrDiscard: return "Meld a card by clicking it, discard a card by right-clicking it";
        case TTurnPhase::MeldOrDiscardTwice: return "Meld by clicking a card, discard by right-clicking it twice";
        case TTurnPhase::PileTaken: return "Meld by clicking left, undo taking discard pile by clicking it";
        case TTurnPhase::DrawSecond: return "Draw a second card from the stock";
        case TTurnPhase::KeyMeld:
            return "Select a card to meld by typing one of the characters 2 thru 9, 0 (for 10), J, Q, K, A or W for a "
                   "wildcard";
        case TTurnPhase::KeyDiscard:
            return "Select a card to discard by typing one of the characters 2 thru 9, 0 (for 10), J, Q, K, A or W for "
                   "a wildcard";
        case TTurnPhase::KeyWild:
            return "Select a card to add a wildcard to by typing one of the characters 2 thru 9, 0 (for 10), J, Q, K "
                   "or A";
        case TTurnPhase::OpponentTurn:
            return networked ? "It's " + opponentName + "'s turn" : "It's the computer's turn";
        case TTurnPhase::HandOver: return "Please wait for the next hand to be dealt";
        default: return "";
    }
}

std::string StatusErrorText(TRefusal reason, const std::string& validationMessage) {
    switch (reason) {
        case TRefusal::MeldBeforeDraw:
            return "You cannot meld before drawing; please draw first by clicking on the stock or the discard pile";
        case TRefusal::DiscardBeforeDraw:
            return "You cannot discard before drawing; please draw first by clicking on the stock or the discard pile";
        case TRefusal::AlreadyDrawn: return "You have already drawn";
        case TRefusal::DiscardNotPossible: return "Discarding is not possible now: " + validationMessage;
        case TRefusal::TopCardNotMeldable:
            return "Taking the discard pile is not possible now because you cannot meld the top card";
        case TRefusal::BlackThreesOnlyGoingOut:
            return "Black Threes can only be melded as the last cards when going out";
        case TRefusal::TooFewWildsForWildCanasta:
            return "You need at least seven wildcards to create a wildcard Canasta";
        case TRefusal::WildCanastaNotAllowed: return "Wildcard Canastas are not allowed with the current rules";
        case TRefusal::OneCardPileWithOneCardHand:
            return "You cannot take a pile with one card if you only have one card in hand";
        case TRefusal::None: break;
    }
    return "";
}

int MinimumInitialMeld(int score) {
    if (score < 0) return 15;
    if (score < 1500) return 50;
    if (score < 3000) return 90;
    return 120;
}

TGame::TGame(GameHost& host, TRuleOptions rules, TGameConfig config)
    : TGame(static_cast<IGameView&>(host), static_cast<IGameObserver&>(host), std::move(rules), std::move(config)) {}

TGame::TGame(IGameView& view, IGameObserver& observer, TRuleOptions rules, TGameConfig config)
    : Host(view), Observer(observer), Rules(rules), Config(std::move(config)), Rng(TimeOfDaySeed()) {}

TGame::TGame(GameHost& host, const TGame& other)
    : TGameState(other),
      Host(host),
      Observer(host),
      Rules(other.Rules),
      RemoteRules(other.RemoteRules),
      Config(other.Config),
      Rng(other.Rng),
      FixedSeed(other.FixedSeed),
      LastDeal(other.LastDeal),
      Levels(other.Levels),
      OpponentTurn(other.OpponentTurn),
      HandNumber(other.HandNumber),
      LastRefusal(other.LastRefusal),
      HandEndPending(other.HandEndPending),
      HandEndDifference(other.HandEndDifference),
      MatchAnswerPending(other.MatchAnswerPending),
      TurnSnapshotDue(other.TurnSnapshotDue),
      DealtLastHand(other.DealtLastHand),
      QuitRequested(other.QuitRequested) {}

std::string TGame::OpponentLabel() const { return Config.Networked ? Config.OpponentName : "Computer"; }
std::string TGame::OpponentInSentence() const { return Config.Networked ? Config.OpponentName : "the computer"; }
std::string TGame::PlayerLabel() const { return Config.PlayerName.empty() ? "Player" : Config.PlayerName; }

void TGame::NewGame() {
    HandEndPending = MatchAnswerPending = false;
    Seat(TSeat::Player).Score = 0;
    Seat(TSeat::Opponent).Score = 0;
    Observer.MoveMade({TMoveKind::NewGame});
    GameInProgress = false;
    DealHand(TSoundEvent::Start);
}

void TGame::SetTurnPhase(TTurnPhase phase) {
    if (phase == TTurnPhase::MeldOrDiscard || phase == TTurnPhase::MeldOrDiscardTwice)
        phase = Config.DoubleRightClick ? TTurnPhase::MeldOrDiscardTwice : TTurnPhase::MeldOrDiscard;
    TurnPhase = phase;
    Host.ShowStatus(PhaseStatusText(phase, StockExhausted, Config.Networked, Config.OpponentName));
    Host.SetEndHandEnabled(phase == TTurnPhase::Draw);
}

void TGame::ShowStatusError(TRefusal reason) {
    LastRefusal = reason;
    if (reason == TRefusal::None) {
        Host.ShowStatus(PhaseStatusText(TurnPhase, StockExhausted, Config.Networked, Config.OpponentName));
        return;
    }
    Host.ShowStatusError(StatusErrorText(reason, ValidationMessage));
}

void TGame::SetStockExhausted(bool flag) {
    StockExhausted = flag;
    Host.SetEndHandVisible(flag);
}

void TGame::CountColumns() {
    Seat(TSeat::Player).ColumnCounts.fill(0);
    Seat(TSeat::Player).RankCounts.fill(0);
    Seat(TSeat::Opponent).RankCounts.fill(0);
    Seat(TSeat::Opponent).ColumnCounts.fill(0);
    PileRankCounts.fill(0);
    for (const TCard& c : Seat(TSeat::Player).Melds) ++Seat(TSeat::Player).ColumnCounts[c.Column];
    for (const TCard& c : Seat(TSeat::Opponent).Melds) ++Seat(TSeat::Opponent).ColumnCounts[c.Column];
    for (const TCard& c : Seat(TSeat::Player).Hand) ++Seat(TSeat::Player).RankCounts[c.Rank];
    for (const TCard& c : Seat(TSeat::Opponent).Hand) ++Seat(TSeat::Opponent).RankCounts[c.Rank];
    for (const TCard& c : DiscardPile) ++PileRankCounts[c.Rank];
}

TCard TGame::DrawFromStock() {
    TCard c = TakeLastCard(Stock);
    SetStockExhausted(Stock.Empty());
    Host.Invalidate(TRegion::Stock);
    return c;
}

void TGame::SaveTurnSnapshot() {
    SavedPlayerHand = Seat(TSeat::Player).Hand;
    SavedPlayerMelds = Seat(TSeat::Player).Melds;
    SavedPlayerMeldState = Seat(TSeat::Player).MeldState;
    SavedDiscardPile = DiscardPile;
}

void TGame::RestoreTurnSnapshot() {
    Seat(TSeat::Player).Hand = SavedPlayerHand;
    Seat(TSeat::Player).Melds = SavedPlayerMelds;
    Seat(TSeat::Player).MeldState = SavedPlayerMeldState;
    DiscardPile = SavedDiscardPile;
}

void TGame::ResetForDeal(TSoundEvent sound) {
    ++HandNumber;
    OpponentTurn = {};
    HandEndPending = MatchAnswerPending = TurnSnapshotDue = false;
    Host.PlaySound(sound);
    if (Config.ShowTurns) {
        std::string text;
        if (PlayerDrawsFirst)
            text = "It's your turn to draw first.";
        else if (Config.Networked)
            text = "It's " + Config.OpponentName + "'s turn to draw first.";
        else
            text = "It's the computer's turn to draw first.";
        Host.ShowWhoseTurn(text);
    }
    Host.SetRulesHint(kRulesHintOpen);
    ClearUndo();
    Host.SetUndoEnabled(false);
    TopCardPending = GoingOutWithThrees = HasDrawn = PileTakeUndoable = CardSelected = false;
    TurnStart = true;
    PileFrozen = Rules.InitiallyFrozen;
    for (TSeatState& seat : Seats) {
        seat.MeldedPoints = seat.PointsBeforeTurn = 0;
        seat.MeldState = {};
        seat.Discards.fill(0);
        seat.PickedUp = {};
    }
    DrawsThisTurn = 0;
    SetStockExhausted(false);
    EndHandRequested = false;
    WentOut = woNobody;
    for (IComputerLevel* level : Levels)
        if (level) level->NewHand(*this);
}

void TGame::DealFromStock() {
    DiscardPile = {};
    Seat(TSeat::Opponent).Hand = {};
    Seat(TSeat::Player).Hand = {};
    Seat(TSeat::Opponent).Melds = {};
    Seat(TSeat::Player).Melds = {};
    while (Seat(TSeat::Opponent).Hand.Count < 15) {
        TCard c = TakeLastCard(Stock);
        if (IsRedThree(c)) {
            c.FaceUp = true;
            PlaceInColumn(Seat(TSeat::Opponent).Melds, false, c);
            AddCard(Seat(TSeat::Opponent).Melds, c);
        } else {
            c.FaceUp = Config.ShowOpponentCards;
            AddCard(Seat(TSeat::Opponent).Hand, c);
        }
    }
    while (Seat(TSeat::Player).Hand.Count < 15) {
        TCard c = TakeLastCard(Stock);
        c.FaceUp = true;
        if (IsRedThree(c)) {
            PlaceInColumn(Seat(TSeat::Player).Melds, false, c);
            AddCard(Seat(TSeat::Player).Melds, c);
        } else {
            PlaceInColumn(Seat(TSeat::Player).Hand, false, c);
            AddCard(Seat(TSeat::Player).Hand, c);
        }
    }
    for (;;) {
        TCard c = TakeLastCard(Stock);
        c.FaceUp = true;
        AddCard(DiscardPile, c);
        if (!(IsWild(c) || IsRedThree(c))) break;
        PileFrozen = true;
    }
    SetStockExhausted(Stock.Empty());
}

void TGame::DealHand(TSoundEvent sound) {
    ResetForDeal(sound);
    if (!FixedSeed) Rng.Seed = TimeOfDaySeed();
    LastDeal = ShuffleDeck(Stock, Rng);
    DealFromStock();
    SaveTurnSnapshot();
    for (TSeatState& seat : Seats) seat.MinimumMeld = MinimumInitialMeld(seat.Score);
    Host.Invalidate(TRegion::All);

    bool playerFirst = PlayerDrawsFirst;
    // Inverted before the computer may play, so a hand that ends inside its
    // first turn deals the next one with the right side first.
    PlayerDrawsFirst = !playerFirst;
    OpponentsTurn = !playerFirst;
    DealtLastHand = true;
    // The other side builds the same stock from the positions.
    if (Config.Networked) Observer.MoveMade({TMoveKind::Deal, 0, 0, playerFirst});
    SetTurnPhase(playerFirst ? TTurnPhase::Draw : TTurnPhase::OpponentTurn);
}

void TGame::HandTurnToOpponent() {
    OpponentsTurn = true;
    SetTurnPhase(TTurnPhase::OpponentTurn);
}

void TGame::MarkGameInProgress() { GameInProgress = true; }

bool TGame::DealsNext(int difference) const {
    if (!Config.Networked) return true;
    // Exactly one side deals: the higher score, or on a tie the side that did
    // not deal the hand just played (both sides know who that was).
    return difference > 0 || (difference == 0 && !DealtLastHand);
}

bool TGame::PlayerDrawOneFromStock() {
    TCard c = DrawFromStock();
    TurnStart = false;
    ++DrawsThisTurn;
    Host.SetRulesHint(kRulesHintLocked);
    Observer.MoveMade({TMoveKind::Draw});
    // A red three goes to the table at once.
    const bool redThree = IsRedThree(c);
    if (redThree)
        LayOnTable(TSeat::Player, c, kRankThree, {TArea::Stock});
    else
        AddToHand(TSeat::Player, c, {TArea::Stock}, true);
    return redThree;
}

void TGame::DrawClicked() {
    if (OpponentsTurn || TurnPhase == TTurnPhase::HandOver) return;
    if (HasDrawn || !(TurnStart || TurnPhase == TTurnPhase::DrawSecond)) {
        ShowStatusError(TRefusal::AlreadyDrawn);
        return;
    }
    if (Stock.Empty()) return;
    MarkGameInProgress();
    while (PlayerDrawOneFromStock()) {
        if (Rules.RedThreeDrawsExtra && !Stock.Empty()) {
            --DrawsThisTurn;
            continue;
        }
        // A red three that is the turn's draw can leave the player with one
        // card and too few canastas: then the turn passes.
        if (CheckForcedPass()) return;
        break;
    }
    FinishDraw();
}

void TGame::FinishDraw() {
    if (DrawsThisTurn != Rules.CardsDrawn && !Stock.Empty()) {
        SetTurnPhase(TTurnPhase::DrawSecond);
        return;
    }
    SetTurnPhase(TTurnPhase::MeldOrDiscard);
    HasDrawn = true;
    TopCardPending = false;
    PileTakeUndoable = false;
    DrawsThisTurn = 0;
    SaveTurnSnapshot();
}

}  // namespace canasta
