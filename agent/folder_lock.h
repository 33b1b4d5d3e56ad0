// The lock that keeps two programs out of one data folder at once: the
// running program holds it, and the data tool takes it before it writes.
#pragma once

#include <QLockFile>

// Beside the data files.
inline constexpr const char* kFolderLockFileName = "vantorel.lock";

// Takes the folder's lock; false when a running copy holds it.
bool TakeFolderLock(QLockFile& lock);
