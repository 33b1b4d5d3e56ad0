#include "import_fields.h"

#include "records/record_bytes.h"
#include "records/record_columns.h"

#include <algorithm>
#include <array>

namespace vantorel::exchange {

namespace {

FieldKind KindOf(ValueKind k) {
    switch (k) {
    case ValueKind::text: return FieldKind::text;
    case ValueKind::date: return FieldKind::date;
    case ValueKind::number: return FieldKind::number;
    case ValueKind::sex: return FieldKind::sex;
    case ValueKind::marital: return FieldKind::marital;
    }
    return FieldKind::text;
}

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

FieldUnit UnitOf(std::string_view path) {
    if (EndsWith(path, "sumInsured")) return FieldUnit::wanYuan;
    if (EndsWith(path, "annualPremium")) return FieldUnit::yuan;
    if (EndsWith(path, "height")) return FieldUnit::cm;
    if (EndsWith(path, "weight")) return FieldUnit::kg;
    if (EndsWith(path, "share")) return FieldUnit::percent;
    return FieldUnit::none;
}

// A record with every list at its full ten entries, for the columns.
template <class Record> Record Widest() {
    Record r;
    if constexpr (std::is_same_v<Record, PolicyRecord>) {
        r.beneficiaries.resize(kMaxListEntries);
        r.riders.resize(kMaxListEntries);
    }
    return r;
}

// What an empty cell gives a field.
const FieldValue& Empty() {
    static const FieldValue empty{true, false, {}, 0, -1};
    return empty;
}

// Walks a record's fields in column order, each list ten entries wide,
// handing each leaf its place in the catalogue and whether it belongs to a
// list entry the walk itself added.
template <class Leaf> struct Walk {
    Leaf& leaf;
    const std::vector<FieldCatalogue::List>& lists;
    // Per list: how long to make it before its entries are visited; -1 keeps it.
    const std::vector<int>* lengths = nullptr;
    int at = 0;
    int list = 0;
    bool added = false;

    template <class T> void operator()(const char*, T& value) { leaf(at++, value, added); }
    template <class T> void Again(const char*, T&) {}
    template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, std::vector<T>& entries) {
        const FieldCatalogue::List& l = lists[std::size_t(list)];
        const std::size_t had = entries.size();
        if (lengths && (*lengths)[std::size_t(list)] >= 0) entries.resize(std::size_t((*lengths)[std::size_t(list)]));
        ++list;
        for (std::size_t e = 0; e < kMaxListEntries; ++e) {
            if (e < entries.size()) {
                added = e >= had;
                VisitFields(*this, entries[e]);
                added = false;
            } else {
                at += l.perEntry;
            }
        }
    }
};

// Puts values into a record's fields: the set ones, and in a new record or
// a new list entry the empty value for the others.
struct Put {
    const std::vector<FieldValue>& values;
    bool fresh;
    const FieldValue* Pick(int i, bool added) const {
        const FieldValue& v = values[std::size_t(i)];
        return v.set ? &v : fresh || added ? &Empty() : nullptr;
    }
    void operator()(int i, std::string& to, bool added) const {
        if (const FieldValue* v = Pick(i, added)) to = v->text;
    }
    void operator()(int i, std::int16_t& to, bool added) const {
        if (const FieldValue* v = Pick(i, added)) to = static_cast<std::int16_t>(v->choice);
    }
    void operator()(int i, double& to, bool added) const {
        if (const FieldValue* v = Pick(i, added)) to = v->number;
    }
};

// Takes a record's values out.
struct Take {
    std::vector<FieldValue>& values;
    void operator()(int i, const std::string& s, bool) const { values[std::size_t(i)] = {true, !s.empty(), s, 0, -1}; }
    void operator()(int i, std::int16_t v, bool) const { values[std::size_t(i)] = {true, v != -1, {}, 0, v}; }
    void operator()(int i, double v, bool) const { values[std::size_t(i)] = {true, true, {}, v, -1}; }
};

// The length each list takes from the values: one past its last filled
// entry; -1 (kept as it is) where no field of the list is set.
std::vector<int> Lengths(const std::vector<FieldCatalogue::List>& lists, const std::vector<FieldValue>& values) {
    std::vector<int> lengths;
    for (const FieldCatalogue::List& l : lists) {
        int length = -1;
        for (int e = 0; e < int(kMaxListEntries); ++e)
            for (int k = 0; k < l.perEntry; ++k) {
                const FieldValue& v = values[std::size_t(l.first + e * l.perEntry + k)];
                if (!v.set) continue;
                length = std::max(length, v.filled ? e + 1 : 0);
            }
        lengths.push_back(length);
    }
    return lengths;
}

template <class Record>
std::string EncodeWith(const FieldCatalogue& c, std::string_view stored, const std::vector<FieldValue>& values,
                       bool fresh) {
    Record r = fresh ? Record{} : RecordView<Record>(stored).Decode();
    const std::vector<int> lengths = Lengths(c.Lists(), values);
    const Put put{values, fresh};
    Walk<const Put> walk{put, c.Lists(), &lengths};
    VisitFields(walk, r);
    return EncodeRecord(r);
}

template <class F> decltype(auto) ForKind(CollectionId kind, F&& f) {
    switch (kind) {
    case CollectionId::insurance: return f(PolicyRecord{});
    case CollectionId::clients: return f(PotClientRecord{});
    case CollectionId::members: return f(MemberRecord{});
    case CollectionId::calendar: break;
    }
    return f(ScheduleEntry{});
}

} // namespace

FieldCatalogue::FieldCatalogue(CollectionId kind) : kind_(kind) {
    ForKind(kind, [this](auto sample) {
        using Record = decltype(sample);
        const std::vector<Record> widest{Widest<Record>()};
        const RecordColumns<Record> columns(widest);
        for (const Column& col : columns.Columns()) {
            ImportField f;
            f.path = col.name;
            f.label = QString::fromUtf8(col.label);
            f.kind = KindOf(col.kind);
            f.unit = UnitOf(col.name);
            fields_.push_back(std::move(f));
        }
        return 0;
    });
    if (kind == CollectionId::calendar) fields_[std::size_t(Find("date"))].kind = FieldKind::scheduleDate;
    // The lists, in the order the fields visit them: "beneficiaries.1." opens one.
    for (int i = 0; i < Size(); ++i) {
        const std::string& p = fields_[std::size_t(i)].path;
        const std::size_t dot = p.find('.');
        if (dot == std::string::npos || p.size() < dot + 3 || p[dot + 1] < '1' || p[dot + 1] > '9') continue;
        const std::string list = p.substr(0, dot);
        const int entry = std::stoi(p.substr(dot + 1)) - 1;
        auto it = std::find_if(lists_.begin(), lists_.end(), [&](const List& l) { return l.path == list; });
        if (it == lists_.end()) {
            lists_.push_back({list, i, 0});
            it = lists_.end() - 1;
        }
        if (entry == 0) ++it->perEntry;
        fields_[std::size_t(i)].list = int(it - lists_.begin());
        fields_[std::size_t(i)].entry = entry;
    }
    switch (kind) {
    case CollectionId::insurance: key_ = {Find("info.policyNo")}; break;
    case CollectionId::clients: key_ = {Find("person.name"), Find("person.idNumber")}; break;
    case CollectionId::members: key_ = {Find("staffNo")}; break;
    case CollectionId::calendar: break;
    }
    required_ = kind == CollectionId::clients ? std::vector<int>{Find("person.name")} : key_;
    if (kind == CollectionId::members) required_.push_back(Find("person.name"));
}

const FieldCatalogue& FieldCatalogue::Of(CollectionId kind) {
    static const std::array<FieldCatalogue, kFileCount> all = {
        FieldCatalogue(CollectionId::insurance), FieldCatalogue(CollectionId::clients),
        FieldCatalogue(CollectionId::members), FieldCatalogue(CollectionId::calendar)};
    return all[Index(kind)];
}

int FieldCatalogue::Find(std::string_view path) const {
    for (int i = 0; i < Size(); ++i)
        if (fields_[std::size_t(i)].path == path) return i;
    return -1;
}

std::string FieldCatalogue::EncodeNew(const std::vector<FieldValue>& values) const {
    return ForKind(kind_, [&](auto sample) { return EncodeWith<decltype(sample)>(*this, {}, values, true); });
}

std::string FieldCatalogue::EncodeOver(std::string_view stored, const std::vector<FieldValue>& values) const {
    return ForKind(kind_, [&](auto sample) { return EncodeWith<decltype(sample)>(*this, stored, values, false); });
}

std::vector<FieldValue> FieldCatalogue::Decode(std::string_view encoded) const {
    return ForKind(kind_, [&](auto sample) {
        using Record = decltype(sample);
        Record r = RecordView<Record>(encoded).Decode();
        std::vector<FieldValue> values(fields_.size(), Empty());
        const Take take{values};
        Walk<const Take> walk{take, lists_};
        VisitFields(walk, r);
        return values;
    });
}

std::string FieldCatalogue::KeyOf(std::string_view encoded) const { return KeyOf(Decode(encoded)); }

std::string FieldCatalogue::KeyOf(const std::vector<FieldValue>& values) const {
    std::string key;
    for (std::size_t k = 0; k < key_.size(); ++k) {
        if (k) key.push_back('\0');
        key += values[std::size_t(key_[k])].text;
    }
    return key;
}

} // namespace vantorel::exchange
