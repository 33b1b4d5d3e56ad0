// The list's look: ground, selected rows with and without the focus, the
// picture header.
#include "theme_test_util.h"
#include "theme/skin_header_ctrl.h"
#include "theme/skin_list_ctrl.h"
#include "theme/skin_paint.h"
#include "theme/theme_pictures.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>

namespace {

struct ListPage : ::testing::Test {
    QWidget page;
    CSkinListCtrl* list = nullptr;
    void SetUp() override {
        page.resize(360, 260);
        page.setAutoFillBackground(true);
        QPalette p = page.palette();
        p.setColor(QPalette::Window, QColor(0xF8F6E6));
        page.setPalette(p);
        list = new CSkinListCtrl(&page);
        list->setGeometry(10, 10, 320, 220);
        list->InsertColumn(0, QStringLiteral("姓名"), 100);
        list->InsertColumn(1, QStringLiteral("身份证号"), 150);
        list->InsertColumn(2, QStringLiteral("关系"), 50);
        const QStringList names = {QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")};
        for (int i = 0; i < 3; ++i) {
            list->InsertItem(i, names[i]);
            list->SetItemText(i, 1, QStringLiteral("11010119800101%1").arg(i, 4, 10, QChar('0')));
            list->SetItemText(i, 2, QStringLiteral("本人"));
        }
        list->SetTextColor(Qt::blue);
        list->SetBkColor(Qt::white); // the theme's ground wins
        page.show();
        QApplication::processEvents();
    }
    // A point in the row's first cell right of its short text.
    QPoint RowPoint(int row) const {
        const QRect r = list->visualRect(list->model()->index(row, 0));
        return list->viewport()->mapTo(&page, QPoint(r.left() + 90, r.center().y()));
    }
    bool RowHasTextIn(const QImage& img, int row, QColor c) const {
        const QRect r = list->visualRect(list->model()->index(row, 0));
        const QPoint o = list->viewport()->mapTo(&page, r.topLeft());
        for (int y = o.y(); y < o.y() + r.height(); ++y)
            for (int x = o.x(); x < o.x() + 60; ++x)
                if (Near(At(img, x, y), c, 8)) return true;
        return false;
    }
};

} // namespace

TEST_F(ListPage, GroundAndSelectedRowWithAndWithoutFocus) {
    list->SelectRow(1);
    QApplication::setActiveWindow(&page);
    list->setFocus();
    QApplication::processEvents();
    const QImage focused = Render(&page);
    list->clearFocus();
    QApplication::processEvents();
    ASSERT_FALSE(list->hasFocus());
    const QImage unfocused = Render(&page);
    SavePng(unfocused, QStringLiteral("list_selected_nofocus"));
    for (const QImage* img : {&focused, &unfocused}) {
        // Below the rows the ground shows, whatever the owner asked for.
        const QPoint below = list->viewport()->mapTo(&page, QPoint(200, 150));
        EXPECT_RGB(*img, below.x(), below.y(), 0xE1E1EB);
        // Rows not selected stand on the ground with the owner's text colour.
        EXPECT_RGB(*img, RowPoint(0).x(), RowPoint(0).y(), 0xE1E1EB);
        EXPECT_TRUE(RowHasTextIn(*img, 0, Qt::blue));
        EXPECT_RGB(*img, RowPoint(1).x(), RowPoint(1).y(), 0x737BA5);
        EXPECT_TRUE(RowHasTextIn(*img, 1, QColor(0xE5E5E5)));
        EXPECT_FALSE(RowHasTextIn(*img, 1, Qt::blue));
    }
    // Painting leaves the selection as it was.
    EXPECT_EQ(list->GetSelectedRows(), QList<int>{1});
}

TEST_F(ListPage, HeaderIsPaintedFromItsPictures) {
    list->header()->resizeSection(1, 50);
    list->InsertColumn(3, QStringLiteral("一个很长很长很长的列标题"), 40);
    list->InsertColumn(4, QString(), 60);
    QApplication::processEvents();
    const QImage img = Render(&page);
    SavePng(img, QStringLiteral("list_header"));
    const QImage body = ThemeImage(picture::HeaderBody);
    CSkinHeaderCtrl* header = list->HeaderCtrl();
    ASSERT_EQ(header->height(), CSkinHeaderCtrl::kHeight);
    auto headerPoint = [&](int x, int y) { return header->viewport()->mapTo(&page, QPoint(x, y)); };
    // Inside a column, clear of its caption, and right of the last column.
    const int mid = header->sectionViewportPosition(0) + 8;
    const int beyond = header->sectionViewportPosition(4) + 60 + 3;
    for (int x : {mid, beyond}) {
        for (int y : {0, 3, 8, 15}) {
            const QPoint p = headerPoint(x, y);
            EXPECT_TRUE(Near(At(img, p.x(), p.y()), body.pixelColor(0, y))) << "x " << x << " y " << y;
        }
        const QPoint ground = headerPoint(x, 16);
        EXPECT_RGB(img, ground.x(), ground.y(), 0x7D7DEB);
    }
    // The column edges come from pictures 151 and 156.
    const int l1 = header->sectionViewportPosition(1);
    EXPECT_TRUE(Near(At(img, headerPoint(l1 - 1, 8).x(), headerPoint(l1 - 1, 8).y()),
                     ThemeImage(picture::HeaderLeftEdge).pixelColor(0, 8)));
    EXPECT_TRUE(Near(At(img, headerPoint(l1 - 1, 0).x(), headerPoint(l1 - 1, 0).y()), QColor(0x737373)));
    // A caption too wide for its column is cut: the empty column beside it
    // shows nothing but the picture.
    const int l4 = header->sectionViewportPosition(4);
    for (int x = l4 + 2; x < l4 + 57; ++x)
        for (int y = 1; y < 16; ++y) {
            const QPoint p = headerPoint(x, y);
            ASSERT_TRUE(Near(At(img, p.x(), p.y()), body.pixelColor(0, y))) << "x " << x << " y " << y;
        }
}

// Grid lines as a report-view list draws them: one pixel column of button
// face at the right edge of every column and one pixel row under every row,
// across the whole width; below the last row they go on at the same pitch,
// and the column lines run the full height.
TEST_F(ListPage, GridLinesBetweenColumnsAndUnderEveryRow) {
    list->SelectRow(1);
    QApplication::processEvents();
    const QImage img = Render(&page);
    SavePng(img, QStringLiteral("list_grid"));
    const QColor grid = skinpaint::ButtonFace();
    auto at = [&](int x, int y) {
        const QPoint p = list->viewport()->mapTo(&page, QPoint(x, y));
        return At(img, p.x(), p.y());
    };
    const int rowHeight = list->visualRect(list->model()->index(0, 0)).height();
    ASSERT_GT(rowHeight, 10);
    const int viewHeight = list->viewport()->height(), viewWidth = list->viewport()->width();
    for (int row = 0; row * rowHeight < viewHeight; ++row) {
        const int y = (row + 1) * rowHeight - 1; // the row's last pixel row
        if (row < 3) {
            ASSERT_EQ(y, list->visualRect(list->model()->index(row, 0)).bottom());
        }
        if (y >= viewHeight) break;
        for (int x : {2, 50, 180, viewWidth - 2}) EXPECT_TRUE(Near(at(x, y), grid)) << "row " << row << " x " << x;
        if (y + 1 < viewHeight) {
            EXPECT_FALSE(Near(at(50, y + 1), grid)) << "row " << row;
        }
    }
    for (int x : {99, 249, 299})
        for (int y : {1, rowHeight + rowHeight / 2, 150, viewHeight - 2}) {
            if ((y + 1) % rowHeight == 0) continue;
            EXPECT_TRUE(Near(at(x, y), grid)) << "x " << x << " y " << y;
        }
    // Between the lines: the row colours, the ground below the rows.
    EXPECT_RGB(img, RowPoint(0).x(), RowPoint(0).y(), 0xE1E1EB);
    EXPECT_RGB(img, RowPoint(1).x(), RowPoint(1).y(), 0x737BA5);
    EXPECT_TRUE(Near(at(98, rowHeight / 2), QColor(0xE1E1EB)));
    EXPECT_TRUE(Near(at(100, rowHeight / 2), QColor(0xE1E1EB)));
    EXPECT_TRUE(Near(at(310, rowHeight / 2), QColor(0xE1E1EB))) << "no column line past the last column";

    // An empty list is ruled at the same pitch; a list told not to draw them has none.
    const int pitch = list->RowPitch();
    list->DeleteAllItems();
    EXPECT_EQ(list->RowPitch(), pitch);
    const QImage empty = Render(&page);
    const QPoint line = list->viewport()->mapTo(&page, QPoint(50, pitch - 1));
    EXPECT_TRUE(Near(At(empty, line.x(), line.y()), grid));
    list->SetGridLines(false);
    const QImage bare = Render(&page);
    EXPECT_RGB(bare, line.x(), line.y(), 0xE1E1EB);
    list->SetGridLines(true);
    for (int i = 0; i < 3; ++i) list->InsertItem(i, QStringLiteral("行%1").arg(i));

    // Scrolled sideways, the column lines move with the columns.
    list->header()->resizeSection(2, 200);
    QApplication::processEvents();
    list->horizontalScrollBar()->setValue(30);
    QApplication::processEvents();
    ASSERT_EQ(list->horizontalScrollBar()->value(), 30);
    const QImage scrolled = Render(&page);
    const QPoint p = list->viewport()->mapTo(&page, QPoint(99 - 30, rowHeight / 2));
    EXPECT_TRUE(Near(At(scrolled, p.x(), p.y()), grid));
}

// Rows that show records: texts asked for only as rows are shown, and rows
// that follow their records when one leaves the collection.
TEST(ListOfRecords, FormatsOnlyWhatItShowsAndFollowsRemovedRecords) {
    QWidget page;
    page.resize(360, 260);
    auto* list = new CSkinListCtrl(&page);
    list->setGeometry(10, 10, 320, 220);
    list->InsertColumn(0, QStringLiteral("号"), 100);
    list->InsertColumn(1, QStringLiteral("名"), 100);
    int asked = 0;
    const auto text = [&asked](int record, int column) {
        ++asked;
        return QStringLiteral("r%1c%2").arg(record).arg(column);
    };
    list->ShowRecords(1000000, text);
    page.show();
    QApplication::processEvents();
    EXPECT_EQ(list->GetItemCount(), 1000000);
    EXPECT_GT(asked, 0);
    EXPECT_LT(asked, 200) << "only the rows on screen";
    EXPECT_EQ(list->GetItemText(999999, 1), "r999999c1");

    auto records = [&] {
        std::vector<int> r;
        for (int row = 0; row < list->GetItemCount(); ++row) r.push_back(list->RecordOfRow(row));
        return r;
    };
    // Every record in order: a removed record's row goes, the rest stay in order.
    list->ShowRecords(4, text);
    list->RemoveRecordRow(1, 1);
    EXPECT_EQ(records(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list->GetItemText(1, 0), "r1c0");
    // Some records: later records move down one.
    list->ShowRecords({0, 2, 3, 5}, text);
    list->RemoveRecordRow(1, 2);
    EXPECT_EQ(records(), (std::vector<int>{0, 2, 4}));
    // A row whose key found another record (the first with that key): that
    // record goes, and its row stands for the record of the row that went.
    list->ShowRecords({0, 1, 2}, text);
    list->RemoveRecordRow(2, 0);
    EXPECT_EQ(records(), (std::vector<int>{1, 0}));
    // Editing a text turns the rows into texts as shown.
    list->SetItemText(0, 1, QStringLiteral("x"));
    EXPECT_EQ(list->GetItemText(0, 0), "r1c0");
    EXPECT_EQ(list->GetItemText(0, 1), "x");
    EXPECT_EQ(list->RecordOfRow(0), -1);
    list->DeleteAllItems();
    EXPECT_EQ(list->GetItemCount(), 0);
}

TEST_F(ListPage, ColumnsAppendedInOneStepAreThoseInsertedOneByOne) {
    list->AppendColumns({QStringLiteral("电话"), QStringLiteral("地址")}, 70);
    list->AppendColumns({}, 70); // nothing to add
    ASSERT_EQ(list->GetColumnCount(), 5);
    EXPECT_EQ(list->GetColumnCaption(3), "电话");
    EXPECT_EQ(list->GetColumnCaption(4), "地址");
    EXPECT_EQ(list->header()->sectionSize(4), 70);
    EXPECT_EQ(list->GetItemText(1, 2), "本人") << "the rows keep their cells";
    EXPECT_EQ(list->GetItemText(1, 3), "");
    list->SetItemText(1, 4, QStringLiteral("北京"));
    EXPECT_EQ(list->GetItemText(1, 4), "北京");
}
