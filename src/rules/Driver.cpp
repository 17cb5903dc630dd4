// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Driver.h"

namespace canasta {

void TGameDriver::Run() {
    while (!G.Host.Presenting() && Step()) {}
}

bool TGameDriver::HasPendingStep() const {
    if (G.QuitRequested) return false;
    if (G.HandEndPending) return !G.MatchAnswerPending;
    return G.OpponentsTurn && !G.Config.Networked && G.TurnPhase != TTurnPhase::HandOver;
}

bool TGameDriver::Step() {
    if (!HasPendingStep()) return false;
    if (G.HandEndPending) return FinishHandEnd();
    PlayComputerTurn();
    return true;
}

void TGameDriver::PlayComputerTurn() {
    const int level = G.Config.Level < 0 || G.Config.Level > 3 ? 2 : G.Config.Level;
    IComputerLevel* player = G.Levels[static_cast<size_t>(level)];
    if (!player) throw InternalError("no computer level installed for level " + std::to_string(level));
    player->PlayTurn(G, TSeat::Opponent);
    if (G.TurnPhase == TTurnPhase::HandOver) return;
    // A level that leaves the turn open would be asked to play for ever.
    if (G.OpponentsTurn) throw InternalError("the computer's turn did not end");
    if (G.TurnSnapshotDue) {
        G.TurnSnapshotDue = false;
        G.SaveTurnSnapshot();
    }
}

bool TGameDriver::FinishHandEnd() {
    if (G.Seat(TSeat::Player).Score < 5000 && G.Seat(TSeat::Opponent).Score < 5000) {
        DealNextIfOurs();
        return true;
    }
    TMatchResult match;
    match.PlayerScore = G.Seat(TSeat::Player).Score;
    match.OpponentScore = G.Seat(TSeat::Opponent).Score;
    match.Difference = G.Seat(TSeat::Player).Score - G.Seat(TSeat::Opponent).Score;
    match.Comment = G.MatchComment(match.Difference);
    match.PlayerName = G.PlayerLabel();
    match.OpponentName = G.OpponentLabel();
    match.PlayerWon = match.Difference > 0;
    match.OpponentWon = match.Difference < 0;
    G.HandEndDifference = match.Difference;
    // The high-score list comes first, so its own sound does not cut the
    // match's sound short.
    G.Observer.MatchFinished(match);
    if (match.PlayerWon) G.Host.PlaySound(TSoundEvent::WinMatch);
    if (match.OpponentWon) G.Host.PlaySound(TSoundEvent::LoseMatch);
    G.MatchAnswerPending = true;
    const std::optional<bool> again = G.Host.ShowMatchResult(match);
    if (!again) return false;
    AnswerAnotherMatch(*again);
    return true;
}

void TGameDriver::AnswerAnotherMatch(bool again) {
    if (!G.MatchAnswerPending) return;
    G.MatchAnswerPending = false;
    if (!again) {
        G.QuitRequested = true;
        G.HandEndPending = false;
        return;
    }
    G.Seat(TSeat::Player).Score = G.Seat(TSeat::Opponent).Score = 0;
    G.GameInProgress = false;
    if (G.Config.Networked && G.DealsNext(G.HandEndDifference)) G.Observer.MoveMade({TMoveKind::NewGame});
    DealNextIfOurs();
}

void TGameDriver::DealNextIfOurs() {
    G.HandEndPending = false;
    // In a network game the other side may deal: its deal arrives as a move.
    if (G.DealsNext(G.HandEndDifference)) G.DealHand();
}

}  // namespace canasta
