// The benchmark book's clients as a CSV file of an older program: what the
// import's benchmarks read.
#pragma once

#include "records/data_book.h"

#include <QString>

namespace bench {

// GBK, comma-separated, RFC 4180 quotes, dates as text. False if the file
// cannot be written or a text has no GBK form.
bool WriteGbkCsv(const vantorel::DataBook& book, const QString& path);

} // namespace bench
