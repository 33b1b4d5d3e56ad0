#include "records/data_files.h"
#include "storage_kit.h"

#include <gtest/gtest.h>

using namespace vantorel;
using testkit::B;
using testkit::Hex;
using testkit::Stored;

namespace {

// Where each value of a collection's file starts and ends, worked out from
// the encoding sizes alone.
struct ValueMap {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> spans;
    std::vector<std::uint64_t> recordEnds;
    std::uint64_t pos = 0;

    void Add(std::uint64_t n) {
        spans.emplace_back(pos, pos + n);
        pos += n;
    }
    void operator()(const char*, std::string& s) { Add((s.size() < 255 ? 1 : s.size() < 65534 ? 3 : 7) + s.size()); }
    void operator()(const char*, std::int16_t&) { Add(2); }
    void operator()(const char*, double&) { Add(8); }
    template <class T> void Again(const char* n, T& v) { (*this)(n, v); }
    template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, std::vector<T>& list) {
        Add(2);
        for (auto& e : list) VisitFields(*this, e);
    }
    template <class C> explicit ValueMap(const C& c) {
        Add(4);
        for (auto r : c.Records()) recordEnds.push_back((VisitFields(*this, r), pos));
    }
};

template <class C> void ExpectEveryTruncationIsCaught(const C& full) {
    const std::string bytes = Stored(full);
    const ValueMap map(full);
    ASSERT_EQ(map.pos, bytes.size());
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
        std::size_t cut = 0, complete = 0;
        while (map.spans[cut].second <= len) ++cut;
        while (complete < map.recordEnds.size() && map.recordEnds[complete] <= len) ++complete;
        ASSERT_EQ(offset, map.spans[cut].first) << "length " << len;
        ASSERT_EQ(static_cast<std::size_t>(c.GetSize()), complete) << "length " << len;
        for (std::size_t i = 0; i < complete; ++i) ASSERT_EQ(c.At(static_cast<int>(i)), full.At(static_cast<int>(i)));
    }
}

FileLoadResult LoadBytes(CObject& c, const std::string& bytes) {
    testkit::TempDir dir;
    testkit::WriteBytes(dir / "data1.bcm", bytes);
    return LoadFile(c, dir / "data1.bcm");
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

TEST(DamagedFiles, RecordCountsAndTrailingBytes) {
    DataBook book;
    testkit::FillSampleBook(book);
    const std::string bytes = Stored(book.calendar); // three entries
    const auto withCount = [&](std::uint32_t n) {
        return B({int(n & 255), int(n >> 8 & 255), int(n >> 16 & 255), int(n >> 24)}) + bytes.substr(4);
    };
    struct Case {
        std::string file;
        LoadState state;
        int records;
        std::uint64_t offset;
    } cases[] = {
        {withCount(0), LoadState::loaded, 0, 0},
        {withCount(0xFFFFFFFF), LoadState::loaded, 0, 0}, // -1
        {withCount(0x80000000), LoadState::loaded, 0, 0},
        {withCount(11), LoadState::damaged, 3, bytes.size()},
        {withCount(0x7F00007F), LoadState::damaged, 3, bytes.size()}, // two thousand million claimed
        {bytes + "trailing garbage", LoadState::loaded, 3, 0},
    };
    for (const auto& k : cases) {
        CCalendar c;
        const FileLoadResult r = LoadBytes(c, k.file);
        EXPECT_EQ(r.state, k.state) << Hex(k.file.substr(0, 4));
        EXPECT_EQ(r.records, k.records) << Hex(k.file.substr(0, 4));
        EXPECT_EQ(c.GetSize(), k.records);
        if (k.state == LoadState::damaged) {
            EXPECT_EQ(r.offset, k.offset);
        }
    }
}

TEST(DamagedFiles, ListCountsAboveTenAreDamageAndNegativeCountsReadNothing) {
    const PolicyRecord p = testkit::SamplePolicy(1, 0, 0);
    CInsurance two;
    two.Add(p);
    two.Add(p);
    const std::string good = Stored(two);
    const std::size_t at = (good.size() - 4) / 2; // the first policy ends with its two list counts
    ASSERT_EQ(Hex(good.substr(at, 4)), "00 00 00 00");
    struct Case {
        int beneficiaries, riders;
        LoadState state;
        std::size_t offset;
    } cases[] = {
        {11, 0, LoadState::damaged, at},       {0, 11, LoadState::damaged, at + 2}, {0x7FFF, 0, LoadState::damaged, at},
        {-1, 0, LoadState::loaded, 0},         {0, -1, LoadState::loaded, 0},       {-32768, -32768, LoadState::loaded, 0},
    };
    for (const auto& k : cases) {
        std::string b = good;
        b.replace(at, 4, B({k.beneficiaries & 255, k.beneficiaries >> 8 & 255, k.riders & 255, k.riders >> 8 & 255}));
        CInsurance c;
        const FileLoadResult r = LoadBytes(c, b);
        EXPECT_EQ(r.state, k.state) << k.beneficiaries << "/" << k.riders;
        if (k.state == LoadState::damaged) {
            EXPECT_EQ(r.records, 0);
            EXPECT_EQ(r.offset, k.offset);
        } else {
            EXPECT_EQ(c.Records(), two.Records());
        }
    }
    // Ten is the most a sound file holds.
    CInsurance ten;
    ten.Add(testkit::SamplePolicy(2, 10, 10));
    CInsurance back;
    EXPECT_EQ(LoadBytes(back, Stored(ten)).state, LoadState::loaded);
}
