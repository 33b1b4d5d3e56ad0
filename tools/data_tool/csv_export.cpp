#include "csv_export.h"

#include "text_encoding.h"

#include <charconv>
#include <map>

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

// Flattens one record into cells; `widths` holds how many entries each list
// gets columns for. `blank` pads a list entry that this record lacks.
struct Flattener {
    std::vector<std::string>& cells;
    std::vector<std::string>* names;
    std::map<std::string, std::size_t>& widths;
    std::string prefix;
    bool blank = false;

    void Cell(const char* name, std::string value) {
        if (names) names->push_back(prefix + name);
        cells.push_back(blank ? std::string() : std::move(value));
    }
    void operator()(const char* name, const std::string& s) { Cell(name, blank ? std::string() : GbkToUtf8(s)); }
    void operator()(const char* name, std::int16_t v) { Cell(name, std::to_string(v)); }
    void operator()(const char* name, double v) { Cell(name, Number(v)); }
    template <class T> void Again(const char*, const T&) {}
    template <class T> void Object(const char* name, const T& sub) {
        Flattener f{cells, names, widths, prefix + name + ".", blank};
        VisitFields(f, sub);
    }
    template <class T> void List(const char* name, const std::vector<T>& list) {
        const std::size_t width = widths[prefix + name];
        for (std::size_t i = 0; i < width; ++i) {
            const T empty;
            const bool have = i < list.size();
            Flattener f{cells, names, widths, prefix + name + "." + std::to_string(i + 1) + ".", blank || !have};
            VisitFields(f, have ? list[i] : empty);
        }
    }
};

// The longest of each list over all records.
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

void Row(std::ostream& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) out << (i ? "," : "") << Quoted(cells[i]);
    out << "\r\n";
}

} // namespace

void WriteCsv(Kind kind, const CObject& collection, std::ostream& out) {
    WithCollection(kind, [&](auto& typed) {
        using C = std::remove_reference_t<decltype(typed)>;
        const auto& c = dynamic_cast<const C&>(collection);
        const auto records = c.CopyAll();
        std::map<std::string, std::size_t> widths;
        for (const auto& r : records) {
            ListWidths w{widths, ""};
            VisitFields(w, r);
        }
        out << "\xEF\xBB\xBF";
        std::vector<std::string> names, cells;
        const typename C::RecordType sample;
        Flattener header{cells, &names, widths, ""};
        VisitFields(header, sample);
        Row(out, names);
        for (const auto& r : records) {
            cells.clear();
            Flattener f{cells, nullptr, widths, ""};
            VisitFields(f, r);
            Row(out, cells);
        }
        return 0;
    });
}

} // namespace vantorel::tool
