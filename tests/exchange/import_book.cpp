#include "import_book.h"

#include <string>

using namespace vantorel;

namespace importbook {

namespace {

// GBK bytes of a few Chinese texts (张三, 北京市, 备注).
const std::string kZhang = "\xD5\xC5\xC8\xFD";
const std::string kBeijing = "\xB1\xB1\xBE\xA9\xCA\xD0";
const std::string kNote = "\xB1\xB8\xD7\xA2";

// Texts a file must carry unchanged: quotes, a comma, a line break, what a
// spreadsheet would take for a formula, and our own guard's look-alike.
const char* const kAwkward[] = {"say \"hi\", then", "line\nbreak", "=1+1",  "+86 10", "-5", "@home", "'=x",
                                "'plain",           " padded ",    "a;b\tc"};

template <class P> void FillPerson(P& p, int n, int k) {
    p.name = kZhang + std::to_string(n) + "_" + std::to_string(k);
    p.sex = static_cast<std::int16_t>((n + k) % 3 - 1); // -1, 0, 1
    p.nation = "\xBA\xBA";                              // 汉
    p.idNumber = "11010" + std::to_string(1000000 + n * 31 + k);
    p.maritalStatus = static_cast<std::int16_t>((n + k) % 6 - 1); // -1 .. 4
    const char* dates[] = {"1970/1-31", "1977/0-0", "2004/05-09", "/5-29", "", "1999/12-31"};
    p.birthDate = dates[(n + k) % 6];
    p.mobile = "138" + std::to_string(10000000 + n);
    p.email = "a" + std::to_string(n) + "@example.com";
    p.occupation = kAwkward[(n + k) % 10];
    p.annualIncome = "10" + std::to_string(k) + "000";
    p.homePhone = "010-" + std::to_string(60000000 + n);
    p.homeAddress = kBeijing + kAwkward[(n + k + 1) % 10];
    p.homePostcode = "100080";
    p.workPhone = "010-8" + std::to_string(k);
    p.workAddress = kBeijing + "," + std::to_string(k);
    p.remarks = kNote + kAwkward[(n + k + 2) % 10];
    p.education = "\xB4\xF3\xD1\xA7"; // 大学
}

PolicyInfo Info(int n, int k) {
    PolicyInfo r;
    r.policyNo = "P" + std::to_string(n) + (k ? "-" + std::to_string(k) : std::string());
    r.company = kAwkward[(n + k) % 10];
    r.sumInsured = 1.5 + k;
    r.paymentMethod = "\xC4\xEA\xBD\xC9"; // 年缴
    r.annualPremium = 12800.25 + n;
    r.effectiveDate = k % 2 ? "2004/2-29" : "2004/0-0";
    r.applicationNo = "T" + std::to_string(n * 100 + k);
    r.productName = kNote;
    r.paymentYears = "20";
    r.coverageYears = "\xD6\xD5\xC9\xED"; // 终身
    r.benefitMethod = "x";
    r.benefitAge = "60";
    r.liabilityStartDate = "2004/05-09";
    r.remarks = kAwkward[(n + k + 3) % 10];
    return r;
}

} // namespace

PolicyRecord FullPolicy(int n) {
    PolicyRecord r;
    r.info = Info(n, 0);
    FillPerson(r.holder, n, 0);
    r.holder.sex = -1;
    r.holder.relationToInsured = kAwkward[n % 10];
    FillPerson(r.insured, n, 1);
    r.insured.maritalStatus = -1;
    r.insured.height = 172.5;
    r.insured.weight = 65;
    for (int b = 0; b < 10; ++b) {
        BeneficiaryRecord e;
        FillPerson(e, n, b + 2);
        e.height = 150 + b;
        e.weight = std::stod("3." + std::to_string(b)); // as typed
        e.relationToInsured = kAwkward[b];
        e.share = 10;
        r.beneficiaries.push_back(e);
    }
    for (int k = 1; k <= 10; ++k) r.riders.push_back(Info(n, k));
    return r;
}

PotClientRecord FullClient(int n) {
    PotClientRecord r;
    FillPerson(r.person, n, 0);
    r.person.height = 160 + n % 30;
    r.person.weight = 50.5;
    r.fax = "010-" + std::to_string(n);
    r.hobby = kAwkward[n % 10];
    return r;
}

MemberRecord FullMember(int n) {
    MemberRecord r;
    FillPerson(r.person, n, 0);
    r.staffNo = "S" + std::to_string(n);
    r.department = kAwkward[n % 10];
    r.level = "A";
    r.joinDate = n % 2 ? "2001/3-04" : "2001/3-4";
    r.hobby = kNote;
    return r;
}

ScheduleEntry Entry(int n) { return {20040529.0 + n % 3, kZhang + kAwkward[n % 10]}; }

DataBook Book(int count) {
    DataBook book;
    for (int n = 0; n < count; ++n) {
        PolicyRecord p = FullPolicy(n);
        if (n % 3 == 1) { // some policies have shorter lists
            p.beneficiaries.resize(std::size_t(n % 4));
            p.riders.resize(std::size_t(n % 2));
        }
        book.insurance.Add(p);
        book.clients.Add(FullClient(n));
        book.members.Add(FullMember(n));
        book.calendar.Add(Entry(n));
        book.calendar.Add(Entry(n)); // identical entries are both kept
    }
    return book;
}

} // namespace importbook
