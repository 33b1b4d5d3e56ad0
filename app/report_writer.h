// Printable reports of one record: a title, then sections of labelled
// fields and tables, saved as an OpenDocument text file that word
// processors open.
#pragma once

#include "xlsx_writer.h"
#include "records/result.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class QWidget;

struct ReportTable {
    QString caption;
    QStringList headers;
    std::vector<QStringList> rows;
};

struct ReportSection {
    QString heading;
    std::vector<std::pair<QString, QString>> fields;
    std::vector<ReportTable> tables;
};

// Writes an OpenDocument text file (QTextDocumentWriter, "odf") through a
// temporary file renamed over `path`: a failure leaves an older file whole.
// The reason of a failure is UTF-8 text for the user.
vantorel::Result<void> WriteReport(const QString& path, const QString& title,
                                   const std::vector<ReportSection>& sections);

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
