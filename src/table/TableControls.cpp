// SPDX-License-Identifier: GPL-3.0-or-later
// The player's mouse and keyboard on the table, and the card-move animation.
#include <QPainter>

#include <cmath>

#include "rules/Moves.h"
#include "table/CanMain.h"
#include "table/TableGeometry.h"
#include "table/TableView.h"

namespace canasta {

namespace {

// Column of a card key: "2".."9" are columns 1..8, "0" (ten) 9, J Q K A 10..13,
// W (wild card) 0. The shifted digits of a US keyboard count as their digits,
// so Shift and Ctrl can go with every card key. -1 for any other key.
int KeyColumn(int key) {
    switch (key) {
        case Qt::Key_2:
        case Qt::Key_At: return 1;
        case Qt::Key_3:
        case Qt::Key_NumberSign: return 2;
        case Qt::Key_4:
        case Qt::Key_Dollar: return 3;
        case Qt::Key_5:
        case Qt::Key_Percent: return 4;
        case Qt::Key_6:
        case Qt::Key_AsciiCircum: return 5;
        case Qt::Key_7:
        case Qt::Key_Ampersand: return 6;
        case Qt::Key_8:
        case Qt::Key_Asterisk: return 7;
        case Qt::Key_9:
        case Qt::Key_ParenLeft: return 8;
        case Qt::Key_0:
        case Qt::Key_ParenRight: return 9;
        case Qt::Key_J: return 10;
        case Qt::Key_Q: return 11;
        case Qt::Key_K: return 12;
        case Qt::Key_A: return 13;
        case Qt::Key_W: return 0;
        default: return -1;
    }
}

bool SameCard(const TCard& a, const TCard& b) {
    return a.Id == b.Id && a.Deck == b.Deck && a.Column == b.Column && a.Depth == b.Depth;
}

}  // namespace

int MoveDurationMs(double distance, int cardSpeed) {
    if (distance < 8) return 0;
    const double speed = std::clamp(cardSpeed, 0, 10) / 10.0;
    // 1200 ms at the slowest, 300 ms at the fastest, evenly in between on a
    // logarithmic scale (each step of the slider feels alike).
    const double across = 1200.0 * std::pow(0.25, speed);
    const double scale = std::clamp(std::sqrt(distance / 400.0), 0.5, 1.25);
    return static_cast<int>(std::lround(across * scale));
}

double EaseInOut(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t < 0.5 ? 4 * t * t * t : 1 - std::pow(-2 * t + 2, 3) / 2;
}

bool TfmCanMain::CardKeyWins(int key) const {
    const bool keyPhase = G.TurnPhase == TTurnPhase::KeyMeld || G.TurnPhase == TTurnPhase::KeyDiscard ||
                          G.TurnPhase == TTurnPhase::KeyWild;
    return keyPhase && KeyColumn(key) >= 0;
}

TfmCanMain::THitArea TfmCanMain::HitTest(int x, int y, int& index) {
    index = -1;
    const TableLayout& L = Geometry;
    if (G.TurnPhase == TTurnPhase::HandOver) return THitArea::None;
    auto onPile = [&](int top) {
        return L.TableLeft <= x && x <= L.TableLeft + L.CardWidth && top <= y && y <= top + L.CardHeight;
    };
    // A card of a column shows a 12-pixel strip, the last one of the column all of it.
    auto hits = [&](TArea area, const TCard& c, const TCardList& list) {
        const TPoint at = CardPoint(area, c);
        const int visible = c.Depth == list.Depths[c.Column] ? L.CardHeight : L.ColumnStep;
        return at.X <= x && x <= at.X + L.CardWidth && at.Y <= y && y <= at.Y + visible;
    };
    THitArea area = THitArea::None;
    if (!G.StockExhausted && onPile(L.StockTop)) {
        area = THitArea::Stock;
    } else if (onPile(L.DiscardTop)) {
        area = THitArea::Pile;
    } else {
        for (int i = 0; i < G.Seat(TSeat::Player).Hand.Count; ++i) {
            const TCard& c = G.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)];
            if (!hits(TArea::PlayerHand, c, G.Seat(TSeat::Player).Hand)) continue;
            index = i;
            area = c.Rank < kRankThree ? THitArea::WildInHand : THitArea::NaturalInHand;
            break;
        }
    }
    if (area != THitArea::NaturalInHand && area != THitArea::WildInHand) {
        for (int i = 0; i < G.Seat(TSeat::Player).Melds.Count; ++i) {
            const TCard& c = G.Seat(TSeat::Player).Melds.Cards[static_cast<size_t>(i)];
            if (!hits(TArea::PlayerMelds, c, G.Seat(TSeat::Player).Melds)) continue;
            index = i;
            area = c.Column == kRankThree ? THitArea::ThreesColumn : THitArea::TableCard;
            break;
        }
    }
    if (area == THitArea::Stock || area == THitArea::Pile || area == THitArea::NaturalInHand) G.MarkGameInProgress();
    return area;
}

void TfmCanMain::FormMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) {
    Gesture(button, mods, [&](int& index) { return HitTest(x, y, index); });
}

void TfmCanMain::Gesture(Qt::MouseButton button, Qt::KeyboardModifiers mods,
                         const std::function<THitArea(int& index)>& target) {
    if (PaintSuppressed || G.OpponentsTurn || Presenting()) return;
    const bool shift = mods.testFlag(Qt::ShiftModifier);
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    RunAction([&] {
        int index = -1;
        const THitArea area = target(index);
        if (button == Qt::LeftButton) {
            // Any other gesture disarms a card armed for a double right-click.
            LastRightClicked = -1;
            RightClickCount = 0;
            // The click becomes the move the bots and the keys make too.
            TMove move;
            switch (area) {
                case THitArea::Stock: move = {TMoveType::Draw}; break;
                case THitArea::Pile: move = {TMoveType::TakePile}; break;
                case THitArea::NaturalInHand: move = {TMoveType::MeldCard, index, shift, ctrl}; break;
                case THitArea::TableCard:
                    move = {TMoveType::AddWild, G.Seat(TSeat::Player).Melds.At(index).Column, shift};
                    break;
                case THitArea::WildInHand: move = {TMoveType::MeldWild, index, shift, ctrl}; break;
                default: break;
            }
            FlashDraws = move.Kind == TMoveType::Draw;
            ApplyMove(G, move);
            FlashDraws = false;
        } else if (button == Qt::RightButton) {
            if (area == THitArea::NaturalInHand || area == THitArea::WildInHand)
                DiscardGesture(index);
            else if (area == THitArea::ThreesColumn && G.Rules.RedThreeFreezes)
                ApplyMove(G, {TMoveType::DiscardRedThree, index});
        }
    });
}

void TfmCanMain::DiscardGesture(int index) {
    // The armed card is remembered by its place in the hand and by the card
    // itself, so a hand that changed in between never discards on one click.
    const TCard& card = G.Seat(TSeat::Player).Hand.At(index);
    if (index != LastRightClicked || !SameCard(card, ArmedCard)) {
        LastRightClicked = index;
        ArmedCard = card;
        RightClickCount = 0;
    } else if (RightClickCount < RightClicksRequired) {
        ++RightClickCount;
    }
    if (RightClickCount != RightClicksRequired) return;
    RightClickCount = 0;
    LastRightClicked = -1;
    ApplyMove(G, {TMoveType::Discard, index});
}

void TfmCanMain::FormMouseMove() {
    if (!HintShown || PaintSuppressed || Presenting()) return;
    HintShown = false;
    G.SetTurnPhase(G.TurnPhase);
}

TTurnPhase TfmCanMain::PhaseOutsideKeyModes() const {
    if (G.HasDrawn) return G.PileTakeUndoable ? TTurnPhase::PileTaken : TTurnPhase::MeldOrDiscard;
    return G.DrawsThisTurn > 0 ? TTurnPhase::DrawSecond : TTurnPhase::Draw;
}

TfmCanMain::TKeyUse TfmCanMain::FormKeyDown(int key, Qt::KeyboardModifiers mods) {
    if (PaintSuppressed) return kuNone;
    // Esc lets go of a card being dragged, before anything else.
    if (key == Qt::Key_Escape && Dragging()) {
        CancelDrag();
        return kuCommand;
    }
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    switch (key) {
        // The table's command keys belong to the table in every phase.
        case Qt::Key_F5:
        case Qt::Key_F6:
        case Qt::Key_F7:
        case Qt::Key_F8:
        case Qt::Key_F9:
        case Qt::Key_F10:
        case Qt::Key_F11:
        case Qt::Key_Escape: break;
        default: {
            // Card keys act in the keyboard selection phases only.
            const bool keyPhase = G.TurnPhase == TTurnPhase::KeyMeld || G.TurnPhase == TTurnPhase::KeyDiscard ||
                                  G.TurnPhase == TTurnPhase::KeyWild;
            const int column = KeyColumn(key);
            if (column < 0 || !keyPhase || G.OpponentsTurn) return kuNone;
            KeyClick(column, mods);
            return kuCardKey;
        }
    }
    if (key == Qt::Key_F11) {
        if (ctrl) ToggleOpponentHand();
        return kuCommand;
    }
    // Esc leaves full screen first of all.
    if (key == Qt::Key_Escape && isFullScreen()) ToggleFullScreen();
    // The rest acts on the player's turn only.
    if (G.OpponentsTurn || G.TurnPhase == TTurnPhase::HandOver) return kuCommand;
    switch (key) {
        case Qt::Key_F8:
            KeyMode = 0;
            G.SetTurnPhase(TTurnPhase::KeyMeld);
            break;
        case Qt::Key_F9:
            KeyMode = 2;
            G.SetTurnPhase(TTurnPhase::KeyWild);
            break;
        case Qt::Key_F10:
            KeyMode = 1;
            G.SetTurnPhase(TTurnPhase::KeyDiscard);
            break;
        case Qt::Key_Escape:
            // Back to the instruction that fits the turn: before the draw that
            // is the draw, not melding.
            G.SetTurnPhase(PhaseOutsideKeyModes());
            break;
        case Qt::Key_F6:
        case Qt::Key_F7:
            // A left click on the stock (while it lasts) or on the pile.
            Gesture(Qt::LeftButton, Qt::NoModifier, [&](int&) {
                const THitArea area = G.TurnPhase == TTurnPhase::HandOver ? THitArea::None
                                      : key == Qt::Key_F7                 ? THitArea::Pile
                                      : G.StockExhausted                  ? THitArea::None
                                                                          : THitArea::Stock;
                if (area != THitArea::None) G.MarkGameInProgress();
                return area;
            });
            break;
        default:  // F5 does nothing
            break;
    }
    return kuCommand;
}

TfmCanMain::THitArea TfmCanMain::KeyTarget(int column, int& index) {
    index = -1;
    if (G.TurnPhase == TTurnPhase::HandOver) return THitArea::None;
    if (KeyMode == 2) {
        // Column 0 of the player's table lies over the discard pile: the key
        // acts as a click on it.
        if (column == 0) {
            G.MarkGameInProgress();
            return THitArea::Pile;
        }
        for (int i = 0; i < G.Seat(TSeat::Player).Melds.Count; ++i) {
            const TCard& c = G.Seat(TSeat::Player).Melds.Cards[static_cast<size_t>(i)];
            if (c.Column != column || c.Depth != 1) continue;
            index = i;
            return column == kRankThree ? THitArea::ThreesColumn : THitArea::TableCard;
        }
        return THitArea::None;
    }
    // The first card of that column of the hand.
    for (int i = 0; i < G.Seat(TSeat::Player).Hand.Count; ++i) {
        const TCard& c = G.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)];
        if (c.Column != column || c.Depth != 1) continue;
        index = i;
        if (c.Rank < kRankThree) return THitArea::WildInHand;
        G.MarkGameInProgress();
        return THitArea::NaturalInHand;
    }
    return THitArea::None;
}

void TfmCanMain::KeyClick(int column, Qt::KeyboardModifiers mods) {
    const TTurnPhase before = G.TurnPhase;
    // In mode 0 a left and in mode 1 a right click on that column of the hand;
    // in mode 2 a left click on that column of the player's table.
    const Qt::MouseButton button = KeyMode == 1 ? Qt::RightButton : Qt::LeftButton;
    Gesture(button, mods & (Qt::ShiftModifier | Qt::ControlModifier),
            [&](int& index) { return KeyTarget(column, index); });
    // The selection mode stays for the next key, as long as the player is
    // still melding: after a discard or a pass the turn has moved on.
    if (ErrorShown == 0 && G.HasDrawn && !G.OpponentsTurn && G.TurnPhase != TTurnPhase::HandOver)
        G.SetTurnPhase(before);
}

void TfmCanMain::ToggleOpponentHand() {
    G.Config.ShowOpponentCards = !G.Config.ShowOpponentCards;
    for (TCard& c : G.Seat(TSeat::Opponent).Hand) c.FaceUp = G.Config.ShowOpponentCards;
    CardSpacing = 22 - CardSpacing;
    View->update();
}

// ---- animation ----

bool TfmCanMain::StartMove(const TShowStep& step) {
    const TCard& card = step.Card;
    if (PaintSuppressed || !Images.IsBuilt() || !IsValidId(card.Id) || PauseScale <= 0) return false;

    const TGame& shown = Shown();
    const TCardPlace from = step.From, to = step.To;
    const TPoint a = Geometry.PointOf(from, RowPitch(Geometry, CardSpacing)),
                 b = Geometry.PointOf(to, RowPitch(Geometry, CardSpacing));
    QPoint p0(a.X, a.Y), p1(b.X, b.Y);
    // The opponent's row is drawn sorted by rank, not in list order.
    if (to.Area == TArea::OpponentHand && to.Slot < shown.Seat(TSeat::Opponent).Hand.Count)
        p1.setX(OpponentRowX(shown.Seat(TSeat::Opponent).Hand.Cards[to.Slot]));
    if (from.Area == TArea::OpponentHand) p0.setX(OpponentRowX(card));

    Frames = {};
    if (Settings.CardMovement) {
        const int duration = static_cast<int>(std::lround(
            MoveDurationMs(std::hypot(double(p1.x() - p0.x()), double(p1.y() - p0.y())), Settings.CardSpeed) *
            PauseScale));
        if (duration > 0) {
            // A hidden card travels face down: the opponent's cards stay secret.
            Moving.Image = card.FaceUp ? Images.Face(card.Id) : Images.Back(card.Deck > 1 ? 0 : card.Deck);
            Moving.Card = card;
            Moving.Place = to;
            Moving.Active = true;
            Moving.Pos = p0;
            Frames.Moving = true;
            Frames.DurationMs = duration;
            Frames.Start = p0;
            Frames.End = p1;
            Frames.Count = 1;
            Frames.Clock.start();
        }
    }
    if (step.Flash) {
        Frames.Flash = true;
        Frames.End = p1;
        Flash.Image = Images.Selected(card.Id - 1, QColor(Qt::black));
    }
    if (!Frames.Moving && !Frames.Flash) return false;
    if (Frames.Moving) {
        // About sixty frames a second; each frame places the card by the clock.
        tmShow.start(16);
    } else {
        Flash.Pos = p1;
        Flash.Active = true;
        Frames.Flash = false;
        tmShow.start(std::max(1, static_cast<int>(std::lround(400 * PauseScale))));
    }
    View->repaint();
    return true;
}

}  // namespace canasta
