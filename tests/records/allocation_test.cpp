// Hostile length prefixes must be refused before any memory is set aside for
// them. This binary counts the largest allocation made while reading, and can
// make one allocation fail, as when memory runs out.
#include "storage_kit.h"
#include "records/data_files.h"
#include "records/people_records.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> g_largest{0};
std::atomic<std::size_t> g_failSize{0}; // the next allocation of this size fails
} // namespace

void* operator new(std::size_t n) {
    if (n != 0 && n == g_failSize.load()) {
        g_failSize = 0;
        throw std::bad_alloc();
    }
    std::size_t seen = g_largest.load();
    while (n > seen && !g_largest.compare_exchange_weak(seen, n)) {}
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
// Arrays too: a sanitizer's runtime would otherwise give them its own.
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

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

// Memory running out while a file is read: the records already viewed stay
// readable, and a file whose bytes cannot be held is left as it is and
// reported unreadable instead of ending the program at every start.
TEST(OutOfMemory, RecordsViewedStayWholeAndAFileTooLargeIsLeftUnread) {
    const std::string text(60, 'a');
    const std::string canonical = std::string(8, '\0') + B({60}) + text;
    const std::string longForm = std::string(8, '\0') + B({0xFF, 60, 0}) + text; // re-encoded when read
    const std::string file = B({2, 0, 0, 0}) + canonical + longForm;
    {
        CCalendar c;
        CMemFile f(file);
        CArchive ar(f, CArchive::load);
        g_failSize = text.size() + 1; // the long-form record's text, decoded
        EXPECT_THROW(c.Serialize(ar), std::bad_alloc);
        g_failSize = 0;
        ASSERT_EQ(c.GetSize(), 1);
        EXPECT_EQ(c.GetAt(0).text, text);
    }
    {
        testkit::TempDir dir;
        testkit::WriteBytes(dir / "data4.bcm", file);
        CCalendar c;
        g_failSize = file.size() - 4; // the block for everything after the count
        const FileLoadResult r = LoadFile(c, dir / "data4.bcm");
        g_failSize = 0;
        EXPECT_EQ(r.state, LoadState::unreadable);
        EXPECT_TRUE(r.keepOnSave);
        EXPECT_EQ(c.GetSize(), 0);
        EXPECT_EQ(testkit::ReadBytes(dir / "data4.bcm"), file);
    }
}
