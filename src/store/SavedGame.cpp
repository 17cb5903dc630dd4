// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/SavedGame.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cctype>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <tuple>

#include "rules/Consistency.h"

namespace canasta {

// ---------------------------------------------------------------- writing

namespace {

// The list with every card at its pixel position in layout t.
TSavedCardList ToPixels(const TCardList& list, TArea area, const TableLayout& t, int handPitch) {
    TSavedCardList out;
    out.Count = list.Count;
    for (int i = 0; i < list.Count; ++i) {
        const TCard& c = list.Cards[static_cast<size_t>(i)];
        const TCardPlace place = area == TArea::OpponentHand ? RowSlot(i) : PlaceOf(area, c);
        const TPoint at = t.PointOf(place, handPitch);
        out.Cards[static_cast<size_t>(i)] = {c.Id, c.Rank, at.X, at.Y, c.Points, c.FaceUp, c.Deck};
    }
    for (int col = 0; col < kColumns; ++col)
        out.Anchors[static_cast<size_t>(col)] = {t.ColumnX(col), t.DepthY(area, list.Depths[static_cast<size_t>(col)])};
    return out;
}

}  // namespace

TSavedGame CaptureSavedGame(const TGame& g, int sizeIndex, int handPitch) {
    const TableLayout t = ComputeLayout(sizeIndex);
    TSavedGame s;
    s.Stock = ToPixels(g.Stock, TArea::Stock, t, handPitch);
    s.OpponentHand = ToPixels(g.Seat(TSeat::Opponent).Hand, TArea::OpponentHand, t, handPitch);
    s.DiscardPile = ToPixels(g.DiscardPile, TArea::DiscardPile, t, handPitch);
    s.SavedDiscardPile = ToPixels(g.SavedDiscardPile, TArea::DiscardPile, t, handPitch);
    s.OpponentMelds = ToPixels(g.Seat(TSeat::Opponent).Melds, TArea::OpponentMelds, t, handPitch);
    s.PlayerHand = ToPixels(g.Seat(TSeat::Player).Hand, TArea::PlayerHand, t, handPitch);
    s.PlayerMelds = ToPixels(g.Seat(TSeat::Player).Melds, TArea::PlayerMelds, t, handPitch);
    s.SavedPlayerHand = ToPixels(g.SavedPlayerHand, TArea::PlayerHand, t, handPitch);
    s.SavedPlayerMelds = ToPixels(g.SavedPlayerMelds, TArea::PlayerMelds, t, handPitch);
    s.PlayerMeldState = g.Seat(TSeat::Player).MeldState;
    s.OpponentMeldState = g.Seat(TSeat::Opponent).MeldState;
    s.SavedPlayerMeldState = g.SavedPlayerMeldState;
    s.PileFrozen = g.PileFrozen;
    s.HasDrawn = g.HasDrawn;
    s.PileTakeUndoable = g.PileTakeUndoable;
    s.TopCardPending = g.TopCardPending;
    s.GoingOutWithThrees = g.GoingOutWithThrees;
    s.GameInProgress = g.GameInProgress;
    s.ShowOpponentHand = g.Config.ShowOpponentCards;
    s.TopColumnCountBefore = g.TopColumnCountBefore;
    s.OpponentHandPitch = handPitch;
    s.OpponentMeldedPoints = g.Seat(TSeat::Opponent).MeldedPoints;
    s.OpponentScore = g.Seat(TSeat::Opponent).Score;
    s.PlayerScore = g.Seat(TSeat::Player).Score;
    s.PlayerMinimumMeld = g.Seat(TSeat::Player).MinimumMeld;
    s.SizeIndex = sizeIndex;
    return s;
}

namespace {

struct Writer {
    std::string Out;
    void N(long long v) {
        Out += std::to_string(v);
        Out += ' ';
    }
    void Line() { Out += "\r\n"; }

    void Plain(const TSavedCardList& list, int s) {
        const int k = s + kScrambleOffset;
        N(s);
        N(list.Count);
        for (const TSavedCard& c : list) {
            N(k / (c.Id + 1));
            N(k / (c.Rank + 1));
            N(c.X);
            N(c.Y);
            N(c.Points);
            N(c.FaceUp ? 1 : 0);
            N(c.Deck);
            N(k % (c.Id + 1));
            N(k % (c.Rank + 1));
        }
    }
    void Columns(const TSavedCardList& list, int s) {
        Plain(list, s);
        for (const TPoint& a : list.Anchors) {
            N(a.X);
            N(a.Y);
        }
    }
    void Melds(const TMeldState& m) {
        N(m.Canastas);
        for (int c = 1; c < kColumns; ++c) N(m.CanastaKind[static_cast<size_t>(c)]);
        for (int c = 1; c < kColumns; ++c) N(m.CanastaNaturals[static_cast<size_t>(c)]);
    }
};

}  // namespace

std::string FormatSavedGame(const TSavedGame& s, const std::function<int()>& scramble) {
    Writer w;
    auto next = [&] {
        int v = scramble() % 1000;
        return v < 0 ? -v : v;
    };
    w.Out = std::string(kSavedGameHeader) + " ";
    w.N(kSavedGameVersion);
    for (const TSavedCardList* l : {&s.Stock, &s.OpponentHand, &s.DiscardPile, &s.SavedDiscardPile}) {
        w.Plain(*l, next());
        w.Line();
    }
    for (const TSavedCardList* l :
         {&s.OpponentMelds, &s.PlayerHand, &s.PlayerMelds, &s.SavedPlayerHand, &s.SavedPlayerMelds}) {
        w.Columns(*l, next());
        w.Line();
    }
    for (const TMeldState* m : {&s.PlayerMeldState, &s.OpponentMeldState, &s.SavedPlayerMeldState}) {
        w.Melds(*m);
        w.Line();
    }
    for (bool f : {s.PileFrozen, s.HasDrawn, s.PileTakeUndoable, s.TopCardPending, s.GoingOutWithThrees,
                   s.GameInProgress, s.ShowOpponentHand})
        w.N(f ? 1 : 0);
    for (int32_t v : {s.TopColumnCountBefore, s.OpponentHandPitch, s.OpponentMeldedPoints, s.OpponentScore,
                      s.PlayerScore, s.PlayerMinimumMeld, s.SizeIndex})
        w.N(v);
    return w.Out;
}

// ---------------------------------------------------------------- reading

namespace {

// Positions far outside any window are not from a real game.
constexpr int32_t kMaxCoordinate = 10000;

struct Reader {
    std::string_view In;
    size_t Pos = 0;
    std::string Error;

    bool Fail(const std::string& what) {
        if (Error.empty()) Error = what + " (at byte " + std::to_string(Pos) + ")";
        return false;
    }
    void SkipBlanks() {
        while (Pos < In.size() && (In[Pos] == ' ' || In[Pos] == '\r' || In[Pos] == '\n' || In[Pos] == '\t')) ++Pos;
    }
    // Blanks and line ends may follow the trailer; anything else means the
    // file is not what was written.
    bool End() {
        SkipBlanks();
        return Pos == In.size() || Fail("data after the end of the game");
    }
    bool N(int32_t& v, const char* what) {
        SkipBlanks();
        if (Pos >= In.size()) return Fail(std::string("file ends before ") + what);
        const char* b = In.data() + Pos;
        const char* e = In.data() + In.size();
        auto [p, ec] = std::from_chars(b, e, v);
        if (ec != std::errc() || p == b) return Fail(std::string("not a number where ") + what + " was expected");
        if (p < e && !(*p == ' ' || *p == '\r' || *p == '\n' || *p == '\t'))
            return Fail(std::string("stray character after ") + what);
        Pos += static_cast<size_t>(p - b);
        return true;
    }
    bool Range(int32_t& v, int32_t lo, int32_t hi, const char* what) {
        if (!N(v, what)) return false;
        if (v < lo || v > hi) return Fail(std::string(what) + " " + std::to_string(v) + " out of range");
        return true;
    }
    bool Flag(bool& f, const char* what) {
        int32_t v;
        if (!Range(v, 0, 1, what)) return false;
        f = v != 0;
        return true;
    }

    // Decodes one scrambled pair: value = (K - remainder) div quotient - 1.
    bool Unscramble(int k, int32_t q, int32_t r, int lo, int hi, int& out, const char* what) {
        if (q <= 0 || r < 0 || r >= k) return Fail(std::string("impossible scrambled ") + what);
        if ((k - r) % q != 0) return Fail(std::string("scrambled ") + what + " does not decode");
        const int v = (k - r) / q - 1;
        // The pair must be exactly what the writer produces for that value.
        if (v < lo || v > hi || k / (v + 1) != q || k % (v + 1) != r)
            return Fail(std::string("scrambled ") + what + " decodes to no card");
        out = v;
        return true;
    }

    bool Plain(TSavedCardList& list) {
        int32_t s, n;
        if (!Range(s, 0, 999, "scrambling number") || !Range(n, 0, kDeckSize, "card count")) return false;
        const int k = s + kScrambleOffset;
        TSavedCardList l;
        for (int i = 0; i < n; ++i) {
            int32_t qi, qr, x, y, pts, rid, rr;
            bool face = false;
            int32_t deck;
            if (!N(qi, "card identity") || !N(qr, "card rank") ||
                !Range(x, -kMaxCoordinate, kMaxCoordinate, "card x") ||
                !Range(y, -kMaxCoordinate, kMaxCoordinate, "card y") || !N(pts, "card points") ||
                !Flag(face, "face-up flag") || !Range(deck, 0, 1, "deck") || !N(rid, "card identity") ||
                !N(rr, "card rank"))
                return false;
            int id = 0, rank = 0;
            if (!Unscramble(k, qi, rid, 1, kJokerId, id, "identity") || !Unscramble(k, qr, rr, 0, 13, rank, "rank"))
                return false;
            if (rank != RankOf(id)) return Fail("card rank does not belong to its identity");
            if (pts != CardPoints(id)) return Fail("card points do not belong to its identity");
            l.Cards[l.Count++] = {static_cast<uint8_t>(id),  static_cast<uint8_t>(rank), x, y, pts, face,
                                  static_cast<uint8_t>(deck)};
        }
        list = l;
        return true;
    }
    bool Columns(TSavedCardList& list) {
        if (!Plain(list)) return false;
        for (TPoint& a : list.Anchors)
            if (!Range(a.X, -kMaxCoordinate, kMaxCoordinate, "anchor x") ||
                !Range(a.Y, -kMaxCoordinate, kMaxCoordinate, "anchor y"))
                return false;
        return true;
    }
    bool Melds(TMeldState& m) {
        int32_t v;
        if (!Range(v, 0, kColumns, "canasta count")) return false;
        m.Canastas = v;
        for (int c = 1; c < kColumns; ++c) {
            if (!Range(v, 0, 3, "canasta kind")) return false;
            m.CanastaKind[static_cast<size_t>(c)] = static_cast<uint8_t>(v);
        }
        for (int c = 1; c < kColumns; ++c) {
            if (!Range(v, 0, kDeckSize, "canasta naturals")) return false;
            m.CanastaNaturals[static_cast<size_t>(c)] = static_cast<uint8_t>(v);
        }
        return true;
    }
};

}  // namespace

bool HasSavedGameHeader(std::string_view bytes) { return bytes.substr(0, 16) == kSavedGameHeader; }

TLoadResult ParseSavedGame(std::string_view bytes, TSavedGame& out) {
    if (!HasSavedGameHeader(bytes)) return {TLoadStatus::NotASavedGame, "no saved-game header"};
    if (bytes.size() > kMaxSavedGameBytes) return {TLoadStatus::Corrupt, "file too large"};
    Reader r{bytes, 16, {}};
    int32_t version;
    if (!r.N(version, "version")) return {TLoadStatus::Corrupt, r.Error};
    if (version != kSavedGameVersion) return {TLoadStatus::WrongVersion, "version " + std::to_string(version)};
    TSavedGame s;
    bool ok = r.Plain(s.Stock) && r.Plain(s.OpponentHand) && r.Plain(s.DiscardPile) && r.Plain(s.SavedDiscardPile) &&
              r.Columns(s.OpponentMelds) && r.Columns(s.PlayerHand) && r.Columns(s.PlayerMelds) &&
              r.Columns(s.SavedPlayerHand) && r.Columns(s.SavedPlayerMelds) && r.Melds(s.PlayerMeldState) &&
              r.Melds(s.OpponentMeldState) && r.Melds(s.SavedPlayerMeldState) && r.Flag(s.PileFrozen, "flag") &&
              r.Flag(s.HasDrawn, "flag") && r.Flag(s.PileTakeUndoable, "flag") && r.Flag(s.TopCardPending, "flag") &&
              r.Flag(s.GoingOutWithThrees, "flag") && r.Flag(s.GameInProgress, "flag") &&
              r.Flag(s.ShowOpponentHand, "flag") && r.Range(s.TopColumnCountBefore, 0, kDeckSize, "top column count") &&
              r.Range(s.OpponentHandPitch, 0, 100, "hand pitch") &&
              r.Range(s.OpponentMeldedPoints, 0, 100000, "melded points") &&
              r.Range(s.OpponentScore, -10000000, 10000000, "score") &&
              r.Range(s.PlayerScore, -10000000, 10000000, "score") &&
              r.Range(s.PlayerMinimumMeld, 0, 1000, "minimum meld") &&
              r.Range(s.SizeIndex, 0, kSizeCount - 1, "window size") && r.End();
    if (!ok) return {TLoadStatus::Corrupt, r.Error};
    out = s;
    return {};
}

namespace {

// Steps of kColumnStep from the area's base line to y (checked on a step by
// CheckPositions).
int DepthOfY(const TableLayout& t, TArea area, int y) {
    return (y - t.BaseOf(area)) * TableLayout::GrowthOf(area) / kColumnStep;
}

// The list with every card of a column area in the column and at the depth
// its pixel position in layout t shows.
TCardList FromPixels(const TSavedCardList& list, TArea area, const TableLayout& t) {
    const bool columns = area == TArea::PlayerHand || area == TArea::PlayerMelds || area == TArea::OpponentMelds;
    TCardList out;
    for (const TSavedCard& sc : list) {
        TCard c = NewCard(sc.Id, sc.Deck);
        c.FaceUp = sc.FaceUp;
        if (columns) {
            c.Column = static_cast<uint8_t>(t.ColumnOf(sc.X));
            c.Depth = static_cast<int8_t>(DepthOfY(t, area, sc.Y));
        }
        AddCard(out, c);
    }
    if (columns)
        for (int col = 0; col < kColumns; ++col)
            out.Depths[static_cast<size_t>(col)] =
                static_cast<int8_t>(DepthOfY(t, area, list.Anchors[static_cast<size_t>(col)].Y));
    return out;
}

}  // namespace

void ApplySavedGame(TGame& g, const TSavedGame& s) {
    const TableLayout t = ComputeLayout(s.SizeIndex);
    g.Stock = FromPixels(s.Stock, TArea::Stock, t);
    g.Seat(TSeat::Opponent).Hand = FromPixels(s.OpponentHand, TArea::OpponentHand, t);
    g.DiscardPile = FromPixels(s.DiscardPile, TArea::DiscardPile, t);
    g.SavedDiscardPile = FromPixels(s.SavedDiscardPile, TArea::DiscardPile, t);
    g.Seat(TSeat::Opponent).Melds = FromPixels(s.OpponentMelds, TArea::OpponentMelds, t);
    g.Seat(TSeat::Player).Hand = FromPixels(s.PlayerHand, TArea::PlayerHand, t);
    g.Seat(TSeat::Player).Melds = FromPixels(s.PlayerMelds, TArea::PlayerMelds, t);
    g.SavedPlayerHand = FromPixels(s.SavedPlayerHand, TArea::PlayerHand, t);
    g.SavedPlayerMelds = FromPixels(s.SavedPlayerMelds, TArea::PlayerMelds, t);
    // Column 0 of the canasta records is not in the file and keeps its value.
    auto melds = [](TMeldState& to, const TMeldState& from) {
        const uint8_t kind0 = to.CanastaKind[0], naturals0 = to.CanastaNaturals[0];
        to = from;
        to.CanastaKind[0] = kind0;
        to.CanastaNaturals[0] = naturals0;
    };
    melds(g.Seat(TSeat::Player).MeldState, s.PlayerMeldState);
    melds(g.Seat(TSeat::Opponent).MeldState, s.OpponentMeldState);
    melds(g.SavedPlayerMeldState, s.SavedPlayerMeldState);
    g.PileFrozen = s.PileFrozen;
    g.HasDrawn = s.HasDrawn;
    g.PileTakeUndoable = s.PileTakeUndoable;
    g.TopCardPending = s.TopCardPending;
    g.GoingOutWithThrees = s.GoingOutWithThrees;
    g.GameInProgress = s.GameInProgress;
    g.Config.ShowOpponentCards = s.ShowOpponentHand;
    g.TopColumnCountBefore = s.TopColumnCountBefore;
    g.Seat(TSeat::Opponent).MeldedPoints = s.OpponentMeldedPoints;
    g.Seat(TSeat::Opponent).Score = s.OpponentScore;
    g.Seat(TSeat::Player).Score = s.PlayerScore;
    g.Seat(TSeat::Player).MinimumMeld = s.PlayerMinimumMeld;
    g.TurnStart = !s.HasDrawn;

    // What the file does not hold starts afresh for the loaded table.
    g.OpponentsTurn = false;
    g.DrawsThisTurn = 0;
    g.Seat(TSeat::Player).PickedUp = {};
    g.Seat(TSeat::Player).Discards.fill(0);
    g.CardSelected = false;
    g.WentOut = woNobody;
    g.ValidationMessage.clear();
    g.Seat(TSeat::Opponent).PointsBeforeTurn = s.OpponentMeldedPoints;
    g.Seat(TSeat::Player).PointsBeforeTurn = g.MeldedPoints(TSeat::Player, false);
    // A pending take's top card is the last card put into the turn snapshot.
    if (g.PileTakeUndoable && !g.SavedPlayerMelds.Empty()) {
        g.TakenTopCard = g.SavedPlayerMelds.Last();
        g.TakenTopColumn = static_cast<uint8_t>(g.TakenTopCard.Rank);
    }
    g.SetStockExhausted(g.Stock.Empty());
    g.EndHandRequested = false;
    g.ClearUndo();
    g.Host.SetUndoEnabled(false);
    g.SetTurnPhase(g.PileTakeUndoable ? TTurnPhase::PileTaken
                   : g.HasDrawn       ? TTurnPhase::MeldOrDiscard
                                      : TTurnPhase::Draw);
    g.Host.Invalidate(TRegion::All);
}

namespace {

// Every table card and anchor on one of the 14 columns of the saved window
// size, on a step of its column, and every position within reach of that
// window, so that the game keeps its columns and depths at any size.
std::string CheckPositions(const TSavedGame& s) {
    const TableLayout t = ComputeLayout(s.SizeIndex);
    auto nearWindow = [&t](int y) { return y >= -t.WindowHeight && y <= 2 * t.WindowHeight; };
    auto onColumn = [&t](int x) { return x >= t.TableLeft && t.ColumnOf(x) < kColumns; };
    // A card lies one or more steps from its base line; an empty column's anchor on it.
    auto onStep = [&t](TArea area, int y, int lowest) {
        const int offset = (y - t.BaseOf(area)) * TableLayout::GrowthOf(area);
        return offset % kColumnStep == 0 && offset / kColumnStep >= lowest && offset / kColumnStep <= kDeckSize;
    };
    const std::tuple<const TSavedCardList*, TArea, const char*> columnLists[] = {
        {&s.OpponentMelds, TArea::OpponentMelds, "opponent's table"},
        {&s.PlayerHand, TArea::PlayerHand, "hand"},
        {&s.PlayerMelds, TArea::PlayerMelds, "table"},
        {&s.SavedPlayerHand, TArea::PlayerHand, "saved hand"},
        {&s.SavedPlayerMelds, TArea::PlayerMelds, "saved table"}};
    for (auto [list, area, name] : columnLists) {
        for (const TSavedCard& c : *list)
            if (!onColumn(c.X) || !nearWindow(c.Y)) return std::string("a card of the ") + name + " lies off the table";
        for (const TPoint& a : list->Anchors)
            if (!onColumn(a.X) || !nearWindow(a.Y))
                return std::string("a column of the ") + name + " lies off the table";
        for (const TSavedCard& c : *list)
            if (c.X != t.ColumnX(t.ColumnOf(c.X)) || !onStep(area, c.Y, 1))
                return std::string("a card of the ") + name + " lies between the steps of its column";
        for (const TPoint& a : list->Anchors)
            if (a.X != t.ColumnX(t.ColumnOf(a.X)) || !onStep(area, a.Y, 0))
                return std::string("a column of the ") + name + " ends between two steps";
    }
    const TSavedCardList* rows[] = {&s.Stock, &s.OpponentHand, &s.DiscardPile, &s.SavedDiscardPile};
    for (const TSavedCardList* list : rows)
        for (int i = 0; i < list->Count; ++i) {
            const TSavedCard& c = list->Cards[static_cast<size_t>(i)];
            // A long row of the opponent's hand may reach past the window's edge.
            const int right = list == &s.OpponentHand ? std::max(t.WindowWidth, t.TableLeft + i * s.OpponentHandPitch)
                                                      : t.WindowWidth;
            if (c.X < 0 || c.X > right || !nearWindow(c.Y)) return "a card lies off the table";
        }
    return {};
}

}  // namespace

TLoadResult CheckSavedGame(const TSavedGame& s, const TGame& like) {
    if (std::string off = CheckPositions(s); !off.empty()) return {TLoadStatus::Corrupt, off};
    THeadlessHost host;
    TGame scratch(host, like.Rules, like.Config);
    std::string problem;
    try {
        ApplySavedGame(scratch, s);
        problem = CheckConsistency(scratch);
        // At every window size the game must still lie on the table.
        for (int size = 0; problem.empty() && size < kSizeCount; ++size)
            problem = CheckPositions(CaptureSavedGame(scratch, size, s.OpponentHandPitch));
        if (problem.empty() && s.PileTakeUndoable) {
            // Undoing the pending take puts the turn snapshot back: it must be sound too.
            THeadlessHost undoHost;
            TGame undone(undoHost, like.Rules, like.Config);
            ApplySavedGame(undone, s);
            undone.RestoreTurnSnapshot();
            problem = CheckConsistency(undone);
            if (!problem.empty()) problem = "turn snapshot: " + problem;
        }
    } catch (const InternalError& e) {
        problem = e.what();
    }
    if (!problem.empty()) return {TLoadStatus::Corrupt, problem};
    if (s.PileTakeUndoable) {
        // The pending take must name a real top card on the table.
        if (scratch.TakenTopCard.Rank < 3 ||
            FindLastById(scratch.Seat(TSeat::Player).Melds, scratch.TakenTopCard.Id) < 0)
            return {TLoadStatus::Corrupt, "pending take of the pile without its top card"};
    }
    return {};
}

TLoadResult LoadSavedGame(TGame& game, std::string_view bytes, TSavedGame* loaded) {
    TSavedGame s;
    TLoadResult r = ParseSavedGame(bytes, s);
    if (r.Status != TLoadStatus::Ok) return r;
    r = CheckSavedGame(s, game);
    if (r.Status != TLoadStatus::Ok) return r;
    ApplySavedGame(game, s);
    if (loaded) *loaded = s;
    return r;
}

std::string ProposedSaveName(const std::string& playerName) {
    if (playerName.empty()) return "player.can";
    std::string name;
    for (char ch : playerName)
        if (std::strchr("\"*:?\\/", ch) == nullptr) name += ch;
    if (name.size() > 250) name.resize(250);
    if (name.empty()) name = "player";
    return name + ".can";
}

// ---------------------------------------------------------------- files

namespace {
// mkstemp replaces the six X with letters and digits.
constexpr const char* kTemporarySuffix = ".tmp-";
constexpr size_t kTemporaryRandomChars = 6;
}  // namespace

TFileRead ReadSavedGameFile(const std::string& path, std::string& bytes, size_t limit) {
    // Without O_NONBLOCK, opening a named pipe waits for a writer forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? TFileRead::Missing : TFileRead::Unreadable;
    auto done = [fd](TFileRead r) {
        ::close(fd);
        return r;
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) return done(TFileRead::Unreadable);
    if (!S_ISREG(st.st_mode)) return done(TFileRead::NotARegularFile);
    if (static_cast<unsigned long long>(st.st_size) > limit) return done(TFileRead::TooLarge);
    std::string data;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return done(TFileRead::Unreadable);
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
        // The file may grow while it is read.
        if (data.size() > limit) return done(TFileRead::TooLarge);
    }
    bytes = std::move(data);
    return done(TFileRead::Ok);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, size_t limit) {
    return ReadSavedGameFile(path, bytes, limit) == TFileRead::Ok;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error) {
    std::string tmp = path + kTemporarySuffix + "XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error = "Cannot create a file next to " + path + ": " + std::strerror(errno);
        return false;
    }
    auto fail = [&](const char* what) {
        error = std::string(what) + " " + path + ": " + std::strerror(errno);
        ::close(fd);
        ::unlink(name.data());
        return false;
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail("Cannot write");
        }
        done += static_cast<size_t>(n);
    }
    if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0) return fail("Cannot write");
    if (::close(fd) != 0) {
        error = std::string("Cannot write ") + path + ": " + std::strerror(errno);
        ::unlink(name.data());
        return false;
    }
    if (::rename(name.data(), path.c_str()) != 0) {
        error = std::string("Cannot replace ") + path + ": " + std::strerror(errno);
        ::unlink(name.data());
        return false;
    }
    return true;
}

bool IsAtomicWriteLeftover(const std::string& name) {
    const std::string marker = std::string(".can") + kTemporarySuffix;
    if (name.size() <= marker.size() + kTemporaryRandomChars) return false;
    const size_t at = name.size() - kTemporaryRandomChars - marker.size();
    if (name.compare(at, marker.size(), marker) != 0) return false;
    for (size_t i = name.size() - kTemporaryRandomChars; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

int RemoveAtomicWriteLeftovers(const std::string& folder, int minAgeSeconds) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return 0;
    const auto now = fs::file_time_type::clock::now();
    int removed = 0;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const fs::path p = it->path();
        if (!IsAtomicWriteLeftover(p.filename().string())) continue;
        std::error_code e;
        // Never follow a link: only our own plain files go.
        if (!fs::is_regular_file(fs::symlink_status(p, e))) continue;
        const auto written = fs::last_write_time(p, e);
        if (e || now - written < std::chrono::seconds(minAgeSeconds)) continue;
        if (fs::remove(p, e)) ++removed;
    }
    return removed;
}

}  // namespace canasta
