// LoadAll and SaveAll on a realistic book against reading and writing the
// same bytes raw and against SQLite, and the loader's memory per policy.
//
//   storage_bench [--policies N | --million] [--pairs N] [--book DIR] [--no-sqlite]
//   storage_bench --write-book DIR [--policies N | --million]
//   storage_bench --against BENCH [--book DIR] [--pairs N]   LoadAll, its memory and a raw
//                 read: this build against the storage_bench of another build, alternating
//
// Every load runs in a fresh process, so that it pays for its memory as the
// program's start does; the raw read reads the same four files into fresh
// memory in a fresh process too. Saves run in this process: SaveAll, and a
// raw write of the same bytes that does what SaveAll does to each file
// (temporary file in the same folder, fsync, rename over the target, fsync
// the folder). The sides of each ratio alternate, one pair after another,
// and each ratio is given as min / median / max over the pairs.
#include "bench_util.h"
#include "sample_book.h"
#include "sqlite_store.h"

#include "records/data_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using bench::NowMs;
using bench::Spread;
using vantorel::DataBook;

namespace {

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

void Must(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "storage_bench: %s failed: %s\n", what, std::strerror(errno));
        std::exit(1);
    }
}

// What SaveAll does to one file, with bytes already encoded.
void RawSave(const fs::path& target, const std::string& bytes) {
    const fs::path temp = target.string() + ".saving";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Must(fd >= 0, "raw create");
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        Must(n > 0, "raw write");
        done += static_cast<std::size_t>(n);
    }
    Must(::fsync(fd) == 0, "raw fsync");
    Must(::close(fd) == 0, "raw close");
    Must(std::rename(temp.c_str(), target.c_str()) == 0, "raw rename");
    const int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Must(dir >= 0 && ::fsync(dir) == 0, "raw folder fsync");
    ::close(dir);
}

bool AllSaved(const vantorel::SaveReport& r) {
    for (const auto& f : r)
        if (f.outcome == vantorel::SaveOutcome::failed) return false;
    return true;
}

// --- The children: one measurement each, printed as "ms peakKb count".

int ChildLoad(const fs::path& dir) {
    DataBook book;
    const double t0 = NowMs();
    vantorel::LoadAll(book, dir);
    const double ms = NowMs() - t0;
    std::printf("%.3f %ld %d\n", ms, bench::PeakKb(), book.insurance.GetSize());
    std::fflush(stdout);
    std::_Exit(0); // the program's own end is measured by the start-up benchmark
}

int ChildRawRead(const fs::path& dir) {
    const double t0 = NowMs();
    std::vector<std::string> files;
    std::size_t bytes = 0;
    for (const char* n : vantorel::kDataFileNames) {
        files.push_back(ReadAll(dir / n));
        bytes += files.back().size();
    }
    const double ms = NowMs() - t0;
    std::printf("%.3f %ld %zu\n", ms, bench::PeakKb(), bytes);
    std::fflush(stdout);
    std::_Exit(0);
}

int ChildSqliteLoad(const fs::path& db) {
    DataBook book;
    const double t0 = NowMs();
    bench::SqliteLoad(book, db);
    const double ms = NowMs() - t0;
    std::printf("%.3f %ld %d\n", ms, bench::PeakKb(), book.insurance.GetSize());
    std::fflush(stdout);
    std::_Exit(0);
}

struct Options {
    bench::BookSize size;
    int pairs = 7;
    fs::path book; // an existing book, left untouched
    bool sqlite = true;
    std::string against; // another build's storage_bench
};

void Usage() {
    std::fprintf(stderr, "usage: storage_bench [--policies N | --million] [--pairs N] [--book DIR] [--no-sqlite]\n"
                         "       storage_bench --write-book DIR [--policies N | --million]\n"
                         "       storage_bench --against BENCH [--book DIR] [--pairs N]\n");
    std::exit(2);
}

// LoadAll of this build against another's, each in fresh processes,
// alternating, with a raw read of the same files in each pair.
int RunAgainst(const Options& o, const fs::path& bookDir, const fs::path& empty) {
    const std::string self = bench::SelfPath();
    std::vector<double> ms[2], grown[2], raw;
    double policies = 0, files = 0;
    for (const char* n : vantorel::kDataFileNames) files += double(fs::file_size(bookDir / n));
    for (int i = -1; i < o.pairs; ++i) { // the first round untimed
        const bench::ChildRun r = bench::RunChild({self, "--raw-read", bookDir.string()});
        for (int b = 0; b < 2; ++b) {
            const std::string& bin = b ? self : o.against;
            const bench::ChildRun l = bench::RunChild({bin, "--load", bookDir.string()});
            const bench::ChildRun e = bench::RunChild({bin, "--load", empty.string()});
            if (i < 0) continue;
            ms[b].push_back(l.numbers.at(0));
            grown[b].push_back((l.numbers.at(1) - e.numbers.at(1)) * 1024);
            policies = l.numbers.at(2);
        }
        if (i >= 0) raw.push_back(r.numbers.at(0));
    }
    std::vector<double> perPolicy[2], perFileByte[2], overRaw[2];
    for (int b = 0; b < 2; ++b) {
        for (double g : grown[b]) {
            perPolicy[b].push_back(g / policies);
            perFileByte[b].push_back(g / files);
        }
        overRaw[b] = bench::Ratios(ms[b], raw);
    }
    std::printf("LoadAll, fresh process, this build against %s (%.0f policies, %.1f MB in four files)\n",
                o.against.c_str(), policies, files / 1e6);
    std::printf("raw read of the four files, fresh process (ms): %s\n", Spread(raw, "%.1f").c_str());
    std::printf("%-34s %-26s %-26s %-20s %s\n", "", "other: min/median/max", "this: min/median/max", "this / other",
                "goal");
    auto row = [](const char* what, const std::vector<double>* v, const char* format, const char* goal) {
        std::printf("%-34s %-26s %-26s %-20s %s\n", what, Spread(v[0], format).c_str(), Spread(v[1], format).c_str(),
                    Spread(bench::Ratios(v[1], v[0])).c_str(), goal);
    };
    row("LoadAll (ms)", ms, "%.1f", "");
    row("LoadAll / raw read (per pair)", overRaw, "%.2f", "<= 3");
    row("bytes per policy (loader)", perPolicy, "%.0f", "");
    row("loader memory / size of the files", perFileByte, "%.2f", "<= 1.5");
    std::printf("load average at end: %s\n", bench::LoadAverage().c_str());
    return 0;
}

int Run(const Options& o) {
    const std::string self = bench::SelfPath();
    const fs::path work = fs::temp_directory_path() / ("vantorel-bench-" + std::to_string(::getpid()));
    const fs::path bookDir = o.book.empty() ? work / "book" : o.book;
    const fs::path empty = work / "empty", saves = work / "saves";
    fs::create_directories(empty);
    fs::create_directories(saves);
    if (o.book.empty()) {
        std::printf("writing the book (%d policies)...\n", o.size.policies);
        std::fflush(stdout);
        Must(bench::WriteBook(bookDir, o.size), "writing the book");
    }
    if (!o.against.empty()) {
        const int status = RunAgainst(o, bookDir, empty);
        fs::remove_all(work);
        return status;
    }
    const double load0 = NowMs();
    DataBook book;
    vantorel::LoadAll(book, bookDir);
    const double firstLoad = NowMs() - load0;
    std::vector<std::string> bytes;
    std::uint64_t total = 0;
    for (const char* n : vantorel::kDataFileNames) {
        bytes.push_back(ReadAll(bookDir / n));
        total += bytes.back().size();
    }
    const int policies = book.insurance.GetSize();
    std::printf("book: %d policies, %d clients, %d members, %d schedule entries; %.1f MB in four files, "
                "%.0f bytes per policy in data1.bcm\n",
                policies, book.clients.GetSize(), book.members.GetSize(), book.calendar.GetSize(), total / 1e6,
                double(bytes[0].size()) / policies);
    std::printf("load average at start: %s; %d alternating pairs; SQLite: %s\n", bench::LoadAverage().c_str(), o.pairs,
                o.sqlite ? bench::kSqliteSettings : "not run");
    std::fflush(stdout);

    const fs::path db = saves / "book.sqlite";
    auto saveAll = [&] { Must(AllSaved(vantorel::SaveAll(book, saves)), "SaveAll"); };
    auto rawWrite = [&] {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            RawSave(saves / ("raw-" + std::string(vantorel::kDataFileNames[i])), bytes[i]);
    };
    auto timed = [](auto&& f) {
        const double t0 = NowMs();
        f();
        return NowMs() - t0;
    };
    auto child = [&](const char* mode, const fs::path& p) { return bench::RunChild({self, mode, p.string()}); };

    // Once untimed, so that every timed save replaces files that exist.
    saveAll();
    rawWrite();
    if (o.sqlite) bench::SqliteSave(book, db);
    child("--load", bookDir);
    child("--raw-read", bookDir);

    std::vector<double> load, rawRead, sqlLoad, save, rawSave, sqlSave, peakBook, peakEmpty;
    for (int i = 0; i < o.pairs; ++i) {
        const bench::ChildRun l = child("--load", bookDir);
        if (int(l.numbers.at(2)) != policies) Must(false, "loading the book in a child");
        load.push_back(l.numbers[0]);
        peakBook.push_back(l.numbers[1]);
        rawRead.push_back(child("--raw-read", bookDir).numbers.at(0));
        peakEmpty.push_back(child("--load", empty).numbers.at(1));
        if (o.sqlite) sqlLoad.push_back(child("--sqlite-load", db).numbers.at(0));
        if (o.sqlite) sqlSave.push_back(timed([&] { bench::SqliteSave(book, db); }));
        // The first large write after the children and SQLite pays 150 to 200 ms
        // more, whichever save it is: the disk is synced and one untimed raw
        // write takes that cost before the timed two, which also take turns
        // going first.
        ::sync();
        rawWrite();
        if (i % 2 == 0) save.push_back(timed(saveAll));
        rawSave.push_back(timed(rawWrite));
        if (i % 2 == 1) save.push_back(timed(saveAll));
        std::printf("  pair %d: LoadAll %.0f ms, raw read %.0f ms, SaveAll %.0f ms, raw write %.0f ms\n", i + 1,
                    load.back(), rawRead.back(), save.back(), rawSave.back());
        std::fflush(stdout);
    }

    std::printf("\n%-40s %s\n", "milliseconds", "min / median / max");
    std::printf("%-40s %s\n", "LoadAll, fresh process", Spread(load, "%.1f").c_str());
    std::printf("%-40s %s\n", "raw read, fresh process", Spread(rawRead, "%.1f").c_str());
    std::printf("%-40s %s\n", "SaveAll", Spread(save, "%.1f").c_str());
    std::printf("%-40s %s\n", "raw write + fsync + rename + fsync dir", Spread(rawSave, "%.1f").c_str());
    if (o.sqlite) {
        std::printf("%-40s %s\n", "SQLite load, fresh process", Spread(sqlLoad, "%.1f").c_str());
        std::printf("%-40s %s\n", "SQLite save (one transaction)", Spread(sqlSave, "%.1f").c_str());
    }
    std::printf("(LoadAll in this process, first time: %.1f ms)\n", firstLoad);

    std::printf("\n%-40s %-26s %s\n", "ratio of each pair", "min / median / max", "goal");
    std::printf("%-40s %-26s %s\n", "LoadAll / raw read", Spread(bench::Ratios(load, rawRead)).c_str(), "<= 3");
    std::printf("%-40s %-26s %s\n", "SaveAll / raw synced write", Spread(bench::Ratios(save, rawSave)).c_str(),
                "<= 1.5");
    if (o.sqlite) {
        std::printf("%-40s %-26s\n", "SQLite load / LoadAll", Spread(bench::Ratios(sqlLoad, load)).c_str());
        std::printf("%-40s %-26s\n", "SQLite save / SaveAll", Spread(bench::Ratios(sqlSave, save)).c_str());
    }

    // Peak memory of a loader child over the book less that of one over an empty folder.
    std::vector<double> perPolicy, perFileByte;
    for (std::size_t i = 0; i < peakBook.size(); ++i) {
        const double grown = (peakBook[i] - peakEmpty[i]) * 1024.0;
        perPolicy.push_back(grown / policies);
        perFileByte.push_back(grown / double(total));
    }
    std::printf("\nloader alone: peak %.1f MB with the book, %.1f MB empty (medians)\n", bench::Median(peakBook) / 1024,
                bench::Median(peakEmpty) / 1024);
    std::printf("%-40s %-26s\n", "  bytes per policy", Spread(perPolicy, "%.0f").c_str());
    std::printf("%-40s %-26s %s\n", "  memory / size of the four files", Spread(perFileByte).c_str(), "<= 1.5");
    std::printf("load average at end: %s\n", bench::LoadAverage().c_str());
    fs::remove_all(work);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    fs::path writeTo;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool value = i + 1 < argc;
        if (a == "--load" && value) return ChildLoad(argv[i + 1]);
        if (a == "--raw-read" && value) return ChildRawRead(argv[i + 1]);
        if (a == "--sqlite-load" && value) return ChildSqliteLoad(argv[i + 1]);
        if (a == "--write-book" && value)
            writeTo = argv[++i];
        else if (a == "--policies" && value)
            o.size.policies = std::max(1, std::atoi(argv[++i]));
        else if (a == "--million")
            o.size.policies = 1000000;
        else if (a == "--pairs" && value)
            o.pairs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--book" && value)
            o.book = argv[++i];
        else if (a == "--no-sqlite")
            o.sqlite = false;
        else if (a == "--against" && value)
            o.against = argv[++i];
        else
            Usage();
    }
    if (!writeTo.empty()) {
        if (!bench::WriteBook(writeTo, o.size)) {
            std::fprintf(stderr, "could not write the book into %s\n", writeTo.c_str());
            return 1;
        }
        std::printf("wrote %d policies, %d clients, %d members, %d schedule entries into %s\n", o.size.policies,
                    o.size.clients, o.size.members, o.size.schedule, writeTo.c_str());
        return 0;
    }
    return Run(o);
}
