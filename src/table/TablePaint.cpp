// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the table: piles, hands, melds, the engraved pile box, the pile
// counts and the canasta labels. Later drawing covers earlier drawing.
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <QHelpEvent>
#include <QToolTip>
#include <QWhatsThis>

#include <cmath>
#include <utility>

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "table/CanMain.h"
#include "table/TableGeometry.h"
#include "table/TableView.h"

namespace canasta {

namespace {

// Font sizes are given in points at 96 dots per inch, as the table was laid
// out; pixel sizes keep the text the same on every screen.
QFont PointFont(const QString& family, int points, bool bold) {
    QFont f(family);
    f.setPixelSize(std::max(1, (points * 96 + 36) / 72));
    f.setBold(bold);
    return f;
}

QString SansFamily() { return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(); }

// A line as the table has always drawn it: from p0 up to, not including, p1.
// All lines of the table run along one axis.
void LineTo(QPainter& p, QPoint p0, QPoint p1) {
    if (p0 == p1) return;
    const int dx = (p1.x() > p0.x()) - (p1.x() < p0.x());
    const int dy = (p1.y() > p0.y()) - (p1.y() < p0.y());
    const QPoint last(p1.x() - dx, p1.y() - dy);
    p.drawLine(p0, last);
}

void PolyLine(QPainter& p, std::initializer_list<QPoint> points) {
    const QPoint* prev = nullptr;
    for (const QPoint& pt : points) {
        if (prev) LineTo(p, *prev, pt);
        prev = &pt;
    }
}

const char* KindName(int kind) {
    switch (kind) {
        case ckMixed: return "Mixed";
        case ckNatural: return "Natural";
        default: return "Wild";
    }
}

}  // namespace

// ---- the view ----

TTableView::TTableView(TfmCanMain& owner) : QWidget(&owner), Owner(owner) {
    setObjectName(QStringLiteral("Table"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TTableView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Owner.TableResized();
}

bool TTableView::event(QEvent* e) {
    // What's This mode (Shift+F1, the Help menu) asks each spot of the table.
    if (e->type() == QEvent::QueryWhatsThis) {
        const bool known = !Owner.TableWhatsThis(static_cast<QHelpEvent*>(e)->pos()).isEmpty();
        e->setAccepted(known);
        return known;
    }
    if (e->type() == QEvent::WhatsThis) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QString text = Owner.TableWhatsThis(help->pos());
        if (text.isEmpty()) {
            e->ignore();
            return false;
        }
        QWhatsThis::showText(help->globalPos(), text, this);
        // The mode ends with the press it ate; the release still comes here
        // and must not play the card or the pile it explained.
        ReleaseExplained = true;
        return true;
    }
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QString tip = Owner.TableToolTip(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(e);
}

void TTableView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The window's colour fills the client area; the paint adds no background.
    p.fillRect(rect(), Owner.TableColor);
    try {
        Owner.FormPaint(p);
    } catch (const std::exception& e) {
        // A paint cannot show a message box: the error is handled right after it.
        if (!Owner.PaintErrorPending) {
            Owner.PaintErrorPending = true;
            const QString message = QString::fromUtf8(e.what());
            QTimer::singleShot(0, &Owner, [this, message] {
                Owner.PaintErrorPending = false;
                Owner.RecoverFromError(message + QStringLiteral("\n\nA new hand will be dealt."), TMsgKind::Error,
                                       true);
                Owner.Advance();
            });
        }
    }
}

void TTableView::mousePressEvent(QMouseEvent* e) {
    // A press of its own: the release after it is a click again.
    ReleaseExplained = false;
    setFocus(Qt::MouseFocusReason);
    const QPoint at = e->position().toPoint();
    Owner.FormMouseDown(e->button(), e->modifiers(), at.x(), at.y());
    e->accept();
}

void TTableView::mouseReleaseEvent(QMouseEvent* e) {
    if (std::exchange(ReleaseExplained, false)) {
        e->accept();
        return;
    }
    const QPoint at = e->position().toPoint();
    // Another button while a card is carried does nothing: the drag goes on.
    if (Owner.Dragging() && e->button() != Qt::LeftButton) {
        e->accept();
        return;
    }
    // A release that ends a drag is its drop; any other is a click.
    if (e->button() != Qt::LeftButton || !Owner.FormDrop(e->modifiers(), at.x(), at.y()))
        Owner.FormMouseUp(e->button(), e->modifiers(), at.x(), at.y());
    e->accept();
}

void TTableView::mouseMoveEvent(QMouseEvent* e) {
    Owner.FormMouseMove();
    const QPoint at = e->position().toPoint();
    Owner.FormDragMove(e->modifiers(), at.x(), at.y());
    e->accept();
}

void TTableView::contextMenuEvent(QContextMenuEvent* e) {
    // The right button discards; there is no pop-up menu on the table.
    e->accept();
}

// ---- painting ----

void TfmCanMain::DrawCard(QPainter& p, const TCard& card, int x, int y, bool face) {
    if (!Images.IsBuilt()) return;
    const QImage& img = face ? Images.Face(card.Id) : Images.Back(card.Deck > 1 ? 0 : card.Deck);
    DrawCardImage(p, img, QPoint(x, y));
}

void TfmCanMain::DrawCardImage(QPainter& p, const QImage& img, QPoint at) const {
    const QSize size(Geometry.CardWidth, Geometry.CardHeight);
    // While a new size settles the images of the old one are stretched;
    // they are drawn afresh at the real size a moment later.
    if (img.deviceIndependentSize().toSize() == size)
        p.drawImage(at, img);
    else
        p.drawImage(QRect(at, size), img);
}

bool TfmCanMain::HiddenWhileMoving(const TCard& c, const TCardPlace& place) const {
    if (!Moving.Active) return false;
    const TCard& m = Moving.Card;
    return c.Id == m.Id && c.Deck == m.Deck && place == Moving.Place;
}

TPoint TfmCanMain::CardPoint(TArea area, const TCard& card) const {
    if (area == TArea::OpponentHand) return {OpponentRowX(card), Geometry.HandRowTop};
    return Geometry.PointOf(PlaceOf(area, card), RowPitch(Geometry, CardSpacing));
}

int TfmCanMain::OpponentRowX(const TCard& card) const {
    TGame& S = Shown();
    // The row is drawn sorted by rank, list order within a rank. A card that
    // has left the hand is placed after the others of its rank.
    const TCard* first = S.Seat(TSeat::Opponent).Hand.begin();
    const bool inHand = &card >= first && &card < S.Seat(TSeat::Opponent).Hand.end();
    int before = 0;
    for (const TCard& c : S.Seat(TSeat::Opponent).Hand) {
        if (c.Rank < card.Rank || (c.Rank == card.Rank && (!inHand || &c < &card))) ++before;
    }
    return Geometry.TableLeft + before * RowPitch(Geometry, CardSpacing);
}

void TfmCanMain::FormPaint(QPainter& p) {
    TGame& S = Shown();
    if (PaintSuppressed) return;
    const TableLayout& L = Geometry;

    // Stock and pile: only the top card shows. A card on its way to a pile
    // lets the one below show until it arrives.
    auto top = [this](const TCardList& list, TArea area) -> const TCard* {
        for (int i = list.Count - 1; i >= 0; --i) {
            const TCard& c = list.Cards[static_cast<size_t>(i)];
            if (!HiddenWhileMoving(c, PlaceOf(area, c))) return &c;
        }
        return nullptr;
    };
    if (const TCard* c = top(S.Stock, TArea::Stock)) DrawCard(p, *c, L.TableLeft, L.StockTop, false);
    if (const TCard* c = top(S.DiscardPile, TArea::DiscardPile)) DrawCard(p, *c, L.TableLeft, L.DiscardTop, true);

    // The opponent's hand, sorted by rank whatever its list order.
    // A loaded game keeps the computer's hand hidden until the next deal.
    const bool mayShow = !S.Config.Networked && !GameLoaded();
    int x = L.TableLeft;
    for (int r = 0; r < kColumns; ++r) {
        for (int i = 0; i < S.Seat(TSeat::Opponent).Hand.Count; ++i) {
            const TCard& c = S.Seat(TSeat::Opponent).Hand.Cards[static_cast<size_t>(i)];
            if (c.Rank != r) continue;
            if (!HiddenWhileMoving(c, RowSlot(i))) DrawCard(p, c, x, L.HandRowTop, c.FaceUp && mayShow);
            x += RowPitch(Geometry, CardSpacing);
        }
    }

    const std::pair<const TCardList*, TArea> columns[] = {{&S.Seat(TSeat::Opponent).Melds, TArea::OpponentMelds},
                                                          {&S.Seat(TSeat::Player).Melds, TArea::PlayerMelds},
                                                          {&S.Seat(TSeat::Player).Hand, TArea::PlayerHand}};
    for (auto [list, area] : columns)
        for (const TCard& c : *list) {
            const TPoint at = L.PointOf(PlaceOf(area, c), RowPitch(L, CardSpacing));
            if (!HiddenWhileMoving(c, PlaceOf(area, c)) && !HiddenWhileDragged(c, PlaceOf(area, c)))
                DrawCard(p, c, at.X, at.Y, c.FaceUp);
        }

    UpdateScorePanels();
    PaintPileBox(p);
    PaintFrozenMark(p);
    S.CountColumns();
    PaintCanastaLabels(p);
    PaintHighlights(p);
    PaintHint(p);
    PaintDrag(p);

    if (Moving.Active) DrawCardImage(p, Moving.Image, Moving.Pos);
    if (Flash.Active) DrawCardImage(p, Flash.Image, Flash.Pos);
}

void TfmCanMain::PaintPileBox(QPainter& p) {
    TGame& S = Shown();
    const TableLayout& L = Geometry;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QFont font = PileCountFont(L);
    p.setFont(font);
    const QFontMetrics fm(font);
    const int c = L.CentreLine;
    const int h = L.CardHeight + 5 + fm.height();
    const int r = L.TableLeft + L.CardWidth + 4;
    const int W = View->width();

    p.setPen(QPen(Qt::black, 0));
    LineTo(p, {0, c - h}, {r - 1, c - h});
    LineTo(p, {r, c - h - 1}, {r, c});
    PolyLine(p, {{W, c + 1}, {r, c + 1}, {r, c + h + 1}, {0, c + h + 1}});
    p.setPen(QPen(Qt::white, 0));
    LineTo(p, {0, c - h - 1}, {r, c - h - 1});
    PolyLine(p, {{r - 1, c - h}, {r - 1, c + h}, {0, c + h}});
    LineTo(p, {r, c}, {W, c});

    // Pile counts, centred on the pile column; an asterisk marks a frozen pile.
    p.setPen(Qt::black);
    const int centre = L.TableLeft + L.CardWidth / 2;
    const QString pile = (S.PileFrozen ? QStringLiteral("*") : QString()) + QString::number(S.DiscardPile.Count);
    const QString stock = QString::number(S.Stock.Count);
    p.drawText(centre - fm.horizontalAdvance(pile) / 2, c + L.CardHeight + 3 + fm.ascent(), pile);
    p.drawText(centre - fm.horizontalAdvance(stock) / 2, c - L.CardHeight - 3 - fm.height() + fm.ascent(), stock);
    p.restore();
}

QFont PileCountFont(const TableLayout& layout) { return PointFont(SansFamily(), PileCountPoints(layout), true); }

QString TfmCanMain::FrozenReason(const TGame& g) const {
    if (!g.PileFrozenFor(TSeat::Player)) return {};
    bool wild = false, redThree = false;
    for (const TCard& c : g.DiscardPile) {
        wild = wild || IsWild(c);
        redThree = redThree || IsRedThree(c);
    }
    const QString take = QStringLiteral(" It can only be taken with a natural pair of its top card.");
    if (wild) return QStringLiteral("The discard pile is frozen: a wild card lies in it.") + take;
    if (redThree) return QStringLiteral("The discard pile is frozen: a red three lies in it.") + take;
    if (!g.PileFrozen)
        return QStringLiteral("The discard pile is frozen for you until you have made your first meld.") + take;
    return QStringLiteral("The discard pile is frozen from the start of the hand by the rules.") + take;
}

TfmCanMain::TTableArea TfmCanMain::TableAreaAt(QPoint at) const {
    if (PaintSuppressed || !View->rect().contains(at)) return TTableArea::None;
    const TableLayout& L = Geometry;
    auto over = [&](int top) { return QRect(L.TableLeft, top, L.CardWidth, L.CardHeight).contains(at); };
    if (over(L.StockTop)) return TTableArea::Stock;
    if (over(L.DiscardTop)) return TTableArea::Pile;
    // Bands across the table, top to bottom: the opponent's hand row, its
    // melds up to the centre line, the player's melds, the player's hand.
    if (at.y() < L.HandRowTop + L.CardHeight) return TTableArea::OpponentHand;
    const bool threes = at.x() >= L.TableLeft && L.ColumnOf(at.x()) == kRankThree;
    if (at.y() < L.CentreLine) return threes ? TTableArea::OpponentRedThrees : TTableArea::OpponentMelds;
    if (at.y() < L.PlayerHandBase) return threes ? TTableArea::RedThrees : TTableArea::Melds;
    return TTableArea::Hand;
}

namespace {

QString Count(int n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

// "The computer" or the network opponent's name, to start a sentence.
QString OpponentSubject(const TGame& g) {
    return g.Config.Networked ? QString::fromStdString(g.Config.OpponentName) : QStringLiteral("The computer");
}

QString ThreesText(const QString& whose, const TCardList& melds) {
    int red = 0, black = 0;
    for (const TCard& c : melds)
        if (c.Column == kRankThree) (IsRedThree(c) ? red : black) += 1;
    QString text = whose + QStringLiteral(" red threes: ") + QString::number(red);
    if (black > 0)
        text += QStringLiteral(", and ") + Count(black, "black three", "black threes") +
                QStringLiteral(" melded to go out");
    return text + QLatin1Char('.');
}

}  // namespace

QString TfmCanMain::TableToolTip(QPoint at) const {
    const TTableArea area = TableAreaAt(at);
    if (area == TTableArea::None) return {};
    const TGame& S = Shown();
    const TSeatState& me = S.Seat(TSeat::Player);
    const TSeatState& other = S.Seat(TSeat::Opponent);
    switch (area) {
        case TTableArea::Stock:
            if (S.Stock.Empty()) return QStringLiteral("The stock is exhausted.");
            return QStringLiteral("The stock: %1 cards. Click it (or press F6) to draw.").arg(S.Stock.Count);
        case TTableArea::Pile: {
            if (S.DiscardPile.Empty()) return QStringLiteral("The discard pile is empty.");
            const QString frozen = FrozenReason(S);
            const QString count = QStringLiteral("The discard pile: %1 cards. Click it (or press F7) to take it.")
                                      .arg(S.DiscardPile.Count);
            return frozen.isEmpty() ? count : frozen + QStringLiteral("\n") + count;
        }
        case TTableArea::Hand:
            return QStringLiteral("Your hand: ") + Count(me.Hand.Count, "card", "cards") +
                   (S.Config.DoubleRightClick
                        ? QStringLiteral(". Click a card to meld it, right-click it twice to discard it.")
                        : QStringLiteral(". Click a card to meld it, right-click it to discard it."));
        case TTableArea::Melds:
            return QStringLiteral("Your melds: ") + Count(me.MeldState.Canastas, "canasta", "canastas") +
                   QStringLiteral(". Click a meld to add a wild card to it.");
        case TTableArea::RedThrees: return ThreesText(QStringLiteral("Your"), me.Melds);
        case TTableArea::OpponentMelds:
            return OpponentSubject(S) + QStringLiteral("'s melds: ") +
                   Count(other.MeldState.Canastas, "canasta", "canastas") + QLatin1Char('.');
        case TTableArea::OpponentRedThrees: return ThreesText(OpponentSubject(S) + QStringLiteral("'s"), other.Melds);
        case TTableArea::OpponentHand:
            return OpponentSubject(S) + QStringLiteral("'s hand: ") + Count(other.Hand.Count, "card", "cards") +
                   QLatin1Char('.');
        case TTableArea::None: break;
    }
    return {};
}

QString TfmCanMain::TableWhatsThis(QPoint at) const {
    switch (TableAreaAt(at)) {
        case TTableArea::Stock: return WhatsThisText(hcTableStock);
        case TTableArea::Pile: return WhatsThisText(hcTablePile);
        case TTableArea::Hand: return WhatsThisText(hcTableHand);
        case TTableArea::Melds: return WhatsThisText(hcTableMelds);
        case TTableArea::RedThrees: return WhatsThisText(hcTableRedThrees);
        case TTableArea::OpponentMelds: return WhatsThisText(hcTableOpponentMelds);
        case TTableArea::OpponentRedThrees: return WhatsThisText(hcTableOpponentRedThrees);
        case TTableArea::OpponentHand: return WhatsThisText(hcTableOpponentHand);
        case TTableArea::None: break;
    }
    return {};
}

void TfmCanMain::PaintFrozenMark(QPainter& p) {
    const TGame& S = Shown();
    if (S.DiscardPile.Empty() || !S.PileFrozenFor(TSeat::Player)) return;
    const TableLayout& L = Geometry;
    const double s = std::max(1.0, L.Scale);
    const QRectF card(L.TableLeft, L.DiscardTop, L.CardWidth, L.CardHeight);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor ice(80, 170, 255);
    // Inside the card's outline, so the counts around the pile stay clear.
    const double pen = 2.5 * s;
    p.setPen(QPen(ice, pen));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(card.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2), 4 * s, 4 * s);
    // The snowflake on a disc at the top right corner.
    const double r = std::max(6.0, L.CardWidth * 0.2);
    const QPointF c(card.right() - r - pen, card.top() + r + pen);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(ice);
    p.drawEllipse(c, r, r);
    p.setPen(QPen(Qt::white, std::max(1.2, r / 5), Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const double a = i * M_PI / 3;
        const QPointF d(std::cos(a) * r * 0.7, std::sin(a) * r * 0.7);
        p.drawLine(c - d, c + d);
    }
    p.restore();
}

QFont CanastaLabelFont(int sizeIndex, int cardWidth, double scale) {
    // Arial 10 points (more on a larger table), regular on the smallest
    // table; smaller until "Natural" fits.
    const bool bold = sizeIndex != 0;
    int points = std::max(10, static_cast<int>(std::lround(10 * std::min(scale, 2.5))));
    QFont f = PointFont(QStringLiteral("Arial"), points, bold);
    while (points > 1 && QFontMetrics(f).horizontalAdvance(QStringLiteral("Natural")) > cardWidth - 4)
        f = PointFont(QStringLiteral("Arial"), --points, bold);
    return f;
}

void TfmCanMain::PaintCanastaLabels(QPainter& p) {
    TGame& S = Shown();
    const TableLayout& L = Geometry;
    // The labels keep three pixels clear of a stacked canasta, whose cards
    // lie one column step from the base line (15 on the 640 x 480 table).
    const int gap = L.ColumnStep + 3;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QFont font = CanastaLabelFont(L.SizeIndex, L.CardWidth, L.Scale);
    p.setFont(font);
    const QFontMetrics fm(font);
    p.setBrush(QColor(255, 255, 0));

    auto label = [&](int column, bool player, const TMeldState& state, const TCounts& counts) {
        const int kind = state.CanastaKind[static_cast<size_t>(column)];
        if (kind == ckNone) return;
        const QString name = QString::fromLatin1(KindName(kind));
        QString second;
        if (kind == ckMixed) {
            const int n = state.CanastaNaturals[static_cast<size_t>(column)];
            second = QStringLiteral("%1/%2").arg(n).arg(counts[static_cast<size_t>(column)] - n);
        } else if (kind == ckNatural) {
            second = QString::number(state.CanastaNaturals[static_cast<size_t>(column)]);
        } else {
            second = QStringLiteral("card");
        }
        const int T = fm.height();
        const int x1 = L.TableLeft + column * L.ColumnWidth;
        const int x2 = x1 + L.CardWidth;
        int y1, y2, line1, line2;
        if (player) {
            y1 = L.PlayerMeldBase + L.CardHeight + gap;
            y2 = y1 + 2 * T + 5;
            line1 = y1 + 2;
            line2 = y1 + 4 + T;
        } else {
            y2 = L.OpponentMeldBase - gap;
            y1 = y2 - 2 * T - 5;
            line1 = L.OpponentMeldBase - gap - 2 * T - 3;
            line2 = L.OpponentMeldBase - gap - T - (kind == ckWild ? 1 : 3);
        }
        // The box covers x1..x2-1 and y1..y2-1, outline included.
        p.setPen(QPen(Qt::black, 0));
        p.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
        p.drawText(x1 + (L.CardWidth - fm.horizontalAdvance(name)) / 2, line1 + fm.ascent(), name);
        p.drawText(x1 + (L.CardWidth - fm.horizontalAdvance(second)) / 2 + 1, line2 + fm.ascent(), second);
    };
    for (int i = 1; i < kColumns; ++i) {
        label(i, true, S.Seat(TSeat::Player).MeldState, S.Seat(TSeat::Player).ColumnCounts);
        label(i, false, S.Seat(TSeat::Opponent).MeldState, S.Seat(TSeat::Opponent).ColumnCounts);
    }
    p.restore();
}

}  // namespace canasta
