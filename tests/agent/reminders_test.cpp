#include "agent/gbk.h"
#include "agent/reminders.h"
#include "records/data_files.h"

#include <gtest/gtest.h>

#include <limits>

using vantorel::DataBook;

namespace {

vantorel::PolicyRecord Policy(const char* no, const char* holderBirth, const char* insuredBirth) {
    vantorel::PolicyRecord p;
    p.info.policyNo = no;
    p.holder.name = ToGbk(QStringLiteral("张三"));
    p.holder.birthDate = holderBirth;
    p.insured.name = ToGbk(QStringLiteral("李四"));
    p.insured.birthDate = insuredBirth;
    return p;
}

ReminderSwitches AllOff() { return {0, 0, 0, 0, 0, 0}; }

// Everything in this book is due on 29 May 2004.
DataBook DueBook() {
    DataBook b;
    vantorel::PolicyRecord p = Policy("P1", "1970/5-29", "1999/5-29");
    p.info.paymentMethod = ToGbk(QStringLiteral("年缴"));
    p.info.effectiveDate = "2003/5-29";
    p.info.annualPremium = 2400.5;
    b.insurance.Add(p);
    vantorel::PotClientRecord c;
    c.person.name = ToGbk(QStringLiteral("王五"));
    c.person.birthDate = "/5-29";
    c.hobby = ToGbk(QStringLiteral("钓鱼"));
    b.clients.Add(c);
    vantorel::MemberRecord m;
    m.staffNo = "007";
    m.person.name = ToGbk(QStringLiteral("赵六"));
    m.person.birthDate = "5-29";
    m.level = ToGbk(QStringLiteral("主任"));
    b.members.Add(m);
    b.calendar.Add({20040529, ToGbk(QStringLiteral("拜访客户"))});
    return b;
}

const QDate kDay(2004, 5, 29);

} // namespace

TEST(Reminders, EveryGroupInOrderWithExactTexts) {
    const QStringList boxes = TodaysReminders(DueBook(), ReminderSwitches{}, kDay);
    ASSERT_EQ(boxes.size(), 6);
    EXPECT_EQ(boxes[0], QStringLiteral("您今天有以下日程安排:\n拜访客户"));
    // Holder first, then the insured person of the same policy.
    EXPECT_EQ(boxes[1], QStringLiteral("今天是以下保单投保人的生日:\n保险单号：P1\r\n投保人姓名：张三\r\n"));
    EXPECT_EQ(boxes[2], QStringLiteral("今天是以下保单被保险人的生日:\n保险单号：P1\r\n被保险人姓名：李四\r\n"));
    EXPECT_EQ(boxes[3], QStringLiteral("今天是以下潜力客户的生日:\n潜力客户姓名：王五\r\n潜力客户爱好：钓鱼\r\n"));
    EXPECT_EQ(boxes[4], QStringLiteral("今天是以下成员的生日:\n成员工号：007\r\n成员姓名：赵六\r\n成员级别：主任\r\n"));
    // The renewal premiums last, after the team members.
    EXPECT_EQ(
        boxes[5],
        QStringLiteral("今天是以下保单的续期缴费日:\n保险单号：P1\r\n投保人姓名：张三\r\n年缴保费：2400.50元\r\n"));
}

TEST(Reminders, EachSwitchSilencesOnlyItsGroupAndNothingIsDueOnAnotherDay) {
    EXPECT_TRUE(TodaysReminders(DueBook(), ReminderSwitches{}, QDate(2004, 5, 28)).isEmpty());
    EXPECT_TRUE(TodaysReminders(DataBook{}, ReminderSwitches{}, kDay).isEmpty());
    EXPECT_TRUE(TodaysReminders(DueBook(), AllOff(), kDay).isEmpty());
    ReminderSwitches s = AllOff();
    s.insured = 1;
    QStringList boxes = TodaysReminders(DueBook(), s, kDay);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("今天是以下保单被保险人的生日")));
    s = ReminderSwitches{};
    s.clients = 0;
    boxes = TodaysReminders(DueBook(), s, kDay);
    EXPECT_EQ(boxes.size(), 5);
    for (const QString& b : boxes) EXPECT_FALSE(b.contains(QStringLiteral("潜力客户")));
    s = AllOff();
    s.premium = 1;
    boxes = TodaysReminders(DueBook(), s, kDay);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("今天是以下保单的续期缴费日")));
}

TEST(Reminders, ScheduleNeedsTheWholeDate) {
    DataBook b;
    b.calendar.Add({20030529, "last year"});
    b.calendar.Add({20040529.9, "truncated"});
    b.calendar.Add({std::numeric_limits<double>::quiet_NaN(), "damaged"});
    b.calendar.Add({std::numeric_limits<double>::infinity(), "damaged"});
    b.calendar.Add({1e300, "damaged"});
    b.calendar.Add({20040529, "second"});
    const QStringList boxes = TodaysReminders(b, ReminderSwitches{}, kDay);
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[0].endsWith(QStringLiteral("truncated")));
    EXPECT_TRUE(boxes[1].endsWith(QStringLiteral("second")));
}

TEST(Reminders, BirthdayMatchesMonthAndDayTextExactly) {
    const struct {
        const char* birth;
        QDate day;
        bool due;
    } cases[] = {{"1980/5-29", kDay, true},
                 {"/5-29", kDay, true},
                 {"5-29", kDay, true},
                 {"abcd/5-29", kDay, true}, // the year is not looked at
                 {"1980/05-29", kDay, false},
                 {"1980/5-29 ", kDay, false},
                 {"1980/0-0", kDay, false},
                 {"", kDay, false},
                 {"1980/0-0", QDate(2004, 1, 1), false},
                 // 29 February is only reminded in leap years.
                 {"1980/2-29", QDate(2024, 2, 29), true},
                 {"1980/2-29", QDate(2023, 2, 28), false},
                 {"1980/2-29", QDate(2023, 3, 1), false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsBirthday(c.birth, c.day), c.due) << c.birth << " " << c.day.toString().toStdString();
}
