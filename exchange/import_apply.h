// An import plan applied to a book through its collections, as if each row
// were typed: Add for a new record, SetAt for an update. Made for the thread
// that owns the book, in steps short enough for it to keep painting, and
// taken back through the same collections when the user cancels.
#pragma once

#include "import_plan.h"

#include <chrono>
#include <string>
#include <vector>

namespace vantorel::exchange {

class ImportApplier {
public:
    // `plan` and `book` must outlive the applier. `keys` is the snapshot the
    // plan was checked against: an update finds its record there, and looks
    // again only if the book moved since.
    ImportApplier(const ImportPlan& plan, DuplicateChoice choice, DataBook& book);

    // Applies rows until `budget` has passed (at least one row); true once
    // every row is through.
    bool Step(std::chrono::nanoseconds budget);
    // Everything at once.
    void ApplyAll();
    bool Done() const { return next_ >= plan_.RowCount(); }
    // Rows gone through, of all.
    int RowsDone() const { return next_; }
    int Rows() const { return plan_.RowCount(); }
    // Records added or replaced so far.
    int Changes() const { return int(changes_.size()); }
    ImportCounts Counts() const { return counts_; }

    // Takes back the changes made so far, newest first, at most `count` of
    // them (all by default); true once none is left. The book then holds
    // what it held before, byte for byte.
    bool Undo(int count = -1);

private:
    struct Change {
        int index;
        bool added;
        std::string before; // an update: the record as it was
    };
    void ApplyRow(int row);

    const ImportPlan& plan_;
    DuplicateChoice choice_;
    DataBook& book_;
    int next_ = 0;
    std::vector<Change> changes_;
    ImportCounts counts_;
};

} // namespace vantorel::exchange
