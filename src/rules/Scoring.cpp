// SPDX-License-Identifier: GPL-3.0-or-later
// Scoring a hand, the end of a hand and of a match.
#include "model/Game.h"

namespace canasta {

int TGame::MeldedPoints(TSeat seat, bool allColumns) const {
    const TCardList& melds = Seat(seat).Melds;
    std::array<int, kColumns> perColumn{};
    for (const TCard& c : melds) ++perColumn[c.Column];
    int points = 0;
    for (const TCard& c : melds) {
        if (IsRedThree(c)) continue;
        if (allColumns || perColumn[c.Column] >= 3) points += c.Points;
    }
    return points;
}

namespace {

THandScore ScoreSide(const TCardList& melds, const TCardList& hand, const TMeldState& ms, bool wentOut,
                     bool otherOrNobodyEnded, int pointsBeforeTurn, const TRuleOptions& rules) {
    THandScore s;
    if (wentOut) s.FinishBonus = pointsBeforeTurn != 0 ? 100 : 200;
    int redThrees = 0;
    bool onlyRedThrees = true;
    for (const TCard& c : melds) {
        if (IsRedThree(c))
            ++redThrees;
        else
            onlyRedThrees = false;
    }
    const bool negative =
        (ms.Canastas < rules.CanastasToGoOut && rules.CanastaRequired) || (otherOrNobodyEnded && onlyRedThrees);
    const int sign = negative ? -1 : 1;
    s.RedThreeCount = redThrees;
    s.RedThreeValue = sign * 100 * redThrees;
    if (!negative) {
        for (int col = 1; col < kColumns; ++col) {
            switch (ms.CanastaKind[static_cast<size_t>(col)]) {
                case ckMixed:
                    ++s.CanastaCount;
                    s.CanastaValue += 300;
                    break;
                case ckNatural:
                    ++s.CanastaCount;
                    s.CanastaValue += 500;
                    break;
                case ckWild:
                    ++s.CanastaCount;
                    s.CanastaValue += 1000;
                    break;
                default: break;
            }
        }
    }
    for (const TCard& c : melds) {
        if (IsRedThree(c)) continue;
        ++s.TableCount;
        s.TableValue += sign * c.Points;
    }
    for (const TCard& c : hand) {
        if (IsRedThree(c)) {
            ++s.RedThreeCount;
            s.RedThreeValue -= 500;
        } else {
            ++s.HandCount;
            s.HandValue -= c.Points;
        }
    }
    if (s.RedThreeCount == 4) s.RedThreeValue += sign * 400;
    s.Total = s.TableValue + s.HandValue + s.CanastaValue + s.RedThreeValue + s.FinishBonus;
    return s;
}

}  // namespace

void TGame::ScoreHand(THandScore& player, THandScore& opponent) {
    player = ScoreSide(Seat(TSeat::Player).Melds, Seat(TSeat::Player).Hand, Seat(TSeat::Player).MeldState,
                       WentOut == woPlayer, WentOut != woPlayer, Seat(TSeat::Player).PointsBeforeTurn, Rules);
    opponent = ScoreSide(Seat(TSeat::Opponent).Melds, Seat(TSeat::Opponent).Hand, Seat(TSeat::Opponent).MeldState,
                         WentOut == woOpponent, WentOut != woOpponent, Seat(TSeat::Opponent).PointsBeforeTurn,
                         OpponentSeatRules());
}

std::string TGame::MatchComment(int d) const {
    const std::string name = PlayerLabel();
    const std::string opp = OpponentInSentence();
    if (d > 0) {
        std::string s = "Congratulations " + name + "! ";
        if (d > 2500) return s + "You crushed " + opp + ".";
        if (d > 1800) return s + "You defeated " + opp + ".";
        if (d > 500) return s + "You beat " + opp + ".";
        if (d > 200) return s + "You won.";
        return s + "You won, but it was pretty close!";
    }
    if (d < 0) {
        std::string s = "Too bad, " + name + ", ";
        if (d < -2500) return s + opp + " crushed you.";
        if (d < -1800) return s + opp + " defeated you.";
        if (d < -500) return s + opp + " beat you.";
        if (d < -200) return s + "you lost.";
        return s + "you lost but it was pretty close.";
    }
    return "It's a draw!";
}

bool TGame::EndHandIfOver() {
    const bool over =
        (Seat(TSeat::Player).Hand.Empty() && Seat(TSeat::Player).MeldState.Canastas >= Rules.CanastasToGoOut) ||
        (Seat(TSeat::Opponent).Hand.Empty() &&
         Seat(TSeat::Opponent).MeldState.Canastas >= OpponentSeatRules().CanastasToGoOut) ||
        (StockExhausted && EndHandRequested);
    if (!over || TurnPhase == TTurnPhase::HandOver) return false;

    SetTurnPhase(TTurnPhase::HandOver);
    WentOut = Seat(TSeat::Player).Hand.Empty() ? woPlayer : Seat(TSeat::Opponent).Hand.Empty() ? woOpponent : woNobody;

    THandResult hand;
    ScoreHand(hand.Player, hand.Opponent);
    hand.PlayerName = PlayerLabel();
    hand.OpponentName = OpponentLabel();
    hand.Difference = hand.Player.Total - hand.Opponent.Total;
    Host.PlaySound(hand.Player.Total >= hand.Opponent.Total ? TSoundEvent::WinHand : TSoundEvent::LoseHand);
    Seat(TSeat::Player).Score += hand.Player.Total;
    Seat(TSeat::Opponent).Score += hand.Opponent.Total;
    HandEndPending = true;
    HandEndDifference = hand.Difference;
    Host.Invalidate(TRegion::All);
    Host.ShowHandResult(hand);
    Observer.HandFinished(hand);
    return true;
}

}  // namespace canasta
