// The columns in which records leave the program as tables: one per field,
// list entries numbered, each with its field path ("holder.name",
// "beneficiaries.2.share") and its Chinese label ("投保人姓名",
// "受益人2受益份额(%)"). The data tool's CSV and the program's spreadsheets
// share them, so one table of labels serves both.
#pragma once

#include "people_records.h"
#include "policy_record.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

enum class ValueKind {
    text,    // GBK text as stored
    date,    // a composed date text ("2004/5-29"), as stored
    number,  // a double
    sex,     // 16-bit choice index: 0 男, 1 女, -1 none
    marital, // 16-bit choice index into 已婚 未婚 离异 丧偶 分居, -1 none
};

struct Column {
    std::string name;  // field path
    std::string label; // UTF-8
    ValueKind kind = ValueKind::text;
};

// One record's value in one column. `present` is false for the columns of a
// list entry the record does not have.
struct ColumnValue {
    ValueKind kind = ValueKind::text;
    bool present = true;
    const std::string* text = nullptr; // text and date
    double number = 0;
    int choice = -1; // sex and marital
};

// The UTF-8 label of a field name ("policyNo" -> "保险单号") and of a group
// ("holder" -> "投保人", "info" -> ""); the name itself for one without.
std::string_view FieldLabel(std::string_view field);
std::string_view GroupLabel(std::string_view group);

// The choice words, UTF-8; nullptr for an index outside the list (-1 included).
const char* SexWord(int index);
const char* MaritalWord(int index);

namespace columns_detail {

ValueKind TextKind(std::string_view field);
ValueKind ChoiceKind(std::string_view field);

// The longest of each list over all records, by list path.
struct ListWidths {
    std::map<std::string, std::size_t>& widths;
    std::string prefix;
    template <class T> void operator()(const char*, const T&) {}
    template <class T> void Again(const char*, const T&) {}
    template <class T> void Object(const char* name, const T& sub) {
        ListWidths w{widths, prefix + name + "."};
        VisitFields(w, sub);
    }
    template <class T> void List(const char* name, const std::vector<T>& list) {
        auto& w = widths[prefix + name];
        w = std::max(w, list.size());
    }
};

// Walks the fields in column order; `Sink` gets each leaf, with its path and
// label when `Sink::kNamed` (building those for every value of a large book
// would cost more than the values themselves).
template <class Sink> struct Walker {
    Sink& sink;
    const std::map<std::string, std::size_t>& widths;
    std::string path;
    std::string label;
    bool present = true;

    void Leaf(const char* name, ValueKind kind, const std::string* text, double number, int choice) {
        if constexpr (Sink::kNamed)
            sink.Leaf(path + name, label + std::string(FieldLabel(name)), kind, present, text, number, choice);
        else
            sink.Leaf({}, {}, kind, present, text, number, choice);
    }
    void operator()(const char* name, const std::string& s) { Leaf(name, TextKind(name), &s, 0, -1); }
    void operator()(const char* name, std::int16_t v) { Leaf(name, ChoiceKind(name), nullptr, 0, v); }
    void operator()(const char* name, double v) { Leaf(name, ValueKind::number, nullptr, v, -1); }
    template <class T> void Again(const char*, const T&) {}
    template <class T> void Object(const char* name, const T& sub) {
        Walker w{sink, widths, path + name + ".", label + std::string(GroupLabel(name)), present};
        VisitFields(w, sub);
    }
    template <class T> void List(const char* name, const std::vector<T>& list) {
        const auto it = widths.find(path + name);
        const std::size_t width = it == widths.end() ? 0 : it->second;
        for (std::size_t i = 0; i < width; ++i) {
            static const T empty;
            const bool have = present && i < list.size();
            const std::string n = std::to_string(i + 1);
            Walker w{sink, widths, path + name + "." + n + ".", label + std::string(GroupLabel(name)) + n, have};
            VisitFields(w, have ? list[i] : empty);
        }
    }
};

} // namespace columns_detail

// The columns of a set of records: every field, and every list as wide as
// the longest one among them.
template <class Record> class RecordColumns {
public:
    explicit RecordColumns(const std::vector<Record>& records) {
        for (const Record& r : records) {
            columns_detail::ListWidths w{widths_, ""};
            VisitFields(w, r);
        }
        HeaderSink sink{columns_};
        const Record sample;
        columns_detail::Walker<HeaderSink> walk{sink, widths_, "", "", true};
        VisitFields(walk, sample);
    }

    const std::vector<Column>& Columns() const { return columns_; }

    // The record's values in column order; `out` is overwritten. Text values
    // point into `r`.
    void Values(const Record& r, std::vector<ColumnValue>& out) const {
        out.clear();
        ValueSink sink{out};
        columns_detail::Walker<ValueSink> walk{sink, widths_, "", "", true};
        VisitFields(walk, r);
    }

private:
    struct HeaderSink {
        static constexpr bool kNamed = true;
        std::vector<Column>& columns;
        void Leaf(std::string path, std::string label, ValueKind kind, bool, const std::string*, double, int) {
            columns.push_back({std::move(path), std::move(label), kind});
        }
    };
    struct ValueSink {
        static constexpr bool kNamed = false;
        std::vector<ColumnValue>& values;
        void Leaf(const std::string&, const std::string&, ValueKind kind, bool present, const std::string* text,
                  double number, int choice) {
            values.push_back({kind, present, text, number, choice});
        }
    };

    std::map<std::string, std::size_t> widths_;
    std::vector<Column> columns_;
};

} // namespace vantorel
