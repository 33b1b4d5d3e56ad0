// Loads the input as each of the four collections. Any input must either
// load or raise the archive's read error; whatever loads must write out and
// read back to the same bytes, and its records decoded must encode to them.
// Then reads the input as a recovery journal and replays it: what the replay
// carries into a new journal must replay the same.
#include "records/journal.h"
#include "records/people_records.h"
#include "records/policy_record.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

template <class C> std::string Store(C& c) {
    vantorel::CMemFile f;
    vantorel::CArchive ar(f, vantorel::CArchive::store);
    c.Serialize(ar);
    ar.Close();
    return f.Data();
}

template <class C> void LoadOne(const std::string& bytes) {
    C c;
    {
        vantorel::CMemFile f(bytes);
        vantorel::CArchive ar(f, vantorel::CArchive::load);
        try {
            c.Serialize(ar);
        } catch (const vantorel::CArchiveException&) {
            // Damaged input: the records before the damage stay.
        }
    }
    const std::string written = Store(c);
    // What a save writes (the bytes kept) is what the records read back say.
    std::string decoded = written.substr(0, 4);
    for (int i = 0; i < c.GetSize(); ++i) decoded += vantorel::EncodeRecord(c.GetAt(i));
    if (decoded != written) std::abort();
    C again;
    vantorel::CMemFile f(written);
    vantorel::CArchive ar(f, vantorel::CArchive::load);
    again.Serialize(ar); // a file we wrote must load without error
    if (again.GetSize() != c.GetSize() || Store(again) != written) std::abort();
}

std::string Stored(const vantorel::DataBook& book) {
    std::string all;
    for (std::size_t i = 0; i < vantorel::kFileCount; ++i) {
        vantorel::CMemFile f;
        vantorel::CArchive ar(f, vantorel::CArchive::store);
        book.Collection(i).Store(ar);
        ar.Close();
        all += f.Data();
    }
    return all;
}

void ReplayJournal(const std::string& bytes) {
    const vantorel::JournalContents j = vantorel::ParseJournal(bytes);
    if (!j.problem.empty()) return;
    // Every byte is a whole entry or the torn tail.
    if (j.wholeBytes + j.tornBytes != bytes.size()) std::abort();
    // An empty book on files as the header describes them.
    vantorel::JournalBase now = j.base;
    for (auto& b : now) b.records = 0;
    vantorel::DataBook book;
    std::string carried;
    const vantorel::JournalRecovery r = vantorel::Replay(j, book, now, carried);
    const std::string rewritten = vantorel::EncodeJournalHeader(now) + carried;
    const vantorel::JournalContents again = vantorel::ParseJournal(rewritten); // views into `rewritten`
    if (!again.problem.empty() || again.tornBytes != 0 || again.entries.size() != std::size_t(r.Applied()))
        std::abort();
    vantorel::DataBook replayed;
    std::string carriedAgain;
    const vantorel::JournalRecovery r2 = vantorel::Replay(again, replayed, now, carriedAgain);
    if (r2.Applied() != r.Applied() || r2.Unapplied() != 0 || carriedAgain != carried) std::abort();
    if (Stored(replayed) != Stored(book)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    LoadOne<vantorel::CInsurance>(bytes);
    LoadOne<vantorel::CPotClient>(bytes);
    LoadOne<vantorel::CTermMember>(bytes);
    LoadOne<vantorel::CCalendar>(bytes);
    ReplayJournal(bytes);
    return 0;
}
