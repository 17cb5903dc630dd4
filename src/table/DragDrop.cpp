// SPDX-License-Identifier: GPL-3.0-or-later
// Cards dragged from the hand to the table or the pile, beside the clicks;
// and the hint, computed off the GUI thread and marked on the table.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QThread>

#include <algorithm>
#include <cmath>

#include "rules/TurnAccount.h"
#include "table/CanMain.h"
#include "table/TableGeometry.h"
#include "table/TableView.h"

namespace canasta {

namespace {

bool SameCard(const TCard& a, const TCard& b) {
    return a.Id == b.Id && a.Deck == b.Deck && a.Column == b.Column && a.Depth == b.Depth;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A refused drop flies home this fast (before the pause scale).
constexpr int kSpringMs = 160;

}  // namespace

// ---- where a drop goes ----

QRect TfmCanMain::PileRect() const {
    const TableLayout& L = Geometry;
    return {L.TableLeft, L.DiscardTop, L.CardWidth, L.CardHeight};
}

QRect TfmCanMain::ColumnRect(int column) const {
    const TableLayout& L = Geometry;
    const int deepest = std::max(1, static_cast<int>(G.Seat(TSeat::Player).Melds.Depths[static_cast<size_t>(column)]));
    const int top = L.DepthY(TArea::PlayerMelds, 1);
    const int bottom = L.DepthY(TArea::PlayerMelds, deepest) + L.CardHeight;
    return {L.ColumnX(column), top, L.CardWidth, bottom - top};
}

QRect TfmCanMain::PlaceRect(const TCardPlace& place) const {
    const TableLayout& L = Geometry;
    const TPoint at = L.PointOf(place, RowPitch(L, CardSpacing));
    return {at.X, at.Y, L.CardWidth, L.CardHeight};
}

TfmCanMain::TDropTarget TfmCanMain::DropTargetAt(int index, QPoint at, Qt::KeyboardModifiers mods) const {
    TDropTarget t;
    const TCardList& hand = G.Seat(TSeat::Player).Hand;
    if (index < 0 || index >= hand.Count) return t;
    const TCard& card = hand.At(index);
    const bool shift = mods.testFlag(Qt::ShiftModifier), ctrl = mods.testFlag(Qt::ControlModifier);
    const TableLayout& L = Geometry;
    if (PileRect().adjusted(-4, -4, 4, 4).contains(at)) {
        t.Kind = TDropTarget::TKind::Pile;
        t.Move = {TMoveType::Discard, index};
    } else {
        // The player's table: the columns between the centre line and the hand.
        const int top = L.CentreLine + 2, bottom = L.PlayerHandBase + L.ColumnStep;
        const int column = at.x() >= L.TableLeft ? L.ColumnOf(at.x()) : -1;
        if (at.y() < top || at.y() >= bottom || column < 1 || column >= kColumns) return t;
        const bool occupied = CountInColumn(G.Seat(TSeat::Player).Melds, column) > 0;
        t.Column = column;
        if (!IsWild(card)) {
            // A natural has one column, its rank's; an empty place starts it.
            if (column == card.Rank || !occupied) {
                const bool started = CountInColumn(G.Seat(TSeat::Player).Melds, card.Rank) > 0;
                t.Kind = started ? TDropTarget::TKind::Column : TDropTarget::TKind::NewMeld;
                t.Column = card.Rank;
                t.Move = {TMoveType::MeldCard, index, shift, ctrl};
            } else {
                t.Kind = TDropTarget::TKind::WrongColumn;
                t.Why = QStringLiteral("The %1 can only be melded with the %2.")
                            .arg(Q(CardName(card.Id)), Q(RankPlural(card.Rank)));
            }
        } else if (column == kRankThree) {
            t.Kind = TDropTarget::TKind::WrongColumn;
            t.Why = QStringLiteral("Wild cards cannot be melded with threes.");
        } else if (occupied) {
            t.Kind = TDropTarget::TKind::Column;
            t.Move = {TMoveType::AddWild, column, shift};
        } else {
            // Wild cards alone make a meld of wild cards in their own column.
            t.Kind = TDropTarget::TKind::NewMeld;
            t.Column = kRankTwo;
            t.Move = {TMoveType::MeldWild, index, shift, ctrl};
        }
    }
    if (t.Move.Kind != TMoveType::None) {
        const TLegality legal = IsLegal(G, TSeat::Player, t.Move);
        t.Legal = legal.Legal;
        t.Why = Q(legal.Why);
        if (!t.Legal && t.Why.isEmpty())
            t.Why = QStringLiteral("The %1 cannot go there now.").arg(Q(CardName(card.Id)));
    }
    return t;
}

std::vector<int> TfmCanMain::DragGroup(int index, Qt::KeyboardModifiers mods) const {
    const TCardList& hand = G.Seat(TSeat::Player).Hand;
    std::vector<int> group{index};
    const bool shift = mods.testFlag(Qt::ShiftModifier), ctrl = mods.testFlag(Qt::ControlModifier);
    if (!shift && !ctrl) return group;
    const TCard& card = hand.At(index);
    const size_t most = shift ? 7 : 3;
    for (int i = 0; i < hand.Count && group.size() < most; ++i) {
        const TCard& c = hand.At(i);
        const bool same = IsWild(card) ? IsWild(c) : c.Rank == card.Rank;
        if (i != index && same) group.push_back(i);
    }
    return group;
}

// ---- the mouse ----

void TfmCanMain::FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) {
    // Another button pressed while a card is carried leaves the drag alone.
    if (Drag.Active) return;
    Drag = {};
    if (button != Qt::LeftButton || PaintSuppressed) return;
    const TableLayout& L = Geometry;
    const TCardList& hand = G.Seat(TSeat::Player).Hand;
    // The same strips a click finds: the last card of a column shows whole.
    for (int i = 0; i < hand.Count; ++i) {
        const TCard& c = hand.At(i);
        const TPoint at = CardPoint(TArea::PlayerHand, c);
        const int visible = c.Depth == hand.Depths[c.Column] ? L.CardHeight : L.ColumnStep;
        if (!(at.X <= x && x <= at.X + L.CardWidth && at.Y <= y && y <= at.Y + visible)) continue;
        Drag.Pressed = true;
        Drag.PressAt = {x, y};
        Drag.Grab = QPoint(x - at.X, y - at.Y);
        Drag.Index = i;
        Drag.Card = c;
        Drag.Mods = mods;
        return;
    }
}

void TfmCanMain::StartDrag(Qt::KeyboardModifiers mods) {
    Drag.Active = true;
    Drag.Position = StateFingerprint(G);
    if (Spring.Active) {
        tmSpring.stop();
        Spring.Active = false;
    }
    // The places that take the card light up: its column (or a new meld),
    // the pile, and for a wild card every meld it may join.
    const TCard& card = Drag.Card;
    std::vector<QPoint> probes{PileRect().center()};
    if (IsWild(card)) {
        for (int c = 1; c < kColumns; ++c)
            if (c != kRankThree) probes.push_back(ColumnRect(c).center());
    } else {
        probes.push_back(ColumnRect(card.Rank).center());
    }
    Drag.Lit.clear();
    for (QPoint p : probes) {
        TDropTarget t = DropTargetAt(Drag.Index, p, mods);
        const bool known = std::any_of(Drag.Lit.begin(), Drag.Lit.end(),
                                       [&](const TDropTarget& l) { return l.Kind == t.Kind && l.Column == t.Column; });
        if (t.Legal && !known) Drag.Lit.push_back(t);
    }
    View->setCursor(Qt::ClosedHandCursor);
}

bool TfmCanMain::FormDragMove(Qt::KeyboardModifiers mods, int x, int y) {
    if (!Drag.Pressed) return false;
    if (!Drag.Active) {
        if ((QPoint(x, y) - Drag.PressAt).manhattanLength() < QApplication::startDragDistance()) return false;
        const TCardList& hand = G.Seat(TSeat::Player).Hand;
        // Only the player's own turn takes a card, and only the card pressed.
        if (PaintSuppressed || Presenting() || !IsPlayersMove(G) || Drag.Index >= hand.Count ||
            !SameCard(hand.At(Drag.Index), Drag.Card)) {
            Drag = {};
            return false;
        }
        StartDrag(mods);
    }
    Drag.At = {x, y};
    Drag.Mods = mods;
    Drag.Cards.clear();
    for (int i : DragGroup(Drag.Index, mods)) Drag.Cards.push_back(G.Seat(TSeat::Player).Hand.At(i));
    View->update();
    return true;
}

void TfmCanMain::EndDrag() {
    Drag = {};
    View->unsetCursor();
    View->update();
}

bool TfmCanMain::FormDrop(Qt::KeyboardModifiers mods, int x, int y) {
    if (!Drag.Active) {
        Drag = {};
        return false;
    }
    const TDrag drag = Drag;
    const QPoint cardAt = QPoint(x, y) - drag.Grab;
    EndDrag();
    // The table moved on under the drag (a network move arrived): the card
    // goes home, as a click on a table being shown is dropped.
    if (PaintSuppressed || Presenting() || !IsPlayersMove(G) || StateFingerprint(G) != drag.Position) {
        Spring.Cards = drag.Cards;
        SpringBack(cardAt);
        return true;
    }
    const TDropTarget t = DropTargetAt(drag.Index, {x, y}, mods);
    if (t.Legal) {
        RunAction([&] {
            // As a click does: any other gesture disarms a card armed for a double right-click.
            LastRightClicked = -1;
            RightClickCount = 0;
            if (t.Move.Kind == TMoveType::MeldCard) G.MarkGameInProgress();
            ApplyMove(G, t.Move);
        });
        return true;
    }
    Spring.Cards = drag.Cards;
    SpringBack(cardAt);
    if (t.Move.Kind != TMoveType::None) {
        // The game refuses it in its own words, as it refuses the click.
        RunAction([&] { ApplyMove(G, t.Move); });
        if (!StatusError) ShowStatusError(t.Why.toStdString());
    } else {
        ShowStatusError(t.Kind == TDropTarget::TKind::None
                            ? "Drop the card on your table to meld it, or on the discard pile to discard it."
                            : t.Why.toStdString());
    }
    return true;
}

void TfmCanMain::CancelDrag() {
    if (!Drag.Active) {
        Drag = {};
        return;
    }
    Spring.Cards = Drag.Cards;
    const QPoint at = Drag.At - Drag.Grab;
    EndDrag();
    SpringBack(at);
}

void TfmCanMain::SpringBack(QPoint from) {
    if (Spring.Cards.empty()) return;
    const TPoint home = CardPoint(TArea::PlayerHand, Spring.Cards.front());
    Spring.From = from;
    Spring.To = {home.X, home.Y};
    Spring.Pos = from;
    Spring.DurationMs = static_cast<int>(std::lround(kSpringMs * PauseScale));
    if (Spring.DurationMs <= 0 || !Images.IsBuilt()) {
        Spring.Active = false;
        View->update();
        return;
    }
    Spring.Active = true;
    Spring.Clock.start();
    tmSpring.start(16);
    View->update();
}

void TfmCanMain::tmSpringTimer() {
    const double t = std::min(1.0, Spring.Clock.elapsed() / double(std::max(1, Spring.DurationMs)));
    const double e = EaseInOut(t);
    Spring.Pos = Spring.From + QPointF((Spring.To - Spring.From) * e).toPoint();
    if (t >= 1.0) {
        tmSpring.stop();
        Spring.Active = false;
    }
    View->update();
}

std::optional<TfmCanMain::TDropTarget> TfmCanMain::HoveredTarget() const {
    if (!Drag.Active) return std::nullopt;
    TDropTarget t = DropTargetAt(Drag.Index, Drag.At, Drag.Mods);
    if (t.Kind == TDropTarget::TKind::None) return std::nullopt;
    return t;
}

std::vector<QRect> TfmCanMain::DragTargetRects() const {
    std::vector<QRect> rects;
    if (!Drag.Active) return rects;
    for (const TDropTarget& t : Drag.Lit)
        rects.push_back(t.Kind == TDropTarget::TKind::Pile ? PileRect() : ColumnRect(t.Column));
    return rects;
}

bool TfmCanMain::HiddenWhileDragged(const TCard& card, const TCardPlace& place) const {
    if (place.Area != TArea::PlayerHand || (!Drag.Active && !Spring.Active)) return false;
    const std::vector<TCard>& carried = Drag.Active ? Drag.Cards : Spring.Cards;
    return std::any_of(carried.begin(), carried.end(), [&](const TCard& c) { return SameCard(c, card); });
}

void TfmCanMain::PaintDrag(QPainter& p) {
    if (ShownTable || !Images.IsBuilt()) return;
    const TableLayout& L = Geometry;
    auto carry = [&](const std::vector<TCard>& cards, QPoint at) {
        // Carried as a column: each card one step below the one before.
        for (size_t i = 0; i < cards.size(); ++i)
            DrawCardImage(p, Images.Face(cards[i].Id), at + QPoint(0, static_cast<int>(i) * L.ColumnStep));
    };
    if (Spring.Active) carry(Spring.Cards, Spring.Pos);
    if (!Drag.Active) return;
    PaintFrames(p, DragTargetRects(), QColor(120, 230, 120));
    if (const std::optional<TDropTarget> hover = HoveredTarget()) {
        const QRect r = hover->Kind == TDropTarget::TKind::Pile ? PileRect() : ColumnRect(hover->Column);
        // Green takes the card, red refuses it.
        PaintFrames(p, {r.adjusted(-3, -3, 3, 3)}, hover->Legal ? QColor(40, 255, 40) : QColor(235, 30, 30));
    }
    carry(Drag.Cards, Drag.At - Drag.Grab);
}

// ---- the hint ----

struct TfmCanMain::THintJob {
    THeadlessHost Host;
    TGame Game;
    uint64_t Position;
    THint Result;
    explicit THintJob(const TGame& game) : Game(Host, game), Position(StateFingerprint(game)) {}
};

void TfmCanMain::RequestHint() {
    if (PaintSuppressed || Presenting() || !IsPlayersMove(G) || G.HandEndPending) {
        ShowStatusError("A hint is given when it is your turn.");
        return;
    }
    // One is on its way.
    if (HintThread) return;
    // The copy is made here, on the GUI thread; the thread only reads its own.
    HintJob = std::make_shared<THintJob>(G);
    std::shared_ptr<THintJob> job = HintJob;
    HintThread = QThread::create([job] { job->Result = ComputeHint(job->Game); });
    connect(HintThread, &QThread::finished, this, [this] { HintComputed(); });
    HintThread->start();
}

bool TfmCanMain::HintPending() const { return HintThread != nullptr; }

void TfmCanMain::HintComputed() {
    if (!HintThread || !HintThread->isFinished()) return;
    HintThread->wait();
    delete HintThread;
    HintThread = nullptr;
    const std::shared_ptr<THintJob> job = std::move(HintJob);
    if (!job) return;
    // A hint for a position that has gone would point at the wrong cards.
    if (job->Position != StateFingerprint(G) || Presenting() || !IsPlayersMove(G)) return;
    ShowHint(job->Result);
}

void TfmCanMain::WaitForHint() {
    if (!HintThread) return;
    HintThread->wait();
    HintComputed();
}

void TfmCanMain::ShowHint(const THint& hint) {
    ErrorShown = 0;
    StatusError = false;
    tmLED.stop();
    lbStatus->setFont(QFont());
    lbStatus->setPalette(QPalette());
    // Above the instruction, as the other notes; the player's next action clears it.
    Notes.clear();
    if (hint.Kind == THint::TKind::None) {
        AddNote(QStringLiteral("No hint: ") + Q(hint.Why));
        return;
    }
    Hinted = hint;
    HintedPosition = StateFingerprint(G);
    AddNote(QStringLiteral("Hint: ") + Q(hint.What) + QLatin1Char(' ') + Q(hint.Why));
    View->update();
}

std::optional<THint> TfmCanMain::ShownHint() const {
    if (!Hinted || HintedPosition != StateFingerprint(G)) return std::nullopt;
    return Hinted;
}

void TfmCanMain::ClearHint() {
    if (!Hinted) return;
    Hinted.reset();
    View->update();
}

void TfmCanMain::PaintHint(QPainter& p) {
    const std::optional<THint> hint = ShownHint();
    if (!hint || ShownTable || !Images.IsBuilt()) return;
    std::vector<QRect> frames;
    // The cards, one frame per column of the hand (they overlap there).
    for (const TCard& c : hint->Cards) {
        const TArea area = hint->Kind == THint::TKind::DiscardRedThree ? TArea::PlayerMelds : TArea::PlayerHand;
        const QRect r = PlaceRect(PlaceOf(area, c));
        auto same = std::find_if(frames.begin(), frames.end(),
                                 [&](const QRect& f) { return f.left() == r.left() && f.intersects(r); });
        if (same != frames.end())
            *same = same->united(r);
        else
            frames.push_back(r);
    }
    // And where they go.
    switch (hint->Kind) {
        case THint::TKind::Draw: frames.push_back(PlaceRect({TArea::Stock})); break;
        case THint::TKind::TakePile:
        case THint::TKind::Discard:
        case THint::TKind::DiscardRedThree: frames.push_back(PileRect()); break;
        case THint::TKind::Meld:
        case THint::TKind::AddWild: frames.push_back(ColumnRect(hint->Column)); break;
        case THint::TKind::EndHand:
            if (bnEndHand->isVisible()) frames.push_back(bnEndHand->geometry());
            break;
        case THint::TKind::None: break;
    }
    PaintFrames(p, frames, QColor(210, 90, 255));
}

}  // namespace canasta
