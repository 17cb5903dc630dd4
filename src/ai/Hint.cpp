// SPDX-License-Identifier: GPL-3.0-or-later
#include "ai/Hint.h"

#include <algorithm>
#include <cctype>

#include "ai/ComputerTurn.h"
#include "ai/Levels.h"
#include "rules/TurnAccount.h"

namespace canasta {

namespace {

// Keeps the card moves of the level's turn, in order; shows nothing.
class THintRecorder : public THeadlessHost {
public:
    std::vector<TCardMove> Moves;
    void AnimateMove(const TCard& card, TCardPlace from, TCardPlace to) override { Moves.push_back({card, from, to}); }
};

bool SameIdentity(const TCard& a, const TCard& b) { return a.Id == b.Id && a.Deck == b.Deck; }

// The identity of a card put into the place of another: where it lies stays.
void Reidentify(TCard& slot, const TCard& from) {
    slot.Id = from.Id;
    slot.Rank = from.Rank;
    slot.Points = from.Points;
    slot.Deck = from.Deck;
}

std::string Capitalized(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string CardList(const std::vector<TCard>& cards) {
    std::string out;
    for (size_t i = 0; i < cards.size(); ++i) {
        if (i > 0) out += i + 1 == cards.size() ? " and " : ", ";
        out += CardName(cards[i].Id);
    }
    return out;
}

int CountInMelds(const TGame& g, int column) { return CountInColumn(g.Seat(TSeat::Player).Melds, column); }

struct TColumnCards {
    int Naturals = 0;
    int Wilds = 0;
};
// The cards of a column of a table, red threes aside.
TColumnCards ColumnCards(const TCardList& melds, int column) {
    TColumnCards n;
    for (const TCard& c : melds) {
        if (c.Column != column || IsRedThree(c)) continue;
        ++(IsWild(c) ? n.Wilds : n.Naturals);
    }
    return n;
}

// Takes the hand cards of the real game that the level's cards stand for;
// cards the player no longer holds (melded during a take) are left out.
std::vector<int> HandIndexes(const TGame& game, const std::vector<TCard>& cards) {
    std::vector<int> indexes;
    const TCardList& hand = game.Seat(TSeat::Player).Hand;
    for (const TCard& card : cards)
        for (int i = 0; i < hand.Count; ++i)
            if (SameIdentity(hand.At(i), card) && std::find(indexes.begin(), indexes.end(), i) == indexes.end()) {
                indexes.push_back(i);
                break;
            }
    return indexes;
}

std::string DrawReason(TGame& before) {
    if (before.DiscardPile.Empty()) return "The discard pile is empty.";
    const TCard& top = before.DiscardPile.Last();
    if (IsWild(top) || IsBlackThree(top))
        return "The " + CardName(top.Id) + " on top of the pile cannot be taken with a meld.";
    if (!before.MayTakePile(TSeat::Player, true)) {
        if (before.PileFrozenFor(TSeat::Player))
            return "The pile is frozen and you hold no natural pair of " + RankPlural(top.Rank) + ".";
        return "You cannot meld the " + CardName(top.Id) + " on top of the pile.";
    }
    return "The pile (" + std::to_string(before.DiscardPile.Count) +
           (before.DiscardPile.Count == 1 ? " card" : " cards") + ") would cost you more cards than it brings now.";
}

std::string MeldReason(const TGame& game, const TGame& before, int column, int added, bool wild) {
    const int was = CountInMelds(game, column);
    const int now = was + added;
    if (was < 7 && now >= 7) return "It completes a canasta of " + RankPlural(column) + ".";
    if (before.Seat(TSeat::Player).MeldedPoints == 0)
        return "It is part of your first meld, which needs " +
               std::to_string(MinimumInitialMeld(game.Seat(TSeat::Player).Score)) + " points in all this turn.";
    if (wild)
        return "It brings your " + RankPlural(column) + " to " + std::to_string(now) +
               " of the seven cards of a canasta.";
    if (was == 0) return "A new meld puts these points on the table and out of your hand.";
    return "Your " + RankPlural(column) + " grow to " + std::to_string(now) + " cards, toward a canasta.";
}

std::string DiscardReason(const TGame& before, const TCard& card) {
    const TSeatState& other = before.Seat(TSeat::Opponent);
    const std::string who = before.OpponentInSentence();
    if (IsBlackThree(card)) return "A black three blocks the pile for " + who + "'s next turn.";
    if (IsWild(card)) return "It freezes the pile, and no other card is safe to give away.";
    const int rank = card.Rank;
    if (CountInColumn(other.Melds, rank) == 0 && other.Discards[static_cast<size_t>(rank)] > 0)
        return Capitalized(who) + " discarded " + RankPlural(rank) + " this hand, so it is unlikely to want this one.";
    int inHand = 0;
    for (const TCard& c : before.Seat(TSeat::Player).Hand) inHand += c.Rank == rank;
    if (inHand == 1 && CountInMelds(before, rank) == 0) return "A single card that none of your melds can use.";
    return "Of your cards it is the one you need least.";
}

}  // namespace

uint32_t HintSeed(const TGame& game) {
    // What the player sees, in no particular order: within a turn, cards
    // moving between the hand and the table leave it alone, so the whole
    // turn is judged on one deal.
    std::vector<uint32_t> mine;
    for (const TCardList* list : {&game.Seat(TSeat::Player).Hand, &game.Seat(TSeat::Player).Melds})
        for (const TCard& c : *list) mine.push_back(uint32_t(c.Id) << 8 | c.Deck);
    std::sort(mine.begin(), mine.end());
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t x) {
        h ^= x;
        h *= 1099511628211ull;
    };
    mix(game.HandNumber);
    mix(game.Stock.Count);
    mix(game.DiscardPile.Count);
    mix(game.DiscardPile.Empty() ? 0 : game.DiscardPile.Last().Id);
    mix(game.Seat(TSeat::Opponent).Hand.Count);
    mix(game.Seat(TSeat::Opponent).Melds.Count);
    mix(static_cast<uint32_t>(game.Seat(TSeat::Player).Score));
    mix(static_cast<uint32_t>(game.Seat(TSeat::Opponent).Score));
    for (uint32_t c : mine) mix(c);
    return static_cast<uint32_t>(h ^ (h >> 32));
}

void DealHiddenCards(TGame& copy, uint32_t seed) {
    TSeatState& other = copy.Seat(TSeat::Opponent);
    // The cards the opponent was seen taking from the pile stay where they are.
    std::vector<bool> known(static_cast<size_t>(other.Hand.Count), false);
    for (const TCard& seen : other.PickedUp)
        for (int i = 0; i < other.Hand.Count; ++i)
            if (!known[static_cast<size_t>(i)] && SameIdentity(other.Hand.At(i), seen)) {
                known[static_cast<size_t>(i)] = true;
                break;
            }
    std::vector<TCard*> slots;
    for (int i = 0; i < other.Hand.Count; ++i)
        if (!known[static_cast<size_t>(i)]) slots.push_back(&other.Hand.Cards[static_cast<size_t>(i)]);
    for (TCard& c : copy.Stock) slots.push_back(&c);
    std::vector<TCard> unseen;
    for (const TCard* c : slots) unseen.push_back(*c);
    // In a fixed order first, so where the hidden cards happen to lie now
    // (which the player cannot know) has no say in the deal.
    std::sort(unseen.begin(), unseen.end(),
              [](const TCard& a, const TCard& b) { return a.Id != b.Id ? a.Id < b.Id : a.Deck < b.Deck; });
    TRandom rng(seed);
    for (size_t i = unseen.size(); i > 1; --i) std::swap(unseen[i - 1], unseen[rng.Next(static_cast<uint32_t>(i))]);
    for (size_t i = 0; i < slots.size(); ++i) Reidentify(*slots[i], unseen[i]);
    copy.CountColumns();
    // The level's own rolls follow the position too.
    copy.Rng.Seed = seed;
}

int StrongestLevel(const TGame& game) {
    for (int i = static_cast<int>(game.Levels.size()) - 1; i >= 0; --i)
        if (game.Levels[static_cast<size_t>(i)]) return i;
    return -1;
}

bool PrepareHintPosition(TGame& copy) {
    if (!IsPlayersMove(copy) || copy.HandEndPending) return false;
    if (copy.PileTakeUndoable) {
        // Given back as the pile's click gives it back, without its penalty:
        // the level decides on the whole pile from the start of the turn, as
        // it did before the take.
        const int score = copy.Seat(TSeat::Player).Score;
        copy.TakePile();
        copy.Seat(TSeat::Player).Score = score;
    }
    // The melds of this turn go back to the hand: the level plans the turn's
    // melding whole, and the same plan comes back as the player follows it.
    if (copy.HasDrawn && !copy.UndoStack.empty()) copy.UndoAll();
    DealHiddenCards(copy, HintSeed(copy));
    // A level keeps its melded points as it melds; a person's are counted
    // from the table. Only what lay there when the turn began counts as
    // melded: a first meld of this turn is not made until it is enough.
    TCounts perColumn{};
    for (const TCard& c : copy.SavedPlayerMelds) ++perColumn[c.Column];
    int points = 0;
    for (const TCard& c : copy.SavedPlayerMelds)
        if (!IsRedThree(c) && perColumn[c.Column] >= 3) points += c.Points;
    copy.Seat(TSeat::Player).MeldedPoints = points;
    return true;
}

bool HintFromTurnStart(const TGame& copy) { return !copy.HasDrawn; }

namespace {

// The level's first move, whether or not the table takes it now.
THint LevelsFirstMove(const TGame& game) {
    THint hint;
    if (!IsPlayersMove(game) || game.HandEndPending) {
        hint.Why = "It is not your turn.";
        return hint;
    }
    hint.Level = StrongestLevel(game);
    if (hint.Level < 0) {
        hint.Why = "No computer level is installed to ask.";
        return hint;
    }
    if (!game.HasDrawn && game.DrawsThisTurn > 0) {
        hint.Kind = THint::TKind::Draw;
        hint.Move = {TMoveType::Draw};
        hint.What = "Draw your next card from the stock.";
        hint.Why = "Your turn is not complete until you have drawn all its cards.";
        return hint;
    }

    THintRecorder host;
    TGame copy(host, game);
    if (!PrepareHintPosition(copy)) {
        hint.Why = "It is not your turn.";
        return hint;
    }
    // What giving a take back showed is no move of the level's.
    host.Moves.clear();
    THeadlessHost quiet;
    TGame before(quiet, copy);
    // Levels of their own: what the game's levels keep between turns belongs
    // to the opponent's seat, and the copy must not touch them.
    TComputerLevels levels(copy);
    IComputerLevel* level =
        hint.Level < static_cast<int>(copy.Levels.size()) ? copy.Levels[static_cast<size_t>(hint.Level)] : nullptr;
    auto* skeleton = dynamic_cast<TComputerTurn*>(level);
    const bool fromStart = HintFromTurnStart(copy);
    if (!level || (!fromStart && !skeleton)) {
        hint.Why = "The strongest computer level cannot be asked about this position.";
        return hint;
    }
    try {
        if (fromStart)
            level->PlayTurn(copy, TSeat::Player);
        else
            skeleton->PlayTurnAfterPickUp(copy, TSeat::Player);
    } catch (const InternalError&) {
        hint.Why = "The strongest computer level found no move in this position.";
        return hint;
    }

    const std::vector<TCardMove>& moves = host.Moves;
    size_t at = 0;
    // Red threes go to the table by themselves.
    auto skipRedThrees = [&] {
        while (at < moves.size() && IsRedThree(moves[at].Card) && moves[at].From.Area == TArea::PlayerHand &&
               moves[at].To.Area == TArea::PlayerMelds)
            ++at;
    };
    skipRedThrees();
    const TSeatState& mine = game.Seat(TSeat::Player);

    if (at >= moves.size()) {
        if (copy.EndHandRequested && game.StockExhausted && !game.HasDrawn) {
            hint.Kind = THint::TKind::EndHand;
            hint.Move = {TMoveType::EndHand};
            hint.What = "End the hand.";
            hint.Why = "The stock is exhausted and the pile is of no use to you.";
            return hint;
        }
        hint.Why = "There is nothing to meld or discard: the turn passes.";
        return hint;
    }

    if (!game.HasDrawn) {
        // The start of the turn: draw or take the pile.
        const TCardMove& first = moves[at];
        if (first.From.Area == TArea::Stock) {
            hint.Kind = THint::TKind::Draw;
            hint.Move = {TMoveType::Draw};
            hint.What = "Draw from the stock.";
            hint.Why = DrawReason(before);
            return hint;
        }
        if (first.From.Area == TArea::DiscardPile) {
            const TCard top = first.Card;
            const int pile = before.DiscardPile.Count;
            while (at < moves.size() && moves[at].From.Area == TArea::DiscardPile) ++at;
            // The cards the level melds with the top card, named as the
            // player's hand holds them (cards of a rank are alike).
            int naturals = 0, wilds = 0;
            bool topSeen = false;
            for (; at < moves.size() && moves[at].From.Area == TArea::PlayerHand &&
                   moves[at].To.Area == TArea::PlayerMelds && moves[at].To.Column == top.Rank;
                 ++at) {
                if (!topSeen && SameIdentity(moves[at].Card, top))
                    topSeen = true;
                else
                    ++(IsWild(moves[at].Card) ? wilds : naturals);
            }
            for (int i = 0; i < mine.Hand.Count && naturals > 0; ++i)
                if (!IsWild(mine.Hand.At(i)) && mine.Hand.At(i).Rank == top.Rank) {
                    hint.Cards.push_back(mine.Hand.At(i));
                    --naturals;
                }
            for (int rank : {kRankJoker, kRankTwo})
                for (int i = 0; i < mine.Hand.Count && wilds > 0; ++i)
                    if (mine.Hand.At(i).Rank == rank) {
                        hint.Cards.push_back(mine.Hand.At(i));
                        --wilds;
                    }
            hint.Kind = THint::TKind::TakePile;
            hint.Column = top.Rank;
            hint.Move = {TMoveType::TakePile};
            hint.What =
                "Take the discard pile (" + std::to_string(pile) + (pile == 1 ? " card)" : " cards)") +
                (hint.Cards.empty() ? "."
                                    : " and meld its " + CardName(top.Id) + " with your " + CardList(hint.Cards) + ".");
            if (pile >= 8)
                hint.Why = "A pile of " + std::to_string(pile) + " cards is worth more than one card from the stock.";
            else if (hint.Cards.empty())
                hint.Why = "Its " + CardName(top.Id) + " joins your " + RankPlural(top.Rank) +
                           " and the rest comes into your hand.";
            else
                hint.Why =
                    "Its " + CardName(top.Id) + " makes a meld with your cards and the rest comes into your hand.";
            return hint;
        }
        hint.Why = "The strongest computer level found no move in this position.";
        return hint;
    }

    // Within the turn. The level played it from its pick-up (a provisional
    // take given back and taken again, the melds of this turn taken back and
    // made again): what the player has done of it already is skipped.
    const bool takePending = game.PileTakeUndoable;
    bool tookPile = false;
    while (at < moves.size() && moves[at].From.Area == TArea::DiscardPile) {
        tookPile = true;
        ++at;
    }
    if (takePending && !tookPile) {
        hint.Kind = THint::TKind::TakePile;
        hint.Move = {TMoveType::TakePile};
        hint.What = "Give the pile back (click it), then draw from the stock.";
        hint.Why = "The strongest level would not take this pile. Giving it back costs 50 points.";
        return hint;
    }
    // The level's melds are compared with the player's column by column, in
    // the order the level made them: the first column the player's table
    // lacks cards of is the hint. Wild cards count alike, as a click adds
    // the one the game picks.
    std::vector<int> order;
    for (size_t i = at; i < moves.size(); ++i)
        if (moves[i].From.Area == TArea::PlayerHand && moves[i].To.Area == TArea::PlayerMelds &&
            !IsRedThree(moves[i].Card) && std::find(order.begin(), order.end(), moves[i].To.Column) == order.end())
            order.push_back(moves[i].To.Column);
    for (int column : order) {
        const TColumnCards planned = ColumnCards(copy.Seat(TSeat::Player).Melds, column);
        const TColumnCards now = ColumnCards(mine.Melds, column);
        std::vector<int> indexes;
        for (int i = 0; i < mine.Hand.Count && now.Naturals + static_cast<int>(indexes.size()) < planned.Naturals; ++i)
            if (!IsWild(mine.Hand.At(i)) && mine.Hand.At(i).Rank == column) indexes.push_back(i);
        const size_t naturals = indexes.size();
        // Jokers first, then twos: the order the game adds them in.
        for (int rank : {kRankJoker, kRankTwo})
            for (int i = 0;
                 i < mine.Hand.Count && now.Wilds + static_cast<int>(indexes.size() - naturals) < planned.Wilds; ++i)
                if (mine.Hand.At(i).Rank == rank) indexes.push_back(i);
        if (indexes.empty()) continue;
        for (int i : indexes) hint.Cards.push_back(mine.Hand.At(i));
        hint.Column = column;
        const bool allWild = naturals == 0;
        const int onTable = now.Naturals + now.Wilds;
        const int front = indexes.front();
        int ofRank = 0;
        for (const TCard& c : mine.Hand) ofRank += !allWild && c.Rank == column;
        const bool everyOne = static_cast<int>(naturals) == ofRank && ofRank > 1;
        if (allWild && onTable > 0 && column != kRankTwo) {
            hint.Kind = THint::TKind::AddWild;
            hint.Move = {TMoveType::AddWild, column};
            hint.What = "Add " + CardList(hint.Cards) + " to your " + RankPlural(column) + ".";
        } else {
            hint.Kind = THint::TKind::Meld;
            hint.Move = allWild ? TMove{TMoveType::MeldWild, front} : TMove{TMoveType::MeldCard, front, everyOne};
            if (takePending && column == game.TakenTopColumn)
                hint.What =
                    "Meld " + CardList(hint.Cards) + " with the " + CardName(game.TakenTopCard.Id) + " you took.";
            else
                hint.What = "Meld " + CardList(hint.Cards) + (onTable > 0 ? " to your " : " as a new meld of ") +
                            RankPlural(column) + ".";
        }
        if (takePending && column == game.TakenTopColumn)
            hint.Why = "That completes the take: the rest of the pile comes into your hand.";
        else if (takePending)
            hint.Why = "Your melds must reach " + std::to_string(game.Seat(TSeat::Player).MinimumMeld) +
                       " points before the rest of the pile comes in.";
        else
            hint.Why = MeldReason(game, before, column, static_cast<int>(hint.Cards.size()), allWild && onTable > 0);
        return hint;
    }
    for (size_t i = at; i < moves.size(); ++i) {
        const TCardMove& m = moves[i];
        if (m.From.Area == TArea::PlayerHand && m.To.Area == TArea::DiscardPile) {
            // The card itself, else one of its rank.
            std::vector<int> indexes = HandIndexes(game, {m.Card});
            for (int j = 0; j < mine.Hand.Count && indexes.empty(); ++j)
                if (mine.Hand.At(j).Rank == m.Card.Rank) indexes.push_back(j);
            if (indexes.empty()) break;
            const TCard& card = mine.Hand.At(indexes.front());
            hint.Kind = THint::TKind::Discard;
            hint.Cards.push_back(card);
            hint.Move = {TMoveType::Discard, indexes.front()};
            hint.What = "Discard the " + CardName(card.Id) + ".";
            hint.Why = DiscardReason(before, card);
            return hint;
        }
        if (m.From.Area == TArea::PlayerMelds && m.To.Area == TArea::DiscardPile) {
            for (int j = 0; j < mine.Melds.Count; ++j)
                if (SameIdentity(mine.Melds.At(j), m.Card) && mine.Melds.At(j).Column == kRankThree) {
                    hint.Kind = THint::TKind::DiscardRedThree;
                    hint.Cards.push_back(mine.Melds.At(j));
                    hint.Move = {TMoveType::DiscardRedThree, j};
                    hint.What = "Discard the " + CardName(m.Card.Id) + " from your table.";
                    hint.Why = "A red three on the pile freezes it for " + game.OpponentInSentence() + ".";
                    return hint;
                }
            break;
        }
    }
    hint.Why = "The strongest computer level found no move in this position.";
    return hint;
}

}  // namespace

THint ComputeHint(const TGame& game) {
    THint hint = LevelsFirstMove(game);
    if (hint.Kind == THint::TKind::None) return hint;
    // The level judged a copy; the table judges the game. A move the table
    // would refuse is no hint (a level may read a first meld differently).
    const TLegality legal = IsLegal(game, TSeat::Player, hint.Move);
    if (legal.Legal) return hint;
    THint refused;
    refused.Level = hint.Level;
    std::string what = hint.What;
    if (!what.empty() && what.back() == '.') what.pop_back();
    if (!what.empty()) what[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(what[0])));
    refused.Why = "the strongest level would " + what + ", which the rules do not allow now" +
                  (legal.Why.empty() ? std::string(".") : ": " + legal.Why);
    refused.Why[0] = 'T';
    return refused;
}

}  // namespace canasta
