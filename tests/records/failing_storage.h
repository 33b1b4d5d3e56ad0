// A storage for tests: the system's files, but one chosen step fails. Taken
// by records/ storage tests through storage_kit.h, and by the window tests and
// the journal's kill trials, which fail saves through the whole program.
#pragma once

#include "records/storage.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace testkit {

namespace fs = std::filesystem;

// The system's files, but one step fails as a full disk, a lost device or a
// folder without rights would make it fail; and a log of the steps taken.
// Handed to the code under test in place of SystemStorage().
class FailingStorage final : public vantorel::Storage {
public:
    enum class Step { create, write, sync, close, rename, syncFolder, copy, link };
    struct Fault {
        Step step = Step::create;
        // Only for files whose name starts with this (empty: every file). A
        // file is the one created, written, synced or closed; the one renamed
        // over or whose rename is synced; the one copied; the new name linked.
        std::string file;
        int from = 1;  // the first call of the step for such a file that fails (1: the first)
        int times = 0; // how many calls fail from there; 0: all
        // write, copy: the bytes of the file that are written (read) first;
        // the call that would pass them writes (reads) up to there, then fails.
        std::uint64_t afterBytes = 0;
    };

    FailingStorage() = default; // fails nothing until told to
    explicit FailingStorage(Fault fault) { Fail(std::move(fault)); }

    // From now on `fault` holds, counted afresh; it replaces any other.
    void Fail(Fault fault) {
        std::lock_guard<std::mutex> lock(mutex_);
        faults_.assign(1, Armed{std::move(fault)});
    }
    // `fault` holds too, beside those set already: a step and its fallback both fail.
    void AlsoFail(Fault fault) {
        std::lock_guard<std::mutex> lock(mutex_);
        faults_.push_back(Armed{std::move(fault)});
    }
    // How many calls failed since the last Fail.
    int Failures() const {
        std::lock_guard<std::mutex> lock(mutex_);
        int n = 0;
        for (const Armed& a : faults_) n += a.failures;
        return n;
    }
    // The names of the files `step` was taken for, in order, since the last Forget.
    std::vector<std::string> Taken(Step step) const {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::string> names;
        for (const auto& [s, name] : log_)
            if (s == step) names.push_back(name);
        return names;
    }
    void Forget() {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.clear();
    }

    vantorel::Result<std::unique_ptr<vantorel::WritableFile>> Create(const fs::path& path, unsigned mode) override {
        if (Fails(Step::create, path)) return Injected(Step::create);
        auto made = vantorel::SystemStorage().Create(path, mode);
        if (!made) return made;
        return std::unique_ptr<vantorel::WritableFile>(std::make_unique<File>(*this, path, std::move(*made)));
    }
    vantorel::Result<std::unique_ptr<vantorel::WritableFile>> OpenAppend(const fs::path& path) override {
        auto opened = vantorel::SystemStorage().OpenAppend(path);
        if (!opened) return opened;
        return std::unique_ptr<vantorel::WritableFile>(std::make_unique<File>(*this, path, std::move(*opened)));
    }
    vantorel::Result<std::unique_ptr<vantorel::CFile>> OpenToCopy(const fs::path& path) override {
        auto opened = vantorel::SystemStorage().OpenToCopy(path);
        if (!opened) return opened;
        return std::unique_ptr<vantorel::CFile>(std::make_unique<Source>(*this, path, std::move(*opened)));
    }
    vantorel::Result<void> Rename(const fs::path& from, const fs::path& to) override {
        if (Fails(Step::rename, to)) return Injected(Step::rename);
        return vantorel::SystemStorage().Rename(from, to);
    }
    vantorel::Result<void> SyncFolderOf(const fs::path& file) override {
        if (Fails(Step::syncFolder, file)) return Injected(Step::syncFolder);
        return vantorel::SystemStorage().SyncFolderOf(file);
    }
    vantorel::Result<void> Link(const fs::path& existing, const fs::path& link) override {
        if (Fails(Step::link, link)) return Injected(Step::link);
        return vantorel::SystemStorage().Link(existing, link);
    }

    static const char* Name(Step step) {
        static const char* const names[] = {"create", "write", "sync", "close", "rename", "syncdir", "copy", "link"};
        return names[static_cast<int>(step)];
    }

private:
    static std::string Reason(Step step) { return std::string("injected ") + Name(step) + " failure"; }
    static vantorel::Failure Injected(Step step) { return {Reason(step)}; }

    // Logs the step; true when it is to fail. For write and copy, `done` and
    // `n` are the bytes so far and those asked for: only a call that passes
    // afterBytes counts, and `allowed` is how many of the `n` still go through.
    bool Fails(Step step, const fs::path& file, std::uint64_t done = 0, std::uint64_t n = 0,
               std::uint64_t* allowed = nullptr) {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::string name = file.filename().string();
        log_.emplace_back(step, name);
        for (Armed& a : faults_) {
            const Fault& f = a.fault;
            if (step != f.step || name.rfind(f.file, 0) != 0) continue;
            if (allowed && done + n <= f.afterBytes) continue;
            ++a.calls;
            if (a.calls < f.from || (f.times > 0 && a.failures >= f.times)) continue;
            if (allowed) *allowed = f.afterBytes > done ? f.afterBytes - done : 0;
            ++a.failures;
            return true;
        }
        return false;
    }

    class File final : public vantorel::WritableFile {
    public:
        File(FailingStorage& s, fs::path path, std::unique_ptr<vantorel::WritableFile> real)
            : s_(s), path_(std::move(path)), real_(std::move(real)) {}
        std::size_t Read(void* buf, std::size_t n) override { return real_->Read(buf, n); }
        void Write(const void* buf, std::size_t n) override {
            std::uint64_t allowed = n;
            if (s_.Fails(Step::write, path_, written_, n, &allowed)) {
                real_->Write(buf, static_cast<std::size_t>(allowed));
                written_ += allowed;
                throw vantorel::FileError(Reason(Step::write));
            }
            real_->Write(buf, n);
            written_ += n;
        }
        std::uint64_t GetLength() const override { return real_->GetLength(); }
        vantorel::Result<void> Sync() override {
            if (s_.Fails(Step::sync, path_)) return Injected(Step::sync);
            return real_->Sync();
        }
        vantorel::Result<void> SyncData() override {
            if (s_.Fails(Step::sync, path_)) return Injected(Step::sync);
            return real_->SyncData();
        }
        vantorel::Result<void> Close() override {
            const vantorel::Result<void> closed = real_->Close();
            if (s_.Fails(Step::close, path_)) return Injected(Step::close);
            return closed;
        }

    private:
        FailingStorage& s_;
        fs::path path_;
        std::unique_ptr<vantorel::WritableFile> real_;
        std::uint64_t written_ = 0;
    };

    class Source final : public vantorel::CFile {
    public:
        Source(FailingStorage& s, fs::path path, std::unique_ptr<vantorel::CFile> real)
            : s_(s), path_(std::move(path)), real_(std::move(real)) {}
        std::size_t Read(void* buf, std::size_t n) override {
            std::uint64_t allowed = n;
            if (s_.Fails(Step::copy, path_, read_, n, &allowed)) {
                read_ += real_->Read(buf, static_cast<std::size_t>(allowed));
                throw vantorel::FileError(Reason(Step::copy));
            }
            const std::size_t got = real_->Read(buf, n);
            read_ += got;
            return got;
        }
        void Write(const void*, std::size_t) override { throw vantorel::FileError("a source is not written"); }
        std::uint64_t GetLength() const override { return real_->GetLength(); }

    private:
        FailingStorage& s_;
        fs::path path_;
        std::unique_ptr<vantorel::CFile> real_;
        std::uint64_t read_ = 0;
    };

    struct Armed {
        Fault fault;
        int calls = 0, failures = 0;
    };
    mutable std::mutex mutex_; // the journal's writer takes steps from its own thread
    std::vector<Armed> faults_;
    std::vector<std::pair<Step, std::string>> log_;
};

} // namespace testkit
