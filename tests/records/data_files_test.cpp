#include "storage_kit.h"
#include "records/data_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

using namespace vantorel;
using testkit::ReadBytes;
using testkit::Saved;
using testkit::Stored;
using testkit::TempDir;
using testkit::WriteBytes;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

namespace {

using Step = testkit::FailingStorage::Step;

// A folder holding the four files of the sample book.
struct SampleDir : TempDir {
    DataBook book;
    SampleDir() {
        testkit::FillSampleBook(book);
        for (const CollectionId id : kCollections) WriteBytes(*this / kDataFileNames[id], Stored(book.Collection(id)));
    }
    Names Files() const {
        Names names;
        for (const auto& e : fs::directory_iterator(path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

TEST(DataFiles, MissingEmptyAndLeftoverFilesAtLoadThenFourFilesAtSave) {
    SampleDir dir;
    WriteBytes(dir / "data1.bcm", "");
    fs::remove(dir / "data2.bcm");
    fs::remove(dir / "data4.bcm");
    for (const char* n : {"data1.bcm.saving", "data4.bcm.saving", "data2.BAK.saving"}) WriteBytes(dir / n, "half");
    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    const LoadState states[] = {LoadState::empty, LoadState::missing, LoadState::loaded, LoadState::missing};
    for (std::size_t i = 0; i < kFileCount; ++i) {
        EXPECT_EQ(loaded[i].state, states[i]) << i;
        EXPECT_FALSE(loaded[i].keepOnSave) << i;
    }
    EXPECT_EQ(book.members.CopyAll(), dir.book.members.CopyAll());
    EXPECT_EQ(dir.Files(), (Names{"data1.bcm", "data3.bcm"}));
    for (const auto& r : SaveAll(book, dir.path(), &loaded)) EXPECT_TRUE(Saved(r)) << r.reason;
    for (std::size_t i = 0; i < kFileCount; ++i)
        EXPECT_EQ(ReadBytes(dir / kDataFileNames[i]), i == 2 ? Stored(book.members) : std::string(4, '\0'));
    EXPECT_EQ(dir.Files(), (Names{"data1.bcm", "data2.bcm", "data3.bcm", "data4.bcm"}));
}

TEST(DataFiles, ADamagedFileStaysInPlaceKeptAsideOnceUntilASaveReplacesIt) {
    SampleDir dir;
    const std::string whole = Stored(dir.book.clients), damaged = whole.substr(0, whole.size() - 3);
    WriteBytes(dir / "data2.bcm", damaged);
    fs::path aside;
    // Started again and again with no save between (a program killed each
    // time): the same records each time, and the file kept aside once.
    for (int start = 0; start < 3; ++start) {
        SCOPED_TRACE(start);
        DataBook book;
        const LoadReport loaded = LoadAll(book, dir.path());
        for (std::size_t i : {0, 2, 3}) EXPECT_EQ(loaded[i].state, LoadState::loaded);
        ASSERT_EQ(loaded[1].state, LoadState::damaged);
        EXPECT_EQ(loaded[1].records, 2);
        EXPECT_EQ(book.clients.GetSize(), 2);
        EXPECT_EQ(loaded[1].offset, damaged.size() - 2); // the last education copy
        EXPECT_FALSE(loaded[1].reason.empty());
        EXPECT_FALSE(loaded[1].keepOnSave);
        EXPECT_EQ(ReadBytes(dir / "data2.bcm"), damaged);
        EXPECT_EQ(loaded[1].setAside.parent_path(), dir.path());
        EXPECT_EQ(loaded[1].setAside.filename().string().rfind("data2.bcm.damaged-", 0), 0u);
        if (start == 0) aside = loaded[1].setAside;
        EXPECT_EQ(loaded[1].setAside, aside);
        EXPECT_EQ(ReadBytes(aside), damaged);
        EXPECT_EQ(dir.Files(), (Names{"data1.bcm", "data2.bcm", aside.filename().string(), "data3.bcm", "data4.bcm"}));
    }
    // Kept by a second name for the same file: nothing was copied.
    const Result<FileIdentity> file = IdentityOf(dir / "data2.bcm"), kept = IdentityOf(aside);
    ASSERT_TRUE(file && kept);
    EXPECT_EQ(file->inode, kept->inode);
    // The save replaces the file with what was kept and typed; the damaged bytes stay aside.
    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    book.clients.Add({.person = {.name = "typed"}});
    for (const auto& r : SaveAll(book, dir.path(), &loaded)) EXPECT_TRUE(Saved(r)) << r.reason;
    EXPECT_EQ(ReadBytes(dir / "data2.bcm"), Stored(book.clients));
    EXPECT_EQ(ReadBytes(aside), damaged);
    DataBook again;
    EXPECT_EQ(LoadAll(again, dir.path())[1].state, LoadState::loaded);
    EXPECT_EQ(again.clients.GetSize(), 3);
    EXPECT_EQ(dir.Files().size(), 5u);
}

TEST(DataFiles, SaveFailureAtAnyStepKeepsTheOldFileAndSavesTheOthers) {
    struct Case {
        Step step;
        std::uint64_t after;
    } cases[] = {{Step::create, 0}, {Step::write, 0}, {Step::write, 4096},
                 {Step::sync, 0},   {Step::close, 0}, {Step::rename, 0}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(testkit::FailingStorage::Name(k.step)) + " after " + std::to_string(k.after));
        SampleDir dir;
        const std::string old = ReadBytes(dir / "data1.bcm");
        DataBook book;
        const LoadReport loaded = LoadAll(book, dir.path());
        book.Clear();
        book.insurance.Add(dir.book.insurance.GetAt(3)); // over 4096 bytes
        testkit::FailingStorage storage({.step = k.step, .file = "data1.bcm", .afterBytes = k.after});
        const SaveReport saved = SaveAll(book, dir.path(), &loaded, storage);
        EXPECT_FALSE(Saved(saved[0]));
        EXPECT_NE(saved[0].reason.find("injected"), std::string::npos) << saved[0].reason;
        EXPECT_EQ(ReadBytes(dir / "data1.bcm"), old);
        for (std::size_t i = 1; i < kFileCount; ++i) {
            EXPECT_TRUE(Saved(saved[i])) << saved[i].reason;
            EXPECT_EQ(ReadBytes(dir / kDataFileNames[i]), std::string(4, '\0'));
        }
        EXPECT_FALSE(fs::exists(dir / "data1.bcm.saving"));
        // Retrying once the fault is gone succeeds.
        EXPECT_TRUE(Saved(SaveAll(book, dir.path(), &loaded)[0]));
        EXPECT_EQ(ReadBytes(dir / "data1.bcm"), Stored(book.insurance));
    }
}

TEST(DataFiles, FilesThatCannotBeReadOrReplacedAndFoldersThatCannotBeWritten) {
    SampleDir dir;
    // data3.bcm is a folder with something in it: it opens but cannot be read,
    // and no rename can replace it.
    fs::remove(dir / "data3.bcm");
    fs::create_directory(dir / "data3.bcm");
    WriteBytes(dir / "data3.bcm" / "inside", "kept");
    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    EXPECT_EQ(loaded[2].state, LoadState::unreadable);
    EXPECT_TRUE(loaded[2].keepOnSave);
    EXPECT_EQ(loaded[3].state, LoadState::loaded);
    book.calendar.RemoveAll();
    // Something already sits where data2's temporary file would go, and
    // data2 has something to write.
    book.clients.RemoveAt(0);
    fs::create_directory(dir / "data2.bcm.saving");
    WriteBytes(dir / "data2.bcm.saving" / "inside", "kept");
    const std::string oldClients = ReadBytes(dir / "data2.bcm");

    for (const SaveReport& saved : {SaveAll(book, dir.path(), &loaded), SaveAll(book, dir.path())}) {
        EXPECT_TRUE(Saved(saved[0]));
        EXPECT_FALSE(Saved(saved[1]) || saved[1].reason.empty());
        EXPECT_FALSE(Saved(saved[2]) || saved[2].reason.empty());
        EXPECT_TRUE(Saved(saved[3]));
    }
    EXPECT_EQ(ReadBytes(dir / "data2.bcm"), oldClients);
    EXPECT_EQ(ReadBytes(dir / "data3.bcm" / "inside"), "kept");
    EXPECT_FALSE(fs::exists(dir / "data3.bcm.saving"));
    EXPECT_EQ(ReadBytes(dir / "data4.bcm"), std::string(4, '\0'));

    // A "folder" that is really a file: nothing can be written, nothing is lost.
    WriteBytes(dir / "plain", "not a folder");
    for (const auto& r : SaveAll(book, dir / "plain")) EXPECT_FALSE(Saved(r) || r.reason.empty());
    EXPECT_EQ(ReadBytes(dir / "plain"), "not a folder");
}

TEST(Backup, WritesTheBookAsItIsNowFileByFileAndNeverTheDataFiles) {
    SampleDir dir;
    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    std::vector<FileIdentity> files;
    for (const char* name : kDataFileNames) files.push_back(*IdentityOf(dir / name));
    testkit::FailingStorage storage;
    // Unchanged since the start: each backup is its data file, byte for byte.
    BackupReport backup = BackupAll(book, dir.path(), &loaded, storage);
    for (std::size_t i = 0; i < kFileCount; ++i) {
        EXPECT_EQ(backup[i].file, kBackupFileNames[i]);
        EXPECT_TRUE(backup[i].written) << backup[i].reason;
        EXPECT_FALSE(backup[i].partial);
        EXPECT_EQ(ReadBytes(dir / kBackupFileNames[i]), ReadBytes(dir / kDataFileNames[i])) << i;
    }
    // What was typed since is in the backup, and only the backups are written.
    book.members.Add({.staffNo = "S9"});
    book.calendar.RemoveAll();
    storage.Forget();
    backup = BackupAll(book, dir.path(), &loaded, storage);
    for (std::size_t i = 0; i < kFileCount; ++i) {
        EXPECT_TRUE(backup[i].written) << backup[i].reason;
        EXPECT_EQ(ReadBytes(dir / kBackupFileNames[i]), Stored(book.Collection(i))) << i;
        EXPECT_EQ(*IdentityOf(dir / kDataFileNames[i]), files[i]) << i;
    }
    EXPECT_EQ(storage.Taken(Step::create),
              (Names{"data1.BAK.saving", "data2.BAK.saving", "data3.BAK.saving", "data4.BAK.saving"}));

    // One that fails at any step leaves its earlier backup whole; the others are written.
    const std::string previous(10000, 'p'); // longer than the new one
    for (const Step step : {Step::create, Step::write, Step::sync, Step::close, Step::rename}) {
        SCOPED_TRACE(testkit::FailingStorage::Name(step));
        WriteBytes(dir / "data2.BAK", previous);
        fs::remove(dir / "data3.BAK");
        book.calendar.Add({20040529, "again"});
        storage.Fail({.step = step, .file = "data2.BAK"});
        backup = BackupAll(book, dir.path(), &loaded, storage);
        EXPECT_FALSE(backup[1].written);
        EXPECT_NE(backup[1].reason.find("injected"), std::string::npos) << backup[1].reason;
        EXPECT_EQ(ReadBytes(dir / "data2.BAK"), previous);
        EXPECT_FALSE(fs::exists(dir / "data2.BAK.saving"));
        for (std::size_t i : {0, 2, 3}) {
            EXPECT_TRUE(backup[i].written) << backup[i].reason;
            EXPECT_EQ(ReadBytes(dir / kBackupFileNames[i]), Stored(book.Collection(i))) << i;
        }
    }

    // The first day, before any save: the backup holds what was typed, and no data file appears.
    TempDir first;
    DataBook typed;
    const LoadReport none = LoadAll(typed, first.path());
    typed.insurance.Add(testkit::SamplePolicy(1, 2, 1));
    for (const auto& r : BackupAll(typed, first.path(), &none)) EXPECT_TRUE(r.written && !r.partial) << r.reason;
    EXPECT_EQ(ReadBytes(first / "data1.BAK"), Stored(typed.insurance));
    EXPECT_EQ(ReadBytes(first / "data4.BAK"), std::string(4, '\0'));
    for (const char* name : kDataFileNames) EXPECT_FALSE(fs::exists(first / name)) << name;

    // A file not read completely: its backup holds the records kept from it, and says it is less.
    const std::string policies = ReadBytes(dir / "data1.bcm");
    WriteBytes(dir / "data1.bcm", policies.substr(0, policies.size() - 3));
    DataBook kept;
    const LoadReport damaged = LoadAll(kept, dir.path());
    ASSERT_EQ(damaged[0].state, LoadState::damaged);
    backup = BackupAll(kept, dir.path(), &damaged);
    EXPECT_TRUE(backup[0].written && backup[0].partial);
    EXPECT_EQ(ReadBytes(dir / "data1.BAK"), Stored(kept.insurance));
    for (std::size_t i = 1; i < kFileCount; ++i) EXPECT_FALSE(backup[i].partial);
}

TEST(DataFiles, AFileThatAlreadyHoldsWhatWouldBeWrittenIsNotWrittenAgain) {
    // Which data files the save wrote (created a temporary file for).
    testkit::FailingStorage storage;
    Names written;
    struct Case {
        const char* what;
        std::function<void(SampleDir&, DataBook&)> between; // after the load, before the save
        Names expected;
    } cases[] = {
        {"nothing changed", [](SampleDir&, DataBook&) {}, {}},
        {"a change undone",
         [](SampleDir&, DataBook& b) { b.calendar.RemoveAt(b.calendar.Add({})); },
         {"data4.bcm.saving"}},
        {"replaced behind our back",
         [](SampleDir& d, DataBook&) {
             const std::string same = ReadBytes(d / "data2.bcm");
             WriteBytes(d / "other", same);
             fs::rename(d / "other", d / "data2.bcm");
         },
         {"data2.bcm.saving"}},
        {"written in place",
         [](SampleDir& d, DataBook&) {
             WriteBytes(d / "data3.bcm", ReadBytes(d / "data3.bcm"));
             fs::last_write_time(d / "data3.bcm", fs::last_write_time(d / "data3.bcm") + std::chrono::hours(1));
         },
         {"data3.bcm.saving"}},
        {"removed", [](SampleDir& d, DataBook&) { fs::remove(d / "data1.bcm"); }, {"data1.bcm.saving"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SampleDir dir;
        DataBook book;
        const LoadReport loaded = LoadAll(book, dir.path());
        c.between(dir, book);
        storage.Forget();
        const SaveReport saved = SaveAll(book, dir.path(), &loaded, storage);
        written = storage.Taken(Step::create);
        EXPECT_EQ(written, c.expected);
        for (std::size_t i = 0; i < kFileCount; ++i) {
            EXPECT_TRUE(Saved(saved[i])) << saved[i].reason;
            const bool rewritten =
                std::count(written.begin(), written.end(), kDataFileNames[i] + std::string(".saving"));
            EXPECT_EQ(saved[i].outcome == SaveOutcome::unchanged, !rewritten) << i;
            EXPECT_EQ(ReadBytes(dir / kDataFileNames[i]), Stored(dir.book.Collection(i))) << i;
        }
    }
    // Missing, empty, rewritten by the writer or read without a report: always written.
    SampleDir dir;
    fs::remove(dir / "data1.bcm");
    WriteBytes(dir / "data2.bcm", "");
    const std::string schedule = Stored(dir.book.calendar);
    // The first entry's text "ab" with a 3-byte length where the writer uses 1 byte.
    WriteBytes(dir / "data4.bcm", schedule.substr(0, 12) + testkit::B({0xFF, 2, 0}) + schedule.substr(13));
    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    ASSERT_EQ(loaded[3].state, LoadState::loaded);
    storage.Forget();
    const SaveReport saved = SaveAll(book, dir.path(), &loaded, storage);
    written = storage.Taken(Step::create);
    EXPECT_EQ(written, (Names{"data1.bcm.saving", "data2.bcm.saving", "data4.bcm.saving"}));
    EXPECT_EQ(ReadBytes(dir / "data1.bcm"), std::string(4, '\0'));
    EXPECT_EQ(ReadBytes(dir / "data2.bcm"), std::string(4, '\0'));
    EXPECT_EQ(ReadBytes(dir / "data4.bcm"), schedule);
    storage.Forget();
    SaveAll(book, dir.path(), nullptr, storage);
    written = storage.Taken(Step::create);
    EXPECT_EQ(written.size(), kFileCount);
}
