// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "store/SavedGame.h"
#include "support/TestTable.h"

using namespace canasta;
using namespace canasta::test;

namespace {

struct Lcg {
    uint64_t s;
    uint32_t operator()(uint32_t n) {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>((s >> 33) % n);
    }
};

// Plays some random gestures so the table holds melds, a pile and snapshots.
void PlaySome(TGame& g, Lcg& r, int actions) {
    for (int i = 0; i < actions; ++i) {
        switch (r(6)) {
            case 0: g.DrawClicked(); break;
            case 1: g.TakePile(); break;
            case 2:
            case 3:
                if (g.Seat(TSeat::Player).Hand.Count) {
                    int k = static_cast<int>(r(g.Seat(TSeat::Player).Hand.Count));
                    if (!IsWild(g.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(k)]))
                        g.MeldCardGesture(k, r(2), false);
                }
                break;
            case 4:
                if (g.Seat(TSeat::Player).Hand.Count)
                    g.DiscardCard(static_cast<int>(r(g.Seat(TSeat::Player).Hand.Count)));
                break;
            case 5: g.UndoMeld(); break;
        }
    }
}

void ExpectSameGame(const TGame& a, const TGame& b) {
    EXPECT_EQ(a.Stock, b.Stock);
    EXPECT_EQ(a.Seat(TSeat::Opponent).Hand, b.Seat(TSeat::Opponent).Hand);
    EXPECT_EQ(a.DiscardPile, b.DiscardPile);
    EXPECT_EQ(a.SavedDiscardPile, b.SavedDiscardPile);
    EXPECT_EQ(a.Seat(TSeat::Opponent).Melds, b.Seat(TSeat::Opponent).Melds);
    EXPECT_EQ(a.Seat(TSeat::Player).Hand, b.Seat(TSeat::Player).Hand);
    EXPECT_EQ(a.Seat(TSeat::Player).Melds, b.Seat(TSeat::Player).Melds);
    EXPECT_EQ(a.SavedPlayerHand, b.SavedPlayerHand);
    EXPECT_EQ(a.SavedPlayerMelds, b.SavedPlayerMelds);
    EXPECT_EQ(a.Seat(TSeat::Player).MeldState, b.Seat(TSeat::Player).MeldState);
    EXPECT_EQ(a.Seat(TSeat::Opponent).MeldState, b.Seat(TSeat::Opponent).MeldState);
    EXPECT_EQ(a.SavedPlayerMeldState, b.SavedPlayerMeldState);
    EXPECT_EQ(a.PileFrozen, b.PileFrozen);
    EXPECT_EQ(a.HasDrawn, b.HasDrawn);
    EXPECT_EQ(a.TurnStart, b.TurnStart);
    EXPECT_EQ(a.PileTakeUndoable, b.PileTakeUndoable);
    EXPECT_EQ(a.TopCardPending, b.TopCardPending);
    EXPECT_EQ(a.GoingOutWithThrees, b.GoingOutWithThrees);
    EXPECT_EQ(a.GameInProgress, b.GameInProgress);
    EXPECT_EQ(a.TopColumnCountBefore, b.TopColumnCountBefore);
    EXPECT_EQ(a.Seat(TSeat::Opponent).MeldedPoints, b.Seat(TSeat::Opponent).MeldedPoints);
    EXPECT_EQ(a.Seat(TSeat::Player).Score, b.Seat(TSeat::Player).Score);
    EXPECT_EQ(a.Seat(TSeat::Opponent).Score, b.Seat(TSeat::Opponent).Score);
    EXPECT_EQ(a.Seat(TSeat::Player).MinimumMeld, b.Seat(TSeat::Player).MinimumMeld);
    EXPECT_EQ(a.StockExhausted, b.StockExhausted);
}

std::string TempDir() {
    auto dir = std::filesystem::temp_directory_path() / ("canasta-save-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
}

}  // namespace

TEST(SavedGame, RoundTripOfManyRandomMidGameStates) {
    DrawDiscardLevel level;
    int checked = 0;
    for (uint64_t seed = 1; seed <= 60; ++seed) {
        Lcg r{seed};
        THeadlessHost host;
        TGame g(host);
        g.Levels = {&level, &level, &level};
        g.FixedSeed = true;
        g.Rng.Seed = static_cast<uint32_t>(seed);
        g.DealHand();
        PlaySome(g, r, static_cast<int>(r(300)));
        g.Seat(TSeat::Player).Score = static_cast<int>(r(9000)) - 1000;
        g.Seat(TSeat::Opponent).Score = static_cast<int>(r(5000));
        if (!CheckConsistency(g).empty()) continue;
        Lcg scramble{seed * 7};
        const std::string file = FormatSavedGame(CaptureSavedGame(g), [&] { return static_cast<int>(scramble(1000)); });
        THeadlessHost host2;
        TGame back(host2);
        ASSERT_EQ(LoadSavedGame(back, file).Status, TLoadStatus::Ok)
            << "seed " << seed << ": " << LoadSavedGame(back, file).Detail;
        ExpectSameGame(g, back);
        EXPECT_EQ(CheckConsistency(back), "");
        // Written again, the loaded game gives the same bytes.
        Lcg again{seed * 7};
        EXPECT_EQ(FormatSavedGame(CaptureSavedGame(back), [&] { return static_cast<int>(again(1000)); }), file);
        ++checked;
    }
    EXPECT_GE(checked, 50);
}

TEST(SavedGame, JokerIsWrittenScrambledAndReadsBack) {
    TestTable t;
    TSavedGame s = CaptureSavedGame(t.G);
    s.Stock = {};
    s.Stock.Cards[0] = {kJokerId, kRankJoker, 3, 135, 50, true, 1};
    s.Stock.Count = 1;
    const std::string file = FormatSavedGame(s, [] { return 21; });
    const int k = 21 + kScrambleOffset;
    const std::string expected = "CanastaSavedGame 1 21 1 " + std::to_string(k / 54) + " " + std::to_string(k) +
                                 " 3 135 50 1 1 " + std::to_string(k % 54) + " 0 \r\n";
    EXPECT_EQ(file.substr(0, expected.size()), expected);
    TSavedGame back;
    ASSERT_EQ(ParseSavedGame(file, back).Status, TLoadStatus::Ok);
    ASSERT_EQ(back.Stock.Count, 1);
    EXPECT_EQ(back.Stock.Cards[0].Id, kJokerId);
    EXPECT_EQ(back.Stock.Cards[0].Rank, 0);
    EXPECT_EQ(back.Stock.Cards[0].Points, 50);
    // The same position saved twice differs in the scrambling but not in content.
    const std::string other = FormatSavedGame(s, [] { return 777; });
    EXPECT_NE(other, file);
    TSavedGame back2;
    ASSERT_EQ(ParseSavedGame(other, back2).Status, TLoadStatus::Ok);
    EXPECT_EQ(back2.Stock, back.Stock);
}

TEST(SavedGame, HostileFilesLeaveTheGameAsItWas) {
    THeadlessHost host;
    DrawDiscardLevel level;
    TGame g(host);
    g.Levels = {&level, &level, &level};
    g.FixedSeed = true;
    g.Rng.Seed = 99;
    g.DealHand();
    const std::string good = FormatSavedGame(CaptureSavedGame(g), [] { return 5; });
    const TGameState before = g.State();

    THeadlessHost host2;
    TGame other(host2);
    other.FixedSeed = true;
    other.Rng.Seed = 4;
    other.Levels = {&level, &level, &level};
    other.DealHand();
    const TGameState otherBefore = other.State();

    auto refused = [&](const std::string& bytes, TLoadStatus status) {
        TLoadResult r = LoadSavedGame(other, bytes);
        EXPECT_EQ(r.Status, status) << r.Detail;
        EXPECT_EQ(other.Seat(TSeat::Player).Hand, otherBefore.Seat(TSeat::Player).Hand);
        EXPECT_EQ(other.Stock, otherBefore.Stock);
        EXPECT_EQ(other.Seat(TSeat::Player).Score, otherBefore.Seat(TSeat::Player).Score);
    };
    refused("CanastaSavedGame 2 " + good.substr(19), TLoadStatus::WrongVersion);
    refused("NotACanastaGame!", TLoadStatus::NotASavedGame);
    refused("", TLoadStatus::NotASavedGame);
    for (size_t cut : {size_t(17), size_t(100), good.size() / 2, good.size() - 3})
        refused(good.substr(0, cut), TLoadStatus::Corrupt);
    std::string letters = good;
    letters[40] = 'x';
    refused(letters, TLoadStatus::Corrupt);
    // A card count above 108.
    refused("CanastaSavedGame 1 5 109 " + good.substr(25), TLoadStatus::Corrupt);
    // A scrambled pair that decodes to no card: bump one remainder.
    {
        TSavedGame s = CaptureSavedGame(g);
        std::string f = FormatSavedGame(s, [] { return 0; });
        const std::string head = "CanastaSavedGame 1 0 ";
        ASSERT_EQ(f.rfind(head, 0), 0u);
        // First card of the stock: its identity quotient is the third number.
        size_t p = head.size();
        p = f.find(' ', p) + 1;  // after the count
        std::string broken = f.substr(0, p) + "999999 " + f.substr(f.find(' ', p) + 1);
        refused(broken, TLoadStatus::Corrupt);
    }
    // A duplicated card: the stock's first card copied over the second.
    {
        TSavedGame s = CaptureSavedGame(g);
        s.Stock.Cards[1] = s.Stock.Cards[0];
        refused(FormatSavedGame(s, [] { return 3; }), TLoadStatus::Corrupt);
        TSavedGame m = CaptureSavedGame(g);
        m.Stock.Count -= 1;  // a missing card
        refused(FormatSavedGame(m, [] { return 3; }), TLoadStatus::Corrupt);
        TSavedGame off = CaptureSavedGame(g);
        off.PlayerHand.Cards[0].X = 9000;  // far off its column
        refused(FormatSavedGame(off, [] { return 3; }), TLoadStatus::Corrupt);
    }
    refused(good + std::string(kMaxSavedGameBytes, ' '), TLoadStatus::Corrupt);
    // The good file still loads.
    EXPECT_EQ(LoadSavedGame(other, good).Status, TLoadStatus::Ok);
    EXPECT_EQ(other.Seat(TSeat::Player).Hand, before.Seat(TSeat::Player).Hand);
}

TEST(SavedGame, LoadedAtAnotherSizeKeepsColumnsAndDepths) {
    DrawDiscardLevel level;
    THeadlessHost host;
    TGame g(host);
    g.Levels = {&level, &level, &level};
    g.FixedSeed = true;
    g.Rng.Seed = 31;
    g.DealHand();
    Lcg r{5};
    PlaySome(g, r, 200);
    ASSERT_EQ(CheckConsistency(g), "");
    ASSERT_GT(g.Seat(TSeat::Player).Melds.Count, 0);
    for (int from = 0; from < kSizeCount; ++from) {
        SCOPED_TRACE("saved at size " + std::to_string(from));
        // The file holds each card at its column and step of that size.
        const TSavedGame saved = CaptureSavedGame(g, from);
        const TableLayout t = ComputeLayout(from);
        for (int i = 0; i < g.Seat(TSeat::Player).Melds.Count; ++i) {
            const TCard& c = g.Seat(TSeat::Player).Melds.Cards[static_cast<size_t>(i)];
            EXPECT_EQ(saved.PlayerMelds.Cards[static_cast<size_t>(i)].X, t.ColumnX(c.Column));
            EXPECT_EQ(saved.PlayerMelds.Cards[static_cast<size_t>(i)].Y, t.PlayerMeldBase + 12 * c.Depth);
        }
        for (int i = 0; i < g.Seat(TSeat::Player).Hand.Count; ++i) {
            const TCard& c = g.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)];
            EXPECT_EQ(t.ColumnOf(saved.PlayerHand.Cards[static_cast<size_t>(i)].X), c.Rank);
            EXPECT_EQ(saved.PlayerHand.Cards[static_cast<size_t>(i)].Y, t.PlayerHandBase + 12 * c.Depth);
        }
        for (const TSavedCard& c : saved.DiscardPile) EXPECT_EQ(c.Y, t.DiscardTop);
        const std::string file = FormatSavedGame(saved, [] { return 1; });
        THeadlessHost host2;
        TGame back(host2);
        ASSERT_EQ(LoadSavedGame(back, file).Status, TLoadStatus::Ok);
        ExpectSameGame(g, back);
        // Written at every other size, it reads back to the same table.
        for (int to = 0; to < kSizeCount; ++to) {
            THeadlessHost host3;
            TGame again(host3);
            const std::string other = FormatSavedGame(CaptureSavedGame(back, to), [] { return 2; });
            ASSERT_EQ(LoadSavedGame(again, other).Status, TLoadStatus::Ok) << "written at size " << to;
            ExpectSameGame(g, again);
        }
    }
}

TEST(SavedGame, ALongRowOfTheOpponentsHandPastTheWindowEdgeLoads) {
    // Sixty cards at the wider pitch reach past the right edge of the smallest table.
    TestTable t;
    for (int i = 0; i < 60; ++i) AddCard(t.G.Seat(TSeat::Opponent).Hand, TakeLastCard(t.G.Stock));
    ASSERT_EQ(t.Consistent(), "");
    const TSavedGame saved = CaptureSavedGame(t.G, 0, 12);
    ASSERT_GT(saved.OpponentHand.Cards[59].X, ComputeLayout(0).WindowWidth);
    THeadlessHost host;
    TGame back(host);
    const TLoadResult r = LoadSavedGame(back, FormatSavedGame(saved, [] { return 4; }));
    ASSERT_EQ(r.Status, TLoadStatus::Ok) << r.Detail;
    EXPECT_EQ(back.Seat(TSeat::Opponent).Hand, t.G.Seat(TSeat::Opponent).Hand);
}

TEST(SavedGame, ProposedNames) {
    EXPECT_EQ(ProposedSaveName(""), "player.can");
    EXPECT_EQ(ProposedSaveName("Ann \"the*best\": who? a\\b"), "Ann thebest who ab.can");
    EXPECT_EQ(ProposedSaveName(std::string(300, 'z')).size(), 254u);
}

TEST(SavedGame, KilledWhileSavingLeavesThePreviousFileLoadable) {
    const std::string dir = TempDir();
    const std::string path = dir + "/autosave.can";
    THeadlessHost host;
    DrawDiscardLevel level;
    TGame g(host);
    g.Levels = {&level, &level, &level};
    g.FixedSeed = true;
    g.Rng.Seed = 8;
    g.DealHand();
    const std::string first = FormatSavedGame(CaptureSavedGame(g), [] { return 1; });
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, first, error)) << error;
    // A second, much larger content (padding after the trailer is skipped by
    // readers) written over and over until the writer is killed.
    const std::string second = FormatSavedGame(CaptureSavedGame(g), [] { return 2; }) + std::string(400000, ' ');
    for (int round = 0; round < 5; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::string e;
            for (;;) WriteFileAtomically(path, second, e);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + 13 * round));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(path, bytes));
        TSavedGame s;
        EXPECT_EQ(ParseSavedGame(bytes, s).Status, TLoadStatus::Ok) << "round " << round;
    }
    std::filesystem::remove_all(dir);
}

// The write of a new version fails half-way (the file size limit stops it,
// which holds for root too): the old file must stay whole and no temporary
// file may be left beside it.
TEST(SavedGame, FailedWriteKeepsTheOldFile) {
    const std::string dir = TempDir();
    const std::string path = dir + "/game.can";
    const std::string old(3000, 'o');
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, old, error)) << error;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{1000, 1000};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
        std::string e;
        const bool ok = WriteFileAtomically(path, std::string(5000, 'n'), e);
        // Exit 0: the write failed and said why.
        ::_exit(!ok && !e.empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write did not report its failure";
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, old);
    for (const auto& e : std::filesystem::directory_iterator(dir))
        EXPECT_EQ(e.path().filename(), "game.can") << "left behind: " << e.path();
    std::filesystem::remove_all(dir);
}

TEST(SavedGame, DataAfterTheTrailerIsRefusedButBlanksAreNot) {
    THeadlessHost host;
    DrawDiscardLevel level;
    TGame g(host);
    g.Levels = {&level, &level, &level};
    g.FixedSeed = true;
    g.Rng.Seed = 12;
    g.DealHand();
    const std::string good = FormatSavedGame(CaptureSavedGame(g), [] { return 5; });
    TSavedGame s;
    for (const char* tail : {"", "\r\n", "\n\n", "  \t \r\n  "})
        EXPECT_EQ(ParseSavedGame(good + tail, s).Status, TLoadStatus::Ok) << "tail \"" << tail << '"';
    for (const char* tail : {"x", "0 ", "\r\n15 ", "  garbage\r\n", "\r\n\x1a"}) {
        const TLoadResult r = ParseSavedGame(good + tail, s);
        EXPECT_EQ(r.Status, TLoadStatus::Corrupt) << "tail \"" << tail << '"';
        EXPECT_NE(r.Detail.find("after the end"), std::string::npos) << r.Detail;
    }
}

TEST(SavedGame, OnlyRegularFilesOfSavedGameSizeAreRead) {
    const std::string dir = TempDir();
    std::string bytes = "unchanged";
    EXPECT_EQ(ReadSavedGameFile(dir + "/missing.can", bytes), TFileRead::Missing);
    // A named pipe without a writer: opening it for reading would wait forever.
    const std::string fifo = dir + "/pipe.can";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadSavedGameFile(fifo, bytes), TFileRead::NotARegularFile);
    EXPECT_FALSE(ReadWholeFile(fifo, bytes));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(ReadSavedGameFile(dir, bytes), TFileRead::NotARegularFile);
    EXPECT_EQ(ReadSavedGameFile("/dev/zero", bytes), TFileRead::NotARegularFile);
    EXPECT_EQ(bytes, "unchanged");
    // Larger than any saved game: refused by its size, before reading.
    const std::string big = dir + "/big.can";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(big, std::string(kMaxSavedGameBytes + 1, ' '), error)) << error;
    EXPECT_EQ(ReadSavedGameFile(big, bytes), TFileRead::TooLarge);
    ASSERT_TRUE(WriteFileAtomically(big, "CanastaSavedGame 1 ", error)) << error;
    EXPECT_EQ(ReadSavedGameFile(big, bytes), TFileRead::Ok);
    EXPECT_EQ(bytes, "CanastaSavedGame 1 ");
    std::filesystem::remove_all(dir);
}

TEST(SavedGame, StaleTemporaryFilesOfAKilledSaveAreRemoved) {
    namespace fs = std::filesystem;
    const std::string dir = TempDir();
    auto touch = [&](const std::string& name, int ageSeconds) {
        const fs::path p = fs::path(dir) / name;
        std::string error;
        EXPECT_TRUE(WriteFileAtomically(p.string(), "x", error)) << error;
        fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
    };
    touch("autosave.can.tmp-a1B2c3", 3600);
    touch("player.can.tmp-ZZZZZZ", 120);
    touch("fresh.can.tmp-q9q9q9", 0);  // may be another copy's save in progress
    touch("autosave.can", 3600);
    touch("notes.txt.tmp-abcdef", 3600);  // not a saved game's
    touch("odd.can.tmp-abc", 3600);       // not a name mkstemp makes
    touch("odd.can.tmp-abc.de", 3600);
    fs::create_directory(fs::path(dir) / "folder.can.tmp-abcdef");
    fs::create_symlink(fs::path(dir) / "autosave.can", fs::path(dir) / "link.can.tmp-abcdef");

    EXPECT_EQ(RemoveAtomicWriteLeftovers(dir), 2);
    EXPECT_FALSE(fs::exists(fs::path(dir) / "autosave.can.tmp-a1B2c3"));
    EXPECT_FALSE(fs::exists(fs::path(dir) / "player.can.tmp-ZZZZZZ"));
    for (const char* kept : {"fresh.can.tmp-q9q9q9", "autosave.can", "notes.txt.tmp-abcdef", "odd.can.tmp-abc",
                             "odd.can.tmp-abc.de", "folder.can.tmp-abcdef", "link.can.tmp-abcdef"})
        EXPECT_TRUE(fs::exists(fs::symlink_status(fs::path(dir) / kept))) << kept;
    EXPECT_EQ(RemoveAtomicWriteLeftovers(dir + "/missing"), 0);
    fs::remove_all(dir);
}
