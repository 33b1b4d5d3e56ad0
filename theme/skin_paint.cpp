#include "skin_paint.h"

#include <QApplication>
#include <QImage>
#include <QPaintDevice>
#include <QPalette>
#include <cmath>
#include <cstdlib>

namespace skinpaint {

static double Lerp(int a, int b, double t) { return a + (b - a) * t; }

static QRgb Blend3(QRgb a, double wa, QRgb b, double wb, QRgb c, double wc) {
    auto ch = [&](int (*f)(QRgb)) { return qBound(0, int(std::lround(f(a) * wa + f(b) * wb + f(c) * wc)), 255); };
    return qRgb(ch(qRed), ch(qGreen), ch(qBlue));
}

QColor Gradient4At(const Corners& c, double u, double v) {
    if (c.tl == c.tr && c.bl == c.br) {
        return QColor(int(std::lround(Lerp(qRed(c.tl), qRed(c.bl), v))),
                      int(std::lround(Lerp(qGreen(c.tl), qGreen(c.bl), v))),
                      int(std::lround(Lerp(qBlue(c.tl), qBlue(c.bl), v))));
    }
    if (u + v <= 1.0) return QColor(Blend3(c.tl, 1.0 - u - v, c.tr, u, c.bl, v));
    return QColor(Blend3(c.br, u + v - 1.0, c.tr, 1.0 - v, c.bl, 1.0 - u));
}

void FillGradient4(QPainter& p, const QRect& r, const Corners& c) {
    if (r.isEmpty()) return;
    // Computed per device pixel so that a ratio of 2 stays smooth and exact.
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const int w = qMax(1, int(std::lround(r.width() * dpr)));
    const int h = qMax(1, int(std::lround(r.height() * dpr)));
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const double v = h > 1 ? double(y) / (h - 1) : 0.0;
        for (int x = 0; x < w; ++x) {
            const double u = w > 1 ? double(x) / (w - 1) : 0.0;
            line[x] = Gradient4At(c, u, v).rgb();
        }
    }
    img.setDevicePixelRatio(dpr);
    p.drawImage(r.topLeft(), img);
}

void Outline(QPainter& p, const QRect& r, const QColor& c) {
    if (r.isEmpty()) return;
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
}

void Pixel(QPainter& p, int x, int y, const QColor& c) { p.fillRect(QRect(x, y, 1, 1), c); }

void DottedFrame(QPainter& p, const QRect& r, const QColor& c) {
    if (r.isEmpty()) return;
    for (int x = r.left(); x <= r.right(); x += 2) {
        Pixel(p, x, r.top(), c);
        if (((x - r.left()) + (r.height() - 1)) % 2 == 0) Pixel(p, x, r.bottom(), c);
    }
    for (int y = r.top(); y <= r.bottom(); y += 2) {
        Pixel(p, r.left(), y, c);
        if (((y - r.top()) + (r.width() - 1)) % 2 == 0) Pixel(p, r.right(), y, c);
    }
}

void Line(QPainter& p, int x0, int y0, int x1, int y1, const QColor& c) {
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx - dy;
    while (x0 != x1 || y0 != y1) {
        Pixel(p, x0, y0, c);
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x0 += sx;
        }
        if (e2 < dx) {
            err += dx;
            y0 += sy;
        }
    }
}

QColor ButtonFace() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }

QColor FaceMinus(int delta) {
    const QColor f = ButtonFace();
    return QColor(qMax(0, f.red() - delta), qMax(0, f.green() - delta), qMax(0, f.blue() - delta));
}

} // namespace skinpaint
