#include "agent/calendar_events.h"
#include "agent/gbk.h"
#include "records/data_book.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

using agenda::CalendarEvent;
using vantorel::DataBook;

namespace {

vantorel::PolicyRecord Policy(const char* no, const QString& holder, const char* holderBirth, const QString& insured,
                              const char* insuredBirth) {
    vantorel::PolicyRecord p;
    p.info.policyNo = ToGbk(QString::fromUtf8(no));
    p.holder.name = ToGbk(holder);
    p.holder.birthDate = holderBirth;
    p.insured.name = ToGbk(insured);
    p.insured.birthDate = insuredBirth;
    return p;
}

vantorel::PolicyRecord Paying(vantorel::PolicyRecord p, const QString& method, const char* effective, double premium) {
    p.info.paymentMethod = ToGbk(method);
    p.info.effectiveDate = effective;
    p.info.annualPremium = premium;
    return p;
}

struct Events {
    agenda::CalendarCounts counts;
    std::vector<CalendarEvent> all;
    std::vector<CalendarEvent> Of(CalendarEvent::Kind k) const {
        std::vector<CalendarEvent> out;
        for (const auto& e : all)
            if (e.kind == k) out.push_back(e);
        return out;
    }
};

Events Collect(const DataBook& b, const ReminderSwitches& s = {}, const QDate& today = QDate(2026, 3, 15)) {
    Events e;
    e.counts = agenda::ForEachCalendarEvent(b, s, today, [&](const CalendarEvent& ev) { e.all.push_back(ev); });
    return e;
}

} // namespace

TEST(CalendarEvents, ScheduleEntriesOnTheirDayOnceEachAndOnlyRealDays) {
    DataBook b;
    b.calendar.Add({20260320, ToGbk(QStringLiteral("拜访客户,王总;带合同\r\n第二行"))});
    b.calendar.Add({20260320, ToGbk(QStringLiteral("拜访客户,王总;带合同\r\n第二行"))}); // the same again
    b.calendar.Add({20260320, ToGbk(QStringLiteral("另一件事"))});
    b.calendar.Add({20260321, ToGbk(QStringLiteral("另一件事"))});
    for (const double bad :
         {20260230.0, 20261300.0, 0.0, -20260320.0, 20260320.5, std::numeric_limits<double>::quiet_NaN(), 1e300})
        b.calendar.Add({bad, "x"});
    const Events e = Collect(b, {0, 0, 0, 0, 0, 0}); // the switches do not choose schedule entries
    ASSERT_EQ(e.counts.schedule, 3);
    ASSERT_EQ(e.all.size(), 3u);
    EXPECT_EQ(e.all[0].date, QDate(2026, 3, 20));
    EXPECT_EQ(e.all[0].summary, QStringLiteral("拜访客户,王总;带合同\n第二行"));
    EXPECT_EQ(e.all[0].repeat, CalendarEvent::Repeat::none);
    EXPECT_EQ(e.all[0].alarmDaysBefore, 0);
    EXPECT_TRUE(e.all[0].uid.startsWith("schedule-20260320-"));
    EXPECT_TRUE(e.all[0].uid.endsWith("@vantorel"));
    // Same text on another day, another text on the same day: other events.
    EXPECT_NE(e.all[1].uid, e.all[0].uid);
    EXPECT_NE(e.all[2].uid, e.all[1].uid);
    EXPECT_EQ(e.all[2].uid.mid(18), e.all[1].uid.mid(18)); // the text's part is the same
}

TEST(CalendarEvents, BirthdaysOnePerPersonByTheSwitchesWith29FebruaryAndIncompleteDates) {
    DataBook b;
    const QString zhang = QStringLiteral("张三"), li = QStringLiteral("李四");
    b.insurance.Add(Policy("P1", zhang, "1970/5-29", li, "1999/6-1"));
    // Holder of one policy, insured person of another: one person, both roles.
    b.insurance.Add(Policy("P2", li, "1999/6-1", zhang, "1970/5-29"));
    // Insures himself: one event.
    b.insurance.Add(Policy("P3", QStringLiteral("王五"), "1988/2-29", QStringLiteral("王五"), "1988/2-29"));
    // Dates that are no real date are left out, even where today's reminders would name them.
    b.insurance.Add(Policy("P4", QStringLiteral("甲"), "1977/0-0", QStringLiteral("乙"), "/5-29"));
    b.insurance.Add(Policy("P5", QStringLiteral("丙"), "2003/2-29", QStringLiteral("丁"), "二〇〇四/5-29"));
    vantorel::PotClientRecord c;
    c.person.name = ToGbk(QStringLiteral("赵六"));
    c.person.birthDate = "1980/12-31";
    c.hobby = ToGbk(QStringLiteral("钓鱼"));
    b.clients.Add(c);
    vantorel::MemberRecord m;
    m.staffNo = "007";
    m.person.name = ToGbk(QStringLiteral("钱七"));
    m.person.birthDate = "1990/1-1";
    m.level = ToGbk(QStringLiteral("主任"));
    b.members.Add(m);
    // A namesake with another identity number is someone else.
    m.staffNo = "008";
    m.person.idNumber = "110101199001010011";
    b.members.Add(m);

    Events e = Collect(b);
    ASSERT_EQ(e.counts.birthdays, 6);
    std::map<QString, CalendarEvent> by;
    for (const auto& ev : e.Of(CalendarEvent::Kind::birthday)) by[ev.summary] = ev;
    ASSERT_EQ(by.size(), 5u) << "the two 钱七 share a summary";
    const CalendarEvent z = by[QStringLiteral("张三生日（投保人、被保险人）")];
    EXPECT_EQ(z.date, QDate(1970, 5, 29));
    EXPECT_EQ(z.repeat, CalendarEvent::Repeat::yearly);
    EXPECT_EQ(z.description, QStringLiteral("保险单号：P1、P2"));
    EXPECT_TRUE(z.uid.startsWith("person-"));
    EXPECT_TRUE(z.uid.endsWith("-birthday-19700529@vantorel"));
    const CalendarEvent& w = by[QStringLiteral("王五生日（投保人、被保险人）")];
    EXPECT_EQ(w.date, QDate(1988, 2, 29));
    EXPECT_EQ(w.repeat, CalendarEvent::Repeat::yearlyLastOfFebruary);
    EXPECT_EQ(w.description, QStringLiteral("保险单号：P3"));
    EXPECT_EQ(by[QStringLiteral("赵六生日（潜力客户）")].description, QStringLiteral("潜力客户爱好：钓鱼"));
    EXPECT_EQ(by[QStringLiteral("钱七生日（团队成员）")].description,
              QStringLiteral("成员工号：008\n成员级别：主任")); // the map keeps the later namesake
    EXPECT_TRUE(by.count(QStringLiteral("李四生日（投保人、被保险人）")));
    for (const auto& ev : e.all) EXPECT_EQ(ev.alarmDaysBefore, 0);

    // Each switch takes its role out; a person keeps the roles still on.
    e = Collect(b, {1, 0, 1, 1, 1, 1});
    EXPECT_EQ(e.counts.birthdays, 6);
    by.clear();
    for (const auto& ev : e.all) by[ev.summary] = ev;
    EXPECT_TRUE(by.count(QStringLiteral("张三生日（被保险人）")));
    EXPECT_EQ(Collect(b, {1, 0, 0, 1, 1, 1}).counts.birthdays, 3);
    EXPECT_EQ(Collect(b, {1, 0, 0, 0, 1, 1}).counts.birthdays, 2);
    EXPECT_EQ(Collect(b, {1, 0, 0, 0, 0, 1}).counts.birthdays, 0);
    // The UID follows the person and the date, not the roles.
    EXPECT_EQ(by[QStringLiteral("张三生日（被保险人）")].uid, z.uid);
}

TEST(CalendarEvents, PremiumsDueInTheNextTwelveMonthsWithAnAlarm) {
    DataBook b;
    const QString holder = QStringLiteral("张三");
    b.insurance.Add(Paying(Policy("P/1 a", holder, "", holder, ""), QStringLiteral("年缴"), "2020/3-15", 1200));
    // Monthly from 31 January: the month's last day where it is shorter.
    b.insurance.Add(Paying(Policy("P2", holder, "", holder, ""), QStringLiteral("月缴"), "2024/1-31", 99.5));
    // Five years paid from 2022: the last due date is 2026/7-1.
    vantorel::PolicyRecord ended =
        Paying(Policy("P3", holder, "", holder, ""), QStringLiteral("半年缴"), "2022/1-1", 1);
    ended.info.paymentYears = "5";
    b.insurance.Add(ended);
    b.insurance.Add(Paying(Policy("P4", holder, "", holder, ""), QStringLiteral("趸缴"), "2020/3-15", 1));
    b.insurance.Add(Paying(Policy("P5", holder, "", holder, ""), QStringLiteral("年缴"), "2020/0-15", 1));
    // A policy number held twice still gives events of their own.
    b.insurance.Add(
        Paying(Policy("P2", QStringLiteral("李四"), "", holder, ""), QStringLiteral("年缴"), "2025/4-1", 7));

    const QDate today(2026, 3, 15);
    Events e = Collect(b, {0, 0, 0, 0, 0, 1}, today);
    const auto dues = e.Of(CalendarEvent::Kind::premium);
    ASSERT_EQ(e.counts.premiums, int(dues.size()));
    std::map<QByteArray, CalendarEvent> by;
    for (const auto& ev : dues) {
        EXPECT_GE(ev.date, today);
        EXPECT_LT(ev.date, QDate(2027, 3, 15));
        EXPECT_EQ(ev.alarmDaysBefore, 3);
        EXPECT_EQ(ev.repeat, CalendarEvent::Repeat::none);
        EXPECT_TRUE(by.emplace(ev.uid, ev).second) << "UID twice: " << ev.uid.constData();
    }
    // Yearly, due today: today counts; the same day next year is past the window.
    ASSERT_TRUE(by.count("policy-P%2F1%20a-due-20260315@vantorel"));
    const CalendarEvent& p1 = by["policy-P%2F1%20a-due-20260315@vantorel"];
    EXPECT_EQ(p1.summary, QStringLiteral("续期缴费：P/1 a 张三 1200.00元"));
    EXPECT_EQ(p1.description, QStringLiteral("保险单号：P/1 a\n投保人姓名：张三\n年缴保费：1200.00元"));
    EXPECT_FALSE(by.count("policy-P%2F1%20a-due-20270315@vantorel"));
    // Monthly: twelve, on 31 March, 30 April, ..., 28 February 2027.
    int monthly = 0;
    for (const auto& [uid, ev] : by) monthly += uid.startsWith("policy-P2-due-");
    EXPECT_EQ(monthly, 12);
    EXPECT_TRUE(by.count("policy-P2-due-20260430@vantorel"));
    EXPECT_TRUE(by.count("policy-P2-due-20270228@vantorel"));
    EXPECT_TRUE(by.count("policy-P2~2-due-20260401@vantorel"));
    EXPECT_TRUE(by.count("policy-P3-due-20260701@vantorel"));
    EXPECT_FALSE(by.count("policy-P3-due-20270101@vantorel"));
    EXPECT_EQ(e.counts.premiums, 1 + 12 + 1 + 1);

    EXPECT_EQ(Collect(b, {1, 1, 1, 1, 1, 0}, today).counts.premiums, 0);
}

TEST(CalendarEvents, UidSafeKeepsKeysApart) {
    EXPECT_EQ(agenda::UidSafe(QStringLiteral("AB-12._x")), "AB-12._x");
    EXPECT_EQ(agenda::UidSafe(QStringLiteral("a b@c%")), "a%20b%40c%25");
    EXPECT_EQ(agenda::UidSafe(QStringLiteral("保")), "%E4%BF%9D");
    // "%" itself is encoded, so a key that looks encoded stays apart.
    EXPECT_NE(agenda::UidSafe(QStringLiteral("%20")), agenda::UidSafe(QStringLiteral(" ")));
}
