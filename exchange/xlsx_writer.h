// Spreadsheets: a table written as an Excel workbook (.xlsx) with one sheet,
// a bold header row and typed cells, through libxlsxwriter.
#pragma once

#include "records/result.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct SheetCell {
    enum class Kind { empty, text, number, amount, date };
    Kind kind = Kind::empty;
    QString text;
    double number = 0; // number and amount (shown with two decimals)
    QDate date;

    static SheetCell Text(QString t) { return {Kind::text, std::move(t), 0, {}}; }
    static SheetCell Number(double v) { return {Kind::number, {}, v, {}}; }
    static SheetCell Amount(double v) { return {Kind::amount, {}, v, {}}; }
    static SheetCell Date(QDate d) { return {Kind::date, {}, 0, d}; }
};

// Rows are asked for one at a time, in order, so that a large book is never
// held twice in memory.
struct SheetTable {
    QString sheetName;
    QStringList header;
    std::size_t rows = 0;
    std::function<void(std::size_t row, std::vector<SheetCell>& cells)> row;
    // When set, told the fraction written now and then; returning false gives
    // the file up (the old one stays as it was) with the reason kCancelled.
    std::function<bool(double fraction)> progress;
};

inline constexpr const char* kXlsxCancelled = "已取消";

// Writes the workbook to a temporary file beside `path` (links followed) and
// renames it over `path` only when it is complete: a failure leaves an older
// file whole. A new file is private (0600); a replaced one keeps its
// permissions. A number that is not finite and a date a spreadsheet cannot
// show (before 1900) are written as text. Texts longer than a cell holds
// (32 767 characters) are cut to that length; the value is how many were.
// The reason of a failure is UTF-8 text for the user.
vantorel::Result<int> WriteXlsx(const QString& path, const SheetTable& table);
