// A record kept in the archive's encoding, read where it lies: the loader's
// check of a record's bytes, a decoded copy, and single fields read without
// decoding the rest. Every reader here follows the record's own field list
// (VisitFields) over a record object that only names the fields.
#pragma once

#include "archive.h"
#include "field_io.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

namespace bytes {

inline std::uint16_t U16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline std::uint32_t U32(const unsigned char* p) { return std::uint32_t(U16(p)) | std::uint32_t(U16(p + 2)) << 16; }
inline std::uint64_t U64(const unsigned char* p) { return std::uint64_t(U32(p)) | std::uint64_t(U32(p + 4)) << 32; }

// The prefix the writer gives a text of n bytes: 1, 3 or 7 bytes.
inline std::size_t PrefixBytes(std::uint64_t n) { return n < 0xFF ? 1 : n < 0xFFFE ? 3 : 7; }

// A text of a record already found sound; moves `p` past it.
inline std::string_view Text(const unsigned char*& p) {
    std::uint64_t n = *p++;
    if (n == 0xFF) {
        n = U16(p);
        p += 2;
        if (n == 0xFFFF) {
            n = U32(p);
            p += 4;
        }
    }
    const std::string_view t(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n));
    p += n;
    return t;
}

inline void SkipText(const unsigned char*& p) {
    if (*p < 0xFF)
        p += 1 + *p;
    else
        Text(p);
}

} // namespace bytes

// A record object whose fields only serve to name fields, by their address.
template <class Record> const Record& FieldNames() {
    static const Record names{};
    return names;
}

// The fields of a record before its first list, in file order: their kinds
// are the same in every record, so a field among them is found by skipping
// the ones before it. 'T' a text, 'S' an int16, 'D' a double.
template <class Record> class FieldLayout {
public:
    static const FieldLayout& Of() {
        static const FieldLayout layout = [] {
            FieldLayout l;
            VisitFields(l, FieldNames<Record>());
            return l;
        }();
        return layout;
    }
    const std::string& Kinds() const { return kinds_; }
    // Whether a value is written twice (clients and members repeat the education).
    bool HasRepeats() const { return repeats_; }
    // The last place the field at `address` is visited (a load keeps the
    // later of two copies); npos for a field inside or after a list.
    std::size_t Ordinal(const void* address) const {
        for (std::size_t i = fields_.size(); i-- > 0;)
            if (fields_[i] == address) return i;
        return std::string::npos;
    }

    void operator()(const char*, const std::string& v) { Add(&v, 'T'); }
    void operator()(const char*, const std::int16_t& v) { Add(&v, 'S'); }
    void operator()(const char*, const double& v) { Add(&v, 'D'); }
    template <class T> void Again(const char* n, const T& v) {
        repeats_ = true;
        (*this)(n, v);
    }
    template <class T> void Object(const char*, const T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, const std::vector<T>&) { listed_ = true; }

private:
    void Add(const void* field, char kind) {
        if (listed_) return;
        fields_.push_back(field);
        kinds_.push_back(kind);
    }
    std::vector<const void*> fields_;
    std::string kinds_;
    bool listed_ = false;
    bool repeats_ = false;
};

// One field of a record, named by a selector on the record:
//   const Field<PolicyRecord> kHolderName([](auto& r) -> auto& { return r.holder.name; });
// Only fields before the record's first list can be named.
template <class Record> class Field {
public:
    template <class Select> explicit Field(Select select) {
        const auto& field = select(FieldNames<Record>());
        ordinal_ = FieldLayout<Record>::Of().Ordinal(&field);
        if (ordinal_ == std::string::npos) throw std::logic_error("not a field before the record's lists");
        kind_ = FieldLayout<Record>::Of().Kinds()[ordinal_];
    }
    std::size_t Ordinal() const { return ordinal_; }
    char Kind() const { return kind_; }

private:
    std::size_t ordinal_ = 0;
    char kind_ = 'T';
};

// Fills a record from bytes already found sound; a later copy of a value
// wins, as on loading.
struct RecordDecoder {
    const unsigned char* p;
    void operator()(const char*, std::string& s) {
        const std::string_view t = bytes::Text(p);
        std::string(t).swap(s); // constructed, so the capacity is the length
    }
    void operator()(const char*, std::int16_t& v) {
        v = static_cast<std::int16_t>(bytes::U16(p));
        p += 2;
    }
    void operator()(const char*, double& v) {
        const std::uint64_t u = bytes::U64(p);
        std::memcpy(&v, &u, sizeof v);
        p += 8;
    }
    template <class T> void Again(const char* n, T& v) { (*this)(n, v); }
    template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, std::vector<T>& list) {
        const auto n = static_cast<std::int16_t>(bytes::U16(p));
        p += 2;
        list.clear();
        list.resize(n > 0 ? std::size_t(n) : 0);
        for (T& entry : list) VisitFields(*this, entry);
    }
};

// Every text of a record in file order (a repeated copy not again), until
// `each` returns true.
template <class Each> struct TextWalker {
    const unsigned char* p;
    Each& each;
    bool found = false;
    void operator()(const char*, const std::string&) {
        if (found) return;
        found = each(bytes::Text(p));
    }
    void operator()(const char*, const std::int16_t&) { p += 2; }
    void operator()(const char*, const double&) { p += 8; }
    void Again(const char*, const std::string&) {
        if (!found) bytes::SkipText(p);
    }
    template <class T> void Object(const char*, const T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, const std::vector<T>&) {
        if (found) return;
        const auto n = static_cast<std::int16_t>(bytes::U16(p));
        p += 2;
        for (std::int16_t i = 0; i < n && !found; ++i) VisitFields(*this, FieldNames<T>());
    }
};

// The bytes of one record as a data file holds them.
template <class Record> class RecordView {
public:
    explicit RecordView(std::string_view bytes) : p_(reinterpret_cast<const unsigned char*>(bytes.data())) {}

    std::string_view Text(const Field<Record>& f) const {
        const unsigned char* p = Skip(p_, 0, f.Ordinal());
        return bytes::Text(p);
    }
    // Several texts in one walk over the record (fields in file order walk
    // on from the one before).
    template <class... Fields> std::array<std::string_view, sizeof...(Fields)> Texts(const Fields&... fields) const {
        std::array<std::string_view, sizeof...(Fields)> texts;
        const unsigned char* p = p_;
        std::size_t at = 0, k = 0;
        ((texts[k++] = TextFrom(p, at, fields)), ...);
        return texts;
    }
    std::int16_t Short(const Field<Record>& f) const {
        return static_cast<std::int16_t>(bytes::U16(Skip(p_, 0, f.Ordinal())));
    }
    double Number(const Field<Record>& f) const {
        const std::uint64_t u = bytes::U64(Skip(p_, 0, f.Ordinal()));
        double v;
        std::memcpy(&v, &u, sizeof v);
        return v;
    }
    Record Decode() const {
        Record r;
        RecordDecoder d{p_};
        VisitFields(d, r);
        return r;
    }
    // Calls `each` with every text of the record in file order, lists
    // included, until it returns true; true if it did.
    template <class Each> bool AnyText(Each&& each) const {
        TextWalker<Each> w{p_, each};
        VisitFields(w, FieldNames<Record>());
        return w.found;
    }

private:
    // From field `from` at `p` on to field `to`.
    static const unsigned char* Skip(const unsigned char* p, std::size_t from, std::size_t to) {
        const std::string& kinds = FieldLayout<Record>::Of().Kinds();
        for (std::size_t i = from; i < to; ++i) {
            if (kinds[i] == 'T')
                bytes::SkipText(p);
            else
                p += kinds[i] == 'S' ? 2 : 8;
        }
        return p;
    }
    std::string_view TextFrom(const unsigned char*& p, std::size_t& at, const Field<Record>& f) const {
        if (f.Ordinal() < at) {
            p = p_;
            at = 0;
        }
        p = Skip(p, at, f.Ordinal());
        at = f.Ordinal();
        const unsigned char* q = p;
        return bytes::Text(q);
    }
    const unsigned char* p_;
};

// The loader's check of one record's bytes, with the archive reader's own
// rules and offsets: a value cut by the end of the file, a text length past
// the file's end, a list count above ten. It also notes whether the writer
// would write these bytes as they are (shortest length prefixes, no negative
// list count, the two copies of a repeated value alike).
class RecordChecker {
public:
    // `block` holds the file's bytes from `blockOffset` on, `available` of
    // them; the file is `fileLength` bytes long by its own account.
    RecordChecker(const unsigned char* block, std::size_t available, std::uint64_t blockOffset,
                  std::uint64_t fileLength)
        : block_(block), end_(block + available), blockOffset_(blockOffset), fileLength_(fileLength) {}

    // Checks the record starting at `p`; returns where it ends. Throws
    // CArchiveException where the archive's reader would.
    template <class Record> const unsigned char* Check(const unsigned char* p) {
        p_ = p;
        canonical_ = true;
        depth_ = 0;
        tracking_ = FieldLayout<Record>::Of().HasRepeats();
        seen_.clear();
        VisitFields(*this, FieldNames<Record>());
        return p_;
    }
    bool Canonical() const { return canonical_; }
    // The last throw came from bytes missing short of the file's length (a
    // read that stopped early), not from the file's own content.
    bool CutShort() const { return cutShort_; }

    void operator()(const char*, const std::string& field) {
        const std::string_view t = Text();
        if (tracking_ && depth_ == 0) seen_.push_back({&field, t});
    }
    void operator()(const char*, const std::int16_t&) { Skip(2); }
    void operator()(const char*, const double&) { Skip(8); }
    void Again(const char*, const std::string& field) {
        const std::string_view t = Text();
        for (auto it = seen_.rbegin(); it != seen_.rend(); ++it)
            if (it->first == &field) {
                if (it->second != t) canonical_ = false; // the writer writes the kept copy twice
                break;
            }
    }
    template <class T> void Object(const char*, const T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char* name, const std::vector<T>&) {
        const unsigned char* at = p_;
        Skip(2);
        const auto n = static_cast<std::int16_t>(bytes::U16(at));
        // No sound file holds more than ten; reading on would misalign the rest.
        if (n > static_cast<std::int16_t>(kMaxListEntries)) TooMany(name, n, Offset(at));
        if (n < 0) canonical_ = false; // read as none, written as 0
        ++depth_;
        for (std::int16_t i = 0; i < n; ++i) VisitFields(*this, FieldNames<T>());
        --depth_;
    }

private:
    std::uint64_t Offset(const unsigned char* p) const { return blockOffset_ + std::uint64_t(p - block_); }
    // Every field of every record passes here: the common case stays small
    // and inline, the rest (long prefixes, the end of the bytes) out of line.
    void Skip(std::size_t n) {
        if (n > std::size_t(end_ - p_)) Cut(Offset(p_));
        p_ += n;
    }
    std::string_view Text() {
        if (p_ < end_ && *p_ < 0xFF) {
            const std::size_t n = *p_;
            // Bytes that are there lie within the file's length too.
            if (n < std::size_t(end_ - p_)) {
                const std::string_view t(reinterpret_cast<const char*>(p_ + 1), n);
                p_ += 1 + n;
                return t;
            }
        }
        return LongText();
    }
    [[gnu::noinline]] std::string_view LongText() {
        const std::uint64_t start = Offset(p_);
        Need(1, start);
        std::uint64_t n = *p_;
        std::size_t prefix = 1;
        if (n == 0xFF) {
            Need(3, start);
            n = bytes::U16(p_ + 1);
            prefix = 3;
            if (n == 0xFFFF) {
                Need(7, start);
                n = bytes::U32(p_ + 3);
                prefix = 7;
            }
        }
        if (prefix != bytes::PrefixBytes(n)) canonical_ = false;
        p_ += prefix;
        // A length past the file's end is damage, whatever was read of it.
        const std::uint64_t here = Offset(p_);
        if (n > 0 && (here > fileLength_ || n > fileLength_ - here)) {
            cutShort_ = false;
            throw CArchiveException(CArchiveException::endOfFile, start, "text length runs past the end of the file");
        }
        Need(n, start);
        const std::string_view t(reinterpret_cast<const char*>(p_), static_cast<std::size_t>(n));
        p_ += n;
        return t;
    }
    void Need(std::uint64_t n, std::uint64_t valueStart) {
        if (n > std::uint64_t(end_ - p_)) Cut(valueStart);
    }
    // The bytes end inside the value that starts at `valueStart`.
    [[noreturn, gnu::noinline]] static void TooMany(const char* name, int n, std::uint64_t at) {
        throw CArchiveException(CArchiveException::badCount, at,
                                std::string(name) + " count " + std::to_string(n) + " is above " +
                                    std::to_string(kMaxListEntries));
    }
    [[noreturn, gnu::noinline]] void Cut(std::uint64_t valueStart) {
        cutShort_ = Offset(end_) < fileLength_;
        throw CArchiveException(CArchiveException::endOfFile, valueStart, "file ends inside a value");
    }

    const unsigned char* block_;
    const unsigned char* end_;
    std::uint64_t blockOffset_;
    std::uint64_t fileLength_;
    const unsigned char* p_ = nullptr;
    bool canonical_ = true;
    bool cutShort_ = false;
    int depth_ = 0;
    bool tracking_ = false;
    std::vector<std::pair<const void*, std::string_view>> seen_; // texts outside lists, for repeated values
};

// A record in the archive's encoding.
template <class Record> std::string EncodeRecord(const Record& r) {
    CMemFile out;
    CArchive ar(out, CArchive::store);
    ArchiveWriter w{ar};
    VisitFields(w, r);
    ar.Close();
    return out.Data();
}

} // namespace vantorel
