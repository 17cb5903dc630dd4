// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/Pattern.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "cardart/CardArt.h"

namespace canasta {

TPatternGrid::TPatternGrid(int selected, QWidget* parent)
    : QWidget(parent), Index(std::clamp(selected, 0, kPatternCount - 1)) {
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(sizeHint());
    setAccessibleName(QStringLiteral("Patterns"));
}

QRect TPatternGrid::ThumbRect(int i) {
    const int w = kThumbnailSize.width(), h = kThumbnailSize.height();
    return QRect(5 + (i % 5) * (w + 5), 5 + (i / 5) * (h + 5), w, h);
}

QSize TPatternGrid::sizeHint() const {
    const QRect last = ThumbRect(kPatternCount - 1);
    return QSize(last.right() + 6, last.bottom() + 6);
}

void TPatternGrid::Select(int index) {
    index = std::clamp(index, 0, kPatternCount - 1);
    if (index == Index) return;
    Index = index;
    update();
}

void TPatternGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const qreal dpr = devicePixelRatioF();
    const QColor highlight = palette().color(QPalette::Highlight);
    for (int i = 0; i < kPatternCount; ++i) {
        const QRect r = ThumbRect(i);
        QImage img = TCardImages::PatternThumbnail(i, dpr);
        if (i == Index) {
            // Selected: half blended with the highlight colour.
            QPainter blend(&img);
            blend.setCompositionMode(QPainter::CompositionMode_SourceAtop);
            QColor c = highlight;
            c.setAlpha(128);
            blend.fillRect(QRectF(0, 0, img.width() / dpr, img.height() / dpr), c);
        }
        p.drawImage(r.topLeft(), img);
        if (i == Index && hasFocus()) {
            p.setPen(QPen(highlight, 1, Qt::DotLine));
            p.drawRect(r.adjusted(-2, -2, 1, 1));
        }
    }
}

void TPatternGrid::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    for (int i = 0; i < kPatternCount; ++i)
        if (ThumbRect(i).contains(e->position().toPoint())) Select(i);
}

void TPatternGrid::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Left: Select(Index - 1); break;
        case Qt::Key_Right: Select(Index + 1); break;
        case Qt::Key_Up: Select(Index - 5 >= 0 ? Index - 5 : Index); break;
        case Qt::Key_Down: Select(Index + 5 < kPatternCount ? Index + 5 : Index); break;
        case Qt::Key_Home: Select(0); break;
        case Qt::Key_End: Select(kPatternCount - 1); break;
        default: QWidget::keyPressEvent(e); return;
    }
}

TfmPattern::TfmPattern(int pattern, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmPattern"));
    setWindowTitle(QStringLiteral("Select Card Back Pattern"));
    auto* layout = new QVBoxLayout(this);
    Grid = new TPatternGrid(pattern, this);
    layout->addWidget(Grid, 0, Qt::AlignHCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    InstallDialogHelp(this, hcPatternDialog);
    InstallHelpContext(Grid, hcPatternGrid);
    InstallHelpContext(buttons->button(QDialogButtonBox::Ok), hcPatternOk);
    InstallHelpContext(buttons->button(QDialogButtonBox::Cancel), hcPatternCancel);
    Grid->setFocus();
    setFixedSize(sizeHint());
}

}  // namespace canasta
