// The four data files: loading, saving and backing up the four collections.
#pragma once

#include "data_book.h"
#include "platform_file.h"
#include "result.h"
#include "storage.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace vantorel {

inline constexpr PerCollection<const char*> kDataFileNames = {"data1.bcm", "data2.bcm", "data3.bcm", "data4.bcm"};
inline constexpr PerCollection<const char*> kBackupFileNames = {"data1.BAK", "data2.BAK", "data3.BAK", "data4.BAK"};
// A file being written goes here first, then replaces the real one.
inline constexpr const char* kSavingSuffix = ".saving";
// What a file kept beside a data file is called after: "data1.bcm.damaged-20261206-101500".
// The first two keep a data file that stays in place, as a hard link or a copy.
inline constexpr const char* kDamagedSuffix = ".damaged-"; // a damaged file
inline constexpr const char* kUnreadSuffix = ".unread-";   // a file with bytes the load did not read
inline constexpr const char* kUnsavedSuffix = ".unsaved-"; // a collection whose own file was kept from the load

enum class LoadState {
    loaded,      // read completely
    missing,     // no such file: the collection starts empty
    empty,       // length 0: the collection starts empty
    damaged,     // read up to `offset`; records before it kept; the file kept aside
    unreadable,  // exists but could not be opened, or is not a plain file; left in place
    unreadBytes, // records read, but not the `unread` bytes from `offset` on; the file kept aside
};

struct FileLoadResult {
    std::string file; // file name, e.g. "data1.bcm"
    LoadState state = LoadState::missing;
    int records = 0;          // records read into the collection
    std::uint64_t offset = 0; // damaged: where the bad value starts; unreadBytes: where the unread bytes start
    std::uint64_t unread = 0; // unreadBytes: how many bytes were not read
    std::string reason;       // damaged or unreadable: what went wrong
    // damaged, unreadBytes: the file stays where it is, and this second name
    // beside it keeps its bytes (a hard link, or a copy where the file system
    // has no links), made at this start or found from an earlier one. Empty
    // if that could not be done.
    std::filesystem::path setAside;
    // The next save must not write over this file: it was not read completely
    // and nothing else keeps its bytes.
    bool keepOnSave = false;
    // keepOnSave: a fingerprint of the collection as loaded, so that the save
    // can tell whether anything was typed into it since.
    std::uint64_t loadedDigest = 0;
    // The file as it was opened for the load.
    FileIdentity identity;
};
using LoadReport = PerCollection<FileLoadResult>;

enum class SaveOutcome : std::uint8_t {
    written,     // through a synced temporary file and a rename
    unchanged,   // not written: the file was read completely at the load, its
                 // collection has not changed since and no one has touched the
                 // file, so it already holds exactly what the save would write
    leftAlone,   // not written on purpose: the file was kept from the load and
                 // its collection is as it was read (`reason` says so)
    savedBeside, // the file was kept from the load but its collection changed:
                 // written to the new file `savedAs` beside it instead
    failed,      // not written, for `reason`; the old file is whole
};

struct FileSaveResult {
    std::string file; // file name, e.g. "data1.bcm"
    SaveOutcome outcome = SaveOutcome::failed;
    std::string reason;
    std::filesystem::path savedAs; // savedBeside: where the collection went
};
using SaveReport = PerCollection<FileSaveResult>;

// Reads one collection from one file, appending its records. Does not move
// or change the file. Used by LoadAll and by the data tool's checks.
FileLoadResult LoadFile(CObject& collection, const std::filesystem::path& path);

// Writes one collection to `path` through a synced temporary file in the same
// folder and an atomic rename: on failure the old file is left whole. A
// symbolic link is written through (its target is replaced, the link stays);
// the file keeps its permission bits, and a new file is private (0600).
// The outcome is `written` or `failed`.
FileSaveResult SaveFile(const CObject& collection, const std::filesystem::path& path,
                        Storage& storage = SystemStorage());

// Any file written the same way as SaveFile: for the data tool's exports.
Result<void> ReplaceFileContents(const std::filesystem::path& path, const std::string& bytes,
                                 Storage& storage = SystemStorage());

// The file that writing to `path` replaces: `path` with symbolic links followed.
std::filesystem::path SaveTarget(const std::filesystem::path& path);

// Appends each file's records to its collection, in the order data1..data4.
// Leftover temporary files are removed first. A damaged file keeps the
// records read before the damage. A damaged file, and one with bytes the
// records do not account for, stays where it is, and its bytes are kept under
// a second name beside it before any save can replace it: a hard link, or a
// copy where links fail (through `storage`). One file is kept once: a name
// that already holds it (the same file, or the same bytes) is named again.
LoadReport LoadAll(DataBook& book, const std::filesystem::path& dir, Storage& storage = SystemStorage());

// Saves every collection; one failing file does not stop the others. Files
// that the load marked keepOnSave are left as they are; if their collection
// changed since, it goes to a new file beside them ("data2.bcm.unsaved-...").
// A file that already holds what would be written is not written again
// (SaveOutcome::unchanged).
SaveReport SaveAll(const DataBook& book, const std::filesystem::path& dir, const LoadReport* loaded = nullptr,
                   Storage& storage = SystemStorage());

// One file of SaveAll (also used to retry it).
FileSaveResult SaveOne(const DataBook& book, CollectionId id, const std::filesystem::path& dir,
                       const LoadReport* loaded = nullptr, Storage& storage = SystemStorage());

struct FileBackupResult {
    std::string file; // the backup's name, e.g. "data1.BAK"
    bool written = false;
    std::string reason; // not written: why; an earlier backup of that name is whole
    // The collection's data file was not read completely at start: the backup
    // holds the records the program holds, which are less than that file.
    bool partial = false;
};
using BackupReport = PerCollection<FileBackupResult>;

// Writes each collection of `book` to data1.BAK..data4.BAK in `dir`, the way
// SaveFile writes a data file: a collection that still holds its file's
// bytes writes exactly those. A backup takes its data file's permission bits,
// or is private when there is none. One failing backup does not stop the
// others, and leaves the earlier backup of its name whole. The data files are
// not touched; `loaded` tells which collections hold less than their file.
BackupReport BackupAll(const DataBook& book, const std::filesystem::path& dir, const LoadReport* loaded = nullptr,
                       Storage& storage = SystemStorage());

// A name beside `file` that nothing has yet, for keeping a file aside:
// `file`, `suffix` and the local time, numbered if that is taken. Empty, with
// `error` set, when none is free.
std::filesystem::path FreeNameBeside(const std::filesystem::path& file, const char* suffix, std::string& error);

} // namespace vantorel
