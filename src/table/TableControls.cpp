// SPDX-License-Identifier: GPL-3.0-or-later
// The player's mouse and keyboard on the table, and the card-move animation.
#include <QPainter>

#include <cmath>

#include "table/CanMain.h"
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

bool SameCard(const TCard& a, const TCard& b) { return a.Id == b.Id && a.Deck == b.Deck && a.X == b.X && a.Y == b.Y; }

}  // namespace

int AnimationSteps(double distance, int cardSpeed) {
    // Round half to even, as the table has always counted its steps.
    return static_cast<int>(std::nearbyint(distance / (4 * std::max(0, cardSpeed) + 1)));
}

TfmCanMain::THitArea TfmCanMain::HitTest(int x, int y, int& index) {
    index = -1;
    const TableLayout& L = G.Layout;
    if (G.TurnPhase == TTurnPhase::HandOver) return THitArea::None;
    auto onPile = [&](int top) {
        return L.TableLeft <= x && x <= L.TableLeft + L.CardWidth && top <= y && y <= top + L.CardHeight;
    };
    // A card of a column shows a 12-pixel strip, the last one (on the anchor) all of it.
    auto hits = [&](const TCard& c, const TPoint& anchor) {
        const int visible = c.X == anchor.X && c.Y == anchor.Y ? L.CardHeight : kColumnStep;
        return c.X <= x && x <= c.X + L.CardWidth && c.Y <= y && y <= c.Y + visible;
    };
    THitArea area = THitArea::None;
    if (!G.StockExhausted && onPile(L.StockTop)) {
        area = THitArea::Stock;
    } else if (onPile(L.DiscardTop)) {
        area = THitArea::Pile;
    } else {
        for (int i = 0; i < G.Seat(TSeat::Player).Hand.Count; ++i) {
            const TCard& c = G.Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)];
            if (!hits(c, G.Seat(TSeat::Player).Hand.Anchors[c.Rank])) continue;
            index = i;
            area = c.Rank < kRankThree ? THitArea::WildInHand : THitArea::NaturalInHand;
            break;
        }
    }
    if (area != THitArea::NaturalInHand && area != THitArea::WildInHand) {
        for (int i = 0; i < G.Seat(TSeat::Player).Melds.Count; ++i) {
            const TCard& c = G.Seat(TSeat::Player).Melds.Cards[static_cast<size_t>(i)];
            const int column = L.ColumnOf(c.X);
            if (column < 0 || column >= kColumns ||
                !hits(c, G.Seat(TSeat::Player).Melds.Anchors[static_cast<size_t>(column)]))
                continue;
            index = i;
            area = column == kRankThree ? THitArea::ThreesColumn : THitArea::TableCard;
            break;
        }
    }
    if (area == THitArea::Stock || area == THitArea::Pile || area == THitArea::NaturalInHand) G.MarkGameInProgress();
    return area;
}

void TfmCanMain::FormMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) {
    if (PaintSuppressed || G.OpponentsTurn || Presenting()) return;
    const bool shift = mods.testFlag(Qt::ShiftModifier);
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    RunAction([&] {
        int index = -1;
        const THitArea area = HitTest(x, y, index);
        if (button == Qt::LeftButton) {
            // Any other gesture disarms a card armed for a double right-click.
            LastRightClicked = -1;
            RightClickCount = 0;
            switch (area) {
                case THitArea::Stock:
                    FlashDraws = true;
                    G.DrawClicked();
                    FlashDraws = false;
                    break;
                case THitArea::Pile: G.TakePile(); break;
                case THitArea::NaturalInHand: G.MeldCardGesture(index, shift, ctrl); break;
                case THitArea::TableCard:
                    G.AddWildcardGesture(G.Layout.ColumnOf(G.Seat(TSeat::Player).Melds.At(index).X), shift);
                    break;
                case THitArea::WildInHand: G.MeldWildGesture(shift, ctrl); break;
                default: break;
            }
        } else if (button == Qt::RightButton) {
            if (area == THitArea::NaturalInHand || area == THitArea::WildInHand)
                DiscardGesture(index);
            else if (area == THitArea::ThreesColumn && G.Rules.RedThreeFreezes)
                G.DiscardRedThreeFromTable(index);
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
    G.DiscardCard(index);
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
        case Qt::Key_F6: FormMouseUp(Qt::LeftButton, Qt::NoModifier, G.Layout.TableLeft, G.Layout.StockTop); break;
        case Qt::Key_F7: FormMouseUp(Qt::LeftButton, Qt::NoModifier, G.Layout.TableLeft, G.Layout.DiscardTop); break;
        default:  // F5 does nothing
            break;
    }
    return kuCommand;
}

void TfmCanMain::KeyClick(int column, Qt::KeyboardModifiers mods) {
    const TTurnPhase before = G.TurnPhase;
    const int mode = KeyMode;
    const TableLayout& L = G.Layout;
    const int x = L.TableLeft + column * L.ColumnWidth;
    const Qt::KeyboardModifiers clickMods = mods & (Qt::ShiftModifier | Qt::ControlModifier);
    if (mode == 0)
        FormMouseUp(Qt::LeftButton, clickMods, x, L.PlayerHandBase + kColumnStep);
    else if (mode == 1)
        FormMouseUp(Qt::RightButton, clickMods, x, L.PlayerHandBase + kColumnStep);
    else
        FormMouseUp(Qt::LeftButton, clickMods, x, L.PlayerMeldBase + kColumnStep);
    // The selection mode stays for the next key, as long as the player is
    // still melding: after a discard or a pass the turn has moved on.
    if (ErrorShown == 0 && G.HasDrawn && !G.OpponentsTurn && G.TurnPhase != TTurnPhase::HandOver)
        G.SetTurnPhase(before);
}

void TfmCanMain::ToggleOpponentHand() {
    G.Config.ShowOpponentCards = !G.Config.ShowOpponentCards;
    for (TCard& c : G.Seat(TSeat::Opponent).Hand) c.FaceUp = G.Config.ShowOpponentCards;
    G.Config.CardSpacing = 22 - G.Config.CardSpacing;
    View->update();
}

// ---- animation ----

bool TfmCanMain::StartMove(const TShowStep& step) {
    const TCard& card = step.Card;
    if (PaintSuppressed || !Images.IsBuilt() || !IsValidId(card.Id) || PauseScale <= 0) return false;

    const TGame& shown = Shown();
    const TableLayout& L = shown.Layout;
    const TPoint from = step.From, to = step.To;
    TCard placed = card;
    placed.X = to.X;
    placed.Y = to.Y;
    QPoint p0(from.X, from.Y), p1(to.X, to.Y);
    // The opponent's row is drawn sorted by rank, not at the cards' own X.
    if (to.Y == L.HandRowTop) {
        for (const TCard& c : shown.Seat(TSeat::Opponent).Hand)
            if (SameCard(c, placed)) p1.setX(OpponentRowX(c));
    }
    if (from.Y == L.HandRowTop) p0.setX(OpponentRowX(card));

    Frames = {};
    if (Settings.CardMovement) {
        const int steps =
            AnimationSteps(std::hypot(double(p1.x() - p0.x()), double(p1.y() - p0.y())), Settings.CardSpeed);
        if (steps > 0) {
            // A hidden card travels face down: the opponent's cards stay secret.
            Moving.Image = card.FaceUp ? Images.Face(card.Id) : Images.Back(card.Deck > 1 ? 0 : card.Deck);
            Moving.Card = placed;
            Moving.Active = true;
            Moving.Pos = p0;
            Frames.Left = steps;
            Frames.X = p0.x();
            Frames.Y = p0.y();
            Frames.StepX = double(p1.x() - p0.x()) / steps;
            Frames.StepY = double(p1.y() - p0.y()) / steps;
            // One step per frame, and no move longer than about half a second.
            Frames.Frame = std::max(1, std::min(16, 500 / steps));
        }
    }
    if (step.Flash) {
        Frames.Flash = true;
        Frames.End = p1;
        Flash.Image = Images.Selected(card.Id - 1, QColor(Qt::black));
    }
    if (Frames.Left == 0 && !Frames.Flash) return false;
    if (Frames.Left > 0) {
        tmShow.start(std::max(1, static_cast<int>(std::lround(Frames.Frame * PauseScale))));
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
