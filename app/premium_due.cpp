#include "premium_due.h"

#include "composed_date.h"
#include "forms.h"
#include "gbk.h"

#include <algorithm>

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

} // namespace

int IntervalMonths(const std::string& paymentMethod) {
    for (const Method& m : Methods())
        if (m.gbk == paymentMethod) return m.months;
    return 0;
}

Schedule ScheduleOf(const PolicyInfo& info) {
    Schedule s;
    s.interval = IntervalMonths(info.paymentMethod);
    if (s.interval == 0) return s;
    s.start = RealDateOf(info.effectiveDate);
    // The form's text-to-integer rule; GBK keeps blanks, signs and digits as
    // their ASCII bytes, and any other byte stops the number as a character would.
    const int years =
        forms::TextToInt(QString::fromLatin1(info.paymentYears.data(), qsizetype(info.paymentYears.size())));
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
    const std::vector<PolicyRecord>& all = book.Records();
    for (std::size_t i = 0; i < all.size(); ++i)
        for (const QDate& d : DueDatesIn(ScheduleOf(all[i].info), from, to)) out.push_back({d, int(i)});
    // Gathered in collection order: a stable sort by date keeps it within a day.
    std::stable_sort(out.begin(), out.end(), [](const DueEntry& a, const DueEntry& b) { return a.date < b.date; });
    return out;
}

QString Amount(double v) { return QString::number(v, 'f', 2); }

QString DueTodayText(const PolicyRecord& p) {
    return QStringLiteral("今天是以下保单的续期缴费日:\n保险单号：%1\r\n投保人姓名：%2\r\n年缴保费：%3元\r\n")
        .arg(FromGbk(p.info.policyNo), FromGbk(p.holder.name), Amount(p.info.annualPremium));
}

QStringList DueTodayReminders(const CInsurance& book, const QDate& today) {
    QStringList boxes;
    for (const PolicyRecord& p : book.Records())
        if (IsDueOn(ScheduleOf(p.info), today)) boxes << DueTodayText(p);
    return boxes;
}

} // namespace premium
