#include "records/people_records.h"
#include "records/policy_record.h"
#include "storage_kit.h"

#include <gtest/gtest.h>

using namespace vantorel;
using testkit::B;
using testkit::Hex;
using testkit::Loaded;
using testkit::Stored;

namespace {

// Hand encoders for the expected bytes; short strings only.
std::string S(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
std::string I16(int v) { return B({v & 0xFF, (v >> 8) & 0xFF}); }
std::string D(double v) {
    std::string out(8, '\0');
    auto u = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) out[static_cast<std::size_t>(i)] = static_cast<char>(u >> (8 * i));
    return out;
}

PolicyInfo Info(const std::string& p) {
    PolicyInfo i;
    i.policyNo = p + "n";
    i.company = p + "c";
    i.paymentMethod = p + "p";
    i.sumInsured = 50;
    i.annualPremium = 1234.5;
    i.effectiveDate = "2004/5-29";
    i.applicationNo = p + "a";
    i.productName = p + "r";
    i.paymentYears = "20";
    i.coverageYears = "30";
    i.benefitMethod = p + "b";
    i.benefitAge = "60";
    i.liabilityStartDate = "2004/6-1";
    i.remarks = p + "m";
    return i;
}

std::string InfoBytes(const std::string& p) {
    return S(p + "n") + S(p + "c") + D(50) + S(p + "p") + D(1234.5) + S("2004/5-29") + S(p + "a") + S(p + "r") +
           S("20") + S("30") + S(p + "b") + S("60") + S("2004/6-1") + S(p + "m");
}

PersonInfo Person(const std::string& p) {
    PersonInfo r;
    r.name = p + testkit::kZhangSan;
    r.sex = 1;
    r.nation = p + "N";
    r.idNumber = p + "110101197701010011";
    r.maritalStatus = -1;
    r.birthDate = "1977/1-1";
    r.mobile = p + "M";
    r.email = p + "E";
    r.occupation = p + "O";
    r.annualIncome = p + "I";
    r.homePhone = p + "H";
    r.homeAddress = p + testkit::kBeijing;
    r.homePostcode = p + "P";
    r.workPhone = p + "W";
    r.workAddress = p + "A";
    r.workPostcode = p + "Q";
    r.height = 170;
    r.weight = 62.5;
    r.remarks = p + "R";
    r.education = testkit::kBenKe;
    return r;
}

std::string PersonBytes(const std::string& p) {
    return S(p + testkit::kZhangSan) + I16(1) + S(p + "N") + S(p + "110101197701010011") + I16(-1) + S("1977/1-1") +
           S(p + "M") + S(p + "E") + S(p + "O") + S(p + "I") + S(p + "H") + S(p + testkit::kBeijing) + S(p + "P") +
           S(p + "W") + S(p + "A") + S(p + "Q") + D(170) + S(p + "R") + D(62.5) + S(testkit::kBenKe);
}

PolicyRecord FullPolicy(const std::string& no, int beneficiaries, int riders) {
    PolicyRecord r;
    r.info = Info(no);
    r.holder.name = no + "h";
    r.holder.sex = 0;
    r.holder.maritalStatus = 4;
    r.holder.relationToInsured = "self";
    r.holder.education = testkit::kBenKe;
    r.insured = Person(no);
    for (int i = 0; i < beneficiaries; ++i) {
        BeneficiaryRecord b;
        b.name = no + "b" + std::to_string(i);
        b.sex = static_cast<std::int16_t>(i % 2);
        b.idNumber = std::to_string(i);
        b.height = 1;
        b.weight = 2;
        b.relationToInsured = "child";
        b.share = 100.0 / (i + 1);
        r.beneficiaries.push_back(b);
    }
    for (int i = 0; i < riders; ++i) r.riders.push_back(Info(no + "r" + std::to_string(i)));
    return r;
}

} // namespace

TEST(PolicyLayout, SizesOfEmptyPartsAndTheSinglePolicyFile) {
    CInsurance empty;
    EXPECT_EQ(Hex(Stored(empty)), "00 00 00 00");
    EXPECT_EQ(Loaded<CInsurance>(B({0, 0, 0, 0})).GetSize(), 0);

    CInsurance one;
    PolicyRecord p;
    one.Add(p);
    EXPECT_EQ(Stored(one).size(), 4u + 89u);
    one.SetAt(0, [] {
        PolicyRecord r;
        r.info.policyNo = "A1";
        return r;
    }());
    const std::string file = Stored(one);
    ASSERT_EQ(file.size(), 95u);
    EXPECT_EQ(Hex(file.substr(0, 7)), "01 00 00 00 02 41 31");

    CInsurance lists;
    PolicyRecord withLists;
    withLists.beneficiaries.resize(3);
    withLists.riders.resize(2);
    lists.Add(withLists);
    EXPECT_EQ(Stored(lists).size(), 4u + 89u + 3 * 44u + 2 * 28u);
}

TEST(PolicyLayout, FieldOrderOfEveryPart) {
    CInsurance c;
    c.Add(FullPolicy("X", 1, 1));
    const PolicyRecord& r = c.At(0);
    const BeneficiaryRecord& b = r.beneficiaries[0];
    std::string holder = S("Xh") + I16(0);
    for (int i = 0; i < 2; ++i) holder += S("");
    holder += I16(4);
    for (int i = 0; i < 11; ++i) holder += S("");
    holder += S("self") + S("") + S(testkit::kBenKe);
    std::string beneficiary = S(b.name) + I16(0) + S("") + S("0") + I16(0);
    for (int i = 0; i < 10; ++i) beneficiary += S("");
    beneficiary += D(1) + S("") + D(2) + S("") + S("child") + D(100);
    const std::string expected = B({1, 0, 0, 0}) + InfoBytes("X") + holder + PersonBytes("X") + I16(1) + beneficiary +
                                 I16(1) + InfoBytes("Xr0");
    EXPECT_EQ(Hex(Stored(c)), Hex(expected));
    EXPECT_EQ(Loaded<CInsurance>(expected).At(0), r);
}

TEST(PolicyLayout, ListsAreWrittenOnlyAsFarAsTheirCounts) {
    CInsurance c;
    c.Add(FullPolicy("P", 3, 0));
    c.Add(FullPolicy("Q", 0, 2));
    c.Add(FullPolicy("R", 10, 10));
    const CInsurance back = Loaded<CInsurance>(Stored(c));
    ASSERT_EQ(back.GetSize(), 3);
    EXPECT_EQ(back.At(0).beneficiaries.size(), 3u);
    EXPECT_TRUE(back.At(1).beneficiaries.empty());
    ASSERT_EQ(back.At(1).riders.size(), 2u);
    EXPECT_EQ(back.At(1).riders[1].policyNo, "Qr1n");
    EXPECT_EQ(back.At(2).beneficiaries.size(), 10u);
    EXPECT_EQ(back.At(2).riders.size(), 10u);
    EXPECT_EQ(back.Records(), c.Records());
    EXPECT_EQ(back.At(0).insured.maritalStatus, -1);
    // Loading appends after what is there already.
    CInsurance twice = back;
    CMemFile f(Stored(c));
    CArchive ar(f, CArchive::load);
    twice.Serialize(ar);
    EXPECT_EQ(twice.GetSize(), 6);
    EXPECT_EQ(twice.At(5), c.At(2));
}

TEST(PolicyLayout, FindComparesWholeNumbersByteForByte) {
    CInsurance c;
    for (const char* no : {"a1", "A1 ", "A1", "A1", "\xB1\xBE"}) {
        PolicyRecord r;
        r.info.policyNo = no;
        c.Add(r);
    }
    EXPECT_EQ(c.Find("A1"), 2); // the lower of two equal numbers
    EXPECT_EQ(c.Find("a1"), 0);
    EXPECT_EQ(c.Find("A1 "), 1);
    EXPECT_EQ(c.Find("\xB1\xBE"), 4);
    EXPECT_EQ(c.Find("A"), -1);
    EXPECT_EQ(c.Find(""), -1);
    EXPECT_TRUE(c.Exists("a1"));
    EXPECT_FALSE(c.Exists("\xB1"));
    c.RemoveAt(2);
    EXPECT_EQ(c.Find("A1"), 2);
}

TEST(PeopleLayout, EmptyClientAndMemberSizes) {
    CPotClient clients;
    clients.Add({});
    EXPECT_EQ(Stored(clients).size(), 4u + 39u);
    CTermMember members;
    members.Add({});
    EXPECT_EQ(Stored(members).size(), 4u + 42u);
}

TEST(PeopleLayout, TheFiftyNineByteClientFile) {
    PotClientRecord r;
    r.person.sex = 1;
    r.person.maritalStatus = 1;
    r.person.birthDate = "1977/1-1";
    r.person.height = 170;
    r.person.education = testkit::kBenKe;
    CPotClient c;
    c.Add(r);
    const std::string expected = B({1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 8, 0x31, 0x39, 0x37, 0x37, 0x2F, 0x31, 0x2D, 0x31}) +
                                 std::string(10, '\0') + B({0, 0, 0, 0, 0, 0x40, 0x65, 0x40, 0}) +
                                 std::string(8, '\0') + B({4, 0xB1, 0xBE, 0xBF, 0xC6, 0, 0, 4, 0xB1, 0xBE, 0xBF, 0xC6});
    ASSERT_EQ(expected.size(), 59u);
    EXPECT_EQ(Hex(Stored(c)), Hex(expected));
    EXPECT_EQ(Loaded<CPotClient>(expected).At(0), r);
}

TEST(PeopleLayout, EducationIsWrittenTwiceAndTheLaterCopyWins) {
    PotClientRecord client;
    client.person = Person("c");
    client.hobby = "h";
    client.fax = "f";
    CPotClient clients;
    clients.Add(client);
    EXPECT_EQ(Hex(Stored(clients)), Hex(B({1, 0, 0, 0}) + PersonBytes("c") + S("h") + S("f") + S(testkit::kBenKe)));

    MemberRecord member;
    member.person = Person("m");
    member.staffNo = "007";
    member.department = "d";
    member.level = "l";
    member.joinDate = "2001/2-3";
    member.hobby = "go";
    CTermMember members;
    members.Add(member);
    const std::string bytes = Stored(members);
    EXPECT_EQ(Hex(bytes), Hex(B({1, 0, 0, 0}) + PersonBytes("m") + S("go") + S("007") + S("d") + S("l") +
                              S("2001/2-3") + S(testkit::kBenKe)));

    // A member whose twentieth value is 本科 and whose last is empty ends up empty.
    std::string edited = bytes.substr(0, bytes.size() - 5) + B({0});
    EXPECT_EQ(Loaded<CTermMember>(edited).At(0).person.education, "");
    std::string clientBytes = Stored(clients);
    clientBytes = clientBytes.substr(0, clientBytes.size() - 5) + S("x");
    EXPECT_EQ(Loaded<CPotClient>(clientBytes).At(0).person.education, "x");
}

TEST(PeopleLayout, RoundTripsAndLookUps) {
    CPotClient clients;
    for (int i = 0; i < 5; ++i) {
        PotClientRecord r;
        r.person = Person(std::to_string(i));
        r.fax = std::string(300 + i, 'f'); // three-byte prefix
        clients.Add(r);
    }
    PotClientRecord noId = clients.GetAt(1);
    noId.person.idNumber.clear();
    clients.Add(noId);
    const CPotClient back = Loaded<CPotClient>(Stored(clients));
    EXPECT_EQ(back.Records(), clients.Records());
    const std::string name1 = clients.At(1).person.name;
    EXPECT_EQ(back.Find(name1, clients.At(1).person.idNumber), 1);
    EXPECT_EQ(back.Find(name1, ""), 5);
    EXPECT_EQ(back.Find(clients.At(2).person.name, ""), -1); // both parts must match
    EXPECT_FALSE(back.Exists(clients.At(1).person.idNumber, name1));

    CTermMember members;
    for (const char* no : {"001", "002", "A", "a", "002"}) {
        MemberRecord m;
        m.staffNo = no;
        m.person = Person(no);
        members.Add(m);
    }
    const CTermMember mback = Loaded<CTermMember>(Stored(members));
    EXPECT_EQ(mback.Records(), members.Records());
    EXPECT_EQ(mback.Find("002"), 1);
    EXPECT_EQ(mback.Find("a"), 3);
    EXPECT_EQ(mback.Find("00"), -1);
    EXPECT_TRUE(mback.Exists("A"));
}

TEST(ScheduleLayout, FifteenByteFileAndDuplicates) {
    CCalendar c;
    c.Add({20040529.0, "ab"});
    EXPECT_EQ(Hex(Stored(c)), "01 00 00 00 00 00 00 10 B5 1C 73 41 02 61 62");

    CCalendar twice;
    twice.Add({20041231, testkit::kZhangSan});
    twice.Add({20041231, testkit::kZhangSan});
    twice.Add({0, ""});
    const CCalendar back = Loaded<CCalendar>(Stored(twice));
    ASSERT_EQ(back.GetSize(), 3);
    EXPECT_EQ(back.At(1).date, 20041231.0);
    EXPECT_EQ(back.Records(), twice.Records());
}
