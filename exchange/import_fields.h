// The fields a file's columns can be imported into, per kind of record: the
// export's columns (records/record_columns) with every list ten entries wide,
// each with its field path ("beneficiaries.2.share"), its Chinese label
// ("受益人2受益份额(%)"), how its text is read and in which unit.
#pragma once

#include "agent/numbers.h"
#include "records/data_book.h"

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::exchange {

enum class FieldKind : std::uint8_t {
    text,
    date,         // a composed date text
    number,       // a double, in the field's unit
    sex,          // 男 女
    marital,      // 已婚 未婚 离异 丧偶 分居
    scheduleDate, // a schedule entry's year * 10000 + month * 100 + day
};

// The unit a number field holds, as the forms read it ("12,800元", "50万"
// in a 万元 field).
using FieldUnit = numbers::Unit;

struct ImportField {
    std::string path; // "holder.name"
    QString label;    // "投保人姓名"
    FieldKind kind = FieldKind::text;
    FieldUnit unit = FieldUnit::none;
    int list = -1;  // which list of the record (FieldCatalogue::Lists); -1 none
    int entry = -1; // 0-based entry of that list
};

// One value as the checks read it from a cell, ready for the record.
struct FieldValue {
    bool set = false;    // false: the record keeps what it has
    bool filled = false; // the cell held something (a list entry with one is kept)
    std::string text;    // text and date kinds: GBK bytes
    double number = 0;   // number kinds
    int choice = -1;     // sex and marital
};

class FieldCatalogue {
public:
    struct List {
        std::string path; // "beneficiaries"
        int first = 0;    // index of entry 0's first field
        int perEntry = 0; // fields of one entry; entry e's k-th is first + e * perEntry + k
    };

    static const FieldCatalogue& Of(CollectionId kind);

    CollectionId Kind() const { return kind_; }
    const std::vector<ImportField>& Fields() const { return fields_; }
    int Size() const { return int(fields_.size()); }
    const ImportField& At(int i) const { return fields_[std::size_t(i)]; }
    const std::vector<List>& Lists() const { return lists_; }
    // The index of the field with that path, or -1.
    int Find(std::string_view path) const;
    // The fields that make the key, in order: none for the schedule.
    const std::vector<int>& KeyFields() const { return key_; }
    // Fields that must not be empty (the key and, for a member, the name).
    const std::vector<int>& RequiredFields() const { return required_; }

    // A new record from `values` (one per field): fields not set get the
    // value an empty cell gives; a list is as long as its last entry with a
    // field set that is not empty. Returned in the archive's encoding.
    std::string EncodeNew(const std::vector<FieldValue>& values) const;
    // `stored` (archive encoding) with the fields set in `values` replaced:
    // what an update stores. A list with any field set is cut or grown to
    // the entries the values give.
    std::string EncodeOver(std::string_view stored, const std::vector<FieldValue>& values) const;
    // The record's values, one per field (all set; entries past a list's
    // end set empty). For tests and the refused rows.
    std::vector<FieldValue> Decode(std::string_view encoded) const;
    // The key of a record: its key fields' bytes joined by a 0 byte.
    std::string KeyOf(std::string_view encoded) const;
    std::string KeyOf(const std::vector<FieldValue>& values) const;

private:
    explicit FieldCatalogue(CollectionId kind);
    CollectionId kind_;
    std::vector<ImportField> fields_;
    std::vector<List> lists_;
    std::vector<int> key_, required_;
};

} // namespace vantorel::exchange
