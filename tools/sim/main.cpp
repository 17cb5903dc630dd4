// canasta-sim: plays whole matches headless between a computer level and a
// scripted player seat, and reports results and speed.
//
//   canasta-sim --level beginner --bot greedy --matches 1000 --seed 7 --check
//
// --check verifies the game's invariants after every bot gesture and every
// computer turn and stops at the first violation. Same seed, same result.
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ai/Beginner.h"
#include "ai/PlayerBot.h"
#include "model/Game.h"
#include "rules/Consistency.h"

using namespace canasta;

namespace {

struct TOptions {
    std::string Level = "beginner";
    std::string Bot = "greedy";
    std::string Rules = "default";
    int Matches = 100;
    uint32_t Seed = 1;
    bool Check = false;
    int OnlyMatch = -1;
    bool Trace = false;
    long DumpFrom = -1;  // with --trace: print the table after every move from this one on
    int MaxGesturesPerHand = 3000;
    int MaxHandsPerMatch = 300;
    int Size = 0;                           // window size index 0..3
    std::vector<std::string> RuleSettings;  // "Name=value" over the chosen rule set
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
    TRuleOptions o;
    o.CanastaRequired = r.Next(2);
    o.CanastasToGoOut = 1 + static_cast<int>(r.Next(2));
    o.CardsDrawn = 1 + static_cast<int>(r.Next(2));
    o.AddToCanasta = r.Next(2);
    o.TopCardCounts = r.Next(2);
    o.InitiallyFrozen = r.Next(2);
    o.NaturalPair = r.Next(2);
    o.PairForExistingMeld = r.Next(2);
    o.RedThreeDrawsExtra = r.Next(2);
    o.RedThreeFreezes = r.Next(2);
    o.BonusCounts = r.Next(2);
    o.FrozenPerPlayer = r.Next(2);
    o.WildCanastaAllowed = r.Next(2);
    return o;
}

// A level by name; later levels add themselves here.
std::unique_ptr<TComputerTurn> MakeLevel(const std::string& name, int& index) {
    if (name == "beginner" || name == "0") {
        index = 0;
        return std::make_unique<TBeginner>();
    }
    return nullptr;
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

struct TTotals {
    int Matches = 0, Hands = 0;
    int ComputerWins = 0, BotWins = 0, Draws = 0;
    double MarginSum = 0;  // computer - bot at the end of each match
    double ComputerHandSum = 0, BotHandSum = 0;
    int ComputerOut = 0, BotOut = 0, NobodyOut = 0;
    long Gestures = 0, Refusals = 0, ComputerTurns = 0;
};

class TSimHost : public THeadlessHost {
public:
    TTotals* Totals = nullptr;
    const TGame* Game = nullptr;
    bool MatchOver = false;
    TMatchResult Result;
    std::function<void(const std::string&)> Trace;

    void HandFinished(const THandResult& r) override {
        ++Totals->Hands;
        Totals->ComputerHandSum += r.Opponent.Total;
        Totals->BotHandSum += r.Player.Total;
        const int out = Game ? Game->WentOut : woNobody;
        (out == woPlayer ? Totals->BotOut : out == woOpponent ? Totals->ComputerOut : Totals->NobodyOut)++;
        if (Trace)
            Trace("hand over: bot " + std::to_string(r.Player.Total) + ", computer " +
                  std::to_string(r.Opponent.Total) +
                  (out == woPlayer     ? " (bot went out)"
                   : out == woOpponent ? " (computer went out)"
                                       : " (stock)"));
    }
    bool ShowMatchResult(const TMatchResult& r) override {
        Result = r;
        MatchOver = true;
        return false;  // stop here; the simulator starts the next match itself
    }
};

// The meld rules the player's table is validated against, applied to the
// computer's table after its turn: "" or the rule it breaks.
std::string ComputerMeldFault(const TGame& g, int meldedBefore) {
    std::array<int, kColumns> cards{}, wilds{};
    for (const TCard& c : g.OpponentMelds) {
        const size_t col = static_cast<size_t>(g.Layout.ColumnOf(c.X));
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
    const int minimum = MinimumInitialMeld(g.OpponentScore);
    if (meldedBefore == 0 && g.OpponentMeldedPoints > 0 && g.OpponentMeldedPoints < minimum &&
        !(g.Rules.BonusCounts && g.OpponentMeldState.Canastas > 0))
        return "computer's first meld of " + std::to_string(g.OpponentMeldedPoints) +
               " points is below the minimum of " + std::to_string(minimum);
    return "";
}

// Runs the level's turn, then checks the table.
class TCheckedLevel : public IComputerLevel {
public:
    using TAfter = std::function<void(TGame&, uint32_t handBefore, int meldedBefore)>;
    TCheckedLevel(IComputerLevel& inner, TAfter after) : Inner(inner), After(std::move(after)) {}
    void PlayTurn(TGame& game) override {
        const uint32_t hand = game.HandNumber;
        const int melded = game.OpponentMeldedPoints;
        Inner.PlayTurn(game);
        After(game, hand, melded);
    }
    void NewHand(TGame& game) override { Inner.NewHand(game); }

private:
    IComputerLevel& Inner;
    TAfter After;
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
        TGame game(host, rules, ComputeLayout(Opt.Size), config);
        host.Game = &game;
        if (Opt.Trace) host.Trace = [this](const std::string& s) { std::printf("  %s\n", s.c_str()); };

        int levelIndex = 0;
        std::unique_ptr<TComputerTurn> level = MakeLevel(Opt.Level, levelIndex);
        TCheckedLevel checked(*level, [this, &game](TGame&, uint32_t handBefore, int meldedBefore) {
            ++Move;
            ++T.ComputerTurns;
            if (Opt.Trace)
                std::printf("%6ld  computer turn done: stock %d, pile %d, computer hand %d\n", Move, game.Stock.Count,
                            game.DiscardPile.Count, game.OpponentHand.Count);
            Verify(game, "after a computer turn");
            // A turn that ended the hand left the next hand's table behind.
            if (Opt.Check && game.HandNumber == handBefore && !game.QuitRequested) {
                const std::string fault = ComputerMeldFault(game, meldedBefore);
                if (!fault.empty()) Fail(game, fault);
            }
        });
        game.Levels = {nullptr, nullptr, nullptr};
        game.Levels[static_cast<size_t>(levelIndex)] = &checked;
        game.Config.Level = levelIndex;
        game.FixedSeed = true;
        game.Rng.Seed = seed;
        game.PlayerDrawsFirst = (seed >> 16) & 1;

        std::unique_ptr<TPlayerBot> bot = MakePlayerBot(Opt.Bot);
        bot->Seed(seed ^ 0x5BD1E995u);
        Last = "new game";

        try {
            game.NewGame();
            uint32_t hand = game.HandNumber;
            int handGestures = 0;
            while (!host.MatchOver) {
                if (game.HandNumber - 1 >= static_cast<uint32_t>(Opt.MaxHandsPerMatch))
                    Fail(game, "match still running after " + std::to_string(Opt.MaxHandsPerMatch) + " hands");
                if (!IsPlayersMove(game)) Fail(game, "nobody is to move");
                const TGesture ge = bot->Next(game);
                if (ge.Kind == TGestureKind::None) Fail(game, "the bot found nothing to do");
                Last = DescribeGesture(game, ge);
                ++Move;
                if (Opt.Trace) std::printf("%6ld  bot: %s\n", Move, Last.c_str());
                bot->Apply(game, ge);
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
        ++T.Matches;
        const int margin = host.Result.OpponentScore - host.Result.PlayerScore;
        T.MarginSum += margin;
        (margin > 0 ? T.ComputerWins : margin < 0 ? T.BotWins : T.Draws)++;
        if (Opt.Trace)
            std::printf("match %d over: computer %d, bot %d\n", match, host.Result.OpponentScore,
                        host.Result.PlayerScore);
    }

    const TTotals& Totals() const { return T; }

private:
    void Verify(TGame& game, const std::string& when) {
        if (!Opt.Check) return;
        const std::string problem = CheckConsistency(game);
        if (!problem.empty()) Fail(game, problem + " (" + when + ")");
    }

    [[noreturn]] void Fail(const TGame& game, const std::string& what) {
        if (Opt.Trace) DumpTable(game);
        throw TFailure{"seed " + std::to_string(Opt.Seed) + ", match " + std::to_string(Match) + " (match seed " +
                       std::to_string(MatchSeedValue) + "), hand " + std::to_string(game.HandNumber) + ", move " +
                       std::to_string(Move) + ": " + what + "\n  replay: canasta-sim --level " + Opt.Level + " --bot " +
                       Opt.Bot + " --rules " + Opt.Rules + RuleArgs() + " --size " + std::to_string(Opt.Size) +
                       " --seed " + std::to_string(Opt.Seed) + " --match " + std::to_string(Match) +
                       " --check --trace"};
    }

    static void DumpList(const char* title, const TCardList& list, const TableLayout* columns) {
        std::printf("  %-15s", title);
        for (const TCard& c : list) {
            if (columns)
                std::printf(" %s@%d", CardShortName(c.Id).c_str(), columns->ColumnOf(c.X));
            else
                std::printf(" %s", CardShortName(c.Id).c_str());
        }
        std::printf("\n");
    }

    static void DumpTable(const TGame& g) {
        std::printf(
            "  phase %d, turn start %d, drawn %d, pending %d, undoable %d, frozen %d, stock %d, undo entries %zu\n",
            g.TurnPhase, g.TurnStart, g.HasDrawn, g.TopCardPending, g.PileTakeUndoable, g.PileFrozen, g.Stock.Count,
            g.UndoStack.size());
        std::printf("  canastas: bot %d, computer %d; minimum %d; validation '%s'\n", g.PlayerMeldState.Canastas,
                    g.OpponentMeldState.Canastas, g.PlayerMinimumMeld, g.ValidationMessage.c_str());
        DumpList("bot hand", g.PlayerHand, nullptr);
        DumpList("bot table", g.PlayerMelds, &g.Layout);
        DumpList("computer hand", g.OpponentHand, nullptr);
        DumpList("computer table", g.OpponentMelds, &g.Layout);
        DumpList("pile", g.DiscardPile, nullptr);
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
    std::fprintf(stderr,
                 "usage: canasta-sim [--level beginner] [--bot greedy|random] [--matches N] [--seed S]\n"
                 "                   [--rules default|standard|random] [--check] [--match K] [--trace]\n"
                 "                   [--rule Name=value ...] [--size 0..3] [--max-gestures N] [--max-hands N]\n"
                 "  --rule       one rule switch over the rule set, e.g. --rule CanastasToGoOut=2\n"
                 "               --rule RedThreeFreezes=1 (names as in TRuleOptions)\n"
                 "  --match K    play only match K of the seed (to replay a failure)\n"
                 "  --trace      print every gesture and computer turn\n"
                 "  --dump-from N  with --trace, print the table after every move from move N on\n");
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
        } else if (a == "--size") {
            o.Size = std::atoi(v);
        } else if (a == "--max-hands") {
            o.MaxHandsPerMatch = std::atoi(v);
        } else {
            return false;
        }
    }
    int index = 0;
    if (!MakeLevel(o.Level, index)) {
        std::fprintf(stderr, "unknown level '%s'\n", o.Level.c_str());
        return false;
    }
    if (!MakePlayerBot(o.Bot)) {
        std::fprintf(stderr, "unknown bot '%s'\n", o.Bot.c_str());
        return false;
    }
    if (o.Rules != "default" && o.Rules != "standard" && o.Rules != "random") return false;
    return o.Matches > 0 && o.Size >= 0 && o.Size < kSizeCount;
}

// Wilson score interval for a proportion, 95%.
void Wilson(int successes, int n, double& lo, double& hi) {
    const double z = 1.959964, p = double(successes) / n, z2 = z * z;
    const double centre = (p + z2 / (2 * n)) / (1 + z2 / n);
    const double half = z * std::sqrt(p * (1 - p) / n + z2 / (4.0 * n * n)) / (1 + z2 / n);
    lo = centre - half;
    hi = centre + half;
}

}  // namespace

int main(int argc, char** argv) {
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
    std::printf("level %s vs bot %s, rules %s, seed %u%s\n", o.Level.c_str(), o.Bot.c_str(), rules.c_str(), o.Seed,
                o.Check ? ", invariants checked after every move" : "");
    std::printf("matches            %d\n", t.Matches);
    std::printf("hands              %d (%.1f per match; went out: computer %d, bot %d, nobody %d)\n", t.Hands,
                double(t.Hands) / t.Matches, t.ComputerOut, t.BotOut, t.NobodyOut);
    std::printf("wins               computer %d, bot %d, draws %d\n", t.ComputerWins, t.BotWins, t.Draws);
    double lo = 0, hi = 0;
    Wilson(t.ComputerWins, t.Matches, lo, hi);
    std::printf("computer win rate  %.3f (95%% CI %.3f .. %.3f)\n", double(t.ComputerWins) / t.Matches, lo, hi);
    std::printf("mean match margin  %+.1f (computer - bot)\n", t.MarginSum / t.Matches);
    std::printf("mean hand score    computer %+.1f, bot %+.1f\n", t.ComputerHandSum / t.Hands, t.BotHandSum / t.Hands);
    std::printf("bot gestures       %ld (%ld refusals shown), computer turns %ld\n", t.Gestures, t.Refusals,
                t.ComputerTurns);
    std::printf("time               %.2f s, %.0f hands per second\n", seconds, t.Hands / seconds);
    return 0;
}
