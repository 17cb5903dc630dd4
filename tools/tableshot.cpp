// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a picture of the table in the middle of a hand, for looking at the
// table at a given window size (run with QT_SCALE_FACTOR=2 for a screen of
// pixel ratio 2). The player's seat is played by the greedy bot until it is
// the player's turn on a frozen pile right after a computer turn that melded.
//   tableshot <width> <height> <out.png> [seed] [drag|hint]
// With "drag" the player draws and a card of the hand is caught mid-drag over
// its place on the table; with "hint" the player draws and asks for the hint.
// The settings go to $CANASTA_HOME: point it at a scratch folder.
#include <QApplication>
#include <QDialog>
#include <QMouseEvent>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ai/PlayerBot.h"
#include "app/AppRoot.h"
#include "dialogs/Modal.h"
#include "table/CanMain.h"

using namespace canasta;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: tableshot <width> <height> <out.png> [seed] [drag|hint]\n");
        return 2;
    }
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
    const uint32_t seed = argc > 4 ? static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)) : 7;
    const std::string scene = argc > 5 ? argv[5] : "";
    // Nobody is there to answer: every window (a forced pass, a hand's result) is accepted.
    SetModalHandler([](QDialog& d) {
        d.accept();
        return int(QDialog::Accepted);
    });
    TAppRoot root([](const std::string& message) { std::fprintf(stderr, "tableshot: %s\n", message.c_str()); });
    TStartOptions options;
    options.SplashMs = 0;
    options.ForcedSize = 0;
    TfmCanMain window(root.Parts(), options);
    window.PauseScale = 0;
    TGame& g = window.Game();
    g.FixedSeed = true;
    g.Rng.Seed = seed;
    g.PlayerDrawsFirst = true;
    window.show();
    window.resize(width, height);
    window.tmSplashTimer();
    QApplication::processEvents();

    TGreedyBot bot;
    bot.Seed(seed);
    bool computerMelded = false;
    for (int step = 0; step < 20000 && !g.QuitRequested; ++step) {
        if (IsPlayersMove(g)) {
            const bool turnStart = g.TurnStart && !g.HasDrawn;
            if (turnStart && computerMelded && g.PileFrozen && g.Stock.Count < 70) {
                if (scene == "hint") {
                    window.RunAction([&] { ApplyMove(g, {TMoveType::Draw}); });
                    window.RequestHint();
                    window.WaitForHint();
                } else if (scene == "drag") {
                    window.RunAction([&] { ApplyMove(g, {TMoveType::Draw}); });
                    // The natural whose rank has the most cards in the hand, dragged over its column.
                    const TCardList& hand = g.Seat(TSeat::Player).Hand;
                    int best = -1, most = 0;
                    for (int i = 0; i < hand.Count; ++i) {
                        if (IsWild(hand.At(i)) || hand.At(i).Rank == kRankThree) continue;
                        int n = 0;
                        for (const TCard& c : hand) n += c.Rank == hand.At(i).Rank;
                        if (n > most) best = i, most = n;
                    }
                    if (best < 0) break;
                    const TPoint at = window.CardPoint(TArea::PlayerHand, hand.At(best));
                    const QRect column = window.ColumnRectOf(hand.At(best).Rank);
                    QWidget* view = window.Table();
                    auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
                        QMouseEvent e(type, QPointF(p), view->mapToGlobal(QPointF(p)), Qt::LeftButton, buttons,
                                      Qt::ShiftModifier);
                        QApplication::sendEvent(view, &e);
                    };
                    const QPoint from(at.X + 5, at.Y + 5);
                    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
                    send(QEvent::MouseMove, from + QPoint(15, -15), Qt::LeftButton);
                    send(QEvent::MouseMove, column.center() + QPoint(6, 4), Qt::LeftButton);
                }
                window.Table()->repaint();
                QApplication::processEvents();  // the labels' new sizes laid out
                const bool saved = window.grab().save(QString::fromLocal8Bit(argv[3]), "PNG");
                window.close();
                return saved ? 0 : 1;
            }
            const int melds = g.Seat(TSeat::Opponent).Melds.Count;
            // As the window runs a move: what follows it (the computer's turn) comes with it.
            window.RunAction([&] { bot.Step(g); });
            if (g.TurnStart && !g.HasDrawn) computerMelded = g.Seat(TSeat::Opponent).Melds.Count > melds;
        } else {
            window.RunAction([] {});
        }
    }
    std::fprintf(stderr, "tableshot: no frozen pile came up; try another seed\n");
    window.close();
    return 1;
}
