#include "skin_scroll_bar.h"

#include "theme_pictures.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace skinbar {

// The travel is the bar's length less the arrows, caps and the thumb.
double VScale(int h, int limit) { return limit > 0 ? double(h - 98) / limit : 0.0; }
double HScale(int w, int limit) { return limit > 0 ? double(w - 75) / limit : 0.0; }

int ClampVThumb(int h, int top) {
    if (top + kThumb > h - 37) top = h - 62;
    if (top < kVTop) top = kVTop;
    return top;
}

int ClampHThumb(int w, int left) {
    if (left + kThumb > w - 26) left = w - 51;
    if (left < kHLeft) left = kHLeft;
    return left;
}

int VThumbTop(int h, int pos, int limit) { return ClampVThumb(h, int(pos * VScale(h, limit)) + kVTop); }
int HThumbLeft(int w, int pos, int limit) { return ClampHThumb(w, int(pos * HScale(w, limit)) + kHLeft); }

int VDragLines(int h, int thumbTop, int pos, int limit) {
    const double scale = VScale(h, limit);
    return scale > 0 ? int((thumbTop - kVTop) / scale) - pos : 0;
}

int HDragUnits(int w, int thumbLeft, int pos, int limit) {
    const double scale = HScale(w, limit);
    return scale > 0 ? int((thumbLeft - kHLeft) / scale) - pos : 0;
}

} // namespace skinbar

namespace {
class QtRepeatTimer : public CSkinRepeatTimer {
public:
    QtRepeatTimer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (onTimeout) onTimeout();
        });
    }
    void Start(int ms) override { timer_.start(ms); }
    void Stop() override { timer_.stop(); }

private:
    QTimer timer_;
};
} // namespace

CSkinScrollBarBase::CSkinScrollBarBase(bool vertical, QWidget* parent)
    : QWidget(parent), vertical_(vertical), thumb_(vertical ? skinbar::kVTop : skinbar::kHLeft) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetRepeatTimer(std::make_unique<QtRepeatTimer>());
}

void CSkinScrollBarBase::SetTarget(QScrollBar* target) {
    if (target_) disconnect(target_, nullptr, this, nullptr);
    target_ = target;
    if (target) {
        connect(target, &QScrollBar::valueChanged, this, &CSkinScrollBarBase::UpdateThumb);
        connect(target, &QScrollBar::rangeChanged, this, &CSkinScrollBarBase::UpdateThumb);
    }
    UpdateThumb();
}

void CSkinScrollBarBase::SetRepeatTimer(std::unique_ptr<CSkinRepeatTimer> timer) {
    timer_ = std::move(timer);
    timer_->onTimeout = [this] { OnTimer(); };
}

void CSkinScrollBarBase::UpdateThumb() {
    const int pos = target_ ? target_->value() - target_->minimum() : 0;
    const int limit = target_ ? target_->maximum() - target_->minimum() : 0;
    thumb_ = vertical_ ? skinbar::VThumbTop(height(), pos, limit) : skinbar::HThumbLeft(width(), pos, limit);
    update();
}

CSkinScrollBarBase::Part CSkinScrollBarBase::HitTest(QPoint p) const {
    const int len = Length();
    auto inside = [&](int from, int to) {
        // The horizontal bar's hit areas are 20 pixels high, the vertical's 12 wide.
        const int across = vertical_ ? p.x() : p.y();
        const int along = Along(p);
        return across >= 0 && across < (vertical_ ? 12 : 20) && along >= from && along < to;
    };
    if (vertical_) {
        if (inside(11, 37)) return Part::Back;
        if (inside(len - 37, len - 11)) return Part::Forward;
    } else {
        if (inside(0, 26)) return Part::Back;
        if (inside(len - 26, len)) return Part::Forward;
    }
    if (inside(thumb_, thumb_ + skinbar::kThumb)) return Part::Thumb;
    return Part::None;
}

void CSkinScrollBarBase::Step(int action) {
    if (!target_) return;
    target_->triggerAction(QAbstractSlider::SliderAction(action));
    UpdateThumb();
}

void CSkinScrollBarBase::OnTimer() {
    if (!repeating_) {
        // The delay is over: repeat while the arrow stays held.
        if (backHeld_ || forwardHeld_) {
            repeating_ = true;
            timer_->Start(skinbar::kRepeatMs);
        } else {
            timer_->Stop();
        }
        return;
    }
    if (forwardHeld_)
        Step(QAbstractSlider::SliderSingleStepAdd);
    else if (backHeld_)
        Step(QAbstractSlider::SliderSingleStepSub);
}

void CSkinScrollBarBase::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    switch (HitTest(e->position().toPoint())) {
    case Part::Thumb: thumbHeld_ = true; break;
    case Part::Forward:
        forwardHeld_ = true;
        repeating_ = false;
        timer_->Start(skinbar::kDelayMs);
        break;
    case Part::Back:
        backHeld_ = true;
        repeating_ = false;
        timer_->Start(skinbar::kDelayMs);
        break;
    case Part::None: break;
    }
}

void CSkinScrollBarBase::mouseMoveEvent(QMouseEvent* e) {
    if (!thumbHeld_ || !target_) return;
    const int len = Length();
    const int pos = target_->value() - target_->minimum();
    const int limit = target_->maximum() - target_->minimum();
    const int wanted = Along(e->position().toPoint()) - skinbar::kThumb / 2;
    // Vertically the unit is a row of the list whatever its height: the list
    // scrolls per row, so the real row height is applied by the list itself.
    const int delta =
        vertical_ ? skinbar::VDragLines(len, wanted, pos, limit) : skinbar::HDragUnits(len, wanted, pos, limit);
    if (delta != 0) target_->setValue(target_->value() + delta);
    // Follow the pointer, clamped to the track.
    thumb_ = vertical_ ? skinbar::ClampVThumb(len, wanted) : skinbar::ClampHThumb(len, wanted);
    update();
}

void CSkinScrollBarBase::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    UpdateThumb();
    timer_->Stop();
    const QPoint p = e->position().toPoint();
    const Part part = HitTest(p);
    using A = QAbstractSlider;
    if (vertical_) {
        if (part == Part::Back && backHeld_)
            Step(A::SliderSingleStepSub);
        else if (part == Part::Forward && forwardHeld_)
            Step(A::SliderSingleStepAdd);
        else if (part == Part::Thumb) {
        } else
            Step(thumb_ < Along(p) ? A::SliderPageStepAdd : A::SliderPageStepSub);
    } else {
        if (part == Part::Back)
            Step(A::SliderSingleStepSub);
        else if (part == Part::Forward)
            Step(A::SliderSingleStepAdd);
        else if (part == Part::Thumb) {
        } else
            Step(thumb_ < Along(p) ? A::SliderPageStepAdd : A::SliderPageStepSub);
    }
    backHeld_ = forwardHeld_ = thumbHeld_ = repeating_ = false;
}

void CSkinScrollBarBase::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width(), h = height();
    if (vertical_) {
        p.fillRect(rect(), QColor(0x4A, 0x52, 0x6B));
        p.drawPixmap(0, 0, ThemePicture(166));
        p.drawPixmap(0, 11, ThemePicture(162));
        if (h > 37) p.drawTiledPixmap(QRect(0, 37, 12, h - 37), ThemePicture(163));
        p.drawPixmap(0, h - 37, ThemePicture(145));
        p.drawPixmap(1, h - 11, ThemePicture(170));
        p.drawPixmap(0, thumb_, ThemePicture(164));
    } else {
        p.fillRect(rect(), QColor(0x4C, 0x55, 0x76));
        p.drawPixmap(0, 0, ThemePicture(160));
        if (w > 26) p.drawTiledPixmap(QRect(26, 0, w - 26, 12), ThemePicture(159));
        p.drawPixmap(w - 26, 0, ThemePicture(158));
        p.drawPixmap(thumb_, 0, ThemePicture(157));
    }
}
