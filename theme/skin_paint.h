// Drawing helpers shared by the theme's painters: the four-corner gradient,
// one-pixel outlines and single pixels in logical coordinates (so they scale
// with the device pixel ratio), and the dotted focus frame.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

namespace skinpaint {

// Corner colours: top-left, top-right, bottom-left, bottom-right.
struct Corners {
    QRgb tl, tr, bl, br;
};

// Equal top and equal bottom corners give a vertical gradient; otherwise the
// rectangle is split along the top-right to bottom-left diagonal and each
// triangle interpolates its three corners. The top row and the left column
// take the corner colours exactly.
void FillGradient4(QPainter& p, const QRect& r, const Corners& c);
// The colour FillGradient4 gives at fractions (u, v) of the width and height.
QColor Gradient4At(const Corners& c, double u, double v);

// A frame one logical pixel wide just inside r.
void Outline(QPainter& p, const QRect& r, const QColor& c);
void Pixel(QPainter& p, int x, int y, const QColor& c);
// Every other pixel of the frame just inside r, like the platform's focus frame.
void DottedFrame(QPainter& p, const QRect& r, const QColor& c = Qt::black);
// A one-pixel line from (x0, y0) towards (x1, y1), the end point left out.
void Line(QPainter& p, int x0, int y0, int x1, int y1, const QColor& c);

// The platform's button face, and that face darkened by `delta` in each of
// red, green and blue (face - 202020 is FaceMinus(0x20)).
QColor ButtonFace();
QColor FaceMinus(int delta);

} // namespace skinpaint
