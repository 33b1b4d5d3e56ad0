#include "data_files.h"

#include "platform_file.h"

#include <algorithm>
#include <new>
#include <optional>
#include <system_error>

namespace vantorel {

namespace fs = std::filesystem;

namespace {

StorageFaultHook g_faultHook;

void Step(const char* step, const fs::path& file, std::uint64_t written = 0) {
    if (g_faultHook) g_faultHook(step, file, written);
}

// Lets the fault hook interrupt a write part-way.
class WatchedFile : public CFile {
public:
    WatchedFile(CFile& inner, fs::path path) : inner_(inner), path_(std::move(path)) {}
    std::size_t Read(void* buf, std::size_t n) override { return inner_.Read(buf, n); }
    void Write(const void* buf, std::size_t n) override {
        // Under a fault hook a large write goes out in pieces, so that a fault
        // can strike part-way through it, as a full disk can.
        const std::size_t piece = g_faultHook ? CArchive::kBufferSize : n;
        const char* p = static_cast<const char*>(buf);
        for (std::size_t done = 0, k; done < n; done += k) {
            k = std::min(piece, n - done);
            Step("write", path_, written_);
            inner_.Write(p + done, k);
            written_ += k;
        }
    }
    std::uint64_t GetLength() const override { return inner_.GetLength(); }

private:
    CFile& inner_;
    fs::path path_;
    std::uint64_t written_ = 0;
};

// A name beside `file` that nothing has yet: "data1.bcm.damaged-20261206-101500",
// with a number added if that name is taken.
fs::path FreeName(const fs::path& file, const char* suffix, std::string& error) {
    const std::string base = file.string() + suffix + LocalTimeStamp();
    fs::path target = base;
    // Anything at all by that name, a dangling link too, takes it.
    const auto taken = [](const fs::path& p) {
        std::error_code ec;
        return fs::symlink_status(p, ec).type() != fs::file_type::not_found;
    };
    for (int n = 2; taken(target); ++n) {
        if (n > 1000) {
            error = "no free name beside " + file.filename().string();
            return {};
        }
        target = base + "-" + std::to_string(n);
    }
    return target;
}

// Moves a damaged file aside. Never overwrites anything.
fs::path SetAside(const fs::path& file, std::string& error) {
    const fs::path target = FreeName(file, kDamagedSuffix, error);
    if (target.empty()) return {};
    std::error_code ec;
    fs::rename(file, target, ec);
    if (ec) {
        error = ec.message();
        return {};
    }
    return target;
}

void RemoveLeftovers(const fs::path& dir) {
    std::error_code ec;
    for (std::size_t i = 0; i < kFileCount; ++i) {
        fs::remove(dir / (std::string(kDataFileNames[i]) + kSavingSuffix), ec);
        fs::remove(dir / (std::string(kBackupFileNames[i]) + kSavingSuffix), ec);
    }
}

// Writes `fill` into `temp`, syncs and closes it. The archive's writes throw;
// what they throw becomes the reason.
Result<void> WriteTemporary(const fs::path& temp, const std::function<void(CFile&)>& fill, unsigned mode) {
    try {
        Step("create", temp);
        Result<std::unique_ptr<OsFile>> created = OsFile::Create(temp, mode);
        if (!created) return Failure{"cannot create " + temp.filename().string() + ": " + created.Reason()};
        OsFile& file = **created;
        WatchedFile watched(file, temp);
        fill(watched);
        Step("sync", temp);
        if (Result<void> synced = file.Sync(); !synced) return synced;
        Step("close", temp);
        return file.Close();
    } catch (const std::exception& e) {
        return Failure{e.what()};
    }
}

// Writes `fill` into a temporary file beside the file that `path` names
// (links followed), syncs it and renames it over that file. The result has
// `mode`, or the old file's permission bits, or is private when new. On any
// failure the temporary file is removed and the old file is untouched.
Result<void> WriteReplacing(const fs::path& path, const std::function<void(CFile&)>& fill,
                            std::optional<unsigned> mode = std::nullopt) {
    const fs::path target = SaveTarget(path);
    const fs::path temp = target.string() + kSavingSuffix;
    if (!mode) mode = PermissionBits(target);
    // The temporary file is closed by now: it can be removed on every system.
    Result<void> done = WriteTemporary(temp, fill, mode.value_or(OsFile::kPrivateMode));
    try {
        if (done) {
            Step("rename", target);
            done = ReplaceByRename(temp, target);
        }
    } catch (const std::exception& e) {
        done = Failure{e.what()};
    }
    if (!done) {
        std::error_code ec;
        fs::remove(temp, ec);
        return done;
    }
    try {
        Step("syncdir", target);
        return SyncDirectory(target.parent_path());
    } catch (const std::exception& e) {
        return Failure{e.what()};
    }
}

// Copies `from` to `to` through WriteReplacing, giving the copy the source's
// permission bits: a copy is never more open than what it copies.
Result<void> CopyWhole(const fs::path& from, const fs::path& to) {
    Result<std::unique_ptr<OsFile>> in = OsFile::OpenRead(from);
    if (!in) return Failure{"cannot open " + from.filename().string() + ": " + in.Reason()};
    return WriteReplacing(
        to,
        [&](CFile& out) {
            Step("copy", from);
            char buf[64 * 1024];
            for (std::size_t n; (n = (*in)->Read(buf, sizeof buf)) > 0;) out.Write(buf, n);
        },
        PermissionBits(from).value_or(OsFile::kPrivateMode));
}

// FNV-1a over the bytes a collection writes: tells whether it changed,
// without keeping a second copy of it.
class DigestFile : public CFile {
public:
    std::size_t Read(void*, std::size_t) override { return 0; }
    void Write(const void* buf, std::size_t n) override {
        for (const unsigned char* p = static_cast<const unsigned char*>(buf); n > 0; --n, ++p)
            value_ = (value_ ^ *p) * 0x100000001b3ull;
    }
    std::uint64_t GetLength() const override { return 0; }
    std::uint64_t Value() const { return value_; }

private:
    std::uint64_t value_ = 0xcbf29ce484222325ull;
};

std::uint64_t Digest(const CObject& collection) {
    DigestFile d;
    CArchive ar(d, CArchive::store);
    collection.Store(ar);
    ar.Close();
    return d.Value();
}

} // namespace

CObject& DataBook::Collection(std::size_t file) {
    switch (file) {
    case 0: return insurance;
    case 1: return clients;
    case 2: return members;
    default: return calendar;
    }
}

const CObject& DataBook::Collection(std::size_t file) const {
    switch (file) {
    case 0: return insurance;
    case 1: return clients;
    case 2: return members;
    default: return calendar;
    }
}

void DataBook::Clear() {
    insurance.RemoveAll();
    clients.RemoveAll();
    members.RemoveAll();
    calendar.RemoveAll();
}

fs::path FreeNameBeside(const fs::path& file, const char* suffix, std::string& error) {
    return FreeName(file, suffix, error);
}

void SetStorageFaultHook(StorageFaultHook hook) { g_faultHook = std::move(hook); }

fs::path SaveTarget(const fs::path& path) {
    fs::path target = path;
    // As many links as the system itself would follow; a loop is left as it is.
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec)) || ec) return target;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) return target;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return path;
}

FileLoadResult LoadFile(CObject& collection, const fs::path& path) {
    FileLoadResult r;
    r.file = path.filename().string();
    std::error_code ec;
    if (!fs::exists(path, ec) && !ec) {
        r.state = LoadState::missing;
        return r;
    }
    Result<std::unique_ptr<OsFile>> opened = OsFile::OpenRead(path);
    if (!opened) {
        r.state = LoadState::unreadable;
        r.reason = opened.Reason();
        r.keepOnSave = true;
        return r;
    }
    OsFile* file = opened->get();
    r.identity = file->Identity();
    if (file->GetLength() == 0) {
        r.state = LoadState::empty;
        return r;
    }
    const int before = collection.RecordCount();
    CArchive ar(*file, CArchive::load);
    try {
        collection.Serialize(ar);
        r.state = LoadState::loaded;
        // A count of zero or below, or one too small, leaves records unread;
        // so do bytes after the last record. Writing the collection back would drop them.
        if (ar.Position() < file->GetLength()) {
            r.state = LoadState::unreadBytes;
            r.offset = ar.Position();
            r.unread = file->GetLength() - ar.Position();
        }
    } catch (const CArchiveException& e) {
        r.state = LoadState::damaged;
        r.offset = e.offset();
        r.reason = e.what();
        r.keepOnSave = true;
    } catch (const FileError& e) {
        r.state = LoadState::damaged;
        r.offset = ar.Position();
        r.reason = e.what();
        r.keepOnSave = true;
    } catch (const std::bad_alloc&) {
        // Larger than the memory the system gives us: left in place, as a file that cannot be opened is.
        r.state = LoadState::unreadable;
        r.reason = "not enough memory to read it";
        r.keepOnSave = true;
    }
    ar.Close();
    r.records = collection.RecordCount() - before;
    return r;
}

FileSaveResult SaveFile(const CObject& collection, const fs::path& path) {
    FileSaveResult r;
    r.file = path.filename().string();
    const Result<void> written = WriteReplacing(path, [&](CFile& out) {
        CArchive ar(out, CArchive::store);
        collection.Store(ar);
        ar.Close();
    });
    r.saved = bool(written);
    r.reason = written.Reason();
    return r;
}

Result<void> ReplaceFileContents(const fs::path& path, const std::string& bytes) {
    return WriteReplacing(path, [&](CFile& out) { out.Write(bytes.data(), bytes.size()); });
}

LoadReport LoadAll(DataBook& book, const fs::path& dir) {
    RemoveLeftovers(dir);
    LoadReport report;
    for (std::size_t i = 0; i < kFileCount; ++i) {
        const fs::path path = dir / kDataFileNames[i];
        FileLoadResult r = LoadFile(book.Collection(i), path);
        std::string error;
        if (r.state == LoadState::damaged) {
            r.setAside = SetAside(SaveTarget(path), error);
            // Once moved aside nothing can overwrite it; otherwise the save must leave it alone.
            r.keepOnSave = r.setAside.empty();
            if (r.setAside.empty()) r.reason += "; could not set the file aside: " + error;
        } else if (r.state == LoadState::unreadBytes) {
            // The file stays in place, loadable as before; the copy keeps what the save would drop.
            const fs::path target = SaveTarget(path);
            const fs::path copy = FreeName(target, kUnreadSuffix, error);
            if (!copy.empty()) {
                const Result<void> copied = CopyWhole(target, copy);
                if (copied) r.setAside = copy;
                error = copied.Reason();
            }
            if (r.setAside.empty()) {
                r.keepOnSave = true;
                r.reason = "could not keep a copy of the file: " + error;
            }
        }
        if (r.keepOnSave) r.loadedDigest = Digest(book.Collection(i));
        report[i] = std::move(r);
    }
    return report;
}

FileSaveResult SaveOne(const DataBook& book, std::size_t i, const fs::path& dir, const LoadReport* loaded) {
    const fs::path path = dir / kDataFileNames[i];
    if (loaded && (*loaded)[i].state == LoadState::loaded && book.Collection(i).HoldsFileAsRead()) {
        // Still the very file that was read, untouched since?
        const Result<FileIdentity> now = IdentityOf(path);
        if (now && *now == (*loaded)[i].identity) {
            FileSaveResult r;
            r.file = kDataFileNames[i];
            r.saved = r.unchanged = true;
            return r;
        }
    }
    if (!loaded || !(*loaded)[i].keepOnSave) return SaveFile(book.Collection(i), path);
    FileSaveResult r;
    r.file = kDataFileNames[i];
    if (Digest(book.Collection(i)) == (*loaded)[i].loadedDigest) {
        r.leftAlone = true;
        r.reason = "not overwritten: it could not be read completely at start-up";
        return r;
    }
    // Something was typed into a collection whose file must stay as it is:
    // it goes to a new file beside that one, never over anything.
    const fs::path beside = FreeName(SaveTarget(path), kUnsavedSuffix, r.reason);
    if (beside.empty()) return r;
    r = SaveFile(book.Collection(i), beside);
    r.file = kDataFileNames[i];
    if (r.saved) r.savedAs = beside;
    return r;
}

SaveReport SaveAll(const DataBook& book, const fs::path& dir, const LoadReport* loaded) {
    SaveReport report;
    for (std::size_t i = 0; i < kFileCount; ++i) report[i] = SaveOne(book, i, dir, loaded);
    return report;
}

Result<void> BackupAll(const fs::path& dir) {
    for (std::size_t i = 0; i < kFileCount; ++i) {
        const Result<void> copied = CopyWhole(dir / kDataFileNames[i], dir / kBackupFileNames[i]);
        if (!copied)
            return Failure{std::string(kDataFileNames[i]) + " to " + kBackupFileNames[i] + ": " + copied.Reason()};
    }
    return {};
}

} // namespace vantorel
