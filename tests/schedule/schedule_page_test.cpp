#include "gui_test_support.h"
#include "agent/gbk.h"
#include "app/settings.h"
#include "pages/schedule/atx_calendar.h"
#include "pages/schedule/remind_settings_page.h"
#include "pages/schedule/schedule_page.h"
#include "records/people_records.h"
#include "resources/templates/remind_settings_ids.h"
#include "resources/templates/schedule_ids.h"
#include "theme/skin_list_ctrl.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QSettings>
#include <QToolButton>
#include <limits>
#include <memory>

namespace {

namespace id = ids::schedule;

QSettings Store() { return RemindSettings::Store(); }

struct Schedule : testing::Test {
    void SetUp() override { Store().clear(); }
    MessageRecorder rec; // no test may leave a real box waiting
    vantorel::CCalendar entries;
    std::unique_ptr<CSchedulePage> page;

    // The page as the main window makes it: the switch as stored, today by the clock.
    void Open() {
        page = std::make_unique<CSchedulePage>(entries, RemindSettings::Load().calendar, QDate::currentDate());
        page->show();
    }
    CSkinListCtrl* List() { return FindCtl<CSkinListCtrl>(page.get(), id::List); }
    // The reminder settings page as the main window makes it, with the switches as stored.
    vantorel::CInsurance policies;
    std::unique_ptr<CRemindSettingsPage> remindPage;
    CRemindSettingsPage* OpenRemind() {
        remindPage = std::make_unique<CRemindSettingsPage>(RemindSettings::Load(), policies, nullptr);
        return remindPage.get();
    }
    CAtxCalendar* Cal() { return FindCtl<CAtxCalendar>(page.get(), id::Calendar); }
    void Put(std::int16_t y, std::int16_t m, std::int16_t d) {
        Cal()->SetYear(y), Cal()->SetMonth(m), Cal()->SetDay(d);
    }
    void AddEntry(double date, const char* text) { entries.Add({date, ToGbk(text)}); }
    QStringList Rows() {
        QStringList out;
        for (int i = 0; i < List()->GetItemCount(); ++i)
            out << List()->GetItemText(i, 0) + "|" + List()->GetItemText(i, 1);
        return out;
    }
    QString Date() { return QString("%1-%2-%3").arg(Cal()->GetYear()).arg(Cal()->GetMonth()).arg(Cal()->GetDay()); }
    // Clicks that day's cell; days 8 to 21 occur once on any month's page.
    void ClickDay(int day) {
        auto* view = Cal()->findChild<QAbstractItemView*>();
        QAbstractItemModel* m = view->model();
        for (int r = 0; r < m->rowCount(); ++r)
            for (int c = 0; c < m->columnCount(); ++c)
                if (m->data(m->index(r, c)).toString() == QString::number(day))
                    return QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                             view->visualRect(m->index(r, c)).center());
        FAIL() << "no cell for day " << day;
    }
    // Two quick clicks on that day's cell, through the window as the platform delivers them.
    void DoubleClickDay(int day) {
        auto* view = Cal()->findChild<QAbstractItemView*>();
        QAbstractItemModel* m = view->model();
        for (int r = 0; r < m->rowCount(); ++r)
            for (int c = 0; c < m->columnCount(); ++c)
                if (m->data(m->index(r, c)).toString() == QString::number(day)) {
                    const QPoint cell = view->visualRect(m->index(r, c)).center();
                    const QPoint at = view->viewport()->mapTo(page.get(), cell);
                    return QTest::mouseDClick(page->windowHandle(), Qt::LeftButton, {}, at);
                }
        FAIL() << "no cell for day " << day;
    }
    void Arrow(const char* name, int times = 1) {
        auto* arrow = Cal()->findChild<QToolButton*>(name);
        ASSERT_NE(arrow, nullptr) << name;
        for (int i = 0; i < times; ++i) arrow->click();
    }
};

TEST_F(Schedule, ListsEntriesInBookOrderAndTheSwitchSurvivesARestart) {
    // An earlier date added later stays below; damaged numbers still show.
    const std::pair<double, const char*> entries[] = {{20040529.9, "交保费"},
                                                      {20031231, "年终总结"},
                                                      {515, "a"},
                                                      {-20040529, "b"},
                                                      {std::numeric_limits<double>::quiet_NaN(), "c"},
                                                      {1e300, "d"}};
    for (auto [date, text] : entries) AddEntry(date, text);
    Open();
    // A real date reads as every list shows dates; a damaged number as its parts.
    EXPECT_EQ(Rows(), (QStringList{"2004-05-29|交保费", "2003-12-31|年终总结", "0-5-15|a", "-2004--5--29|b", "0-0-0|c",
                                   "0-0-0|d"}));
    EXPECT_EQ(Date(), QDate::currentDate().toString("yyyy-M-d"));

    auto* box = FindCtl<QCheckBox>(page.get(), id::Switch);
    EXPECT_TRUE(box->isChecked()); // empty store: on
    box->click();
    ReminderSwitches s;
    page->CollectSwitches(s);
    EXPECT_EQ(s.calendar, 0);
    RemindSettings::Save(s); // as the main window does at close
    Open();
    EXPECT_FALSE(FindCtl<QCheckBox>(page.get(), id::Switch)->isChecked());
}

TEST_F(Schedule, AddRefusesEmptyTextBeforeMissingDayAndTextTheFilesCannotHold) {
    Open();
    Put(2004, 5, 14);
    ClickDay(14); // the selected day again: no day
    EXPECT_EQ(Date(), "0-0-0");
    Press(page.get(), id::Add);
    EXPECT_EQ(rec.shown, QStringList{"请输入事件!"});
    TypeInto(page.get(), id::Memo, "拜访王先生");
    Press(page.get(), id::Add);
    EXPECT_EQ(rec.shown, (QStringList{"请输入事件!", "请选择日期!"}));

    ClickDay(14); // selects it again
    Press(page.get(), id::Add);
    ClickDay(20);
    Press(page.get(), id::Add);
    Press(page.get(), id::Add); // same again: a second entry
    TypeInto(page.get(), id::Memo, "生日聚会🎂");
    Press(page.get(), id::Add);
    ASSERT_EQ(rec.shown.size(), 3);
    EXPECT_TRUE(rec.shown[2].contains("日程安排")); // refused by the field's name
    EXPECT_EQ(Rows(), (QStringList{"2004-05-14|拜访王先生", "2004-05-20|拜访王先生", "2004-05-20|拜访王先生"}));
}

TEST_F(Schedule, TheSelectedDayFollowsTheShownMonth) {
    Open();
    Put(2004, 5, 31);
    const struct {
        const char* arrow;
        int times;
        const char* date;
    } steps[] = {{"qt_calendar_nextmonth", 1, "2004-6-30"}, // shorter month: its last day
                 {"qt_calendar_nextmonth", 1, "2004-7-31"}, // the day chosen, where the month has it
                 {"qt_calendar_prevmonth", 5, "2004-2-29"},
                 {"qt_calendar_prevmonth", 2, "2003-12-31"}};
    for (const auto& s : steps) {
        Arrow(s.arrow, s.times);
        EXPECT_EQ(Date(), s.date) << s.arrow << " x" << s.times;
    }
    Cal()->setCurrentPage(2005, 2); // the month menu and the year box
    EXPECT_EQ(Date(), "2005-2-28");
    TypeInto(page.get(), id::Memo, "续保");
    Press(page.get(), id::Add);
    EXPECT_EQ(Rows(), QStringList{"2005-02-28|续保"}) << "filed under the day on screen";

    // No day selected stays so on another month; a click then picks a day of that month.
    ClickDay(14);
    ClickDay(14);
    Arrow("qt_calendar_nextmonth");
    EXPECT_EQ(Date(), "0-0-0");
    Press(page.get(), id::Add);
    EXPECT_EQ(rec.Last(), "请选择日期!");
    ClickDay(14);
    EXPECT_EQ(Date(), "2005-3-14");
}

TEST_F(Schedule, ADoubleClickOnADayLeavesItSelected) {
    Open();
    Put(2004, 5, 1);
    DoubleClickDay(20); // another day
    EXPECT_EQ(Date(), "2004-5-20");
    DoubleClickDay(20); // the selected day
    EXPECT_EQ(Date(), "2004-5-20");
    ClickDay(20); // one click on it still clears the choice
    EXPECT_EQ(Date(), "0-0-0");
    DoubleClickDay(20);
    EXPECT_EQ(Date(), "2004-5-20");
    TypeInto(page.get(), id::Memo, "体检");
    Press(page.get(), id::Add);
    EXPECT_TRUE(rec.shown.isEmpty());
    EXPECT_EQ(Rows(), QStringList{"2004-05-20|体检"});
}

TEST_F(Schedule, DeleteTakesTheFirstSelectedRowAndSelectsTheNext) {
    for (const char* e : {"e1", "e2", "e3", "e4", "e5"}) AddEntry(20040501, e);
    Open();
    Press(page.get(), id::Delete); // nothing selected: nothing happens
    List()->SelectRow(1);
    List()->selectionModel()->select(List()->model()->index(3, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Press(page.get(), id::Delete);
    EXPECT_EQ(Rows().join(","), "2004-05-01|e1,2004-05-01|e3,2004-05-01|e4,2004-05-01|e5");
    EXPECT_EQ(List()->GetSelectedRows(), QList<int>{1});
    List()->SelectRow(3); // the last
    Press(page.get(), id::Delete);
    EXPECT_EQ(List()->GetFirstSelected(), -1);
    ASSERT_EQ(entries.GetSize(), 3);
    EXPECT_EQ(FromGbk(entries.GetAt(2).text), "e4");
    EXPECT_TRUE(rec.shown.isEmpty()); // no question, no message
}

TEST_F(Schedule, DoubleClickLoadsTheEntryIntoCalendarAndMemo) {
    for (auto [date, text] : {std::pair{20040229.0, "闰日"}, {20050331.0, "月末"}, {1e300, "坏日期"}})
        AddEntry(date, text);
    Open();
    Put(2003, 1, 31); // February must not refuse the 31st nor a common year the 29th
    const char* cases[][2] = {{"2004-2-29", "闰日"}, {"2005-3-31", "月末"}, {"2005-3-31", "坏日期"}};
    for (int row = 0; row < 3; ++row) {
        const QPoint at = List()->visualRect(List()->model()->index(row, 0)).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(Date(), cases[row][0]);
        EXPECT_EQ(TextOf(page.get(), id::Memo), cases[row][1]);
    }
    Press(page.get(), id::Add);
    ASSERT_EQ(entries.GetSize(), 4); // appended, nothing replaced
    EXPECT_EQ(entries.GetAt(2).date, 1e300);
}

TEST_F(Schedule, ReminderSettingsKeepEachSwitchUnderItsOwnKey) {
    namespace r = ids::remind;
    auto boxes = [](QWidget* p) {
        QString on;
        for (int box : {r::Holder, r::Insured, r::Clients, r::Members, r::Premium})
            on += FindCtl<QCheckBox>(p, box)->isChecked() ? '1' : '0';
        return on;
    };
    EXPECT_EQ(FindCtl<QCheckBox>(OpenRemind(), r::Premium)->text(), "续期缴费提醒");
    EXPECT_EQ(boxes(OpenRemind()), "11111"); // empty store: all on
    Store().setValue("AWOKE/TBRSR", 0);      // holders
    Store().setValue("AWOKE/TDCRSR", 0);     // members
    Store().setValue("AWOKE/XQJFSR", 0);     // renewal premiums
    CRemindSettingsPage* remind = OpenRemind();
    EXPECT_EQ(boxes(remind), "01100");
    Press(remind, r::Clients); // clients off
    Press(remind, r::Holder);  // holders on
    Press(remind, r::Premium); // renewal premiums on
    ReminderSwitches s;
    remind->CollectSwitches(s);
    const int got[] = {s.holder, s.insured, s.clients, s.members, s.premium, s.calendar};
    QString all;
    for (int v : got) all += QString::number(v);
    EXPECT_EQ(all, "110011");
    RemindSettings::Save(s); // as the main window does at close
    QString stored;
    for (const char* key : {"TBRSR", "BTBRSR", "QLKHSR", "TDCRSR", "XQJFSR"})
        stored += Store().value(QStringLiteral("AWOKE/") + key).toString();
    EXPECT_EQ(stored, "11001");
    EXPECT_EQ(boxes(OpenRemind()), "11001");
}

} // namespace
