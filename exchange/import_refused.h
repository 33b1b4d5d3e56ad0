// The rows an import refused, as a spreadsheet to mend and import again:
// the file's header and cells as they were read (with the user's
// corrections), and the reasons in a last column.
#pragma once

#include "import_plan.h"
#include "records/result.h"

#include <QString>

namespace vantorel::exchange {

// The column the reasons go under.
QString RefusedReasonHeader();

// Writes the refused rows of `plan` under `choice` to `path` (.xlsx); the
// value is how many rows were written.
Result<int> WriteRefusedRows(const QString& path, const ImportPlan& plan, DuplicateChoice choice);

} // namespace vantorel::exchange
