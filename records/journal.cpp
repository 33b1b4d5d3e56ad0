#include "journal.h"

#include "journal_writer.h"

#include <system_error>
#include <type_traits>
#include <vector>

namespace vantorel {

namespace fs = std::filesystem;

namespace {

// A record whose bytes are exactly one sound record, by the loader's own checks.
template <class Record> bool Decode(std::string_view bytes, Record& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    RecordChecker check(p, bytes.size(), 0, bytes.size());
    try {
        if (check.Check<Record>(p) != p + bytes.size()) return false;
    } catch (const CArchiveException&) {
        return false;
    }
    out = RecordView<Record>(bytes).Decode();
    return true;
}

// Makes the entries' changes on `c` if every one of them fits it (an added
// record goes at the end, a replaced or removed one exists, each record
// decodes whole); otherwise changes nothing and returns false.
template <class C> bool ApplyAll(C& c, const std::vector<const JournalEntry*>& entries) {
    using Record = typename C::RecordType;
    std::vector<Record> records;
    std::int64_t size = c.GetSize();
    for (const JournalEntry* e : entries) {
        switch (e->kind) {
        case EntryKind::add:
            if (e->index != size) return false;
            ++size;
            break;
        case EntryKind::replace:
        case EntryKind::remove:
            if (e->index < 0 || e->index >= size) return false;
            if (e->kind == EntryKind::remove) --size;
            break;
        case EntryKind::removeAll: size = 0; break;
        case EntryKind::saved: return false; // never handed in
        }
        if (e->kind == EntryKind::add || e->kind == EntryKind::replace) {
            if (!Decode(e->record, records.emplace_back())) return false;
        }
    }
    std::size_t next = 0;
    for (const JournalEntry* e : entries) {
        switch (e->kind) {
        case EntryKind::add: c.Add(std::move(records[next++])); break;
        case EntryKind::replace: c.SetAt(e->index, std::move(records[next++])); break;
        case EntryKind::remove: c.RemoveAt(e->index); break;
        case EntryKind::removeAll: c.RemoveAll(); break;
        case EntryKind::saved: break;
        }
    }
    return true;
}

Result<std::string> ReadWhole(const fs::path& path) {
    Result<std::unique_ptr<OsFile>> opened = OsFile::OpenRead(path);
    if (!opened) return Failure{opened.Reason()};
    std::string bytes(static_cast<std::size_t>((*opened)->GetLength()), '\0');
    std::size_t done = 0;
    try {
        while (done < bytes.size()) {
            const std::size_t n = (*opened)->Read(bytes.data() + done, bytes.size() - done);
            if (n == 0) break;
            done += n;
        }
    } catch (const FileError& e) {
        return Failure{e.what()};
    }
    bytes.resize(done);
    return bytes;
}

} // namespace

int JournalRecovery::Applied() const {
    int n = 0;
    for (const Collection& c : collections) n += c.applied;
    return n;
}

int JournalRecovery::Unapplied() const {
    int n = 0;
    for (const Collection& c : collections) n += c.unapplied;
    return n;
}

bool DecodesAsRecord(CollectionId collection, std::string_view bytes) {
    const DataBook types; // only for the record type of each collection
    return WithCollection(types, collection, [&](const auto& c) {
        typename std::remove_cvref_t<decltype(c)>::RecordType r;
        return Decode(bytes, r);
    });
}

// A file that was read is stamped as it was when read, not as it is now: the
// book holds what was read, and a file written by another program since
// (before the journal opened) must not take this run's changes at the next start.
// A damaged file counts: it stays in place, and the next start reads the same
// records from it again.
FileStamp StampAsRead(const fs::path& file, const FileLoadResult& r) {
    const bool read = r.state == LoadState::loaded || r.state == LoadState::unreadBytes ||
                      r.state == LoadState::empty || r.state == LoadState::damaged;
    if (!read) return StampOf(file);
    return {FileStamp::Type::regular, r.identity.size, r.identity.modified};
}

JournalBase BaseOf(const DataBook& book, const fs::path& dir, const LoadReport& loaded) {
    JournalBase base;
    for (const CollectionId id : kCollections)
        base[id] = {loaded[id].state, StampAsRead(dir / kDataFileNames[id], loaded[id]),
                    static_cast<std::uint32_t>(book.Collection(id).RecordCount())};
    return base;
}

JournalRecovery Replay(const JournalContents& journal, DataBook& book, const JournalBase& now, std::string& carried) {
    JournalRecovery r;
    r.found = true;
    if (!journal.problem.empty()) {
        r.problem = journal.problem;
        return r;
    }
    r.tornOffset = journal.wholeBytes;
    r.tornBytes = journal.tornBytes;
    r.tornReason = journal.tornReason;
    const std::vector<JournalEntry>& entries = journal.entries;
    std::vector<bool> applied(entries.size(), false);
    for (const CollectionId c : kCollections) {
        // The last point from which the file, as it is now, holds the collection.
        std::ptrdiff_t from = SameBase(journal.base[c], now[c]) ? 0 : -1;
        for (std::size_t k = 0; k < entries.size(); ++k)
            if (entries[k].collection == c && entries[k].kind == EntryKind::saved && SameBase(entries[k].saved, now[c]))
                from = static_cast<std::ptrdiff_t>(k + 1);
        JournalRecovery::Collection& out = r.collections[c];
        std::vector<const JournalEntry*> changes;
        std::vector<std::size_t> positions;
        for (std::size_t k = 0; k < entries.size(); ++k) {
            if (entries[k].collection != c || entries[k].kind == EntryKind::saved) continue;
            if (from < 0) {
                ++out.unapplied;
            } else if (static_cast<std::ptrdiff_t>(k) < from) {
                ++out.alreadySaved;
            } else {
                changes.push_back(&entries[k]);
                positions.push_back(k);
            }
        }
        if (from < 0) {
            out.fileChanged = out.unapplied > 0;
            continue;
        }
        if (!WithCollection(book, c, [&](auto& coll) { return ApplyAll(coll, changes); })) {
            out.unapplied = static_cast<int>(changes.size());
            continue;
        }
        out.applied = static_cast<int>(changes.size());
        for (std::size_t k : positions) applied[k] = true;
    }
    for (std::size_t k = 0; k < entries.size(); ++k)
        if (applied[k]) carried.append(entries[k].bytes);
    return r;
}

Journal::Journal(fs::path dir, Storage& storage) : dir_(std::move(dir)), storage_(storage) {}

Journal::~Journal() {
    Watch(nullptr);
    writer_.reset();
}

void Journal::OnFailure(std::function<void(const std::string&)> failed) {
    failed_ = std::move(failed);
    if (writer_) writer_->OnFailure(failed_);
}

void Journal::Watch(DataBook* book) {
    if (book_)
        for (const CollectionId id : kCollections) book_->Collection(id).Unobserve(watching_[id]);
    book_ = book;
    if (book_)
        for (const CollectionId id : kCollections)
            watching_[id] = book_->Collection(id).Observe([this, id](const CollectionChange& c) { Record(id, c); });
}

JournalRecovery Journal::Open(DataBook& book, const LoadReport& loaded) {
    const fs::path path = Path();
    std::error_code leftover;
    fs::remove(path.string() + kSavingSuffix, leftover); // a journal cut short while it was being made
    const JournalBase now = BaseOf(book, dir_, loaded);

    // What a journal left behind brings back goes first into the new one.
    // Records kept from a damaged file need no entries: that file stays in
    // place until a save replaces it, and the next start keeps them again.
    std::string first;
    JournalRecovery r;
    std::error_code looked;
    if (fs::symlink_status(path, looked).type() != fs::file_type::not_found) {
        r.found = true;
        Result<std::string> bytes = ReadWhole(path);
        fs::path aside;
        std::string error;
        if (!bytes) {
            r.problem = "cannot read it: " + bytes.Reason();
            // Nothing of it was applied: it may go aside whole, by name.
            aside = FreeNameBeside(path, kUnappliedSuffix, error);
            std::error_code renamed;
            if (!aside.empty()) fs::rename(path, aside, renamed);
            if (renamed) error = renamed.message();
        } else if (!bytes->empty()) { // a journal made and never written to holds nothing
            const JournalContents contents = ParseJournal(*bytes);
            std::string carried;
            r = Replay(contents, book, now, carried);
            first += carried;
            if (r.Incomplete()) {
                // A copy, so that until the new journal replaces it the old one
                // still brings back what was applied.
                aside = FreeNameBeside(path, kUnappliedSuffix, error);
                if (!aside.empty()) {
                    const Result<void> copied = ReplaceFileContents(aside, *bytes, storage_);
                    if (!copied) error = copied.Reason();
                }
            }
        }
        if (r.Incomplete()) {
            if (error.empty()) {
                r.setAside = aside;
            } else {
                // A journal of this run would take its place: this run keeps none.
                r.setAsideError = error;
                return r;
            }
        }
        // Replaced by the new journal's first write when there is one; else it goes now.
        std::error_code removed;
        if (first.empty() && fs::remove(path, removed)) (void)storage_.SyncFolderOf(path);
    }

    base_ = now;
    writer_ = std::make_unique<JournalWriter>(path, EncodeJournalHeader(now), storage_);
    if (failed_) writer_->OnFailure(failed_);
    if (!first.empty()) {
        writer_->Append(first);
        recorded_ += first.size();
    }
    Watch(&book);
    return r;
}

void Journal::Record(CollectionId id, const CollectionChange& change) {
    entry_.clear();
    AppendJournalEntry(entry_, id, change);
    writer_->Append(entry_);
    recorded_ += entry_.size();
}

void Journal::Saved(CollectionId id, const FileSaveResult& result, const DataBook& book) {
    // Nothing recorded: no journal to mark.
    if (!writer_ || recorded_ == 0) return;
    CollectionBase after;
    switch (result.outcome) {
    case SaveOutcome::written:
    case SaveOutcome::unchanged:
        after = {LoadState::loaded, StampOf(dir_ / kDataFileNames[id]),
                 static_cast<std::uint32_t>(book.Collection(id).RecordCount())};
        break;
    case SaveOutcome::leftAlone:
    case SaveOutcome::savedBeside:
        after = base_[id]; // its file was kept as loaded; what was typed went beside it
        break;
    case SaveOutcome::failed: return;
    }
    entry_.clear();
    AppendSavedEntry(entry_, id, after);
    writer_->Append(entry_);
    recorded_ += entry_.size();
    (void)writer_->Flush();
}

Result<void> Journal::Flush() {
    if (!writer_) return {};
    return writer_->Flush();
}

Result<void> Journal::Close(bool everythingSaved) {
    Watch(nullptr);
    if (!writer_) return {};
    Result<void> stopped = writer_->Stop();
    writer_.reset();
    if (!everythingSaved) return stopped;
    std::error_code ec;
    fs::remove(Path(), ec);
    if (ec) return Failure{"cannot remove " + std::string(kJournalFileName) + ": " + ec.message()};
    return storage_.SyncFolderOf(Path());
}

} // namespace vantorel
