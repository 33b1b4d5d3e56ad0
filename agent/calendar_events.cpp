#include "calendar_events.h"

#include "composed_date.h"
#include "gbk.h"
#include "premium_due.h"
#include "records/data_book.h"

#include <QCryptographicHash>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

using namespace vantorel;

namespace agenda {

namespace {

const Field<ScheduleEntry> kEntryDate([](auto& e) -> auto& { return e.date; });
const Field<ScheduleEntry> kEntryText([](auto& e) -> auto& { return e.text; });
const Field<PolicyRecord> kPolicyNo([](auto& p) -> auto& { return p.info.policyNo; });
const Field<PolicyRecord> kHolderName([](auto& p) -> auto& { return p.holder.name; });
const Field<PolicyRecord> kHolderId([](auto& p) -> auto& { return p.holder.idNumber; });
const Field<PolicyRecord> kHolderBirth([](auto& p) -> auto& { return p.holder.birthDate; });
const Field<PolicyRecord> kInsuredName([](auto& p) -> auto& { return p.insured.name; });
const Field<PolicyRecord> kInsuredId([](auto& p) -> auto& { return p.insured.idNumber; });
const Field<PolicyRecord> kInsuredBirth([](auto& p) -> auto& { return p.insured.birthDate; });
const Field<PolicyRecord> kPayment([](auto& p) -> auto& { return p.info.paymentMethod; });
const Field<PolicyRecord> kEffective([](auto& p) -> auto& { return p.info.effectiveDate; });
const Field<PolicyRecord> kYears([](auto& p) -> auto& { return p.info.paymentYears; });
const Field<PolicyRecord> kPremium([](auto& p) -> auto& { return p.info.annualPremium; });
const Field<PotClientRecord> kClientName([](auto& c) -> auto& { return c.person.name; });
const Field<PotClientRecord> kClientId([](auto& c) -> auto& { return c.person.idNumber; });
const Field<PotClientRecord> kClientBirth([](auto& c) -> auto& { return c.person.birthDate; });
const Field<PotClientRecord> kClientHobby([](auto& c) -> auto& { return c.hobby; });
const Field<MemberRecord> kMemberName([](auto& m) -> auto& { return m.person.name; });
const Field<MemberRecord> kMemberId([](auto& m) -> auto& { return m.person.idNumber; });
const Field<MemberRecord> kMemberBirth([](auto& m) -> auto& { return m.person.birthDate; });
const Field<MemberRecord> kStaffNo([](auto& m) -> auto& { return m.staffNo; });
const Field<MemberRecord> kLevel([](auto& m) -> auto& { return m.level; });

QByteArray DayText(const QDate& d) {
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%04d%02d%02d", d.year(), d.month(), d.day());
    return QByteArray(text, n);
}

// 16 hex digits of a digest: names and texts are no ASCII, and a UID should be.
QByteArray Digest(std::string_view bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())), QCryptographicHash::Sha1)
        .toHex()
        .left(16);
}

// iCalendar texts break lines with "\n" alone; the memo may have stored "\r\n".
QString Text(std::string_view gbk) {
    QString t = FromGbk(gbk);
    if (gbk.find('\r') == std::string_view::npos) return t; // GBK keeps "\r" as its byte
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

// The day a schedule entry's number (year*10000+month*100+day) names, or
// none for a number that names no real day.
QDate EntryDay(double n) {
    if (!std::isfinite(n) || n < 10101 || n > 99991231 || n != std::trunc(n)) return {};
    const int v = int(n);
    return QDate(v / 10000, v / 100 % 100, v % 100);
}

void Schedule(const CCalendar& entries, CalendarCounts& counts, const std::function<void(const CalendarEvent&)>& each) {
    // The UID is the day and the text: two identical entries are one event.
    QSet<QByteArray> seen;
    entries.ForEach([&](int, const CCalendar::View& e) {
        const QDate day = EntryDay(e.Number(kEntryDate));
        if (!day.isValid()) return;
        const std::string_view text = e.Text(kEntryText);
        CalendarEvent ev;
        ev.kind = CalendarEvent::Kind::schedule;
        ev.date = day;
        ev.uid = "schedule-" + DayText(day) + "-" + Digest(text) + "@vantorel";
        if (seen.contains(ev.uid)) return;
        seen.insert(ev.uid);
        ev.summary = Text(text);
        ++counts.schedule;
        each(ev);
    });
}

enum Role : unsigned { kHolder = 1, kInsured = 2, kClient = 4, kMember = 8 };

constexpr std::size_t kPoliciesNamed = 5;

// One person's birthday, gathered from every record that names them. The
// texts are views into the records, which stay as they are during the walk.
struct Person {
    std::string_view name, id; // GBK, as stored
    QDate birth;
    unsigned roles = 0;
    int policyCount = 0;
    std::array<std::string_view, kPoliciesNamed> policies{}; // the first few policy numbers
    std::string_view hobby, staffNo, level;
};

struct PersonKey {
    std::string_view name, id;
    qint64 day;
    bool operator==(const PersonKey&) const = default;
};
struct PersonHash {
    std::size_t operator()(const PersonKey& k) const {
        const std::hash<std::string_view> h;
        return h(k.name) ^ (h(k.id) * 31) ^ (std::size_t(k.day) * 0x9E3779B97F4A7C15ull);
    }
};

class Birthdays {
public:
    // Same name, identity number and birth date: the same person, whichever
    // records name them.
    Person* Add(std::string_view name, std::string_view id, std::string_view birth, Role role) {
        const QDate day = ComposedDate::RealDate(birth);
        if (!day.isValid()) return nullptr;
        auto [at, added] = index_.try_emplace(PersonKey{name, id, day.toJulianDay()}, people_.size());
        if (added) {
            Person& p = people_.emplace_back();
            p.name = name;
            p.id = id;
            p.birth = day;
        }
        Person& p = people_[at->second];
        p.roles |= role;
        return &p;
    }
    void Reserve(std::size_t n) {
        index_.reserve(n);
        people_.reserve(n);
    }
    const std::vector<Person>& People() const { return people_; }

private:
    std::unordered_map<PersonKey, std::size_t, PersonHash> index_;
    std::vector<Person> people_; // in the order first named
};

void NamePolicy(Person* p, std::string_view policyNo) {
    if (!p) return;
    // Holder and insured of one policy name it once.
    const auto named = std::size_t(std::min<int>(p->policyCount, int(kPoliciesNamed)));
    if (named > 0 && p->policies[named - 1] == policyNo) return;
    if (named < kPoliciesNamed) p->policies[named] = policyNo;
    ++p->policyCount;
}

// "投保人、被保险人" and the like, for each set of roles.
const QString& RoleText(unsigned roles) {
    static const std::array<QString, 16> texts = [] {
        std::array<QString, 16> t;
        for (unsigned r = 0; r < 16; ++r) {
            QStringList names;
            if (r & kHolder) names << QStringLiteral("投保人");
            if (r & kInsured) names << QStringLiteral("被保险人");
            if (r & kClient) names << QStringLiteral("潜力客户");
            if (r & kMember) names << QStringLiteral("团队成员");
            t[r] = names.join(QStringLiteral("、"));
        }
        return t;
    }();
    return texts[roles & 15];
}

CalendarEvent BirthdayEvent(const Person& p) {
    CalendarEvent ev;
    ev.kind = CalendarEvent::Kind::birthday;
    ev.date = p.birth;
    ev.repeat = p.birth.month() == 2 && p.birth.day() == 29 ? CalendarEvent::Repeat::yearlyLastOfFebruary
                                                            : CalendarEvent::Repeat::yearly;
    ev.summary = Text(p.name) + QStringLiteral("生日（") + RoleText(p.roles) + QStringLiteral("）");
    QStringList lines;
    if (p.policyCount > 0) {
        QStringList numbers;
        for (int i = 0; i < p.policyCount && i < int(kPoliciesNamed); ++i) numbers << Text(p.policies[std::size_t(i)]);
        QString line = QStringLiteral("保险单号：") + numbers.join(QStringLiteral("、"));
        if (p.policyCount > int(kPoliciesNamed)) line += QStringLiteral(" 等 %1 份保单").arg(p.policyCount);
        lines << line;
    }
    if (!p.staffNo.empty()) lines << QStringLiteral("成员工号：%1").arg(Text(p.staffNo));
    if (!p.level.empty()) lines << QStringLiteral("成员级别：%1").arg(Text(p.level));
    if (!p.hobby.empty()) lines << QStringLiteral("潜力客户爱好：%1").arg(Text(p.hobby));
    ev.description = lines.join(QLatin1Char('\n'));
    std::string who(p.name);
    who.append(1, '\0').append(p.id);
    ev.uid = "person-" + Digest(who) + "-birthday-" + DayText(p.birth) + "@vantorel";
    return ev;
}

void People(const DataBook& book, const ReminderSwitches& switches, CalendarCounts& counts,
            const std::function<void(const CalendarEvent&)>& each) {
    Birthdays people;
    people.Reserve(std::size_t(book.insurance.GetSize()) * 2 + std::size_t(book.clients.GetSize()) +
                   std::size_t(book.members.GetSize()));
    if (switches.holder || switches.insured) {
        const CInsurance& policies = book.insurance;
        policies.ForEachTexts(
            std::array{&kPolicyNo, &kHolderName, &kHolderId, &kHolderBirth, &kInsuredName, &kInsuredId, &kInsuredBirth},
            [&](int, const auto& t) {
                if (switches.holder) NamePolicy(people.Add(t[1], t[2], t[3], kHolder), t[0]);
                if (switches.insured) NamePolicy(people.Add(t[4], t[5], t[6], kInsured), t[0]);
            });
    }
    if (switches.clients)
        book.clients.ForEachTexts(std::array{&kClientName, &kClientId, &kClientBirth, &kClientHobby},
                                  [&](int, const auto& t) {
                                      Person* p = people.Add(t[0], t[1], t[2], kClient);
                                      if (p && p->hobby.empty()) p->hobby = t[3];
                                  });
    if (switches.members)
        book.members.ForEachTexts(std::array{&kMemberName, &kMemberId, &kMemberBirth, &kStaffNo, &kLevel},
                                  [&](int, const auto& t) {
                                      Person* p = people.Add(t[0], t[1], t[2], kMember);
                                      if (p && p->staffNo.empty()) p->staffNo = t[3], p->level = t[4];
                                  });
    for (const Person& p : people.People()) {
        ++counts.birthdays;
        each(BirthdayEvent(p));
    }
}

void Premiums(const CInsurance& policies, const QDate& today, CalendarCounts& counts,
              const std::function<void(const CalendarEvent&)>& each) {
    const QDate last = today.addMonths(12).addDays(-1);
    // A policy number held twice (a damaged or hand-made file) must not make
    // two events one: the later ones get "~2", "~3", ...
    std::unordered_map<std::string_view, int> numbers;
    numbers.reserve(std::size_t(policies.GetSize()));
    policies.ForEachTexts(std::array{&kPolicyNo, &kPayment, &kEffective, &kYears}, [&](int i, const auto& t) {
        const int seen = numbers[t[0]]++;
        const premium::Schedule s = premium::ScheduleOf(t[1], t[2], t[3]);
        if (!s.HasDues()) return;
        const std::vector<QDate> dues = premium::DueDatesIn(s, today, last);
        if (dues.empty()) return;
        const QString number = Text(t[0]);
        QByteArray key = "policy-" + UidSafe(number);
        if (seen > 0) key += "~" + QByteArray::number(seen + 1);
        const QString holder = Text(policies.Text(i, kHolderName));
        const QString amount = premium::Amount(policies.ViewAt(i).Number(kPremium));
        CalendarEvent ev;
        ev.kind = CalendarEvent::Kind::premium;
        ev.summary = QStringLiteral("续期缴费：%1 %2 %3元").arg(number, holder, amount);
        ev.description = QStringLiteral("保险单号：%1\n投保人姓名：%2\n年缴保费：%3元").arg(number, holder, amount);
        ev.alarmDaysBefore = kPremiumAlarmDays;
        for (const QDate& d : dues) {
            ev.date = d;
            ev.uid = key + "-due-" + DayText(d) + "@vantorel";
            ++counts.premiums;
            each(ev);
        }
    });
}

} // namespace

QByteArray UidSafe(const QString& key) {
    static const QByteArray hex = "0123456789ABCDEF";
    QByteArray out;
    for (const char c : key.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' || u == '.' ||
            u == '_') {
            out += c;
        } else {
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 15];
        }
    }
    return out;
}

CalendarCounts ForEachCalendarEvent(const DataBook& book, const ReminderSwitches& switches, const QDate& today,
                                    const std::function<void(const CalendarEvent&)>& each) {
    CalendarCounts counts;
    Schedule(book.calendar, counts, each);
    People(book, switches, counts, each);
    if (switches.premium && today.isValid()) Premiums(book.insurance, today, counts, each);
    return counts;
}

} // namespace agenda
