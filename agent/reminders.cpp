#include "reminders.h"

#include "composed_date.h"
#include "gbk.h"
#include "premium_due.h"
#include "records/data_files.h"

#include <cmath>

namespace {

using vantorel::Field;
const Field<vantorel::ScheduleEntry> kEntryText([](auto& e) -> auto& { return e.text; });
const Field<vantorel::ScheduleEntry> kEntryDate([](auto& e) -> auto& { return e.date; });
const Field<vantorel::PolicyRecord> kPolicyNo([](auto& p) -> auto& { return p.info.policyNo; });
const Field<vantorel::PolicyRecord> kHolderName([](auto& p) -> auto& { return p.holder.name; });
const Field<vantorel::PolicyRecord> kHolderBirth([](auto& p) -> auto& { return p.holder.birthDate; });
const Field<vantorel::PolicyRecord> kInsuredName([](auto& p) -> auto& { return p.insured.name; });
const Field<vantorel::PolicyRecord> kInsuredBirth([](auto& p) -> auto& { return p.insured.birthDate; });
const Field<vantorel::PotClientRecord> kClientName([](auto& c) -> auto& { return c.person.name; });
const Field<vantorel::PotClientRecord> kClientBirth([](auto& c) -> auto& { return c.person.birthDate; });
const Field<vantorel::PotClientRecord> kClientHobby([](auto& c) -> auto& { return c.hobby; });
const Field<vantorel::MemberRecord> kStaffNo([](auto& m) -> auto& { return m.staffNo; });
const Field<vantorel::MemberRecord> kMemberName([](auto& m) -> auto& { return m.person.name; });
const Field<vantorel::MemberRecord> kMemberBirth([](auto& m) -> auto& { return m.person.birthDate; });
const Field<vantorel::MemberRecord> kLevel([](auto& m) -> auto& { return m.level; });

} // namespace

bool IsBirthday(std::string_view birthDate, const QDate& today) {
    return ComposedDate::SameDay(today).Matches(birthDate);
}

QStringList TodaysReminders(const vantorel::DataBook& book, const ReminderSwitches& switches, const QDate& today) {
    QStringList boxes;
    const ComposedDate::SameDay birthday(today);
    if (switches.calendar) {
        const double n = today.year() * 10000.0 + today.month() * 100 + today.day();
        book.calendar.ForEach([&](int, const vantorel::CCalendar::View& e) {
            // trunc keeps a damaged date (NaN, huge) a plain non-match.
            if (std::trunc(e.Number(kEntryDate)) == n)
                boxes << QStringLiteral("您今天有以下日程安排:\n") + FromGbk(e.Text(kEntryText));
        });
    }
    if (switches.holder || switches.insured) {
        const auto& policies = book.insurance;
        policies.ForEachTexts(std::array{&kHolderBirth, &kInsuredBirth}, [&](int i, const auto& births) {
            if (switches.holder && birthday.Matches(births[0]))
                boxes << QStringLiteral("今天是以下保单投保人的生日:\n保险单号：%1\r\n投保人姓名：%2\r\n")
                             .arg(FromGbk(policies.Text(i, kPolicyNo)), FromGbk(policies.Text(i, kHolderName)));
            if (switches.insured && birthday.Matches(births[1]))
                boxes << QStringLiteral("今天是以下保单被保险人的生日:\n保险单号：%1\r\n被保险人姓名：%2\r\n")
                             .arg(FromGbk(policies.Text(i, kPolicyNo)), FromGbk(policies.Text(i, kInsuredName)));
        });
    }
    if (switches.clients) {
        book.clients.ForEach([&](int, const vantorel::CPotClient::View& c) {
            if (birthday.Matches(c.Text(kClientBirth)))
                boxes << QStringLiteral("今天是以下潜力客户的生日:\n潜力客户姓名：%1\r\n潜力客户爱好：%2\r\n")
                             .arg(FromGbk(c.Text(kClientName)), FromGbk(c.Text(kClientHobby)));
        });
    }
    if (switches.members) {
        book.members.ForEach([&](int, const vantorel::CTermMember::View& m) {
            if (birthday.Matches(m.Text(kMemberBirth)))
                boxes << QStringLiteral("今天是以下成员的生日:\n成员工号：%1\r\n成员姓名：%2\r\n成员级别：%3\r\n")
                             .arg(FromGbk(m.Text(kStaffNo)), FromGbk(m.Text(kMemberName)), FromGbk(m.Text(kLevel)));
        });
    }
    if (switches.premium) boxes << premium::DueTodayReminders(book.insurance, today);
    return boxes;
}
