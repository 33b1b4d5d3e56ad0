// Records as a spreadsheet: the export columns with their Chinese labels,
// one row per record; sex and marital status as words, composed dates that
// are real dates as spreadsheet dates (text otherwise), amounts as numbers.
#pragma once

#include "xlsx_writer.h"
#include "records/people_records.h"

// The table reads `records` while it is written: they must outlive it.
SheetTable RecordSheet(const std::vector<vantorel::PolicyRecord>& records, const QString& sheetName);
SheetTable RecordSheet(const std::vector<vantorel::PotClientRecord>& records, const QString& sheetName);
SheetTable RecordSheet(const std::vector<vantorel::MemberRecord>& records, const QString& sheetName);
