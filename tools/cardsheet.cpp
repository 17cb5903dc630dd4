// SPDX-License-Identifier: GPL-3.0-or-later
// Renders all 53 faces, the ten pattern backs and a solid back onto one PNG,
// so the card art can be judged by eye at each card size and pixel ratio.
//
//   cardsheet [--size N] [--dpr R] [--zoom Z] [--crop X Y W H] [--bench] out.png
//
// --crop keeps a part of the sheet (physical pixels) and --zoom enlarges it
// without smoothing, to inspect single pixels; --bench prints how long
// building the card image list takes.
#include "cardart/CardArt.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace canasta;

namespace {

void Bench() {
    for (qreal dpr : {1.0, 2.0}) {
        for (int size = 0; size < 3; ++size) {
            TBackSetting solid;
            TBackSetting pattern;
            pattern.Type = kBackPattern;
            pattern.Pattern = 7;
            QElapsedTimer t;
            t.start();
            TCardImages cold;
            cold.Build(size, solid, pattern, dpr);
            const qint64 first = t.nsecsElapsed();
            t.restart();
            TCardImages warm;
            warm.Build(size, solid, pattern, dpr);
            const qint64 again = t.nsecsElapsed();
            std::printf("size %d dpr %.0f: first build %.1f ms, cached build %.3f ms\n", size, dpr, first / 1e6,
                        again / 1e6);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int sizeIndex = 0;
    double dpr = 1, zoom = 1;
    const char* out = nullptr;
    bool bench = false;
    QRect crop;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc)
            sizeIndex = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--dpr") && i + 1 < argc)
            dpr = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--zoom") && i + 1 < argc)
            zoom = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--crop") && i + 4 < argc) {
            const int x = std::atoi(argv[i + 1]), y = std::atoi(argv[i + 2]);
            crop = QRect(x, y, std::atoi(argv[i + 3]), std::atoi(argv[i + 4]));
            i += 4;
        } else if (!std::strcmp(argv[i], "--bench"))
            bench = true;
        else
            out = argv[i];
    }
    if (bench) Bench();
    if (!out) {
        if (bench) return 0;
        std::fprintf(stderr,
                     "usage: cardsheet [--size 0..3] [--dpr R] [--zoom Z] [--crop X Y W H] [--bench] out.png\n");
        return 2;
    }
    if (dpr <= 0) dpr = 1;

    TCardImages images;
    images.Build(sizeIndex, TBackSetting{}, TBackSetting{}, dpr);
    const QSize card = images.CardSize();
    const int gap = 6, columns = 13;
    const int rows = 6;  // four suits, joker row, backs row
    const QSize sheet(gap + columns * (card.width() + gap), gap + rows * (card.height() + gap));
    QImage img(sheet * dpr, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    img.fill(QColor(24, 110, 60));
    QPainter p(&img);
    auto at = [&](int col, int row) {
        return QPointF(gap + col * (card.width() + gap), gap + row * (card.height() + gap));
    };
    for (int i = 0; i < kFaceImageCount - 1; ++i) p.drawImage(at(i % 13, i / 13), images.Image(i));
    p.drawImage(at(0, 4), images.Image(kJokerImage));
    p.drawImage(at(1, 4), images.Selected(12));
    p.drawImage(at(2, 4), images.Dragged(11));
    p.drawImage(at(3, 4), images.Back(0));
    TBackSetting brown;
    brown.Color = 0x004080;
    p.drawImage(at(4, 4), RenderBack(brown, card, dpr));
    for (int i = 0; i < kPatternCount; ++i) p.drawImage(at(i, 5), RenderPattern(i, card, dpr));
    p.end();
    if (crop.isValid()) img = img.copy(crop);
    if (zoom > 1) {
        img = img.scaled(img.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    if (!img.save(QString::fromLocal8Bit(out))) {
        std::fprintf(stderr, "cardsheet: cannot write %s\n", out);
        return 1;
    }
    return 0;
}
