// The checked preview of an import: every data row of a sheet read through
// the same rules the forms apply (agent/), with its state and the reason of
// each bad cell, and the record it makes. Built off the window thread from
// the sheet and a snapshot of the book's keys; a fix to one cell checks its
// row again.
#pragma once

#include "import_match.h"
#include "exchange/read_progress.h"
#include "exchange/sheet_reader.h"
#include "exchange/sheet_table.h"

#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vantorel::exchange {

enum class RowState : std::uint8_t {
    added,     // 新增
    updated,   // 更新: the key is in the book already
    duplicate, // 重复: an earlier row of the file has the key
    error,     // 错误
};
QString StateText(RowState state);

// What to do with a row whose key the book holds already.
enum class DuplicateChoice : std::uint8_t { skip, update, keepBoth };
// Whether the kind's key lets one key stand twice: never for a policy
// number or a staff number; the schedule has no key.
bool KeepBothAllowed(CollectionId kind);

struct CellIssue {
    int column = -1; // -1: the row as a whole
    QString reason;
};

// The keys of one collection of the book, read on the thread that owns it.
class KeyIndex {
public:
    KeyIndex() = default;
    static KeyIndex Of(const DataBook& book, CollectionId kind);
    // The first stored record with the key, or -1.
    int Find(const std::string& key) const;
    std::size_t Size() const { return first_.size(); }

private:
    std::unordered_map<std::string, int> first_;
};

struct PlannedRow {
    int tableRow = 0; // index into the table
    RowState state = RowState::added;
    std::vector<CellIssue> issues;
    std::string key;    // the key fields' GBK bytes, joined by a 0 byte
    int existing = -1;  // updated: the stored record holding the key
    int sameAs = -1;    // duplicate: the plan row that has the key first
    std::string record; // the new record in the archive's encoding, unless an error
};

struct ImportCounts {
    int added = 0, updated = 0, skipped = 0, refused = 0;
};

// What one cell gives one field, or why it gives nothing.
struct CellReading {
    FieldValue value;
    std::optional<QString> refusal;
    QString shown; // the value as read, with the field's unit, when it differs from the text
};

class ImportPlan {
public:
    // `headerRow` is an index into the table; the rows after it are the data.
    // `fileKind` says whether texts may carry our CSV export's guard.
    ImportPlan(std::shared_ptr<const SheetTable> table, int headerRow, FileKind fileKind, CollectionId kind,
               ColumnMapping mapping);

    // Checks every row against `keys`; false when `progress` stopped it.
    // Any thread; the plan is one thread's at a time.
    bool CheckAll(const KeyIndex& keys, const Progress& progress = {});

    const FieldCatalogue& Fields() const { return fields_; }
    const SheetTable& Table() const { return *table_; }
    const ColumnMapping& Mapping() const { return mapping_; }
    QStringList Headers() const;
    int HeaderRow() const { return headerRow_; }
    int RowCount() const { return int(rows_.size()); }
    const PlannedRow& Row(int i) const { return rows_[std::size_t(i)]; }
    // The cell's text as the file has it, or as the user corrected it.
    QString CellText(int row, int column) const;
    bool Corrected(int row, int column) const;
    // The reason the row's cell is bad, or empty.
    QString CellIssueText(int row, int column) const;
    // All reasons of a row, one line.
    QString Reasons(int row) const;
    // What the cell reads as in its field (for the preview's units).
    CellReading Read(int row, int column) const;

    // The user's correction of one cell; the row is checked again, and the
    // rows that share its key before and after.
    void Correct(int row, int column, const QString& text, const KeyIndex& keys);

    // The rows' fate under `choice`.
    bool Imports(int row, DuplicateChoice choice) const;
    ImportCounts Count(DuplicateChoice choice) const;

    // The values of a row, for an update over a stored record: the mapped
    // fields set. Empty when the row does not check.
    std::vector<FieldValue> Values(int row) const;

private:
    struct Input;
    Input CellAt(int row, int column) const;
    CellReading ReadInput(int field, const Input& in) const;
    void ReadRow(int row, std::vector<FieldValue>& values, std::vector<CellIssue>& issues,
                 std::vector<int>& columnOf) const;
    void CheckRow(int row, const KeyIndex& keys, std::vector<FieldValue>& values, std::vector<int>& columnOf);
    void MarkDuplicates();

    std::shared_ptr<const SheetTable> table_;
    int headerRow_;
    bool csv_;
    const FieldCatalogue& fields_;
    ColumnMapping mapping_;
    std::vector<PlannedRow> rows_;
    std::map<std::pair<int, int>, QString> corrections_; // (row, column) -> text
};

} // namespace vantorel::exchange
