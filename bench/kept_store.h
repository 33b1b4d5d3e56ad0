// The file's bytes kept in memory, one view per record: a prototype of a
// compact record store, shared by the record store study and the start-up
// probe. Reads the archive encoding straight from memory.
#pragma once

#include "records/data_files.h"

#include <fcntl.h>
#include <unistd.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

namespace bench {

struct Bytes {
    const unsigned char* p;
    const unsigned char* end;
    bool Has(std::size_t n) const { return std::size_t(end - p) >= n; }
};

template <class T> T Little(const unsigned char* in) {
    std::make_unsigned_t<T> u = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) u |= std::make_unsigned_t<T>(in[i]) << (8 * i);
    return T(u);
}

// A text's length prefix: 1, 3 or 7 bytes. False past the end.
inline bool TextLength(Bytes& b, std::uint64_t& n) {
    if (!b.Has(1)) return false;
    n = *b.p++;
    if (n != 0xFF) return true;
    if (!b.Has(2)) return false;
    n = Little<std::uint16_t>(b.p);
    b.p += 2;
    if (n != 0xFFFF) return true;
    if (!b.Has(4)) return false;
    n = Little<std::uint32_t>(b.p);
    b.p += 4;
    return true;
}

// Walks a record's fields without keeping them: checks every length and
// count as the loader does, and stops at `target` (a field of a record
// object that only serves to name fields) when one is given.
struct Skipper {
    Bytes b;
    const void* target = nullptr;
    const unsigned char* found = nullptr;
    bool ok = true;

    bool Done() const { return !ok || found; }
    bool At(const void* field) {
        if (field == target) found = b.p;
        return Done();
    }
    void operator()(const char*, std::string& s) {
        if (At(&s)) return;
        std::uint64_t n = 0;
        if (!TextLength(b, n) || !b.Has(n))
            ok = false;
        else
            b.p += n;
    }
    template <class N> void operator()(const char*, N& v) {
        if (At(&v)) return;
        if (!b.Has(sizeof(N)))
            ok = false;
        else
            b.p += sizeof(N);
    }
    template <class T> void Again(const char* n, T& v) { (*this)(n, v); }
    template <class T> void Object(const char*, T& sub) {
        if (!Done()) VisitFields(*this, sub);
    }
    template <class T> void List(const char*, std::vector<T>&) {
        if (Done()) return;
        if (!b.Has(2)) {
            ok = false;
            return;
        }
        const auto n = Little<std::int16_t>(b.p);
        b.p += 2;
        if (n > std::int16_t(vantorel::kMaxListEntries)) ok = false;
        static T entry; // only names fields; never written
        for (std::int16_t i = 0; i < n && !Done(); ++i) VisitFields(*this, entry);
    }
};

// A record object that only serves to name fields.
template <class R> R& Names() {
    static R r;
    return r;
}

// Where each record of a whole file's bytes starts and ends: the walk that
// also checks every length and count.
template <class R>
bool FindRecords(const unsigned char* data, std::size_t size, std::vector<std::string_view>& records) {
    Bytes b{data, data + size};
    if (!b.Has(4)) return false;
    const auto count = Little<std::int32_t>(b.p);
    b.p += 4;
    records.reserve(std::size_t(std::max(count, 0)));
    for (std::int32_t i = 0; i < count; ++i) {
        Skipper s{b};
        VisitFields(s, Names<R>());
        if (!s.ok) return false;
        records.emplace_back(reinterpret_cast<const char*>(b.p), std::size_t(s.b.p - b.p));
        b = s.b;
    }
    return true;
}

// One collection's file read whole and walked once: every length and count
// checked, each record's bytes found.
// `mapped`: the file mapped instead of read (no copy and no fresh memory, but
// a file cut short by another program while mapped ends this one).
template <class R> class KeptBytes {
public:
    ~KeptBytes() {
        if (mapped_) ::munmap(mapped_, size_);
    }
    bool Load(const std::filesystem::path& file, bool mapped = false) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) return false;
        size_ = std::size_t(st.st_size);
        if (mapped) {
            void* m = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            ::close(fd);
            if (m == MAP_FAILED) return false;
            mapped_ = static_cast<unsigned char*>(m);
            return Walk(mapped_, size_);
        }
        block_.reset(new unsigned char[size_]); // not zeroed: the read fills it
        for (std::size_t done = 0; done < size_;) {
            const ssize_t n = ::read(fd, block_.get() + done, size_ - done);
            if (n <= 0) return false;
            done += std::size_t(n);
        }
        ::close(fd);
        return Walk(block_.get(), size_);
    }
    bool Walk(const unsigned char* data, std::size_t size) { return FindRecords<R>(data, size, records_); }
    int Size() const { return int(records_.size()); }
    // A text of record i, found by walking the fields before it.
    std::string_view Text(int i, std::string& (*field)(R&)) const {
        const std::string_view r = records_[std::size_t(i)];
        const auto* start = reinterpret_cast<const unsigned char*>(r.data());
        Skipper s{{start, start + r.size()}, &field(Names<R>())};
        VisitFields(s, Names<R>());
        Bytes b{s.found, s.b.end};
        std::uint64_t n = 0;
        if (!s.found || !TextLength(b, n)) return {};
        return {reinterpret_cast<const char*>(b.p), std::size_t(n)};
    }

private:
    std::unique_ptr<unsigned char[]> block_;
    unsigned char* mapped_ = nullptr;
    std::size_t size_ = 0;
    std::vector<std::string_view> records_;
};

// The four files of a book, kept.
struct KeptBook {
    KeptBytes<vantorel::PolicyRecord> insurance;
    KeptBytes<vantorel::PotClientRecord> clients;
    KeptBytes<vantorel::MemberRecord> members;
    KeptBytes<vantorel::ScheduleEntry> calendar;
    bool Load(const std::filesystem::path& dir, bool mapped = false) {
        const auto& n = vantorel::kDataFileNames;
        return insurance.Load(dir / n[0], mapped) && clients.Load(dir / n[1], mapped) &&
               members.Load(dir / n[2], mapped) && calendar.Load(dir / n[3], mapped);
    }
};

} // namespace bench
