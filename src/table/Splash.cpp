// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/Splash.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

#include "Version.h"
#include "cardart/CardArt.h"

namespace canasta {

QImage ProgramIconImage(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize card(size * 53 / 100, size * 81 / 100);
    const QImage back = RenderBack(TBackSetting{}, card, 2.0);
    const QImage ace = RenderFace(12, card, 2.0);    // ace of spades
    const QImage heart = RenderFace(51, card, 2.0);  // ace of hearts
    const QPointF centre(size / 2.0, size * 0.95);
    const QImage* cards[3] = {&back, &heart, &ace};
    const double angles[3] = {-18, 0, 18};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(angles[i]);
        p.drawImage(QRectF(-card.width() / 2.0, -card.height() - size * 0.08, card.width(), card.height()), *cards[i]);
        p.restore();
    }
    return icon;
}

TfmSplash::TfmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setFixedSize(229, 141);
    setAttribute(Qt::WA_ShowWithoutActivating);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - rect().center());
    }
}

void TfmSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().window());
    // Framed panel.
    const QRect panel = rect().adjusted(4, 4, -5, -5);
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(panel);
    QLinearGradient felt(panel.topLeft(), panel.bottomLeft());
    felt.setColorAt(0, QColor(250, 246, 232));
    felt.setColorAt(1, QColor(228, 220, 196));
    p.fillRect(panel.adjusted(1, 1, 0, 0), felt);

    QFont title("Arial");
    title.setPixelSize(32);
    title.setBold(true);
    p.setFont(title);
    const QRect titleBox(panel.left(), panel.top() + 14, panel.width(), 44);
    // A grey copy behind the black one gives the title its depth.
    p.setPen(QColor(150, 150, 150));
    p.drawText(titleBox.translated(2, 2), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Canasta"));
    p.setPen(Qt::black);
    p.drawText(titleBox, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Canasta"));

    QFont small = font();
    small.setPixelSize(12);
    p.setFont(small);
    p.setPen(QColor(60, 60, 60));
    p.drawText(QRect(panel.left() + 12, panel.bottom() - 34, 140, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Version ") + QLatin1String(kReleaseVersion));
    const QImage icon = ProgramIconImage(48);
    p.drawImage(QPoint(panel.right() - 52, panel.bottom() - 54), icon);
}

}  // namespace canasta
