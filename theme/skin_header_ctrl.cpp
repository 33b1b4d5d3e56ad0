#include "skin_header_ctrl.h"

#include "theme_pictures.h"

#include <QPainter>

CSkinHeaderCtrl::CSkinHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    // The captions' own font: 新宋体 at 13 pixels, a CJK serif where it is missing.
    QFont f;
    f.setFamilies({QStringLiteral("NSimSun"), QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    f.setPixelSize(13);
    setFont(f);
    setFixedHeight(kHeight);
}

QSize CSkinHeaderCtrl::sizeHint() const { return {QHeaderView::sizeHint().width(), kHeight}; }

void CSkinHeaderCtrl::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const int w = viewport()->width();
    const QPixmap body = ThemePicture(picture::HeaderBody).copy(0, 0, 1, kPictureRows);
    const QPixmap leftEdge = ThemePicture(picture::HeaderLeftEdge).copy(0, 0, 2, kPictureRows);
    const QPixmap rightEdge = ThemePicture(picture::HeaderRightEdge).copy(0, 0, 2, kPictureRows);

    p.fillRect(viewport()->rect(), QColor(0x7D, 0x7D, 0xEB));
    p.drawTiledPixmap(QRect(2, 0, w, kPictureRows), body);

    p.setPen(Qt::black);
    for (int i = 0; i < count(); ++i) {
        if (isSectionHidden(i) || sectionSize(i) <= 0) continue;
        const int l = sectionViewportPosition(i);
        const int r = l + sectionSize(i);
        if (r < 0 || l > w) continue;
        if (visualIndex(i) == 0) {
            p.drawPixmap(l, 0, leftEdge);
        } else {
            p.drawPixmap(l - 1, 0, leftEdge);
            p.drawPixmap(l + 1, 0, body);
        }
        if (r - 3 >= l + 2) p.drawTiledPixmap(QRect(l + 2, 0, r - 3 - (l + 2) + 1, kPictureRows), body);
        p.drawPixmap(r - 2, 0, rightEdge);

        const QString caption = model() ? model()->headerData(i, orientation()).toString() : QString();
        const QRect textRect(l + 2, 0, r - l - 4, kPictureRows);
        if (textRect.width() <= 0 || caption.isEmpty()) continue;
        const QString shown = fontMetrics().elidedText(caption, Qt::ElideRight, textRect.width());
        p.drawText(textRect, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    }
}
