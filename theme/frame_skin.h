// The program's own window frame, painted inside a frameless top-level
// window: a 26-pixel caption strip and 3-pixel borders cut from the frame
// picture (132), the window icon, the caption text with its shadow, close and
// minimise buttons with hover pictures, and moving by dragging the caption.
#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;
class QWindow;

class CFrameSkin : public QObject {
    Q_OBJECT
public:
    static constexpr int kCaptionHeight = 26;
    static constexpr int kBorder = 3;

    explicit CFrameSkin(QObject* parent = nullptr); // loads the pictures and the caption font
    ~CFrameSkin() override;

    // Takes over the window's frame: frameless, with a task-bar entry (or,
    // when it has a parent, transient for that parent's window), the caption
    // drawn in its strip, and this object filtering its events. The window's
    // title, which the task bar shows, is the owner's business. With
    // `paintsBackground` the skin also paints on the window's paint events;
    // a window that paints the frame itself (CXpDialog) passes false.
    void Attach(QWidget* window, const QString& caption, bool paintsBackground = true);
    void Detach();
    QWidget* Window() const { return window_; }

    // The frame, then the inner rectangle filled with `fill`.
    void PaintBackground(QPainter& p, const QColor& fill);
    // Caption strip, borders, icon, buttons and caption text.
    void PaintFrame(QPainter& p);

    void SetCaption(const QString& caption);
    QString Caption() const { return caption_; }
    void SetCaptionFont(const QFont& font);
    void SetCaptionColor(const QColor& c);
    void SetShadowColor(const QColor& c);
    void SetCentreCaption(bool on);
    void SetShowIcon(bool on);
    // Pictures; these repaint only when asked to.
    void SetBackground(const QPixmap& pm);
    void SetCloseImages(const QPixmap& normal, const QPixmap& hover);
    void SetMaximiseImages(const QPixmap& normal, const QPixmap& hover);
    void SetMinimiseImages(const QPixmap& normal, const QPixmap& hover);
    void SetRestoreImages(const QPixmap& normal, const QPixmap& hover);

    // Where things are, in window coordinates.
    QRect CaptionRect() const;
    QRect InnerRect() const; // below the caption, inside the borders
    QRect IconRect() const;
    QRect CloseRect() const;    // empty when there is no close button
    QRect MaximiseRect() const; // empty: the default pictures have none
    QRect MinimiseRect() const;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    struct Layout {
        QRect close, maximise, minimise;
    };
    Layout ButtonLayout() const;
    void ApplyWindowFlags();
    void UpdateHover(QPoint pos);
    bool PressOnCaption(QPoint pos);
    void WatchHandle();
    void FollowRealPosition(QPointF local, QPointF global);

    QPointer<QWidget> window_;
    QPointer<QWindow> handle_; // the window's platform window, once it has one
    QString caption_;
    QPixmap background_;
    QPixmap close_[2], maximise_[2], restore_[2], minimise_[2]; // normal, hover
    QFont font_;
    QColor captionColor_{0xFF, 0xFF, 0xFF};
    QColor shadowColor_{0x44, 0x44, 0x44};
    bool centreCaption_ = false;
    bool showIcon_ = true;
    bool paintsBackground_ = true;
    bool hoverClose_ = false, hoverMax_ = false, hoverMin_ = false;
    // Moving by hand where the platform cannot move the window itself: the
    // pointer's offset from the frame's top-left corner.
    bool dragging_ = false;
    QPoint dragOffset_;
};

// "Vantorel" -> " V a n t o r e l": the spaced caption style of the program.
QString SpacedCaption(const QString& text);
