#include "storage.h"

#include "platform_file.h"

namespace vantorel {

namespace {

template <class To, class From> Result<std::unique_ptr<To>> Widen(Result<std::unique_ptr<From>> opened) {
    if (!opened) return Failure{opened.Reason()};
    return std::unique_ptr<To>(std::move(*opened));
}

class SystemFiles final : public Storage {
public:
    Result<std::unique_ptr<WritableFile>> Create(const std::filesystem::path& path, unsigned mode) override {
        return Widen<WritableFile>(OsFile::Create(path, mode));
    }
    Result<std::unique_ptr<WritableFile>> OpenAppend(const std::filesystem::path& path) override {
        return Widen<WritableFile>(OsFile::OpenAppend(path));
    }
    Result<std::unique_ptr<CFile>> OpenToCopy(const std::filesystem::path& path) override {
        return Widen<CFile>(OsFile::OpenRead(path));
    }
    Result<void> Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return ReplaceByRename(from, to);
    }
    Result<void> SyncFolderOf(const std::filesystem::path& file) override { return SyncDirectory(file.parent_path()); }
    Result<void> Link(const std::filesystem::path& existing, const std::filesystem::path& link) override {
        std::error_code ec;
        std::filesystem::create_hard_link(existing, link, ec);
        if (ec) return Failure{"link failed: " + ec.message()};
        return {};
    }
};

} // namespace

Storage& SystemStorage() {
    static SystemFiles files;
    return files;
}

} // namespace vantorel
