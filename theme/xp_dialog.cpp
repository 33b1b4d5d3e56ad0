#include "xp_dialog.h"

#include <QPaintEvent>
#include <QPainter>

CXpDialog::CXpDialog(QWidget* parent) : QDialog(parent) {
    skin_.Attach(this, {}, false);
    SetTitle(QStringLiteral("Vantorel"));
    // Layouts, where a subclass uses one, keep clear of the frame.
    setContentsMargins(CFrameSkin::kBorder, CFrameSkin::kCaptionHeight, CFrameSkin::kBorder, CFrameSkin::kBorder);
}

void CXpDialog::SetTitle(const QString& title) {
    setWindowTitle(title);
    SetCaption(SpacedCaption(title));
}

void CXpDialog::SetCaption(const QString& caption) {
    caption_ = caption;
    skin_.SetCaption(caption);
}

bool CXpDialog::event(QEvent* e) {
    if (e->type() != QEvent::Paint) return QDialog::event(e);
    {
        QPainter p(this);
        skin_.PaintBackground(p, QColor::fromRgb(kPageBackground));
    }
    const bool handled = QDialog::event(e);
    // Only the caption strip and the borders: whatever the subclass painted
    // inside stays.
    const QRect inner = skin_.InnerRect();
    if (!inner.contains(static_cast<QPaintEvent*>(e)->rect())) {
        QPainter p(this);
        p.setClipRegion(QRegion(rect()).subtracted(inner));
        skin_.PaintFrame(p);
    }
    return handled;
}
