#include "journal_check.h"

#include "records_kind.h"

#include "records/journal.h"

#include <array>
#include <fstream>
#include <iostream>
#include <iterator>

namespace vantorel::tool {

namespace fs = std::filesystem;

namespace {

const char* StateName(LoadState s) {
    switch (s) {
    case LoadState::loaded: return "loaded";
    case LoadState::missing: return "missing";
    case LoadState::empty: return "empty";
    case LoadState::damaged: return "damaged";
    case LoadState::unreadable: return "unreadable";
    case LoadState::unreadBytes: return "loaded with bytes left unread";
    }
    return "?";
}

} // namespace

bool IsJournal(const fs::path& path) {
    if (path.filename().string().rfind(kJournalFileName, 0) == 0) return true;
    std::ifstream in(path, std::ios::binary);
    char head[8] = {};
    return in.read(head, sizeof head) && std::string(head, sizeof head) == "VANTJRNL";
}

int CheckJournal(const fs::path& path) {
    const std::string name = path.string();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cout << name << ": cannot open\n";
        return 1;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        std::cout << name << ": empty (a journal never written to; holds no changes)\n";
        return 0;
    }
    const JournalContents j = ParseJournal(bytes);
    if (!j.problem.empty()) {
        std::cout << name << ": " << j.problem << "\n";
        return 1;
    }
    std::cout << name << ": recovery journal, " << j.entries.size() << " whole entries in " << j.wholeBytes
              << " bytes\n";
    // add, replace, remove, remove all, saved mark; and records that do not decode
    PerCollection<std::array<int, 6>> counts{};
    int bad = 0;
    for (const JournalEntry& e : j.entries) {
        ++counts[e.collection][static_cast<std::size_t>(e.kind) - 1];
        if ((e.kind == EntryKind::add || e.kind == EntryKind::replace) && !DecodesAsRecord(e.collection, e.record)) {
            ++counts[e.collection][5];
            if (++bad <= 10)
                std::cout << "  entry at byte " << e.offset << ": its record is not one whole record of "
                          << KindName(e.collection) << "\n";
        }
    }
    for (const Kind k : kCollections) {
        const CollectionBase& b = j.base[k];
        const auto& n = counts[k];
        std::cout << "  " << kDataFileNames[k] << " (" << KindName(k) << "): " << n[0] << " added, " << n[1]
                  << " replaced, " << n[2] << " removed, " << n[3] << " removed all, " << n[4]
                  << " saved marks; begun against the file " << StateName(b.state) << ", " << b.file.size << " bytes, "
                  << b.records << " records\n";
    }
    if (j.tornBytes > 0)
        std::cout << "  torn tail: the last " << j.tornBytes << " bytes (from byte " << j.wholeBytes
                  << ") are not a whole entry: " << j.tornReason << "; the program does not apply them\n";
    return j.tornBytes > 0 || bad > 0 ? 1 : 0;
}

} // namespace vantorel::tool
