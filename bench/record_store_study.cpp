// Ways to hold the policies in memory, compared on the benchmark book's
// data1.bcm: how long the load takes (in a fresh process), the memory per
// policy, decoding one whole record, reading one field of every policy (as
// the query page's search and the statistics tallies do), and encoding the
// whole collection for a save.
//
//   record_store_study DIR [--rounds N]     DIR holds the book (storage_bench --write-book)
//
//   program the program's own loader (CInsurance: since phase B the kept bytes of (a))
//   vector  std::vector<PolicyRecord>, every text its own std::string (the loader before phase B)
//   kept    (a) the file's bytes kept in one block, one view per record into it
//           (or into an encoded replacement), fields decoded on demand by
//           skipping the fields before them; kept-pop has the kernel provide
//           the block's pages at once, kept-thp asks for huge pages, kept-mmap
//           maps the file instead of reading it
//   refs    (b) every text an (offset, length) reference into one arena, the
//           numbers beside them, per record the index of its first reference
#include "bench_util.h"
#include "kept_store.h"

#include "records/data_files.h"
#include "records/platform_file.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <bit>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

namespace fs = std::filesystem;
using bench::Bytes;
using bench::Little;
using bench::NowMs;
using bench::Skipper;
using bench::TextLength;
using vantorel::PolicyRecord;

namespace {

// Decodes fields from memory that a Skipper has already found sound.
struct Decoder {
    const unsigned char* p;
    void operator()(const char*, std::string& s) {
        Bytes b{p, p + 8};
        std::uint64_t n = 0;
        TextLength(b, n);
        s.assign(reinterpret_cast<const char*>(b.p), std::size_t(n));
        p = b.p + n;
    }
    void operator()(const char*, std::int16_t& v) {
        v = Little<std::int16_t>(p);
        p += 2;
    }
    void operator()(const char*, double& v) {
        v = std::bit_cast<double>(Little<std::uint64_t>(p));
        p += 8;
    }
    template <class T> void Again(const char* n, T& v) { (*this)(n, v); }
    template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, std::vector<T>& list) {
        const auto n = Little<std::int16_t>(p);
        p += 2;
        list.resize(std::size_t(std::max<std::int16_t>(n, 0)));
        for (T& e : list) VisitFields(*this, e);
    }
};

// The field a selector names, as the address of that field in a name-only record.
using Selector = std::string& (*)(PolicyRecord&);
PolicyRecord& Names() {
    static PolicyRecord r;
    return r;
}

std::string Encode(const PolicyRecord& r) {
    vantorel::CMemFile out;
    vantorel::CArchive ar(out, vantorel::CArchive::store);
    vantorel::ArchiveWriter w{ar};
    VisitFields(w, const_cast<PolicyRecord&>(r)); // writing only reads
    ar.Close();
    return out.Data();
}

// --- (a) The file's bytes kept.

enum class Block { read, populated, hugePages, mapped };

class KeptPolicies {
public:
    bool Load(const fs::path& file, Block how) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) return false;
        size_ = std::size_t(st.st_size);
        if (how == Block::mapped) {
            void* m = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (m == MAP_FAILED) return false;
            block_ = {static_cast<unsigned char*>(m), [n = size_](unsigned char* q) { ::munmap(q, n); }};
        } else {
            const std::size_t huge = 2 << 20, room = (size_ + huge - 1) / huge * huge;
            // Populated: the kernel provides every page at once instead of one fault per page.
            const int flags = MAP_PRIVATE | MAP_ANONYMOUS | (how == Block::populated ? MAP_POPULATE : 0);
            void* m = ::mmap(nullptr, room, PROT_READ | PROT_WRITE, flags, -1, 0);
            if (m == MAP_FAILED) return false;
            if (how == Block::hugePages) ::madvise(m, room, MADV_HUGEPAGE);
            block_ = {static_cast<unsigned char*>(m), [room](unsigned char* q) { ::munmap(q, room); }};
            for (std::size_t done = 0; done < size_;) {
                const ssize_t n = ::read(fd, block_.get() + done, size_ - done);
                if (n <= 0) return false;
                done += std::size_t(n);
            }
        }
        ::close(fd);
        return bench::FindRecords<PolicyRecord>(block_.get(), size_, records_);
    }
    int Size() const { return int(records_.size()); }
    PolicyRecord GetAt(int i) const {
        PolicyRecord r;
        Decoder d{Start(i)};
        VisitFields(d, r);
        return r;
    }
    // By the record's layout: the kinds of the fields before the lists are
    // the same in every record, so skipping to a field is a short loop.
    std::string_view Text(int i, Selector field) const {
        const Layout& l = Layout::Of();
        const std::size_t k = l.Index(field);
        const unsigned char* p = Start(i);
        for (std::size_t f = 0; f < k; ++f) {
            switch (l.kinds[f]) {
            case 'T': p += *p < 0xFF ? 1 + *p : SkipLong(p); break;
            case 'S': p += 2; break;
            default: p += 8; break;
            }
        }
        Bytes b{p, p + 8};
        std::uint64_t n = 0;
        TextLength(b, n);
        return {reinterpret_cast<const char*>(b.p), std::size_t(n)};
    }
    // One field of every record, in order, as a search or a tally reads it.
    // Records differ in length, so the processor cannot guess where the next
    // one starts: the loop asks for the bytes of a record a few ahead.
    template <class F> void Scan(Selector field, F&& each) const {
        const std::size_t n = records_.size();
        constexpr std::size_t ahead = 8;
        for (std::size_t i = 0; i < n; ++i) {
            if (i + ahead < n) {
                const char* q = records_[i + ahead].data();
                for (std::size_t line = 0; line < 512 && line < records_[i + ahead].size(); line += 64)
                    __builtin_prefetch(q + line);
            }
            each(Text(int(i), field));
        }
    }
    // The same by walking the field list with a Skipper.
    std::string_view TextByWalk(int i, Selector field) const {
        Skipper s{{Start(i), Start(i) + records_[std::size_t(i)].size()}, &field(Names())};
        VisitFields(s, Names());
        Bytes b{s.found, s.b.end};
        std::uint64_t n = 0;
        TextLength(b, n);
        return {reinterpret_cast<const char*>(b.p), std::size_t(n)};
    }
    void SetAt(int i, const PolicyRecord& r) {
        changed_.push_back(Encode(r));
        records_[std::size_t(i)] = changed_.back();
    }
    // count, then each record's bytes as they are
    void Save(vantorel::CFile& out) const {
        const std::int32_t n = Size();
        unsigned char c[4];
        for (int k = 0; k < 4; ++k) c[k] = static_cast<unsigned char>(std::uint32_t(n) >> (8 * k));
        out.Write(c, 4);
        for (std::string_view r : records_) out.Write(r.data(), r.size());
    }

private:
    // The kinds of the fields before the first list: 'T' text, 'S' int16, 'D' double.
    struct Layout {
        std::string kinds;
        std::vector<const void*> fields;
        bool listed = false;
        void Add(const void* f, char kind) {
            if (listed) return;
            kinds.push_back(kind);
            fields.push_back(f);
        }
        void operator()(const char*, std::string& v) { Add(&v, 'T'); }
        void operator()(const char*, std::int16_t& v) { Add(&v, 'S'); }
        void operator()(const char*, double& v) { Add(&v, 'D'); }
        template <class T> void Again(const char* n, T& v) { (*this)(n, v); }
        template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
        template <class T> void List(const char*, std::vector<T>&) { listed = true; }
        std::size_t Index(Selector field) const {
            const void* f = &field(Names());
            return std::size_t(std::find(fields.begin(), fields.end(), f) - fields.begin());
        }
        static const Layout& Of() {
            static const Layout l = [] {
                Layout x;
                VisitFields(x, Names());
                return x;
            }();
            return l;
        }
    };
    static std::size_t SkipLong(const unsigned char* p) {
        Bytes b{p, p + 8};
        std::uint64_t n = 0;
        TextLength(b, n);
        return std::size_t(b.p - p) + std::size_t(n);
    }
    const unsigned char* Start(int i) const {
        return reinterpret_cast<const unsigned char*>(records_[std::size_t(i)].data());
    }
    std::unique_ptr<unsigned char[], std::function<void(unsigned char*)>> block_;
    std::size_t size_ = 0;
    std::vector<std::string_view> records_;
    std::deque<std::string> changed_; // encodings of replaced and added records
};

// (a) with fields found by walking the field list instead of the layout.
struct KeptByWalk {
    const KeptPolicies& kept;
    int Size() const { return kept.Size(); }
    PolicyRecord GetAt(int i) const { return kept.GetAt(i); }
    std::string_view Text(int i, Selector f) const { return kept.TextByWalk(i, f); }
};

// --- (b) References into an arena.

class RefPolicies {
public:
    bool Load(const fs::path& file) {
        auto opened = vantorel::OsFile::OpenRead(file);
        if (!opened) return false;
        vantorel::OsFile* f = opened->get();
        std::string bytes(f->GetLength(), '\0');
        for (std::size_t done = 0; done < bytes.size();) {
            const std::size_t n = f->Read(bytes.data() + done, bytes.size() - done);
            if (n == 0) return false;
            done += n;
        }
        Bytes b{reinterpret_cast<const unsigned char*>(bytes.data()),
                reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size()};
        const auto count = Little<std::int32_t>(b.p);
        b.p += 4;
        // A first walk checks the file and sizes the tables: no table grows by copying.
        std::size_t texts = 0, numbers = 0;
        Bytes c = b;
        for (std::int32_t i = 0; i < count; ++i) {
            Skipper s{c};
            VisitFields(s, Names());
            if (!s.ok) return false;
            Splitter dry{*this, c.p, true};
            VisitFields(dry, Names());
            texts += dry.texts;
            numbers += dry.numbers;
            c = s.b;
        }
        arena_.reserve(bytes.size());
        refs_.reserve(texts);
        numbers_.reserve(numbers);
        first_.reserve(std::size_t(std::max(count, 0)));
        for (std::int32_t i = 0; i < count; ++i) {
            first_.push_back({std::uint32_t(refs_.size()), std::uint32_t(numbers_.size())});
            Splitter split{*this, b.p};
            VisitFields(split, Names());
            b.p = split.p;
        }
        return true;
    }
    int Size() const { return int(first_.size()); }
    // Texts before the lists stand at fixed places in every record.
    std::string_view Text(int i, Selector field) const {
        const Ref r = refs_[first_[std::size_t(i)].ref + Ordinal(field)];
        return {arena_.data() + r.offset, r.length};
    }
    PolicyRecord GetAt(int i) const {
        PolicyRecord r;
        Builder b{*this, first_[std::size_t(i)].ref, first_[std::size_t(i)].number};
        VisitFields(b, r);
        return r;
    }

private:
    struct Ref {
        std::uint32_t offset, length;
    };
    struct First {
        std::uint32_t ref, number;
    };
    // From the file's bytes into the arena, the references and the numbers.
    // (`dry`: only counts what it would add.)
    struct Splitter {
        RefPolicies& to;
        const unsigned char* p;
        bool dry = false;
        std::size_t texts = 0, numbers = 0;
        void operator()(const char*, std::string&) {
            Bytes b{p, p + 8};
            std::uint64_t n = 0;
            TextLength(b, n);
            ++texts;
            if (!dry) {
                to.refs_.push_back({std::uint32_t(to.arena_.size()), std::uint32_t(n)});
                to.arena_.append(reinterpret_cast<const char*>(b.p), std::size_t(n));
            }
            p = b.p + n;
        }
        void operator()(const char*, std::int16_t&) { Number(Little<std::int16_t>(p), 2); }
        void operator()(const char*, double&) { Number(std::bit_cast<double>(Little<std::uint64_t>(p)), 8); }
        void Number(double v, int size) {
            ++numbers;
            if (!dry) to.numbers_.push_back(v);
            p += size;
        }
        template <class T> void Again(const char* n, T& v) { (*this)(n, v); }
        template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
        template <class T> void List(const char*, std::vector<T>&) {
            const auto n = Little<std::int16_t>(p);
            Number(n, 2);
            static T entry;
            for (std::int16_t k = 0; k < n; ++k) VisitFields(*this, entry);
        }
    };
    struct Builder {
        const RefPolicies& from;
        std::uint32_t ref, number;
        void operator()(const char*, std::string& s) {
            const Ref r = from.refs_[ref++];
            s.assign(from.arena_.data() + r.offset, r.length);
        }
        void operator()(const char*, std::int16_t& v) { v = std::int16_t(from.numbers_[number++]); }
        void operator()(const char*, double& v) { v = from.numbers_[number++]; }
        template <class T> void Again(const char* n, T& v) { (*this)(n, v); }
        template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
        template <class T> void List(const char*, std::vector<T>& list) {
            list.resize(std::size_t(from.numbers_[number++]));
            for (T& e : list) VisitFields(*this, e);
        }
    };
    // How many texts come before the field in a record.
    struct Counter {
        const void* target;
        std::uint32_t texts = 0;
        bool found = false;
        void operator()(const char*, std::string& s) {
            if (&s == target) found = true;
            if (!found) ++texts;
        }
        template <class N> void operator()(const char*, N&) {}
        template <class T> void Again(const char*, T&) {}
        template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
        template <class T> void List(const char*, std::vector<T>&) {}
    };
    static std::uint32_t Ordinal(Selector field) {
        Counter c{&field(Names())};
        VisitFields(c, Names());
        return c.texts;
    }
    std::string arena_;
    std::vector<Ref> refs_;
    std::vector<double> numbers_;
    std::vector<First> first_;
};

// --- The program's loader, and the vector of records it had before.

class ProgramPolicies {
public:
    bool Load(const fs::path& file) { return vantorel::LoadFile(book_, file).state == vantorel::LoadState::loaded; }
    int Size() const { return book_.GetSize(); }
    PolicyRecord GetAt(int i) const { return book_.GetAt(i); }
    std::string_view Text(int i, Selector field) const {
        const vantorel::Field<PolicyRecord> f([field](auto& r) -> auto& {
            return field(const_cast<PolicyRecord&>(r));
        });
        return book_.Text(i, f);
    }
    const vantorel::CInsurance& Collection() const { return book_; }

private:
    vantorel::CInsurance book_;
};

class VectorPolicies {
public:
    bool Load(const fs::path& file) {
        vantorel::CInsurance c;
        if (vantorel::LoadFile(c, file).state != vantorel::LoadState::loaded) return false;
        records_.reserve(std::size_t(c.GetSize()));
        for (int i = 0; i < c.GetSize(); ++i) records_.push_back(c.GetAt(i));
        return true;
    }
    int Size() const { return int(records_.size()); }
    PolicyRecord GetAt(int i) const { return records_[std::size_t(i)]; }
    std::string_view Text(int i, Selector field) const {
        return field(const_cast<PolicyRecord&>(records_[std::size_t(i)]));
    }
    const std::vector<PolicyRecord>& Records() const { return records_; }

private:
    std::vector<PolicyRecord> records_;
};

// Resident memory now, in KiB.
long ResidentKb() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// A sink that only counts: the encoding's cost without the disk's.
class CountingFile : public vantorel::CFile {
public:
    std::size_t Read(void*, std::size_t) override { return 0; }
    void Write(const void* p, std::size_t n) override {
        bytes += n;
        last = static_cast<const char*>(p)[n ? n - 1 : 0];
    }
    std::uint64_t GetLength() const override { return bytes; }
    std::uint64_t bytes = 0;
    char last = 0;
};

std::string& HolderName(PolicyRecord& r) { return r.holder.name; }
std::string& HolderEducation(PolicyRecord& r) { return r.holder.education; }
std::string& InsuredBirth(PolicyRecord& r) { return r.insured.birthDate; }

// Where a vector of records' memory goes: the records' own bytes, the lists' buffers and
// one heap block for every text too long to sit inside its std::string.
struct Anatomy {
    double texts = 0, heapTexts = 0, heapBytes = 0, listBytes = 0, blocks = 0;
    void Block(const void* p) {
        blocks += 1;
        heapBytes += double(malloc_usable_size(const_cast<void*>(p)) + 8); // + the chunk's header
    }
    void operator()(const char*, std::string& s) {
        texts += 1;
        if (s.capacity() > 15) { // past the 15 bytes kept inside the string
            heapTexts += 1;
            Block(s.data());
        }
    }
    template <class N> void operator()(const char*, N&) {}
    template <class T> void Again(const char*, T&) {}
    template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, std::vector<T>& list) {
        if (list.capacity()) {
            Block(list.data());
            listBytes += double(malloc_usable_size(list.data()) + 8);
        }
        for (T& e : list) VisitFields(*this, e);
    }
};

void PrintAnatomy(const std::vector<PolicyRecord>& book, double fileBytes) {
    Anatomy a;
    for (const PolicyRecord& r : book) VisitFields(a, const_cast<PolicyRecord&>(r));
    const double n = double(book.size());
    std::printf("vector, per policy: the record itself %zu bytes (PolicyInfo %zu, HolderInfo %zu, PersonInfo %zu; "
                "a beneficiary %zu, a rider %zu, std::string %zu)\n",
                sizeof(PolicyRecord), sizeof(vantorel::PolicyInfo), sizeof(vantorel::HolderInfo),
                sizeof(vantorel::PersonInfo), sizeof(vantorel::BeneficiaryRecord), sizeof(vantorel::RiderRecord),
                sizeof(std::string));
    std::printf("  %.1f texts, %.1f of them longer than 15 bytes with a heap block of their own (%.0f bytes); "
                "list buffers %.0f bytes (the entries' std::string objects in them); %.1f heap blocks in all\n",
                a.texts / n, a.heapTexts / n, (a.heapBytes - a.listBytes) / n, a.listBytes / n, a.blocks / n);
    std::printf("  sum: %.0f bytes per policy, against %.0f in the file\n",
                double(sizeof(PolicyRecord)) + a.heapBytes / n, fileBytes / n);
}

// One representation measured in this process: ms for each access pattern.
template <class Store> void Access(const char* label, const Store& s, const VectorPolicies& truth, int rounds) {
    const int n = s.Size();
    auto best = [&](auto&& f) {
        std::vector<double> ms;
        for (int r = 0; r < rounds; ++r) {
            const double t0 = NowMs();
            f();
            ms.push_back(NowMs() - t0);
        }
        return bench::Median(ms);
    };
    std::size_t sink = 0;
    const double decode = best([&] {
        for (int i = 0; i < n; ++i) sink += s.GetAt(i).holder.name.size();
    });
    auto field = [&](Selector f) {
        return best([&s, &sink, f, n] {
            if constexpr (requires { s.Scan(f, [](std::string_view) {}); })
                s.Scan(f, [&sink](std::string_view t) { sink += t.size(); });
            else
                for (int i = 0; i < n; ++i) sink += s.Text(i, f).size();
        });
    };
    const double name = field(HolderName), education = field(HolderEducation), birth = field(InsuredBirth);
    // The same records as the vector's, field for field.
    for (int i = 0; i < n; i += std::max(1, n / 1000))
        if (!(s.GetAt(i) == truth.GetAt(i)) || s.Text(i, HolderEducation) != truth.Text(i, HolderEducation)) {
            std::fprintf(stderr, "%s: record %d differs\n", label, i);
            std::exit(1);
        }
    std::printf("%-10s %12.0f %12.1f %12.1f %12.1f", label, decode * 1e6 / n, name, education, birth);
    if (sink == 42) std::printf(" ");
}

int Child(const std::string& how, const fs::path& file) {
    const long before = bench::PeakKb(), residentBefore = ResidentKb();
    const double t0 = NowMs();
    bool ok = false;
    int count = 0;
    // Left to the process's end: freeing is not what is measured.
    if (how == "program") {
        auto* s = new ProgramPolicies;
        ok = s->Load(file);
        count = s->Size();
    } else if (how == "refs") {
        auto* s = new RefPolicies;
        ok = s->Load(file);
        count = s->Size();
    } else {
        auto* s = new KeptPolicies;
        const Block block = how == "kept"       ? Block::read
                            : how == "kept-pop" ? Block::populated
                            : how == "kept-thp" ? Block::hugePages
                                                : Block::mapped;
        ok = s->Load(file, block);
        count = s->Size();
    }
    const double ms = NowMs() - t0;
    if (!ok) return 1;
    std::printf("%.3f %ld %d %ld\n", ms, bench::PeakKb() - before, count, ResidentKb() - residentBefore);
    std::fflush(stdout);
    std::_Exit(0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--child") return Child(argv[2], argv[3]);
    if (argc < 2) {
        std::fprintf(stderr, "usage: record_store_study DIR [--rounds N]\n");
        return 2;
    }
    const fs::path file = fs::path(argv[1]) / vantorel::kDataFileNames[0];
    const int rounds = argc == 4 && std::string(argv[2]) == "--rounds" ? std::max(1, std::atoi(argv[3])) : 5;
    const std::string self = bench::SelfPath();
    const double fileBytes = double(fs::file_size(file));
    std::printf("data1.bcm: %.1f MB; load average %s\n\n", fileBytes / 1e6, bench::LoadAverage().c_str());

    // Loads in fresh processes, the representations taking turns.
    const std::vector<std::string> kinds = {"program", "kept", "kept-pop", "kept-thp", "kept-mmap", "refs"};
    std::vector<std::vector<double>> loadMs(kinds.size()), memory(kinds.size()), resident(kinds.size());
    int policies = 0;
    for (int r = 0; r < rounds; ++r)
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            const bench::ChildRun c = bench::RunChild({self, "--child", kinds[k], file.string()});
            loadMs[k].push_back(c.numbers.at(0));
            memory[k].push_back(c.numbers.at(1) * 1024);
            policies = int(c.numbers.at(2));
            resident[k].push_back(c.numbers.at(3) * 1024);
        }
    std::printf("%-10s %-26s %-14s %-12s %s\n", "load", "ms: min / median / max", "peak B/policy", "peak/file",
                "kept B/policy");
    for (std::size_t k = 0; k < kinds.size(); ++k)
        std::printf("%-10s %-26s %-14.0f %-12.2f %.0f\n", kinds[k].c_str(), bench::Spread(loadMs[k], "%.1f").c_str(),
                    bench::Median(memory[k]) / policies, bench::Median(memory[k]) / fileBytes,
                    bench::Median(resident[k]) / policies);

    ProgramPolicies program;
    VectorPolicies vector;
    KeptPolicies kept;
    RefPolicies refs;
    if (!program.Load(file) || !vector.Load(file) || !kept.Load(file, Block::read) || !refs.Load(file)) return 1;
    std::printf("\n");
    PrintAnatomy(vector.Records(), fileBytes);
    std::printf("\n%-10s %12s %12s %12s %12s   (medians of %d rounds over %d policies)\n", "access", "ns/record",
                "holder.name", "h.education", "i.birthDate", rounds, policies);
    std::printf("%-10s %12s %12s %12s %12s\n", "", "full decode", "all, ms", "all, ms", "all, ms");
    Access("program", program, vector, rounds);
    std::printf("\n");
    Access("vector", vector, vector, rounds);
    std::printf("\n");
    Access("kept", kept, vector, rounds);
    std::printf("\n");
    Access("kept-walk", KeptByWalk{kept}, vector, rounds);
    std::printf("\n");
    Access("refs", refs, vector, rounds);
    std::printf("\n");

    // Encoding the collection for a save, into a sink that only counts.
    auto encode = [&](auto&& save) {
        std::vector<double> ms;
        std::uint64_t bytes = 0;
        for (int r = 0; r < rounds; ++r) {
            CountingFile out;
            const double t0 = NowMs();
            save(out);
            ms.push_back(NowMs() - t0);
            bytes = out.bytes;
        }
        if (bytes != std::uint64_t(fileBytes)) std::exit(1);
        return bench::Median(ms);
    };
    const double vectorSave = encode([&](CountingFile& out) {
        vantorel::CArchive ar(out, vantorel::CArchive::store);
        ar << std::int32_t(vector.Size());
        vantorel::ArchiveWriter w{ar};
        for (const PolicyRecord& r : vector.Records()) VisitFields(w, r);
        ar.Close();
    });
    const double programSave = encode([&](CountingFile& out) {
        vantorel::CArchive ar(out, vantorel::CArchive::store);
        program.Collection().Store(ar);
        ar.Close();
    });
    const double keptSave = encode([&](CountingFile& out) { kept.Save(out); });
    // A tenth of the records replaced: the save writes their new encodings in place.
    for (int i = 0; i < kept.Size(); i += 10) kept.SetAt(i, vector.GetAt(i));
    const double keptChanged = encode([&](CountingFile& out) { kept.Save(out); });
    std::printf(
        "\nencoding for a save (ms, median): vector %.1f, program %.1f, kept %.1f, kept with every tenth record "
        "replaced %.1f\n",
        vectorSave, programSave, keptSave, keptChanged);
    std::printf("load average %s\n", bench::LoadAverage().c_str());
    return 0;
}
