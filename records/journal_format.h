// The recovery journal's bytes. A header names the data files as they were
// when the journal began; then each change to a collection is one entry:
//
//   header  "VANTJRNL", version (u32), for each of the four collections its
//           base (below), CRC-32 of all that (u32)
//   entry   length of the body (u32), CRC-32 of the length and body (u32),
//           body: collection 0..3 (u8), kind (u8), index (i32), then for add
//           and replace the record in the archive encoding, for a save mark
//           the collection's new base
//
// All numbers little-endian. An entry whose length or checksum does not hold
// ends what can be read: it and everything after it are the torn tail that a
// write cut short leaves.
#pragma once

#include "collection.h"
#include "data_files.h"
#include "platform_file.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

inline constexpr const char* kJournalFileName = "vantorel.journal";
// A journal that was not applied whole, kept beside the data:
// "vantorel.journal.unapplied-20261206-101500".
inline constexpr const char* kUnappliedSuffix = ".unapplied-";

// What a collection's entries are applied onto: the records that loading its
// data file gave, told by the file's stamp (type, size, time of the last
// write), the load's outcome and the count.
struct CollectionBase {
    LoadState state = LoadState::missing;
    FileStamp file;
    std::uint32_t records = 0;
    bool operator==(const CollectionBase&) const = default;
};
using JournalBase = PerCollection<CollectionBase>;

// True when the collection as loaded now is the one `then` describes. A file
// whose stamp the system would not give matches nothing.
bool SameBase(const CollectionBase& then, const CollectionBase& now);

enum class EntryKind : std::uint8_t {
    add = 1,
    replace = 2,
    remove = 3,
    removeAll = 4,
    saved = 5, // the collection's file was saved: it holds every entry before this one
};

struct JournalEntry {
    CollectionId collection = CollectionId::insurance;
    EntryKind kind = EntryKind::add;
    std::int32_t index = 0;
    std::string_view record; // add, replace: the record's bytes
    CollectionBase saved;    // saved: the collection's base from now on
    std::uint64_t offset = 0;
    std::string_view bytes; // the whole entry, as written
};

struct JournalContents {
    // Not empty when the header is not a journal's: nothing can be read.
    std::string problem;
    JournalBase base;
    std::vector<JournalEntry> entries; // the whole entries, in order
    std::uint64_t wholeBytes = 0;      // the header and the whole entries
    std::uint64_t tornBytes = 0;       // what follows them
    std::string tornReason;            // why the first torn entry is not whole
};

// The views of the result point into `bytes`, which must outlive it.
JournalContents ParseJournal(const std::string& bytes);
JournalContents ParseJournal(std::string&&) = delete;

std::string EncodeJournalHeader(const JournalBase& base);
// Appends one entry for the change to `out`.
void AppendJournalEntry(std::string& out, CollectionId collection, const CollectionChange& change);
void AppendSavedEntry(std::string& out, CollectionId collection, const CollectionBase& base);

// CRC-32 (the polynomial of zip and PNG), continued from `crc`.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

inline constexpr std::size_t kJournalHeaderSize = 104;
inline constexpr std::size_t kJournalEntryOverhead = 14; // length, checksum, collection, kind, index

} // namespace vantorel
