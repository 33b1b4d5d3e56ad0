// Loads the input as each of the four collections. Any input must either
// load or raise the archive's read error; whatever loads must write out and
// read back to the same bytes, and its records decoded must encode to them.
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    LoadOne<vantorel::CInsurance>(bytes);
    LoadOne<vantorel::CPotClient>(bytes);
    LoadOne<vantorel::CTermMember>(bytes);
    LoadOne<vantorel::CCalendar>(bytes);
    return 0;
}
