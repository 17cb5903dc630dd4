// SPDX-License-Identifier: GPL-3.0-or-later
// Melding from the player's hand, canastas, and the validation of the table.
#include <algorithm>

#include "model/Game.h"
#include "rules/TurnAccount.h"

namespace canasta {

namespace {

int CountBlackThrees(const TCardList& list) {
    return static_cast<int>(std::count_if(list.begin(), list.end(), [](const TCard& c) { return IsBlackThree(c); }));
}

int FirstOfRank(const TCardList& list, int rank) {
    for (int i = 0; i < list.Count; ++i)
        if (list.Cards[static_cast<size_t>(i)].Rank == rank) return i;
    return -1;
}

}  // namespace

bool TGame::MayMeldBlackThrees() {
    if (GoingOutWithThrees) return true;
    int threes = CountBlackThrees(Seat(TSeat::Player).Hand);
    bool may = Seat(TSeat::Player).MeldState.Canastas >= Rules.CanastasToGoOut && threes >= 3 &&
               (Seat(TSeat::Player).Hand.Count == threes || Seat(TSeat::Player).Hand.Count == threes + 1);
    GoingOutWithThrees = may;
    return may;
}

void TGame::MeldCard(int index) {
    if (!HasDrawn) {
        ShowStatusError(TRefusal::MeldBeforeDraw);
        return;
    }
    const TCard& inHand = Seat(TSeat::Player).Hand.At(index);
    if (IsWild(inHand)) throw InternalError("MeldCard: a wild card is melded with AddWildcardToColumn");
    MarkGameInProgress();
    bool blackThreesAllowed = MayMeldBlackThrees();
    if (IsBlackThree(inHand) && !blackThreesAllowed) {
        ShowStatusError(TRefusal::BlackThreesOnlyGoingOut);
        return;
    }
    TCard card;
    RemoveCardAt(Seat(TSeat::Player).Hand, index, card, false, inHand.Rank);
    const int rank = card.Rank;
    Observer.MoveMade({TMoveKind::Meld, card.Id});
    RemoveCardById(Seat(TSeat::Player).PickedUp, card);
    PushUndo(LayOnTable(TSeat::Player, card, rank, PlaceOf(TArea::PlayerHand, card)));
    Host.SetUndoEnabled(true);
    Host.Invalidate(TRegion::PlayerHand);

    CountColumns();
    // Black threes never take wild cards, so their column gets no automatic one.
    bool autoWild =
        rank != kRankThree && Seat(TSeat::Player).RankCounts[rank] == 0 &&
        Seat(TSeat::Player).ColumnCounts[rank] == 2 &&
        (Seat(TSeat::Player).Hand.Count >= 2 || Seat(TSeat::Player).MeldState.Canastas >= Rules.CanastasToGoOut ||
         (TopCardPending && !DiscardPile.Empty()));
    if (autoWild) {
        const int wild = FirstWildCard(Seat(TSeat::Player).Hand);
        // Told before the card goes: a card played for the player is never a surprise.
        if (wild >= 0)
            Host.Notice("Your " + CardName(Seat(TSeat::Player).Hand.At(wild).Id) + " went onto the " +
                        RankPlural(rank) + " to complete the meld. Undo takes it back.");
        AddWildcardToColumn(rank);
        // The wild card may have ended the turn (a forced pass) or the hand.
        if (OpponentsTurn || TurnPhase == TTurnPhase::HandOver) return;
    }
    CheckCanasta(TSeat::Player, rank);
    CompletePileTake();
    if (Seat(TSeat::Player).Hand.Empty() && !TopCardPending && ValidateTurnMelds(TSeat::Player, TopCardPending)) {
        EndHandIfOver();
    } else if (!autoWild) {
        CheckForcedPass();
    }
}

void TGame::MeldCardGesture(int index, bool shift, bool ctrl) {
    if (!HasDrawn) {
        ShowStatusError(TRefusal::MeldBeforeDraw);
        return;
    }
    const int rank = Seat(TSeat::Player).Hand.At(index).Rank;
    if (!shift && !ctrl) {
        MeldCard(index);
        return;
    }
    CountColumns();
    int count = shift ? Seat(TSeat::Player).RankCounts[rank]
                      : std::min(3 - Seat(TSeat::Player).ColumnCounts[rank], Seat(TSeat::Player).RankCounts[rank]);
    if (count >= Seat(TSeat::Player).Hand.Count && Seat(TSeat::Player).MeldState.Canastas < Rules.CanastasToGoOut)
        --count;
    for (int i = 0; i < count; ++i) {
        int at = FirstOfRank(Seat(TSeat::Player).Hand, rank);
        if (at < 0 || !StillMelding()) break;
        int before = Seat(TSeat::Player).Hand.Count;
        MeldCard(at);
        if (Seat(TSeat::Player).Hand.Count == before) break;  // refused
    }
}

void TGame::AddWildcardToColumn(int c) {
    if (c < 1 || c >= kColumns) throw InternalError("AddWildcardToColumn: column out of range");
    if (c == kRankTwo) {
        if (!Rules.WildCanastaAllowed) {
            ShowStatusError(TRefusal::WildCanastaNotAllowed);
            return;
        }
        CountColumns();
        if (Seat(TSeat::Player).RankCounts[kRankJoker] + Seat(TSeat::Player).RankCounts[kRankTwo] +
                Seat(TSeat::Player).ColumnCounts[kRankTwo] <
            7) {
            ShowStatusError(TRefusal::TooFewWildsForWildCanasta);
            return;
        }
    }
    const int index = FirstWildCard(Seat(TSeat::Player).Hand);
    if (index < 0) return;
    MarkGameInProgress();
    TCard card;
    RemoveCardAt(Seat(TSeat::Player).Hand, index, card, false, Seat(TSeat::Player).Hand.At(index).Rank);
    RemoveCardById(Seat(TSeat::Player).PickedUp, card);
    Observer.MoveMade({TMoveKind::AddWild, card.Id, c});
    PushUndo(LayOnTable(TSeat::Player, card, c, PlaceOf(TArea::PlayerHand, card)));
    Host.SetUndoEnabled(true);
    Host.Invalidate(TRegion::PlayerHand);
    CheckCanasta(TSeat::Player, c);
    CompletePileTake();
    if (Seat(TSeat::Player).Hand.Empty() && !TopCardPending && ValidateTurnMelds(TSeat::Player, TopCardPending))
        EndHandIfOver();
    else
        CheckForcedPass();
}

void TGame::AddWildcardGesture(int c, bool shift) {
    if (!HasDrawn) {
        ShowStatusError(TRefusal::MeldBeforeDraw);
        return;
    }
    // Only a column with cards can be clicked, and never the threes' column.
    if (c < 1 || c >= kColumns || c == kRankThree) return;
    CountColumns();
    const int n = Seat(TSeat::Player).ColumnCounts[static_cast<size_t>(c)];
    if (n == 0) return;
    const int wilds = Seat(TSeat::Player).RankCounts[kRankJoker] + Seat(TSeat::Player).RankCounts[kRankTwo];
    int times = 1;
    if (shift) {
        if (n < 4 || n > 6 || wilds < 7 - n) return;
        times = 7 - n;
    } else if (Seat(TSeat::Player).Hand.Count < 2 && Seat(TSeat::Player).MeldState.Canastas < Rules.CanastasToGoOut &&
               n != 6) {
        return;
    }
    for (int i = 0; i < times && StillMelding(); ++i) AddWildcardToColumn(c);
}

void TGame::MeldWildGesture(bool shift, bool ctrl) {
    if (!HasDrawn) {
        ShowStatusError(TRefusal::MeldBeforeDraw);
        return;
    }
    if (!Rules.WildCanastaAllowed) {
        ShowStatusError(TRefusal::WildCanastaNotAllowed);
        return;
    }
    CountColumns();
    const int n = Seat(TSeat::Player).ColumnCounts[kRankTwo];
    if (Seat(TSeat::Player).RankCounts[kRankJoker] + Seat(TSeat::Player).RankCounts[kRankTwo] + n < 7) {
        ShowStatusError(TRefusal::TooFewWildsForWildCanasta);
        return;
    }
    int times = shift ? 7 - n : ctrl ? 3 - n : 1;
    for (int i = 0; i < times && StillMelding(); ++i) {
        int before = Seat(TSeat::Player).Hand.Count;
        AddWildcardToColumn(kRankTwo);
        if (Seat(TSeat::Player).Hand.Count == before) break;
    }
}

bool TGame::CheckCanasta(TSeat seat, int c) {
    const bool isPlayer = seat == TSeat::Player;
    TCardList& list = Seat(seat).Melds;
    if (c < 0 || c >= kColumns) throw InternalError("CheckCanasta: column " + std::to_string(c) + " out of range");
    if (c == kRankThree) return false;
    int n = 0, naturals = 0;
    for (const TCard& card : list) {
        if (card.Column != c) continue;
        ++n;
        if (IsNatural(card.Rank)) ++naturals;
    }
    if (n < 7 || (naturals < 4 && c != kRankTwo)) return false;
    const uint8_t kind = c == kRankTwo ? ckWild : naturals == n ? ckNatural : ckMixed;
    TMeldState& ms = Seat(seat).MeldState;
    // Recorded when the column first qualifies, whatever its size by then: a
    // column can pass seven cards before it holds four naturals.
    const bool justCompleted = ms.CanastaKind[static_cast<size_t>(c)] == ckNone;
    if (justCompleted) {
        ++ms.Canastas;
        ms.CanastaKind[static_cast<size_t>(c)] = kind;
        if (isPlayer) Host.PlaySound(kind == ckMixed ? TSoundEvent::MixedCanasta : TSoundEvent::NaturalCanasta);
    }
    ms.CanastaNaturals[static_cast<size_t>(c)] = static_cast<uint8_t>(naturals);

    // A canasta is shown stacked, one step from the base line.
    int lastSlot = -1, lastBlack = -1, lastRed = -1;
    for (int i = 0; i < list.Count; ++i) {
        TCard& card = list.Cards[static_cast<size_t>(i)];
        if (card.Column != c) continue;
        card.Depth = 1;
        lastSlot = i;
        if (IsNatural(card.Rank)) {
            if (card.Id <= 26) lastBlack = i;
            if (card.Id >= 29 && card.Id <= 52) lastRed = i;
        }
    }
    list.Depths[static_cast<size_t>(c)] = 1;
    if (c != kRankTwo) {
        const uint8_t shownKind = ms.CanastaKind[static_cast<size_t>(c)];
        int top = shownKind == ckMixed && lastBlack >= 0 ? lastBlack : lastRed;
        if (top >= 0 && top != lastSlot)
            std::swap(list.Cards[static_cast<size_t>(top)], list.Cards[static_cast<size_t>(lastSlot)]);
    }
    Host.Invalidate(isPlayer ? TRegion::PlayerMelds : TRegion::OpponentMelds);
    if (!isPlayer && justCompleted) Host.Wait(Config.MeldDelay);
    return true;
}

bool TGame::ValidateMelds(TSeat seat, int handAdjust) {
    CountColumns();
    const TSeatState& s = Seat(seat);
    const TRuleOptions& rules = SeatRules(seat);
    const int handCount = s.Hand.Count - handAdjust;
    auto fail = [this](std::string message) {
        ValidationMessage = std::move(message);
        return false;
    };
    for (int c = 3; c < kColumns; ++c)
        if (s.ColumnCounts[c] > 0 && s.ColumnCounts[c] < 3)
            return fail("every column on the table must contain at least three cards");

    int points = 0;
    for (const TCard& card : s.Melds) points += IsRedThree(card) ? 0 : card.Points;
    bool minimumMet =
        points >= s.MinimumMeld || (rules.BonusCounts && s.MeldState.Canastas >= 1) || points == 0 || handCount == 0;
    if (!minimumMet)
        return fail("your first meld must be at least " + std::to_string(s.MinimumMeld) + " points (currently " +
                    std::to_string(points) + " points)");

    std::array<int, kColumns> naturals{}, wilds{};
    for (const TCard& card : s.Melds) {
        int c = card.Column;
        if (IsWild(card))
            ++wilds[static_cast<size_t>(c)];
        else if (!IsBlackThree(card))
            ++naturals[static_cast<size_t>(c)];
    }
    for (int c = 3; c < kColumns; ++c)
        if (naturals[static_cast<size_t>(c)] < wilds[static_cast<size_t>(c)])
            return fail("there are too many wildcards within one column");

    int blackThrees = CountBlackThrees(s.Melds);
    if ((handCount > 0 && blackThrees > 0) || (handCount == 0 && blackThrees > 0 && blackThrees < 3))
        return fail("the Black Threes have not been melded correctly");

    if (s.ColumnCounts[kRankTwo] > 0 && s.ColumnCounts[kRankTwo] < 7)
        return fail("wildcards must be melded as a canasta");

    if (handCount == 0 && s.MeldState.Canastas < rules.CanastasToGoOut)
        return fail(std::string("you need at least ") + (rules.CanastasToGoOut == 1 ? "one Canasta" : "two Canastas") +
                    " to go out");
    return true;
}

bool TGame::ValidateTurnMelds(TSeat seat, bool takePending, int handAdjust) {
    if (!ValidateMelds(seat, handAdjust)) return false;
    if (takePending) {
        ValidationMessage = "you have not melded the top card correctly";
        return false;
    }
    return true;
}

}  // namespace canasta
