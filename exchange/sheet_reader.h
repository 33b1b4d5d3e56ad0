// The import's one way into a file: what kind it is and which sheets it has,
// then one sheet as a table. The kind comes from the file's first bytes, not
// its name: a zip is an .xlsx package, an OLE2 compound file an .xls workbook
// (or a password-protected .xlsx, which Excel keeps in one), anything else is
// CSV or text. A name that says .xlsx or .xls over other content is refused.
//
// Failures carry a short reason for the agent (exchange/read_reasons.h),
// without the file's name, which the dialog puts before it. Both calls only
// read the file and keep no state between calls, so any thread may make them.
#pragma once

#include "exchange/read_progress.h"
#include "exchange/sheet_table.h"
#include "records/result.h"

#include <QString>
#include <QStringList>

namespace vantorel::exchange {

enum class FileKind { xlsx, xls, csv };

struct WorkbookInfo {
    FileKind kind = FileKind::csv;
    QStringList sheets;  // the worksheets' names in order; one empty name for CSV
    QString csvEncoding; // CSV: "UTF-8", "UTF-16LE", "UTF-16BE" or "GB18030"
    QChar csvSeparator;  // CSV: ',', ';' or '\t'
};

// The file's kind and sheets. Checks what can be checked without reading a
// sheet: the package's limits, a password, the CSV's encoding.
Result<WorkbookInfo> OpenSheets(const QString& path);

// Sheet `sheet` (an index into WorkbookInfo::sheets) as a table. `progress`
// hears the fraction done and may cancel (reasons::kCancelled). A sheet
// without a cell that is not blank fails with reasons::kEmptySheet; whether
// the row the agent picks makes a header is the importer's to say
// (FirstNonEmptyRow gives the default).
Result<SheetTable> ReadSheet(const QString& path, int sheet, const Progress& progress = {});

// The kind by the first bytes (and the name, to refuse a workbook's name on
// other content); also the password case of an encrypted package.
Result<FileKind> DetectKind(const QString& path);

} // namespace vantorel::exchange
