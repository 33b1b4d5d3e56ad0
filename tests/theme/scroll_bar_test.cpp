// The picture scroll bars: thumb arithmetic, repeat timing with a fake clock,
// page steps on the track and thumb dragging.
#include "theme/skin_list_ctrl.h"
#include "theme/skin_scroll_bar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

// A repeat timer that fires only when the test moves its clock.
class FakeTimer : public CSkinRepeatTimer {
public:
    void Start(int ms) override {
        interval_ = ms;
        due_ = now_ + ms;
    }
    void Stop() override { due_ = -1; }
    void AdvanceTo(int t) {
        while (due_ >= 0 && due_ <= t) {
            now_ = due_;
            const int fired = due_;
            onTimeout();
            if (due_ == fired) due_ += interval_; // not restarted or stopped by the handler
        }
        now_ = t;
    }

private:
    int now_ = 0, due_ = -1, interval_ = 0;
};

void Mouse(QWidget* w, QEvent::Type type, int x, int y) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

struct VBarFixture : ::testing::Test {
    QScrollBar target{Qt::Vertical};
    CSkinVScrollBar bar;
    FakeTimer* timer = nullptr;
    void SetUp() override {
        target.setRange(0, 100);
        target.setPageStep(10);
        target.setSingleStep(1);
        bar.resize(12, 200);
        auto t = std::make_unique<FakeTimer>();
        timer = t.get();
        bar.SetRepeatTimer(std::move(t));
        bar.SetTarget(&target);
    }
    void Click(int x, int y) {
        Mouse(&bar, QEvent::MouseButtonPress, x, y);
        Mouse(&bar, QEvent::MouseButtonRelease, x, y);
    }
};

} // namespace

TEST(ScrollBarArithmetic, ThumbFollowsPositionClampsAndConvertsDragBack) {
    // Vertical, h 200: travel 102 pixels over a limit of 10 lines; horizontal, w 300: 0.5 pixels per unit.
    const struct {
        int (*thumb)(int, int, int);
        int size, pos, limit, want;
    } cases[] = {
        {skinbar::VThumbTop, 200, 0, 10, 36},      {skinbar::VThumbTop, 200, 5, 10, 87},
        {skinbar::VThumbTop, 200, 10, 10, 138},    {skinbar::VThumbTop, 200, 12, 10, 138}, // past the end: h - 62
        {skinbar::VThumbTop, 200, 7, 0, 36}, // a list that cannot scroll keeps its thumb at the top
        {skinbar::VThumbTop, 80, 3, 10, 36}, // a bar shorter than its pieces
        {skinbar::HThumbLeft, 300, 0, 450, 25},    {skinbar::HThumbLeft, 300, 101, 450, 75},
        {skinbar::HThumbLeft, 300, 450, 450, 249}, {skinbar::HThumbLeft, 300, 9, 0, 25}};
    for (const auto& c : cases)
        EXPECT_EQ(c.thumb(c.size, c.pos, c.limit), c.want) << c.size << " " << c.pos << " " << c.limit;
    EXPECT_EQ(skinbar::VDragLines(200, 87, 0, 10), 5);
    EXPECT_EQ(skinbar::VDragLines(200, 36, 5, 10), -5);
    EXPECT_EQ(skinbar::VDragLines(200, 90, 0, 0), 0); // nothing to scroll, no division by zero
    EXPECT_EQ(skinbar::HDragUnits(300, 75, 0, 450), 100);
}

TEST_F(VBarFixture, ArrowsStepOnReleaseAndRepeatWhileHeld) {
    Click(6, 170); // down arrow: y 163..188
    EXPECT_EQ(target.value(), 1);
    Click(6, 20); // up arrow: y 11..36
    EXPECT_EQ(target.value(), 0);

    Mouse(&bar, QEvent::MouseButtonPress, 6, 170);
    EXPECT_EQ(target.value(), 0) << "nothing on the press itself";
    timer->AdvanceTo(299);
    EXPECT_EQ(target.value(), 0) << "nothing before the delay and the first tick";
    timer->AdvanceTo(420); // ticks at 300, 350 and 400
    EXPECT_EQ(target.value(), 3);
    Mouse(&bar, QEvent::MouseButtonRelease, 6, 170);
    EXPECT_EQ(target.value(), 4) << "one more line on release over the arrow";
    timer->AdvanceTo(2000);
    EXPECT_EQ(target.value(), 4) << "the timer stops on release";

    // Released over the thumb: the repeats stand, nothing more.
    Mouse(&bar, QEvent::MouseButtonPress, 6, 170);
    timer->AdvanceTo(2350);
    EXPECT_EQ(target.value(), 6);
    Mouse(&bar, QEvent::MouseButtonRelease, 6, bar.ThumbPos() + 5);
    EXPECT_EQ(target.value(), 6);
}

TEST_F(VBarFixture, TrackStepsAPageAndTheThumbDragsWithinTheTrack) {
    Click(6, 150); // track below the thumb
    EXPECT_EQ(target.value(), 10);
    EXPECT_EQ(bar.ThumbPos(), 46); // truncate(10 * 1.02) + 36
    Click(6, 40);                  // track above the thumb
    EXPECT_EQ(target.value(), 0);
    EXPECT_EQ(bar.ThumbPos(), 36);

    Mouse(&bar, QEvent::MouseButtonPress, 6, 36 + 13);
    Mouse(&bar, QEvent::MouseMove, 6, 100); // thumb top 87: 51 px / 1.02
    EXPECT_EQ(target.value(), 50);
    EXPECT_EQ(bar.ThumbPos(), 87);
    Mouse(&bar, QEvent::MouseMove, 6, 400); // far below the bar
    EXPECT_EQ(target.value(), 100);
    EXPECT_EQ(bar.ThumbPos(), 200 - 62);
    Mouse(&bar, QEvent::MouseButtonRelease, 6, 150);
    EXPECT_EQ(target.value(), 100);
}

TEST(HScrollBar, ArrowsStepAColumnAndTrackStepsAPage) {
    QScrollBar target(Qt::Horizontal);
    target.setRange(0, 450);
    target.setSingleStep(20);
    target.setPageStep(200);
    CSkinHScrollBar bar;
    bar.resize(300, 12);
    bar.SetRepeatTimer(std::make_unique<FakeTimer>());
    bar.SetTarget(&target);
    for (auto [x, want] : {std::pair{290, 20}, {200, 220}, {5, 200}}) {
        Mouse(&bar, QEvent::MouseButtonPress, x, 6);
        Mouse(&bar, QEvent::MouseButtonRelease, x, 6);
        EXPECT_EQ(target.value(), want) << x;
    }
}

TEST(ListBars, StandBesideTheListAndTrackItsScrolling) {
    QWidget page;
    page.resize(400, 300);
    CSkinListCtrl list(&page);
    list.setGeometry(10, 20, 300, 200);
    list.InsertColumn(0, QStringLiteral("姓名"), 100);
    page.show();
    ASSERT_TRUE(list.VScrollBar() && list.HScrollBar());
    EXPECT_EQ(list.VScrollBar()->geometry(), QRect(309, 19, 12, 212));
    EXPECT_EQ(list.HScrollBar()->geometry(), QRect(9, 219, 301, 12));

    // Rows that all fit: the thumb stays at the top.
    for (int i = 0; i < 3; ++i) list.InsertItem(i, QString::number(i));
    QApplication::processEvents();
    EXPECT_EQ(list.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(list.VScrollBar()->ThumbPos(), 36);

    std::vector<QStringList> rows;
    for (int i = 0; i < 500; ++i) rows.push_back({QString::number(i)});
    list.SetRows(rows);
    QApplication::processEvents();
    list.scrollToBottom();
    QApplication::processEvents();
    EXPECT_EQ(list.VScrollBar()->ThumbPos(), 212 - 62);

    list.hide();
    EXPECT_FALSE(list.VScrollBar()->isVisible());
    list.show();
    list.move(30, 20);
    EXPECT_TRUE(list.HScrollBar()->isVisible());
    EXPECT_EQ(list.HScrollBar()->geometry().topLeft(), QPoint(29, 219));
}
