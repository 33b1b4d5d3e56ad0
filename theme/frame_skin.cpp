#include "frame_skin.h"

#include "theme_pictures.h"

#include <QEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <QWindow>

namespace {

// Copies src (in picture pixels) to dest pixel for pixel. Where dest is
// larger than the picture allows, the picture's last row and column are
// repeated: the frame picture is uniform there, so a window larger than the
// picture still gets a whole frame.
void Blit(QPainter& p, const QRect& dest, const QPixmap& pm, QPoint src) {
    const int w = qMin(dest.width(), pm.width() - src.x());
    const int h = qMin(dest.height(), pm.height() - src.y());
    if (w <= 0 || h <= 0) return;
    p.drawPixmap(QRect(dest.topLeft(), QSize(w, h)), pm, QRect(src, QSize(w, h)));
    if (dest.width() > w)
        p.drawTiledPixmap(QRect(dest.left() + w, dest.top(), dest.width() - w, h),
                          pm.copy(src.x() + w - 1, src.y(), 1, h));
    if (dest.height() > h)
        p.drawTiledPixmap(QRect(dest.left(), dest.top() + h, dest.width(), dest.height() - h),
                          pm.copy(src.x(), src.y() + h - 1, qMin(dest.width(), w), 1));
}

} // namespace

QString SpacedCaption(const QString& text) {
    QString out;
    for (QChar c : text) {
        out += QLatin1Char(' ');
        out += c;
    }
    return out;
}

CFrameSkin::CFrameSkin(QObject* parent) : QObject(parent) {
    background_ = ThemePicture(picture::Frame);
    close_[0] = ThemePicture(picture::Close);
    close_[1] = ThemePicture(picture::CloseHover);
    minimise_[0] = restore_[0] = ThemePicture(picture::Minimise);
    minimise_[1] = restore_[1] = ThemePicture(picture::MinimiseHover);
    // Arial at a 16-pixel cell (a 14-pixel em); metric twins stand in where
    // Arial is missing and the CJK fonts take the Chinese captions.
    font_.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                       QStringLiteral("Noto Sans CJK SC")});
    font_.setPixelSize(14);
    font_.setStyleHint(QFont::SansSerif);
}

CFrameSkin::~CFrameSkin() { Detach(); }

void CFrameSkin::Attach(QWidget* window, const QString& caption, bool paintsBackground) {
    Detach();
    window_ = window;
    paintsBackground_ = paintsBackground;
    if (!window) return;
    ApplyWindowFlags();
    window->setMouseTracking(true); // hover pictures follow the pointer
    window->installEventFilter(this);
    WatchHandle();
    SetCaption(caption);
}

void CFrameSkin::Detach() {
    if (window_) window_->removeEventFilter(this);
    if (handle_) handle_->removeEventFilter(this);
    window_ = nullptr;
    handle_ = nullptr;
    dragging_ = false;
}

// Presses reach the platform window before any widget, wherever they land.
void CFrameSkin::WatchHandle() {
    QWindow* handle = window_ ? window_->windowHandle() : nullptr;
    if (handle == handle_) return;
    if (handle_) handle_->removeEventFilter(this);
    handle_ = handle;
    if (handle_) handle_->installEventFilter(this);
}

// Where the window really is follows from any pointer event: its global
// position less its position in the window. Qt may not know it yet: under X11
// a window manager that places the window itself reports the place only once
// the window is moved, and until then the platform's move maps the press
// through the position the program asked for, so the window jumps by the
// difference on the first drag. Moving the window to where it already is
// tells Qt. A pixel or so is the rounding of a scaled screen, not a stale place.
void CFrameSkin::FollowRealPosition(QPointF local, QPointF global) {
    if (!window_ || (window_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QPoint delta = (global - local).toPoint() - window_->geometry().topLeft();
    if (qAbs(delta.x()) <= 1 && qAbs(delta.y()) <= 1) return;
    window_->move(window_->pos() + delta);
}

// A frameless top-level window with the buttons its pictures offer. A window
// of its own keeps its task-bar entry (a plain window, not a tool window); one
// opened over another is a dialog transient for it, so it stays above its
// owner and the owner's task-bar entry stands for both.
void CFrameSkin::ApplyWindowFlags() {
    if (!window_) return;
    Qt::WindowFlags f = (window_->parentWidget() ? Qt::Dialog : Qt::Window) | Qt::FramelessWindowHint;
    if (!close_[0].isNull()) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (!maximise_[0].isNull() && !restore_[0].isNull()) f |= Qt::WindowMaximizeButtonHint;
    if (!minimise_[0].isNull() && !restore_[0].isNull()) f |= Qt::WindowMinimizeButtonHint;
    if (window_->windowFlags() != f) {
        const bool visible = window_->isVisible();
        window_->setWindowFlags(f);
        if (visible) window_->show();
    }
}

void CFrameSkin::SetCaption(const QString& caption) {
    caption_ = caption;
    if (window_) window_->update(CaptionRect());
}

void CFrameSkin::SetCaptionFont(const QFont& font) {
    font_ = font;
    if (window_) window_->update(CaptionRect());
}

void CFrameSkin::SetCaptionColor(const QColor& c) {
    captionColor_ = c;
    if (window_) window_->update(CaptionRect());
}

void CFrameSkin::SetShadowColor(const QColor& c) {
    shadowColor_ = c;
    if (window_) window_->update(CaptionRect());
}

void CFrameSkin::SetCentreCaption(bool on) {
    centreCaption_ = on;
    if (window_) window_->update(CaptionRect());
}

void CFrameSkin::SetShowIcon(bool on) {
    showIcon_ = on;
    if (window_) window_->update(CaptionRect());
}

void CFrameSkin::SetBackground(const QPixmap& pm) { background_ = pm; }

void CFrameSkin::SetCloseImages(const QPixmap& normal, const QPixmap& hover) {
    close_[0] = normal;
    close_[1] = hover;
    ApplyWindowFlags();
}

void CFrameSkin::SetMaximiseImages(const QPixmap& normal, const QPixmap& hover) {
    maximise_[0] = normal;
    maximise_[1] = hover;
    ApplyWindowFlags();
}

void CFrameSkin::SetMinimiseImages(const QPixmap& normal, const QPixmap& hover) {
    minimise_[0] = normal;
    minimise_[1] = hover;
    ApplyWindowFlags();
}

void CFrameSkin::SetRestoreImages(const QPixmap& normal, const QPixmap& hover) {
    restore_[0] = normal;
    restore_[1] = hover;
    ApplyWindowFlags();
}

QRect CFrameSkin::CaptionRect() const { return window_ ? QRect(0, 0, window_->width(), kCaptionHeight) : QRect(); }

QRect CFrameSkin::InnerRect() const {
    if (!window_) return {};
    return QRect(QPoint(kBorder, kCaptionHeight),
                 QPoint(window_->width() - kBorder - 1, window_->height() - kBorder - 1));
}

QRect CFrameSkin::IconRect() const { return QRect(2, (kCaptionHeight - 16) / 2, 16, 15); }

// Right to left: close, maximise, minimise, each 3 pixels from the next.
CFrameSkin::Layout CFrameSkin::ButtonLayout() const {
    Layout l;
    if (!window_) return l;
    int x = window_->width() - 1;
    auto place = [&](const QPixmap& pm) {
        const int y = (kCaptionHeight - pm.height()) / 2;
        const QRect r(x - (pm.width() + 3), y, pm.width(), pm.height());
        x = r.left();
        return r;
    };
    if (!close_[0].isNull()) l.close = place(close_[0]);
    if (!maximise_[0].isNull() && !restore_[0].isNull()) l.maximise = place(maximise_[0]);
    if (!minimise_[0].isNull() && !restore_[0].isNull()) l.minimise = place(minimise_[0]);
    return l;
}

QRect CFrameSkin::CloseRect() const { return ButtonLayout().close; }
QRect CFrameSkin::MaximiseRect() const { return ButtonLayout().maximise; }
QRect CFrameSkin::MinimiseRect() const { return ButtonLayout().minimise; }

void CFrameSkin::PaintBackground(QPainter& p, const QColor& fill) {
    PaintFrame(p);
    p.fillRect(InnerRect(), fill);
}

void CFrameSkin::PaintFrame(QPainter& p) {
    if (!window_) return;
    const int w = window_->width(), h = window_->height();
    p.save();
    if (!background_.isNull()) {
        const int pw = background_.width(), ph = background_.height();
        Blit(p, QRect(0, 0, kBorder, h), background_, QPoint(0, 0));
        Blit(p, QRect(w - kBorder, 0, kBorder, h), background_, QPoint(pw - kBorder, 0));
        Blit(p, QRect(0, h - kBorder, w, kBorder), background_, QPoint(0, ph - kBorder));
        Blit(p, QRect(0, 0, w, kCaptionHeight), background_, QPoint(0, 0));
    }
    QRect iconRect;
    if (showIcon_) {
        iconRect = IconRect();
        const QIcon icon = window_->windowIcon();
        if (!icon.isNull()) p.drawPixmap(iconRect, icon.pixmap(QSize(16, 16), window_->devicePixelRatioF()));
    }
    const Layout l = ButtonLayout();
    const bool maximised = window_->isMaximized(), minimised = window_->isMinimized();
    if (!l.close.isNull()) p.drawPixmap(l.close.topLeft(), close_[hoverClose_]);
    if (!l.maximise.isNull()) p.drawPixmap(l.maximise.topLeft(), (maximised ? restore_ : maximise_)[hoverMax_]);
    if (!l.minimise.isNull()) p.drawPixmap(l.minimise.topLeft(), (minimised ? restore_ : minimise_)[hoverMin_]);

    // The caption's cell is 16 pixels high, its top at y 5 (3 when centred).
    p.setFont(font_);
    const int cell = 16;
    QRect text;
    int align = Qt::AlignVCenter | Qt::TextSingleLine;
    if (centreCaption_) {
        text = QRect(0, 3, w, cell);
        align |= Qt::AlignHCenter;
    } else {
        text = QRect(iconRect.width() + 5, 5, w, cell);
        align |= Qt::AlignLeft;
    }
    p.setPen(shadowColor_);
    p.drawText(text.translated(1, 2), align, caption_);
    p.setPen(captionColor_);
    p.drawText(text, align, caption_);
    p.restore();
}

void CFrameSkin::UpdateHover(QPoint pos) {
    const Layout l = ButtonLayout();
    const bool c = l.close.contains(pos), x = l.maximise.contains(pos), m = l.minimise.contains(pos);
    if (c == hoverClose_ && x == hoverMax_ && m == hoverMin_) return;
    hoverClose_ = c;
    hoverMax_ = x;
    hoverMin_ = m;
    if (window_) window_->update(CaptionRect());
}

bool CFrameSkin::PressOnCaption(QPoint pos) {
    const Layout l = ButtonLayout();
    if (l.close.contains(pos)) {
        // The normal close path: a QDialog rejects, so owners read its results alike.
        window_->close();
        return true;
    }
    if (l.minimise.contains(pos)) {
        if (window_->isMinimized())
            window_->showNormal();
        else
            window_->showMinimized();
        return true;
    }
    if (l.maximise.contains(pos)) {
        if (window_->isMaximized())
            window_->showNormal();
        else
            window_->showMaximized();
        window_->update();
        return true;
    }
    // Anywhere else on the caption: the platform moves the window (this works
    // on X11 and Wayland alike); where it cannot, move it by hand. Both start
    // from the window's real position (FollowRealPosition ran on this press).
    QWindow* handle = window_->windowHandle();
    if (handle && handle->startSystemMove()) return true;
    dragging_ = true;
    // From the pointer to the frame's corner, which is what move() places.
    dragOffset_ = pos + (window_->geometry().topLeft() - window_->frameGeometry().topLeft());
    return true;
}

bool CFrameSkin::eventFilter(QObject* o, QEvent* e) {
    if (handle_ && o == handle_) {
        if (e->type() == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(e);
            FollowRealPosition(me->position(), me->globalPosition());
        }
        return false;
    }
    if (o != window_) return false;
    switch (e->type()) {
    case QEvent::Show:
    case QEvent::WinIdChange: WatchHandle(); return false;
    case QEvent::Paint:
        if (paintsBackground_) {
            QPainter p(window_);
            PaintBackground(p, QColor(0xF8, 0xF6, 0xE6));
        }
        return false;
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::PaletteChange:
    case QEvent::WindowIconChange: window_->update(); return false;
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        if (dragging_) {
            window_->move(me->globalPosition().toPoint() - dragOffset_);
            return true;
        }
        // The pictures follow the pointer over the whole window, so leaving a
        // button for the inner area shows the normal picture again.
        UpdateHover(me->position().toPoint());
        return false;
    }
    case QEvent::Leave: UpdateHover(QPoint(-1, -1)); return false;
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() != Qt::LeftButton || !CaptionRect().contains(me->position().toPoint())) return false;
        return PressOnCaption(me->position().toPoint());
    }
    case QEvent::MouseButtonRelease:
        if (dragging_) {
            dragging_ = false;
            return true;
        }
        return false;
    default: return false;
    }
}
