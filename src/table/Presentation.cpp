// SPDX-License-Identifier: GPL-3.0-or-later
// What the game reports is shown in order, one step after another: a card's
// move takes its frames, a pause its time, a window until it is closed. The
// game does not wait: it has already moved on, and the table paints the copy
// of the table each step kept. When everything is shown, the driver runs the
// next step of the game (the computer's turn, the end of the hand, the next
// deal) and its report is shown in turn, until a person is to move.
#include <QWidget>

#include <cmath>

#include "table/CanMain.h"
#include "table/TableView.h"

namespace canasta {

bool TfmCanMain::Presenting() const { return ShowRunning || !Shows.empty() || Thinking(); }

std::shared_ptr<TGame> TfmCanMain::TableCopy() const { return std::make_shared<TGame>(G); }

TGame& TfmCanMain::Shown() const { return ShownTable ? *ShownTable : const_cast<TGame&>(G); }

void TfmCanMain::Present(TShowStep step) { Shows.push_back(std::move(step)); }

void TfmCanMain::PresentNow(std::function<void()> action) {
    if (!Presenting()) {
        action();
        return;
    }
    TShowStep step;
    step.Do = std::move(action);
    Present(std::move(step));
}

void TfmCanMain::AnimateMove(const TCard& card, TCardPlace from, TCardPlace to) {
    TurnLog.Record(G, card, from, to);
    const bool flash = FlashDraws && !G.OpponentsTurn;
    if (PaintSuppressed || PauseScale <= 0 || (!Settings.CardMovement && !flash)) {
        View->update();
        return;
    }
    TShowStep step;
    step.Kind = TShowStep::TKind::Move;
    step.Table = TableCopy();
    step.Card = card;
    step.From = from;
    step.To = to;
    step.Flash = flash;
    Present(std::move(step));
}

void TfmCanMain::Wait(int milliseconds) {
    if (PaintSuppressed || std::lround(milliseconds * PauseScale) <= 0) return;
    TShowStep step;
    step.Kind = TShowStep::TKind::Pause;
    step.Table = TableCopy();
    step.Ms = milliseconds;
    Present(std::move(step));
}

bool TfmCanMain::ShowQueued() {
    while (!Shows.empty()) {
        TShowStep step = std::move(Shows.front());
        Shows.pop_front();
        if (step.Table) ShownTable = std::move(step.Table);
        switch (step.Kind) {
            case TShowStep::TKind::Now: step.Do(); break;
            case TShowStep::TKind::Move:
                if (StartMove(step)) {
                    ShowRunning = true;
                    return false;
                }
                break;
            case TShowStep::TKind::Pause: {
                const int ms = static_cast<int>(std::lround(step.Ms * PauseScale));
                if (ms <= 0) break;
                ShowRunning = true;
                Frames = {};
                View->update();
                tmShow.start(ms);
                return false;
            }
            case TShowStep::TKind::Window:
                ShowRunning = true;
                View->repaint();
                step.Do();
                ShowRunning = false;
                break;
        }
    }
    ShownTable.reset();
    View->update();
    return true;
}

void TfmCanMain::Advance() {
    // A step being shown goes on from its own end, a search from its result.
    if (ShowRunning || Thinking()) return;
    while (ShowQueued()) {
        NoteTurns();
        if (!Driver.HasPendingStep()) {
            AfterAction();
            return;
        }
        if (StartThinking()) return;
        Guarded([this] { Driver.Step(); });
    }
}

void TfmCanMain::tmShowTimer() {
    if (Frames.Moving) {
        const double t = double(Frames.Clock.elapsed()) / Frames.DurationMs;
        if (t < 1) {
            const double e = EaseInOut(t);
            const QPoint d = Frames.End - Frames.Start;
            Moving.Pos = Frames.Start +
                         QPoint(static_cast<int>(std::lround(d.x() * e)), static_cast<int>(std::lround(d.y() * e)));
            ++Frames.Count;
            View->repaint();
            return;
        }
        Frames.Moving = false;
        Moving.Active = false;
        ++Pace.Moves;
        Pace.Frames += Frames.Count;
        Pace.Milliseconds += Frames.Clock.elapsed();
        if (Frames.Flash) {
            // The drawn card lights up where it landed.
            Frames.Flash = false;
            Flash.Pos = Frames.End;
            Flash.Active = true;
            View->repaint();
            tmShow.start(std::max(1, static_cast<int>(std::lround(400 * PauseScale))));
            return;
        }
    }
    EndTimedStep();
}

void TfmCanMain::StopTimedStep() {
    tmShow.stop();
    Moving.Active = false;
    Flash.Active = false;
    Frames = {};
    ShowRunning = false;
}

void TfmCanMain::EndTimedStep() {
    StopTimedStep();
    View->repaint();
    Advance();
}

void TfmCanMain::ClearPresentation() {
    StopTimedStep();
    Shows.clear();
    ShownTable.reset();
}

void TfmCanMain::FinishPresentation() {
    // Without time for frames and pauses, the rest is shown at once.
    const double scale = PauseScale;
    PauseScale = 0;
    FinishThinking();
    StopTimedStep();
    Advance();
    PauseScale = scale;
}

}  // namespace canasta
