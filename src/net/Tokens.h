// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names of the moves a networked opponent is told about.
namespace canasta::token {
inline constexpr const char* Chat = "CHAT";
inline constexpr const char* PlayerId = "PLAYERID";
inline constexpr const char* Deal = "DEAL";
inline constexpr const char* Meld = "MELD";
inline constexpr const char* Undo = "UNDO";
inline constexpr const char* Discard = "DISCARD";
inline constexpr const char* DrawNew = "DRAWNEW";
inline constexpr const char* DrawPileTop = "DRAWPILETOP";
inline constexpr const char* DrawPileRest = "DRAWPILEREST";
inline constexpr const char* UndoPile = "UNDOPILE";
inline constexpr const char* MeldWildCard = "MELDWILDCARD";
inline constexpr const char* DiscardRedThree = "DISCARDREDTHREE";
inline constexpr const char* PassDiscard = "PASSDISCARD";
inline constexpr const char* Rules = "RULES";
inline constexpr const char* NewGame = "NEWGAME";
inline constexpr const char* HandOver = "HANDOVER";
// Field separator inside a token's data.
inline constexpr char FieldSeparator = '\xFE';
}  // namespace canasta::token
