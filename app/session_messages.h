// What the program tells the user about its data files when it starts, when
// it backs them up and when it closes: files not read completely, what a
// recovery journal brought back, a journal that cannot be written, a backup,
// a save that failed.
#pragma once

#include "records/data_files.h"

#include <QString>
#include <filesystem>
#include <string>

namespace vantorel {
struct JournalRecovery;
}

namespace messages {

// The start-up message for files not read completely from `folder`; empty when all were.
QString DamagedFiles(const vantorel::LoadReport& report, const std::filesystem::path& folder);
// The start-up message for what a journal left by a run that did not end in
// order brought back, and what it did not; empty when there is nothing to say.
QString Recovery(const vantorel::JournalRecovery& recovery, const std::filesystem::path& folder);
// The box after "备份数据": "备份成功！" or "备份失败！", then the backups not
// written with their reasons and those written, and the data files whose
// backup holds less than the file, for not having been read completely.
QString Backup(const vantorel::BackupReport& report, const std::filesystem::path& folder);
// Told once when the journal cannot be written.
QString JournalFailure(const QString& reason);
// A data file that could not be saved at close, with the question whether to try again.
QString SaveFailed(const std::string& file, const std::string& reason);
// A file kept from the load whose collection changed: where this run's records went.
QString SavedBeside(const std::string& file, bool unreadable, const QString& path);

} // namespace messages
