// The recovery journal: every change made to the four collections while the
// program runs is appended to "vantorel.journal" beside the data files and is
// on disk within about a second. An orderly close saves the data files and
// then removes the journal; a journal found at start means the last run did
// not end in order, and its changes are made again on the loaded collections.
//
// A collection's entries apply only onto the data file they were made
// against: the header holds each file's base (stamp, load outcome, record
// count), and a save at close adds a mark with the file's new base. At start
// each collection's entries are applied from the last base that its file still
// matches; when none does (the file was replaced or changed since), or an
// entry does not fit the collection, that collection's entries are not
// applied, and the journal is kept beside the data under a new name.
#pragma once

#include "data_files.h"
#include "journal_format.h"
#include "storage.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace vantorel {

class JournalWriter;

// What the start made of a journal left behind.
struct JournalRecovery {
    struct Collection {
        int applied = 0;      // entries made again on the collection
        int alreadySaved = 0; // entries before a save mark the file matches: the file holds them
        int unapplied = 0;    // entries not applied
        // unapplied: true when the data file is not the one the entries were
        // made against; false when the entries do not fit its records.
        bool fileChanged = false;
    };

    bool found = false;  // the last run did not end in order
    std::string problem; // the journal could not be read at all; nothing applied
    PerCollection<Collection> collections;
    std::uint64_t tornOffset = 0; // where the bytes that are no whole entry begin
    std::uint64_t tornBytes = 0;  // how many: a write cut short; not applied
    std::string tornReason;
    // Set aside because not all of it was applied (never deleted).
    std::filesystem::path setAside;
    // It had to be set aside and could not be: it stays where it is, and this
    // run keeps no journal (a new one would take its place).
    std::string setAsideError;

    int Applied() const;
    int Unapplied() const;
    // Anything the user should hear of beyond what came back.
    bool Incomplete() const { return !problem.empty() || tornBytes > 0 || Unapplied() > 0; }
};

// Whether `bytes` are one whole record of collection `collection`: every byte
// read, nothing past the end.
bool DecodesAsRecord(CollectionId collection, std::string_view bytes);

// What `book`, just loaded from `dir` with `loaded`, is based on.
JournalBase BaseOf(const DataBook& book, const std::filesystem::path& dir, const LoadReport& loaded);

// Applies the entries of `journal` that fit onto `book`, whose collections
// are based on `now`, as above; `carried` receives the applied entries' bytes.
JournalRecovery Replay(const JournalContents& journal, DataBook& book, const JournalBase& now, std::string& carried);

class Journal {
public:
    // Writes, copies and syncs through `storage`, from the writer's thread too.
    explicit Journal(std::filesystem::path dir, Storage& storage = SystemStorage());
    // Stops the writer after writing what is pending; the file stays.
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Right after LoadAll: replays a journal left behind, sets aside what was
    // not applied, and begins this run's journal, to which every change of
    // `book` goes from now on. The journal file is made at the first change.
    JournalRecovery Open(DataBook& book, const LoadReport& loaded);
    // Called once from the writer's thread when the journal cannot be written.
    void OnFailure(std::function<void(const std::string&)> failed);
    // Recording: false when this run keeps no journal.
    bool Active() const { return writer_ != nullptr; }

    // After collection `id` was saved with `result`: its file now holds
    // every change so far. On disk before it returns.
    void Saved(CollectionId id, const FileSaveResult& result, const DataBook& book);
    // Stops recording and writing. With `everythingSaved` the journal is
    // removed (the data files hold all of it); otherwise it stays for the
    // next start. The book is not watched any more.
    Result<void> Close(bool everythingSaved);

    std::filesystem::path Path() const { return dir_ / kJournalFileName; }
    // Bytes handed to the writer so far (header not counted).
    std::uint64_t BytesRecorded() const { return recorded_; }
    // Waits until everything recorded is on disk.
    Result<void> Flush();

private:
    void Record(CollectionId id, const CollectionChange& change);
    void Watch(DataBook* book);

    std::filesystem::path dir_;
    Storage& storage_;
    DataBook* book_ = nullptr;
    PerCollection<ObserverId> watching_{}; // book_'s observers
    JournalBase base_;
    std::unique_ptr<JournalWriter> writer_;
    std::function<void(const std::string&)> failed_;
    std::string entry_; // one entry being encoded, reused
    std::uint64_t recorded_ = 0;
};

} // namespace vantorel
