// The same book in ordinary SQLite tables, one column per field, for
// comparison. Prepared statements, one transaction. A save writes a new
// database file, as SaveAll writes new files, with the settings below.
#pragma once

#include "records/data_files.h"

#include <filesystem>

namespace bench {

// SQLite's own default journal; FULL syncs the journal and the database at
// the commit, as SaveAll syncs each file and its folder.
inline constexpr const char* kSqliteSettings = "journal_mode=DELETE, synchronous=FULL";

void SqliteSave(const vantorel::DataBook& book, const std::filesystem::path& db);
void SqliteLoad(vantorel::DataBook& book, const std::filesystem::path& db);

} // namespace bench
