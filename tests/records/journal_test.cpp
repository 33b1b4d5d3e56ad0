// The recovery journal: what an unclean end leaves is made again at the next
// start, once, and only onto the data files it was made against.
#include "storage_kit.h"

#include "records/journal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace vantorel;
namespace fs = std::filesystem;
using testkit::ReadBytes;
using testkit::Saved;
using testkit::Stored;
using testkit::TempDir;
using testkit::WriteBytes;

namespace {

// One start of the program on `dir`: load, then the journal.
struct Start {
    explicit Start(const fs::path& d) : dir(d) {
        loaded = LoadAll(book, dir);
        journal = std::make_unique<Journal>(dir);
        recovery = journal->Open(book, loaded);
    }
    // Ends as a killed program does once its last changes are on disk.
    void Crash() {
        EXPECT_TRUE(journal->Flush());
        journal.reset();
    }
    // The shutdown sequence; `failing` is a file whose save fails.
    void Close(const char* failing = nullptr) {
        testkit::FailingStorage storage;
        if (failing) storage.Fail({.step = testkit::FailingStorage::Step::rename, .file = failing});
        bool all = true;
        for (const CollectionId id : kCollections) {
            const FileSaveResult r = SaveOne(book, id, dir, &loaded, storage);
            journal->Saved(id, r, book);
            all = all && Saved(r);
        }
        EXPECT_TRUE(journal->Close(all));
    }

    fs::path dir;
    DataBook book;
    LoadReport loaded;
    std::unique_ptr<Journal> journal;
    JournalRecovery recovery;
};

void ExpectSameBook(const DataBook& a, const DataBook& b) {
    for (std::size_t i = 0; i < kFileCount; ++i) EXPECT_EQ(Stored(a.Collection(i)), Stored(b.Collection(i))) << i;
}

// Adds, replaces and removes on all four collections, and one remove-all.
int Change(DataBook& book, int round) {
    const std::string n = std::to_string(round);
    book.insurance.Add(testkit::SamplePolicy(10 + round, 2, 1));
    auto p = book.insurance.GetAt(0);
    p.info.remarks = "changed " + n;
    book.insurance.SetAt(0, p);
    book.insurance.RemoveAt(1);
    book.clients.Add({.person = {.name = "c" + n}});
    book.clients.SetAt(0, {.person = {.name = "first " + n}});
    book.members.Add({.staffNo = "m" + n});
    book.members.RemoveAt(0);
    book.calendar.RemoveAll();
    book.calendar.Add({20040529.0 + round, "day " + n});
    return 9;
}

std::vector<fs::path> SetAside(const fs::path& dir) {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind("vantorel.journal.unapplied-", 0) == 0) found.push_back(e.path());
    return found;
}

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        DataBook book;
        testkit::FillSampleBook(book);
        for (const auto& r : SaveAll(book, dir.path())) ASSERT_TRUE(Saved(r)) << r.reason;
    }
    fs::path JournalPath() const { return dir / kJournalFileName; }
    TempDir dir;
};

} // namespace

TEST(JournalFormat, ChecksumAndEntrySizes) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u); // the check value of CRC-32
    std::string out;
    AppendJournalEntry(out, CollectionId::insurance, {CollectionChange::Kind::removeAll, 0, {}});
    EXPECT_EQ(out.size(), kJournalEntryOverhead);
    AppendJournalEntry(out, CollectionId::calendar, {CollectionChange::Kind::add, 7, "record"});
    const std::string journal = EncodeJournalHeader({}) + out;
    const JournalContents c = ParseJournal(journal);
    ASSERT_TRUE(c.problem.empty()) << c.problem;
    ASSERT_EQ(c.entries.size(), 2u);
    EXPECT_EQ(c.entries[1].collection, CollectionId::calendar);
    EXPECT_EQ(c.entries[1].index, 7);
    EXPECT_EQ(c.entries[1].record, "record");
    EXPECT_EQ(c.tornBytes, 0u);
}

TEST_F(JournalTest, AnUncleanEndIsMadeGoodOnceAndAnOrderlyCloseLeavesNoJournal) {
    DataBook expected;
    {
        Start first(dir.path());
        EXPECT_FALSE(first.recovery.found);
        EXPECT_TRUE(first.journal->Close(false)); // nothing changed: nothing written
        EXPECT_FALSE(fs::exists(JournalPath()));
    }
    int changes = 0;
    {
        Start run(dir.path());
        changes = Change(run.book, 1);
        expected = run.book;
        run.Crash();
    }
    {
        Start run(dir.path());
        EXPECT_TRUE(run.recovery.found);
        EXPECT_EQ(run.recovery.Applied(), changes);
        EXPECT_FALSE(run.recovery.Incomplete());
        ExpectSameBook(run.book, expected);
        // Killed again before writing anything new: the same changes, not twice.
        run.Crash();
    }
    {
        Start run(dir.path());
        EXPECT_EQ(run.recovery.Applied(), changes);
        ExpectSameBook(run.book, expected);
        changes += Change(run.book, 2);
        expected = run.book;
        run.Crash();
    }
    {
        Start run(dir.path());
        EXPECT_EQ(run.recovery.Applied(), changes);
        ExpectSameBook(run.book, expected);
        run.Close();
        EXPECT_FALSE(fs::exists(JournalPath()));
    }
    Start after(dir.path());
    EXPECT_FALSE(after.recovery.found);
    ExpectSameBook(after.book, expected);
    EXPECT_TRUE(SetAside(dir.path()).empty());
}

TEST_F(JournalTest, ATornLastEntryIsCutAtEveryByteAndWhatCameBeforeStillApplies) {
    DataBook beforeLast;
    {
        Start run(dir.path());
        Change(run.book, 1);
        beforeLast = run.book;
        run.book.clients.Add({.person = {.name = "the last"}, .fax = "cut"});
        run.Crash();
    }
    const std::string whole = ReadBytes(JournalPath());
    const JournalContents parsed = ParseJournal(whole);
    ASSERT_EQ(parsed.entries.size(), 10u);
    const std::size_t last = parsed.entries.back().offset;
    for (std::size_t cut = last; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        WriteBytes(JournalPath(), whole.substr(0, cut));
        {
            Start run(dir.path());
            EXPECT_EQ(run.recovery.Applied(), 9);
            EXPECT_EQ(run.recovery.tornBytes, cut - last);
            EXPECT_EQ(run.recovery.tornOffset, last);
            ExpectSameBook(run.book, beforeLast);
            // Bytes not applied are kept, whole; a clean cut leaves nothing to keep.
            const auto aside = SetAside(dir.path());
            ASSERT_EQ(aside.size(), cut > last ? 1u : 0u);
            if (!aside.empty()) {
                EXPECT_EQ(ReadBytes(aside[0]), whole.substr(0, cut));
            }
            EXPECT_EQ(run.recovery.setAside.empty(), aside.empty());
            run.Crash();
            for (const auto& p : aside) fs::remove(p);
        }
        // What replaced it holds the nine whole entries and nothing torn.
        const std::string rewritten = ReadBytes(JournalPath());
        const JournalContents again = ParseJournal(rewritten);
        EXPECT_EQ(again.entries.size(), 9u);
        EXPECT_EQ(again.tornBytes, 0u);
    }
    // A byte changed inside the last entry: its checksum no longer holds.
    std::string flipped = whole;
    flipped[last + 20] ^= 0x01;
    WriteBytes(JournalPath(), flipped);
    Start run(dir.path());
    EXPECT_EQ(run.recovery.Applied(), 9);
    EXPECT_EQ(run.recovery.tornReason, "an entry's checksum does not match");
}

// Another program writes a data file after the load, before the journal
// opens: this run's changes were made to the records read, not to that file.
TEST_F(JournalTest, AFileWrittenBetweenTheLoadAndTheJournalTakesNoneOfItsEntries) {
    DataBook book;
    const LoadReport loaded = LoadAll(book, dir.path());
    // As many records as were read: only the file's stamp can tell it from them.
    DataBook other = book;
    ASSERT_GT(other.clients.GetSize(), 0);
    other.clients.SetAt(0, {.person = {.name = "written meanwhile"}});
    ASSERT_TRUE(Saved(SaveFile(other.clients, dir / "data2.bcm")));
    {
        Journal journal(dir.path());
        journal.Open(book, loaded);
        book.clients.SetAt(0, {.person = {.name = "typed"}});
        EXPECT_TRUE(journal.Flush());
    }
    Start run(dir.path());
    EXPECT_TRUE(run.recovery.collections[1].fileChanged);
    EXPECT_EQ(run.recovery.collections[1].unapplied, 1);
    EXPECT_EQ(Stored(run.book.clients), Stored(other.clients));
}

TEST_F(JournalTest, EntriesApplyOnlyOntoTheFilesTheyWereMadeAgainst) {
    // data2.bcm replaced after the crash (a backup copied back, say): its entries stay out.
    DataBook expected;
    {
        Start run(dir.path());
        Change(run.book, 1);
        expected = run.book;
        run.Crash();
    }
    const std::string journal = ReadBytes(JournalPath());
    DataBook other;
    other.clients.Add({.person = {.name = "restored"}});
    ASSERT_TRUE(Saved(SaveFile(other.clients, dir / "data2.bcm")));
    {
        Start run(dir.path());
        EXPECT_EQ(run.recovery.collections[1].unapplied, 2);
        EXPECT_TRUE(run.recovery.collections[1].fileChanged);
        EXPECT_EQ(run.recovery.Applied(), 7);
        EXPECT_EQ(Stored(run.book.clients), Stored(other.clients));
        EXPECT_EQ(Stored(run.book.insurance), Stored(expected.insurance));
        ASSERT_EQ(SetAside(dir.path()).size(), 1u);
        EXPECT_EQ(ReadBytes(run.recovery.setAside), journal);
        fs::remove(run.recovery.setAside);
        expected = run.book;
        run.Crash();
    }
    // The new journal holds what was applied, against the files as they are now.
    {
        Start run(dir.path());
        EXPECT_EQ(run.recovery.Applied(), 7);
        EXPECT_FALSE(run.recovery.Incomplete());
        ExpectSameBook(run.book, expected);
        run.Close();
    }

    // A save that fails at close keeps the journal: the next start makes again
    // only the changes of the file not saved; the others are in their files.
    {
        Start run(dir.path());
        Change(run.book, 2);
        expected = run.book;
        run.Close("data3.bcm");
        EXPECT_TRUE(fs::exists(JournalPath()));
    }
    {
        Start run(dir.path());
        EXPECT_EQ(run.recovery.collections[2].applied, 2);
        EXPECT_EQ(run.recovery.Applied(), 2);
        EXPECT_EQ(run.recovery.collections[0].alreadySaved, 3);
        EXPECT_FALSE(run.recovery.Incomplete());
        ExpectSameBook(run.book, expected);
        run.Close();
    }

    // Entries that do not fit the records (a remove past the end), a journal of
    // no bytes, and bytes that are no journal at all.
    const auto Header = [&] {
        DataBook book;
        const LoadReport loaded = LoadAll(book, dir.path());
        return EncodeJournalHeader(BaseOf(book, dir.path(), loaded));
    };
    std::string misfit = Header();
    AppendJournalEntry(misfit, CollectionId::calendar, {CollectionChange::Kind::remove, 99, {}});
    struct Case {
        const char* what;
        std::string bytes;
        bool told, setAside;
    } cases[] = {{"misfit", misfit, true, true},
                 {"zero bytes", "", false, false},
                 {"garbage", "garbage\n\x01\x02", true, true},
                 {"header only", Header(), false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(JournalPath(), c.bytes);
        Start run(dir.path());
        EXPECT_TRUE(run.recovery.found);
        EXPECT_EQ(run.recovery.Applied(), 0);
        EXPECT_EQ(run.recovery.Incomplete(), c.told);
        ExpectSameBook(run.book, expected);
        const auto aside = SetAside(dir.path());
        ASSERT_EQ(aside.size(), c.setAside ? 1u : 0u);
        if (c.setAside) {
            EXPECT_EQ(ReadBytes(aside[0]), c.bytes);
        }
        // Nothing of it left in place to be told of again.
        EXPECT_FALSE(fs::exists(JournalPath()));
        for (const auto& p : aside) fs::remove(p);
        EXPECT_TRUE(run.journal->Close(false));
    }
    EXPECT_FALSE(Start(dir.path()).recovery.found);
}

TEST_F(JournalTest, RecordsKeptFromADamagedFileSurviveKillsAndAnOrderlyCloseKeepsThemWithWhatWasTyped) {
    const std::string bytes = ReadBytes(dir / "data1.bcm"), damaged = bytes.substr(0, bytes.size() - 3);
    WriteBytes(dir / "data1.bcm", damaged);
    DataBook expected;
    fs::path aside;
    {
        // Killed before anything was typed.
        Start run(dir.path());
        ASSERT_EQ(run.loaded[0].state, LoadState::damaged);
        ASSERT_EQ(run.book.insurance.GetSize(), 3);
        aside = run.loaded[0].setAside;
        ASSERT_FALSE(aside.empty());
        expected = run.book;
        run.Crash();
    }
    for (int round = 0; round < 2; ++round) {
        // The same file read again: the same records, the user told again, nothing kept twice.
        Start run(dir.path());
        EXPECT_EQ(run.loaded[0].state, LoadState::damaged);
        EXPECT_EQ(run.loaded[0].setAside, aside);
        EXPECT_EQ(run.recovery.Applied(), round == 0 ? 0 : 2);
        ExpectSameBook(run.book, expected);
        run.book.insurance.RemoveAt(0);
        run.book.insurance.Add(testkit::SamplePolicy(7 + round, 1, 1));
        expected = run.book;
        run.Crash();
    }
    {
        Start run(dir.path());
        EXPECT_EQ(run.recovery.Applied(), 4);
        ExpectSameBook(run.book, expected);
        run.book.calendar.Add({20040529, "typed"});
        expected = run.book;
        run.Close();
    }
    // Closed in order: the file holds what was kept and typed; the damaged one stays aside, once.
    Start run(dir.path());
    EXPECT_FALSE(run.recovery.found);
    for (const auto& r : run.loaded) EXPECT_EQ(r.state, LoadState::loaded) << r.file;
    ExpectSameBook(run.book, expected);
    EXPECT_EQ(ReadBytes(aside), damaged);
    std::size_t kept = 0;
    for (const auto& e : fs::directory_iterator(dir.path()))
        kept += e.path().filename().string().rfind("data1.bcm.", 0) == 0;
    EXPECT_EQ(kept, 1u);
}

TEST_F(JournalTest, RemoveAllIsOneEntryAndAChangeIsOnDiskWithinASecond) {
    Start run(dir.path());
    for (int i = 0; i < 1000; ++i) run.book.calendar.Add({20040101.0, "x"});
    const std::uint64_t before = run.journal->BytesRecorded();
    run.book.calendar.RemoveAll();
    EXPECT_EQ(run.journal->BytesRecorded() - before, kJournalEntryOverhead);
    // A copy of the book is no longer the book: its changes are not recorded.
    DataBook copy = run.book;
    copy.members.Add({});
    EXPECT_EQ(run.journal->BytesRecorded() - before, kJournalEntryOverhead);
    ASSERT_TRUE(run.journal->Flush());

    const auto size = [&] {
        std::error_code ec;
        const auto n = fs::file_size(JournalPath(), ec);
        return ec ? 0 : n;
    };
    const auto was = size();
    const auto start = std::chrono::steady_clock::now();
    run.book.members.Add({.staffNo = "late"});
    while (size() == was && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_GT(size(), was);
}

TEST_F(JournalTest, AJournalThatCannotBeWrittenSaysSoOnceAndWritesNothingAfterTheGap) {
    using Step = testkit::FailingStorage::Step;
    // The first batch makes the file: a step failing leaves no half-made journal.
    for (const Step step : {Step::create, Step::write, Step::sync, Step::close, Step::rename, Step::syncFolder}) {
        SCOPED_TRACE(testkit::FailingStorage::Name(step));
        testkit::FailingStorage storage({.step = step, .file = "vantorel.journal"});
        DataBook book;
        const LoadReport loaded = LoadAll(book, dir.path());
        Journal journal(dir.path(), storage);
        std::vector<std::string> told;
        journal.OnFailure([&](const std::string& why) { told.push_back(why); });
        journal.Open(book, loaded);
        book.clients.Add({});
        const Result<void> flushed = journal.Flush();
        EXPECT_FALSE(flushed);
        EXPECT_NE(flushed.Reason().find("injected"), std::string::npos) << flushed.Reason();
        book.clients.Add({});
        EXPECT_FALSE(journal.Flush());
        EXPECT_EQ(told, std::vector<std::string>{flushed.Reason()});
        EXPECT_FALSE(fs::exists(dir / "vantorel.journal.saving"));
        // Renamed into place, it is whole; only its folder's sync failed.
        EXPECT_EQ(fs::exists(JournalPath()), step == Step::syncFolder);
        EXPECT_FALSE(journal.Close(false));
        fs::remove(JournalPath());
    }

    // A later write cut short: what came before it comes back at the next
    // start, the torn bytes do not, and nothing follows the gap.
    DataBook expected;
    {
        testkit::FailingStorage storage;
        DataBook book;
        const LoadReport loaded = LoadAll(book, dir.path());
        Journal journal(dir.path(), storage);
        journal.Open(book, loaded);
        book.clients.Add({.person = {.name = "kept"}});
        ASSERT_TRUE(journal.Flush());
        expected = book;
        storage.Fail({.step = Step::write, .file = "vantorel.journal", .afterBytes = 5});
        book.clients.Add({.person = {.name = "cut"}});
        EXPECT_FALSE(journal.Flush());
        const std::size_t writes = storage.Taken(Step::write).size();
        book.members.Add({.staffNo = "after the gap"});
        EXPECT_FALSE(journal.Flush());
        EXPECT_EQ(storage.Taken(Step::write).size(), writes);
        EXPECT_EQ(storage.Failures(), 1);
    }
    Start run(dir.path());
    EXPECT_EQ(run.recovery.Applied(), 1);
    EXPECT_EQ(run.recovery.tornBytes, 5u);
    ExpectSameBook(run.book, expected);
}
