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
// return gets a "'" before it, so that no spreadsheet runs it as a formula.
std::string GuardedText(std::string utf8);

} // namespace vantorel::tool
