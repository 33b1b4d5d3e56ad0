// The themed frame: caption rows, borders, page colour, buttons with their
// hover pictures, the caption text with its shadow, closing and moving.
#include "theme_test_util.h"
#include "theme/control_skin.h"
#include "theme/skin_list_ctrl.h"
#include "theme/theme_pictures.h"
#include "theme/xp_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

namespace {

// The caption strip and the top of the borders, row by row, as the frame
// picture must hold them (written out here, not taken from the generator).
const QRgb kBand[43] = {0x3F97FF, 0x3F97FF, 0x278DFF, 0x0073FD, 0x0073FD, 0x0365F1, 0x005AE7, 0x005AE7, 0x0054E3,
                        0x0053E1, 0x0053E1, 0x0054E3, 0x0050E2, 0x0050E2, 0x0050E2, 0x0051E5, 0x0051E5, 0x0051E5,
                        0x0055E5, 0x0055E5, 0x0051E5, 0x0051EB, 0x0051EB, 0x0055F1, 0x0055F1, 0x0058F3, 0x005AF5,
                        0x005AF5, 0x005CF9, 0x0060FC, 0x0060FC, 0x0065FD, 0x0065FD, 0x0065FD, 0x026AFE, 0x0065FD,
                        0x0065FD, 0x0065FD, 0x0060F9, 0x0060F9, 0x0046E0, 0x0043CF, 0x0043CF};
constexpr QRgb kEdge = 0x4000FF;

void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held = Qt::NoButton) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

bool SameBlock(const QImage& img, QPoint at, const QImage& pic) {
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x)
            if (At(img, at.x() + x, at.y() + y) != pic.pixelColor(x, y)) return false;
    return true;
}

bool Contains(const QImage& img, const QRect& r, QRgb c) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (At(img, x, y).rgb() == (c | 0xFF000000)) return true;
    return false;
}

} // namespace

TEST(Frame, PictureHoldsTheBandRows) {
    const QImage pic = ThemeImage(picture::Frame);
    ASSERT_EQ(pic.size(), QSize(965, 702));
    for (int y = 0; y < 43; ++y) {
        EXPECT_EQ(pic.pixelColor(0, y).rgb() & 0xFFFFFF, kBand[y]) << "row " << y;
        EXPECT_EQ(pic.pixelColor(964, y).rgb() & 0xFFFFFF, kBand[y]) << "row " << y;
    }
    EXPECT_EQ(pic.pixelColor(4, 300).rgb() & 0xFFFFFF, kEdge);
    EXPECT_EQ(pic.pixelColor(5, 300).rgb() & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(pic.pixelColor(400, 697).rgb() & 0xFFFFFF, kEdge);
}

TEST(Frame, CaptionWithShadowBordersAndPageColour) {
    CXpDialog main;
    main.resize(400, 300);
    EXPECT_EQ(main.Caption(), QStringLiteral(" V a n t o r e l")); // drawn in the caption strip
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Vantorel"));     // what the task bar and Alt+Tab show
    EXPECT_EQ(main.windowType(), Qt::Window);                      // a task-bar entry, not a tool or transient window
    main.setWindowIcon(ThemeAppIcon());
    main.show();
    const QImage img = Render(&main);
    SavePng(img, QStringLiteral("main_frame"));
    for (int y = 0; y < 26; ++y) EXPECT_RGB(img, 250, y, kBand[y]);
    for (int y = 26; y < 43; ++y) {
        EXPECT_RGB(img, 1, y, kBand[y]);
        EXPECT_RGB(img, 398, y, kBand[y]);
    }
    for (auto [x, y] : {std::pair{0, 100}, {2, 100}, {397, 100}, {399, 299}, {200, 297}, {200, 299}})
        EXPECT_RGB(img, x, y, kEdge);
    for (auto [x, y] : {std::pair{3, 26}, {3, 100}, {396, 296}, {200, 150}}) EXPECT_RGB(img, x, y, 0xF8F6E6);
    EXPECT_EQ(main.InnerRect(), QRect(3, 26, 394, 271));
    // The text starts at x 21; white strokes with their #444444 shadow.
    const QRect text(21, 5, 100, 20);
    EXPECT_TRUE(Contains(img, text, 0xFFFFFF));
    EXPECT_TRUE(Contains(img, text.translated(1, 2), 0x444444));
    EXPECT_FALSE(Contains(img, QRect(130, 0, 200, 26), 0xFFFFFF)) << "the caption is left-aligned and short";
    EXPECT_FALSE(Near(At(img, 10, 12), QColor(kBand[12]), 8)); // the icon in its slot at (2, 5)
}

TEST(Frame, CaptionButtonsHoverCloseAndTheCaptionDrags) {
    CXpDialog d;
    d.resize(300, 200);
    d.move(100, 100);
    d.show();
    const QImage close = ThemeImage(picture::Close), closeHover = ThemeImage(picture::CloseHover);
    const QImage minimise = ThemeImage(picture::Minimise), minimiseHover = ThemeImage(picture::MinimiseHover);
    // From the right: close at x w - 21, minimise 20 pixels further left, both at y 5; no maximise.
    QImage img = Render(&d);
    EXPECT_TRUE(SameBlock(img, {279, 5}, close));
    EXPECT_TRUE(SameBlock(img, {259, 5}, minimise));
    EXPECT_RGB(img, 245, 12, kBand[12]);
    Mouse(&d, QEvent::MouseMove, {287, 12});
    img = Render(&d);
    SavePng(img, QStringLiteral("dialog_close_hover"));
    EXPECT_TRUE(SameBlock(img, {279, 5}, closeHover));
    EXPECT_TRUE(SameBlock(img, {259, 5}, minimise));
    Mouse(&d, QEvent::MouseMove, {265, 12});
    img = Render(&d);
    EXPECT_TRUE(SameBlock(img, {279, 5}, close));
    EXPECT_TRUE(SameBlock(img, {259, 5}, minimiseHover));
    Mouse(&d, QEvent::MouseMove, {150, 100});
    EXPECT_TRUE(SameBlock(Render(&d), {259, 5}, minimise));

    const QPoint start = d.pos();
    Mouse(&d, QEvent::MouseButtonPress, {100, 10}, Qt::LeftButton);
    // The offscreen platform cannot move windows itself; the skin then moves it.
    const QPoint to = d.mapToGlobal(QPoint(100, 10)) + QPoint(40, 25);
    QMouseEvent move(QEvent::MouseMove, d.mapFromGlobal(QPointF(to)), QPointF(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&d, &move);
    Mouse(&d, QEvent::MouseButtonRelease, d.mapFromGlobal(to), Qt::NoButton);
    EXPECT_EQ(d.pos(), start + QPoint(40, 25));
    // A press inside the page does not move it.
    Mouse(&d, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    Mouse(&d, QEvent::MouseMove, {150, 150}, Qt::LeftButton);
    Mouse(&d, QEvent::MouseButtonRelease, {150, 150}, Qt::NoButton);
    EXPECT_EQ(d.pos(), start + QPoint(40, 25));

    int finished = -1;
    QObject::connect(&d, &QDialog::finished, [&](int r) { finished = r; });
    Mouse(&d, QEvent::MouseButtonPress, {287, 12}, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(finished, QDialog::Rejected);
}

// A subclass that fills its whole window keeps the frame.
TEST(Frame, SurvivesASubclassThatPaintsEverything) {
    struct Filler : CXpDialog {
        void paintEvent(QPaintEvent*) override {
            QPainter p(this);
            p.fillRect(rect(), QColor(0xF8F6E6));
        }
    } d;
    d.resize(300, 200);
    d.show();
    const QImage img = Render(&d);
    EXPECT_RGB(img, 150, 0, kBand[0]);
    EXPECT_RGB(img, 1, 100, kEdge);
}

// A dialog as the program shows it, skinned, at ratios 1 and 2 (PNG files to look at).
TEST(Frame, DialogWithControlsAtDoubleDensity) {
    EnableControlSkin(nullptr, true);
    {
        CXpDialog d;
        d.SetTitle(QStringLiteral("附加险"));
        d.setWindowIcon(ThemeAppIcon());
        d.resize(560, 260);
        auto* edit = new QLineEdit(QStringLiteral("意外伤害"), &d);
        edit->setGeometry(84, 50, 150, 22);
        auto* check = new QCheckBox(QStringLiteral("豁免保费"), &d);
        check->setChecked(true);
        check->setGeometry(84, 110, 150, 20);
        auto* add = new QPushButton(QStringLiteral("添加"), &d);
        add->setGeometry(30, 180, 54, 22);
        add->setDefault(true);
        auto* del = new QPushButton(QStringLiteral("删除"), &d);
        del->setGeometry(150, 180, 54, 22);
        del->setEnabled(false);
        auto* list = new CSkinListCtrl(&d);
        list->setGeometry(258, 34, 280, 190);
        list->InsertColumn(0, QStringLiteral("险种名称"), 120);
        list->InsertColumn(1, QStringLiteral("保险金额"), 100);
        for (int i = 0; i < 4; ++i) {
            list->InsertItem(i, QStringLiteral("附加险%1").arg(i + 1));
            list->SetItemText(i, 1, QString::number((i + 1) * 10000));
        }
        list->SelectRow(1);
        d.show();
        const QImage one = Render(&d);
        SavePng(one, QStringLiteral("rider_dialog"));
        const QImage two = Render(&d, 2.0);
        SavePng(two, QStringLiteral("rider_dialog_dpr2"));
        // At ratio 2 every picture pixel becomes a clean 2 x 2 block.
        for (int y = 0; y < 43; ++y)
            for (int d2 = 0; d2 < 4; ++d2)
                ASSERT_EQ(two.pixelColor(2 + d2 % 2, 2 * y + d2 / 2), QColor(kBand[y])) << "row " << y;
        const QImage close = ThemeImage(picture::Close);
        const QRect cr = d.FrameSkin().CloseRect();
        for (int y = 0; y < close.height(); ++y)
            for (int x = 0; x < close.width(); ++x)
                ASSERT_EQ(two.pixelColor(2 * (cr.x() + x) + 1, 2 * (cr.y() + y) + 1), close.pixelColor(x, y));
        EXPECT_RGB(two, 35, 184, 0xFCFCFB); // the default button's face
        EXPECT_RGB(two, 300, 150, 0xE1E1EB);
    }
    EnableControlSkin(nullptr, false);
}

// A dialog opened over the main window belongs to it: one task-bar entry (the
// main window's), kept above it, its own title in plain text.
TEST(Frame, DialogsAreTransientForTheirOwnerWithPlainTitles) {
    CXpDialog main;
    main.resize(400, 300);
    main.move(60, 50);
    main.show();
    CXpDialog dlg(&main);
    dlg.SetTitle(QStringLiteral("受益人"));
    dlg.resize(200, 150);
    dlg.move(main.pos());
    dlg.show();
    EXPECT_EQ(dlg.windowType(), Qt::Dialog);
    EXPECT_TRUE(dlg.windowFlags() & Qt::FramelessWindowHint);
    ASSERT_NE(dlg.windowHandle(), nullptr);
    EXPECT_EQ(dlg.windowHandle()->transientParent(), main.windowHandle());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("受益人"));
    EXPECT_EQ(dlg.Caption(), QStringLiteral(" 受 益 人"));
    EXPECT_EQ(dlg.pos(), main.pos());
    // The main window itself stays a window of its own, with nothing above it.
    EXPECT_EQ(main.windowType(), Qt::Window);
    EXPECT_EQ(main.windowHandle()->transientParent(), nullptr);
    // The spaced caption is what the frame draws.
    const QImage img = Render(&dlg);
    SavePng(img, QStringLiteral("dialog_caption"));
    EXPECT_TRUE(Contains(img, QRect(21, 5, 80, 20), 0xFFFFFF));
}

// Until the window manager reports where it put a window, Qt may still hold
// the position the program asked for; the platform's move is then handed a
// pointer position that is off by the difference and the window jumps on the
// first drag. A press anywhere in the window brings the known position in
// line with where the pointer says the window is.
TEST(Frame, APressCorrectsAStalePositionBeforeTheMoveStarts) {
    CXpDialog d;
    d.resize(300, 200);
    d.move(100, 100);
    d.show();
    ASSERT_NE(d.windowHandle(), nullptr);
    const QPoint real(300, 200); // where the window manager really placed it
    auto press = [&](QPoint local, QEvent::Type type = QEvent::MouseButtonPress,
                     Qt::MouseButtons held = Qt::LeftButton) {
        QMouseEvent e(type, QPointF(local), QPointF(real + local),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(d.windowHandle(), &e); // as the platform delivers it
    };
    // A press inside the page (a button, say): nothing moves on screen, the
    // known position follows the real one, so a dialog placed on this
    // window's corner lands there.
    press({150, 120});
    press({150, 120}, QEvent::MouseButtonRelease, Qt::NoButton);
    EXPECT_EQ(d.pos(), real);
    EXPECT_EQ(d.mapToGlobal(QPoint(150, 120)), real + QPoint(150, 120));

    // The same on the caption, and the drag then follows the pointer from the real place.
    d.move(100, 100);
    press({100, 10});
    EXPECT_EQ(d.mapToGlobal(QPoint(100, 10)), real + QPoint(100, 10)) << "the point handed to the platform's move";
    const QPoint to = real + QPoint(100, 10) + QPoint(40, 25);
    QMouseEvent move(QEvent::MouseMove, QPointF(d.mapFromGlobal(to)), QPointF(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(d.windowHandle(), &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(d.mapFromGlobal(to)), QPointF(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(d.windowHandle(), &release);
    EXPECT_EQ(d.pos(), real + QPoint(40, 25));

    // A position that agrees (give or take the rounding of a scaled screen) is left alone.
    const QPoint now = d.pos();
    QMouseEvent near(QEvent::MouseButtonPress, QPointF(150, 120), QPointF(now + QPoint(151, 121)), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(d.windowHandle(), &near);
    EXPECT_EQ(d.pos(), now);
}
