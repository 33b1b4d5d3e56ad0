#pragma once

#include <functional>

namespace vantorel::exchange {

// Told the fraction of the file read so far (0 to 1), now and then; returns
// false to stop the read, which then fails with reasons::kCancelled. Called on
// the reading thread. May be empty.
using Progress = std::function<bool(double fraction)>;

} // namespace vantorel::exchange
