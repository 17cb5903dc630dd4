// SPDX-License-Identifier: GPL-3.0-or-later
// Melding from the player's hand, canastas, and the validation of the table.
#include <algorithm>

#include "model/Game.h"
#include "model/Tokens.h"

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
    int threes = CountBlackThrees(PlayerHand);
    bool may = PlayerMeldState.Canastas >= Rules.CanastasToGoOut && threes >= 3 &&
               (PlayerHand.Count == threes || PlayerHand.Count == threes + 1);
    GoingOutWithThrees = may;
    return may;
}

void TGame::MeldCard(int index) {
    if (!HasDrawn) {
        ShowStatusError(TRefusal::MeldBeforeDraw);
        return;
    }
    const TCard& inHand = PlayerHand.At(index);
    if (IsWild(inHand)) throw InternalError("MeldCard: a wild card is melded with AddWildcardToColumn");
    MarkGameInProgress();
    bool blackThreesAllowed = MayMeldBlackThrees();
    if (IsBlackThree(inHand) && !blackThreesAllowed) {
        ShowStatusError(TRefusal::BlackThreesOnlyGoingOut);
        return;
    }
    TCard card;
    RemoveCardAt(PlayerHand, index, card, false, inHand.Rank);
    const int rank = card.Rank;
    const TCardPlace from = PlaceOf(TArea::PlayerHand, card);
    PlaceInColumn(PlayerMelds, PlayerMeldState.CanastaKind[rank] != ckNone, card);
    card.FaceUp = true;
    AddCard(PlayerMelds, card);
    Host.SendToken(token::Meld, std::to_string(card.Id));
    RemoveCardById(PickedUpCards, card);
    PushUndo(card);
    Host.SetUndoEnabled(true);
    Host.AnimateMove(card, from, PlaceOf(TArea::PlayerMelds, card));
    Host.Invalidate(TRegion::PlayerHand);
    Host.Invalidate(TRegion::PlayerMelds);

    CountColumns();
    // Black threes never take wild cards, so their column gets no automatic one.
    bool autoWild = rank != kRankThree && PlayerRankCounts[rank] == 0 && PlayerColumnCounts[rank] == 2 &&
                    (PlayerHand.Count >= 2 || PlayerMeldState.Canastas >= Rules.CanastasToGoOut ||
                     (TopCardPending && !DiscardPile.Empty()));
    if (autoWild) {
        AddWildcardToColumn(rank);
        // The wild card may have ended the turn (a forced pass) or the hand.
        if (OpponentsTurn || TurnPhase == TTurnPhase::HandOver) return;
    }
    CheckCanasta(PlayerMelds, true, rank);
    CompletePileTake();
    if (PlayerHand.Empty() && !TopCardPending && ValidateTurnMelds()) {
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
    const int rank = PlayerHand.At(index).Rank;
    if (!shift && !ctrl) {
        MeldCard(index);
        return;
    }
    CountColumns();
    int count = shift ? PlayerRankCounts[rank] : std::min(3 - PlayerColumnCounts[rank], PlayerRankCounts[rank]);
    if (count >= PlayerHand.Count && PlayerMeldState.Canastas < Rules.CanastasToGoOut) --count;
    for (int i = 0; i < count; ++i) {
        int at = FirstOfRank(PlayerHand, rank);
        if (at < 0 || !StillMelding()) break;
        int before = PlayerHand.Count;
        MeldCard(at);
        if (PlayerHand.Count == before) break;  // refused
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
        if (PlayerRankCounts[kRankJoker] + PlayerRankCounts[kRankTwo] + PlayerColumnCounts[kRankTwo] < 7) {
            ShowStatusError(TRefusal::TooFewWildsForWildCanasta);
            return;
        }
    }
    int index = FirstOfRank(PlayerHand, kRankJoker);
    if (index < 0) index = FirstOfRank(PlayerHand, kRankTwo);
    if (index < 0) return;
    MarkGameInProgress();
    TCard card;
    RemoveCardAt(PlayerHand, index, card, false, PlayerHand.At(index).Rank);
    const TCardPlace from = PlaceOf(TArea::PlayerHand, card);
    int8_t& depth = PlayerMelds.Depths[static_cast<size_t>(c)];
    card.Column = static_cast<uint8_t>(c);
    if (PlayerMeldState.CanastaKind[static_cast<size_t>(c)] == ckNone) ++depth;
    card.Depth = depth;
    card.FaceUp = true;
    AddCard(PlayerMelds, card);
    RemoveCardById(PickedUpCards, card);
    Host.SendToken(token::MeldWildCard, std::to_string(card.Id) + token::FieldSeparator + std::to_string(c));
    PushUndo(card);
    Host.SetUndoEnabled(true);
    Host.AnimateMove(card, from, PlaceOf(TArea::PlayerMelds, card));
    Host.Invalidate(TRegion::PlayerHand);
    Host.Invalidate(TRegion::PlayerMelds);
    CheckCanasta(PlayerMelds, true, card.Column);
    CompletePileTake();
    if (PlayerHand.Empty() && !TopCardPending && ValidateTurnMelds())
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
    const int n = PlayerColumnCounts[static_cast<size_t>(c)];
    if (n == 0) return;
    const int wilds = PlayerRankCounts[kRankJoker] + PlayerRankCounts[kRankTwo];
    int times = 1;
    if (shift) {
        if (n < 4 || n > 6 || wilds < 7 - n) return;
        times = 7 - n;
    } else if (PlayerHand.Count < 2 && PlayerMeldState.Canastas < Rules.CanastasToGoOut && n != 6) {
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
    const int n = PlayerColumnCounts[kRankTwo];
    if (PlayerRankCounts[kRankJoker] + PlayerRankCounts[kRankTwo] + n < 7) {
        ShowStatusError(TRefusal::TooFewWildsForWildCanasta);
        return;
    }
    int times = shift ? 7 - n : ctrl ? 3 - n : 1;
    for (int i = 0; i < times && StillMelding(); ++i) {
        int before = PlayerHand.Count;
        AddWildcardToColumn(kRankTwo);
        if (PlayerHand.Count == before) break;
    }
}

bool TGame::CheckCanasta(TCardList& list, bool isPlayer, int c) {
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
    TMeldState& ms = isPlayer ? PlayerMeldState : OpponentMeldState;
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

bool TGame::ValidateMelds(int handAdjust) {
    CountColumns();
    const int handCount = PlayerHand.Count - handAdjust;
    auto fail = [this](std::string message) {
        ValidationMessage = std::move(message);
        return false;
    };
    for (int c = 3; c < kColumns; ++c)
        if (PlayerColumnCounts[c] > 0 && PlayerColumnCounts[c] < 3)
            return fail("every column on the table must contain at least three cards");

    int points = 0;
    for (const TCard& card : PlayerMelds) points += IsRedThree(card) ? 0 : card.Points;
    bool minimumMet = points >= PlayerMinimumMeld || (Rules.BonusCounts && PlayerMeldState.Canastas >= 1) ||
                      points == 0 || handCount == 0;
    if (!minimumMet)
        return fail("your first meld must be at least " + std::to_string(PlayerMinimumMeld) + " points (currently " +
                    std::to_string(points) + " points)");

    std::array<int, kColumns> naturals{}, wilds{};
    for (const TCard& card : PlayerMelds) {
        int c = card.Column;
        if (IsWild(card))
            ++wilds[static_cast<size_t>(c)];
        else if (!IsBlackThree(card))
            ++naturals[static_cast<size_t>(c)];
    }
    for (int c = 3; c < kColumns; ++c)
        if (naturals[static_cast<size_t>(c)] < wilds[static_cast<size_t>(c)])
            return fail("there are too many wildcards within one column");

    int blackThrees = CountBlackThrees(PlayerMelds);
    if ((handCount > 0 && blackThrees > 0) || (handCount == 0 && blackThrees > 0 && blackThrees < 3))
        return fail("the Black Threes have not been melded correctly");

    if (PlayerColumnCounts[kRankTwo] > 0 && PlayerColumnCounts[kRankTwo] < 7)
        return fail("wildcards must be melded as a canasta");

    if (handCount == 0 && PlayerMeldState.Canastas < Rules.CanastasToGoOut)
        return fail(std::string("you need at least ") + (Rules.CanastasToGoOut == 1 ? "one Canasta" : "two Canastas") +
                    " to go out");
    return true;
}

bool TGame::ValidateTurnMelds(int handAdjust) {
    if (!ValidateMelds(handAdjust)) return false;
    if (TopCardPending) {
        ValidationMessage = "you have not melded the top card correctly";
        return false;
    }
    return true;
}

}  // namespace canasta
