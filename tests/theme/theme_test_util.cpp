#include "theme_test_util.h"

QImage Render(QWidget* w, qreal dpr) {
    QImage img(w->size() * dpr, QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::magenta); // anything left unpainted stands out
    w->render(&img);
    return img;
}

void SavePng(const QImage& img, const QString& name) { img.save(name + QStringLiteral(".png")); }

QColor At(const QImage& img, int x, int y) {
    const qreal r = img.devicePixelRatio();
    return img.pixelColor(int(x * r), int(y * r));
}

::testing::AssertionResult Near(const QColor& got, const QColor& want, int tol) {
    if (std::abs(got.red() - want.red()) <= tol && std::abs(got.green() - want.green()) <= tol &&
        std::abs(got.blue() - want.blue()) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got.name().toStdString() << ", want " << want.name().toStdString()
                                         << " (tolerance " << tol << ")";
}
