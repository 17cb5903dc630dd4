// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/MoveTokens.h"

#include "model/Deck.h"
#include "net/Tokens.h"

namespace canasta {

std::pair<std::string, std::string> MoveToken(const TMoveReport& move, const TGame& game) {
    const std::string id = std::to_string(move.CardId), column = std::to_string(move.Column);
    switch (move.Kind) {
        case TMoveKind::NewGame: return {token::NewGame, ""};
        case TMoveKind::Deal: return {token::Deal, MakeDealRecord(move.PlayerFirst, game.LastDeal)};
        case TMoveKind::Draw: return {token::DrawNew, ""};
        case TMoveKind::TakePileTop: return {token::DrawPileTop, ""};
        case TMoveKind::TakePileRest: return {token::DrawPileRest, ""};
        case TMoveKind::UndoTake: return {token::UndoPile, ""};
        case TMoveKind::Meld: return {token::Meld, id};
        case TMoveKind::AddWild: return {token::MeldWildCard, id + token::FieldSeparator + column};
        case TMoveKind::UndoMeld: return {token::Undo, column + token::FieldSeparator + id};
        case TMoveKind::Discard: return {token::Discard, id};
        case TMoveKind::DiscardRedThree: return {token::DiscardRedThree, id};
        case TMoveKind::Pass: return {token::PassDiscard, ""};
        case TMoveKind::EndHand: return {token::HandOver, ""};
    }
    throw InternalError("MoveToken: unknown move");
}

}  // namespace canasta
