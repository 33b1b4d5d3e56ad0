// Collections keep their records as the file's bytes: what a load keeps, what
// a save writes, and fields read where they lie.
#include "storage_kit.h"
#include "records/people_records.h"
#include "records/policy_record.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <numeric>

using namespace vantorel;
using testkit::B;
using testkit::Hex;
using testkit::Loaded;
using testkit::Stored;

namespace {

// Every text of a decoded record in file order, a repeated value once.
struct AllTexts {
    std::vector<std::string> texts;
    void operator()(const char*, const std::string& s) { texts.push_back(s); }
    template <class T> void operator()(const char*, const T&) {}
    template <class T> void Again(const char*, const T&) {}
    template <class T> void Object(const char*, const T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, const std::vector<T>& list) {
        for (const T& e : list) VisitFields(*this, e);
    }
};

// A file that fails to read once `good` bytes have been read.
class FailingFile : public CFile {
public:
    FailingFile(std::string bytes, std::size_t good) : bytes_(std::move(bytes)), good_(good) {}
    std::size_t Read(void* buf, std::size_t n) override {
        if (at_ >= good_) throw FileError("read failed: injected");
        const std::size_t k = std::min(n, good_ - at_);
        std::memcpy(buf, bytes_.data() + at_, k);
        at_ += k;
        return k;
    }
    void Write(const void*, std::size_t) override {}
    std::uint64_t GetLength() const override { return bytes_.size(); }

private:
    std::string bytes_;
    std::size_t good_, at_ = 0;
};

template <class C> C Sample(C DataBook::*collection) {
    DataBook book;
    testkit::FillSampleBook(book);
    return book.*collection;
}

} // namespace

TEST(RecordStore, BytesTheWriterWouldWriteOtherwiseAreKeptAsItWritesThem) {
    PotClientRecord twice;
    twice.person.education = "old";
    CPotClient one;
    one.Add(twice);
    const std::string client = Stored(one);
    // The record ends with its second education copy: "old" becomes "new".
    const std::string differing = client.substr(0, client.size() - 3) + "new";
    CInsurance a1;
    a1.Add({.info = {.policyNo = "A1"}});
    const std::string policy = Stored(a1); // 01 00 00 00 02 'A' '1' ...
    const std::string longPrefix = policy.substr(0, 4) + B({0xFF, 2, 0}) + policy.substr(5);
    const std::string longestPrefix = policy.substr(0, 4) + B({0xFF, 0xFF, 0xFF, 2, 0, 0, 0}) + policy.substr(5);
    const std::string negativeList = policy.substr(0, policy.size() - 4) + B({0xFF, 0xFF, 0, 0});
    PotClientRecord kept = twice;
    kept.person.education = "new";

    struct Case {
        const char* what;
        std::string bytes;
        std::size_t file; // which collection reads it
        std::string stored;
        bool asRead;
    } cases[] = {
        {"canonical", policy, 0, policy, true},
        {"3-byte prefix", longPrefix, 0, policy, false},
        {"7-byte prefix", longestPrefix, 0, policy, false},
        {"negative list count", negativeList, 0, policy, false},
        {"education copies differ", differing, 1,
         [&] {
             CPotClient c;
             c.Add(kept);
             return Stored(c);
         }(),
         false},
        {"count -1, nothing after it", B({0xFF, 0xFF, 0xFF, 0xFF}), 3, std::string(4, '\0'), false},
        {"count 0", std::string(4, '\0'), 3, std::string(4, '\0'), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataBook book;
        CObject& collection = book.Collection(c.file);
        CMemFile f(c.bytes);
        CArchive ar(f, CArchive::load);
        collection.Serialize(ar);
        EXPECT_EQ(ar.Position(), c.bytes.size());
        EXPECT_EQ(Hex(Stored(collection)), Hex(c.stored));
        EXPECT_EQ(collection.HoldsFileAsRead(), c.asRead);
    }
    EXPECT_EQ(Loaded<CPotClient>(differing).GetAt(0), kept);

    // Any change, even one undone, and any second load: no longer the file as read.
    CInsurance changed = Loaded<CInsurance>(policy);
    ASSERT_TRUE(changed.HoldsFileAsRead());
    changed.Add(changed.GetAt(0));
    changed.RemoveAt(1);
    EXPECT_EQ(Stored(changed), policy);
    EXPECT_FALSE(changed.HoldsFileAsRead());
    CInsurance twiceLoaded = Loaded<CInsurance>(policy);
    CMemFile again(policy);
    CArchive ar(again, CArchive::load);
    twiceLoaded.Serialize(ar);
    EXPECT_FALSE(twiceLoaded.HoldsFileAsRead());
}

TEST(RecordStore, FieldsReadWhereTheyLieAreTheDecodedRecordsFields) {
    const CInsurance policies = Loaded<CInsurance>(Stored(Sample(&DataBook::insurance)));
    const Field<PolicyRecord> no([](auto& p) -> auto& { return p.info.policyNo; });
    const Field<PolicyRecord> holderSex([](auto& p) -> auto& { return p.holder.sex; });
    const Field<PolicyRecord> address([](auto& p) -> auto& { return p.holder.homeAddress; });
    const Field<PolicyRecord> education([](auto& p) -> auto& { return p.insured.education; });
    const Field<PolicyRecord> height([](auto& p) -> auto& { return p.insured.height; });
    for (int i = 0; i < policies.GetSize(); ++i) {
        const PolicyRecord r = policies.GetAt(i);
        const CInsurance::View v = policies.ViewAt(i);
        EXPECT_EQ(v.Text(no), r.info.policyNo);
        EXPECT_EQ(v.Short(holderSex), r.holder.sex);
        EXPECT_EQ(v.Text(address), r.holder.homeAddress); // 5000 bytes in policy 3
        EXPECT_EQ(v.Text(education), r.insured.education);
        EXPECT_EQ(v.Number(height), r.insured.height);
        AllTexts decoded, walked;
        VisitFields(decoded, r);
        v.AnyText([&](std::string_view t) {
            walked.texts.emplace_back(t);
            return false;
        });
        EXPECT_EQ(walked.texts, decoded.texts); // beneficiaries and riders included
    }
    // The walk stops where the callback says.
    EXPECT_EQ(policies.ForEach([&](int, const CInsurance::View& p) { return p.Text(no) == "P2"; }), 2);
    EXPECT_EQ(policies.ForEach([&](int, const CInsurance::View& p) { return p.Text(no) == "P9"; }), -1);
    int seen = 0;
    policies.ForEach([&](int i, const CInsurance::View&) { EXPECT_EQ(i, seen++); });
    EXPECT_EQ(seen, policies.GetSize());

    // Records read side by side: in file order whatever order the fields are
    // asked in, long texts among them, and a last group of fewer than eight.
    CInsurance many;
    for (int i = 0; i < 19; ++i) many.Add(policies.GetAt(i % policies.GetSize()));
    std::vector<int> visited;
    many.ForEachTexts(std::array{&education, &no, &address}, [&](int i, const auto& texts) {
        visited.push_back(i);
        EXPECT_EQ(texts[0], many.Text(i, education)) << i;
        EXPECT_EQ(texts[1], many.Text(i, no)) << i;
        EXPECT_EQ(texts[2], many.Text(i, address)) << i;
    });
    std::vector<int> all(19);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(visited, all);
    CInsurance().ForEachTexts(std::array{&no}, [](int, const auto&) { ADD_FAILURE() << "no records"; });

    // Clients write the education twice; the field is the copy a load keeps.
    const Field<PotClientRecord> clientEducation([](auto& c) -> auto& { return c.person.education; });
    const CPotClient clients = Sample(&DataBook::clients);
    EXPECT_EQ(clients.Text(0, clientEducation), testkit::kBenKe);
    const Field<ScheduleEntry> date([](auto& e) -> auto& { return e.date; });
    EXPECT_EQ(Sample(&DataBook::calendar).ViewAt(1).Number(date), 20041231);
    // Only fields before the lists are read where they lie.
    EXPECT_THROW(Field<PolicyRecord>([](auto& p) -> auto& { return p.riders; }), std::logic_error);
}

TEST(RecordStore, AReadErrorKeepsTheRecordsBeforeIt) {
    const CInsurance full = Sample(&DataBook::insurance);
    const std::string bytes = Stored(full);
    CInsurance first;
    first.Add(full.GetAt(0));
    const std::size_t oneRecord = Stored(first).size();
    // Failing inside the second record's sum insured (after "P1" and a company
    // of 6 bytes): the first record is kept, the error is the read's.
    FailingFile f(bytes, oneRecord + 12);
    CArchive ar(f, CArchive::load);
    CInsurance read;
    EXPECT_THROW(read.Serialize(ar), FileError);
    ASSERT_EQ(read.GetSize(), 1);
    EXPECT_EQ(read.GetAt(0), full.GetAt(0));
    EXPECT_EQ(ar.Position(), oneRecord + 10) << "where the value the failed read cut starts";
    EXPECT_FALSE(read.HoldsFileAsRead());
}

TEST(RecordStore, CopiesAreWholeAndIndependent) {
    const CInsurance original = Sample(&DataBook::insurance);
    CInsurance copy = original;
    copy.RemoveAt(0);
    CInsurance assigned;
    assigned.Add({});
    assigned = original;
    EXPECT_EQ(original.GetSize(), 4);
    EXPECT_EQ(copy.GetSize(), 3);
    EXPECT_EQ(Stored(assigned), Stored(original));
    EXPECT_EQ(copy.GetAt(0), original.GetAt(1));
    CInsurance moved = std::move(copy);
    EXPECT_EQ(moved.GetAt(2), original.GetAt(3));
}

TEST(RecordStore, PinnedBytesOutliveTheChangesThatLetThemGo) {
    // Loaded records are views into the file's block; added ones own their bytes.
    CInsurance c = Loaded<CInsurance>(Stored(Sample(&DataBook::insurance)));
    c.Add({.info = {.policyNo = "OWN1"}});
    c.Add({.info = {.policyNo = "OWN2"}});
    std::vector<std::string_view> views;
    std::vector<std::string> copies;
    for (int i = 0; i < c.GetSize(); ++i) {
        views.push_back(c.Bytes(i));
        copies.emplace_back(c.Bytes(i));
    }
    std::shared_ptr<const void> pin = c.PinBytes();
    EXPECT_EQ(c.PinBytes(), pin) << "one handle while any lives";
    const int last = c.GetSize() - 1;
    c.SetAt(last, {.info = {.policyNo = "NEW"}}); // an owned record replaced
    c.RemoveAt(last - 1);                         // an owned record removed
    c.SetAt(0, {});                               // a view replaced
    EXPECT_EQ(c.GetAt(0), PolicyRecord{});
    EXPECT_EQ(c.GetAt(c.GetSize() - 1).info.policyNo, "NEW");
    c.RemoveAll(); // the file's block goes too
    for (std::size_t i = 0; i < views.size(); ++i) EXPECT_EQ(views[i], copies[i]) << "record " << i;

    // Without a pin nothing is kept: a later pin keeps only what it sees.
    pin.reset();
    c.Add({.info = {.policyNo = "A"}});
    const std::shared_ptr<const void> again = c.PinBytes();
    const std::string_view a = c.Bytes(0);
    c.RemoveAt(0);
    EXPECT_EQ(RecordView<PolicyRecord>(a).Decode().info.policyNo, "A");
}
