// `check` on the recovery journal: its entries and its torn tail.
#pragma once

#include <filesystem>

namespace vantorel::tool {

// True when `path` is named like the journal or a copy kept of it, or begins as one.
bool IsJournal(const std::filesystem::path& path);
// Prints what the journal holds; 0 when it is whole, 1 when it is not.
int CheckJournal(const std::filesystem::path& path);

} // namespace vantorel::tool
