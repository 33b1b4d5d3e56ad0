// A person's file: their data, their policies in every role, what they pay
// and what cover they have, the people linked to them through those
// policies with their cover beside theirs, and what falls due in the next 90
// days. Made from a person index and the book it was built from.
#pragma once

#include "cover_categories.h"
#include "person_index.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

namespace clients {

struct PersonalData {
    QString name, sex, idNumber, birthDate, mobile, homePhone, workPhone, email, occupation, homeAddress;
    // Where the data come from: "保单 P2024001 投保人", "潜力客户", "团队成员 S1001".
    QString source;
};

// One line of the policies table: a policy or one of its riders.
struct PolicyLine {
    int policy = -1; // the policy in the collection (a rider's too)
    bool rider = false;
    unsigned roles = 0; // the person's roles in the policy (kHolder, kInsured, kBeneficiary)
    QString policyNo, company, product, effectiveDate;
    double sumInsured = 0;    // 万元, as the form's label says
    double annualPremium = 0; // 元
    QDate nextDue;            // on or after today; invalid when none falls due
    cover::Category category = cover::Category::other;
};

struct LinkedPerson {
    int person = -1;
    QString name, idNumber;
    // How they are linked, policy by policy: "P2024001 被保险人；P2024003 受益人".
    QString how;
};

// One column of the cover grid: a person's sums insured by category, as
// insured person of all their policies and riders.
struct CoverColumn {
    int person = -1;
    QString name;
    cover::Sums sums{};
    cover::Held held{}; // a category without any policy is a gap
};

struct DueLine {
    QDate date;
    QString what; // "生日 王芳（50岁）", "缴费 P2024001 年缴 12800.00 元"
    int policy = -1;
};

struct ClientFile {
    int person = -1;
    PersonalData data;
    // Every name the person is mentioned under; more than one: 姓名不一致.
    QStringList names;
    unsigned roles = 0;
    std::vector<PolicyLine> policies; // by policy in book order, each followed by its riders
    double premiumAsHolder = 0;       // 元 a year, riders included
    CoverColumn own;                  // the person's own cover, the grid's first column
    std::vector<LinkedPerson> linked;
    std::vector<CoverColumn> grid; // own first, then each linked person
    std::vector<DueLine> next90;   // today through today + 90 days, by date
    QDate today;
};

// The file of `person` of `index`, built from `book` (the same records).
ClientFile OpenFile(const PersonIndex& index, const vantorel::DataBook& book, int person, const QDate& today);

// The birthday of a stored birth date on or after `from` and no later than
// `to`: the month and day the date holds (as the birthday reminders read
// it), in a common year 28 February for a 29 February. Invalid for none.
QDate NextBirthday(std::string_view birthDate, const QDate& from, const QDate& to);

// A sum insured in 万元 with no trailing zeros ("50", "12.5").
QString SumText(double v);
// A cell of the cover grid: the sum, or "—" for a gap.
QString CoverCell(const CoverColumn& c, cover::Category k);

} // namespace clients
