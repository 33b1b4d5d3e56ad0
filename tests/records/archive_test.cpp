#include "records/archive.h"
#include "storage_kit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace vantorel;
using testkit::B;
using testkit::Hex;

namespace {

template <class T> std::string Encode(const T& v) {
    CMemFile f;
    CArchive ar(f, CArchive::store);
    ar << v;
    ar.Close();
    return f.Data();
}

template <class T> T Decode(const std::string& bytes) {
    CMemFile f(bytes);
    CArchive ar(f, CArchive::load);
    T v{};
    ar >> v;
    return v;
}

// Offset and cause of the error that reading one T from `bytes` raises.
template <class T> std::pair<CArchiveException::Cause, std::uint64_t> DecodeError(const std::string& bytes) {
    try {
        (void)Decode<T>(bytes);
    } catch (const CArchiveException& e) {
        return {e.cause(), e.offset()};
    }
    ADD_FAILURE() << "no error for " << Hex(bytes);
    return {CArchiveException::badCount, ~0ull};
}

} // namespace

TEST(ArchiveEncoding, StringPrefixesUseTheShortestForm) {
    struct Case {
        std::size_t n;
        std::string prefix;
    } cases[] = {
        {0, B({0x00})},
        {1, B({0x01})},
        {254, B({0xFE})},
        {255, B({0xFF, 0xFF, 0x00})},
        {300, B({0xFF, 0x2C, 0x01})},
        {65533, B({0xFF, 0xFD, 0xFF})},
        {65534, B({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, B({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const auto& c : cases) {
        std::string text(c.n, 'x');
        for (std::size_t i = 0; i < c.n; ++i) text[i] = static_cast<char>('a' + i % 26);
        const std::string bytes = Encode(text);
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.n) << c.n;
        EXPECT_EQ(Hex(bytes.substr(0, c.prefix.size())), Hex(c.prefix)) << c.n;
        EXPECT_EQ(bytes.substr(c.prefix.size()), text) << c.n;
        EXPECT_EQ(Decode<std::string>(bytes), text) << c.n;
    }
}

TEST(ArchiveEncoding, NumbersAndGbkText) {
    EXPECT_EQ(Hex(Encode(testkit::kBenKe)), "04 B1 BE BF C6");
    EXPECT_EQ(Hex(Encode(std::int16_t{-1})), "FF FF");
    EXPECT_EQ(Hex(Encode(std::int32_t{1})), "01 00 00 00");
    EXPECT_EQ(Hex(Encode(20040529.0)), "00 00 00 10 B5 1C 73 41");
    EXPECT_EQ(Hex(Encode(50.0)), "00 00 00 00 00 00 49 40");
    EXPECT_EQ(Encode(0.0), std::string(8, '\0'));

    EXPECT_EQ(Decode<std::string>(B({0x04, 0xB1, 0xBE, 0xBF, 0xC6})), testkit::kBenKe);
    EXPECT_EQ(Decode<std::int16_t>(B({0xFF, 0xFF})), -1);
    EXPECT_EQ(Decode<std::int32_t>(B({0xFF, 0xFF, 0xFF, 0x7F})), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(Decode<double>(B({0, 0, 0, 0x10, 0xB5, 0x1C, 0x73, 0x41})), 20040529.0);
    // Every bit of a double survives, negative zero and subnormals included.
    for (double d : {-0.0, 4.9e-324, 0.1, -123456.789, std::numeric_limits<double>::max()}) {
        const double back = Decode<double>(Encode(d));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(d));
    }
    // A 16-bit prefix of 0xFFFE is never written; it still reads as a length.
    std::string odd = B({0xFF, 0xFE, 0xFF}) + std::string(0xFFFE, 'q');
    EXPECT_EQ(Decode<std::string>(odd).size(), 0xFFFEu);
}

TEST(ArchiveEncoding, ValuesCrossTheBufferBoundary) {
    // Values straddle the 4096-byte buffer in both directions.
    CMemFile f;
    {
        CArchive ar(f, CArchive::store);
        for (int i = 0; i < 3000; ++i) {
            ar << static_cast<std::int16_t>(i) << static_cast<double>(i) * 0.5
               << std::string(static_cast<std::size_t>(i % 300), static_cast<char>('A' + i % 26));
            if (i % 1000 == 999) ar << std::string(9000, 'z'); // larger than the buffer
        }
        ar.Close();
    }
    CMemFile in(f.Data());
    CArchive ar(in, CArchive::load);
    for (int i = 0; i < 3000; ++i) {
        std::int16_t s;
        double d;
        std::string t;
        ar >> s >> d >> t;
        ASSERT_EQ(s, i);
        ASSERT_EQ(d, i * 0.5);
        ASSERT_EQ(t, std::string(static_cast<std::size_t>(i % 300), static_cast<char>('A' + i % 26)));
        if (i % 1000 == 999) {
            ar >> t;
            ASSERT_EQ(t, std::string(9000, 'z'));
        }
    }
    EXPECT_EQ(ar.Position(), f.Data().size());
}

TEST(ArchiveEncoding, ShortInputRaisesEndOfFileAtTheValueStart) {
    EXPECT_EQ(DecodeError<std::int32_t>(B({1, 0, 0})).second, 0u);
    EXPECT_EQ(DecodeError<std::int16_t>(B({1})).second, 0u);
    EXPECT_EQ(DecodeError<double>(std::string(7, '\0')).second, 0u);
    EXPECT_EQ(DecodeError<std::string>(B({0x03, 'a', 'b'})).first, CArchiveException::endOfFile);
    EXPECT_EQ(DecodeError<std::string>(B({0xFF, 0x2C})).second, 0u);
    EXPECT_EQ(DecodeError<std::string>(B({0xFF, 0xFF, 0xFF, 0x01})).second, 0u);

    // A value after others reports where that value starts, and the target
    // keeps its old content: no partial value is delivered.
    CMemFile f(B({0x01, 0x00, 0x05, 'a', 'b'}));
    CArchive ar(f, CArchive::load);
    std::int16_t n;
    std::string s = "old";
    ar >> n;
    try {
        ar >> s;
        FAIL();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.cause(), CArchiveException::endOfFile);
        EXPECT_EQ(e.offset(), 2u);
    }
    EXPECT_EQ(s, "old");
}

TEST(ArchiveEncoding, ReadingStopsAtCloseAndIgnoresTrailingBytes) {
    CMemFile f(B({0x02, 'o', 'k', 0xDE, 0xAD}));
    CArchive ar(f, CArchive::load);
    std::string s;
    ar >> s;
    ar.Close();
    EXPECT_EQ(s, "ok");
    EXPECT_TRUE(ar.IsLoading());
    EXPECT_FALSE(ar.IsStoring());
}
