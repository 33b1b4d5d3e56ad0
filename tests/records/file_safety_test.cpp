// What the data files must never lose or expose: bytes the loader did not
// read, records typed into a collection whose file could not be read, links,
// modes, and files that are not files at all.
#include "storage_kit.h"
#include "records/data_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>
#endif

using namespace vantorel;
using testkit::ReadBytes;
using testkit::Saved;
using testkit::Stored;
using testkit::TempDir;
using testkit::WriteBytes;
namespace fs = std::filesystem;
using Step = testkit::FailingStorage::Step;

namespace {

std::vector<fs::path> Starting(const fs::path& dir, const std::string& prefix) {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind(prefix, 0) == 0) found.push_back(e.path());
    std::sort(found.begin(), found.end());
    return found;
}

std::string Int32(std::uint32_t n) {
    return testkit::B({int(n & 255), int(n >> 8 & 255), int(n >> 16 & 255), int(n >> 24)});
}

} // namespace

TEST(FileSafety, BytesTheLoaderDidNotReadAreCopiedAsideOnceBeforeTheSave) {
    TempDir dir;
    DataBook book;
    testkit::FillSampleBook(book);
    const std::string policies = Stored(book.insurance), clients = Stored(book.clients),
                      schedule = Stored(book.calendar);
    CCalendar first;
    first.Add(book.calendar.GetAt(0));
    const std::string firstEntry = Stored(first).substr(4);
    struct Case {
        std::string bytes;
        int records;
        std::uint64_t offset;
    } cases[] = {
        {policies + "tail", 4, policies.size()},                   // bytes after the last record
        {Int32(0xFFFFFFFF) + clients.substr(4), 0, 4},             // count -1, records after it
        {Int32(0x80000000) + clients.substr(4), 0, 4},             // INT_MIN
        {Int32(1) + schedule.substr(4), 1, 4 + firstEntry.size()}, // a count damaged from 3 to 1
    };
    const std::size_t files[] = {0, 1, 1, 3};
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE(k);
        const fs::path data = dir / kDataFileNames[files[k]];
        WriteBytes(data, cases[k].bytes);
        DataBook read;
        const LoadReport loaded = LoadAll(read, dir.path());
        const FileLoadResult& r = loaded[files[k]];
        EXPECT_EQ(r.state, LoadState::unreadBytes);
        EXPECT_EQ(r.records, cases[k].records);
        EXPECT_EQ(r.offset, cases[k].offset);
        EXPECT_EQ(r.unread, cases[k].bytes.size() - cases[k].offset);
        EXPECT_FALSE(r.keepOnSave);
        // The original stays where it was, and a whole copy waits beside it.
        ASSERT_FALSE(r.setAside.empty());
        EXPECT_EQ(r.setAside.parent_path(), dir.path());
        EXPECT_EQ(r.setAside.filename().string().rfind(std::string(kDataFileNames[files[k]]) + ".unread-", 0), 0u);
        EXPECT_EQ(ReadBytes(data), cases[k].bytes);
        EXPECT_EQ(ReadBytes(r.setAside), cases[k].bytes);
        for (const auto& s : SaveAll(read, dir.path(), &loaded)) EXPECT_TRUE(Saved(s)) << s.reason;
        EXPECT_EQ(ReadBytes(data), Stored(read.Collection(files[k])));
        EXPECT_EQ(ReadBytes(r.setAside), cases[k].bytes);
        // Saved once, the file is whole: the next start names nothing and copies nothing.
        DataBook again;
        EXPECT_EQ(LoadAll(again, dir.path())[files[k]].state, LoadState::loaded);
        EXPECT_EQ(Starting(dir.path(), kDataFileNames[files[k]]).size(), 2u);
        fs::remove(r.setAside);
    }
    // Neither a link nor a copy that can be made: the file stays where it was, and no save writes over it.
    WriteBytes(dir / "data4.bcm", schedule + "tail");
    DataBook read;
    testkit::FailingStorage storage({.step = Step::link, .file = "data4.bcm.unread-"});
    storage.AlsoFail({.step = Step::create, .file = "data4.bcm.unread-"});
    const LoadReport loaded = LoadAll(read, dir.path(), storage);
    EXPECT_EQ(loaded[3].state, LoadState::unreadBytes);
    EXPECT_TRUE(loaded[3].setAside.empty());
    EXPECT_TRUE(loaded[3].keepOnSave);
    EXPECT_FALSE(loaded[3].reason.empty());
    EXPECT_FALSE(Saved(SaveAll(read, dir.path(), &loaded)[3]));
    EXPECT_EQ(ReadBytes(dir / "data4.bcm"), schedule + "tail");
}

TEST(FileSafety, AFileNotReadCompletelyIsKeptOnceHoweverOftenItIsLoadedLinkedOrElseCopied) {
    DataBook book;
    testkit::FillSampleBook(book);
    const std::string schedule = Stored(book.calendar);
    // Put in place as the program and the data tool write files: a new file renamed over the old.
    const auto put = [](const fs::path& file, const std::string& bytes) {
        WriteBytes(file.string() + ".new", bytes);
        fs::rename(file.string() + ".new", file);
    };
    struct Case {
        const char* what;
        std::string bytes, other; // `other`: the same size, other bytes
        const char* suffix;
    } cases[] = {
        {"unread bytes", schedule + "tail", schedule + "TAIL", ".unread-"},
        {"damaged", schedule.substr(0, schedule.size() - 2), schedule.substr(0, schedule.size() - 3) + "x",
         ".damaged-"},
    };
    for (const Case& c : cases)
        for (const bool links : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (links ? ", linked" : ", copied"));
            TempDir dir;
            const fs::path data = dir / "data4.bcm";
            put(data, c.bytes);
            testkit::FailingStorage storage;
            if (!links) storage.Fail({.step = Step::link});
            // The first start keeps the file aside; later ones (no save between) name the same.
            fs::path kept;
            for (int start = 0; start < 3; ++start) {
                storage.Forget();
                DataBook read;
                const FileLoadResult r = LoadAll(read, dir.path(), storage)[3];
                EXPECT_FALSE(r.keepOnSave);
                ASSERT_FALSE(r.setAside.empty()) << r.reason;
                EXPECT_EQ(r.setAside.filename().string().rfind(std::string("data4.bcm") + c.suffix, 0), 0u);
                if (start == 0) kept = r.setAside;
                EXPECT_EQ(r.setAside, kept);
                EXPECT_EQ(ReadBytes(kept), c.bytes);
                EXPECT_EQ(ReadBytes(data), c.bytes);
                EXPECT_EQ(Starting(dir.path(), "data4.bcm.").size(), 1u);
                // Only a first copy writes; where links are made, no start reads the file to keep it.
                EXPECT_EQ(storage.Taken(Step::create).size(), !links && start == 0 ? 1u : 0u);
                if (links) {
                    EXPECT_TRUE(storage.Taken(Step::copy).empty());
                }
            }
            const Result<FileIdentity> a = IdentityOf(data), b = IdentityOf(kept);
            ASSERT_TRUE(a && b);
            EXPECT_EQ(a->inode == b->inode, links);
            // Another file of the same size is another file: kept too, once; the first stays as it was.
            put(data, c.other);
            fs::path second;
            for (int start = 0; start < 2; ++start) {
                DataBook read;
                const FileLoadResult r = LoadAll(read, dir.path(), storage)[3];
                ASSERT_FALSE(r.setAside.empty()) << r.reason;
                if (start == 0) second = r.setAside;
                EXPECT_EQ(r.setAside, second);
                EXPECT_NE(second, kept);
                EXPECT_EQ(ReadBytes(second), c.other);
                EXPECT_EQ(ReadBytes(kept), c.bytes);
                EXPECT_EQ(Starting(dir.path(), "data4.bcm.").size(), 2u);
            }
            // The first file back again (restored by the user, say): its copy is named again.
            put(data, c.bytes);
            DataBook read;
            EXPECT_EQ(LoadAll(read, dir.path(), storage)[3].setAside, kept);
            EXPECT_EQ(Starting(dir.path(), "data4.bcm.").size(), 2u);
        }
    // A symbolic link of that name is no copy: it would follow whatever replaces the file.
    TempDir dir;
    WriteBytes(dir / "data4.bcm", schedule + "tail");
    std::error_code linked;
    fs::create_symlink("data4.bcm", dir / "data4.bcm.unread-20000101-000000", linked);
    if (!linked) {
        DataBook read;
        const fs::path kept = LoadAll(read, dir.path())[3].setAside;
        EXPECT_NE(kept.filename(), "data4.bcm.unread-20000101-000000");
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(kept)));
    }
}

TEST(FileSafety, RecordsTypedIntoACollectionWhoseFileCouldNotBeReadAreSavedBesideIt) {
    TempDir dir;
    // A folder where data2.bcm should be: no one, root included, can read it as a file.
    fs::create_directory(dir / "data2.bcm");
    WriteBytes(dir / "data2.bcm" / "inside", "kept");
    DataBook book;
    LoadReport loaded = LoadAll(book, dir.path());
    ASSERT_EQ(loaded[1].state, LoadState::unreadable);

    // Nothing typed: nothing to keep, no new file.
    SaveReport saved = SaveAll(book, dir.path(), &loaded);
    EXPECT_FALSE(Saved(saved[1]));
    EXPECT_TRUE(saved[1].savedAs.empty());
    EXPECT_EQ(Starting(dir.path(), "data2.bcm").size(), 1u);

    // Typed records go to a new file beside it, a new one each time, never over anything.
    book.clients.Add({.person = {.name = testkit::kZhangSan}});
    std::vector<fs::path> beside;
    for (int round = 0; round < 2; ++round) {
        saved = SaveAll(book, dir.path(), &loaded);
        EXPECT_TRUE(Saved(saved[1])) << saved[1].reason;
        ASSERT_FALSE(saved[1].savedAs.empty());
        EXPECT_EQ(saved[1].savedAs.parent_path(), dir.path());
        EXPECT_EQ(saved[1].savedAs.filename().string().rfind("data2.bcm.unsaved-", 0), 0u);
        EXPECT_EQ(ReadBytes(saved[1].savedAs), Stored(book.clients));
        beside.push_back(saved[1].savedAs);
        // The one-file save used for a retry does the same.
        const FileSaveResult again = SaveOne(book, CollectionId::clients, dir.path(), &loaded);
        EXPECT_TRUE(Saved(again));
        EXPECT_NE(again.savedAs, saved[1].savedAs);
        beside.push_back(again.savedAs);
    }
    for (const auto& p : beside) EXPECT_EQ(ReadBytes(p), Stored(book.clients));
    EXPECT_EQ(Starting(dir.path(), "data2.bcm.unsaved-").size(), 4u);
    EXPECT_EQ(ReadBytes(dir / "data2.bcm" / "inside"), "kept");
    for (std::size_t i : {0, 2, 3}) EXPECT_TRUE(Saved(saved[i]) && saved[i].savedAs.empty());

    // Emptied again: what was read (nothing) is what there is; no new file.
    book.clients.RemoveAll();
    EXPECT_TRUE(SaveAll(book, dir.path(), &loaded)[1].savedAs.empty());
    EXPECT_EQ(Starting(dir.path(), "data2.bcm.unsaved-").size(), 4u);
}

#ifndef _WIN32

namespace {

unsigned Mode(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

struct Umask {
    explicit Umask(mode_t m) : old(::umask(m)) {}
    ~Umask() { ::umask(old); }
    mode_t old;
};

} // namespace

TEST(FileSafety, SavingWritesThroughLinksKeepsModesAndCreatesPrivateFiles) {
    Umask umask(022);
    TempDir dir;
    DataBook book;
    testkit::FillSampleBook(book);
    fs::create_directory(dir / "elsewhere");
    // data1: a relative link to a 0640 file; data2: a 0600 file; data3: missing;
    // data4: a link to a file that does not exist yet.
    WriteBytes(dir / "elsewhere" / "policies", Stored(book.insurance));
    fs::permissions(dir / "elsewhere" / "policies", fs::perms(0640));
    fs::create_symlink(fs::path("elsewhere") / "policies", dir / "data1.bcm");
    WriteBytes(dir / "data2.bcm", Stored(book.clients));
    fs::permissions(dir / "data2.bcm", fs::perms(0600));
    fs::create_symlink(dir / "elsewhere" / "schedule", dir / "data4.bcm");
    WriteBytes(dir / "data3.BAK", "old backup");
    fs::permissions(dir / "data3.BAK", fs::perms(0644));

    DataBook read;
    const LoadReport loaded = LoadAll(read, dir.path());
    EXPECT_EQ(loaded[0].state, LoadState::loaded);
    read.insurance.RemoveAt(0);
    read.calendar.Add({20040529, "new"});
    read.members.Add({.staffNo = "S9"});
    for (const auto& s : SaveAll(read, dir.path(), &loaded)) EXPECT_TRUE(Saved(s)) << s.reason;

    EXPECT_TRUE(fs::is_symlink(dir / "data1.bcm"));
    EXPECT_EQ(ReadBytes(dir / "elsewhere" / "policies"), Stored(read.insurance));
    EXPECT_EQ(Mode(dir / "elsewhere" / "policies"), 0640u);
    EXPECT_EQ(Mode(dir / "data2.bcm"), 0600u);
    EXPECT_EQ(Mode(dir / "data3.bcm"), 0600u);
    EXPECT_TRUE(fs::is_symlink(dir / "data4.bcm"));
    EXPECT_EQ(ReadBytes(dir / "elsewhere" / "schedule"), Stored(read.calendar));
    EXPECT_EQ(Mode(dir / "elsewhere" / "schedule"), 0600u);
    EXPECT_TRUE(Starting(dir / "elsewhere", "policies.").empty()); // no temporary file left

    // Backups are no more open than the data files they stand for, and private when there is none.
    fs::remove(dir / "data3.bcm");
    for (const auto& r : BackupAll(read, dir.path(), &loaded)) ASSERT_TRUE(r.written) << r.reason;
    EXPECT_EQ(Mode(dir / "data1.BAK"), 0640u);
    EXPECT_EQ(Mode(dir / "data2.BAK"), 0600u);
    EXPECT_EQ(Mode(dir / "data3.BAK"), 0600u);
    EXPECT_EQ(ReadBytes(dir / "data1.BAK"), Stored(read.insurance));

    // Copies kept beside a file take its mode; a file of records saved beside an
    // unreadable one is private.
    WriteBytes(dir / "elsewhere" / "policies", Stored(book.insurance) + "tail");
    fs::remove(dir / "data3.bcm");
    fs::create_directory(dir / "data3.bcm");
    DataBook again;
    const LoadReport second = LoadAll(again, dir.path());
    ASSERT_FALSE(second[0].setAside.empty());
    EXPECT_EQ(second[0].setAside.parent_path(), dir / "elsewhere");
    EXPECT_EQ(Mode(second[0].setAside), 0640u);
    again.members.Add({.staffNo = "S10"});
    const SaveReport saved = SaveAll(again, dir.path(), &second);
    ASSERT_FALSE(saved[2].savedAs.empty());
    EXPECT_EQ(Mode(saved[2].savedAs), 0600u);
}

TEST(FileSafety, AFifoInPlaceOfADataFileIsUnreadableAndLeftAlone) {
    TempDir dir;
    DataBook book;
    testkit::FillSampleBook(book);
    for (std::size_t i = 0; i < kFileCount; ++i) WriteBytes(dir / kDataFileNames[i], Stored(book.Collection(i)));
    fs::remove(dir / "data3.bcm");
    ASSERT_EQ(::mkfifo((dir / "data3.bcm").c_str(), 0600), 0);
    // Run `work` elsewhere; if it blocks on the FIFO, a writer opening the other
    // end lets it go, and the test fails.
    auto finishes = [&](auto work) {
        auto done = std::async(std::launch::async, work);
        if (done.wait_for(std::chrono::seconds(3)) == std::future_status::ready) return done.get(), true;
        while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            const int fd = ::open((dir / "data3.bcm").c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
        }
        done.get();
        return false;
    };
    DataBook read;
    LoadReport loaded;
    EXPECT_TRUE(finishes([&] { loaded = LoadAll(read, dir.path()); })) << "loading hangs on a FIFO";
    EXPECT_EQ(loaded[2].state, LoadState::unreadable);
    EXPECT_TRUE(loaded[2].keepOnSave);
    EXPECT_EQ(loaded[3].state, LoadState::loaded);
    EXPECT_EQ(read.calendar.CopyAll(), book.calendar.CopyAll());
    for (std::size_t i : {0, 1, 3}) EXPECT_TRUE(Saved(SaveAll(read, dir.path(), &loaded)[i]));
    EXPECT_TRUE(fs::is_fifo(dir / "data3.bcm"));
    // The backup writes what the program holds and never opens the FIFO.
    BackupReport backedUp;
    EXPECT_TRUE(finishes([&] { backedUp = BackupAll(read, dir.path(), &loaded); })) << "the backup hangs on a FIFO";
    for (const auto& r : backedUp) EXPECT_TRUE(r.written) << r.reason;
    EXPECT_TRUE(backedUp[2].partial);
    EXPECT_EQ(ReadBytes(dir / "data3.BAK"), std::string(4, '\0'));
    EXPECT_TRUE(fs::is_fifo(dir / "data3.bcm"));
}

#endif
