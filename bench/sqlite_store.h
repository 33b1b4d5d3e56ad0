// The same book in ordinary SQLite tables, one column per field, for
// comparison. Prepared statements, one transaction.
#pragma once

#include "records/data_files.h"

#include <filesystem>

namespace bench {

void SqliteSave(const vantorel::DataBook& book, const std::filesystem::path& db);
void SqliteLoad(vantorel::DataBook& book, const std::filesystem::path& db);

} // namespace bench
