// When a policy's renewal premiums fall due. A policy pays from its
// effective date every 12, 6, 3 or 1 months ("年缴", "半年缴", "季缴",
// "月缴"), on the same day of the month or the month's last day when that
// month is shorter; a single payment ("趸缴") or any other method has no
// renewal premiums. A payment period of N >= 1 years keeps only the due
// dates less than N years after the effective date.
#pragma once

#include "records/policy_record.h"

#include <QDate>
#include <QStringList>
#include <cstdint>
#include <string_view>
#include <vector>

namespace premium {

// Months between two premiums for a payment method (GBK text), 0 for none.
int IntervalMonths(std::string_view paymentMethod);

struct Schedule {
    QDate start;               // the effective date, when it is a real date (ComposedDate)
    int interval = 0;          // months between premiums; 0: none fall due
    std::int64_t lastDue = -1; // the last k that counts; -1: no end
    bool HasDues() const { return interval > 0 && start.isValid() && lastDue != 0; }
};
Schedule ScheduleOf(const vantorel::PolicyInfo& info);
Schedule ScheduleOf(std::string_view paymentMethod, std::string_view effectiveDate, std::string_view paymentYears);

// The k-th due date (k >= 1), whether or not the payment period still counts it.
QDate DueDate(const Schedule& s, std::int64_t k);
// The due dates from `from` through `to`, ascending; computed from the
// calendar, not by stepping through the months since the effective date.
std::vector<QDate> DueDatesIn(const Schedule& s, const QDate& from, const QDate& to);
bool IsDueOn(const Schedule& s, const QDate& day);

struct DueEntry {
    QDate date;
    int index; // position in the collection
};
// Every due date of every policy from `from` through `to`, by date and then
// collection order.
std::vector<DueEntry> DueBetween(const vantorel::CInsurance& book, const QDate& from, const QDate& to);

// The text of today's reminder box for one policy due today.
QString DueTodayText(const vantorel::PolicyRecord& p);
QString DueTodayText(std::string_view policyNo, std::string_view holderName, double annualPremium);
// Those boxes for every policy due on `today`, in collection order.
QStringList DueTodayReminders(const vantorel::CInsurance& book, const QDate& today);

// "%.2f" of an amount, whatever the locale.
QString Amount(double v);

} // namespace premium
