#include "json_records.h"

#include "text_encoding.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <set>

namespace vantorel::tool {

namespace {

// JSON has no NaN or infinity; such doubles travel as the text "0x" and the
// 16 hex digits of their bits, so that every file still round-trips.
Json DoubleToJson(double d) {
    if (std::isfinite(d)) return d;
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%016llx", static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(d)));
    return std::string(buf);
}

struct JsonWriter {
    Json& out;
    std::string path;

    void operator()(const char* name, const std::string& s) {
        try {
            out[name] = GbkToUtf8(s);
        } catch (const TextError& e) {
            throw DataError(path + name + ": " + e.what());
        }
    }
    void operator()(const char* name, std::int16_t v) { out[name] = v; }
    void operator()(const char* name, double v) { out[name] = DoubleToJson(v); }
    template <class T> void Again(const char*, const T&) {} // the field already stands once
    template <class T> void Object(const char* name, const T& sub) {
        Json o = Json::object();
        JsonWriter w{o, path + name + "."};
        VisitFields(w, sub);
        out[name] = std::move(o);
    }
    template <class T> void List(const char* name, const std::vector<T>& list) {
        Json a = Json::array();
        for (std::size_t i = 0; i < list.size(); ++i) {
            Json o = Json::object();
            JsonWriter w{o, path + name + "[" + std::to_string(i) + "]."};
            VisitFields(w, list[i]);
            a.push_back(std::move(o));
        }
        out[name] = std::move(a);
    }
};

struct JsonReader {
    const Json& in;
    std::string path;
    std::set<std::string> seen;

    [[noreturn]] void Fail(const char* name, const std::string& why) const {
        throw DataError(path + name + ": " + why);
    }
    const Json* Get(const char* name) {
        seen.insert(name);
        auto it = in.find(name);
        return it == in.end() ? nullptr : &*it;
    }

    void operator()(const char* name, std::string& s) {
        const Json* j = Get(name);
        if (!j) return;
        if (!j->is_string()) Fail(name, "expected text");
        try {
            s = Utf8ToGbk(j->get_ref<const std::string&>());
        } catch (const TextError& e) {
            Fail(name, std::string(e.what()) + "; GBK cannot hold this text");
        }
    }
    void operator()(const char* name, std::int16_t& v) {
        const Json* j = Get(name);
        if (!j) return;
        if (!j->is_number_integer()) Fail(name, "expected a whole number");
        const auto n = j->get<long long>();
        if (j->is_number_unsigned() ? j->get<unsigned long long>() > 32767u : (n < -32768 || n > 32767))
            Fail(name, "expected a whole number from -32768 to 32767");
        v = static_cast<std::int16_t>(n);
    }
    void operator()(const char* name, double& v) {
        const Json* j = Get(name);
        if (!j) return;
        if (j->is_number()) {
            v = j->get<double>();
            return;
        }
        if (j->is_string()) {
            const std::string& s = j->get_ref<const std::string&>();
            unsigned long long bits = 0;
            int used = 0;
            if (s.size() == 18 && std::sscanf(s.c_str(), "0x%16llx%n", &bits, &used) == 1 && used == 18) {
                v = std::bit_cast<double>(static_cast<std::uint64_t>(bits));
                return;
            }
        }
        Fail(name, "expected a number");
    }
    template <class T> void Again(const char*, T&) {} // set with the field's first appearance
    template <class T> void Object(const char* name, T& sub) {
        const Json* j = Get(name);
        if (!j) return;
        Read(*j, sub, path + name + ".");
    }
    template <class T> void List(const char* name, std::vector<T>& list) {
        const Json* j = Get(name);
        if (!j) return;
        if (!j->is_array()) Fail(name, "expected an array");
        if (j->size() > kMaxListEntries) Fail(name, "more than " + std::to_string(kMaxListEntries) + " entries");
        list.clear();
        for (std::size_t i = 0; i < j->size(); ++i) {
            T entry;
            Read((*j)[i], entry, path + name + "[" + std::to_string(i) + "].");
            list.push_back(std::move(entry));
        }
    }

    template <class T> static void Read(const Json& j, T& record, const std::string& path) {
        if (!j.is_object()) throw DataError(path + ": expected an object");
        JsonReader r{j, path, {}};
        VisitFields(r, record);
        for (const auto& [key, value] : j.items())
            if (!r.seen.count(key)) throw DataError(path + key + ": no such field");
    }
};

} // namespace

Json ToJson(Kind kind, const CObject& collection) {
    return WithCollection(kind, [&](auto& typed) {
        const auto& c = dynamic_cast<const std::remove_reference_t<decltype(typed)>&>(collection);
        Json a = Json::array();
        for (int i = 0; i < c.GetSize(); ++i) {
            Json o = Json::object();
            JsonWriter w{o, "record " + std::to_string(i) + ", "};
            const auto record = c.GetAt(i);
            VisitFields(w, record);
            a.push_back(std::move(o));
        }
        return a;
    });
}

void FromJson(Kind kind, const Json& array, CObject& collection) {
    if (!array.is_array()) throw DataError("expected a JSON array of records");
    WithCollection(kind, [&](auto& typed) {
        auto& c = dynamic_cast<std::remove_reference_t<decltype(typed)>&>(collection);
        for (std::size_t i = 0; i < array.size(); ++i) {
            typename std::remove_reference_t<decltype(typed)>::RecordType r;
            JsonReader::Read(array[i], r, "record " + std::to_string(i) + ", ");
            c.Add(std::move(r));
        }
        return 0;
    });
}

} // namespace vantorel::tool
