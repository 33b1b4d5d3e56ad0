#include "reminders.h"

#include "gbk.h"
#include "premium_due.h"
#include "records/data_files.h"

#include <cmath>

bool IsBirthday(const std::string& birthDate, const QDate& today) {
    const std::string key = std::to_string(today.month()) + "-" + std::to_string(today.day());
    const auto slash = birthDate.find('/');
    const std::string monthDay = slash == std::string::npos ? birthDate : birthDate.substr(slash + 1);
    return monthDay == key;
}

QStringList TodaysReminders(const vantorel::DataBook& book, const ReminderSwitches& switches, const QDate& today) {
    QStringList boxes;
    if (switches.calendar) {
        const double n = today.year() * 10000.0 + today.month() * 100 + today.day();
        for (const vantorel::ScheduleEntry& e : book.calendar.Records()) {
            // trunc keeps a damaged date (NaN, huge) a plain non-match.
            if (std::trunc(e.date) == n) boxes << QStringLiteral("您今天有以下日程安排:\n") + FromGbk(e.text);
        }
    }
    for (const vantorel::PolicyRecord& p : book.insurance.Records()) {
        if (switches.holder && IsBirthday(p.holder.birthDate, today))
            boxes << QStringLiteral("今天是以下保单投保人的生日:\n保险单号：%1\r\n投保人姓名：%2\r\n")
                         .arg(FromGbk(p.info.policyNo), FromGbk(p.holder.name));
        if (switches.insured && IsBirthday(p.insured.birthDate, today))
            boxes << QStringLiteral("今天是以下保单被保险人的生日:\n保险单号：%1\r\n被保险人姓名：%2\r\n")
                         .arg(FromGbk(p.info.policyNo), FromGbk(p.insured.name));
    }
    if (switches.clients) {
        for (const vantorel::PotClientRecord& c : book.clients.Records())
            if (IsBirthday(c.person.birthDate, today))
                boxes << QStringLiteral("今天是以下潜力客户的生日:\n潜力客户姓名：%1\r\n潜力客户爱好：%2\r\n")
                             .arg(FromGbk(c.person.name), FromGbk(c.hobby));
    }
    if (switches.members) {
        for (const vantorel::MemberRecord& m : book.members.Records())
            if (IsBirthday(m.person.birthDate, today))
                boxes << QStringLiteral("今天是以下成员的生日:\n成员工号：%1\r\n成员姓名：%2\r\n成员级别：%3\r\n")
                             .arg(FromGbk(m.staffNo), FromGbk(m.person.name), FromGbk(m.level));
    }
    if (switches.premium) boxes << premium::DueTodayReminders(book.insurance, today);
    return boxes;
}
