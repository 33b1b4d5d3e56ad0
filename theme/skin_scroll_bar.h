// The two picture scroll bars that stand beside a CSkinListCtrl (12 pixels to
// its right and below it) and drive the list's own, hidden, scroll bars.
#pragma once

#include <QPointer>
#include <QScrollBar>
#include <QWidget>
#include <functional>
#include <memory>

// Thumb arithmetic, kept apart from the widgets so it can be checked alone.
// Positions and limits are in the list's scroll units (rows vertically,
// pixels horizontally); h and w are the bar's length in pixels.
namespace skinbar {
inline constexpr int kThumb = 26;    // thumb length
inline constexpr int kVTop = 36;     // topmost thumb top of the vertical bar
inline constexpr int kHLeft = 25;    // leftmost thumb left of the horizontal bar
inline constexpr int kDelayMs = 250; // before an arrow held down starts to repeat
inline constexpr int kRepeatMs = 50; // one line per tick while it repeats

double VScale(int h, int limit); // pixels of thumb travel per line; 0 when the list cannot scroll
double HScale(int w, int limit);
int ClampVThumb(int h, int top); // keeps the thumb between the arrows
int ClampHThumb(int w, int left);
int VThumbTop(int h, int pos, int limit);
int HThumbLeft(int w, int pos, int limit);
// How far to scroll when the thumb is dragged to the given top (left).
int VDragLines(int h, int thumbTop, int pos, int limit);
int HDragUnits(int w, int thumbLeft, int pos, int limit);
} // namespace skinbar

// The repeat timer of an arrow held down. The bars use a QTimer; tests give
// them one driven by a fake clock.
class CSkinRepeatTimer {
public:
    virtual ~CSkinRepeatTimer() = default;
    // (Re)starts the timer: it fires every `ms` until stopped.
    virtual void Start(int ms) = 0;
    virtual void Stop() = 0;
    std::function<void()> onTimeout;
};

// Common part of both bars: the held state, the timers and the drive of the
// target scroll bar. `vertical` chooses the geometry of the Part's bars.
class CSkinScrollBarBase : public QWidget {
    Q_OBJECT
public:
    // The scroll bar this bar drives (the list's own, hidden one).
    void SetTarget(QScrollBar* target);
    void SetRepeatTimer(std::unique_ptr<CSkinRepeatTimer> timer);

    // Thumb top (vertical) or left (horizontal) in bar coordinates.
    int ThumbPos() const { return thumb_; }
    // Recomputes the thumb from the target's position and limit; repaints.
    void UpdateThumb();

protected:
    CSkinScrollBarBase(bool vertical, QWidget* parent);
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    enum class Part { None, Back, Forward, Thumb }; // back = up / left
    Part HitTest(QPoint p) const;
    int Length() const { return vertical_ ? height() : width(); }
    int Along(QPoint p) const { return vertical_ ? p.y() : p.x(); }
    void Step(int action);
    void OnTimer();

    const bool vertical_;
    QPointer<QScrollBar> target_;
    std::unique_ptr<CSkinRepeatTimer> timer_;
    bool backHeld_ = false;
    bool forwardHeld_ = false;
    bool thumbHeld_ = false;
    bool repeating_ = false;
    int thumb_;
};

class CSkinVScrollBar : public CSkinScrollBarBase {
    Q_OBJECT
public:
    explicit CSkinVScrollBar(QWidget* parent = nullptr) : CSkinScrollBarBase(true, parent) {}
};

class CSkinHScrollBar : public CSkinScrollBarBase {
    Q_OBJECT
public:
    explicit CSkinHScrollBar(QWidget* parent = nullptr) : CSkinScrollBarBase(false, parent) {}
};
