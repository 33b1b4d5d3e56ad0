// One CSV row per record, UTF-8 with a byte-order mark so that spreadsheets
// open Chinese text. List entries become numbered columns.
#pragma once

#include "records_kind.h"

#include <ostream>

namespace vantorel::tool {

struct CsvOptions {
    // Head the columns with the field paths ("holder.name") instead of the
    // forms' Chinese labels ("投保人姓名").
    bool fieldNames = false;
};

void WriteCsv(Kind kind, const CObject& collection, std::ostream& out, const CsvOptions& options = {});

// A text cell as written: a leading "=", "+", "-", "@", tab or carriage
// return gets a "'" before it, so that no spreadsheet runs it as a formula;
// so does one that has them after 's of its own ("'=x" goes out as "''=x"),
// so that the import takes off exactly the ' this added.
std::string GuardedText(std::string utf8);

} // namespace vantorel::tool
