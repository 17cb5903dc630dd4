// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The token format on the wire: name, 0xFE, fields separated by 0xFE, 0xFF.
// A whole frame is at most 255 bytes; there is no length, checksum or sequence.
#include <cstddef>
#include <optional>
#include <string>

namespace canasta {

inline constexpr char kFieldSep = '\xFE';
inline constexpr char kTokenEnd = '\xFF';
inline constexpr size_t kMaxFrame = 255;
// The greeting's protocol version: a wire format, not the release number.
inline constexpr int kProtocolVersion = 413;

// Positions in the name table; only the names travel.
enum TTokenIndex : int {
    tkOK = 0,
    tkSendAgain,
    tkQuit,
    tkChat,
    tkPlayerId,
    tkDeal,
    tkMeld,
    tkUndo,
    tkDiscard,
    tkDrawNew,
    tkDrawPileTop,
    tkDrawPileRest,
    tkUndoPile,
    tkMeldWildCard,
    tkDiscardRedThree,
    tkPassDiscard,
    tkRules,
    tkNewGame,
    tkHandOver,
    tkUnknown,
    kTokenCount
};

const char* TokenName(int index);
// Exact, case-sensitive match against the table (the last equal entry); tkUnknown otherwise.
int LookupToken(const std::string& name);

// name + 0xFE + data + 0xFF, the data cut so the frame stays within 255 bytes.
std::string BuildFrame(const std::string& name, const std::string& data);
// Fields joined with 0xFE.
std::string JoinFields(std::initializer_list<std::string> fields);

// Returns the bytes up to the first 0xFE or 0xFF and removes them and that one
// delimiter from the front; without a delimiter, all of it.
std::string NextField(std::string& message);

// A decimal integer field as the sender writes it (optional minus, at most
// nine digits); nothing for anything else.
std::optional<int> ParseIntField(const std::string& field);

}  // namespace canasta
