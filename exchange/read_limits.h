// What a file may hold before the import refuses it. Past these a file is
// either not an agent's book or made to exhaust the machine.
#pragma once

#include <cstdint>

namespace vantorel::exchange {

inline constexpr std::int64_t kMaxUnpackedBytes = std::int64_t(1) << 30; // all parts of a package together
inline constexpr std::int64_t kMaxRatio = 100;                           // unpacked / packed, of a part
// Small parts compress far better than large ones (an empty sharedStrings):
// the ratio is only held against parts that unpack to more than this.
inline constexpr std::int64_t kRatioFloorBytes = std::int64_t(1) << 20;
inline constexpr std::int64_t kMaxFileBytes = std::int64_t(1) << 30; // a CSV file
inline constexpr std::uint32_t kMaxRows = 1'000'000;
inline constexpr std::uint32_t kMaxColumns = 16'384; // XFD, the last column a spreadsheet has

} // namespace vantorel::exchange
