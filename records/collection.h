// The common shape of the four collections: an ordered array of record
// values written as an int32 count followed by the records.
#pragma once

#include "archive.h"
#include "field_io.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

// One change made to a collection, told after it is made: what a recovery
// journal needs to make the same change again.
struct CollectionChange {
    enum class Kind : std::uint8_t { add = 1, replace = 2, remove = 3, removeAll = 4 };
    Kind kind = Kind::add;
    int index = 0;           // add: the new record's index; replace, remove: the record's
    std::string_view record; // add, replace: the record in the archive's encoding
};
using ChangeObserver = std::function<void(const CollectionChange&)>;

// The serializable object that the data files hold, one per file.
class CObject {
public:
    CObject() = default;
    // A copy is another collection: whoever watches this one does not watch it,
    // and a collection assigned to keeps its own observer.
    CObject(const CObject&) {}
    CObject& operator=(const CObject&) { return *this; }
    virtual ~CObject() = default;
    // Writes when the archive stores, reads when it loads.
    virtual void Serialize(CArchive& ar) = 0;
    // Writes; what saving uses, as it only reads the records.
    virtual void Store(CArchive& ar) const = 0;
    virtual int RecordCount() const = 0;

    // Told of every Add, SetAt, RemoveAt and RemoveAll from now on (none while
    // loading); an empty observer stops it.
    void SetChangeObserver(ChangeObserver observer) { observer_ = std::move(observer); }

protected:
    bool Observed() const { return static_cast<bool>(observer_); }
    void Notify(const CollectionChange& change) const {
        if (observer_) observer_(change);
    }

private:
    ChangeObserver observer_;
};

template <class Record> class CCollection : public CObject {
public:
    using RecordType = Record;

    int GetSize() const { return static_cast<int>(m_records.size()); }
    Record GetAt(int i) const { return m_records.at(static_cast<std::size_t>(i)); }
    const Record& At(int i) const { return m_records.at(static_cast<std::size_t>(i)); }
    void SetAt(int i, Record r) {
        m_records.at(static_cast<std::size_t>(i)) = std::move(r);
        if (Observed()) Notify({CollectionChange::Kind::replace, i, Encode(m_records[static_cast<std::size_t>(i)])});
    }
    int Add(Record r) {
        m_records.push_back(std::move(r));
        const int i = GetSize() - 1;
        if (Observed()) Notify({CollectionChange::Kind::add, i, Encode(m_records.back())});
        return i;
    }
    void RemoveAt(int i) {
        m_records.erase(m_records.begin() + i);
        Notify({CollectionChange::Kind::remove, i, {}});
    }
    void RemoveAll() {
        m_records.clear();
        Notify({CollectionChange::Kind::removeAll, 0, {}});
    }
    const std::vector<Record>& Records() const { return m_records; }

    // Writes every record, or reads records and appends them. Records read
    // before a read error stay in the collection; the error propagates.
    int RecordCount() const override { return GetSize(); }

    void Store(CArchive& ar) const override {
        ar << static_cast<std::int32_t>(m_records.size());
        ArchiveWriter w{ar};
        for (const Record& r : m_records) VisitFields(w, r);
    }

    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            Store(ar);
        } else {
            std::int32_t n = 0;
            ar >> n;
            if (n <= 0) return;
            // Room for every record the file can still hold, and no more: a
            // hostile count cannot make us allocate past the file's size.
            const std::uint64_t fit = ar.Remaining() / MinRecordBytes();
            m_records.reserve(m_records.size() +
                              static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(n), fit)));
            ArchiveReader rd{ar};
            for (std::int32_t i = 0; i < n; ++i) {
                // Read in place; a record cut short by the end of the file is dropped.
                m_records.emplace_back();
                try {
                    VisitFields(rd, m_records.back());
                } catch (...) {
                    m_records.pop_back();
                    throw;
                }
            }
        }
    }

protected:
    std::vector<Record> m_records;

private:
    // The record's bytes as the data file holds them; valid until the next call.
    std::string_view Encode(const Record& r) {
        encoded_ = CMemFile{};
        CArchive ar(encoded_, CArchive::store);
        ArchiveWriter w{ar};
        VisitFields(w, r);
        ar.Close();
        return encoded_.Data();
    }
    CMemFile encoded_;

    // Bytes of a record whose texts are all empty: the least any record takes.
    static std::uint64_t MinRecordBytes() {
        static const std::uint64_t bytes = [] {
            CMemFile sink;
            CArchive ar(sink, CArchive::store);
            const Record empty;
            ArchiveWriter w{ar};
            VisitFields(w, empty);
            ar.Close();
            return static_cast<std::uint64_t>(sink.Data().size());
        }();
        return bytes;
    }
};

} // namespace vantorel
