#include "journal_writer.h"

#include "data_files.h"
#include "platform_file.h"

namespace vantorel {

namespace fs = std::filesystem;

JournalWriter::JournalWriter(fs::path path, std::string header, Storage& storage, std::chrono::milliseconds gather)
    : path_(std::move(path)), header_(std::move(header)), storage_(storage), gather_(gather) {
    thread_ = std::thread([this] { Run(); });
}

JournalWriter::~JournalWriter() { (void)Stop(); }

void JournalWriter::Append(std::string_view bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stop_ || bytes.empty()) return;
    const bool wake = pending_.empty();
    pending_.append(bytes);
    ++appended_;
    if (wake) wake_.notify_one();
}

Result<void> JournalWriter::Flush() {
    std::unique_lock<std::mutex> lock(mutex_);
    const std::uint64_t target = appended_;
    if (done_ < target) {
        hurry_ = true;
        wake_.notify_one();
        written_.wait(lock, [&] { return done_ >= target; });
    }
    if (!failure_.empty()) return Failure{failure_};
    return {};
}

Result<void> JournalWriter::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopped_) {
            if (!failure_.empty()) return Failure{failure_};
            return {};
        }
        stop_ = true;
        wake_.notify_one();
    }
    if (thread_.joinable()) thread_.join();
    Result<void> closed;
    if (file_) closed = file_->Close();
    file_.reset();
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    if (!closed && failure_.empty()) failure_ = closed.Reason();
    if (!failure_.empty()) return Failure{failure_};
    return {};
}

void JournalWriter::OnFailure(Failed failed) {
    std::lock_guard<std::mutex> lock(mutex_);
    failed_ = std::move(failed);
}

bool JournalWriter::Created() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return created_;
}

std::uint64_t JournalWriter::BytesWritten() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
}

void JournalWriter::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return !pending_.empty() || stop_; });
        if (pending_.empty()) return; // stopped, nothing left
        // Changes come in bursts (a page saving a form, a test's script): one
        // write and one sync for the burst instead of one each.
        if (!stop_ && !hurry_) wake_.wait_for(lock, gather_, [&] { return stop_ || hurry_; });
        hurry_ = false;
        std::string batch;
        batch.swap(pending_);
        const std::uint64_t upTo = appended_;
        const bool broken = !failure_.empty();
        lock.unlock();
        const Result<void> written = broken ? Result<void>() : Write(batch);
        lock.lock();
        if (!written && failure_.empty()) {
            failure_ = written.Reason();
            // Told before a Flush waiting for this batch returns.
            if (Failed tell = failed_) {
                lock.unlock();
                tell(written.Reason());
                lock.lock();
            }
        } else if (written && !broken) {
            bytes_ += batch.size();
        }
        done_ = upTo;
        written_.notify_all();
    }
}

Result<void> JournalWriter::Write(const std::string& batch) {
    if (file_) {
        try {
            file_->Write(batch.data(), batch.size());
        } catch (const FileError& e) {
            return Failure{e.what()};
        }
        return file_->SyncData();
    }
    const fs::path temp = path_.string() + kSavingSuffix;
    Result<std::unique_ptr<WritableFile>> created = storage_.Create(temp, OsFile::kPrivateMode);
    if (!created) return Failure{"cannot create " + temp.filename().string() + ": " + created.Reason()};
    const auto fail = [&](const std::string& why) {
        // Closed first: Windows removes no file that is open.
        created->reset();
        std::error_code ec;
        fs::remove(temp, ec);
        return Failure{why};
    };
    try {
        (*created)->Write(header_.data(), header_.size());
        (*created)->Write(batch.data(), batch.size());
    } catch (const FileError& e) {
        return fail(e.what());
    }
    if (Result<void> r = (*created)->Sync(); !r) return fail(r.Reason());
    if (Result<void> r = (*created)->Close(); !r) return fail(r.Reason());
    if (Result<void> r = storage_.Rename(temp, path_); !r) return fail(r.Reason());
    if (Result<void> r = storage_.SyncFolderOf(path_); !r) return r;
    // Reopened rather than kept open: Windows renames no file that is open.
    Result<std::unique_ptr<WritableFile>> opened = storage_.OpenAppend(path_);
    if (!opened) return Failure{"cannot open " + path_.filename().string() + ": " + opened.Reason()};
    file_ = std::move(*opened);
    std::lock_guard<std::mutex> lock(mutex_);
    created_ = true;
    bytes_ += header_.size();
    return {};
}

} // namespace vantorel
