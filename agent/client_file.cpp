#include "client_file.h"

#include "composed_date.h"
#include "gbk.h"
#include "numbers.h"
#include "premium_due.h"

#include <algorithm>
#include <map>

using namespace vantorel;

namespace clients {

namespace {

constexpr int kWindowDays = 90;

template <class Block> PersonalData FromBlock(const Block& b) {
    PersonalData d;
    d.name = FromGbk(b.name);
    d.sex = b.sex == 0 ? QStringLiteral("男") : b.sex == 1 ? QStringLiteral("女") : QString();
    d.idNumber = FromGbk(b.idNumber);
    d.birthDate = FromGbk(b.birthDate);
    d.mobile = FromGbk(b.mobile);
    d.homePhone = FromGbk(b.homePhone);
    d.workPhone = FromGbk(b.workPhone);
    d.email = FromGbk(b.email);
    d.occupation = FromGbk(b.occupation);
    d.homeAddress = FromGbk(b.homeAddress);
    return d;
}

// A block of a record decoded where it lies.
template <class Block> Block DecodeBlock(const DataBook& book, Mention m) {
    const std::string_view bytes = PersonIndex::RecordBytes(book, m);
    RecordDecoder d{reinterpret_cast<const unsigned char*>(bytes.data()) + m.offset()};
    Block b;
    VisitFields(d, b);
    return b;
}

QString PolicyNo(const DataBook& book, int policy) {
    static const Field<PolicyRecord> number([](auto& p) -> auto& { return p.info.policyNo; });
    return FromGbk(book.insurance.Text(policy, number));
}

QString SlotName(Slot s) {
    switch (s) {
    case Slot::holder: return QStringLiteral("投保人");
    case Slot::insured: return QStringLiteral("被保险人");
    case Slot::beneficiary: return QStringLiteral("受益人");
    case Slot::client: return QStringLiteral("潜力客户");
    case Slot::member: break;
    }
    return QStringLiteral("团队成员");
}

PersonalData DataOf(const DataBook& book, Mention m) {
    PersonalData d;
    switch (m.slot()) {
    case Slot::holder: d = FromBlock(DecodeBlock<HolderInfo>(book, m)); break;
    case Slot::insured: d = FromBlock(DecodeBlock<PersonInfo>(book, m)); break;
    case Slot::beneficiary: d = FromBlock(DecodeBlock<BeneficiaryRecord>(book, m)); break;
    case Slot::client: d = FromBlock(DecodeBlock<PersonInfo>(book, m)); break;
    case Slot::member: d = FromBlock(DecodeBlock<PersonInfo>(book, m)); break;
    }
    if (m.InPolicy())
        d.source = QStringLiteral("保单 %1 %2").arg(PolicyNo(book, m.record()), SlotName(m.slot()));
    else if (m.slot() == Slot::client)
        d.source = QStringLiteral("潜力客户资料");
    else {
        static const Field<MemberRecord> staffNo([](auto& r) -> auto& { return r.staffNo; });
        d.source = QStringLiteral("成员资料 工号 %1").arg(FromGbk(book.members.Text(m.record(), staffNo)));
    }
    return d;
}

QDate NextDue(const PolicyInfo& info, const QDate& today) {
    const std::vector<QDate> dues = premium::DueDatesIn(premium::ScheduleOf(info), today, today.addMonths(12));
    return dues.empty() ? QDate() : dues.front();
}

void AddCover(CoverColumn& c, const PolicyInfo& info) {
    const auto k = std::size_t(cover::Of(info.productName));
    c.sums[k] += info.sumInsured;
    c.held[k] = true;
}

// A person's cover as insured person of every policy and rider.
CoverColumn CoverOf(const PersonIndex& index, const DataBook& book, int person) {
    CoverColumn c;
    c.person = person;
    c.name = FromGbk(PersonIndex::Texts(book, index.Shown(person)).name);
    int last = -1;
    for (const Mention& m : index.MentionsOf(person)) {
        if (m.slot() != Slot::insured || m.record() == last) continue;
        last = m.record();
        const PolicyRecord p = book.insurance.GetAt(m.record());
        AddCover(c, p.info);
        for (const RiderRecord& r : p.riders) AddCover(c, r);
    }
    return c;
}

// Age reached on `day` by a birth date whose year is a number; -1 otherwise.
int AgeOn(const QString& birthDate, const QDate& day) {
    const QString year = ComposedDate(birthDate).Split().year;
    bool ok = false;
    const int y = year.toInt(&ok);
    return ok && y > 0 && y <= day.year() ? day.year() - y : -1;
}

void AddBirthday(std::vector<DueLine>& out, const QString& name, const QString& birthDate, const QDate& today) {
    const QDate day = NextBirthday(ToGbk(birthDate), today, today.addDays(kWindowDays));
    if (!day.isValid()) return;
    const int age = AgeOn(birthDate, day);
    out.push_back(
        {day, age >= 0 ? QStringLiteral("生日 %1（%2岁）").arg(name).arg(age) : QStringLiteral("生日 %1").arg(name),
         -1});
}

void AddDues(std::vector<DueLine>& out, const PolicyLine& line, const PolicyInfo& info, const QDate& today) {
    for (const QDate& d : premium::DueDatesIn(premium::ScheduleOf(info), today, today.addDays(kWindowDays)))
        out.push_back(
            {d,
             QStringLiteral("缴费 %1 %2 %3 元").arg(line.policyNo, line.product, premium::Amount(line.annualPremium)),
             line.policy});
}

} // namespace

QString SumText(double v) {
    QString t = QString::number(v, 'f', 2);
    while (t.endsWith(QLatin1Char('0'))) t.chop(1);
    if (t.endsWith(QLatin1Char('.'))) t.chop(1);
    return t == QStringLiteral("-0") ? QStringLiteral("0") : t;
}

QString CoverCell(const CoverColumn& c, cover::Category k) {
    return c.held[std::size_t(k)] ? SumText(c.sums[std::size_t(k)]) : QStringLiteral("—");
}

QDate NextBirthday(std::string_view birthDate, const QDate& from, const QDate& to) {
    if (!from.isValid() || !to.isValid() || to < from) return {};
    const DateParts parts = ComposedDate::FromStored(birthDate).Split();
    const int month = parts.monthIndex + 1, day = parts.dayIndex + 1;
    // A day some year has, written as the birthday reminders read it ("5-29" after the "/").
    const QDate inLeapYear(2000, month, day);
    if (!inLeapYear.isValid() || !ComposedDate::SameDay(inLeapYear).Matches(birthDate)) return {};
    for (int y = from.year(); y <= to.year(); ++y) {
        QDate d(y, month, day);
        if (!d.isValid()) d = QDate(y, 2, 28); // 29 February in a common year
        if (d >= from && d <= to) return d;
    }
    return {};
}

ClientFile OpenFile(const PersonIndex& index, const DataBook& book, int person, const QDate& today) {
    ClientFile f;
    f.person = person;
    f.today = today;
    f.roles = index.Roles(person);
    const std::vector<Mention> mentions = index.MentionsOf(person);
    f.data = DataOf(book, mentions.front());
    for (const Mention& m : mentions) {
        const QString name = FromGbk(PersonIndex::Texts(book, m).name);
        if (!f.names.contains(name)) f.names << name;
    }

    // The person's roles policy by policy, in the book's order.
    std::map<int, unsigned> policies;
    for (const Mention& m : mentions) {
        if (!m.InPolicy()) continue;
        policies[m.record()] |= m.slot() == Slot::holder    ? kHolder
                                : m.slot() == Slot::insured ? kInsured
                                                            : kBeneficiary;
    }
    f.own.person = person;
    f.own.name = f.data.name;
    std::vector<DueLine> dues;
    for (const auto& [policy, roles] : policies) {
        const PolicyRecord p = book.insurance.GetAt(policy);
        auto line = [&](const PolicyInfo& info, bool rider) {
            PolicyLine l;
            l.policy = policy;
            l.rider = rider;
            l.roles = roles;
            l.policyNo = FromGbk(info.policyNo);
            l.company = FromGbk(info.company);
            l.product = FromGbk(info.productName);
            l.effectiveDate = ComposedDate::FromStored(info.effectiveDate).ListText();
            l.sumInsured = info.sumInsured;
            l.annualPremium = info.annualPremium;
            l.nextDue = NextDue(info, today);
            l.category = cover::Of(info.productName);
            if (rider && l.policyNo.isEmpty()) l.policyNo = FromGbk(p.info.policyNo);
            f.policies.push_back(l);
            if (roles & kHolder) f.premiumAsHolder += info.annualPremium;
            if (roles & kInsured) AddCover(f.own, info);
            AddDues(dues, l, info, today);
        };
        line(p.info, false);
        for (const RiderRecord& r : p.riders) line(r, true);

        // Everyone else the policy names.
        for (const PersonIndex::PolicyPerson& other : index.PeopleOf(policy)) {
            if (other.person == person) continue;
            auto it = std::find_if(f.linked.begin(), f.linked.end(),
                                   [&](const LinkedPerson& l) { return l.person == other.person; });
            const QString how = FromGbk(p.info.policyNo) + QLatin1Char(' ') + SlotName(other.mention.slot());
            if (it == f.linked.end()) {
                const PersonTexts t = PersonIndex::Texts(book, index.Shown(other.person));
                f.linked.push_back({other.person, FromGbk(t.name), FromGbk(t.idNumber), how});
            } else if (!it->how.split(QStringLiteral("；")).contains(how)) {
                it->how += QStringLiteral("；") + how;
            }
        }
    }

    f.grid.push_back(f.own);
    std::vector<DueLine> birthdays;
    AddBirthday(birthdays, f.data.name, f.data.birthDate, today);
    for (const LinkedPerson& l : f.linked) {
        f.grid.push_back(CoverOf(index, book, l.person));
        const PersonalData d = DataOf(book, index.Shown(l.person));
        AddBirthday(birthdays, d.name, d.birthDate, today);
    }
    f.next90 = std::move(birthdays);
    f.next90.insert(f.next90.end(), dues.begin(), dues.end());
    std::stable_sort(f.next90.begin(), f.next90.end(),
                     [](const DueLine& a, const DueLine& b) { return a.date < b.date; });
    return f;
}

} // namespace clients
