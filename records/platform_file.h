// The few file operations that differ between systems: unbuffered open, read
// and write, syncing a file and its folder, and replacing a file atomically.
#pragma once

#include "archive.h"
#include "result.h"
#include "storage.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace vantorel {

// Which file a path names and what state it is in: the same identity later
// means no one has written, replaced or renamed anything over it since.
struct FileIdentity {
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modified = 0, changed = 0; // in the system's finest unit
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file that `path` names, links followed.
Result<FileIdentity> IdentityOf(const std::filesystem::path& path);

class OsFile : public WritableFile {
public:
    ~OsFile() override;
    // Fails when the file cannot be opened or is not a regular file (a FIFO,
    // a device, a folder: reading those could block or never end).
    static Result<std::unique_ptr<OsFile>> OpenRead(const std::filesystem::path& path);
    // Creates the file (replacing any old one at that path) for writing, with
    // the permission bits `mode` where the system has them.
    static Result<std::unique_ptr<OsFile>> Create(const std::filesystem::path& path, unsigned mode = kPrivateMode);
    // Owner read and write only: the data hold identity numbers, phones and addresses.
    static constexpr unsigned kPrivateMode = 0600;
    // Opens an existing file for writing at its end.
    static Result<std::unique_ptr<OsFile>> OpenAppend(const std::filesystem::path& path);

    std::size_t Read(void* buf, std::size_t n) override;
    void Write(const void* buf, std::size_t n) override;
    std::uint64_t GetLength() const override { return length_; }
    Result<void> Sync() override;
    Result<void> SyncData() override;
    Result<void> Close() override;
    // The open file's identity as it was opened for reading.
    const FileIdentity& Identity() const { return identity_; }

private:
    OsFile(int fd, std::uint64_t length) : fd_(fd), length_(length) {}
    static Result<std::unique_ptr<OsFile>> OpenExisting(const std::filesystem::path& path, int flags);
    void WriteOut(const char* p, std::size_t n);
    void FlushPending();
    Result<void> SyncWith(int (*sync)(int));

    // The archive moves 4 KiB at a time; gathering that into larger system
    // calls is what keeps saving and loading close to raw file speed.
    static constexpr std::size_t kChunk = 1 << 20;
    int fd_;
    std::uint64_t length_;
    FileIdentity identity_;
    std::string pending_; // written, not yet handed to the system
    std::string ahead_;   // read ahead, not yet handed to the caller
    std::size_t aheadPos_ = 0;
};

// A file as the system describes it: the same file, unchanged since, has
// the same stamp; a file written anew, copied over it or changed in place has
// another. The file's number and device are left out on purpose: they change
// across a restart on removable and network drives, while a copy that keeps
// the modification time (a folder copied whole) is the same file for us.
struct FileStamp {
    enum class Type : std::uint8_t { absent, regular, other, unknown };
    Type type = Type::absent; // unknown: the system would not say; matches nothing
    std::uint64_t size = 0;
    std::int64_t modified = 0; // last write, in the system's finest unit
    bool operator==(const FileStamp&) const = default;
};
// The stamp of the file that `path` names, links followed.
FileStamp StampOf(const std::filesystem::path& path);

// Renames `from` over `to`, replacing `to` if it exists, atomically where the
// system allows it. On failure `to` is untouched.
Result<void> ReplaceByRename(const std::filesystem::path& from, const std::filesystem::path& to);
// The permission bits (rwx for owner, group, others) of the file that `path`
// names, links followed; nullopt when it does not exist or the system has none.
std::optional<unsigned> PermissionBits(const std::filesystem::path& path);
// The local time as "20261206-101500", for naming files set aside.
std::string LocalTimeStamp();
// Makes a rename in `dir` durable. A no-op where the system needs none.
Result<void> SyncDirectory(const std::filesystem::path& dir);

} // namespace vantorel
