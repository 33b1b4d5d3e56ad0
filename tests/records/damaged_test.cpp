#include "records/data_files.h"
#include "sample_book.h"

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
    void operator()(const char*, std::string& s) {
        Add((s.size() < 255 ? 1 : s.size() < 65534 ? 3 : 7) + s.size());
    }
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
        for (auto r : c.Records()) {
            VisitFields(*this, r);
            recordEnds.push_back(pos);
        }
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
        std::uint64_t expectedOffset = 0;
        for (const auto& [start, end] : map.spans)
            if (end > len) {
                expectedOffset = start;
                break;
            }
        ASSERT_EQ(offset, expectedOffset) << "length " << len;
        std::size_t complete = 0;
        while (complete < map.recordEnds.size() && map.recordEnds[complete] <= len) ++complete;
        ASSERT_EQ(static_cast<std::size_t>(c.GetSize()), complete) << "length " << len;
        for (std::size_t i = 0; i < complete; ++i) ASSERT_EQ(c.At(static_cast<int>(i)), full.At(static_cast<int>(i)));
    }
}

FileLoadResult LoadBytes(CObject& c, const std::string& bytes) {
    testkit::TempDir dir;
    testkit::WriteBytes(dir / "data1.bcm", bytes);
    return LoadFile(c, dir / "data1.bcm");
}

// Offset of the beneficiary count of the first policy in a file: everything
// of that policy without its lists, less the two counts.
std::size_t BeneficiaryCountAt(const PolicyRecord& r) {
    CInsurance one;
    PolicyRecord head = r;
    head.beneficiaries.clear();
    head.riders.clear();
    one.Add(head);
    return Stored(one).size() - 4;
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

TEST(DamagedFiles, TruncatedFileOnDiskIsReportedWithOffsetAndRecords) {
    DataBook book;
    testkit::FillSampleBook(book);
    const std::string bytes = Stored(book.insurance);
    const std::size_t firstTwo = Stored([&] {
        CInsurance c;
        c.Add(book.insurance.At(0));
        c.Add(book.insurance.At(1));
        return c;
    }()).size();
    CInsurance c;
    const FileLoadResult r = LoadBytes(c, bytes.substr(0, firstTwo + 2));
    EXPECT_EQ(r.state, LoadState::damaged);
    EXPECT_EQ(r.records, 2);
    EXPECT_EQ(r.offset, firstTwo); // the third policy's number starts there; its text runs past the end
    EXPECT_TRUE(r.keepOnSave);
    EXPECT_FALSE(r.reason.empty());
    EXPECT_EQ(c.GetSize(), 2);

    CInsurance whole;
    const FileLoadResult ok = LoadBytes(whole, bytes + "trailing garbage");
    EXPECT_EQ(ok.state, LoadState::loaded);
    EXPECT_EQ(ok.records, 4);
    EXPECT_EQ(whole.Records(), book.insurance.Records());
}

TEST(DamagedFiles, RecordCountsOfMinusOneAndAboveTheRecords) {
    DataBook book;
    testkit::FillSampleBook(book);
    std::string bytes = Stored(book.calendar);
    for (int count : {0, -1, -2147483647 - 1}) {
        std::string b = bytes;
        for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = static_cast<char>((count >> (8 * i)) & 0xFF);
        CCalendar c;
        const FileLoadResult r = LoadBytes(c, b);
        EXPECT_EQ(r.state, LoadState::loaded) << count;
        EXPECT_EQ(c.GetSize(), 0) << count;
    }
    bytes[0] = 11;
    CCalendar c;
    const FileLoadResult r = LoadBytes(c, bytes);
    EXPECT_EQ(r.state, LoadState::damaged);
    EXPECT_EQ(r.records, 3);
    EXPECT_EQ(r.offset, bytes.size());
    bytes[0] = 0x7F;
    bytes[3] = 0x7F; // two thousand million records claimed, three present
    CCalendar huge;
    EXPECT_EQ(LoadBytes(huge, bytes).records, 3);
}

TEST(DamagedFiles, ListCountsAboveTenAreDamageAndNegativeCountsReadNothing) {
    const PolicyRecord p = testkit::SamplePolicy(1, 0, 0);
    CInsurance one;
    one.Add(p);
    one.Add(p);
    const std::string good = Stored(one);
    const std::size_t at = BeneficiaryCountAt(p);
    ASSERT_EQ(Hex(good.substr(at, 4)), "00 00 00 00");

    struct Case {
        int beneficiaries, riders;
        LoadState state;
        int records;
        std::size_t offset;
    } cases[] = {
        {11, 0, LoadState::damaged, 0, at},
        {0, 11, LoadState::damaged, 0, at + 2},
        {0x7FFF, 0, LoadState::damaged, 0, at},
        {-1, 0, LoadState::loaded, 2, 0},
        {0, -1, LoadState::loaded, 2, 0},
        {-32768, -32768, LoadState::loaded, 2, 0},
    };
    for (const auto& k : cases) {
        std::string b = good;
        b[at] = static_cast<char>(k.beneficiaries & 0xFF);
        b[at + 1] = static_cast<char>((k.beneficiaries >> 8) & 0xFF);
        b[at + 2] = static_cast<char>(k.riders & 0xFF);
        b[at + 3] = static_cast<char>((k.riders >> 8) & 0xFF);
        CInsurance c;
        const FileLoadResult r = LoadBytes(c, b);
        EXPECT_EQ(r.state, k.state) << k.beneficiaries << "/" << k.riders;
        EXPECT_EQ(r.records, k.records);
        if (k.state == LoadState::damaged) {
            EXPECT_EQ(r.offset, k.offset);
        } else {
            EXPECT_EQ(c.At(0), p);
            EXPECT_EQ(c.At(1), p);
        }
    }

    // Ten is the most a sound file holds.
    CInsurance ten;
    ten.Add(testkit::SamplePolicy(2, 10, 10));
    CInsurance back;
    EXPECT_EQ(LoadBytes(back, Stored(ten)).state, LoadState::loaded);
}

TEST(DamagedFiles, HugeLengthPrefixIsRefusedAtTheStringStart) {
    // count 1, date, then a text length of 0xFFFFFFFF
    const std::string bytes = B({1, 0, 0, 0, 0, 0, 0, 0x10, 0xB5, 0x1C, 0x73, 0x41}) +
                              B({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + "short";
    CCalendar c;
    const FileLoadResult r = LoadBytes(c, bytes);
    EXPECT_EQ(r.state, LoadState::damaged);
    EXPECT_EQ(r.offset, 12u);
    EXPECT_EQ(c.GetSize(), 0);
}
