#include "data_files.h"

#include "platform_file.h"

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
        Step("write", path_, written_);
        inner_.Write(buf, n);
        written_ += n;
    }
    std::uint64_t GetLength() const override { return inner_.GetLength(); }

private:
    CFile& inner_;
    fs::path path_;
    std::uint64_t written_ = 0;
};

fs::path Folder(const fs::path& dir) { return dir.empty() ? fs::path(".") : dir; }

// "data1.bcm" -> "data1.bcm.damaged-20261206-101500", with a number added
// if that name is taken. Never overwrites anything.
fs::path SetAside(const fs::path& file, std::string& error) {
    const std::string base = file.string() + ".damaged-" + LocalTimeStamp();
    fs::path target = base;
    std::error_code ec;
    for (int n = 2; fs::exists(target, ec) || ec; ++n) {
        if (n > 1000) {
            error = "no free name to set the file aside";
            return {};
        }
        target = base + "-" + std::to_string(n);
    }
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

// Writes `fill` into a temporary file beside `target`, syncs it and renames it
// over `target`. On any failure the temporary file is removed and `target`
// is untouched.
bool WriteReplacing(const fs::path& target, const std::function<void(CFile&)>& fill, std::string& error) {
    const fs::path temp = target.string() + kSavingSuffix;
    try {
        Step("create", temp);
        auto file = OsFile::Create(temp, error);
        if (!file) {
            error = "cannot create " + temp.filename().string() + ": " + error;
            return false;
        }
        try {
            WatchedFile watched(*file, temp);
            fill(watched);
            Step("sync", temp);
            file->Sync();
            Step("close", temp);
            file->Close();
        } catch (...) {
            file.reset();
            std::error_code ec;
            fs::remove(temp, ec);
            throw;
        }
        Step("rename", target);
        if (!ReplaceByRename(temp, target, error)) {
            std::error_code ec;
            fs::remove(temp, ec);
            return false;
        }
        Step("syncdir", target);
        if (!SyncDirectory(target.parent_path(), error)) return false;
        return true;
    } catch (const std::exception& e) {
        std::error_code ec;
        fs::remove(temp, ec);
        error = e.what();
        return false;
    }
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
    return const_cast<DataBook*>(this)->Collection(file);
}

void DataBook::Clear() {
    insurance.RemoveAll();
    clients.RemoveAll();
    members.RemoveAll();
    calendar.RemoveAll();
}

DataBook& TheBook() {
    static DataBook book;
    return book;
}

void SetStorageFaultHook(StorageFaultHook hook) { g_faultHook = std::move(hook); }

FileLoadResult LoadFile(CObject& collection, const fs::path& path) {
    FileLoadResult r;
    r.file = path.filename().string();
    std::error_code ec;
    if (!fs::exists(path, ec) && !ec) {
        r.state = LoadState::missing;
        return r;
    }
    std::string error;
    auto file = OsFile::OpenRead(path, error);
    if (!file) {
        r.state = LoadState::unreadable;
        r.reason = error;
        r.keepOnSave = true;
        return r;
    }
    if (file->GetLength() == 0) {
        r.state = LoadState::empty;
        return r;
    }
    const int before = collection.RecordCount();
    CArchive ar(*file, CArchive::load);
    try {
        collection.Serialize(ar);
        r.state = LoadState::loaded;
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
    }
    ar.Close();
    r.records = collection.RecordCount() - before;
    return r;
}

FileSaveResult SaveFile(const CObject& collection, const fs::path& path) {
    FileSaveResult r;
    r.file = path.filename().string();
    r.saved = WriteReplacing(
        path,
        [&](CFile& out) {
            CArchive ar(out, CArchive::store);
            // Storing only reads the records.
            const_cast<CObject&>(collection).Serialize(ar);
            ar.Close();
        },
        r.reason);
    return r;
}

LoadReport LoadAll(DataBook& book, const fs::path& dir) {
    const fs::path folder = Folder(dir);
    RemoveLeftovers(folder);
    LoadReport report;
    for (std::size_t i = 0; i < kFileCount; ++i) {
        const fs::path path = folder / kDataFileNames[i];
        FileLoadResult r = LoadFile(book.Collection(i), path);
        if (r.state == LoadState::damaged) {
            std::string error;
            r.setAside = SetAside(path, error);
            // Once moved aside nothing can overwrite it; otherwise the save must leave it alone.
            r.keepOnSave = r.setAside.empty();
            if (r.setAside.empty()) r.reason += "; could not set the file aside: " + error;
        }
        report[i] = std::move(r);
    }
    return report;
}

SaveReport SaveAll(const DataBook& book, const fs::path& dir, const LoadReport* loaded) {
    const fs::path folder = Folder(dir);
    SaveReport report;
    for (std::size_t i = 0; i < kFileCount; ++i) {
        const fs::path path = folder / kDataFileNames[i];
        if (loaded && (*loaded)[i].keepOnSave) {
            report[i].file = kDataFileNames[i];
            report[i].reason = "not overwritten: it could not be read completely at start-up";
            continue;
        }
        report[i] = SaveFile(book.Collection(i), path);
    }
    return report;
}

bool BackupAll(const fs::path& dir) {
    const fs::path folder = Folder(dir);
    for (std::size_t i = 0; i < kFileCount; ++i) {
        const fs::path from = folder / kDataFileNames[i];
        std::string error;
        auto in = OsFile::OpenRead(from, error);
        if (!in) return false;
        bool ok = WriteReplacing(
            folder / kBackupFileNames[i],
            [&](CFile& out) {
                Step("copy", from);
                char buf[64 * 1024];
                for (std::size_t n; (n = in->Read(buf, sizeof buf)) > 0;) out.Write(buf, n);
            },
            error);
        if (!ok) return false;
    }
    return true;
}

} // namespace vantorel
