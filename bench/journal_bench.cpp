// The recovery journal, measured and tried.
//
//   journal_bench kill [--trials N] [--seed S] [--max-ms M]
//       Kills (SIGKILL) a run of the real session and collections at random
//       moments during a scripted session of adds, replaces and removes on all
//       four collections; some runs close in order instead, some with a save
//       that fails. Each next start must show the book after a prefix of the
//       script that holds every change made more than a second before the
//       kill, nothing twice, and whole data files. 200 trials by default.
//   journal_bench damaged-kill [--trials N] [--seed S] [--max-ms M] [--policies N]
//       The same over a damaged data1.bcm of N policies (5000), the kills
//       spread over the first M ms (1000) after each start, the window's build
//       between reading the files and the journal stood in for by a pause of
//       up to 300 ms. Each start before an orderly close must read the same
//       damaged file again, keep every record before the damage and name the
//       one file kept of it; after an orderly close the file is damaged anew.
//   journal_bench keep-aside [--mb N]
//       The start over a data file of N MiB (1024) whose bytes the load does
//       not read: the load with the file kept aside by a hard link, then by a
//       copy (links refused), each followed by a second start before any
//       save, which names what the first kept.
//   journal_bench cost --book DIR [--changes N] [--removes PERCENT]
//       What one change costs the user-interface thread with the book of DIR
//       loaded (as storage_bench --write-book writes it), with the journal and
//       without, and the bytes each change adds to the journal.
//   journal_bench replay --book DIR [--changes N] [--runs N] [--removes PERCENT]
//       The start after an unclean end: loading DIR, then replaying N changes.
//       A remove costs what RemoveAt costs the collection (every later record
//       moves), at start as during the run; --removes sets their share (20).
//
// The folder given by --book is never written: the runs work on links to its
// files in a temporary folder.
#include "bench_util.h"
#include "failing_storage.h"

#include "app/session.h"
#include "records/journal.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string_view>
#include <thread>

namespace fs = std::filesystem;
using bench::Median;
using bench::NowMs;
using vantorel::DataBook;

namespace {

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "journal_bench: %s\n", why.c_str());
    std::exit(1);
}

std::uint64_t Fnv(std::string_view bytes, std::uint64_t h = 0xcbf29ce484222325ull) {
    for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ull;
    return h;
}

// The digests of the four collections' bytes, as a save writes them. Kept
// between calls: a collection is hashed again only once it has changed.
class BookDigest {
public:
    std::uint64_t Of(const DataBook& book) {
        std::uint64_t h = 0xcbf29ce484222325ull;
        for (std::size_t i = 0; i < vantorel::kFileCount; ++i) {
            const vantorel::CObject& c = book.Collection(i);
            if (!known_[i] || changes_[i] != c.ChangeCount()) {
                vantorel::CMemFile f;
                vantorel::CArchive ar(f, vantorel::CArchive::store);
                c.Store(ar);
                ar.Close();
                parts_[i] = Fnv(f.Data());
                changes_[i] = c.ChangeCount();
                known_[i] = true;
            }
            h = Fnv(std::string_view(reinterpret_cast<const char*>(&parts_[i]), sizeof parts_[i]), h);
        }
        return h;
    }

private:
    std::array<std::uint64_t, vantorel::kFileCount> parts_{}, changes_{};
    std::array<bool, vantorel::kFileCount> known_{};
};

std::uint64_t Digest(const DataBook& book) { return BookDigest().Of(book); }

// ---------------------------------------------------------------- the script

// Change `k` of the script `seed`, made on `book`: the same on the same book.
void Step(DataBook& book, std::mt19937_64& rng, std::uint64_t seed, int k) {
    const std::size_t c = rng() % 4;
    const int size = book.Collection(c).RecordCount();
    const std::string tag = std::to_string(seed) + "-" + std::to_string(k);
    const unsigned roll = static_cast<unsigned>(rng() % 100);
    // Around forty records each: adds while fewer, removes while more.
    enum {
        add,
        replace,
        remove,
        removeAll
    } op = size == 0                        ? add
           : roll < 2                       ? removeAll
           : roll < (size < 40 ? 55u : 30u) ? add
           : roll < 75                      ? replace
                                            : remove;
    const int at = size > 0 ? static_cast<int>(rng() % static_cast<unsigned>(size)) : 0;
    const auto change = [&](auto& coll, auto record) {
        switch (op) {
        case add: coll.Add(std::move(record)); break;
        case replace: coll.SetAt(at, std::move(record)); break;
        case remove: coll.RemoveAt(at); break;
        case removeAll: coll.RemoveAll(); break;
        }
    };
    switch (c) {
    case 0: {
        vantorel::PolicyRecord p;
        p.info.policyNo = "P" + tag;
        p.holder.name = "holder " + tag;
        p.beneficiaries.push_back({});
        p.beneficiaries[0].name = "b" + tag;
        p.beneficiaries[0].share = 100;
        change(book.insurance, p);
        break;
    }
    case 1: {
        vantorel::PotClientRecord r;
        r.person.name = "client " + tag;
        change(book.clients, r);
        break;
    }
    case 2: {
        vantorel::MemberRecord r;
        r.staffNo = "S" + tag;
        change(book.members, r);
        break;
    }
    default: change(book.calendar, vantorel::ScheduleEntry{20040000.0 + k, "entry " + tag}); break;
    }
}

void Say(const std::string& line) {
    const std::string l = line + "\n";
    [[maybe_unused]] const ssize_t n = ::write(1, l.data(), l.size());
}

// One letter per load outcome, in the order of LoadState.
char StateLetter(vantorel::LoadState s) { return "LMEDUB"[static_cast<int>(s)]; }

// One run of the program's session on `dir`: open (with a pause of
// BUILD_MS where the program builds its window), then the script until
// killed, or a close in order after `closeAfter` changes (with the save of
// data file `failing` refused, when 0..3).
int Child(int argc, char** argv) {
    if (argc < 6) Fail("child DIR SEED CLOSE_AFTER FAILING [BUILD_MS]");
    const fs::path dir = argv[2];
    const std::uint64_t seed = std::stoull(argv[3]);
    const int closeAfter = std::atoi(argv[4]), failing = std::atoi(argv[5]),
              buildMs = argc > 6 ? std::atoi(argv[6]) : 0;
    int qargc = 1;
    QCoreApplication app(qargc, argv);
    testkit::FailingStorage storage; // the system's files, until a save is to be refused
    Session session(dir, storage);
    session.BeginOpen();
    std::this_thread::sleep_for(std::chrono::milliseconds(buildMs));
    session.FinishOpen();
    std::string states;
    for (const auto& r : session.LoadResults()) states += StateLetter(r.state);
    const vantorel::FileLoadResult& policies = session.LoadResults()[0];
    const vantorel::JournalRecovery& rec = session.Recovery();
    Say("opened " + std::to_string(Digest(session.Book())) + " " + states + " " + std::to_string(rec.Applied()) + " " +
        std::to_string(rec.Unapplied()) + " " + std::to_string(rec.tornBytes) + " " +
        std::to_string(rec.setAside.empty() ? 0 : 1) + " " + std::to_string(policies.records) + " " +
        (policies.setAside.empty() ? std::string("-") : policies.setAside.filename().string()));
    std::mt19937_64 rng(seed), pauses(seed + 1); // the script's draws are the script's alone
    for (int k = 1; k <= 100000; ++k) {
        Step(session.Book(), rng, seed, k);
        char line[64];
        std::snprintf(line, sizeof line, "%d %.3f", k, NowMs());
        Say(line);
        if (k == closeAfter) {
            if (failing >= 0)
                storage.Fail(
                    {.step = testkit::FailingStorage::Step::rename, .file = vantorel::kDataFileNames[failing]});
            (void)session.SaveAll();
            (void)session.CloseJournal();
            Say(std::string("closed ") + (fs::exists(dir / vantorel::kJournalFileName) ? "journal" : "none"));
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(pauses() % 8000));
    }
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

// ---------------------------------------------------------------- kill trials

using bench::Spawn;
using bench::Spawned;

// The prefixes of one script that the next start may show.
struct Expected {
    DataBook base;                            // the book the script began on
    std::uint64_t seed = 0;                   // 0: no script ran on it
    int lo = 0, hi = 0;                       // shown prefix m: lo <= m <= hi
    std::vector<std::pair<int, double>> done; // the changes the run said it made, and when
    double killedAt = 0;
};

// The prefix of `e`'s script whose digest is `digest`, or -1; `book` is then that prefix.
int FindPrefix(const Expected& e, std::uint64_t digest, DataBook& book) {
    book = e.base;
    std::mt19937_64 rng(e.seed);
    BookDigest digests; // one book, changed step by step
    for (int m = 0; m <= e.hi; ++m) {
        if (m > 0) Step(book, rng, e.seed, m);
        if (m >= e.lo && digests.Of(book) == digest) return m;
    }
    return -1;
}

// The book after the first `m` changes of `e`'s script.
DataBook Prefix(const Expected& e, int m) {
    DataBook book = e.base;
    std::mt19937_64 rng(e.seed);
    for (int k = 1; k <= m; ++k) Step(book, rng, e.seed, k);
    return book;
}

// The four files of `dir` read as the loader reads them, without moving,
// linking or writing anything; `states` gets one letter per file.
DataBook ReadBook(const fs::path& dir, std::string* states = nullptr) {
    DataBook book;
    for (const vantorel::CollectionId id : vantorel::kCollections) {
        const vantorel::FileLoadResult r = vantorel::LoadFile(book.Collection(id), dir / vantorel::kDataFileNames[id]);
        if (states) *states += StateLetter(r.state);
    }
    return book;
}

// Cuts the last bytes off data1.bcm, as a write cut short leaves a file, in a
// new file renamed over it: another file than the last one damaged.
void Damage(const fs::path& dir) {
    const fs::path file = dir / vantorel::kDataFileNames[0], cut = file.string() + ".cut";
    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    bytes.resize(bytes.size() - 3);
    std::ofstream(cut, std::ios::binary | std::ios::trunc) << bytes;
    fs::rename(cut, file);
}

// The files kept aside of damaged data1.bcm files.
int KeptAside(const fs::path& dir) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir))
        n += e.path().filename().string().rfind(std::string(vantorel::kDataFileNames[0]) + ".damaged-", 0) == 0;
    return n;
}

int Kill(int argc, char** argv, bool damaged) {
    int trials = 200, maxMs = damaged ? 1000 : 3000, policies = 5000;
    std::uint64_t seed = 12;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--trials")
            trials = std::atoi(argv[i + 1]);
        else if (a == "--seed")
            seed = std::stoull(argv[i + 1]);
        else if (a == "--max-ms")
            maxMs = std::atoi(argv[i + 1]);
        else if (a == "--policies" && damaged)
            policies = std::atoi(argv[i + 1]);
        else
            Fail("unknown option " + a);
    }
    char tmpl[] = "/tmp/journal-kill-XXXXXX";
    if (!::mkdtemp(tmpl)) Fail("mkdtemp");
    const fs::path dir = fs::path(tmpl) / "data", config = fs::path(tmpl) / "config";
    fs::create_directories(dir);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    std::mt19937_64 rng(seed);
    Expected expected; // an empty folder: the empty book, no script yet
    // Over a damaged file: the records the loader keeps of it, and the name it is kept under.
    bool damagedNow = false;
    int kept = 0, rounds = 0;
    std::string aside;
    std::vector<double> killMs; // when the kills came, after the start
    const auto damage = [&] {
        Damage(dir);
        expected = {ReadBook(dir), 0, 0, 0, {}, 0};
        kept = expected.base.insurance.GetSize();
        damagedNow = true;
        aside.clear();
        ++rounds;
    };
    if (damaged) {
        DataBook book;
        for (int i = 0; i < policies; ++i) {
            vantorel::PolicyRecord p;
            p.info.policyNo = "K" + std::to_string(i);
            p.holder.name = "kept " + std::to_string(i);
            p.beneficiaries.push_back({});
            p.beneficiaries[0].name = "b" + std::to_string(i);
            book.insurance.Add(p);
        }
        for (const auto& r : vantorel::SaveAll(book, dir))
            if (r.outcome != vantorel::SaveOutcome::written) Fail("cannot write the book: " + r.reason);
        damage();
    }
    std::map<std::string, int> counts;
    std::vector<double> lostAges; // how long before the kill the changes lost were made
    int failures = 0, recovered = 0, lost = 0, keptLost = 0;
    const auto fail = [&](int trial, const std::string& why) {
        ++failures;
        std::fprintf(stderr, "trial %d: %s\n", trial, why.c_str());
    };
    for (int t = 0; t <= trials; ++t) {
        const bool last = t == trials; // opens and closes in order, to check the end state
        const std::uint64_t script = seed * 1000003 + static_cast<std::uint64_t>(t) + 1;
        const int closeAfter = last ? 1 : (rng() % 4 == 0 ? 20 + static_cast<int>(rng() % 200) : 0);
        const int failing = (!last && closeAfter && rng() % 3 == 0) ? static_cast<int>(rng() % 4) : -1;
        const double killAfter = last      ? 1e9
                                 : damaged ? static_cast<double>(rng() % static_cast<unsigned>(maxMs))
                                           : 50 + static_cast<double>(rng() % static_cast<unsigned>(maxMs));
        const int buildMs = damaged ? static_cast<int>(rng() % 300) : 0;
        const Spawned child = Spawn({bench::SelfPath(), "child", dir.string(), std::to_string(script),
                                     std::to_string(closeAfter), std::to_string(failing), std::to_string(buildMs)});
        const double started = NowMs();
        std::string text;
        double killedAt = 0;
        for (;;) {
            const double left = started + killAfter - NowMs();
            if (left <= 0) {
                killedAt = NowMs();
                ::kill(child.pid, SIGKILL);
                break;
            }
            pollfd pfd{child.out, POLLIN, 0};
            if (::poll(&pfd, 1, static_cast<int>(std::min(left, 50.0)) + 1) > 0) {
                char buf[4096];
                const ssize_t n = ::read(child.out, buf, sizeof buf);
                if (n <= 0) break; // the child ended by itself
                text.append(buf, static_cast<std::size_t>(n));
            }
        }
        char rest[4096]; // what it said before the kill
        for (ssize_t n; (n = ::read(child.out, rest, sizeof rest)) > 0;) text.append(rest, static_cast<std::size_t>(n));
        ::close(child.out);
        int status = 0;
        ::waitpid(child.pid, &status, 0);
        const bool killed = killedAt > 0;
        ++counts[killed ? "killed" : "ended by itself"];
        if (killed) killMs.push_back(killedAt - started);

        // What the child said: "opened ...", then "k time" per change, maybe "closed ...".
        std::istringstream lines(text);
        std::string line;
        bool opened = false, closed = false, journalLeft = false;
        std::vector<std::pair<int, double>> done;
        while (std::getline(lines, line)) {
            if (line.empty()) continue; // each line is one write: a kill never cuts one
            std::istringstream w(line);
            std::string first;
            w >> first;
            if (first == "opened") {
                std::uint64_t digest;
                std::string states, keptAs;
                int applied, unapplied, setAside, read;
                std::uint64_t torn;
                if (!(w >> digest >> states >> applied >> unapplied >> torn >> setAside >> read >> keptAs))
                    continue; // cut by the kill
                opened = true;
                for (std::size_t i = damaged ? 1 : 0; i < states.size(); ++i)
                    if (states[i] != 'L' && states[i] != 'M') fail(t, "a data file was not whole at the start");
                if (damaged && damagedNow) {
                    // The same damaged file read again: every record before the damage, and the one file kept of it.
                    ++counts["starts over a damaged file"];
                    if (states[0] != 'D') fail(t, "data1.bcm was not read as the damaged file");
                    if (read != kept) {
                        keptLost += std::max(0, kept - read);
                        fail(t, "read " + std::to_string(read) + " records of the damaged file, not " +
                                    std::to_string(kept));
                    }
                    if (aside.empty()) aside = keptAs;
                    if (keptAs == "-" || keptAs != aside)
                        fail(t, "the damaged file kept as " + keptAs + ", not " + aside);
                } else if (damaged && states[0] != 'L' && states[0] != 'M') {
                    fail(t, "data1.bcm was not whole at the start");
                }
                if (setAside) ++counts["journals set aside"];
                if (torn) ++counts["torn tails"];
                DataBook book;
                const int m = FindPrefix(expected, digest, book);
                if (m < 0) {
                    fail(t, "the start shows no prefix " + std::to_string(expected.lo) + ".." +
                                std::to_string(expected.hi) + " of the last script");
                    continue;
                }
                recovered += applied;
                for (const auto& [k, at] : expected.done)
                    if (k > m) {
                        ++lost;
                        lostAges.push_back(expected.killedAt - at);
                    }
                expected = {book, script, 0, 0, {}, 0};
            } else if (first == "closed") {
                closed = true;
                std::string j;
                w >> j;
                journalLeft = j == "journal";
            } else if (double at; opened && w >> at) {
                done.emplace_back(std::stoi(first), at);
            }
        }
        if (killed) ++counts[opened ? "killed after the start" : "killed while starting"];
        // One file kept of each damaged file: of this one too once a start has named it, or maybe
        // (linked by a start killed before it said so) before that.
        if (damaged) {
            const int named = rounds - 1 + (aside.empty() ? 0 : 1), found = KeptAside(dir);
            if (found != named && (found != named + 1 || !aside.empty()))
                fail(t, std::to_string(found) + " files kept of " + std::to_string(rounds) + " damaged files");
        }
        if (!opened) continue; // killed while starting: the last script's prefixes still stand
        counts["changes made"] += static_cast<int>(done.size());
        if (closed) {
            ++counts[failing >= 0 ? "closed, one save refused" : "closed in order"];
            if (journalLeft != (failing >= 0))
                fail(t, failing >= 0 ? "a failed save left no journal" : "an orderly close left a journal");
            expected.lo = expected.hi = closeAfter;
            std::string states;
            const DataBook now = ReadBook(dir, &states);
            if (damaged && states[0] == 'L') damagedNow = false;
            if (damaged && !journalLeft && !last) {
                // Closed in order: the files hold the book; then data1.bcm is damaged anew.
                if (Digest(now) != Digest(Prefix(expected, closeAfter))) fail(t, "the orderly close lost records");
                damage();
            }
        } else {
            // Every change made a second before the kill must come back; one more may have been
            // made and not yet said.
            expected.hi = done.empty() ? 1 : done.back().first + 1;
            for (const auto& [k, at] : done)
                if (at <= killedAt - 1000) expected.lo = k;
            expected.done = done;
            expected.killedAt = killedAt;
        }
    }
    // The end: the last child opened, made one change and closed in order.
    DataBook back;
    for (const auto& r : vantorel::LoadAll(back, dir))
        if (r.state != vantorel::LoadState::loaded) fail(trials, r.file + " not whole after the last close");
    DataBook want;
    if (FindPrefix(expected, Digest(back), want) < 0) fail(trials, "the files after the last close are not the book");
    if (fs::exists(dir / vantorel::kJournalFileName)) fail(trials, "a journal after the last close");
    if (damaged && KeptAside(dir) != rounds)
        fail(trials, std::to_string(KeptAside(dir)) + " files kept of " + std::to_string(rounds) + " damaged files");

    std::printf("kill trials: %d (seed %llu, kill within %d ms of the start)\n", trials,
                static_cast<unsigned long long>(seed), maxMs);
    if (damaged)
        std::printf("  over a damaged data1.bcm of %d policies, %d records kept of it; damaged anew after each "
                    "orderly close: %d damaged files, %d kept aside\n",
                    policies, policies - 1, rounds, KeptAside(dir));
    for (const auto& [what, n] : counts) std::printf("  %-28s %d\n", what.c_str(), n);
    std::printf("  kills after the start (ms)   %s (min / median / max)\n", bench::Spread(killMs, "%.0f").c_str());
    std::printf("  changes replayed at starts   %d\n", recovered);
    std::printf("  changes lost (not on disk yet at the kill): %d; made %s ms before the kill (min / median / max)\n",
                lost, bench::Spread(lostAges, "%.0f").c_str());
    if (damaged) std::printf("  records kept of a damaged file, lost: %d\n", keptLost);
    std::printf("failures: %d\n", failures);
    fs::remove_all(tmpl);
    return failures == 0 ? 0 : 1;
}

// ---------------------------------------------------------------- cost and replay

// A temporary folder with links to the book's files, so that nothing writes the book.
fs::path LinkedBook(const fs::path& book) {
    char tmpl[] = "/tmp/journal-bench-XXXXXX";
    if (!::mkdtemp(tmpl)) Fail("mkdtemp");
    for (const char* name : vantorel::kDataFileNames) {
        std::error_code ec;
        fs::create_hard_link(book / name, fs::path(tmpl) / name, ec);
        if (ec) fs::copy_file(book / name, fs::path(tmpl) / name);
    }
    return tmpl;
}

struct Timed {
    std::vector<double> us;
    std::uint64_t bytes = 0;
};

std::string Line(const char* what, const Timed& with, const Timed* without) {
    char buf[256];
    auto sorted = with.us;
    std::sort(sorted.begin(), sorted.end());
    const double p99 = sorted.empty() ? 0 : sorted[sorted.size() * 99 / 100];
    std::snprintf(buf, sizeof buf, "  %-24s %6zu  median %7.2f us  p99 %8.2f us  worst %9.2f us", what, with.us.size(),
                  Median(with.us), p99, sorted.empty() ? 0 : sorted.back());
    std::string s = buf;
    if (without) {
        std::snprintf(buf, sizeof buf, "  | without journal: median %7.2f  worst %9.2f", Median(without->us),
                      without->us.empty() ? 0 : *std::max_element(without->us.begin(), without->us.end()));
        s += buf;
    }
    if (with.bytes) {
        std::snprintf(buf, sizeof buf, "  | %.1f bytes per change", double(with.bytes) / double(with.us.size()));
        s += buf;
    }
    return s;
}

// Random changes like a working day's on the loaded book: copies of its own
// records with a new key, so each is a typical record of its kind.
// `removes` of every hundred are removes, the rest half adds, half replaces.
void Changes(DataBook& book, int n, std::uint64_t seed, vantorel::Journal* journal, std::map<std::string, Timed>& out,
             unsigned removes = 20) {
    std::mt19937_64 rng(seed);
    for (int k = 0; k < n; ++k) {
        const std::size_t c = rng() % 10 < 5 ? 0 : 1 + rng() % 3;
        const char* names[] = {"policy", "client", "member", "schedule entry"};
        const int size = book.Collection(c).RecordCount();
        const int at = static_cast<int>(rng() % static_cast<unsigned>(size));
        const unsigned addBelow = (100 - removes) / 2, replaceBelow = 100 - removes;
        const unsigned roll = static_cast<unsigned>(rng() % 100);
        const char* kind = roll < addBelow ? "add" : roll < replaceBelow ? "replace" : "remove";
        // Appended, not "J" + to_string(k): GCC 12 warns falsely (-Wrestrict) on that form.
        std::string key = "J";
        key += std::to_string(k);
        const std::uint64_t before = journal ? journal->BytesRecorded() : 0;
        const auto timed = [&](auto& coll, auto record) {
            const auto t0 = std::chrono::steady_clock::now();
            if (roll < addBelow)
                coll.Add(std::move(record));
            else if (roll < replaceBelow)
                coll.SetAt(at, std::move(record));
            else
                coll.RemoveAt(at);
            return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
        };
        double us = 0;
        switch (c) {
        case 0: {
            auto r = book.insurance.GetAt(at);
            r.info.policyNo = key;
            us = timed(book.insurance, std::move(r));
            break;
        }
        case 1: {
            auto r = book.clients.GetAt(at);
            r.person.name = key;
            us = timed(book.clients, std::move(r));
            break;
        }
        case 2: {
            auto r = book.members.GetAt(at);
            r.staffNo = key;
            us = timed(book.members, std::move(r));
            break;
        }
        default: {
            auto r = book.calendar.GetAt(at);
            r.text = key;
            us = timed(book.calendar, std::move(r));
            break;
        }
        }
        Timed& t = out[std::string(names[c]) + " " + kind];
        t.us.push_back(us);
        if (journal) t.bytes += journal->BytesRecorded() - before;
    }
}

fs::path BookOption(int argc, char** argv, int& changes, int& runs, unsigned& removes) {
    fs::path book;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--book")
            book = argv[i + 1];
        else if (a == "--changes")
            changes = std::atoi(argv[i + 1]);
        else if (a == "--runs")
            runs = std::atoi(argv[i + 1]);
        else if (a == "--removes")
            removes = static_cast<unsigned>(std::atoi(argv[i + 1]));
        else
            Fail("unknown option " + a);
    }
    if (book.empty()) Fail("--book DIR is needed (storage_bench --write-book DIR writes one)");
    return book;
}

int Cost(int argc, char** argv) {
    int changes = 20000, runs = 0;
    unsigned removes = 20;
    const fs::path dir = LinkedBook(BookOption(argc, argv, changes, runs, removes));
    std::map<std::string, Timed> with, without;
    {
        DataBook book;
        const vantorel::LoadReport loaded = vantorel::LoadAll(book, dir);
        std::printf("book: %d policies, %d clients, %d members, %d schedule entries\n", book.insurance.GetSize(),
                    book.clients.GetSize(), book.members.GetSize(), book.calendar.GetSize());
        // Without a journal first: the same changes on the same book.
        DataBook plain = book;
        Changes(plain, changes, 7, nullptr, without, removes);
        vantorel::Journal journal(dir);
        (void)journal.Open(book, loaded);
        Changes(book, changes, 7, &journal, with, removes);
        const std::uint64_t before = journal.BytesRecorded();
        const auto t0 = std::chrono::steady_clock::now();
        book.insurance.RemoveAll(); // "删 除 所 有 保 单"
        const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
        std::printf("\"删 除 所 有 保 单\" on %d policies: %.0f us, %llu bytes of journal\n", plain.insurance.GetSize(),
                    us, static_cast<unsigned long long>(journal.BytesRecorded() - before));
        if (!journal.Flush()) Fail("journal not written");
        std::printf("journal on disk: %llu bytes for %llu recorded\n",
                    static_cast<unsigned long long>(fs::file_size(dir / vantorel::kJournalFileName)),
                    static_cast<unsigned long long>(journal.BytesRecorded()));
        (void)journal.Close(false);
    }
    std::printf("one change on the user-interface thread, the call a page makes (%d changes):\n", changes);
    Timed all, allWithout;
    for (const auto& [what, t] : with) {
        std::printf("%s\n", Line(what.c_str(), t, &without[what]).c_str());
        all.us.insert(all.us.end(), t.us.begin(), t.us.end());
        all.bytes += t.bytes;
    }
    for (const auto& [what, t] : without) allWithout.us.insert(allWithout.us.end(), t.us.begin(), t.us.end());
    std::printf("%s\n", Line("all", all, &allWithout).c_str());
    fs::remove_all(dir);
    return 0;
}

int ReplayBench(int argc, char** argv) {
    int changes = 10000, runs = 5;
    unsigned removes = 20;
    const fs::path dir = LinkedBook(BookOption(argc, argv, changes, runs, removes));
    const fs::path path = dir / vantorel::kJournalFileName;
    {
        DataBook book;
        const vantorel::LoadReport loaded = vantorel::LoadAll(book, dir);
        vantorel::Journal journal(dir);
        (void)journal.Open(book, loaded);
        std::map<std::string, Timed> ignored;
        Changes(book, changes, 11, &journal, ignored, removes);
        if (!journal.Close(false)) Fail("journal not written");
    } // as a killed run leaves it once its changes are on disk
    const std::string left = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }();
    std::printf("journal of %d changes (%u%% removes, the rest adds and replaces): %zu bytes\n", changes, removes,
                left.size());
    std::vector<double> load, replay, rewrite;
    int applied = 0;
    for (int r = 0; r < runs; ++r) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << left;
        DataBook book;
        double t0 = NowMs();
        const vantorel::LoadReport loaded = vantorel::LoadAll(book, dir);
        double t1 = NowMs();
        vantorel::Journal journal(dir);
        const vantorel::JournalRecovery rec = journal.Open(book, loaded);
        double t2 = NowMs();
        (void)journal.Flush(); // the new journal, written by its thread meanwhile
        double t3 = NowMs();
        applied = rec.Applied();
        load.push_back(t1 - t0);
        replay.push_back(t2 - t1);
        rewrite.push_back(t3 - t2);
        (void)journal.Close(false);
    }
    std::printf("start after an unclean end, %d runs (min / median / max ms):\n", runs);
    std::printf("  LoadAll                      %s\n", bench::Spread(load).c_str());
    std::printf("  replay of %d changes      %s  (read, check, apply; %d applied)\n", changes,
                bench::Spread(replay).c_str(), applied);
    std::printf("  new journal written (its thread, the window meanwhile up) %s\n", bench::Spread(rewrite).c_str());
    fs::remove_all(dir);
    return 0;
}

// ---------------------------------------------------------------- keeping a file aside

int KeepAsideBench(int argc, char** argv) {
    int mb = 1024;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) != "--mb") Fail(std::string("unknown option ") + argv[i]);
        mb = std::atoi(argv[i + 1]);
    }
    char tmpl[] = "/tmp/keep-aside-XXXXXX";
    if (!::mkdtemp(tmpl)) Fail("mkdtemp");
    const fs::path dir = tmpl;
    {
        // A count of 0, then bytes no record accounts for.
        std::ofstream out(dir / vantorel::kDataFileNames[0], std::ios::binary);
        out.write("\0\0\0\0", 4);
        std::string piece(1 << 20, '\0');
        for (std::size_t k = 0; k < piece.size(); ++k) piece[k] = static_cast<char>(k * 7919 >> 3);
        for (int k = 0; k < mb; ++k) out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        if (!out) Fail("cannot write the data file");
    }
    std::printf("start over a %d MiB data file with unread bytes (LoadAll, ms; load %s):\n", mb,
                bench::LoadAverage().c_str());
    for (const bool links : {true, false}) {
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().filename() != vantorel::kDataFileNames[0]) fs::remove(e.path());
        testkit::FailingStorage storage;
        if (!links) storage.Fail({.step = testkit::FailingStorage::Step::link, .file = ""});
        for (const char* start : {"first start", "second start"}) {
            DataBook book;
            const double t0 = NowMs();
            const vantorel::FileLoadResult r = vantorel::LoadAll(book, dir, storage)[0];
            const double t1 = NowMs();
            if (r.setAside.empty()) Fail("not kept aside: " + r.reason);
            std::printf("  %-8s %-13s %9.1f  kept as %s\n", links ? "linked" : "copied", start, t1 - t0,
                        r.setAside.filename().string().c_str());
        }
    }
    fs::remove_all(dir);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "child") return Child(argc, argv);
    if (mode == "kill") return Kill(argc, argv, false);
    if (mode == "damaged-kill") return Kill(argc, argv, true);
    if (mode == "keep-aside") return KeepAsideBench(argc, argv);
    if (mode == "cost") return Cost(argc, argv);
    if (mode == "replay") return ReplayBench(argc, argv);
    std::fprintf(stderr, "usage: journal_bench kill [--trials N] [--seed S] [--max-ms M]\n"
                         "       journal_bench damaged-kill [--trials N] [--seed S] [--max-ms M] [--policies N]\n"
                         "       journal_bench keep-aside [--mb N]\n"
                         "       journal_bench cost --book DIR [--changes N] [--removes PERCENT]\n"
                         "       journal_bench replay --book DIR [--changes N] [--runs N] [--removes PERCENT]\n");
    return 2;
}
