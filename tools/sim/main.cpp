// SPDX-License-Identifier: GPL-3.0-or-later
// canasta-sim: plays whole matches headless between a computer level and a
// scripted player seat, or between two computer levels, and reports results
// and speed.
//
//   canasta-sim --level beginner --bot greedy --matches 1000 --seed 7 --check
//   canasta-sim --level expert --versus advanced --matches 2000 --seed 1
//
// Level against level: the first level plays the opponent seat (through the
// game driver, as against a person), the second level the player seat.
//
// --check verifies the game's invariants after every bot gesture and every
// computer turn and stops at the first violation. Same seed, same result, and
// the same signature: a hash of every hand's result, printed last.
//
//   canasta-sim bench [expected]   fixed runs of every pairing; the regression oracle
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <ctime>
#include <string>
#include <vector>

#include "ai/Advanced.h"
#include "ai/Beginner.h"
#include "ai/Expert.h"
#include "ai/Master.h"
#include "ai/PlayerBot.h"
#include "model/Game.h"
#include "rules/Consistency.h"
#include "rules/Driver.h"

using namespace canasta;

namespace {

struct TOptions {
    std::string Level = "beginner";
    std::string Bot = "greedy";
    std::string Versus;  // a second level in the player seat instead of the bot
    int Aggression = 50;
    std::string Rules = "default";
    int Matches = 100;
    uint32_t Seed = 1;
    bool Check = false;
    int OnlyMatch = -1;
    bool Trace = false;
    long DumpFrom = -1;  // with --trace: print the table after every move from this one on
    int MaxGesturesPerHand = 3000;
    int MaxHandsPerMatch = 300;
    std::vector<std::string> RuleSettings;  // "Name=value" over the chosen rule set
    // The Master's budget: a wall-clock budget per turn, or (0) a number of
    // sampled deals per decision.
    int ThinkMs = 0;
    int Samples = -1;
    int Threads = 1;
    double Margin = -1;
    int Alternatives = -1;
    std::vector<std::string> MasterOff;  // parts of the Master's search switched off
};

// Applies "Name=value" (a field of the rule options) to the rules.
bool SetRule(TRuleOptions& r, const std::string& setting) {
    const size_t eq = setting.find('=');
    if (eq == std::string::npos) return false;
    const std::string name = setting.substr(0, eq);
    const int value = std::atoi(setting.c_str() + eq + 1);
    struct Flag {
        const char* Name;
        bool TRuleOptions::*Field;
    };
    static const Flag flags[] = {
        {"CanastaRequired", &TRuleOptions::CanastaRequired},
        {"AddToCanasta", &TRuleOptions::AddToCanasta},
        {"TopCardCounts", &TRuleOptions::TopCardCounts},
        {"InitiallyFrozen", &TRuleOptions::InitiallyFrozen},
        {"NaturalPair", &TRuleOptions::NaturalPair},
        {"PairForExistingMeld", &TRuleOptions::PairForExistingMeld},
        {"RedThreeDrawsExtra", &TRuleOptions::RedThreeDrawsExtra},
        {"RedThreeFreezes", &TRuleOptions::RedThreeFreezes},
        {"BonusCounts", &TRuleOptions::BonusCounts},
        {"FrozenPerPlayer", &TRuleOptions::FrozenPerPlayer},
        {"WildCanastaAllowed", &TRuleOptions::WildCanastaAllowed},
    };
    for (const Flag& f : flags)
        if (name == f.Name) {
            r.*f.Field = value != 0;
            return true;
        }
    if ((name == "CanastasToGoOut" || name == "CardsDrawn") && (value == 1 || value == 2)) {
        (name == "CardsDrawn" ? r.CardsDrawn : r.CanastasToGoOut) = value;
        return true;
    }
    return false;
}

// Every switch drawn at random (a fuzzing aid: each match its own variant).
TRuleOptions RandomRules(uint32_t seed) {
    TRandom r(seed ^ 0xA5A5A5A5u);
    return RandomRuleOptions([&r](uint32_t n) { return r.Next(n); });
}

// A level by name.
std::unique_ptr<TComputerTurn> MakeLevel(const std::string& name, int& index, const TOptions& o) {
    if (name == "beginner" || name == "0") {
        index = 0;
        return std::make_unique<TBeginner>();
    }
    if (name == "advanced" || name == "1") {
        index = 1;
        return std::make_unique<TAdvanced>();
    }
    if (name == "expert" || name == "2") {
        index = 2;
        return std::make_unique<TExpert>();
    }
    if (name == "master" || name == "3") {
        index = 3;
        auto master = std::make_unique<TMaster>();
        master->Budget.ThinkMs = o.ThinkMs;
        master->Budget.Threads = o.Threads;
        if (o.Samples > 0) master->Budget.Samples = o.Samples;
        if (o.Margin >= 0) master->Budget.Margin = o.Margin;
        if (o.Alternatives >= 0) master->Budget.DiscardAlternatives = o.Alternatives;
        for (const std::string& part : o.MasterOff) {
            if (part == "take") master->Budget.SearchTake = false;
            if (part == "discard") master->Budget.SearchDiscard = false;
            if (part == "match-value") master->Budget.ValueMatch = false;
            if (part == "common-deals") master->Budget.CommonDeals = false;
        }
        return master;
    }
    return nullptr;
}

// CPU time of this thread: the machine is shared, wall time would measure the load.
double CpuMicros() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

// Wall time: a searching level thinks on several threads against a deadline.
double WallMicros() {
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Times of computer turns; a turn that deals the next hand may run the first
// turn of that hand inside it, whose time is not counted twice.
class TTurnClock {
public:
    explicit TTurnClock(double (*now)() = CpuMicros) : Now(now) {}
    void Enter() { Stack.push_back({Now(), 0.0}); }
    // The turn's own time.
    double Leave() {
        const TFrame f = Stack.back();
        Stack.pop_back();
        const double total = Now() - f.Start;
        if (!Stack.empty()) Stack.back().Children += total;
        return total - f.Children;
    }

private:
    struct TFrame {
        double Start, Children;
    };
    double (*Now)();
    std::vector<TFrame> Stack;
};

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = static_cast<size_t>(p * double(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

uint32_t MatchSeed(uint32_t seed, int match) {
    uint64_t z = (uint64_t(seed) << 32) + uint64_t(match) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>(z ^ (z >> 31));
}

struct TFailure {
    std::string What;
};

// FNV-1a over the numbers of every hand's result: same seeds, same games, same
// signature. Any change of play shows as a different value.
struct TSignature {
    uint64_t Value = 0xcbf29ce484222325ull;
    void Add(int64_t v) {
        for (int i = 0; i < 8; ++i) {
            Value ^= static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i));
            Value *= 0x100000001b3ull;
        }
    }
    void Add(const THandScore& s) {
        for (int v : {s.TableCount, s.TableValue, s.HandCount, s.HandValue, s.CanastaCount, s.CanastaValue,
                      s.RedThreeCount, s.RedThreeValue, s.FinishBonus, s.Total})
            Add(v);
    }
};

struct TTotals {
    int Matches = 0, Hands = 0;
    TSignature Signature;
    int ComputerWins = 0, BotWins = 0, Draws = 0;
    double MarginSum = 0;  // computer - bot at the end of each match
    double ComputerHandSum = 0, BotHandSum = 0;
    int ComputerOut = 0, BotOut = 0, NobodyOut = 0;
    long Gestures = 0, Refusals = 0, ComputerTurns = 0;
    // CPU microseconds per computer turn: [0] the level, [1] the second level.
    std::array<std::vector<double>, 2> TurnMicros;
    // Wall-clock microseconds per computer turn, likewise.
    std::array<std::vector<double>, 2> TurnWallMicros;
    // What the Master's searches did, over the matches.
    TMaster::TStats Master;
};

class TSimHost : public THeadlessHost {
public:
    TTotals* Totals = nullptr;
    const TGame* Game = nullptr;
    bool MatchOver = false;
    TMatchResult Result;
    std::function<void(const std::string&)> Trace;

    void HandFinished(const THandResult& r) override {
        const int out = Game ? Game->WentOut : woNobody;
        ++Totals->Hands;
        Totals->Signature.Add(Game ? Game->HandNumber : 0);
        Totals->Signature.Add(out);
        Totals->Signature.Add(r.Opponent);
        Totals->Signature.Add(r.Player);
        Totals->ComputerHandSum += r.Opponent.Total;
        Totals->BotHandSum += r.Player.Total;
        (out == woPlayer ? Totals->BotOut : out == woOpponent ? Totals->ComputerOut : Totals->NobodyOut)++;
        if (Trace)
            Trace("hand over: bot " + std::to_string(r.Player.Total) + ", computer " +
                  std::to_string(r.Opponent.Total) +
                  (out == woPlayer     ? " (bot went out)"
                   : out == woOpponent ? " (computer went out)"
                                       : " (stock)"));
    }
    std::optional<bool> ShowMatchResult(const TMatchResult& r) override {
        Result = r;
        MatchOver = true;
        return false;  // stop here; the simulator starts the next match itself
    }
};

// The meld rules the player's table is validated against, applied to a
// level's table after its turn: "" or the rule it breaks.
std::string ComputerMeldFault(const TGame& g, TSeat seat, int meldedBefore) {
    const TSeatState& s = g.Seat(seat);
    const TRuleOptions& rules = g.SeatRules(seat);
    std::array<int, kColumns> cards{}, wilds{};
    for (const TCard& c : s.Melds) {
        const size_t col = c.Column;
        ++cards[col];
        if (IsWild(c)) ++wilds[col];
    }
    for (int c = 3; c < kColumns; ++c) {
        const size_t k = static_cast<size_t>(c);
        if (cards[k] > 0 && cards[k] < 3)
            return "computer's column " + std::to_string(c) + " holds fewer than three cards";
        if (wilds[k] > cards[k] - wilds[k])
            return "computer's column " + std::to_string(c) + " holds more wild cards than naturals";
    }
    if (cards[kRankTwo] > 0 && cards[kRankTwo] < 7) return "computer's wild cards are melded outside a canasta";
    if (s.Hand.Empty() && s.MeldState.Canastas < rules.CanastasToGoOut)
        return "computer's hand is empty without the canastas to go out";
    const int minimum = MinimumInitialMeld(s.Score);
    if (meldedBefore == 0 && s.MeldedPoints > 0 && s.MeldedPoints < minimum &&
        !(rules.BonusCounts && s.MeldState.Canastas > 0))
        return "computer's first meld of " + std::to_string(s.MeldedPoints) + " points is below the minimum of " +
               std::to_string(minimum);
    return "";
}

// Runs the level's turn, times it, then checks the table.
class TCheckedLevel : public IComputerLevel {
public:
    using TAfter = std::function<void(TGame&, TSeat, uint32_t handBefore, int meldedBefore)>;
    // timing: which of the two levels' turn times it adds to.
    TCheckedLevel(IComputerLevel& inner, TTotals& totals, size_t timing, TAfter after)
        : Inner(inner), Totals(totals), Timing(timing), After(std::move(after)) {}
    void PlayTurn(TGame& game, TSeat seat) override {
        const uint32_t hand = game.HandNumber;
        const int melded = game.Seat(seat).MeldedPoints;
        Clock.Enter();
        Wall.Enter();
        Inner.PlayTurn(game, seat);
        Totals.TurnWallMicros[Timing].push_back(Wall.Leave());
        Totals.TurnMicros[Timing].push_back(Clock.Leave());
        After(game, seat, hand, melded);
    }
    void NewHand(TGame& game) override { Inner.NewHand(game); }

private:
    IComputerLevel& Inner;
    TTotals& Totals;
    size_t Timing;
    TAfter After;
    TTurnClock Clock;
    TTurnClock Wall{WallMicros};
};

// Level against level: the level the driver plays (the opponent seat's),
// telling the player seat's level of each deal too.
class TBothLevels : public IComputerLevel {
public:
    TBothLevels(IComputerLevel& opponentSeat, IComputerLevel& playerSeat)
        : OpponentSeat(opponentSeat), PlayerSeat(playerSeat) {}
    void PlayTurn(TGame& game, TSeat seat) override { OpponentSeat.PlayTurn(game, seat); }
    void NewHand(TGame& game) override {
        OpponentSeat.NewHand(game);
        PlayerSeat.NewHand(game);
    }

private:
    IComputerLevel& OpponentSeat;
    IComputerLevel& PlayerSeat;
};

class TSim {
public:
    explicit TSim(const TOptions& o) : Opt(o) {}

    // Plays one match; throws TFailure on a violation.
    void PlayMatch(int match) {
        const uint32_t seed = MatchSeed(Opt.Seed, match);
        Match = match;
        MatchSeedValue = seed;
        Move = 0;

        TSimHost host;
        host.Totals = &T;
        TRuleOptions rules = Opt.Rules == "standard" ? StandardRules() : TRuleOptions{};
        if (Opt.Rules == "random") rules = RandomRules(seed);
        for (const std::string& setting : Opt.RuleSettings) SetRule(rules, setting);
        TGameConfig config;
        config.Aggression = Opt.Aggression;
        TGame game(host, rules, config);
        host.Game = &game;
        if (Opt.Trace) host.Trace = [this](const std::string& s) { std::printf("  %s\n", s.c_str()); };

        int levelIndex = 0, versusIndex = 0;
        std::unique_ptr<TComputerTurn> level = MakeLevel(Opt.Level, levelIndex, Opt);
        std::unique_ptr<TComputerTurn> versus = Opt.Versus.empty() ? nullptr : MakeLevel(Opt.Versus, versusIndex, Opt);
        // Adds a Master's search figures to the totals when the match is over.
        struct TMasterStats {
            TTotals& T;
            std::array<TComputerTurn*, 2> Levels;
            ~TMasterStats() {
                for (TComputerTurn* l : Levels)
                    if (const auto* m = dynamic_cast<const TMaster*>(l)) {
                        T.Master.TakeSearches += m->Stats.TakeSearches;
                        T.Master.TakeChanged += m->Stats.TakeChanged;
                        T.Master.DiscardSearches += m->Stats.DiscardSearches;
                        T.Master.DiscardChanged += m->Stats.DiscardChanged;
                        T.Master.Samples += m->Stats.Samples;
                    }
            }
        } masterStats{T, {level.get(), versus.get()}};
        auto after = [this, &game](TGame&, TSeat seat, uint32_t, int meldedBefore) {
            ++Move;
            ++T.ComputerTurns;
            if (Opt.Trace)
                std::printf("%6ld  computer turn done (%s): stock %d, pile %d, computer hand %d\n", Move,
                            seat == TSeat::Opponent ? Opt.Level.c_str() : Opt.Versus.c_str(), game.Stock.Count,
                            game.DiscardPile.Count, game.Seat(seat).Hand.Count);
            Verify(game, "after a computer turn");
            // A turn that ended the hand left its melds to the scoring.
            if (Opt.Check && game.TurnPhase != TTurnPhase::HandOver) {
                const std::string fault = ComputerMeldFault(game, seat, meldedBefore);
                if (!fault.empty()) Fail(game, fault);
            }
        };
        TCheckedLevel checked(*level, T, 0, after);
        std::unique_ptr<TCheckedLevel> playerSeat =
            versus ? std::make_unique<TCheckedLevel>(*versus, T, 1, after) : nullptr;
        std::unique_ptr<TBothLevels> both = versus ? std::make_unique<TBothLevels>(checked, *playerSeat) : nullptr;
        game.Levels = {nullptr, nullptr, nullptr};
        game.Levels[static_cast<size_t>(levelIndex)] = both ? static_cast<IComputerLevel*>(both.get()) : &checked;
        game.Config.Level = levelIndex;
        game.FixedSeed = true;
        game.Rng.Seed = seed;
        game.PlayerDrawsFirst = (seed >> 16) & 1;

        std::unique_ptr<TPlayerBot> bot = MakePlayerBot(Opt.Bot);
        bot->Seed(seed ^ 0x5BD1E995u);
        Last = "new game";

        try {
            if (versus) {
                PlayLevels(game, host, *playerSeat);
                FinishMatch(match, host);
                return;
            }
            TGameDriver driver(game);
            game.NewGame();
            driver.Run();
            uint32_t hand = game.HandNumber;
            int handGestures = 0;
            while (!host.MatchOver) {
                if (game.HandNumber - 1 >= static_cast<uint32_t>(Opt.MaxHandsPerMatch))
                    Fail(game, "match still running after " + std::to_string(Opt.MaxHandsPerMatch) + " hands");
                if (!IsPlayersMove(game)) Fail(game, "nobody is to move");
                const TMove ge = bot->Next(game);
                if (ge.Kind == TMoveType::None) Fail(game, "the bot found nothing to do");
                Last = DescribeMove(game, ge);
                ++Move;
                if (Opt.Trace) std::printf("%6ld  bot: %s\n", Move, Last.c_str());
                bot->Apply(game, ge);
                driver.Run();
                ++T.Gestures;
                if (Opt.Trace && Opt.DumpFrom >= 0 && Move >= Opt.DumpFrom) DumpTable(game);
                Verify(game, "after the bot's gesture '" + Last + "'");
                if (game.HandNumber != hand) {
                    hand = game.HandNumber;
                    handGestures = 0;
                } else if (++handGestures > Opt.MaxGesturesPerHand) {
                    Fail(game, "more than " + std::to_string(Opt.MaxGesturesPerHand) + " bot gestures in one hand");
                }
            }
        } catch (const TFailure&) {
            throw;
        } catch (const std::exception& e) {
            Fail(game, std::string("exception: ") + e.what() + " (last bot gesture '" + Last + "')");
        }
        T.Refusals += host.ErrorCount;
        FinishMatch(match, host);
    }

    const TTotals& Totals() const { return T; }

private:
    // Level against level: the driver plays the opponent seat's level, the
    // loop the player seat's.
    void PlayLevels(TGame& game, TSimHost& host, IComputerLevel& playerSeat) {
        Last = "new game";
        TGameDriver driver(game);
        game.NewGame();
        driver.Run();
        while (!host.MatchOver) {
            if (game.HandNumber - 1 >= static_cast<uint32_t>(Opt.MaxHandsPerMatch))
                Fail(game, "match still running after " + std::to_string(Opt.MaxHandsPerMatch) + " hands");
            if (!IsPlayersMove(game)) Fail(game, "nobody is to move");
            Last = "turn of " + Opt.Versus;
            if (Opt.Trace && Opt.DumpFrom >= 0 && Move + 1 >= Opt.DumpFrom) DumpTable(game);
            playerSeat.PlayTurn(game, TSeat::Player);
            driver.Run();
        }
    }

    void FinishMatch(int match, const TSimHost& host) {
        ++T.Matches;
        const int margin = host.Result.OpponentScore - host.Result.PlayerScore;
        T.Signature.Add(host.Result.OpponentScore);
        T.Signature.Add(host.Result.PlayerScore);
        T.MarginSum += margin;
        (margin > 0 ? T.ComputerWins : margin < 0 ? T.BotWins : T.Draws)++;
        if (Opt.Trace)
            std::printf("match %d over: computer %d, bot %d\n", match, host.Result.OpponentScore,
                        host.Result.PlayerScore);
    }

    void Verify(TGame& game, const std::string& when) {
        if (!Opt.Check) return;
        const std::string problem = CheckConsistency(game);
        if (!problem.empty()) Fail(game, problem + " (" + when + ")");
    }

    [[noreturn]] void Fail(const TGame& game, const std::string& what) {
        if (Opt.Trace) DumpTable(game);
        throw TFailure{"seed " + std::to_string(Opt.Seed) + ", match " + std::to_string(Match) + " (match seed " +
                       std::to_string(MatchSeedValue) + "), hand " + std::to_string(game.HandNumber) + ", move " +
                       std::to_string(Move) + ": " + what + "\n  replay: canasta-sim --level " + Opt.Level +
                       (Opt.Versus.empty() ? " --bot " + Opt.Bot : " --versus " + Opt.Versus) + " --aggression " +
                       std::to_string(Opt.Aggression) + " --rules " + Opt.Rules + RuleArgs() + " --seed " +
                       std::to_string(Opt.Seed) + " --match " + std::to_string(Match) + " --check --trace"};
    }

    static void DumpList(const char* title, const TCardList& list, bool columns) {
        std::printf("  %-15s", title);
        for (const TCard& c : list) {
            if (columns)
                std::printf(" %s@%d", CardShortName(c.Id).c_str(), c.Column);
            else
                std::printf(" %s", CardShortName(c.Id).c_str());
        }
        std::printf("\n");
    }

    static void DumpTable(const TGame& g) {
        std::printf(
            "  phase %d, turn start %d, drawn %d, pending %d, undoable %d, frozen %d, stock %d, undo entries %zu\n",
            static_cast<int>(g.TurnPhase), g.TurnStart, g.HasDrawn, g.TopCardPending, g.PileTakeUndoable, g.PileFrozen,
            g.Stock.Count, g.UndoStack.size());
        std::printf("  canastas: bot %d, computer %d; minimum %d; validation '%s'\n",
                    g.Seat(TSeat::Player).MeldState.Canastas, g.Seat(TSeat::Opponent).MeldState.Canastas,
                    g.Seat(TSeat::Player).MinimumMeld, g.ValidationMessage.c_str());
        DumpList("bot hand", g.Seat(TSeat::Player).Hand, false);
        DumpList("bot table", g.Seat(TSeat::Player).Melds, true);
        DumpList("computer hand", g.Seat(TSeat::Opponent).Hand, false);
        DumpList("computer table", g.Seat(TSeat::Opponent).Melds, true);
        DumpList("pile", g.DiscardPile, false);
    }

    std::string RuleArgs() const {
        std::string s;
        for (const std::string& setting : Opt.RuleSettings) s += " --rule " + setting;
        return s;
    }

    const TOptions& Opt;
    TTotals T;
    int Match = 0;
    uint32_t MatchSeedValue = 0;
    long Move = 0;
    std::string Last;
};

void Usage() {
    std::fprintf(
        stderr,
        "usage: canasta-sim [--level beginner|advanced|expert|master] [--bot greedy|random]\n"
        "                   [--versus beginner|advanced|expert|master] [--aggression 0..100] [--matches N] [--seed S]\n"
        "                   [--rules default|standard|random] [--check] [--match K] [--trace]\n"
        "                   [--rule Name=value ...] [--max-gestures N] [--max-hands N]\n"
        "  --versus L   a second computer level plays the player seat (instead of --bot)\n"
        "  --aggression the Expert's aggressiveness (default 50)\n"
        "  --think-ms T the Master's wall-clock budget per turn (0: a fixed number of samples)\n"
        "  --samples N  sampled deals per Master decision without --think-ms (default 48)\n"
        "  --threads N  the Master's search threads (default 1)\n"
        "  --margin Z   standard errors a candidate must gain by to replace the Expert's choice (default 2)\n"
        "  --alternatives N  discards tried besides the Expert's (default 3)\n"
        "  --master-off P  switch off a part of the Master's search: take, discard, match-value,\n"
        "               common-deals (to measure what it is worth)\n"
        "  --rule       one rule switch over the rule set, e.g. --rule CanastasToGoOut=2\n"
        "               --rule RedThreeFreezes=1 (names as in TRuleOptions)\n"
        "  --match K    play only match K of the seed (to replay a failure)\n"
        "  --trace      print every gesture and computer turn\n"
        "  --dump-from N  with --trace, print the table after every move from move N on\n"
        "       canasta-sim bench [expected-signature]\n"
        "  bench        the fixed regression runs and their signature (see tests/sim/bench-signature)\n");
}

bool ParseOptions(int argc, char** argv, TOptions& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) return nullptr;
            return argv[++i];
        };
        const char* v = nullptr;
        if (a == "--check") {
            o.Check = true;
        } else if (a == "--trace") {
            o.Trace = true;
        } else if (a == "--help" || a == "-h") {
            return false;
        } else if (!(v = value())) {
            return false;
        } else if (a == "--level") {
            o.Level = v;
        } else if (a == "--bot") {
            o.Bot = v;
        } else if (a == "--versus") {
            o.Versus = v;
        } else if (a == "--aggression") {
            o.Aggression = std::atoi(v);
        } else if (a == "--rules") {
            o.Rules = v;
        } else if (a == "--matches") {
            o.Matches = std::atoi(v);
        } else if (a == "--seed") {
            o.Seed = static_cast<uint32_t>(std::strtoul(v, nullptr, 10));
        } else if (a == "--match") {
            o.OnlyMatch = std::atoi(v);
        } else if (a == "--max-gestures") {
            o.MaxGesturesPerHand = std::atoi(v);
        } else if (a == "--rule") {
            TRuleOptions probe;
            if (!SetRule(probe, v)) {
                std::fprintf(stderr, "bad rule setting '%s'\n", v);
                return false;
            }
            o.RuleSettings.push_back(v);
        } else if (a == "--dump-from") {
            o.DumpFrom = std::atol(v);
        } else if (a == "--max-hands") {
            o.MaxHandsPerMatch = std::atoi(v);
        } else if (a == "--think-ms") {
            o.ThinkMs = std::atoi(v);
        } else if (a == "--samples") {
            o.Samples = std::atoi(v);
        } else if (a == "--threads") {
            o.Threads = std::atoi(v);
        } else if (a == "--margin") {
            o.Margin = std::atof(v);
        } else if (a == "--alternatives") {
            o.Alternatives = std::atoi(v);
        } else if (a == "--master-off") {
            const std::string part = v;
            if (part != "take" && part != "discard" && part != "match-value" && part != "common-deals") return false;
            o.MasterOff.push_back(part);
        } else {
            return false;
        }
    }
    int index = 0;
    if (!MakeLevel(o.Level, index, o)) {
        std::fprintf(stderr, "unknown level '%s'\n", o.Level.c_str());
        return false;
    }
    if (!o.Versus.empty() && !MakeLevel(o.Versus, index, o)) {
        std::fprintf(stderr, "unknown level '%s'\n", o.Versus.c_str());
        return false;
    }
    if (o.Aggression < 0 || o.Aggression > 100) return false;
    if (o.ThinkMs < 0 || o.Threads < 1 || o.Threads > 64) return false;
    if (!MakePlayerBot(o.Bot)) {
        std::fprintf(stderr, "unknown bot '%s'\n", o.Bot.c_str());
        return false;
    }
    if (o.Rules != "default" && o.Rules != "standard" && o.Rules != "random") return false;
    return o.Matches > 0;
}

// Wilson score interval for a proportion, 95%.
void Wilson(int successes, int n, double& lo, double& hi) {
    const double z = 1.959964, p = double(successes) / n, z2 = z * z;
    const double centre = (p + z2 / (2 * n)) / (1 + z2 / n);
    const double half = z * std::sqrt(p * (1 - p) / n + z2 / (4.0 * n * n)) / (1 + z2 / n);
    lo = centre - half;
    hi = centre + half;
}

// The bench: a fixed set of runs covering every level against both bots and
// against every level, under the default, the standard and random rules, with
// the invariants checked. Its signature is the regression oracle for play:
// tests/sim/bench-signature holds the expected value.
struct TBenchRun {
    const char* Level;
    const char* Bot;     // nullptr: level against level
    const char* Versus;  // the second level
    const char* Rules;
    int Matches;
};

constexpr TBenchRun kBench[] = {
    {"beginner", "greedy", nullptr, "default", 24},   {"beginner", "random", nullptr, "default", 8},
    {"advanced", "greedy", nullptr, "default", 24},   {"advanced", "random", nullptr, "default", 8},
    {"expert", "greedy", nullptr, "default", 24},     {"expert", "random", nullptr, "default", 8},
    {"beginner", "greedy", nullptr, "standard", 20},  {"beginner", "random", nullptr, "standard", 6},
    {"advanced", "greedy", nullptr, "standard", 20},  {"advanced", "random", nullptr, "standard", 6},
    {"expert", "greedy", nullptr, "standard", 20},    {"expert", "random", nullptr, "standard", 6},
    {"beginner", "greedy", nullptr, "random", 32},    {"beginner", "random", nullptr, "random", 8},
    {"advanced", "greedy", nullptr, "random", 32},    {"advanced", "random", nullptr, "random", 8},
    {"expert", "greedy", nullptr, "random", 32},      {"expert", "random", nullptr, "random", 8},
    {"beginner", nullptr, "advanced", "default", 16}, {"advanced", nullptr, "beginner", "standard", 16},
    {"beginner", nullptr, "expert", "random", 16},    {"expert", nullptr, "beginner", "default", 16},
    {"advanced", nullptr, "expert", "standard", 16},  {"expert", nullptr, "advanced", "random", 16},
    {"beginner", nullptr, "beginner", "random", 12},  {"advanced", nullptr, "advanced", "default", 12},
    {"expert", nullptr, "expert", "standard", 12},
};

std::string Hex(uint64_t v) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return buf;
}

// Runs the bench; with an expected value, returns 1 when the signature differs.
int RunBench(const std::string& expected) {
    TSignature all;
    long hands = 0;
    int matches = 0;
    const double start = CpuMicros();
    for (const TBenchRun& b : kBench) {
        TOptions o;
        o.Level = b.Level;
        o.Bot = b.Bot ? b.Bot : "greedy";
        o.Versus = b.Versus ? b.Versus : "";
        o.Rules = b.Rules;
        o.Matches = b.Matches;
        o.Seed = 20261208;
        o.Check = true;
        TSim sim(o);
        try {
            for (int m = 0; m < o.Matches; ++m) sim.PlayMatch(m);
        } catch (const TFailure& f) {
            std::printf("VIOLATION at %s\n", f.What.c_str());
            return 1;
        }
        const TTotals& t = sim.Totals();
        std::printf("%-8s vs %-8s %-8s %3d matches %5d hands  %s\n", b.Level, b.Bot ? b.Bot : b.Versus, b.Rules,
                    t.Matches, t.Hands, Hex(t.Signature.Value).c_str());
        all.Add(static_cast<int64_t>(t.Signature.Value));
        hands += t.Hands;
        matches += t.Matches;
    }
    const double seconds = (CpuMicros() - start) / 1e6;
    std::printf("bench: %d matches, %ld hands, %.2f s CPU, %.0f hands per CPU-second\n", matches, hands, seconds,
                hands / seconds);
    std::printf("signature %s\n", Hex(all.Value).c_str());
    if (expected.empty()) return 0;
    if (expected == Hex(all.Value)) {
        std::printf("signature matches\n");
        return 0;
    }
    std::printf(
        "signature differs from the expected %s: the same seeds no longer play the same games.\n"
        "If the change of play is intended, put the new value in tests/sim/bench-signature\n"
        "in a commit of its own that says why play changed.\n",
        expected.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "bench") == 0) {
        if (argc > 3) {
            std::fprintf(stderr, "usage: canasta-sim bench [expected-signature]\n");
            return 2;
        }
        return RunBench(argc == 3 ? argv[2] : "");
    }
    TOptions o;
    if (!ParseOptions(argc, argv, o)) {
        Usage();
        return 2;
    }
    TSim sim(o);
    const auto start = std::chrono::steady_clock::now();
    try {
        if (o.OnlyMatch >= 0) {
            sim.PlayMatch(o.OnlyMatch);
        } else {
            for (int m = 0; m < o.Matches; ++m) sim.PlayMatch(m);
        }
    } catch (const TFailure& f) {
        std::printf("VIOLATION at %s\n", f.What.c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const TTotals& t = sim.Totals();

    std::string rules = o.Rules;
    for (const std::string& setting : o.RuleSettings) rules += " " + setting;
    const bool versus = !o.Versus.empty();
    const std::string other = versus ? o.Versus : "bot";
    const char* second = other.c_str();
    std::printf("level %s vs %s %s, rules %s, aggression %d, seed %u%s\n", o.Level.c_str(), versus ? "level" : "bot",
                versus ? o.Versus.c_str() : o.Bot.c_str(), rules.c_str(), o.Aggression, o.Seed,
                o.Check ? ", invariants checked after every move" : "");
    std::printf("matches            %d\n", t.Matches);
    std::printf("hands              %d (%.2f per match; went out: %s %d, %s %d, nobody %d)\n", t.Hands,
                double(t.Hands) / t.Matches, o.Level.c_str(), t.ComputerOut, second, t.BotOut, t.NobodyOut);
    std::printf("wins               %s %d, %s %d, draws %d\n", o.Level.c_str(), t.ComputerWins, second, t.BotWins,
                t.Draws);
    double lo = 0, hi = 0;
    Wilson(t.ComputerWins, t.Matches, lo, hi);
    std::printf("%s win rate  %.3f (95%% CI %.3f .. %.3f)\n", o.Level.c_str(), double(t.ComputerWins) / t.Matches, lo,
                hi);
    std::printf("mean match margin  %+.1f (%s - %s)\n", t.MarginSum / t.Matches, o.Level.c_str(), second);
    std::printf("mean hand score    %s %+.1f, %s %+.1f\n", o.Level.c_str(), t.ComputerHandSum / t.Hands, second,
                t.BotHandSum / t.Hands);
    if (!versus) std::printf("bot gestures       %ld (%ld refusals shown)\n", t.Gestures, t.Refusals);
    for (int i = 0; i < (versus ? 2 : 1); ++i) {
        const auto& v = t.TurnMicros[static_cast<size_t>(i)];
        std::printf("turn CPU time      %s: %zu turns, median %.0f us, 99th percentile %.0f us, max %.0f us\n",
                    i == 0 ? o.Level.c_str() : o.Versus.c_str(), v.size(), Percentile(v, 0.5), Percentile(v, 0.99),
                    Percentile(v, 1.0));
        const auto& w = t.TurnWallMicros[static_cast<size_t>(i)];
        std::printf("turn wall time     %s: median %.0f us, 99th percentile %.0f us, max %.0f us\n",
                    i == 0 ? o.Level.c_str() : o.Versus.c_str(), Percentile(w, 0.5), Percentile(w, 0.99),
                    Percentile(w, 1.0));
    }
    if (t.Master.TakeSearches + t.Master.DiscardSearches > 0)
        std::printf("master searches    take %ld (changed %ld), discard %ld (changed %ld), %.1f samples each\n",
                    t.Master.TakeSearches, t.Master.TakeChanged, t.Master.DiscardSearches, t.Master.DiscardChanged,
                    double(t.Master.Samples) / double(t.Master.TakeSearches + t.Master.DiscardSearches));
    std::printf("time               %.2f s, %.0f hands per second\n", seconds, t.Hands / seconds);
    std::printf("signature          %s\n", Hex(t.Signature.Value).c_str());
    return 0;
}
