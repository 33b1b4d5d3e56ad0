#include "premium_due.h"

#include "composed_date.h"
#include "gbk.h"
#include "numbers.h"

#include <algorithm>
#include <array>

using namespace vantorel;

namespace premium {

namespace {

struct Method {
    std::string gbk;
    int months;
};

const std::vector<Method>& Methods() {
    static const std::vector<Method> methods = {
        {ToGbk(QStringLiteral("年缴")), 12},
        {ToGbk(QStringLiteral("半年缴")), 6},
        {ToGbk(QStringLiteral("季缴")), 3},
        {ToGbk(QStringLiteral("月缴")), 1},
    };
    return methods;
}

// Months from the start of `a`'s month to the start of `b`'s.
std::int64_t MonthsBetween(const QDate& a, const QDate& b) {
    return (std::int64_t(b.year()) - a.year()) * 12 + (b.month() - a.month());
}

const Field<PolicyRecord> kPayment([](auto& p) -> auto& { return p.info.paymentMethod; });
const Field<PolicyRecord> kEffective([](auto& p) -> auto& { return p.info.effectiveDate; });
const Field<PolicyRecord> kYears([](auto& p) -> auto& { return p.info.paymentYears; });
const Field<PolicyRecord> kPolicyNo([](auto& p) -> auto& { return p.info.policyNo; });
const Field<PolicyRecord> kHolderName([](auto& p) -> auto& { return p.holder.name; });
const Field<PolicyRecord> kPremium([](auto& p) -> auto& { return p.info.annualPremium; });

} // namespace

// Calls each(index, schedule) for every policy, in collection order.
template <class Each> void ForEachSchedule(const CInsurance& book, Each&& each) {
    book.ForEachTexts(std::array{&kPayment, &kEffective, &kYears}, [&](int i, const auto& t) {
        const Schedule s = ScheduleOf(t[0], t[1], t[2]);
        if (s.HasDues()) each(i, s);
    });
}

int IntervalMonths(std::string_view paymentMethod) {
    for (const Method& m : Methods())
        if (m.gbk == paymentMethod) return m.months;
    return 0;
}

Schedule ScheduleOf(const PolicyInfo& info) {
    return ScheduleOf(info.paymentMethod, info.effectiveDate, info.paymentYears);
}

Schedule ScheduleOf(std::string_view paymentMethod, std::string_view effectiveDate, std::string_view paymentYears) {
    Schedule s;
    s.interval = IntervalMonths(paymentMethod);
    if (s.interval == 0) return s;
    s.start = ComposedDate::RealDate(effectiveDate);
    // The form's text-to-integer rule; GBK keeps blanks, signs and digits as
    // their ASCII bytes, and any other byte stops the number as a character would.
    const int years = numbers::TextToInt(QString::fromLatin1(paymentYears.data(), qsizetype(paymentYears.size())));
    // Due k counts while k * interval months stay under the period's months.
    if (years >= 1) s.lastDue = (std::int64_t(years) * 12 - 1) / s.interval;
    return s;
}

QDate DueDate(const Schedule& s, std::int64_t k) {
    const std::int64_t months = k * s.interval;
    // Past QDate's own range there is no calendar date to give.
    if (months > 12LL * 1000000) return {};
    return s.start.addMonths(int(months)); // a shorter month gives its last day
}

std::vector<QDate> DueDatesIn(const Schedule& s, const QDate& from, const QDate& to) {
    std::vector<QDate> out;
    if (!s.HasDues() || !from.isValid() || !to.isValid() || to < from) return out;
    // The first k whose month is not before `from`'s; its day may still be,
    // once, which the loop steps over.
    const std::int64_t months = MonthsBetween(s.start, from);
    std::int64_t k = months <= 0 ? 1 : (months + s.interval - 1) / s.interval;
    for (k = std::max<std::int64_t>(k, 1); s.lastDue < 0 || k <= s.lastDue; ++k) {
        const QDate d = DueDate(s, k);
        if (!d.isValid() || d > to) break;
        if (d >= from) out.push_back(d);
    }
    return out;
}

bool IsDueOn(const Schedule& s, const QDate& day) { return !DueDatesIn(s, day, day).empty(); }

std::vector<DueEntry> DueBetween(const CInsurance& book, const QDate& from, const QDate& to) {
    std::vector<DueEntry> out;
    ForEachSchedule(book, [&](int i, const Schedule& s) {
        for (const QDate& d : DueDatesIn(s, from, to)) out.push_back({d, i});
    });
    // Gathered in collection order: a stable sort by date keeps it within a day.
    std::stable_sort(out.begin(), out.end(), [](const DueEntry& a, const DueEntry& b) { return a.date < b.date; });
    return out;
}

QString Amount(double v) { return QString::number(v, 'f', 2); }

QString DueTodayText(const PolicyRecord& p) {
    return DueTodayText(p.info.policyNo, p.holder.name, p.info.annualPremium);
}

QString DueTodayText(std::string_view policyNo, std::string_view holderName, double annualPremium) {
    return QStringLiteral("今天是以下保单的续期缴费日:\n保险单号：%1\r\n投保人姓名：%2\r\n年缴保费：%3元\r\n")
        .arg(FromGbk(policyNo), FromGbk(holderName), Amount(annualPremium));
}

QStringList DueTodayReminders(const CInsurance& book, const QDate& today) {
    QStringList boxes;
    if (!today.isValid()) return boxes;
    // A premium falls on the effective date's day of the month, or on the
    // month's last day when the month is shorter: only policies whose
    // effective date has such a day need their schedule worked out.
    const int day = today.day();
    const bool lastDay = day == today.daysInMonth();
    book.ForEachTexts(std::array{&kPayment, &kEffective, &kYears}, [&](int i, const auto& t) {
        const int effectiveDay = ComposedDate::Day(t[1]);
        if (effectiveDay != day && !(lastDay && effectiveDay > day)) return;
        if (IsDueOn(ScheduleOf(t[0], t[1], t[2]), today))
            boxes << DueTodayText(book.Text(i, kPolicyNo), book.Text(i, kHolderName), book.ViewAt(i).Number(kPremium));
    });
    return boxes;
}

} // namespace premium
