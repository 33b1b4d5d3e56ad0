// Writes the recovery journal from a thread of its own, so that a change costs
// the user-interface thread only a copy into memory. The thread wakes at the
// first pending entry, gathers what follows for a moment, then writes the batch
// and syncs it: a change is on disk well within a second.
#pragma once

#include "result.h"
#include "storage.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace vantorel {

class JournalWriter {
public:
    using Failed = std::function<void(const std::string& reason)>;

    // Nothing is written until the first batch: then `header` and the batch go
    // to a temporary file beside `path`, which is synced and renamed to `path`
    // (replacing what is there), so that the journal is never seen half made.
    // Every step goes through `storage`, from the writer's thread.
    JournalWriter(std::filesystem::path path, std::string header, Storage& storage = SystemStorage(),
                  std::chrono::milliseconds gather = std::chrono::milliseconds(100));
    // Stops the thread after writing what is pending.
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Any thread; returns at once.
    void Append(std::string_view bytes);
    // Waits until everything appended so far is on disk (or has failed).
    Result<void> Flush();
    // Flushes, then ends the thread and closes the file. Append does nothing after.
    Result<void> Stop();

    // Called once, on the writer's thread, at the first failure. After a
    // failure nothing more is written: entries after a gap would not apply.
    void OnFailure(Failed failed);
    // True once the file exists at `path`.
    bool Created() const;
    std::uint64_t BytesWritten() const;

private:
    void Run();
    Result<void> Write(const std::string& batch);

    std::filesystem::path path_;
    std::string header_;
    Storage& storage_;
    std::chrono::milliseconds gather_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;    // the thread: entries pending, flush or stop asked for
    std::condition_variable written_; // Flush: a batch is done
    std::string pending_;
    std::uint64_t appended_ = 0; // batches handed in, counted by Append calls
    std::uint64_t done_ = 0;     // of those, written and synced (or failed)
    bool hurry_ = false;         // a Flush waits: no gathering
    bool stop_ = false;
    bool stopped_ = false;
    bool created_ = false;
    std::string failure_;
    Failed failed_;
    std::uint64_t bytes_ = 0;

    std::unique_ptr<WritableFile> file_; // the writer's thread only
    std::thread thread_;
};

} // namespace vantorel
