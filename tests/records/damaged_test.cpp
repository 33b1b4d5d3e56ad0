#include "storage_kit.h"
#include "records/data_files.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vantorel;
using testkit::B;
using testkit::Hex;
using testkit::Stored;

namespace {

// Where each value of a collection's file starts (the last entry being the
// file's end) and where each record ends, from the encoding sizes alone.
struct ValueMap {
    std::vector<std::uint64_t> starts{0, 4}, recordEnds;
    void Add(std::uint64_t n) { starts.push_back(starts.back() + n); }
    void operator()(const char*, std::string& s) { Add((s.size() < 255 ? 1 : s.size() < 65534 ? 3 : 7) + s.size()); }
    template <class T> void operator()(const char*, T&) { Add(sizeof(T)); }
    template <class T> void Again(const char* n, T& v) { (*this)(n, v); }
    template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, std::vector<T>& list) {
        Add(2);
        for (auto& e : list) VisitFields(*this, e);
    }
};

template <class C> void ExpectEveryTruncationIsCaught(const C& full) {
    const std::string bytes = Stored(full);
    ValueMap map;
    for (auto r : full.CopyAll()) map.recordEnds.push_back((VisitFields(map, r), map.starts.back()));
    ASSERT_EQ(map.starts.back(), bytes.size());
    for (std::size_t len = 0; len < bytes.size(); ++len) {
        C c;
        CMemFile f(bytes.substr(0, len));
        CArchive ar(f, CArchive::load);
        std::uint64_t offset = ~0ull;
        try {
            c.Serialize(ar);
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.cause(), CArchiveException::endOfFile);
            offset = e.offset();
        }
        // The offset is where the cut value starts; every record before it is kept whole.
        ASSERT_EQ(offset, *(std::upper_bound(map.starts.begin(), map.starts.end(), len) - 1)) << "length " << len;
        const auto complete =
            std::upper_bound(map.recordEnds.begin(), map.recordEnds.end(), len) - map.recordEnds.begin();
        ASSERT_EQ(c.GetSize(), complete) << "length " << len;
        for (int i = 0; i < complete; ++i) ASSERT_EQ(c.GetAt(i), full.GetAt(i));
    }
}

} // namespace

TEST(DamagedFiles, TruncationAtEveryLengthKeepsWholeRecordsAndFindsTheOffset) {
    DataBook book;
    testkit::FillSampleBook(book);
    ExpectEveryTruncationIsCaught(book.insurance);
    ExpectEveryTruncationIsCaught(book.clients);
    ExpectEveryTruncationIsCaught(book.members);
    ExpectEveryTruncationIsCaught(book.calendar);
}

TEST(DamagedFiles, HostileCountsKeepTheRecordsBeforeThem) {
    DataBook book;
    testkit::FillSampleBook(book);
    const std::string schedule = Stored(book.calendar); // three entries
    const auto count = [&](std::uint32_t n) {
        return B({int(n & 255), int(n >> 8 & 255), int(n >> 16 & 255), int(n >> 24)}) + schedule.substr(4);
    };
    CInsurance two;
    two.Add(testkit::SamplePolicy(1, 0, 0));
    two.Add(two.GetAt(0));
    const std::string policies = Stored(two), none(4, '\0');
    const std::size_t at = (policies.size() - 4) / 2; // the first policy ends with its two list counts
    ASSERT_EQ(Hex(policies.substr(at, 4)), "00 00 00 00");
    const auto lists = [&](int beneficiaries, int riders) {
        return std::string(policies).replace(
            at, 4, B({beneficiaries & 255, beneficiaries >> 8 & 255, riders & 255, riders >> 8 & 255}));
    };
    const LoadState loaded = LoadState::loaded, damaged = LoadState::damaged, unread = LoadState::unreadBytes;
    struct Case {
        std::size_t file;
        std::string bytes;
        LoadState state;
        int records;          // read and kept
        std::string kept;     // the collection as read, stored again
        std::uint64_t offset; // where the damage or the unread bytes start
    } cases[] = {
        {3, B({0, 0, 0, 0}), loaded, 0, none, 0},
        {3, count(0), unread, 0, none, 4}, // records after a count of 0, -1 or INT_MIN are not read
        {3, count(0xFFFFFFFF), unread, 0, none, 4},
        {3, count(0x80000000), unread, 0, none, 4},
        {3, count(2), unread, 2, schedule.substr(0, schedule.size() - 9).replace(0, 1, 1, '\2'),
         schedule.size() - 9}, // the last entry takes 9 bytes
        {3, count(11), damaged, 3, schedule, schedule.size()},
        {3, count(0x7F00007F), damaged, 3, schedule, schedule.size()},
        {3, schedule + "trailing garbage", unread, 3, schedule, schedule.size()},
        {0, lists(11, 0), damaged, 0, none, at},
        {0, lists(0, 11), damaged, 0, none, at + 2},
        {0, lists(0x7FFF, 0), damaged, 0, none, at},
        {0, lists(-1, 0), loaded, 2, policies, 0},
        {0, lists(0, -1), loaded, 2, policies, 0},
        {0, lists(-32768, -32768), loaded, 2, policies, 0},
        {0, Stored(book.insurance), loaded, 4, Stored(book.insurance), 0}, // ten is the most
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(Hex(k.bytes.substr(0, 4)) + " at " + std::to_string(k.offset));
        testkit::TempDir dir;
        testkit::WriteBytes(dir / kDataFileNames[k.file], k.bytes);
        DataBook read;
        const FileLoadResult r = LoadAll(read, dir.path())[k.file];
        EXPECT_EQ(r.state, k.state);
        EXPECT_EQ(r.records, k.records);
        EXPECT_EQ(Stored(read.Collection(k.file)), k.kept);
        EXPECT_EQ(r.offset, k.offset);
    }
}
