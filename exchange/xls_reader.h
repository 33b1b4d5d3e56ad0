// Excel 97-2003 workbooks (.xls) through libfreexl.
#pragma once

#include "exchange/read_progress.h"
#include "exchange/sheet_table.h"
#include "records/result.h"

#include <QStringList>

namespace vantorel::exchange::xls {

// The worksheets' names, in order.
Result<QStringList> SheetNames(const QString& path);
// Worksheet `index` as a table (not yet checked for being empty).
Result<SheetTable> ReadSheet(const QString& path, int index, const Progress& progress);

} // namespace vantorel::exchange::xls
