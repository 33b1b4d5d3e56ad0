// One CSV row per record, UTF-8 with a byte-order mark so that spreadsheets
// open Chinese text. List entries become numbered columns.
#pragma once

#include "records_kind.h"

#include <ostream>

namespace vantorel::tool {

void WriteCsv(Kind kind, const CObject& collection, std::ostream& out);

} // namespace vantorel::tool
