// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The saved-game file: every card list of the game with scrambled identities,
// the canasta records, the turn flags and the scores, as CR LF text.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/Game.h"
#include "store/TableLayout.h"

namespace canasta {

inline constexpr const char* kSavedGameHeader = "CanastaSavedGame";
inline constexpr int kSavedGameVersion = 1;
// Fixed part of every list's scrambling number (at least 378 so that every
// quotient of it by an identity or rank + 1 is at least 7).
inline constexpr int kScrambleOffset = 479;
// A real saved game is a few kilobytes; anything far larger is not one.
inline constexpr size_t kMaxSavedGameBytes = 1 << 20;

// A card as the file holds it: at its pixel position in a window of the saved size.
struct TSavedCard {
    uint8_t Id = 0;
    uint8_t Rank = 0;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Points = 0;
    bool FaceUp = false;
    uint8_t Deck = 0;
    friend bool operator==(const TSavedCard&, const TSavedCard&) = default;
};

// A card list as the file holds it; the anchors are the pixel positions of
// each column's last card (its base line when empty).
struct TSavedCardList {
    std::array<TSavedCard, kDeckSize> Cards{};
    uint8_t Count = 0;
    std::array<TPoint, kColumns> Anchors{};

    const TSavedCard* begin() const { return Cards.data(); }
    const TSavedCard* end() const { return Cards.data() + Count; }
    // Equality over the live slots and the anchors.
    friend bool operator==(const TSavedCardList& a, const TSavedCardList& b) {
        return a.Count == b.Count && a.Anchors == b.Anchors && std::equal(a.begin(), a.end(), b.begin());
    }
};

struct TSavedGame {
    TSavedCardList Stock, OpponentHand, DiscardPile, SavedDiscardPile;
    TSavedCardList OpponentMelds, PlayerHand, PlayerMelds, SavedPlayerHand, SavedPlayerMelds;
    TMeldState PlayerMeldState, OpponentMeldState, SavedPlayerMeldState;
    bool PileFrozen = false, HasDrawn = false, PileTakeUndoable = false, TopCardPending = false;
    bool GoingOutWithThrees = false, GameInProgress = false, ShowOpponentHand = false;
    int32_t TopColumnCountBefore = 0, OpponentHandPitch = 10, OpponentMeldedPoints = 0;
    int32_t OpponentScore = 0, PlayerScore = 0, PlayerMinimumMeld = 50, SizeIndex = 0;
};

// The game as a file of that window size holds it; handPitch is the pitch of
// the opponent's hand row on the table.
TSavedGame CaptureSavedGame(const TGame& game, int sizeIndex = 0, int handPitch = 10);
// The file's bytes; scramble() gives each list block's number 0..999.
std::string FormatSavedGame(const TSavedGame& saved, const std::function<int()>& scramble);

enum class TLoadStatus { Ok, NotASavedGame, WrongVersion, Corrupt };
struct TLoadResult {
    TLoadStatus Status = TLoadStatus::Ok;
    std::string Detail;  // what was wrong, for a Corrupt file
};

// Parses and checks the whole file without touching any game.
TLoadResult ParseSavedGame(std::string_view bytes, TSavedGame& out);

// Checks that the saved game makes a sound table (all 108 cards once, cards
// on the steps of their columns, flags agreeing) by applying it to a scratch game.
TLoadResult CheckSavedGame(const TSavedGame& saved, const TGame& like);

// Puts a checked saved game on the table: each card's pixel position, read
// with the layout of the saved size, gives its column and depth.
void ApplySavedGame(TGame& game, const TSavedGame& saved);

// Parse, check and apply in one go; the game is untouched unless the result is
// Ok. The saved game read is given back in loaded when asked for.
TLoadResult LoadSavedGame(TGame& game, std::string_view bytes, TSavedGame* loaded = nullptr);

// Whether the bytes begin with the saved-game header.
bool HasSavedGameHeader(std::string_view bytes);

// Proposed file name for a player: forbidden characters removed, at most 250
// characters, ".can" added; "player.can" without a player.
std::string ProposedSaveName(const std::string& playerName);

enum class TFileRead { Ok, Missing, NotARegularFile, TooLarge, Unreadable };
// Reads a whole regular file of at most limit bytes. A named pipe, a device or
// a folder is refused without reading from it, so nothing can block.
TFileRead ReadSavedGameFile(const std::string& path, std::string& bytes, size_t limit = kMaxSavedGameBytes);
// The same, true only for TFileRead::Ok.
bool ReadWholeFile(const std::string& path, std::string& bytes, size_t limit = kMaxSavedGameBytes);
// Writes through a temporary file in the same folder, flushed to disk and then
// renamed over the target, so the old file survives any failure. On failure
// returns false with a message and leaves the target as it was.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error);
// Whether a file name is one of WriteFileAtomically's temporary files.
bool IsAtomicWriteLeftover(const std::string& fileName);
// Removes the temporary files that a killed WriteFileAtomically left in the
// folder, if they are older than minAgeSeconds (a younger one may belong to a
// save that another running copy is making). Returns how many were removed.
int RemoveAtomicWriteLeftovers(const std::string& folder, int minAgeSeconds = 30);

}  // namespace canasta
