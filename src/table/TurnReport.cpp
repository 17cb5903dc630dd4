// SPDX-License-Identifier: GPL-3.0-or-later
// The other side's turn told in words and marked on the table until the
// player acts; the move log of the hand, kept for both sides.
#include <QAction>
#include <QPainter>
#include <QLabel>

#include <algorithm>

#include "dialogs/MoveLog.h"
#include "table/CanMain.h"
#include "table/TableView.h"

namespace canasta {

QString TfmCanMain::LastTurnAccount() const { return QString::fromStdString(LastAccount); }

std::vector<TCardPlace> TfmCanMain::HighlightedPlaces() const {
    // Marks of a hand that is gone mean nothing on the new one.
    if (HighlightsHand != G.HandNumber) return {};
    return Highlights;
}

QStringList TfmCanMain::MoveLogLines() const {
    QStringList lines;
    for (const std::string& line : TurnLog.Lines()) lines << QString::fromStdString(line);
    return lines;
}

TfmMoveLog* TfmCanMain::MoveLogWindow() const { return fmMoveLog.data(); }

void TfmCanMain::NoteTurns() {
    const std::optional<TTurnRecord> turn = TurnLog.Sync(G);
    if (turn && turn->Seat == TSeat::Opponent) {
        LastAccount = TurnAccount(*turn);
        Highlights = TurnHighlights(*turn);
        HighlightsHand = G.HandNumber;
        // Told above the instruction until the player acts.
        if (!LastAccount.empty()) AddNote(LastTurnAccount());
        View->update();
    }
    if (fmMoveLog) fmMoveLog->SetLines(MoveLogLines());
}

void TfmCanMain::ClearHighlights() {
    if (!Notes.isEmpty()) {
        Notes.clear();
        if (!StatusError) ShowMessageArea();
    }
    if (Highlights.empty()) return;
    Highlights.clear();
    View->update();
}

void TfmCanMain::AddNote(const QString& note) {
    Notes << note;
    if (!StatusError) ShowMessageArea();
}

void TfmCanMain::ShowMessageArea() {
    const QFontMetrics metrics(lbStatus->font());
    const int width = std::max(1, lbStatus->contentsRect().width());
    QStringList notes = Notes;
    QString text;
    for (;;) {
        QString joined;
        for (const QString& note : notes) {
            if (!joined.isEmpty())
                joined += joined.endsWith(QLatin1Char('.')) ? QStringLiteral(" ") : QStringLiteral(". ");
            joined += note;
        }
        text = notes.isEmpty() ? Instruction : joined + QLatin1Char('\n') + Instruction;
        if (notes.isEmpty() || metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, text).height() <=
                                   lbStatus->contentsRect().height())
            break;
        notes.removeFirst();
    }
    lbStatus->setText(text);
}

void TfmCanMain::PaintHighlights(QPainter& p) {
    // The marks belong to the table as it stands, not to a copy being shown.
    if (ShownTable || !Images.IsBuilt()) return;
    const std::vector<TCardPlace> places = HighlightedPlaces();
    if (places.empty()) return;
    const TableLayout& L = Geometry;
    // One frame per column: the cards of a meld overlap, and a frame around
    // each would cross the faces of the others.
    std::vector<QRect> frames;
    for (const TCardPlace& place : places) {
        QRect r;
        if (place.Area == TArea::DiscardPile) {
            r = QRect(L.TableLeft, L.DiscardTop, L.CardWidth, L.CardHeight);
        } else {
            const TPoint at = L.PointOf(place, CardSpacing);
            r = QRect(at.X, at.Y, L.CardWidth, L.CardHeight);
        }
        auto same = std::find_if(frames.begin(), frames.end(),
                                 [&](const QRect& f) { return f.left() == r.left() && f.intersects(r); });
        if (same != frames.end() && place.Area != TArea::DiscardPile)
            *same = same->united(r);
        else
            frames.push_back(r);
    }
    PaintFrames(p, frames, QColor(255, 140, 0));
}

void TfmCanMain::PaintFrames(QPainter& p, const std::vector<QRect>& frames, QColor colour) const {
    const TableLayout& L = Geometry;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const double width = std::max(2.0, L.CardWidth / 18.0);
    const double radius = L.CardWidth / 12.0;
    p.setBrush(Qt::NoBrush);
    for (const QRect& f : frames) {
        const QRectF outer = QRectF(f).adjusted(-width / 2, -width / 2, width / 2, width / 2);
        // A dark edge under the colour keeps the frame visible on any table colour.
        p.setPen(QPen(QColor(60, 30, 0, 160), width + 2));
        p.drawRoundedRect(outer, radius, radius);
        p.setPen(QPen(colour, width));
        p.drawRoundedRect(outer, radius, radius);
    }
    p.restore();
}

void TfmCanMain::mnMoveLogClick() {
    if (!fmMoveLog) {
        fmMoveLog = new TfmMoveLog(this);
        fmMoveLog->move(frameGeometry().topRight() + QPoint(8, 0));
    }
    fmMoveLog->SetLines(MoveLogLines());
    fmMoveLog->show();
    fmMoveLog->raise();
    fmMoveLog->activateWindow();
}

}  // namespace canasta
