// What one run of the program works on: the data folder, the book read from
// it and the reminder switches as stored. The main window owns the one
// session; pages are handed the parts they show and change. Every change to
// the book goes to the recovery journal beside the data files.
#pragma once

#include "settings.h"
#include "records/data_files.h"
#include "records/journal.h"

#include <array>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <string>

class Session {
public:
    // Files are written through `storage`: the system's, or a failing one in tests.
    explicit Session(std::filesystem::path folder, vantorel::Storage& storage = vantorel::SystemStorage())
        : folder_(std::move(folder)), storage_(&storage) {}
    // Waits for a load still under way.
    ~Session();
    // Handed on before FinishOpen (the journal then watches this book).
    Session(Session&&) = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    // Until FinishOpen this book is the one the session started with.
    vantorel::DataBook& Book() { return book_; }
    const vantorel::DataBook& Book() const { return book_; }

    // Reads the reminder switches from the settings store, and starts
    // reading the four data files into a fresh book on a thread of its own,
    // so that the window can be built meanwhile. Nothing while a read is
    // under way.
    void BeginOpen();
    // Waits for the files; the book read then replaces this one whole. Makes
    // again the changes a journal left by a run that did not end in order
    // holds, and journals every change from now on.
    void FinishOpen();
    void Open() {
        BeginOpen();
        FinishOpen();
    }
    const vantorel::LoadReport& LoadResults() const { return loaded_; }
    const vantorel::JournalRecovery& Recovery() const { return recovery_; }
    const ReminderSwitches& StoredSwitches() const { return stored_; }
    // Called once, from the journal's own thread, when it cannot be written.
    // Set before FinishOpen.
    void OnJournalFailure(std::function<void(const std::string&)> failed) { journalFailed_ = std::move(failed); }

    // The data files of the folder, kept as the load left them where it must.
    // Each file saved is marked in the journal.
    vantorel::SaveReport SaveAll();
    vantorel::FileSaveResult SaveOne(std::size_t file);
    // After the saves: ends the journal, and removes it when every file was
    // saved; otherwise it stays for the next start.
    vantorel::Result<void> CloseJournal();
    // Waits until every change so far is in the journal on disk.
    vantorel::Result<void> FlushJournal();
    // The book as it is now, to data1.BAK..data4.BAK; the data files and the
    // journal are not touched.
    vantorel::BackupReport Backup() const { return vantorel::BackupAll(book_, folder_, &loaded_, *storage_); }

private:
    struct Loaded {
        vantorel::DataBook book;
        vantorel::LoadReport report;
    };
    std::filesystem::path folder_;
    vantorel::Storage* storage_;
    vantorel::DataBook book_;
    vantorel::LoadReport loaded_;
    ReminderSwitches stored_;
    vantorel::JournalRecovery recovery_;
    std::function<void(const std::string&)> journalFailed_;
    std::array<bool, vantorel::kFileCount> saved_{}; // saved, or kept on purpose
    std::future<Loaded> loading_;
    // Last: it stops watching the book before the book goes.
    std::unique_ptr<vantorel::Journal> journal_;
};
