// Hostile length prefixes must be refused before any memory is set aside for
// them. This binary counts the largest allocation made while reading.
#include "storage_kit.h"
#include "records/people_records.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> g_largest{0};
}

void* operator new(std::size_t n) {
    std::size_t seen = g_largest.load();
    while (n > seen && !g_largest.compare_exchange_weak(seen, n)) {}
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace vantorel;
using testkit::B;

TEST(HostileLengths, NothingIsAllocatedForALengthPastTheEnd) {
    const std::string prefixes[] = {
        B({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), // 0xFFFFFFFF
        B({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x10}), // 256 MiB
        B({0xFF, 0xFE, 0xFF}),                         // 65534 through the 16-bit form
    };
    for (const auto& prefix : prefixes) {
        const std::string file = B({1, 0, 0, 0}) + std::string(8, '\0') + prefix + std::string(100, 'x');
        g_largest = 0;
        CCalendar c;
        CMemFile f(file);
        CArchive ar(f, CArchive::load);
        try {
            c.Serialize(ar);
            ADD_FAILURE() << "hostile length accepted";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.cause(), CArchiveException::endOfFile);
            EXPECT_EQ(e.offset(), 12u);
        }
        EXPECT_LT(g_largest.load(), 4096u);
        EXPECT_EQ(c.GetSize(), 0);
    }
}
