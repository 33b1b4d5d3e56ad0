// The common shape of the four collections: an ordered array of records
// written as an int32 count followed by the records.
//
// A collection keeps its records in the archive's encoding: the bytes of the
// file it was loaded from, read whole into one block, and each record a view
// into that block; a record added or replaced is encoded once and keeps its
// own bytes. GetAt decodes a copy; Text and ForEach read single fields where
// they lie. Saving writes the count and the records' bytes as they are.
#pragma once

#include "archive.h"
#include "byte_block.h"
#include "field_io.h"
#include "record_bytes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
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
// Names one observer of one collection, for Unobserve.
enum class ObserverId : std::uint64_t {};

// The serializable object that the data files hold, one per file.
class CObject {
public:
    CObject() = default;
    // A copy is another collection: whoever watches this one does not watch it,
    // and a collection assigned to keeps its own observers.
    CObject(const CObject& o) noexcept : asRead_(o.asRead_), changes_(o.changes_) {}
    CObject& operator=(const CObject& o) noexcept {
        asRead_ = o.asRead_;
        changes_ = o.changes_;
        return *this;
    }
    virtual ~CObject() = default;
    // Writes when the archive stores, reads when it loads.
    virtual void Serialize(CArchive& ar) = 0;
    // Writes; what saving uses, as it only reads the records.
    virtual void Store(CArchive& ar) const = 0;
    virtual int RecordCount() const = 0;

    // `observer` is told of every Add, SetAt, RemoveAt and RemoveAll from now
    // on (none while loading), after those observing already; one added while
    // a change is being told hears the next change. Listening changes no
    // record, so a collection only read can be observed.
    ObserverId Observe(ChangeObserver observer) const {
        const ObserverId id{++lastObserver_};
        observers_.push_back(std::make_unique<Observer>(Observer{id, std::move(observer)}));
        return id;
    }
    // Stops telling that observer, from the next call on; an observer may stop
    // itself or another while it is being told. Unknown ids are ignored.
    void Unobserve(ObserverId id) const {
        for (auto& o : observers_)
            if (o->id == id) o->gone = true;
        if (telling_ == 0) DropGone();
    }
    // How many changes were made (loading is none).
    std::uint64_t ChangeCount() const { return changes_; }
    // The collection holds exactly the bytes of the one file it was loaded
    // from: the count and every record as the file has them, and no change
    // since. Writing it would write that file again, byte for byte.
    bool HoldsFileAsRead() const { return asRead_ && changes_ == 0; }

protected:
    void Notify(const CollectionChange& change) {
        ++changes_;
        if (observers_.empty()) return;
        // Observers stopped while being told stay in place, marked, until the
        // outermost walk ends: each has an address of its own, so one added
        // meanwhile moves none of them.
        struct Walk {
            CObject& c;
            explicit Walk(CObject& o) : c(o) { ++c.telling_; }
            ~Walk() {
                if (--c.telling_ == 0) c.DropGone();
            }
        } walk(*this);
        const std::size_t n = observers_.size();
        for (std::size_t k = 0; k < n; ++k) {
            Observer* o = observers_[k].get();
            if (!o->gone && o->tell) o->tell(change);
        }
    }
    bool asRead_ = false;

private:
    struct Observer {
        ObserverId id;
        ChangeObserver tell;
        bool gone = false;
    };
    void DropGone() const {
        std::erase_if(observers_, [](const std::unique_ptr<Observer>& o) { return o->gone; });
    }

    mutable std::vector<std::unique_ptr<Observer>> observers_; // in the order they came
    mutable std::uint64_t lastObserver_ = 0;
    int telling_ = 0; // walks under way: an observer may change the collection again
    std::uint64_t changes_ = 0;
};

// One record's bytes: a view into a block read from a file, or bytes of its own.
class RecordSlot {
public:
    static RecordSlot View(const char* data, std::size_t size) { return RecordSlot(data, size, false); }
    static RecordSlot Own(std::string_view bytes) {
        char* copy = new char[bytes.size() ? bytes.size() : 1];
        std::memcpy(copy, bytes.data(), bytes.size());
        return RecordSlot(copy, bytes.size(), true);
    }
    RecordSlot(RecordSlot&& o) noexcept : data_(o.data_), size_(o.size_) { o.size_ = 0; }
    RecordSlot& operator=(RecordSlot&& o) noexcept {
        if (this != &o) {
            Free();
            data_ = o.data_;
            size_ = o.size_;
            o.size_ = 0;
        }
        return *this;
    }
    RecordSlot(const RecordSlot&) = delete;
    RecordSlot& operator=(const RecordSlot&) = delete;
    ~RecordSlot() { Free(); }

    std::string_view Bytes() const { return {data_, static_cast<std::size_t>(size_ & ~kOwned)}; }

private:
    static constexpr std::uint64_t kOwned = std::uint64_t(1) << 63;
    RecordSlot(const char* data, std::size_t size, bool owned)
        : data_(data), size_(std::uint64_t(size) | (owned ? kOwned : 0)) {}
    void Free() {
        if (size_ & kOwned) delete[] data_;
    }
    const char* data_;
    std::uint64_t size_; // the top bit: the bytes are this slot's own
};

template <class Record> class CCollection : public CObject {
public:
    using RecordType = Record;
    using View = RecordView<Record>;

    CCollection() = default;
    CCollection(CCollection&&) noexcept = default;
    CCollection& operator=(CCollection&&) noexcept = default;
    CCollection(const CCollection& o) : CObject(o) { CopyRecords(o); }
    CCollection& operator=(const CCollection& o) {
        if (this != &o) {
            CObject::operator=(o);
            CopyRecords(o);
        }
        return *this;
    }

    int GetSize() const { return static_cast<int>(m_records.size()); }
    // A copy of record i, decoded.
    Record GetAt(int i) const { return ViewAt(i).Decode(); }
    // Record i where it lies, for reading single fields.
    View ViewAt(int i) const { return View(m_records.at(static_cast<std::size_t>(i)).Bytes()); }
    std::string_view Text(int i, const Field<Record>& f) const { return ViewAt(i).Text(f); }
    // Record i in the archive's encoding, as a save writes it.
    std::string_view Bytes(int i) const { return m_records.at(static_cast<std::size_t>(i)).Bytes(); }

    // Calls each(index, view) for every record in order. A callback that
    // returns bool stops the walk by returning true; ForEach then returns
    // that record's index, else -1.
    template <class Each> int ForEach(Each&& each) const {
        const std::size_t n = m_records.size();
        for (std::size_t i = 0; i < n; ++i) {
            // Records differ in length, so the processor cannot guess where
            // the next ones start: ask for a record some way ahead.
            if (i + kAhead < n) Prefetch(m_records[i + kAhead].Bytes());
            const View v(m_records[i].Bytes());
            if constexpr (std::is_same_v<std::invoke_result_t<Each&, int, const View&>, bool>) {
                if (each(static_cast<int>(i), v)) return static_cast<int>(i);
            } else {
                each(static_cast<int>(i), v);
            }
        }
        return -1;
    }
    // Calls each(index, texts) for every record in order, texts[k] being the
    // text of fields[k]. Several records are read side by side: finding a
    // field means following the lengths of the fields before it one by one,
    // and records side by side do not wait for each other.
    template <std::size_t N, class Each>
    void ForEachTexts(const std::array<const Field<Record>*, N>& fields, Each&& each) const {
        const std::string& kinds = FieldLayout<Record>::Of().Kinds();
        std::array<std::size_t, N> order; // the fields in file order
        for (std::size_t k = 0; k < N; ++k) order[k] = k;
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return fields[a]->Ordinal() < fields[b]->Ordinal(); });
        const std::size_t n = m_records.size();
        const unsigned char* p[kSide];
        std::array<std::string_view, N> texts[kSide];
        for (std::size_t first = 0; first < n; first += kSide) {
            const std::size_t count = std::min(kSide, n - first);
            for (std::size_t j = 0; j < kSide; ++j) // past the end: the first record again
                p[j] = reinterpret_cast<const unsigned char*>(m_records[first + (j < count ? j : 0)].Bytes().data());
            for (std::size_t j = first + kAhead; j < first + kAhead + kSide && j < n; ++j)
                Prefetch(m_records[j].Bytes());
            std::size_t at = 0;
            for (const std::size_t k : order) {
                for (const std::size_t to = fields[k]->Ordinal(); at < to; ++at) {
                    if (kinds[at] == 'T') {
                        for (auto& q : p) bytes::SkipText(q);
                    } else {
                        const std::size_t width = kinds[at] == 'S' ? 2 : 8;
                        for (auto& q : p) q += width;
                    }
                }
                for (std::size_t j = 0; j < kSide; ++j) {
                    const unsigned char* q = p[j];
                    texts[j][k] = bytes::Text(q);
                }
            }
            for (std::size_t j = 0; j < count; ++j) each(static_cast<int>(first + j), std::as_const(texts[j]));
        }
    }
    // Keeps the bytes of every record where they lie now until the handle
    // is dropped: a record replaced or removed meanwhile (SetAt, RemoveAt,
    // RemoveAll) gives its bytes to the handle instead of freeing them. So a
    // thread of its own may read views taken here with Bytes(i) while this
    // thread goes on changing the collection, which that thread must not
    // touch itself; it hears of each change as any observer does, and what
    // it read from then on is out of date, not freed. Assigning to or
    // destroying the collection frees as always.
    std::shared_ptr<const void> PinBytes() const {
        std::shared_ptr<Retired> kept = retired_.lock();
        if (!kept) {
            kept = std::make_shared<Retired>();
            retired_ = kept;
        }
        return kept;
    }

    // Every record decoded: for tools and tests, not for large books.
    std::vector<Record> CopyAll() const {
        std::vector<Record> all;
        all.reserve(m_records.size());
        for (const RecordSlot& s : m_records) all.push_back(View(s.Bytes()).Decode());
        return all;
    }

    void SetAt(int i, const Record& r) {
        RecordSlot& slot = m_records.at(static_cast<std::size_t>(i));
        RecordSlot encoded = RecordSlot::Own(EncodeRecord(r));
        Retire(slot);
        slot = std::move(encoded);
        Notify({CollectionChange::Kind::replace, i, slot.Bytes()});
    }
    int Add(const Record& r) {
        m_records.push_back(RecordSlot::Own(EncodeRecord(r)));
        const int i = GetSize() - 1;
        Notify({CollectionChange::Kind::add, i, m_records.back().Bytes()});
        return i;
    }
    void RemoveAt(int i) {
        Retire(m_records.at(static_cast<std::size_t>(i)));
        m_records.erase(m_records.begin() + i);
        Notify({CollectionChange::Kind::remove, i, {}});
    }
    void RemoveAll() {
        if (const std::shared_ptr<Retired> kept = retired_.lock()) {
            for (RecordSlot& s : m_records) kept->records.push_back(std::move(s));
            for (ByteBlock& b : blocks_) kept->blocks.push_back(std::move(b));
        }
        m_records.clear();
        blocks_.clear();
        Notify({CollectionChange::Kind::removeAll, 0, {}});
    }

    int RecordCount() const override { return GetSize(); }

    void Store(CArchive& ar) const override {
        ar << static_cast<std::int32_t>(m_records.size());
        // Records that lie one after another, as a loaded file's do, go out in one piece.
        const char* run = nullptr;
        std::size_t length = 0;
        for (const RecordSlot& s : m_records) {
            const std::string_view b = s.Bytes();
            if (run && b.data() == run + length) {
                length += b.size();
                continue;
            }
            if (length) ar.Write(run, length);
            run = b.data();
            length = b.size();
        }
        if (length) ar.Write(run, length);
    }

    // Writes every record, or reads records and appends them. Records read
    // before a read error stay in the collection; the error propagates.
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring())
            Store(ar);
        else
            Load(ar);
    }

private:
    // Measured on the benchmark book: farther ahead and fewer lines than
    // this, or more, read the fields of all records more slowly.
    static constexpr std::size_t kAhead = 16;
    static constexpr std::size_t kSide = 8; // records read side by side
    static void Prefetch([[maybe_unused]] std::string_view b) {
#if defined(__GNUC__)
        for (std::size_t line = 0; line < 256 && line < b.size(); line += 64) __builtin_prefetch(b.data() + line);
#endif
    }

    // The rest of the file is read whole into one block and walked record by
    // record with the archive reader's own checks; each record is a view into
    // the block, or its own bytes where the writer would write it otherwise.
    void Load(CArchive& ar) {
        const bool fresh = m_records.empty() && ChangeCount() == 0 && !loadedBefore_;
        loadedBefore_ = true;
        asRead_ = false;
        std::int32_t n = 0;
        ar >> n;
        if (n <= 0) {
            asRead_ = fresh && n == 0; // a negative count is written as 0
            return;
        }
        const std::uint64_t start = ar.Position();
        const std::uint64_t fileLength = start + ar.Remaining();
        const std::size_t size = static_cast<std::size_t>(ar.Remaining());
        ByteBlock block(size); // not zeroed: the read fills it
        std::exception_ptr readError;
        try {
            ar.ReadRest(block.Data(), size);
        } catch (const FileError&) {
            readError = std::current_exception();
        }
        const auto* base = reinterpret_cast<const unsigned char*>(block.Data());
        const auto got = static_cast<std::size_t>(ar.Position() - start);
        // Room for every record the file can still hold, and no more: a
        // hostile count cannot make us allocate past the file's size.
        const std::uint64_t fit = size / MinRecordBytes();
        m_records.reserve(m_records.size() + static_cast<std::size_t>(std::min<std::uint64_t>(std::uint64_t(n), fit)));
        RecordChecker check(base, got, start, fileLength);
        const unsigned char* p = base;
        bool viewed = false, canonical = true;
        // Room for the block now: keeping it must not fail once views point into it.
        blocks_.reserve(blocks_.size() + 1);
        try {
            for (std::int32_t i = 0; i < n; ++i) {
                const unsigned char* end = check.Check<Record>(p);
                const char* bytes = reinterpret_cast<const char*>(p);
                const std::size_t length = static_cast<std::size_t>(end - p);
                if (check.Canonical()) {
                    m_records.push_back(RecordSlot::View(bytes, length));
                    viewed = true;
                } else {
                    // Kept as the writer writes it, so that a save writes what it always did.
                    m_records.push_back(RecordSlot::Own(EncodeRecord(View({bytes, length}).Decode())));
                    canonical = false;
                }
                p = end;
            }
        } catch (const CArchiveException& e) {
            if (viewed) blocks_.push_back(std::move(block));
            // A value cut by a failed read: the read error is what went wrong.
            if (readError && check.CutShort()) {
                ar.UnreadFrom(e.offset());
                std::rethrow_exception(readError);
            }
            throw;
        } catch (...) {
            // Out of memory re-encoding a record: the views made so far keep their block.
            if (viewed) blocks_.push_back(std::move(block));
            throw;
        }
        if (viewed) blocks_.push_back(std::move(block));
        ar.UnreadFrom(start + std::uint64_t(p - base));
        asRead_ = fresh && canonical;
    }

    void CopyRecords(const CCollection& o) {
        std::size_t total = 0;
        for (const RecordSlot& s : o.m_records) total += s.Bytes().size();
        ByteBlock block(total);
        std::vector<RecordSlot> copies; // not "slots": Qt's keyword
        copies.reserve(o.m_records.size());
        char* at = block.Data();
        for (const RecordSlot& s : o.m_records) {
            const std::string_view b = s.Bytes();
            std::memcpy(at, b.data(), b.size());
            copies.push_back(RecordSlot::View(at, b.size()));
            at += b.size();
        }
        m_records = std::move(copies);
        blocks_.clear();
        blocks_.push_back(std::move(block));
        loadedBefore_ = o.loadedBefore_;
    }

    // What changes let go of while the bytes are pinned.
    struct Retired {
        std::vector<RecordSlot> records;
        std::vector<ByteBlock> blocks;
    };
    void Retire(RecordSlot& slot) {
        if (const std::shared_ptr<Retired> kept = retired_.lock()) kept->records.push_back(std::move(slot));
    }

    // Bytes of a record whose texts are all empty: the least any record takes.
    static std::uint64_t MinRecordBytes() {
        static const std::uint64_t bytes = EncodeRecord(Record{}).size();
        return bytes;
    }

    std::vector<RecordSlot> m_records; // in order, each record's bytes
    std::vector<ByteBlock> blocks_;    // what the views point into
    bool loadedBefore_ = false;
    mutable std::weak_ptr<Retired> retired_; // set while PinBytes' handles live
};

} // namespace vantorel
