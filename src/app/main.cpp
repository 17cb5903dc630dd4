// Until the table window exists: deal a hand and print both hands.
#include <cstdio>

#include "model/Game.h"
#include "rules/Consistency.h"

using namespace canasta;

static void PrintList(const char* title, const TCardList& list) {
    std::printf("%-16s", title);
    for (const TCard& c : list) std::printf(" %s", CardShortName(c.Id).c_str());
    std::printf("\n");
}

int main() {
    THeadlessHost host;
    TGame game(host);
    game.PlayerDrawsFirst = true;
    game.DealHand();
    PrintList("Your hand:", game.PlayerHand);
    PrintList("Your table:", game.PlayerMelds);
    PrintList("Computer hand:", game.OpponentHand);
    PrintList("Computer table:", game.OpponentMelds);
    std::printf("%-16s %s%s (%d cards)\n", "Discard pile:", CardShortName(game.DiscardPile.Last().Id).c_str(),
                game.PileFrozen ? " frozen" : "", game.DiscardPile.Count);
    std::printf("%-16s %d cards\n", "Stock:", game.Stock.Count);
    std::string problem = CheckConsistency(game);
    if (!problem.empty()) std::printf("inconsistent: %s\n", problem.c_str());
    return problem.empty() ? 0 : 1;
}
