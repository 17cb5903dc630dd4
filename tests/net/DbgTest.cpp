#include <cstdlib>
#include <sstream>
#include "NetPair.h"
namespace canasta::test {
TEST(Dbg, Seed) {
    int seed = std::atoi(std::getenv("SEED"));
        TRuleOptions r;
        TRandom rng(static_cast<uint32_t>(seed));
        r.CanastaRequired = rng.Next(2);
        r.CanastasToGoOut = 1 + static_cast<int>(rng.Next(2));
        r.CardsDrawn = 1 + static_cast<int>(rng.Next(2));
        r.AddToCanasta = rng.Next(2);
        r.TopCardCounts = rng.Next(2);
        r.InitiallyFrozen = rng.Next(2);
        r.NaturalPair = rng.Next(2);
        r.PairForExistingMeld = rng.Next(2);
        r.RedThreeDrawsExtra = rng.Next(2);
        r.RedThreeFreezes = rng.Next(2);
        r.BonusCounts = rng.Next(2);
        r.FrozenPerPlayer = rng.Next(2);
        r.WildCanastaAllowed = rng.Next(2);
    const char* bots[] = {"random", "greedy"};
    TNetPair p(bots[seed % 2], bots[(seed / 2) % 2], static_cast<uint32_t>(seed), r);
    size_t seen = 0;
    p.A.Record = p.B.Record = true;
    struct H : THeadlessHost {};
    p.A.G.PlayerDrawsFirst = true;
    p.A.G.DealHand();
    p.DeliverAll();
    for (int step = 0; step < 200000 && p.A.HandLines.size() < 3; ++step) {
        for (int s = 0; s < 2; ++s) {
            TNetSide& side = s == 0 ? p.A : p.B;
            TPlayerBot& bot = s == 0 ? *p.BotA : *p.BotB;
            if (!IsPlayersMove(side.G)) continue;
            bot.Step(side.G);
            p.DeliverAll();
            for (; seen < p.Log.size(); ++seen)
                std::printf("%s | A: mp %d ppbt %d opbt %d omp %d | B: mp %d ppbt %d opbt %d omp %d\n", p.Log[seen].c_str(),
                    p.A.G.MeldedPoints(false), p.A.G.PlayerPointsBeforeTurn, p.A.G.OpponentPointsBeforeTurn, p.A.G.OpponentMeldedPoints,
                    p.B.G.MeldedPoints(false), p.B.G.PlayerPointsBeforeTurn, p.B.G.OpponentPointsBeforeTurn, p.B.G.OpponentMeldedPoints);
        }
    }
    auto pr = [](const char* w, const THandScore& s) { std::printf("%s table %d/%d hand %d/%d can %d/%d red %d/%d bonus %d total %d\n", w, s.TableCount, s.TableValue, s.HandCount, s.HandValue, s.CanastaCount, s.CanastaValue, s.RedThreeCount, s.RedThreeValue, s.FinishBonus, s.Total); };
    for (size_t i = 0; i < p.A.Hands.size(); ++i) { pr("A.player  ", p.A.Hands[i].Player); pr("B.opponent", p.B.Hands[i].Opponent); pr("A.opponent", p.A.Hands[i].Opponent); pr("B.player  ", p.B.Hands[i].Player);}
}
}
