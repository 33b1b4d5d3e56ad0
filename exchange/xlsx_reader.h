// Excel workbooks (.xlsx, also as WPS writes them): the package's
// relationships lead to the workbook, its sheets, the shared strings and the
// styles; a sheet's XML is read as it is unpacked.
#pragma once

#include "exchange/read_progress.h"
#include "exchange/sheet_table.h"
#include "exchange/zip_package.h"
#include "records/result.h"

#include <QString>
#include <string_view>
#include <vector>

namespace vantorel::exchange::xlsx {

struct SheetPart {
    QString name; // as the workbook names it
    QString part; // the part's name in the package
};

struct Workbook {
    std::vector<SheetPart> sheets; // worksheets in the workbook's order (chart sheets left out)
    bool date1904 = false;         // serial days count from 1904-01-01
    QString sharedStrings;         // part names, empty when the package has none
    QString styles;
};

Result<Workbook> ReadWorkbook(ZipPackage& package);

// Sheet `index` of the workbook as a table (not yet checked for being empty).
Result<SheetTable> ReadSheet(ZipPackage& package, const Workbook& workbook, int index, const Progress& progress);

// Whether number format `id` (with its code, for the ids the workbook defines)
// shows a date: the built-in date ids (14-22, 45-47 and the East Asian 27-36,
// 50-58), and any code with y, m, d, h or s outside quotes and brackets.
bool IsDateFormat(int id, QStringView code);

// "BC12" as column 54 (0-based) and row 12 (1-based; 0 when the reference has
// no row). False when it is no cell reference of a sheet.
bool ParseCellRef(std::string_view ref, std::uint32_t& column, std::uint32_t& row);

} // namespace vantorel::exchange::xlsx
