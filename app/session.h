// What one run of the program works on: the data folder, the book read from
// it and the reminder switches as stored. The main window owns the one
// session; pages are handed the parts they show and change.
#pragma once

#include "settings.h"
#include "records/data_files.h"

#include <filesystem>

class Session {
public:
    explicit Session(std::filesystem::path folder) : folder_(std::move(folder)) {}

    const std::filesystem::path& Folder() const { return folder_; }
    vantorel::DataBook& Book() { return book_; }
    const vantorel::DataBook& Book() const { return book_; }

    // Reads the four data files into a fresh book, which then replaces this
    // one whole, and the reminder switches from the settings store.
    void Open();
    const vantorel::LoadReport& LoadResults() const { return loaded_; }
    const ReminderSwitches& StoredSwitches() const { return stored_; }

    // The data files of the folder, kept as the load left them where it must.
    vantorel::SaveReport SaveAll() const { return vantorel::SaveAll(book_, folder_, &loaded_); }
    vantorel::FileSaveResult SaveOne(std::size_t file) const {
        return vantorel::SaveOne(book_, file, folder_, &loaded_);
    }
    vantorel::Result<void> Backup() const { return vantorel::BackupAll(folder_); }

private:
    std::filesystem::path folder_;
    vantorel::DataBook book_;
    vantorel::LoadReport loaded_;
    ReminderSwitches stored_;
};
