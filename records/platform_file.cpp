#include "platform_file.h"

#include "byte_block.h"

#include <fcntl.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#include <sys/mman.h>
#endif

namespace vantorel {

namespace {

std::string SystemError() { return std::strerror(errno); }

#ifdef _WIN32
int OpenFd(const std::filesystem::path& p, int flags, int mode) {
    return _wopen(p.wstring().c_str(), flags | _O_BINARY, mode);
}
// _read and _write take an unsigned count and refuse more than INT_MAX: a
// whole file or a long run of records goes in pieces (callers loop).
constexpr std::size_t kMaxIo = std::size_t(1) << 30;
long long ReadFd(int fd, void* b, std::size_t n) { return _read(fd, b, static_cast<unsigned>(std::min(n, kMaxIo))); }
long long WriteFd(int fd, const void* b, std::size_t n) {
    return _write(fd, b, static_cast<unsigned>(std::min(n, kMaxIo)));
}
int SyncFd(int fd) { return _commit(fd); }
int SyncDataFd(int fd) { return _commit(fd); }
int CloseFd(int fd) { return _close(fd); }
constexpr int kReadFlags = _O_RDONLY;
constexpr int kCreateFlags = _O_WRONLY | _O_CREAT | _O_TRUNC;
std::int64_t Ticks(const FILETIME& t) { return std::int64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime; }
// The volume, the file's index on it, its size, its last write and (in place
// of an inode's change time, which Windows lacks) its creation.
bool HandleIdentity(HANDLE h, FileIdentity& id) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) return false;
    id.device = info.dwVolumeSerialNumber;
    id.inode = std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    id.size = std::uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    id.modified = Ticks(info.ftLastWriteTime);
    id.changed = Ticks(info.ftCreationTime);
    return true;
}
constexpr int kAppendFlags = _O_WRONLY | _O_APPEND;
// Only plain files are data; the size is taken from the open file itself.
bool RegularFile(int fd, FileIdentity& id, std::string& error) {
    struct _stat64 st {};
    if (_fstat64(fd, &st) != 0) {
        error = SystemError();
        return false;
    }
    if ((st.st_mode & _S_IFMT) != _S_IFREG) {
        error = "not a regular file";
        return false;
    }
    if (!HandleIdentity(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), id)) {
        id = {};
        id.size = static_cast<std::uint64_t>(st.st_size);
        id.modified = st.st_mtime;
    }
    return true;
}
void SetMode(int, unsigned) {} // Windows keeps no such bits
#else
int OpenFd(const std::filesystem::path& p, int flags, int mode) {
    int fd;
    do fd = ::open(p.c_str(), flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}
long long ReadFd(int fd, void* b, std::size_t n) { return ::read(fd, b, n); }
long long WriteFd(int fd, const void* b, std::size_t n) { return ::write(fd, b, n); }
int SyncFd(int fd) { return ::fsync(fd); }
#ifdef __linux__
int SyncDataFd(int fd) { return ::fdatasync(fd); }
#else
int SyncDataFd(int fd) { return ::fsync(fd); }
#endif
int CloseFd(int fd) { return ::close(fd); }
// Opening a FIFO for reading would wait for a writer: open without waiting,
// look at what it is, and only then read.
constexpr int kReadFlags = O_RDONLY | O_NONBLOCK;
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_TRUNC;
FileIdentity StatIdentity(const struct stat& st) {
    FileIdentity id;
    id.device = static_cast<std::uint64_t>(st.st_dev);
    id.inode = static_cast<std::uint64_t>(st.st_ino);
    id.size = static_cast<std::uint64_t>(st.st_size);
    id.modified = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.changed = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return id;
}
constexpr int kAppendFlags = O_WRONLY | O_APPEND;
bool RegularFile(int fd, FileIdentity& id, std::string& error) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = SystemError();
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = SystemError();
        return false;
    }
    id = StatIdentity(st);
    return true;
}
// Set on the open file, so that neither the umask nor an older file at the
// same path decides who may read it. A file system without modes refusing
// this is no reason to fail the save.
void SetMode(int fd, unsigned mode) { [[maybe_unused]] const int r = ::fchmod(fd, static_cast<mode_t>(mode)); }
#endif

} // namespace

OsFile::~OsFile() {
    if (fd_ < 0) return;
    try {
        FlushPending();
    } catch (const FileError&) {
        // Closing without Close() is already the failure path.
    }
    CloseFd(fd_);
}

// An existing file opened with `flags`, refused unless it is a regular file
// (a FIFO, a device or a folder in its place is not read or written).
Result<std::unique_ptr<OsFile>> OsFile::OpenExisting(const std::filesystem::path& path, int flags) {
    int fd = OpenFd(path, flags, 0);
    if (fd < 0) return Failure{SystemError()};
    FileIdentity id;
    std::string error;
    if (!RegularFile(fd, id, error)) {
        CloseFd(fd);
        return Failure{error};
    }
    auto file = std::unique_ptr<OsFile>(new OsFile(fd, id.size));
    file->identity_ = id;
    return file;
}

Result<std::unique_ptr<OsFile>> OsFile::OpenRead(const std::filesystem::path& path) {
    return OpenExisting(path, kReadFlags);
}

Result<std::unique_ptr<OsFile>> OsFile::Create(const std::filesystem::path& path, unsigned mode) {
    int fd = OpenFd(path, kCreateFlags, static_cast<int>(mode));
    if (fd < 0) return Failure{SystemError()};
    SetMode(fd, mode);
    return std::unique_ptr<OsFile>(new OsFile(fd, 0));
}

Result<std::unique_ptr<OsFile>> OsFile::OpenAppend(const std::filesystem::path& path) {
    return OpenExisting(path, kAppendFlags);
}

std::size_t OsFile::Read(void* buf, std::size_t n) {
    if (aheadPos_ == ahead_.size()) {
        char* target = static_cast<char*>(buf);
        const bool direct = n >= kChunk;
        if (!direct) {
            ahead_.resize(kChunk);
            target = ahead_.data();
        }
        long long got;
        do got = ReadFd(fd_, target, direct ? n : kChunk);
        while (got < 0 && errno == EINTR);
        if (got < 0) throw FileError("read failed: " + SystemError());
        if (direct) return static_cast<std::size_t>(got);
        ahead_.resize(static_cast<std::size_t>(got));
        aheadPos_ = 0;
    }
    const std::size_t k = std::min(n, ahead_.size() - aheadPos_);
    std::memcpy(buf, ahead_.data() + aheadPos_, k);
    aheadPos_ += k;
    return k;
}

void OsFile::Write(const void* buf, std::size_t n) {
    const char* p = static_cast<const char*>(buf);
    if (pending_.size() + n <= kChunk) {
        pending_.append(p, n);
        length_ += n;
        return;
    }
    FlushPending();
    if (n >= kChunk) {
        WriteOut(p, n);
        length_ += n;
    } else {
        pending_.append(p, n);
        length_ += n;
    }
}

void OsFile::FlushPending() {
    if (pending_.empty()) return;
    WriteOut(pending_.data(), pending_.size());
    pending_.clear();
}

void OsFile::WriteOut(const char* p, std::size_t n) {
    while (n > 0) {
        long long put = WriteFd(fd_, p, n);
        if (put < 0) {
            if (errno == EINTR) continue;
            throw FileError("write failed: " + SystemError());
        }
        p += put;
        n -= static_cast<std::size_t>(put);
    }
}

Result<void> OsFile::SyncWith(int (*sync)(int)) {
    try {
        FlushPending();
    } catch (const FileError& e) {
        return Failure{e.what()};
    }
    if (sync(fd_) != 0) return Failure{"sync failed: " + SystemError()};
    return {};
}

Result<void> OsFile::Sync() { return SyncWith(SyncFd); }

Result<void> OsFile::SyncData() { return SyncWith(SyncDataFd); }

Result<void> OsFile::Close() {
    std::string flushError;
    if (fd_ >= 0) {
        try {
            FlushPending();
        } catch (const FileError& e) {
            flushError = e.what();
        }
    }
    int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && CloseFd(fd) != 0 && flushError.empty()) flushError = "close failed: " + SystemError();
    if (!flushError.empty()) return Failure{flushError};
    return {};
}

Result<void> ReplaceByRename(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
    if (!MoveFileExW(from.wstring().c_str(), to.wstring().c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Failure{"rename failed (error " + std::to_string(GetLastError()) + ")"};
    return {};
#else
    if (std::rename(from.c_str(), to.c_str()) != 0) return Failure{"rename failed: " + SystemError()};
    return {};
#endif
}

Result<FileIdentity> IdentityOf(const std::filesystem::path& path) {
#ifdef _WIN32
    const HANDLE h = CreateFileW(path.wstring().c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Failure{"cannot open (error " + std::to_string(GetLastError()) + ")"};
    FileIdentity id;
    const bool known = HandleIdentity(h, id);
    CloseHandle(h);
    if (!known) return Failure{"no file information"};
    return id;
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return Failure{SystemError()};
    return StatIdentity(st);
#endif
}

std::optional<unsigned> PermissionBits(const std::filesystem::path& path) {
#ifdef _WIN32
    (void)path;
    return std::nullopt;
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<unsigned>(st.st_mode & 0777);
#endif
}

FileStamp StampOf(const std::filesystem::path& path) {
    FileStamp s;
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!GetFileAttributesExW(path.wstring().c_str(), GetFileExInfoStandard, &info)) {
        const DWORD e = GetLastError();
        s.type =
            e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? FileStamp::Type::absent : FileStamp::Type::unknown;
        return s;
    }
    s.type = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileStamp::Type::other : FileStamp::Type::regular;
    s.size = (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    s.modified =
        std::int64_t((std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime);
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        s.type = errno == ENOENT || errno == ENOTDIR ? FileStamp::Type::absent : FileStamp::Type::unknown;
        return s;
    }
    s.type = S_ISREG(st.st_mode) ? FileStamp::Type::regular : FileStamp::Type::other;
    s.size = static_cast<std::uint64_t>(st.st_size);
#ifdef __APPLE__
    s.modified = std::int64_t(st.st_mtimespec.tv_sec) * 1000000000 + st.st_mtimespec.tv_nsec;
#else
    s.modified = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
#endif
    return s;
}

std::string LocalTimeStamp() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

Result<void> SyncDirectory(const std::filesystem::path& dir) {
#ifdef _WIN32
    (void)dir;
    return {};
#else
    int fd = OpenFd(dir.empty() ? std::filesystem::path(".") : dir, O_RDONLY | O_DIRECTORY, 0);
    if (fd < 0) return Failure{"cannot open folder: " + SystemError()};
    const bool synced = ::fsync(fd) == 0;
    const std::string why = synced ? std::string() : "folder sync failed: " + SystemError();
    ::close(fd);
    if (!synced) return Failure{why};
    return {};
#endif
}

ByteBlock::ByteBlock(std::size_t size) : size_(size) {
#if defined(MAP_POPULATE)
    // Large blocks only: a mapping costs a system call and whole pages.
    if (size >= std::size_t(1) << 20) {
        void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (p != MAP_FAILED) {
            data_ = static_cast<char*>(p);
            mapped_ = true;
            return;
        }
    }
#endif
    data_ = new char[size ? size : 1];
}

void ByteBlock::Free() noexcept {
    if (!data_) return;
#if defined(MAP_POPULATE)
    if (mapped_) {
        ::munmap(data_, size_);
        data_ = nullptr;
        return;
    }
#endif
    delete[] data_;
    data_ = nullptr;
}

} // namespace vantorel
