#include "app/gbk.h"
#include "app/settings.h"
#include "gui_test_support.h"
#include "pages/schedule/atx_calendar.h"
#include "pages/schedule/schedule_page.h"
#include "records/data_files.h"
#include "theme/skin_list_ctrl.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QSettings>
#include <cmath>
#include <limits>
#include <memory>

using vantorel::TheBook;

namespace {

enum { kCalendar = 1191, kMemo = 1195, kSwitch = 1205, kAdd = 1196, kList = 1193, kDelete = 1160 };

struct Fixture : testing::Test {
    void SetUp() override {
        TheBook().Clear();
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Vantorel", QCoreApplication::applicationName())
            .clear();
    }
    void TearDown() override { TheBook().Clear(); }
    MessageRecorder rec; // no test may leave a real box waiting

    std::unique_ptr<CSchedulePage> Make() {
        auto p = std::make_unique<CSchedulePage>();
        p->show();
        return p;
    }
    static void AddEntry(double date, const char* text) { TheBook().calendar.Add({date, ToGbk(QString::fromUtf8(text))}); }
    static QStringList Rows(CSchedulePage* p) {
        QStringList out;
        auto* l = FindCtl<CSkinListCtrl>(p, kList);
        for (int i = 0; i < l->GetItemCount(); ++i) out << l->GetItemText(i, 0) + "|" + l->GetItemText(i, 1);
        return out;
    }
    // Clicks the cell of that day of the month the calendar shows; days 8 to
    // 21 occur once on any page of a month calendar.
    static void ClickDay(CAtxCalendar* cal, int day) {
        auto* view = cal->findChild<QAbstractItemView*>();
        ASSERT_NE(view, nullptr);
        QAbstractItemModel* m = view->model();
        for (int r = 0; r < m->rowCount(); ++r)
            for (int c = 0; c < m->columnCount(); ++c) {
                const QModelIndex i = m->index(r, c);
                if (m->data(i).toString() != QString::number(day)) continue;
                const QPoint at = view->visualRect(i).center();
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
                return;
            }
        FAIL() << "no cell for day " << day;
    }
};

TEST_F(Fixture, CreationShowsTodayTheEntriesInOrderAndTheSwitch) {
    AddEntry(20040529, "交保费");
    AddEntry(20031231, "年终总结"); // earlier date added later: stays below
    AddEntry(std::numeric_limits<double>::quiet_NaN(), "坏");
    auto page = Make();
    EXPECT_EQ(page->objectName(), "175");
    EXPECT_EQ(Rows(page.get()), (QStringList{"2004-5-29|交保费", "2003-12-31|年终总结", "0-0-0|坏"}));
    auto* list = FindCtl<CSkinListCtrl>(page.get(), kList);
    EXPECT_EQ(list->GetColumnCaption(0), "时间");
    EXPECT_EQ(list->GetColumnCaption(1), "日程安排");

    auto* cal = FindCtl<CAtxCalendar>(page.get(), kCalendar);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(cal->GetYear(), today.year());
    EXPECT_EQ(cal->GetMonth(), today.month());
    EXPECT_EQ(cal->GetDay(), today.day());
    EXPECT_EQ(cal->locale().language(), QLocale::Chinese);
    EXPECT_TRUE(FindCtl<QCheckBox>(page.get(), kSwitch)->isChecked()); // empty store: on
}

TEST_F(Fixture, DateNumbersSplitByTruncation) {
    EXPECT_EQ(CSchedulePage::DateText(20040529), "2004-5-29");
    EXPECT_EQ(CSchedulePage::DateText(20040529.9), "2004-5-29");
    EXPECT_EQ(CSchedulePage::DateText(515), "0-5-15");
    EXPECT_EQ(CSchedulePage::DateText(-20040529), "-2004--5--29");
    EXPECT_EQ(CSchedulePage::DateText(1e300), "0-0-0");
    EXPECT_EQ(CSchedulePage::DateText(std::numeric_limits<double>::infinity()), "0-0-0");
}

TEST_F(Fixture, AddRefusesEmptyTextBeforeMissingDayAndAddsAgainOnRepeat) {
    auto page = Make();
    auto* cal = FindCtl<CAtxCalendar>(page.get(), kCalendar);
    cal->SetYear(2004);
    cal->SetMonth(5);
    cal->SetDay(14);

    // Empty text with no day selected: only the text is complained about.
    ClickDay(cal, 14); // the selected day again: no day
    EXPECT_EQ(cal->GetYear(), 0);
    EXPECT_EQ(cal->GetMonth(), 0);
    EXPECT_EQ(cal->GetDay(), 0);
    Press(page.get(), kAdd);
    EXPECT_EQ(rec.shown, QStringList{"请输入事件!"});

    TypeInto(page.get(), kMemo, "拜访王先生");
    Press(page.get(), kAdd);
    EXPECT_EQ(rec.shown, (QStringList{"请输入事件!", "请选择日期!"}));
    EXPECT_EQ(TheBook().calendar.GetSize(), 0);

    ClickDay(cal, 14); // selects it again
    EXPECT_EQ(cal->GetDay(), 14);
    Press(page.get(), kAdd);
    ClickDay(cal, 20);
    Press(page.get(), kAdd);
    Press(page.get(), kAdd); // same again: a second entry
    EXPECT_EQ(rec.shown.size(), 2);
    ASSERT_EQ(TheBook().calendar.GetSize(), 3);
    EXPECT_EQ(TheBook().calendar.At(0).date, 20040514);
    EXPECT_EQ(FromGbk(TheBook().calendar.At(0).text), "拜访王先生");
    EXPECT_EQ(Rows(page.get()),
              (QStringList{"2004-5-14|拜访王先生", "2004-5-20|拜访王先生", "2004-5-20|拜访王先生"}));
    EXPECT_EQ(TextOf(page.get(), kMemo), "拜访王先生"); // the memo keeps its text
}

TEST_F(Fixture, TextTheFilesCannotHoldIsRefusedByName) {
    auto page = Make();
    TypeInto(page.get(), kMemo, QString::fromUtf8("生日聚会🎂"));
    Press(page.get(), kAdd);
    ASSERT_EQ(rec.shown.size(), 1);
    EXPECT_TRUE(rec.shown[0].contains("日程安排"));
    EXPECT_EQ(TheBook().calendar.GetSize(), 0);
}

TEST_F(Fixture, DeleteTakesTheFirstSelectedRowAndSelectsTheNext) {
    MessageRecorder rec;
    for (int d = 1; d <= 5; ++d) AddEntry(20040500 + d, QString("e%1").arg(d).toUtf8().constData());
    auto page = Make();
    auto* list = FindCtl<CSkinListCtrl>(page.get(), kList);

    Press(page.get(), kDelete); // nothing selected: nothing happens
    EXPECT_EQ(TheBook().calendar.GetSize(), 5);

    list->SelectRow(1); // middle
    Press(page.get(), kDelete);
    EXPECT_EQ(Rows(page.get()), (QStringList{"2004-5-1|e1", "2004-5-3|e3", "2004-5-4|e4", "2004-5-5|e5"}));
    EXPECT_EQ(list->GetSelectedRows(), QList<int>{1});

    // Several selected: only the first goes.
    list->selectionModel()->select(list->model()->index(3, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(list->GetSelectedRows(), (QList<int>{1, 3}));
    Press(page.get(), kDelete);
    EXPECT_EQ(Rows(page.get()), (QStringList{"2004-5-1|e1", "2004-5-4|e4", "2004-5-5|e5"}));

    list->SelectRow(2); // the last
    Press(page.get(), kDelete);
    EXPECT_EQ(list->GetFirstSelected(), -1);
    ASSERT_EQ(TheBook().calendar.GetSize(), 2);
    EXPECT_EQ(FromGbk(TheBook().calendar.At(1).text), "e4");
    EXPECT_TRUE(rec.shown.isEmpty()); // no question, no message
}

TEST_F(Fixture, DoubleClickLoadsTheEntryAndAddStillAppends) {
    AddEntry(20040229, "闰日");
    AddEntry(1e300, "坏日期");
    auto page = Make();
    auto* list = FindCtl<CSkinListCtrl>(page.get(), kList);
    auto* cal = FindCtl<CAtxCalendar>(page.get(), kCalendar);
    cal->SetYear(2003);
    cal->SetMonth(1);
    cal->SetDay(31);

    const QRect cell = list->visualRect(list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(cal->GetYear(), 2004);
    EXPECT_EQ(cal->GetMonth(), 2);
    EXPECT_EQ(cal->GetDay(), 29);
    EXPECT_EQ(TextOf(page.get(), kMemo), "闰日");

    Press(page.get(), kAdd);
    ASSERT_EQ(TheBook().calendar.GetSize(), 3);
    EXPECT_EQ(TheBook().calendar.At(0).date, 20040229); // not replaced
    EXPECT_EQ(TheBook().calendar.At(2).date, 20040229);

    // A damaged date leaves the calendar alone but still loads the text.
    list->SelectRow(1);
    emit list->rowDoubleClicked(1);
    EXPECT_EQ(cal->GetYear(), 2004);
    EXPECT_EQ(cal->GetDay(), 29);
    EXPECT_EQ(TextOf(page.get(), kMemo), "坏日期");
}

TEST_F(Fixture, CalendarPutsInOrderReachEveryDate) {
    CAtxCalendar cal;
    cal.SetYear(2003);
    cal.SetMonth(1);
    cal.SetDay(31);
    // 31 January -> February holds the day back, then the day is put.
    cal.SetYear(2004);
    cal.SetMonth(2);
    EXPECT_EQ(cal.GetDay(), 29);
    cal.SetDay(10);
    EXPECT_EQ(cal.selectedDate(), QDate(2004, 2, 10));
    // From 29 February of a leap year to 31 March of a common year.
    cal.SetDay(29);
    cal.SetYear(2005);
    cal.SetMonth(3);
    cal.SetDay(31);
    EXPECT_EQ(cal.selectedDate(), QDate(2005, 3, 31));
    // Parts no calendar has are ignored.
    cal.SetMonth(13);
    cal.SetDay(0);
    cal.SetYear(0);
    EXPECT_EQ(cal.selectedDate(), QDate(2005, 3, 31));
    EXPECT_TRUE(cal.HasDay());
}

TEST_F(Fixture, SwitchIsThePagesValueAtOnceAndSurvivesARestart) {
    auto page = Make();
    auto* box = FindCtl<QCheckBox>(page.get(), kSwitch);
    ASSERT_TRUE(box->isChecked());
    box->click();
    ReminderSwitches s;
    page->CollectSwitches(s);
    EXPECT_EQ(s.calendar, 0);
    // As the main window does at close.
    RemindSettings::Write(RemindSettings::kCalendar, s.calendar);
    page.reset();

    page = Make();
    EXPECT_FALSE(FindCtl<QCheckBox>(page.get(), kSwitch)->isChecked());
    ReminderSwitches again;
    page->CollectSwitches(again);
    EXPECT_EQ(again.calendar, 0);
}

TEST_F(Fixture, HundredThousandEntriesAreListedWithoutAPause) {
    for (int i = 0; i < 100000; ++i) AddEntry(20000101 + i % 28, "拜访客户，带上新险种的资料");
    QElapsedTimer t;
    t.start();
    auto page = Make();
    const qint64 made = t.elapsed();
    TypeInto(page.get(), kMemo, "再来一条");
    t.restart();
    Press(page.get(), kAdd);
    const qint64 added = t.elapsed();
    EXPECT_EQ(FindCtl<CSkinListCtrl>(page.get(), kList)->GetItemCount(), 100001);
    std::printf("100000 schedule entries: page made in %lld ms, one add (list refilled) in %lld ms\n",
                static_cast<long long>(made), static_cast<long long>(added));
    EXPECT_LT(made, 2000);
    EXPECT_LT(added, 2000);
}

} // namespace
