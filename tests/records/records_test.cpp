#include "records/people_records.h"
#include "records/policy_record.h"
#include "storage_kit.h"

#include <gtest/gtest.h>

using namespace vantorel;
using testkit::B;
using testkit::Hex;
using testkit::kBenKe;
using testkit::Loaded;
using testkit::Stored;

namespace {

// Hand encoders for the expected bytes; short strings only.
std::string S(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
std::string I16(int v) { return B({v & 0xFF, (v >> 8) & 0xFF}); }
std::string D(double v) {
    std::string out(8, '\0');
    for (std::size_t i = 0; i < 8; ++i) out[i] = static_cast<char>(std::bit_cast<std::uint64_t>(v) >> (8 * i));
    return out;
}

template <class C, class R> std::string One(const R& r) {
    C c;
    c.Add(r);
    return Stored(c);
}

// Every field gets a value of its own, so a field out of place shows.
PolicyInfo Info(const std::string& p) {
    return {.policyNo = p + "n", .company = p + "c", .paymentMethod = p + "p", .sumInsured = 50,
            .annualPremium = 1234.5, .effectiveDate = "2004/5-29", .applicationNo = p + "a", .productName = p + "r",
            .paymentYears = "20", .coverageYears = "30", .benefitMethod = p + "b", .benefitAge = "60",
            .liabilityStartDate = "2004/6-1", .remarks = p + "m"};
}
std::string InfoBytes(const std::string& p) {
    return S(p + "n") + S(p + "c") + D(50) + S(p + "p") + D(1234.5) + S("2004/5-29") + S(p + "a") + S(p + "r") +
           S("20") + S("30") + S(p + "b") + S("60") + S("2004/6-1") + S(p + "m");
}

PersonInfo Person(const std::string& p) {
    return {.name = p + testkit::kZhangSan, .sex = 1, .nation = p + "N", .idNumber = p + "110101197701010011",
            .maritalStatus = -1, .birthDate = "1977/1-1", .mobile = p + "M", .email = p + "E", .occupation = p + "O",
            .annualIncome = p + "I", .homePhone = p + "H", .homeAddress = p + testkit::kBeijing,
            .homePostcode = p + "P", .workPhone = p + "W", .workAddress = p + "A", .workPostcode = p + "Q",
            .height = 170, .weight = 62.5, .remarks = p + "R", .education = kBenKe};
}
std::string PersonBytes(const std::string& p) {
    return S(p + testkit::kZhangSan) + I16(1) + S(p + "N") + S(p + "110101197701010011") + I16(-1) + S("1977/1-1") +
           S(p + "M") + S(p + "E") + S(p + "O") + S(p + "I") + S(p + "H") + S(p + testkit::kBeijing) + S(p + "P") +
           S(p + "W") + S(p + "A") + S(p + "Q") + D(170) + S(p + "R") + D(62.5) + S(kBenKe);
}

} // namespace

TEST(Layout, GoldenBytesAndSizesOfEveryRecord) {
    PolicyRecord withLists;
    withLists.beneficiaries.resize(3);
    withLists.riders.resize(2);
    PotClientRecord client;
    client.person = {.sex = 1, .maritalStatus = 1, .birthDate = "1977/1-1", .height = 170, .education = kBenKe};
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t size;
        std::string hexStart;
    } cases[] = {
        {"no policies", Stored(CInsurance{}), 4, "00 00 00 00"},
        {"empty policy", One<CInsurance>(PolicyRecord{}), 4 + 89, "01 00 00 00 00 00 00 00"},
        {"policy A1", One<CInsurance>(PolicyRecord{.info = {.policyNo = "A1"}}), 95, "01 00 00 00 02 41 31 00"},
        {"policy with lists", One<CInsurance>(withLists), 4 + 89 + 3 * 44 + 2 * 28, ""},
        {"empty client", One<CPotClient>(PotClientRecord{}), 4 + 39, ""},
        {"empty member", One<CTermMember>(MemberRecord{}), 4 + 42, ""},
        {"client", One<CPotClient>(client), 59,
         "01 00 00 00 00 01 00 00 00 01 00 08 31 39 37 37 2F 31 2D 31 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
         "00 40 65 40 00 00 00 00 00 00 00 00 00 04 B1 BE BF C6 00 00 04 B1 BE BF C6"},
        {"schedule", One<CCalendar>(ScheduleEntry{20040529, "ab"}), 15,
         "01 00 00 00 00 00 00 10 B5 1C 73 41 02 61 62"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.bytes.size(), c.size) << c.what;
        EXPECT_EQ(Hex(c.bytes).substr(0, c.hexStart.size()), c.hexStart) << c.what;
    }
    EXPECT_EQ(Loaded<CPotClient>(cases[6].bytes).At(0), client);
}

TEST(Layout, FieldOrderOfEveryPartAndTheRepeatedEducation) {
    PolicyRecord p{.info = Info("X"), .insured = Person("X"), .riders = {Info("Xr0")}};
    p.holder = {.name = "Xh", .maritalStatus = 4, .relationToInsured = "self", .education = kBenKe};
    p.beneficiaries.push_back(
        {.name = "Xb", .idNumber = "0", .height = 1, .weight = 2, .relationToInsured = "child", .share = 100});
    const std::string holder = S("Xh") + I16(0) + S("") + S("") + I16(4) + std::string(11, '\0') + S("self") +
                               S("") + S(kBenKe);
    const std::string beneficiary = S("Xb") + I16(0) + S("") + S("0") + I16(0) + std::string(10, '\0') + D(1) +
                                    S("") + D(2) + S("") + S("child") + D(100);
    const std::string policy = B({1, 0, 0, 0}) + InfoBytes("X") + holder + PersonBytes("X") + I16(1) + beneficiary +
                               I16(1) + InfoBytes("Xr0");
    EXPECT_EQ(Hex(One<CInsurance>(p)), Hex(policy));
    EXPECT_EQ(Loaded<CInsurance>(policy).At(0), p);

    // Clients and members end with the education a second time.
    const PotClientRecord client{.person = Person("c"), .fax = "f", .hobby = "h"};
    const std::string clientBytes = B({1, 0, 0, 0}) + PersonBytes("c") + S("h") + S("f") + S(kBenKe);
    EXPECT_EQ(Hex(One<CPotClient>(client)), Hex(clientBytes));
    const MemberRecord member{.staffNo = "007", .department = "d", .level = "l", .joinDate = "2001/2-3",
                              .hobby = "go", .person = Person("m")};
    const std::string memberBytes = B({1, 0, 0, 0}) + PersonBytes("m") + S("go") + S("007") + S("d") + S("l") +
                                    S("2001/2-3") + S(kBenKe);
    EXPECT_EQ(Hex(One<CTermMember>(member)), Hex(memberBytes));
    // On reading, the later copy wins, even when it is empty.
    const auto lastCopy = [](const std::string& bytes, const std::string& last) {
        return bytes.substr(0, bytes.size() - 5) + S(last);
    };
    EXPECT_EQ(Loaded<CTermMember>(lastCopy(memberBytes, "")).At(0).person.education, "");
    EXPECT_EQ(Loaded<CPotClient>(lastCopy(clientBytes, "x")).At(0).person.education, "x");
}

TEST(Collections, LookUpsCompareWholeValuesAndLoadingAppends) {
    CInsurance policies;
    for (const char* no : {"a1", "A1 ", "A1", "A1", "\xB1\xBE"}) policies.Add({.info = {.policyNo = no}});
    // Byte for byte, whole numbers only; the first of equal numbers wins.
    const std::pair<const char*, int> finds[] = {{"A1", 2}, {"a1", 0}, {"A1 ", 1}, {"\xB1\xBE", 4}, {"A", -1}, {"", -1}};
    for (const auto& [no, at] : finds) EXPECT_EQ(policies.Find(no), at) << no;
    EXPECT_FALSE(policies.Exists("\xB1"));
    CMemFile f(Stored(policies));
    CArchive ar(f, CArchive::load);
    policies.Serialize(ar);
    EXPECT_EQ(policies.GetSize(), 10);

    CPotClient clients;
    for (const char* id : {"1", "2", ""}) clients.Add({.person = {.name = *id == '2' ? "y" : "x", .idNumber = id}});
    EXPECT_EQ(clients.Find("x", "1"), 0);
    EXPECT_EQ(clients.Find("x", ""), 2);
    EXPECT_EQ(clients.Find("y", ""), -1); // both parts must match
    EXPECT_TRUE(clients.Exists("x", "1"));
    EXPECT_FALSE(clients.Exists("1", "x"));

    CTermMember members;
    for (const char* no : {"001", "002", "A", "a", "002"}) members.Add({.staffNo = no});
    EXPECT_EQ(members.Find("002"), 1);
    EXPECT_EQ(members.Find("a"), 3);
    EXPECT_EQ(members.Find("00"), -1);
}
