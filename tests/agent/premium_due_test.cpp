#include "agent/gbk.h"
#include "agent/premium_due.h"
#include "records/data_files.h"

#include <gtest/gtest.h>

#include <random>

using namespace vantorel;
using namespace premium;

namespace {

PolicyInfo Info(const char* method, const char* effective, const char* years = "") {
    PolicyInfo i;
    i.paymentMethod = ToGbk(QString::fromUtf8(method));
    i.effectiveDate = ToGbk(QString::fromUtf8(effective));
    i.paymentYears = ToGbk(QString::fromUtf8(years));
    return i;
}

QDate D(int y, int m, int d) { return QDate(y, m, d); }

TEST(PremiumDue, Intervals) {
    EXPECT_EQ(IntervalMonths(ToGbk("年缴")), 12);
    EXPECT_EQ(IntervalMonths(ToGbk("半年缴")), 6);
    EXPECT_EQ(IntervalMonths(ToGbk("季缴")), 3);
    EXPECT_EQ(IntervalMonths(ToGbk("月缴")), 1);
    for (const char* none : {"趸缴", "", "年缴 ", "每年", "12"}) EXPECT_EQ(IntervalMonths(ToGbk(none)), 0) << none;
}

TEST(PremiumDue, DueDatesKeepTheDayOrTakeTheMonthsLast) {
    struct Case {
        const char* method;
        const char* effective;
        std::vector<QDate> firstDues;
    } cases[] = {
        {"月缴", "2004/1-31", {D(2004, 2, 29), D(2004, 3, 31), D(2004, 4, 30), D(2004, 5, 31)}},
        {"月缴", "2003/1-31", {D(2003, 2, 28), D(2003, 3, 31)}},
        {"季缴", "2004/11-30", {D(2005, 2, 28), D(2005, 5, 30), D(2005, 8, 30)}},
        {"半年缴", "2004/8-31", {D(2005, 2, 28), D(2005, 8, 31), D(2006, 2, 28)}},
        {"年缴", "2004/2-29", {D(2005, 2, 28), D(2006, 2, 28), D(2007, 2, 28), D(2008, 2, 29)}},
        {"年缴", "1999/12-31", {D(2000, 12, 31)}},
    };
    for (const Case& c : cases) {
        const Schedule s = ScheduleOf(Info(c.method, c.effective));
        ASSERT_TRUE(s.HasDues()) << c.effective;
        for (std::size_t k = 0; k < c.firstDues.size(); ++k)
            EXPECT_EQ(DueDate(s, std::int64_t(k + 1)), c.firstDues[k])
                << c.method << " " << c.effective << " k=" << k + 1;
        // The effective date itself is the first premium, not a renewal.
        EXPECT_FALSE(IsDueOn(s, s.start));
    }
}

TEST(PremiumDue, PaymentPeriodEndsTheDues) {
    struct Case {
        const char* method;
        const char* years;
        int dues; // -1: no end
    } cases[] = {
        {"年缴", "1", 0},     {"年缴", "3", 2},
        {"年缴", "03", 2},    {"年缴", " 5年", 4},
        {"半年缴", "2", 3},   {"季缴", "1", 3},
        {"月缴", "1", 11},    {"月缴", "10", 119},
        {"年缴", "", -1},     {"年缴", "0", -1},
        {"年缴", "-3", -1},   {"年缴", "abc", -1},
        {"年缴", "终身", -1}, {"年缴", "99999999999", -1}, // saturates far beyond any date
    };
    for (const Case& c : cases) {
        const Schedule s = ScheduleOf(Info(c.method, "2004/1-31", c.years));
        const std::vector<QDate> all = DueDatesIn(s, D(2004, 1, 1), D(2204, 1, 1));
        if (c.dues < 0)
            EXPECT_GT(all.size(), 150u) << c.method << " " << c.years;
        else
            EXPECT_EQ(int(all.size()), c.dues) << c.method << " " << c.years;
    }
    // No renewal premiums at all.
    for (const PolicyInfo& none :
         {Info("趸缴", "2004/1-31", "5"), Info("年缴", "2004/0-0", "5"), Info("年缴", "", "")}) {
        EXPECT_FALSE(ScheduleOf(none).HasDues());
        EXPECT_TRUE(DueDatesIn(ScheduleOf(none), D(1900, 1, 1), D(2200, 1, 1)).empty());
    }
}

// The direct range query against stepping through every due date from the start.
TEST(PremiumDue, RangeQueryAgreesWithSteppingThroughEveryDue) {
    std::mt19937 rng(42);
    const char* methods[] = {"年缴", "半年缴", "季缴", "月缴"};
    for (int round = 0; round < 3000; ++round) {
        const QDate start = D(1990, 1, 1).addDays(rng() % 12000);
        const std::string effective =
            std::to_string(start.year()) + "/" + std::to_string(start.month()) + "-" + std::to_string(start.day());
        const std::string years = round % 3 ? std::to_string(rng() % 12) : std::string();
        const Schedule s = ScheduleOf(Info(methods[rng() % 4], effective.c_str(), years.c_str()));
        const QDate from = D(1989, 1, 1).addDays(rng() % 16000);
        const QDate to = from.addDays(rng() % 400);
        std::vector<QDate> stepped;
        for (std::int64_t k = 1; s.lastDue < 0 || k <= s.lastDue; ++k) {
            const QDate d = DueDate(s, k);
            if (d > to) break;
            if (d >= from) stepped.push_back(d);
        }
        ASSERT_EQ(DueDatesIn(s, from, to), stepped)
            << effective << " " << years << " " << from.toString().toStdString();
    }
}

// Today's boxes look only at policies whose effective day can fall on today:
// they must still be exactly the policies due today, month ends included.
TEST(PremiumDue, TodaysBoxesAreThePoliciesDueToday) {
    DataBook book;
    const char* effective[] = {"2003/1-31",   "2003/2-28", "2003/3-30",  "2003/4-29", "2003/5-15", "2003/01-031",
                               "2003/1-0031", "2003/1-",   "2003/1-31x", "2003/2-30", "03/1-31",   "2003/1-1"};
    const char* methods[] = {"年缴", "半年缴", "季缴", "月缴", "趸缴"};
    std::vector<PolicyInfo> infos;
    for (const char* e : effective)
        for (const char* m : methods) {
            PolicyRecord p;
            p.info = Info(m, e, infos.size() % 3 ? "1" : "");
            p.info.policyNo = "P" + std::to_string(infos.size());
            infos.push_back(p.info);
            book.insurance.Add(p);
        }
    for (QDate day = D(2003, 1, 1); day <= D(2005, 3, 31); day = day.addDays(1)) {
        int due = 0;
        for (const PolicyInfo& i : infos) due += IsDueOn(ScheduleOf(i), day);
        ASSERT_EQ(DueTodayReminders(book.insurance, day).size(), due) << day.toString().toStdString();
    }
    EXPECT_TRUE(DueTodayReminders(book.insurance, QDate()).isEmpty());
}

} // namespace
