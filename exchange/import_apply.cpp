#include "import_apply.h"

#include "records/record_bytes.h"

namespace vantorel::exchange {

namespace {

// The stored record at `index` if it still has the key, else the first that has.
template <class C> int Locate(const C& c, const FieldCatalogue& fields, int index, const std::string& key) {
    if (index >= 0 && index < c.GetSize() && fields.KeyOf(c.Bytes(index)) == key) return index;
    for (int i = 0; i < c.GetSize(); ++i)
        if (fields.KeyOf(c.Bytes(i)) == key) return i;
    return -1;
}

} // namespace

ImportApplier::ImportApplier(const ImportPlan& plan, DuplicateChoice choice, DataBook& book)
    : plan_(plan), choice_(choice), book_(book) {}

void ImportApplier::ApplyRow(int row) {
    const PlannedRow& p = plan_.Row(row);
    if (!plan_.Imports(row, choice_)) {
        if (p.state == RowState::updated)
            ++counts_.skipped;
        else
            ++counts_.refused;
        return;
    }
    const bool update = p.state == RowState::updated && choice_ == DuplicateChoice::update;
    WithCollection(book_, plan_.Fields().Kind(), [&](auto& c) {
        using Record = typename std::remove_reference_t<decltype(c)>::RecordType;
        if (!update) {
            const int index = c.Add(RecordView<Record>(p.record).Decode());
            changes_.push_back({index, true, {}});
            ++counts_.added;
            return 0;
        }
        const int index = Locate(c, plan_.Fields(), p.existing, p.key);
        if (index < 0) { // gone meanwhile: the row is new after all
            changes_.push_back({c.Add(RecordView<Record>(p.record).Decode()), true, {}});
            ++counts_.added;
            return 0;
        }
        std::string before(c.Bytes(index));
        const std::string after = plan_.Fields().EncodeOver(before, plan_.Values(row));
        c.SetAt(index, RecordView<Record>(after).Decode());
        changes_.push_back({index, false, std::move(before)});
        ++counts_.updated;
        return 0;
    });
}

bool ImportApplier::Step(std::chrono::nanoseconds budget) {
    const auto start = std::chrono::steady_clock::now();
    do {
        if (Done()) return true;
        ApplyRow(next_++);
    } while (std::chrono::steady_clock::now() - start < budget);
    return Done();
}

void ImportApplier::ApplyAll() {
    while (!Done()) ApplyRow(next_++);
}

bool ImportApplier::Undo(int count) {
    WithCollection(book_, plan_.Fields().Kind(), [&](auto& c) {
        using Record = typename std::remove_reference_t<decltype(c)>::RecordType;
        for (int n = 0; !changes_.empty() && (count < 0 || n < count); ++n) {
            const Change& last = changes_.back();
            if (last.added)
                c.RemoveAt(last.index);
            else
                c.SetAt(last.index, RecordView<Record>(last.before).Decode());
            changes_.pop_back();
        }
        return 0;
    });
    if (changes_.empty()) {
        next_ = 0;
        counts_ = {};
    }
    return changes_.empty();
}

} // namespace vantorel::exchange
