#include "storage_kit.h"
#include "records/people_records.h"
#include "records/policy_record.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>

using namespace vantorel;
using testkit::Hex;
using testkit::Loaded;
using testkit::Stored;

namespace {

// A number of its own for each field name.
int Code(const std::string& name) { return std::accumulate(name.begin(), name.end(), 0); }

// Fills every field with its own name (numbers with the name's code) and
// every list with one entry, so a field out of place shows in the bytes.
struct Mark {
    void operator()(const char* n, std::string& s) { s = n; }
    template <class T> void operator()(const char* n, T& v) { v = static_cast<T>(Code(n)); }
    template <class T> void Again(const char*, T&) {}
    template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, std::vector<T>& list) { VisitFields(*this, list.emplace_back()); }
};

template <class R> R Marked() {
    R r{};
    Mark m;
    VisitFields(m, r);
    return r;
}

// Expected bytes written out by hand, after a count of one: "#name" an
// int16, "=name" a double, "#1" a list count of one, "." an empty text, any
// other word that text.
std::string Bytes(const std::string& layout) {
    std::istringstream in(layout);
    std::string out = testkit::B({1, 0, 0, 0}), w;
    while (in >> w) {
        const auto v = w == "#1" ? 1 : Code(w.substr(1));
        if (w[0] == '#') {
            out += {static_cast<char>(v & 255), static_cast<char>(v >> 8)};
        } else if (w[0] == '=') {
            for (int i = 0; i < 8; ++i) out += static_cast<char>(std::bit_cast<std::uint64_t>(double(v)) >> 8 * i);
        } else {
            out += w == "." ? std::string(1, '\0') : static_cast<char>(w.size()) + w;
        }
    }
    return out;
}

template <class C, class R> std::string One(const R& r) {
    C c;
    c.Add(r);
    return Stored(c);
}

} // namespace

TEST(Layout, GoldenBytesAndSizesOfEveryRecord) {
    PolicyRecord withLists;
    withLists.beneficiaries.resize(3);
    withLists.riders.resize(2);
    const PolicyRecord a1{.info = {.policyNo = "A1"}};
    PotClientRecord client;
    client.person = {
        .sex = 1, .maritalStatus = 1, .birthDate = "1977/1-1", .height = 170, .education = testkit::kBenKe};
    const std::pair<std::string, std::string> golden[] = {
        {Stored(CInsurance{}), "00 00 00 00"},
        {One<CInsurance>(a1).substr(0, 7), "01 00 00 00 02 41 31"},
        {One<CCalendar>(ScheduleEntry{20040529, "ab"}), "01 00 00 00 00 00 00 10 B5 1C 73 41 02 61 62"},
        {One<CPotClient>(client),
         "01 00 00 00 00 01 00 00 00 01 00 08 31 39 37 37 2F 31 2D 31 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
         "00 40 65 40 00 00 00 00 00 00 00 00 00 04 B1 BE BF C6 00 00 04 B1 BE BF C6"},
    };
    for (const auto& [bytes, hex] : golden) EXPECT_EQ(Hex(bytes), hex);
    EXPECT_EQ(Loaded<CPotClient>(One<CPotClient>(client)).GetAt(0), client);
    // Empty parts: a policy takes 89 bytes, a beneficiary 44, a rider 28, a client 39, a member 42.
    const std::pair<std::string, std::size_t> sizes[] = {{One<CInsurance>(PolicyRecord{}), 4 + 89},
                                                         {One<CInsurance>(withLists), 4 + 89 + 3 * 44 + 2 * 28},
                                                         {One<CInsurance>(a1), 95},
                                                         {One<CPotClient>(PotClientRecord{}), 4 + 39},
                                                         {One<CTermMember>(MemberRecord{}), 4 + 42}};
    for (const auto& [bytes, size] : sizes) EXPECT_EQ(bytes.size(), size);
}

TEST(Layout, FieldOrderOfEveryPartAndTheRepeatedEducation) {
    const std::string info =
        " policyNo company =sumInsured paymentMethod =annualPremium effectiveDate applicationNo "
        "productName paymentYears coverageYears benefitMethod benefitAge liabilityStartDate remarks";
    const std::string who = " name #sex nation idNumber #maritalStatus birthDate mobile email occupation annualIncome "
                            "homePhone homeAddress homePostcode workPhone workAddress";
    const std::string person = who + " workPostcode =height remarks =weight education";
    const std::string policy = info + who + " workPostcode relationToInsured remarks education" + person + " #1" + who +
                               " =height remarks =weight education relationToInsured =share #1" + info;
    const PolicyRecord marked = Marked<PolicyRecord>();
    EXPECT_EQ(Hex(One<CInsurance>(marked)), Hex(Bytes(policy)));
    EXPECT_EQ(Loaded<CInsurance>(Bytes(policy)).GetAt(0), marked);

    // Clients and members end with the education a second time; on reading
    // the later copy wins, even when it is empty.
    const std::string client = person + " hobby fax ";
    EXPECT_EQ(Hex(One<CPotClient>(Marked<PotClientRecord>())), Hex(Bytes(client + "education")));
    EXPECT_EQ(Loaded<CPotClient>(Bytes(client + "x")).GetAt(0).person.education, "x");
    const std::string member = person + " hobby staffNo department level joinDate ";
    EXPECT_EQ(Hex(One<CTermMember>(Marked<MemberRecord>())), Hex(Bytes(member + "education")));
    EXPECT_EQ(Loaded<CTermMember>(Bytes(member + ".")).GetAt(0).person.education, "");
}

TEST(Collections, LookUpsCompareWholeValuesAndLoadingAppends) {
    // Byte for byte, whole values only; the first of equal keys wins.
    CInsurance policies;
    for (const char* no : {"a1", "A1 ", "A1", "A1", "\xB1\xBE"}) policies.Add({.info = {.policyNo = no}});
    const std::pair<const char*, int> finds[] = {{"A1", 2},       {"a1", 0},    {"A1 ", 1},
                                                 {"\xB1\xBE", 4}, {"\xB1", -1}, {"", -1}};
    for (const auto& [no, at] : finds) EXPECT_EQ(policies.Find(no), at) << no;
    CPotClient clients;
    for (const char* id : {"1", "2", ""}) clients.Add({.person = {.name = *id == '2' ? "y" : "x", .idNumber = id}});
    EXPECT_EQ(clients.Find("x", "1"), 0);
    EXPECT_EQ(clients.Find("x", ""), 2);
    EXPECT_FALSE(clients.Exists("y", "") || clients.Exists("1", "x")); // both parts must match
    CTermMember members;
    for (const char* no : {"001", "002", "a", "002"}) members.Add({.staffNo = no});
    EXPECT_EQ(members.Find("002"), 1);
    EXPECT_EQ(members.Find("a"), 2);
    EXPECT_FALSE(members.Exists("00") || members.Exists("A"));

    CMemFile f(Stored(policies));
    CArchive ar(f, CArchive::load);
    policies.Serialize(ar);
    EXPECT_EQ(policies.GetSize(), 10);
}

TEST(Collections, EveryChangeIsToldWithTheRecordsOwnBytes) {
    CInsurance policies;
    {
        CInsurance loaded;
        int told = 0;
        loaded.Observe([&](const CollectionChange&) { ++told; });
        CMemFile f(One<CInsurance>(Marked<PolicyRecord>()));
        CArchive ar(f, CArchive::load);
        loaded.Serialize(ar); // loading is not a change
        EXPECT_EQ(loaded.GetSize(), 1);
        EXPECT_EQ(told, 0);
    }
    std::vector<std::tuple<CollectionChange::Kind, int, std::string>> told;
    const ObserverId watching =
        policies.Observe([&](const CollectionChange& c) { told.emplace_back(c.kind, c.index, c.record); });
    const PolicyRecord a = Marked<PolicyRecord>(), b{.info = {.policyNo = "B"}};
    policies.Add(a);
    policies.Add(b);
    policies.SetAt(0, b);
    policies.RemoveAt(1);
    policies.RemoveAll();
    using K = CollectionChange::Kind;
    const auto bytes = [](const PolicyRecord& r) { return One<CInsurance>(r).substr(4); };
    const std::vector<std::tuple<K, int, std::string>> want = {{K::add, 0, bytes(a)},
                                                               {K::add, 1, bytes(b)},
                                                               {K::replace, 0, bytes(b)},
                                                               {K::remove, 1, ""},
                                                               {K::removeAll, 0, ""}};
    EXPECT_EQ(told, want);
    policies.Unobserve(watching);
    policies.Add(a);
    EXPECT_EQ(told.size(), want.size());
}

TEST(Collections, EveryObserverIsToldInTheOrderAddedAndMayStopItselfOrAnotherMidWalk) {
    CCalendar days;
    std::vector<std::string> heard;
    const auto hear = [&](const char* who) {
        return [&heard, who](const CollectionChange& c) { heard.push_back(who + std::to_string(c.index)); };
    };
    ObserverId b{}, c{}, late{};
    days.Observe(hear("a"));
    b = days.Observe([&](const CollectionChange& ch) {
        heard.push_back("b" + std::to_string(ch.index));
        // One added while a change is told hears only the changes after it.
        if (ch.index == 0) late = days.Observe(hear("late"));
        // Stopping one not yet told of this change, then itself.
        if (ch.index == 1) {
            days.Unobserve(c);
            days.Unobserve(b);
        }
    });
    c = days.Observe(hear("c"));
    days.Add({});
    days.Add({});
    EXPECT_EQ(heard, (std::vector<std::string>{"a0", "b0", "c0", "a1", "b1", "late1"}));
    heard.clear();
    days.Add({});
    EXPECT_EQ(heard, (std::vector<std::string>{"a2", "late2"}));

    // A change made by an observer while it is told is told to all, inside the walk.
    heard.clear();
    days.Unobserve(late);
    days.Unobserve(ObserverId{999}); // unknown: nothing happens
    const ObserverId undo = days.Observe([&](const CollectionChange& ch) {
        if (ch.kind == CollectionChange::Kind::add) days.RemoveAt(ch.index);
    });
    days.Add({});
    EXPECT_EQ(heard, (std::vector<std::string>{"a3", "a3"}));
    EXPECT_EQ(days.GetSize(), 3);
    days.Unobserve(undo);

    // A copy has no observers; a collection assigned to keeps its own.
    heard.clear();
    CCalendar copy = days;
    copy.Add({});
    EXPECT_TRUE(heard.empty());
    CCalendar other;
    other.Observe(hear("o"));
    other = days;
    other.Add({});
    days.Add({});
    EXPECT_EQ(heard, (std::vector<std::string>{"o3", "a3"}));
}
