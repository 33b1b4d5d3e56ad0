#include "records/data_files.h"
#include "sample_book.h"

#include <gtest/gtest.h>

using namespace vantorel;
using testkit::ReadBytes;
using testkit::Stored;
using testkit::TempDir;
using testkit::WriteBytes;
namespace fs = std::filesystem;

namespace {

// Clears the fault hook whatever the test does.
struct HookGuard {
    explicit HookGuard(StorageFaultHook h) { SetStorageFaultHook(std::move(h)); }
    ~HookGuard() { SetStorageFaultHook({}); }
};

// Fails `step` for files whose name starts with `prefix`; for "write", once
// `after` bytes have gone out.
StorageFaultHook FailAt(std::string step, std::string prefix, std::uint64_t after = 0) {
    return [=](const std::string& s, const fs::path& file, std::uint64_t written) {
        if (s == step && file.filename().string().rfind(prefix, 0) == 0 && written >= after)
            throw FileError("injected " + step + " failure");
    };
}

void WriteSampleFiles(const fs::path& dir) {
    DataBook book;
    testkit::FillSampleBook(book);
    for (std::size_t i = 0; i < kFileCount; ++i) WriteBytes(dir / kDataFileNames[i], Stored(book.Collection(i)));
}

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(DataFiles, FirstRunLoadsNothingAndSavesFourEmptyFiles) {
    TempDir dir;
    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    for (const auto& r : loaded) {
        EXPECT_EQ(r.state, LoadState::missing);
        EXPECT_FALSE(r.keepOnSave);
    }
    const SaveReport saved = SaveAll(book, dir.path(), &loaded);
    for (std::size_t i = 0; i < kFileCount; ++i) {
        EXPECT_TRUE(saved[i].saved) << saved[i].reason;
        EXPECT_EQ(ReadBytes(dir / kDataFileNames[i]), std::string(4, '\0'));
    }
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"data1.bcm", "data2.bcm", "data3.bcm", "data4.bcm"}));
}

TEST(DataFiles, EmptyFileIsSkippedAndOnlyPresentFilesLoad) {
    TempDir dir;
    DataBook sample;
    testkit::FillSampleBook(sample);
    WriteBytes(dir / "data1.bcm", "");
    WriteBytes(dir / "data3.bcm", Stored(sample.members));
    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    EXPECT_EQ(loaded[0].state, LoadState::empty);
    EXPECT_EQ(loaded[1].state, LoadState::missing);
    EXPECT_EQ(loaded[2].state, LoadState::loaded);
    EXPECT_EQ(loaded[2].records, 3);
    EXPECT_EQ(loaded[3].state, LoadState::missing);
    EXPECT_EQ(book.insurance.GetSize(), 0);
    EXPECT_EQ(book.clients.GetSize(), 0);
    EXPECT_EQ(book.members.Records(), sample.members.Records());
    EXPECT_EQ(book.calendar.GetSize(), 0);

    SaveAll(book, dir.path(), &loaded);
    EXPECT_EQ(ReadBytes(dir / "data1.bcm"), std::string(4, '\0'));
    EXPECT_EQ(ReadBytes(dir / "data3.bcm"), Stored(sample.members));
}

TEST(DataFiles, UnchangedBookIsRewrittenWithTheSameBytes) {
    TempDir dir;
    WriteSampleFiles(dir.path());
    std::vector<std::string> before;
    for (const char* n : kDataFileNames) before.push_back(ReadBytes(dir / n));
    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    for (const auto& r : loaded) EXPECT_EQ(r.state, LoadState::loaded);
    for (const auto& r : SaveAll(book, dir.path(), &loaded)) EXPECT_TRUE(r.saved);
    for (std::size_t i = 0; i < kFileCount; ++i) EXPECT_EQ(ReadBytes(dir / kDataFileNames[i]), before[i]);
}

TEST(DataFiles, DamagedFileIsSetAsideAndTheOthersStillLoad) {
    TempDir dir;
    WriteSampleFiles(dir.path());
    const std::string original = ReadBytes(dir / "data2.bcm");
    const std::string damaged = original.substr(0, original.size() - 3);
    WriteBytes(dir / "data2.bcm", damaged);

    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    EXPECT_EQ(loaded[0].state, LoadState::loaded);
    ASSERT_EQ(loaded[1].state, LoadState::damaged);
    EXPECT_EQ(loaded[1].records, 2);
    EXPECT_EQ(loaded[1].offset, damaged.size() - 2); // the last education copy
    EXPECT_EQ(loaded[2].state, LoadState::loaded);
    EXPECT_EQ(loaded[3].state, LoadState::loaded);
    EXPECT_EQ(book.clients.GetSize(), 2);
    EXPECT_EQ(book.calendar.GetSize(), 3);

    const fs::path aside = loaded[1].setAside;
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(aside.parent_path(), dir.path());
    EXPECT_NE(aside.filename(), "data2.bcm");
    EXPECT_FALSE(fs::exists(dir / "data2.bcm"));
    EXPECT_EQ(ReadBytes(aside), damaged);

    // The save writes what was kept and never touches the set-aside copy.
    for (const auto& r : SaveAll(book, dir.path(), &loaded)) EXPECT_TRUE(r.saved) << r.reason;
    EXPECT_EQ(ReadBytes(aside), damaged);
    EXPECT_EQ(ReadBytes(dir / "data2.bcm"), Stored(book.clients));

    // A second damaged load on the same second gets a name of its own.
    WriteBytes(dir / "data2.bcm", damaged);
    DataBook again;
    const LoadReport second = LoadAll(again, dir.path());
    ASSERT_EQ(second[1].state, LoadState::damaged);
    EXPECT_NE(second[1].setAside, aside);
    EXPECT_EQ(ReadBytes(aside), damaged);
    EXPECT_EQ(ReadBytes(second[1].setAside), damaged);
}

TEST(DataFiles, UnreadableFileIsNeverOverwritten) {
    TempDir dir;
    WriteSampleFiles(dir.path());
    fs::remove(dir / "data3.bcm");
    fs::create_directory(dir / "data3.bcm"); // opens but cannot be read as a file
    WriteBytes(dir / "data3.bcm" / "keep", "x");
    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    EXPECT_EQ(loaded[2].state, LoadState::unreadable);
    EXPECT_TRUE(loaded[2].keepOnSave);
    EXPECT_EQ(loaded[3].state, LoadState::loaded);
    const SaveReport saved = SaveAll(book, dir.path(), &loaded);
    EXPECT_FALSE(saved[2].saved);
    EXPECT_FALSE(saved[2].reason.empty());
    EXPECT_TRUE(saved[0].saved && saved[1].saved && saved[3].saved);
    EXPECT_EQ(ReadBytes(dir / "data3.bcm" / "keep"), "x");
}

TEST(DataFiles, SaveFailureAtAnyStepKeepsTheOldFileAndSavesTheOthers) {
    struct Case {
        const char* step;
        std::uint64_t after;
    } cases[] = {{"create", 0}, {"write", 0}, {"write", 4096}, {"sync", 0}, {"close", 0}, {"rename", 0}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.step) + " after " + std::to_string(k.after));
        TempDir dir;
        WriteSampleFiles(dir.path());
        const std::string old = ReadBytes(dir / "data1.bcm");
        DataBook book;
        const LoadReport loaded = LoadAll(book, dir.path());
        book.insurance.RemoveAt(0);
        book.clients.RemoveAt(0);
        book.members.RemoveAt(0);
        book.calendar.RemoveAt(0);
        SaveReport saved;
        {
            HookGuard hook(FailAt(k.step, "data1.bcm", k.after));
            saved = SaveAll(book, dir.path(), &loaded);
        }
        EXPECT_FALSE(saved[0].saved);
        EXPECT_NE(saved[0].reason.find("injected"), std::string::npos) << saved[0].reason;
        EXPECT_EQ(ReadBytes(dir / "data1.bcm"), old);
        for (std::size_t i = 1; i < kFileCount; ++i) {
            EXPECT_TRUE(saved[i].saved) << saved[i].reason;
            EXPECT_EQ(ReadBytes(dir / kDataFileNames[i]), Stored(book.Collection(i)));
        }
        EXPECT_FALSE(fs::exists(dir / "data1.bcm.saving"));
        // Retrying once the fault is gone succeeds.
        EXPECT_TRUE(SaveAll(book, dir.path(), &loaded)[0].saved);
        EXPECT_EQ(ReadBytes(dir / "data1.bcm"), Stored(book.insurance));
    }
}

TEST(DataFiles, FilesThatCannotBeReplacedOrFoldersThatCannotBeWritten) {
    TempDir dir;
    WriteSampleFiles(dir.path());
    DataBook book;
    testkit::FillSampleBook(book);
    book.calendar.RemoveAll();

    // data3.bcm is a folder with something in it: the rename cannot replace it.
    fs::remove(dir / "data3.bcm");
    fs::create_directory(dir / "data3.bcm");
    WriteBytes(dir / "data3.bcm" / "inside", "kept");
    // Something already sits where data2's temporary file would go.
    fs::create_directory(dir / "data2.bcm.saving");
    WriteBytes(dir / "data2.bcm.saving" / "inside", "kept");
    const std::string oldClients = ReadBytes(dir / "data2.bcm");

    const SaveReport saved = SaveAll(book, dir.path());
    EXPECT_TRUE(saved[0].saved);
    EXPECT_FALSE(saved[1].saved);
    EXPECT_FALSE(saved[1].reason.empty());
    EXPECT_FALSE(saved[2].saved);
    EXPECT_FALSE(saved[2].reason.empty());
    EXPECT_TRUE(saved[3].saved);
    EXPECT_EQ(ReadBytes(dir / "data2.bcm"), oldClients);
    EXPECT_EQ(ReadBytes(dir / "data3.bcm" / "inside"), "kept");
    EXPECT_FALSE(fs::exists(dir / "data3.bcm.saving"));
    EXPECT_EQ(ReadBytes(dir / "data4.bcm"), std::string(4, '\0'));

    // A "folder" that is really a file: nothing can be written, nothing is lost.
    WriteBytes(dir / "plain", "not a folder");
    for (const auto& r : SaveAll(book, dir / "plain")) {
        EXPECT_FALSE(r.saved);
        EXPECT_FALSE(r.reason.empty());
    }
    EXPECT_EQ(ReadBytes(dir / "plain"), "not a folder");
}

TEST(DataFiles, LeftoverTemporaryFilesAreRemovedAtLoad) {
    TempDir dir;
    WriteSampleFiles(dir.path());
    for (const char* n : {"data1.bcm.saving", "data4.bcm.saving", "data2.BAK.saving"}) WriteBytes(dir / n, "half");
    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    EXPECT_EQ(loaded[0].state, LoadState::loaded);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"data1.bcm", "data2.bcm", "data3.bcm", "data4.bcm"}));
}

TEST(Backup, CopiesAllFourByteForByte) {
    TempDir dir;
    WriteSampleFiles(dir.path());
    WriteBytes(dir / "data1.BAK", "an older backup that is longer than the new one will be, by far");
    EXPECT_TRUE(BackupAll(dir.path()));
    for (std::size_t i = 0; i < kFileCount; ++i)
        EXPECT_EQ(ReadBytes(dir / kBackupFileNames[i]), ReadBytes(dir / kDataFileNames[i]));
    DataBook none;
    TempDir empty;
    EXPECT_FALSE(BackupAll(empty.path())); // nothing saved yet
    EXPECT_TRUE(fs::is_empty(empty.path()));
}

TEST(Backup, StopsAtTheFirstMissingFile) {
    TempDir dir;
    WriteSampleFiles(dir.path());
    fs::remove(dir / "data2.bcm");
    WriteBytes(dir / "data3.BAK", "old3");
    WriteBytes(dir / "data4.BAK", "old4");
    EXPECT_FALSE(BackupAll(dir.path()));
    EXPECT_EQ(ReadBytes(dir / "data1.BAK"), ReadBytes(dir / "data1.bcm"));
    EXPECT_FALSE(fs::exists(dir / "data2.BAK"));
    EXPECT_EQ(ReadBytes(dir / "data3.BAK"), "old3");
    EXPECT_EQ(ReadBytes(dir / "data4.BAK"), "old4");
}

TEST(Backup, FailedCopyKeepsThePreviousBackupWhole) {
    for (const char* step : {"copy", "write", "sync", "rename"}) {
        SCOPED_TRACE(step);
        TempDir dir;
        WriteSampleFiles(dir.path());
        const std::string previous(10000, 'p');
        WriteBytes(dir / "data2.BAK", previous);
        WriteBytes(dir / "data3.BAK", "old3");
        bool ok = true;
        {
            // "copy" names the source; the other steps name the backup being written.
            const bool copy = std::string(step) == "copy";
            HookGuard hook(FailAt(step, copy ? "data2.bcm" : "data2.BAK"));
            ok = BackupAll(dir.path());
        }
        EXPECT_FALSE(ok);
        EXPECT_EQ(ReadBytes(dir / "data1.BAK"), ReadBytes(dir / "data1.bcm"));
        EXPECT_EQ(ReadBytes(dir / "data2.BAK"), previous);
        EXPECT_EQ(ReadBytes(dir / "data3.BAK"), "old3");
        EXPECT_FALSE(fs::exists(dir / "data2.BAK.saving"));
    }
}
