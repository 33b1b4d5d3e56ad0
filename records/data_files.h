// The four data files: loading, saving and backing up the four collections.
#pragma once

#include "people_records.h"
#include "platform_file.h"
#include "policy_record.h"
#include "result.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace vantorel {

// The four collections, in file order. The running program has one, owned by
// its session; tools and tests make their own.
struct DataBook {
    CInsurance insurance;
    CPotClient clients;
    CTermMember members;
    CCalendar calendar;

    CObject& Collection(std::size_t file);
    const CObject& Collection(std::size_t file) const;
    void Clear();
};

constexpr std::size_t kFileCount = 4;
inline constexpr std::array<const char*, kFileCount> kDataFileNames = {"data1.bcm", "data2.bcm", "data3.bcm",
                                                                       "data4.bcm"};
inline constexpr std::array<const char*, kFileCount> kBackupFileNames = {"data1.BAK", "data2.BAK", "data3.BAK",
                                                                         "data4.BAK"};
// A file being written goes here first, then replaces the real one.
inline constexpr const char* kSavingSuffix = ".saving";
// What a file kept beside a data file is called after: "data1.bcm.damaged-20261206-101500".
inline constexpr const char* kDamagedSuffix = ".damaged-"; // a damaged file, moved aside
inline constexpr const char* kUnreadSuffix = ".unread-";   // a copy of a file with bytes the load did not read
inline constexpr const char* kUnsavedSuffix = ".unsaved-"; // a collection whose own file was kept from the load

enum class LoadState {
    loaded,      // read completely
    missing,     // no such file: the collection starts empty
    empty,       // length 0: the collection starts empty
    damaged,     // read up to `offset`; records before it kept; file set aside
    unreadable,  // exists but could not be opened, or is not a plain file; left in place
    unreadBytes, // records read, but not the `unread` bytes from `offset` on; a copy of the file kept
};

struct FileLoadResult {
    std::string file; // file name, e.g. "data1.bcm"
    LoadState state = LoadState::missing;
    int records = 0;          // records read into the collection
    std::uint64_t offset = 0; // damaged: where the bad value starts; unreadBytes: where the unread bytes start
    std::uint64_t unread = 0; // unreadBytes: how many bytes were not read
    std::string reason;       // damaged or unreadable: what went wrong
    // damaged: where the file now is; unreadBytes: where its whole copy is.
    // Empty if that could not be done.
    std::filesystem::path setAside;
    // The next save must not write over this file: it was not read completely
    // and is still where it was.
    bool keepOnSave = false;
    // keepOnSave: a fingerprint of the collection as loaded, so that the save
    // can tell whether anything was typed into it since.
    std::uint64_t loadedDigest = 0;
    // The file as it was opened for the load.
    FileIdentity identity;
};
using LoadReport = std::array<FileLoadResult, kFileCount>;

struct FileSaveResult {
    std::string file;
    bool saved = false;
    std::string reason; // why not, when not saved
    // Not written on purpose: the file was kept from the load and its
    // collection is as it was read.
    bool leftAlone = false;
    // The file was kept from the load but its collection changed: it was
    // written to this new file beside it instead.
    std::filesystem::path savedAs;
    // Saved without writing: the file was read completely at the load, its
    // collection has not changed since and no one has touched the file, so
    // it already holds exactly what the save would write.
    bool unchanged = false;
};
using SaveReport = std::array<FileSaveResult, kFileCount>;

// Reads one collection from one file, appending its records. Does not move
// or change the file. Used by LoadAll and by the data tool's checks.
FileLoadResult LoadFile(CObject& collection, const std::filesystem::path& path);

// Writes one collection to `path` through a synced temporary file in the same
// folder and an atomic rename: on failure the old file is left whole. A
// symbolic link is written through (its target is replaced, the link stays);
// the file keeps its permission bits, and a new file is private (0600).
FileSaveResult SaveFile(const CObject& collection, const std::filesystem::path& path);

// Any file written the same way as SaveFile: for the data tool's exports.
Result<void> ReplaceFileContents(const std::filesystem::path& path, const std::string& bytes);

// The file that writing to `path` replaces: `path` with symbolic links followed.
std::filesystem::path SaveTarget(const std::filesystem::path& path);

// Appends each file's records to its collection, in the order data1..data4.
// Leftover temporary files are removed first. A damaged file keeps the
// records read before the damage and is renamed aside, never deleted. A file
// with bytes the records do not account for is copied aside before any save
// can replace it.
LoadReport LoadAll(DataBook& book, const std::filesystem::path& dir);

// Saves every collection; one failing file does not stop the others. Files
// that the load marked keepOnSave are left as they are; if their collection
// changed since, it goes to a new file beside them ("data2.bcm.unsaved-...").
// A file that already holds what would be written is not written again
// (FileSaveResult::unchanged).
SaveReport SaveAll(const DataBook& book, const std::filesystem::path& dir, const LoadReport* loaded = nullptr);

// One file of SaveAll (also used to retry it).
FileSaveResult SaveOne(const DataBook& book, std::size_t file, const std::filesystem::path& dir,
                       const LoadReport* loaded = nullptr);

// Copies data1.bcm..data4.bcm to data1.BAK..data4.BAK, stopping at the first
// failure, which it names with its reason. A failed copy leaves the previous
// .BAK whole.
Result<void> BackupAll(const std::filesystem::path& dir);

// A name beside `file` that nothing has yet, for keeping a file aside:
// `file`, `suffix` and the local time, numbered if that is taken. Empty, with
// `error` set, when none is free.
std::filesystem::path FreeNameBeside(const std::filesystem::path& file, const char* suffix, std::string& error);

// Test hook: called before each storage step ("create", "write", "sync",
// "close", "rename", "syncdir", "copy") with the file it concerns and, for
// "write", the bytes already written. Throwing FileError makes that step fail.
using StorageFaultHook =
    std::function<void(const std::string& step, const std::filesystem::path& file, std::uint64_t written)>;
void SetStorageFaultHook(StorageFaultHook hook);

} // namespace vantorel
