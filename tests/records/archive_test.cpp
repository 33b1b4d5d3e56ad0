#include "storage_kit.h"
#include "records/archive.h"

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

} // namespace

TEST(ArchiveEncoding, GoldenBytesOfEveryValueKind) {
    struct Case {
        std::size_t n; // text length
        std::string prefix;
    } texts[] = {
        {0, B({0x00})},
        {254, B({0xFE})},
        {255, B({0xFF, 0xFF, 0x00})},
        {300, B({0xFF, 0x2C, 0x01})},
        {65533, B({0xFF, 0xFD, 0xFF})},
        {65534, B({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, B({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const auto& c : texts) {
        std::string text(c.n, 'x');
        for (std::size_t i = 0; i < c.n; ++i) text[i] = static_cast<char>('a' + i % 26);
        const std::string bytes = Encode(text);
        EXPECT_EQ(Hex(bytes.substr(0, c.prefix.size())), Hex(c.prefix)) << c.n;
        EXPECT_EQ(bytes.substr(c.prefix.size()), text) << c.n;
        EXPECT_EQ(Decode<std::string>(bytes), text) << c.n;
        // Cut inside the prefix or in the last byte, the text is refused.
        EXPECT_THROW(Decode<std::string>(bytes.substr(0, c.prefix.size() - 1)), CArchiveException) << c.n;
        EXPECT_THROW(Decode<std::string>(bytes.substr(0, bytes.size() - 1)), CArchiveException);
    }
    EXPECT_EQ(Hex(Encode(testkit::kBenKe)), "04 B1 BE BF C6");
    EXPECT_EQ(Hex(Encode(std::int16_t{-1})), "FF FF");
    EXPECT_EQ(Hex(Encode(std::int32_t{1})), "01 00 00 00");
    EXPECT_EQ(Hex(Encode(20040529.0)), "00 00 00 10 B5 1C 73 41");
    EXPECT_EQ(Hex(Encode(50.0)), "00 00 00 00 00 00 49 40");
    EXPECT_EQ(Decode<std::int16_t>(B({0xFF, 0xFF})), -1);
    EXPECT_EQ(Decode<std::int32_t>(B({0xFF, 0xFF, 0xFF, 0x7F})), std::numeric_limits<std::int32_t>::max());
    // Every bit of a double survives, negative zero and subnormals included.
    for (double d : {-0.0, 4.9e-324, 0.1, -123456.789, std::numeric_limits<double>::max()})
        EXPECT_EQ(std::bit_cast<std::uint64_t>(Decode<double>(Encode(d))), std::bit_cast<std::uint64_t>(d));
    // A 16-bit prefix of 0xFFFE is never written; it still reads as a length.
    EXPECT_EQ(Decode<std::string>(B({0xFF, 0xFE, 0xFF}) + std::string(0xFFFE, 'q')).size(), 0xFFFEu);
}
