// The file-system steps that writing a file safely takes: create a temporary
// file, write it, sync it, close it, rename it over the old one, make the
// rename durable; opening a file to copy it, and linking one under a second
// name. Saving, backing up, keeping files aside and the journal take them
// through a Storage handed in: the program hands in the
// system's own, and a storage test one that fails a chosen step, as a full
// disk or a lost device would, without touching the code under test.
#pragma once

#include "archive.h"
#include "result.h"

#include <filesystem>
#include <memory>

namespace vantorel {

// A file open for writing. Writes throw FileError, as the archive expects.
class WritableFile : public CFile {
public:
    // Its data and metadata on disk.
    virtual Result<void> Sync() = 0;
    // Its data on disk, without what a later read does not need (times).
    virtual Result<void> SyncData() = 0;
    // Writes what is pending and closes; nothing may be written after.
    virtual Result<void> Close() = 0;
};

// May be called from more than one thread at once: the journal writes from a
// thread of its own while the window's thread saves.
class Storage {
public:
    virtual ~Storage() = default;
    // A new file at `path` for writing (an old one there is replaced), with
    // the permission bits `mode` where the system has them.
    virtual Result<std::unique_ptr<WritableFile>> Create(const std::filesystem::path& path, unsigned mode) = 0;
    // An existing regular file, for writing at its end.
    virtual Result<std::unique_ptr<WritableFile>> OpenAppend(const std::filesystem::path& path) = 0;
    // An existing regular file, for reading whole to copy it.
    virtual Result<std::unique_ptr<CFile>> OpenToCopy(const std::filesystem::path& path) = 0;
    // Renames `from` over `to` atomically where the system allows it; on
    // failure `to` is untouched.
    virtual Result<void> Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Makes the rename (or removal) of `file` in its folder durable.
    virtual Result<void> SyncFolderOf(const std::filesystem::path& file) = 0;
    // A second name `link` for the existing file `existing` (a hard link):
    // the file's bytes stay under it when `existing` is later replaced by a
    // rename. Fails where the file system has no such links; nothing is made
    // then.
    virtual Result<void> Link(const std::filesystem::path& existing, const std::filesystem::path& link) = 0;
};

// The system's files. What every function takes when handed nothing else.
Storage& SystemStorage();

} // namespace vantorel
