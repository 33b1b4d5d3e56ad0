// What one run of the program works on: the data folder, the book read from
// it and the reminder switches as stored. The main window owns the one
// session; pages are handed the parts they show and change.
#pragma once

#include "settings.h"
#include "records/data_files.h"

#include <filesystem>
#include <future>

class Session {
public:
    explicit Session(std::filesystem::path folder) : folder_(std::move(folder)) {}
    // Waits for a load still under way.
    ~Session();
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
    // Waits for the files; the book read then replaces this one whole.
    void FinishOpen();
    void Open() {
        BeginOpen();
        FinishOpen();
    }
    const vantorel::LoadReport& LoadResults() const { return loaded_; }
    const ReminderSwitches& StoredSwitches() const { return stored_; }

    // The data files of the folder, kept as the load left them where it must.
    vantorel::SaveReport SaveAll() const { return vantorel::SaveAll(book_, folder_, &loaded_); }
    vantorel::FileSaveResult SaveOne(std::size_t file) const {
        return vantorel::SaveOne(book_, file, folder_, &loaded_);
    }
    vantorel::Result<void> Backup() const { return vantorel::BackupAll(folder_); }

private:
    struct Loaded {
        vantorel::DataBook book;
        vantorel::LoadReport report;
    };
    std::filesystem::path folder_;
    vantorel::DataBook book_;
    vantorel::LoadReport loaded_;
    ReminderSwitches stored_;
    std::future<Loaded> loading_;
};
