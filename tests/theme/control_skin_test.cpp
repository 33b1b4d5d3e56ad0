// The skinned controls' pixels in each state, and the controls that keep
// their own look.
#include "theme_test_util.h"
#include "theme/control_skin.h"
#include "theme/skin_paint.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace {

constexpr int kW = 80, kH = 24;

struct Skinned : ::testing::Test {
    QWidget page;
    QPushButton* before = nullptr;
    void SetUp() override {
        page.resize(420, 200);
        before = new QPushButton(QStringLiteral("确定"), &page); // made before skinning is on
        before->setGeometry(300, 10, kW, kH);
        ASSERT_TRUE(EnableControlSkin(nullptr, true));
        page.show();
    }
    void TearDown() override { EnableControlSkin(nullptr, false); }
    QPushButton* Button(const QString& text = QStringLiteral("添加")) {
        auto* b = new QPushButton(text, &page);
        b->setGeometry(0, 0, kW, kH);
        b->show();
        return b;
    }
};

void Hover(QWidget* w) {
    QMouseEvent e(QEvent::MouseMove, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// The ring's top and bottom rows and the face's top row, at x 5 (clear of the caption).
void ExpectRingAndFace(QPushButton* b, QRgb ringTop, QRgb ringBottom, QRgb faceTop, const char* name) {
    SCOPED_TRACE(name);
    const QImage img = Render(b);
    SavePng(img, QStringLiteral("push_") + QLatin1String(name));
    EXPECT_TRUE(Near(At(img, 5, 2), QColor(ringTop), 2));
    EXPECT_TRUE(Near(At(img, 5, kH - 3), QColor(ringBottom), 2));
    EXPECT_TRUE(Near(At(img, 5, 4), QColor(faceTop), 2));
}

} // namespace

TEST_F(Skinned, PushButtonStates) {
    QPushButton* b = Button();
    {
        const QImage img = Render(b);
        EXPECT_TRUE(Near(At(img, 40, 0), skinpaint::ButtonFace()));
        EXPECT_RGB(img, 40, 1, 0x003C73);
        EXPECT_RGB(img, 2, 2, 0x527DA5);
        EXPECT_RGB(img, 1, 2, 0x7B96AD);
        EXPECT_RGB(img, 5, kH - 5, 0xECEBE6); // face bottom
    }
    ExpectRingAndFace(b, 0xFFFFFF, 0xE2DFD6, 0xFCFCFB, "normal");
    Hover(b);
    ExpectRingAndFace(b, 0xFFF0CF, 0xE59700, 0xFCFCFB, "hover");
    b->setDown(true); // pressed wins over hover
    ExpectRingAndFace(b, 0xD1CCC1, 0xF2F1EE, 0xE7E3DE, "pressed");
    b->setDown(false);
    b->setEnabled(false);
    {
        const QImage img = Render(b);
        SavePng(img, QStringLiteral("push_disabled"));
        EXPECT_RGB(img, 40, 1, skinpaint::FaceMinus(0x20).rgb());
        EXPECT_RGB(img, 5, 2, 0xF5F4EA);
        EXPECT_RGB(img, 5, 4, 0xF5F4EA);
    }
    QPushButton* def = Button();
    def->setDefault(true);
    ExpectRingAndFace(def, 0xCEE7FF, 0x6982EE, 0xFCFCFB, "default");
    // A push-like check box: the checked ring and the pressed face.
    QPushButton* pushLike = Button();
    pushLike->setCheckable(true);
    pushLike->setChecked(true);
    ExpectRingAndFace(pushLike, 0xD6CBBD, 0xF7F3EF, 0xE7E3DE, "checked");
    // The button made before skinning was switched on looks the same, and shows no
    // hover while the left button is held over it.
    QEvent leave(QEvent::Leave); // in case the pointer sat where the button appeared
    QApplication::sendEvent(before, &leave);
    QMouseEvent drag(QEvent::MouseMove, QPointF(5, 5), before->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(before, &drag);
    ExpectRingAndFace(before, 0xFFFFFF, 0xE2DFD6, 0xFCFCFB, "made_before");
    Hover(before);
    EXPECT_TRUE(SkinHover(before));
}

TEST_F(Skinned, CheckBoxesAndOptionButtonsShowTheTick) {
    auto* check = new QCheckBox(QStringLiteral("生日提醒"), &page);
    auto* radio = new QRadioButton(QStringLiteral("男"), &page);
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(check), static_cast<QAbstractButton*>(radio)}) {
        b->setGeometry(0, 0, 100, 20);
        b->show();
        const int top = (20 - 13) / 2;
        QImage img = Render(b);
        EXPECT_RGB(img, 0, top + 6, 0x185184);           // box outline
        EXPECT_RGB(img, 98, 1, 0xF8F6E6);                // the page colour round it
        EXPECT_RGB_NEAR(img, 1, top + 1, 0xDEDFD6, 2);   // normal gradient, top left
        EXPECT_RGB_NEAR(img, 11, top + 11, 0xFFFFFF, 2); // and bottom right
        b->setChecked(true);
        img = Render(b);
        SavePng(img, QStringLiteral("checked_") + b->metaObject()->className());
        for (auto [x, y] : {std::pair{3, 4}, {5, 6}, {6, 5}, {9, 2}}) EXPECT_RGB(img, x, top + y, 0x21A221);
        EXPECT_FALSE(Near(At(img, 9, top + 5), QColor(0x21A221))); // below the tick's right arm
        b->setEnabled(false);
        img = Render(b);
        EXPECT_RGB(img, 5, top + 6, 0xCECBBD);
        EXPECT_RGB(img, 2, top + 2, 0xFFFFFF);
    }
    check->setTristate(true);
    check->setEnabled(true);
    check->setCheckState(Qt::PartiallyChecked);
    const QImage img = Render(check);
    EXPECT_RGB(img, 6, (20 - 13) / 2 + 6, 0x73C373);
}

TEST_F(Skinned, ComboBoxArrowButtonAndEditFrames) {
    auto* combo = new QComboBox(&page);
    combo->addItems({QStringLiteral("本人"), QStringLiteral("儿子")});
    combo->setGeometry(0, 0, 120, 22);
    combo->show();
    QImage img = Render(combo);
    SavePng(img, QStringLiteral("combo_normal"));
    QRect b = CSkinStyle::ComboArrowRect(QRect(0, 0, 120, 22));
    EXPECT_EQ(b, QRect(120 - 2 - 17, 2, 17, 18));
    EXPECT_RGB(img, 0, 11, 0x7B9EBD);
    EXPECT_RGB(img, 1, 11, 0xFFFFFF);
    EXPECT_RGB(img, b.left(), 11, 0xFFFFFF); // the button's separator column
    b.setLeft(b.left() + 1);
    EXPECT_RGB(img, b.right(), b.top(), 0xDEE7FF); // corner pixels, normal
    EXPECT_RGB(img, b.left(), b.bottom(), 0xDEE3FF);
    EXPECT_RGB(img, b.left() + 1, b.top() + 1, 0xE7EBFF); // inner button, top left
    const QRect inner = b.adjusted(1, 1, -1, -1);
    const int cx = inner.left() + inner.width() / 2, cy = inner.top() + inner.height() / 2;
    EXPECT_RGB(img, cx, cy + 2, 0x4A6184); // tip of the chevron
    EXPECT_RGB(img, cx - 3, cy - 3, 0x4A6184);
    EXPECT_FALSE(Near(At(img, cx, cy + 4), QColor(0x4A6184), 8));

    Hover(combo);
    img = Render(combo);
    EXPECT_RGB(img, b.right(), b.top(), 0xC6CFEF);
    combo->setEnabled(false);
    img = Render(combo);
    SavePng(img, QStringLiteral("combo_disabled"));
    EXPECT_RGB(img, 0, 11, skinpaint::FaceMinus(0x20).rgb());
    EXPECT_RGB(img, cx, cy + 2, 0xCECBC6);

    // An edit has the same frame; read-only shows on its ground.
    auto* edit = new QLineEdit(QStringLiteral("张三"), &page);
    edit->setGeometry(0, 0, 100, 20);
    edit->show();
    img = Render(edit);
    EXPECT_RGB(img, 0, 10, 0x7B9EBD);
    EXPECT_RGB(img, 1, 10, 0xFFFFFF);
    edit->setReadOnly(true);
    EXPECT_RGB(Render(edit), 1, 10, skinpaint::ButtonFace().rgb());
}

// Labels and frameless edits are drawn by the base style alone; a group box
// is the platform's etched frame with nothing filled inside it.
TEST(SkinLeavesAlone, GroupBoxLabelAndFramelessEdit) {
    QWidget page;
    page.resize(200, 120);
    auto* group = new QGroupBox(QStringLiteral("受益人资料"), &page);
    group->setGeometry(5, 5, 150, 60);
    auto* label = new QLabel(QStringLiteral("姓名"), &page);
    label->setGeometry(10, 70, 60, 16);
    auto* bare = new QLineEdit(QStringLiteral("abc"), &page);
    bare->setFrame(false);
    bare->setGeometry(10, 90, 80, 18);
    QApplication::setStyle(QStringLiteral("Fusion"));
    page.show();
    const QImage plain = Render(&page);
    EnableControlSkin(nullptr, true);
    const QImage skinned = Render(&page);
    EnableControlSkin(nullptr, false);
    SavePng(skinned, QStringLiteral("group_box"));
    const QRect untouched(0, 66, 200, 54); // the label and the edit, below the group
    EXPECT_TRUE(plain.copy(untouched) == skinned.copy(untouched));
    const QColor ground = page.palette().color(QPalette::Window);
    for (auto [x, y] : {std::pair{30, 40}, {80, 50}, {150, 40}}) EXPECT_TRUE(Near(At(skinned, x, y), ground));
    // Etched: a shadow line with a light one inside it, on the left edge.
    const int mid = 45;
    EXPECT_TRUE(Near(At(skinned, 5, mid), page.palette().color(QPalette::Dark)));
    EXPECT_TRUE(Near(At(skinned, 6, mid), page.palette().color(QPalette::Light)));
}

// A navigation tree "with buttons, lines and lines at root", as the platform
// draws one: dotted grey lines join every item to its parent and its
// siblings, roots included, and each item with children has a boxed
// plus or minus.
TEST_F(Skinned, TreeDrawsDottedLinesAndBoxedButtons) {
    auto* tree = new QTreeWidget(&page);
    tree->setGeometry(0, 0, 160, 190);
    tree->setHeaderHidden(true);
    QPalette p = tree->palette();
    p.setColor(QPalette::Base, QColor(250, 250, 230));
    tree->setPalette(p);
    QList<QTreeWidgetItem*> roots;
    for (const char* r : {"客户管理", "团队管理", "提醒管理"}) {
        auto* root = new QTreeWidgetItem(tree, {QString::fromUtf8(r)});
        for (int i = 0; i < 2; ++i) new QTreeWidgetItem(root, {QStringLiteral("子项%1").arg(i)});
        roots << root;
    }
    roots[0]->setExpanded(true);
    roots[2]->setExpanded(true);
    tree->setCurrentItem(roots[0]);
    tree->show();
    QApplication::processEvents();
    const QImage img = Render(tree);
    SavePng(img, QStringLiteral("tree_lines"));
    const QColor line(0x80, 0x80, 0x80);
    auto vp = [&](QPoint at) { return tree->viewport()->mapTo(tree, at); };
    auto rectOf = [&](QTreeWidgetItem* item) { return tree->visualItemRect(item); };
    auto midY = [](const QRect& r) { return r.top() + r.height() / 2; };
    const int indent = tree->indentation();
    // Every other pixel along a run: a dotted line, not a solid one.
    auto dotted = [&](QPoint from, QPoint step, int length) {
        int on = 0, off = 0;
        for (int i = 0; i < length; ++i) {
            const QPoint q = vp(from + step * i);
            (Near(At(img, q.x(), q.y()), line, 8) ? on : off)++;
        }
        return on >= length / 2 - 1 && off >= length / 2 - 1;
    };
    // The roots' column: from the first root's button down to the last root's.
    const int rootX = indent / 2 - indent; // branch column left of the item rectangle
    const QRect first = rectOf(roots[0]), second = rectOf(roots[1]), last = rectOf(roots[2]);
    const int x0 = first.left() + rootX;
    EXPECT_TRUE(dotted({x0, first.center().y() + 6}, {0, 1}, second.center().y() - first.center().y() - 12))
        << "between the first two roots";
    EXPECT_TRUE(dotted({x0, second.center().y() + 6}, {0, 1}, last.center().y() - second.center().y() - 12));
    for (int y = 0; y < first.center().y() - 5; ++y) {
        const QPoint q = vp({x0, y});
        EXPECT_FALSE(Near(At(img, q.x(), q.y()), line, 8)) << "nothing above the first root, y " << y;
    }
    // A child: its parent's column runs down to it, a short line leads to its text.
    QTreeWidgetItem* child = roots[0]->child(1);
    const QRect c = rectOf(child);
    const int x1 = c.left() + rootX;
    EXPECT_TRUE(dotted({x1, c.top()}, {0, 1}, c.height() / 2));
    EXPECT_TRUE(dotted({x1 + 2, midY(c)}, {1, 0}, indent / 2 - 4));
    // Buttons: a grey box, white inside, with a minus when open and a plus when closed.
    auto button = [&](QTreeWidgetItem* item, bool open) {
        SCOPED_TRACE(item->text(0).toStdString());
        const QRect r = rectOf(item);
        const QPoint mid = vp({r.left() + rootX, midY(r)});
        EXPECT_TRUE(Near(At(img, mid.x() - 4, mid.y()), line, 8)) << "left edge of the box";
        EXPECT_TRUE(Near(At(img, mid.x() + 4, mid.y() + 2), line, 8)) << "right edge of the box";
        EXPECT_RGB(img, mid.x() - 3, mid.y() - 3, 0xFFFFFF);
        EXPECT_RGB(img, mid.x(), mid.y(), QRgb(0));     // the sign's middle
        EXPECT_RGB(img, mid.x() - 2, mid.y(), QRgb(0)); // the bar
        EXPECT_RGB(img, mid.x(), mid.y() - 2, open ? QRgb(0xFFFFFF) : QRgb(0));
    };
    button(roots[0], true);
    button(roots[1], false);
    // The selection marks the item, not the branch beside it.
    const QPoint beside = vp({first.left() + rootX - 6, midY(first)});
    EXPECT_RGB(img, beside.x(), beside.y(), 0xFAFAE6);
}
