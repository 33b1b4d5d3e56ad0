#include "csv_export.h"

#include "text_encoding.h"
#include "records/record_columns.h"

#include <charconv>

namespace vantorel::tool {

namespace {

std::string Number(double d) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, r.ptr);
}

std::string Quoted(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string q = "\"";
    for (char c : cell) {
        if (c == '"') q.push_back('"');
        q.push_back(c);
    }
    return q + "\"";
}

// A choice as its word; none chosen is empty, and an index no form can make
// (a damaged file) stays visible as its number.
std::string Choice(const char* word, int index) {
    if (word) return word;
    return index == -1 ? std::string() : std::to_string(index);
}

std::string Cell(const ColumnValue& v) {
    if (!v.present) return {};
    switch (v.kind) {
    case ValueKind::text:
    case ValueKind::date: return GuardedText(GbkToUtf8(*v.text));
    case ValueKind::number: return Number(v.number);
    case ValueKind::sex: return Choice(SexWord(v.choice), v.choice);
    case ValueKind::marital: return Choice(MaritalWord(v.choice), v.choice);
    }
    return {};
}

void Row(std::ostream& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) out << (i ? "," : "") << Quoted(cells[i]);
    out << "\r\n";
}

} // namespace

std::string GuardedText(std::string utf8) {
    // Past any 's of the text's own, so that the import can tell which ' is ours.
    const std::size_t first = utf8.find_first_not_of('\'');
    if (first != std::string::npos && std::string_view("=+-@\t\r").find(utf8[first]) != std::string_view::npos)
        utf8.insert(0, 1, '\'');
    return utf8;
}

void WriteCsv(Kind kind, const CObject& collection, std::ostream& out, const CsvOptions& options) {
    WithCollection(kind, [&](auto& typed) {
        using C = std::remove_reference_t<decltype(typed)>;
        const auto records = dynamic_cast<const C&>(collection).CopyAll();
        const RecordColumns<typename C::RecordType> columns(records);
        out << "\xEF\xBB\xBF";
        std::vector<std::string> cells;
        for (const Column& c : columns.Columns()) cells.push_back(options.fieldNames ? c.name : c.label);
        Row(out, cells);
        std::vector<ColumnValue> values;
        for (const auto& r : records) {
            columns.Values(r, values);
            cells.clear();
            for (const ColumnValue& v : values) cells.push_back(Cell(v));
            Row(out, cells);
        }
        return 0;
    });
}

} // namespace vantorel::tool
