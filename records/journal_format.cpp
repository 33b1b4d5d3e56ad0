#include "journal_format.h"

#include <cstring>

namespace vantorel {

namespace {

constexpr char kMagic[8] = {'V', 'A', 'N', 'T', 'J', 'R', 'N', 'L'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kBaseSize = 22;

template <class T> void Put(std::string& out, T v) {
    using U = std::make_unsigned_t<T>;
    const U u = static_cast<U>(v);
    for (std::size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<char>(u >> (8 * i)));
}

template <class T> T Get(std::string_view in, std::size_t at) {
    using U = std::make_unsigned_t<T>;
    U u = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        u = static_cast<U>(u | (static_cast<U>(static_cast<unsigned char>(in[at + i])) << (8 * i)));
    return static_cast<T>(u);
}

void PutBase(std::string& out, const CollectionBase& b) {
    Put<std::uint8_t>(out, static_cast<std::uint8_t>(b.state));
    Put<std::uint8_t>(out, static_cast<std::uint8_t>(b.file.type));
    Put<std::uint64_t>(out, b.file.size);
    Put<std::int64_t>(out, b.file.modified);
    Put<std::uint32_t>(out, b.records);
}

// False when a byte names no load state or file type.
bool GetBase(std::string_view in, std::size_t at, CollectionBase& b) {
    const auto state = Get<std::uint8_t>(in, at);
    const auto type = Get<std::uint8_t>(in, at + 1);
    if (state > static_cast<std::uint8_t>(LoadState::unreadBytes)) return false;
    if (type > static_cast<std::uint8_t>(FileStamp::Type::unknown)) return false;
    b.state = static_cast<LoadState>(state);
    b.file.type = static_cast<FileStamp::Type>(type);
    b.file.size = Get<std::uint64_t>(in, at + 2);
    b.file.modified = Get<std::int64_t>(in, at + 10);
    b.records = Get<std::uint32_t>(in, at + 18);
    return true;
}

const std::array<std::uint32_t, 256>& CrcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    return table;
}

// Starts an entry in `out`; FinishEntry fills in its length and checksum.
std::size_t StartEntry(std::string& out, CollectionId collection, EntryKind kind, std::int32_t index) {
    const std::size_t start = out.size();
    out.append(8, '\0');
    Put<std::uint8_t>(out, static_cast<std::uint8_t>(Index(collection)));
    Put<std::uint8_t>(out, static_cast<std::uint8_t>(kind));
    Put<std::int32_t>(out, index);
    return start;
}

void FinishEntry(std::string& out, std::size_t start) {
    const auto length = static_cast<std::uint32_t>(out.size() - start - 8);
    for (std::size_t i = 0; i < 4; ++i) out[start + i] = static_cast<char>(length >> (8 * i));
    std::uint32_t crc = Crc32(std::string_view(out).substr(start, 4));
    crc = Crc32(std::string_view(out).substr(start + 8), crc);
    for (std::size_t i = 0; i < 4; ++i) out[start + 4 + i] = static_cast<char>(crc >> (8 * i));
}

} // namespace

bool SameBase(const CollectionBase& then, const CollectionBase& now) {
    return then == now && now.file.type != FileStamp::Type::unknown;
}

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
    const auto& table = CrcTable();
    crc = ~crc;
    for (const char ch : bytes) crc = table[(crc ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::string EncodeJournalHeader(const JournalBase& base) {
    std::string out(kMagic, sizeof kMagic);
    Put<std::uint32_t>(out, kVersion);
    for (const CollectionBase& b : base) PutBase(out, b);
    Put<std::uint32_t>(out, Crc32(out));
    return out;
}

void AppendJournalEntry(std::string& out, CollectionId collection, const CollectionChange& change) {
    const std::size_t start =
        StartEntry(out, collection, static_cast<EntryKind>(change.kind), static_cast<std::int32_t>(change.index));
    out.append(change.record);
    FinishEntry(out, start);
}

void AppendSavedEntry(std::string& out, CollectionId collection, const CollectionBase& base) {
    const std::size_t start = StartEntry(out, collection, EntryKind::saved, 0);
    PutBase(out, base);
    FinishEntry(out, start);
}

JournalContents ParseJournal(const std::string& file) {
    const std::string_view bytes = file;
    JournalContents c;
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        c.problem = "not a recovery journal: it does not begin with VANTJRNL";
        return c;
    }
    if (bytes.size() < kJournalHeaderSize) {
        c.problem = "its header is cut short";
        return c;
    }
    if (const auto version = Get<std::uint32_t>(bytes, 8); version != kVersion) {
        c.problem = "written by another version of the program (journal version " + std::to_string(version) + ")";
        return c;
    }
    if (Crc32(bytes.substr(0, kJournalHeaderSize - 4)) != Get<std::uint32_t>(bytes, kJournalHeaderSize - 4)) {
        c.problem = "its header is damaged (checksum)";
        return c;
    }
    for (std::size_t i = 0; i < kFileCount; ++i)
        if (!GetBase(bytes, 12 + i * kBaseSize, c.base[i])) {
            c.problem = "its header is damaged";
            return c;
        }
    std::size_t pos = kJournalHeaderSize;
    const auto torn = [&](const char* why) {
        c.tornReason = why;
        c.tornBytes = bytes.size() - pos;
    };
    while (pos < bytes.size()) {
        const std::size_t left = bytes.size() - pos;
        if (left < 8) {
            torn("the file ends inside an entry's length and checksum");
            break;
        }
        const auto length = Get<std::uint32_t>(bytes, pos);
        if (length < 6 || length > left - 8) {
            torn(length < 6 ? "an entry's length is too small" : "an entry's length runs past the end of the file");
            break;
        }
        const std::string_view body = bytes.substr(pos + 8, length);
        if (Crc32(body, Crc32(bytes.substr(pos, 4))) != Get<std::uint32_t>(bytes, pos + 4)) {
            torn("an entry's checksum does not match");
            break;
        }
        JournalEntry e;
        const auto collection = Get<std::uint8_t>(body, 0);
        const auto kind = Get<std::uint8_t>(body, 1);
        e.kind = static_cast<EntryKind>(kind);
        e.index = Get<std::int32_t>(body, 2);
        e.offset = pos;
        e.bytes = bytes.substr(pos, 8 + length);
        const std::string_view rest = body.substr(6);
        bool sound = collection < kFileCount && kind >= 1 && kind <= 5;
        if (sound) e.collection = kCollections[collection];
        if (sound) switch (e.kind) {
            case EntryKind::add:
            case EntryKind::replace: e.record = rest; break;
            case EntryKind::remove:
            case EntryKind::removeAll: sound = rest.empty(); break;
            case EntryKind::saved: sound = rest.size() == kBaseSize && GetBase(rest, 0, e.saved); break;
            }
        if (!sound) {
            // A checksum that holds over an entry no program writes: damage, not a torn write.
            torn("an entry names no collection or change the program knows");
            break;
        }
        c.entries.push_back(e);
        pos += 8 + length;
    }
    c.wholeBytes = pos;
    return c;
}

} // namespace vantorel
