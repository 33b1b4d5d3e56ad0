// How the readers fill a SheetTable: rows in increasing order, cells in each
// row in increasing column order, texts either added once and referenced
// (shared strings) or added with their cell.
#pragma once

#include "exchange/sheet_table.h"

#include <QDateTime>
#include <string>
#include <string_view>

namespace vantorel::exchange {

class SheetTableBuilder {
public:
    // A text's place in the pool, to be given to any number of cells.
    struct TextRef {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };

    // Room for `cells` cells and `poolUnits` UTF-16 units of text, as a hint.
    void Reserve(std::size_t cells, std::size_t poolUnits);
    // False when the pool would pass 4 Gi units (the file is far past every
    // other limit by then).
    bool AddText(QStringView text, TextRef& ref);
    // The same from UTF-8 (a sequence that is not UTF-8 becomes U+FFFD).
    bool AddUtf8(std::string_view utf8, TextRef& ref);
    // The pool is this text, and unquoted CSV fields can point into it
    // without a copy. Only before anything else is added.
    void AdoptPool(QString text);
    QStringView Pool() const { return table_.pool_; }

    // Starts row `fileRow` (1-based); false unless it is past the last one started.
    bool StartRow(std::uint32_t fileRow);
    std::uint32_t CurrentRow() const { return row_; }
    // Each false unless `column` is past the row's last cell. An empty text
    // stores nothing.
    bool Text(std::uint32_t column, TextRef ref);
    bool Text(std::uint32_t column, QStringView text);
    bool Number(std::uint32_t column, double value);
    bool Boolean(std::uint32_t column, bool value);
    // A date with its time of day in milliseconds (-1: none).
    bool Date(std::uint32_t column, QDate date, int msecs);

    // A merged range, rows and columns inclusive (rows 1-based, columns 0-based).
    void Merge(std::uint32_t firstRow, std::uint32_t firstColumn, std::uint32_t lastRow, std::uint32_t lastColumn);

    std::size_t CellCount() const { return table_.cells_.size(); }
    std::size_t MemoryBytes() const { return table_.MemoryBytes(); }

    // The table, with every merged range filled from its top-left cell. False
    // (and `reason` set) when the merged ranges would add more cells than a
    // sheet may hold.
    bool Finish(SheetTable& out, std::string& reason);

private:
    bool Add(std::uint32_t column, SheetTable::Entry e);
    void CloseRow();
    bool ApplyMerges(std::string& reason);

    struct Range {
        std::uint32_t firstRow, firstColumn, lastRow, lastColumn;
    };
    SheetTable table_;
    std::vector<Range> merges_;
    std::uint32_t row_ = 0;
    bool rowOpen_ = false;
    std::int64_t lastColumn_ = -1;
};

// A spreadsheet's serial day number as a date and a time of day in
// milliseconds (-1 when it has none); false when it is no date a spreadsheet
// shows (negative, 29 February 1900 that never was, past 9999).
bool SerialToDate(double serial, bool date1904, QDate& date, int& msecs);

} // namespace vantorel::exchange
