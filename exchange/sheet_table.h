// A sheet read from a spreadsheet or CSV file: rows of typed cells, compact
// enough for a book of 100 000 rows. Only non-empty cells are stored (16
// bytes each); every text lives in one UTF-16 pool per table, and a shared
// string is kept there once however many cells name it. A table is read-only
// once built and may be handed between threads.
#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <QTime>
#include <cstdint>
#include <vector>

namespace vantorel::exchange {

enum class CellKind : std::uint8_t { empty, text, number, boolean, date };

class SheetTable;

// One cell, as a view into its table: valid while the table lives.
class TableCell {
public:
    CellKind Kind() const { return kind_; }
    bool IsEmpty() const { return kind_ == CellKind::empty; }
    // The text of a text cell; empty for the other kinds.
    QStringView TextView() const;
    QString Text() const { return TextView().toString(); }
    double Number() const { return kind_ == CellKind::number ? number_ : 0; }
    bool Boolean() const { return kind_ == CellKind::boolean && boolean_; }
    QDate Date() const { return kind_ == CellKind::date ? QDate::fromJulianDay(julianDay_) : QDate(); }
    // The time of day of a date that has one; invalid for a plain date.
    QTime Time() const;
    // What a spreadsheet program shows, roughly: the text, the number in its
    // shortest exact form ("1234.5", "12"), TRUE or FALSE, a date as
    // 2004-02-29 (with " 10:30:00" when it has a time of day).
    QString DisplayText() const;
    // Empty, or text of nothing but blanks.
    bool IsBlank() const;

private:
    friend class SheetTable;
    CellKind kind_ = CellKind::empty;
    bool boolean_ = false;
    double number_ = 0;
    std::int64_t julianDay_ = 0;
    int msecs_ = -1;
    QStringView text_;
};

// Rows are numbered as the file numbers them (1 is the first row of the
// sheet, or the first record of a CSV); rows without any cell are not stored.
// A merged range's value stands in every cell of the range.
class SheetTable {
public:
    // The stored rows, in file order.
    int RowCount() const { return int(rows_.size()); }
    // The row number the file gives row `index` (1-based).
    int FileRow(int index) const { return int(rows_[std::size_t(index)].fileRow); }
    // The index of the stored row with that file row number, or -1.
    int IndexOfFileRow(int fileRow) const;
    // One past the rightmost column that holds a cell in any row.
    int ColumnCount() const { return columns_; }
    // One past the rightmost column of row `index` holding a cell.
    int RowWidth(int index) const;
    // Column 0 is A. Outside the stored cells the cell is empty.
    TableCell At(int index, int column) const;
    // The cells of a row from column 0 to its last non-empty one, empty ones
    // included.
    std::vector<TableCell> Row(int index) const;
    // Bytes held by the table (capacities included).
    std::size_t MemoryBytes() const;

private:
    friend class SheetTableBuilder;

    // A cell as stored: its column, kind and a payload of 8 bytes (a number,
    // a boolean, a date's day and time, or a text's place in the pool).
    struct DatePart {
        std::int32_t julianDay;
        std::int32_t msecs; // -1: no time of day
    };
    struct TextPart {
        std::uint32_t offset;
        std::uint32_t length;
    };
    struct Entry {
        std::uint32_t column = 0;
        CellKind kind = CellKind::empty;
        std::uint8_t pad[3] = {};
        union {
            double number;
            DatePart date;
            TextPart text;
            std::uint64_t raw;
        };
        Entry() : raw(0) {}
    };
    static_assert(sizeof(Entry) == 16);
    struct RowSpan {
        std::uint32_t fileRow = 0;
        std::uint32_t first = 0; // index of its first cell in cells_
        std::uint32_t count = 0;
    };

    TableCell Make(const Entry& e) const;
    const Entry* Find(int index, int column) const;

    QString pool_;
    std::vector<Entry> cells_;
    std::vector<RowSpan> rows_;
    int columns_ = 0;
};

// The first stored row with a cell that is not blank, as an index into the
// table (the default header row), or -1 when every cell is blank.
int FirstNonEmptyRow(const SheetTable& table);

} // namespace vantorel::exchange
