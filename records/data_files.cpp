#include "data_files.h"

#include "platform_file.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <vector>

namespace vantorel {

namespace fs = std::filesystem;

namespace {

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

void RemoveLeftovers(const fs::path& dir) {
    std::error_code ec;
    for (const CollectionId id : kCollections) {
        fs::remove(dir / (std::string(kDataFileNames[id]) + kSavingSuffix), ec);
        fs::remove(dir / (std::string(kBackupFileNames[id]) + kSavingSuffix), ec);
    }
}

// Writes `fill` into `temp`, syncs and closes it. The archive's writes throw;
// what they throw becomes the reason.
Result<void> WriteTemporary(Storage& storage, const fs::path& temp, const std::function<void(CFile&)>& fill,
                            unsigned mode) {
    try {
        Result<std::unique_ptr<WritableFile>> created = storage.Create(temp, mode);
        if (!created) return Failure{"cannot create " + temp.filename().string() + ": " + created.Reason()};
        WritableFile& file = **created;
        fill(file);
        if (Result<void> synced = file.Sync(); !synced) return synced;
        return file.Close();
    } catch (const std::exception& e) {
        return Failure{e.what()};
    }
}

// Writes `fill` into a temporary file beside the file that `path` names
// (links followed), syncs it and renames it over that file. The result has
// `mode`, or the old file's permission bits, or is private when new. On any
// failure the temporary file is removed and the old file is untouched.
Result<void> WriteReplacing(Storage& storage, const fs::path& path, const std::function<void(CFile&)>& fill,
                            std::optional<unsigned> mode = std::nullopt) {
    const fs::path target = SaveTarget(path);
    const fs::path temp = target.string() + kSavingSuffix;
    if (!mode) mode = PermissionBits(target);
    // The temporary file is closed by now: it can be removed on every system.
    Result<void> done = WriteTemporary(storage, temp, fill, mode.value_or(OsFile::kPrivateMode));
    if (done) done = storage.Rename(temp, target);
    if (!done) {
        std::error_code ec;
        fs::remove(temp, ec);
        return done;
    }
    return storage.SyncFolderOf(target);
}

// Copies `from` to `to` through WriteReplacing, giving the copy the source's
// permission bits: a copy is never more open than what it copies.
Result<void> CopyWhole(Storage& storage, const fs::path& from, const fs::path& to) {
    Result<std::unique_ptr<CFile>> in = storage.OpenToCopy(from);
    if (!in) return Failure{"cannot open " + from.filename().string() + ": " + in.Reason()};
    return WriteReplacing(
        storage, to,
        [&](CFile& out) {
            char buf[64 * 1024];
            for (std::size_t n; (n = (*in)->Read(buf, sizeof buf)) > 0;) out.Write(buf, n);
        },
        PermissionBits(from).value_or(OsFile::kPrivateMode));
}

// Reads until `buf` is full or the file ends.
std::size_t ReadFull(CFile& file, char* buf, std::size_t n) {
    std::size_t got = 0;
    for (std::size_t k; got < n && (k = file.Read(buf + got, n - got)) > 0;) got += k;
    return got;
}

// Whether two files hold the same bytes; false when either cannot be read.
bool SameBytes(Storage& storage, const fs::path& a, const fs::path& b) {
    Result<std::unique_ptr<CFile>> x = storage.OpenToCopy(a);
    if (!x) return false;
    Result<std::unique_ptr<CFile>> y = storage.OpenToCopy(b);
    if (!y || (*x)->GetLength() != (*y)->GetLength()) return false;
    constexpr std::size_t kPiece = 256 * 1024;
    std::string p(kPiece, '\0'), q(kPiece, '\0');
    try {
        for (;;) {
            const std::size_t n = ReadFull(**x, p.data(), kPiece), m = ReadFull(**y, q.data(), kPiece);
            if (n != m || std::memcmp(p.data(), q.data(), n) != 0) return false;
            if (n == 0) return true;
        }
    } catch (const FileError&) {
        return false;
    }
}

// The plain files beside `target` named as files kept of it are: symbolic
// links are not among them, as they would follow whatever replaces it.
std::vector<fs::path> KeptBeside(const fs::path& target) {
    std::vector<fs::path> kept;
    const std::string name = target.filename().string();
    const fs::path folder = target.parent_path();
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string n = it->path().filename().string();
        std::error_code type;
        if (it->symlink_status(type).type() != fs::file_type::regular) continue;
        for (const char* suffix : {kDamagedSuffix, kUnreadSuffix})
            if (n.size() > name.size() && n.rfind(name + suffix, 0) == 0) kept.push_back(folder / n);
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

// Keeps the bytes of `target`, which stays where it is, under a second name
// beside it, before any save can replace it: a name that already holds this
// very file (a link of an earlier start) or the same bytes (a copy), else a
// new hard link, else a new copy. However often one file is loaded before a
// save, it is kept once, and a link found costs no read of it. Empty, with
// `error` set, when nothing keeps it.
fs::path KeepAside(Storage& storage, const fs::path& target, const char* suffix, std::string& error) {
    const std::vector<fs::path> kept = KeptBeside(target);
    const Result<FileIdentity> self = IdentityOf(target);
    if (!self) {
        error = self.Reason();
        return {};
    }
    if (self->inode != 0)
        for (const fs::path& k : kept)
            if (const Result<FileIdentity> id = IdentityOf(k);
                id && id->device == self->device && id->inode == self->inode)
                return k;
    // Only a file of the same size can be a copy; only then are the bytes read.
    for (const fs::path& k : kept)
        if (const Result<FileIdentity> id = IdentityOf(k);
            id && id->size == self->size && SameBytes(storage, target, k))
            return k;
    const fs::path name = FreeName(target, suffix, error);
    if (name.empty()) return {};
    const Result<void> linked = storage.Link(target, name);
    if (linked) {
        // A failed sync is no reason to copy: the link is there, and the file
        // system orders it before the save's later rename in the same folder.
        (void)storage.SyncFolderOf(name);
        return name;
    }
    const Result<void> copied = CopyWhole(storage, target, name);
    if (copied) return name;
    error = linked.Reason() + "; " + copied.Reason();
    return {};
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

fs::path FreeNameBeside(const fs::path& file, const char* suffix, std::string& error) {
    return FreeName(file, suffix, error);
}

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

FileSaveResult SaveFile(const CObject& collection, const fs::path& path, Storage& storage) {
    FileSaveResult r;
    r.file = path.filename().string();
    const Result<void> written = WriteReplacing(storage, path, [&](CFile& out) {
        CArchive ar(out, CArchive::store);
        collection.Store(ar);
        ar.Close();
    });
    r.outcome = written ? SaveOutcome::written : SaveOutcome::failed;
    r.reason = written.Reason();
    return r;
}

Result<void> ReplaceFileContents(const fs::path& path, const std::string& bytes, Storage& storage) {
    return WriteReplacing(storage, path, [&](CFile& out) { out.Write(bytes.data(), bytes.size()); });
}

LoadReport LoadAll(DataBook& book, const fs::path& dir, Storage& storage) {
    RemoveLeftovers(dir);
    LoadReport report;
    for (const CollectionId id : kCollections) {
        const fs::path path = dir / kDataFileNames[id];
        FileLoadResult r = LoadFile(book.Collection(id), path);
        if (r.state == LoadState::damaged || r.state == LoadState::unreadBytes) {
            // The file stays in place, loadable as before; a save may replace
            // it only once its bytes are kept elsewhere.
            const bool damaged = r.state == LoadState::damaged;
            std::string error;
            r.setAside = KeepAside(storage, SaveTarget(path), damaged ? kDamagedSuffix : kUnreadSuffix, error);
            r.keepOnSave = r.setAside.empty();
            if (r.keepOnSave)
                r.reason += std::string(damaged ? "; " : "") + "could not keep a copy of the file: " + error;
        }
        if (r.keepOnSave) r.loadedDigest = Digest(book.Collection(id));
        report[id] = std::move(r);
    }
    return report;
}

FileSaveResult SaveOne(const DataBook& book, CollectionId id, const fs::path& dir, const LoadReport* loaded,
                       Storage& storage) {
    const fs::path path = dir / kDataFileNames[id];
    const CObject& collection = book.Collection(id);
    if (loaded && (*loaded)[id].state == LoadState::loaded && collection.HoldsFileAsRead()) {
        // Still the very file that was read, untouched since?
        const Result<FileIdentity> now = IdentityOf(path);
        if (now && *now == (*loaded)[id].identity) {
            FileSaveResult r;
            r.file = kDataFileNames[id];
            r.outcome = SaveOutcome::unchanged;
            return r;
        }
    }
    if (!loaded || !(*loaded)[id].keepOnSave) return SaveFile(collection, path, storage);
    FileSaveResult r;
    r.file = kDataFileNames[id];
    if (Digest(collection) == (*loaded)[id].loadedDigest) {
        r.outcome = SaveOutcome::leftAlone;
        r.reason = "not overwritten: it could not be read completely at start-up";
        return r;
    }
    // Something was typed into a collection whose file must stay as it is:
    // it goes to a new file beside that one, never over anything.
    const fs::path beside = FreeName(SaveTarget(path), kUnsavedSuffix, r.reason);
    if (beside.empty()) return r;
    r = SaveFile(collection, beside, storage);
    r.file = kDataFileNames[id];
    if (r.outcome == SaveOutcome::written) {
        r.outcome = SaveOutcome::savedBeside;
        r.savedAs = beside;
    }
    return r;
}

SaveReport SaveAll(const DataBook& book, const fs::path& dir, const LoadReport* loaded, Storage& storage) {
    SaveReport report;
    for (const CollectionId id : kCollections) report[id] = SaveOne(book, id, dir, loaded, storage);
    return report;
}

BackupReport BackupAll(const DataBook& book, const fs::path& dir, const LoadReport* loaded, Storage& storage) {
    BackupReport report;
    for (const CollectionId id : kCollections) {
        FileBackupResult& r = report[id];
        r.file = kBackupFileNames[id];
        const LoadState state = loaded ? (*loaded)[id].state : LoadState::loaded;
        r.partial = state == LoadState::damaged || state == LoadState::unreadable || state == LoadState::unreadBytes;
        // No more open than the data file it stands for.
        const std::optional<unsigned> mode = PermissionBits(dir / kDataFileNames[id]);
        const Result<void> written = WriteReplacing(
            storage, dir / kBackupFileNames[id],
            [&](CFile& out) {
                CArchive ar(out, CArchive::store);
                book.Collection(id).Store(ar);
                ar.Close();
            },
            mode.value_or(OsFile::kPrivateMode));
        r.written = bool(written);
        r.reason = written.Reason();
    }
    return report;
}

} // namespace vantorel
