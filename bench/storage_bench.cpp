// Times LoadAll and SaveAll on a realistic book against reading and writing
// the same bytes raw and against SQLite, and measures memory per policy.
//
//   storage_bench                  run everything, print figures and ratios
//   storage_bench --write-book DIR write the book's four data files into DIR
//   storage_bench --load-only DIR  (used by the run) load DIR, print peak memory
#include "sample_book.h"
#include "sqlite_store.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using vantorel::DataBook;

namespace {

long PeakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

long CurrentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Median of `runs` timings of `f`, in milliseconds; `prepare` runs untimed before each.
double Time(int runs, const std::function<void()>& prepare, const std::function<void()>& f) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto t0 = std::chrono::steady_clock::now();
        f();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

std::string ReadAll(const fs::path& p) {
    const int fd = ::open(p.c_str(), O_RDONLY);
    if (fd < 0) std::abort();
    std::string s(fs::file_size(p), '\0');
    std::size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = ::read(fd, s.data() + done, s.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return s;
}

void WriteSynced(const fs::path& p, const std::string& bytes) {
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) std::abort();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) std::abort();
    ::close(fd);
}

bool AllSaved(const vantorel::SaveReport& r) {
    return std::all_of(r.begin(), r.end(), [](const auto& f) { return f.saved; });
}

int WriteBook(const fs::path& dir) {
    fs::create_directories(dir);
    DataBook book;
    bench::MakeBook(book, {});
    if (!AllSaved(vantorel::SaveAll(book, dir))) {
        std::fprintf(stderr, "could not write the book into %s\n", dir.c_str());
        return 1;
    }
    std::printf("wrote %d policies, %d clients, %d members, %d schedule entries into %s\n", book.insurance.GetSize(),
                book.clients.GetSize(), book.members.GetSize(), book.calendar.GetSize(), dir.c_str());
    return 0;
}

int LoadOnly(const fs::path& dir) {
    const long before = CurrentKb();
    DataBook book;
    vantorel::LoadAll(book, dir);
    std::printf("%ld %ld %ld %d\n", before, CurrentKb(), PeakKb(), book.insurance.GetSize());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write-book") return WriteBook(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--load-only") return LoadOnly(argv[2]);
    if (argc != 1) {
        std::fprintf(stderr, "usage: storage_bench [--write-book DIR]\n");
        return 2;
    }
    const fs::path dir = fs::temp_directory_path() / ("vantorel-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const int runs = 5;

    DataBook book;
    bench::MakeBook(book, {});
    if (!AllSaved(vantorel::SaveAll(book, dir))) return 1;
    std::vector<std::string> bytes;
    std::uint64_t total = 0;
    for (const char* n : vantorel::kDataFileNames) {
        bytes.push_back(ReadAll(dir / n));
        total += bytes.back().size();
    }
    std::printf("book: %d policies, %d clients, %d members, %d schedule entries; %.1f MB in four files, "
                "%.0f bytes per policy in data1.bcm\n",
                book.insurance.GetSize(), book.clients.GetSize(), book.members.GetSize(), book.calendar.GetSize(),
                total / 1e6, static_cast<double>(bytes[0].size()) / book.insurance.GetSize());

    const double save = Time(runs, [] {}, [&] {
        if (!AllSaved(vantorel::SaveAll(book, dir))) std::abort();
    });
    const double rawWrite = Time(runs, [] {}, [&] {
        for (std::size_t i = 0; i < bytes.size(); ++i) WriteSynced(dir / ("raw" + std::to_string(i)), bytes[i]);
    });
    DataBook loaded;
    const double load = Time(runs, [&] { loaded.Clear(); }, [&] { vantorel::LoadAll(loaded, dir); });
    if (loaded.insurance.Records() != book.insurance.Records()) std::abort();
    const double rawRead = Time(runs, [] {}, [&] {
        std::size_t n = 0;
        for (const char* f : vantorel::kDataFileNames) n += ReadAll(dir / f).size();
        if (n != total) std::abort();
    });
    const fs::path db = dir / "book.sqlite";
    const double sqlSave = Time(3, [] {}, [&] { bench::SqliteSave(book, db); });
    DataBook fromSql;
    const double sqlLoad = Time(3, [&] { fromSql.Clear(); }, [&] { bench::SqliteLoad(fromSql, db); });
    if (fromSql.insurance.Records() != book.insurance.Records()) std::abort();

    std::printf("\n%-34s %10s\n", "operation (median)", "ms");
    std::printf("%-34s %10.1f\n", "SaveAll (synced)", save);
    std::printf("%-34s %10.1f\n", "raw synced write, same bytes", rawWrite);
    std::printf("%-34s %10.1f\n", "SQLite store (one transaction)", sqlSave);
    std::printf("%-34s %10.1f\n", "LoadAll", load);
    std::printf("%-34s %10.1f\n", "raw read, same bytes", rawRead);
    std::printf("%-34s %10.1f\n", "SQLite load", sqlLoad);
    std::printf("\nratios (goal)\n");
    std::printf("  LoadAll / raw read      %6.2fx  (<= 5)\n", load / rawRead);
    std::printf("  SaveAll / raw write     %6.2fx  (<= 1.5)\n", save / rawWrite);
    std::printf("  SQLite load / LoadAll   %6.2fx  (>= 3)\n", sqlLoad / load);
    std::printf("  SQLite store / SaveAll  %6.2fx  (>= 3)\n", sqlSave / save);

    // Memory of the loaded book, measured in a fresh process.
    std::fflush(stdout);
    const std::string cmd = "'" + fs::read_symlink("/proc/self/exe").string() + "' --load-only '" + dir.string() + "'";
    long before = 0, after = 0, peak = 0;
    int policies = 0;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        if (std::fscanf(p, "%ld %ld %ld %d", &before, &after, &peak, &policies) != 4) policies = 0;
        ::pclose(p);
    }
    if (policies > 0) {
        std::printf("\nmemory after LoadAll in a fresh process: peak %.1f MB (%.0f bytes per policy); "
                    "growth %.1f MB (%.0f bytes per policy; goal <= 4096)\n",
                    peak / 1024.0, peak * 1024.0 / policies, (after - before) / 1024.0,
                    (after - before) * 1024.0 / policies);
    }
    std::printf("peak memory of this whole run: %.1f MB\n", PeakKb() / 1024.0);
    fs::remove_all(dir);
    return 0;
}
