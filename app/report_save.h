// Saving a page's report where the user chooses: a report document or a
// spreadsheet, and one box that says how it went.
#pragma once

#include "exchange/report_writer.h"
#include "exchange/xlsx_writer.h"

#include <functional>
#include <vector>

class QWidget;

// The report as a spreadsheet, one row per record of the report; made only
// when a spreadsheet is asked for.
using SheetMaker = std::function<SheetTable()>;

// Asks for a file name through msg::SaveFileName (suggested name given),
// offering an OpenDocument text and an Excel workbook: a name ending in
// ".xlsx" gets the spreadsheet whichever is chosen, a name without a suffix
// gets the chosen one's. Writes, and tells the user the outcome with
// msg::Info; nothing on cancel.
void SaveReportInteractive(QWidget* parent, const QString& title, const std::vector<ReportSection>& sections,
                           const QString& suggestedName, const SheetMaker& sheet);
