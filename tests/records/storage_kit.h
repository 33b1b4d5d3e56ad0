// Helpers for storage tests: temporary folders, whole-file bytes, bytes
// written as hex, records serialized to memory, a small sample book with
// every kind of value (long texts included), and a storage that fails
// (failing_storage.h).
#pragma once

#include "failing_storage.h"
#include "records/data_files.h"

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <ostream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

namespace vantorel {
// Names in the tests' failure messages.
inline void PrintTo(SaveOutcome o, std::ostream* out) {
    static const char* const names[] = {"written", "unchanged", "leftAlone", "savedBeside", "failed"};
    *out << names[static_cast<int>(o)];
}
} // namespace vantorel

namespace testkit {

namespace fs = std::filesystem;

// A fresh folder under the system temp folder, removed with everything in it.
// Built from the standard library alone: the same tests run on Windows.
class TempDir {
public:
    TempDir() {
        std::random_device rd; // may repeat across processes on some platforms, hence the retries
        for (int tries = 0; path_.empty() && tries < 100; ++tries)
            if (const auto p = fs::temp_directory_path() / ("vantorel-test-" + std::to_string(rd()));
                fs::create_directory(p))
                path_ = p;
        if (path_.empty()) throw std::runtime_error("no temporary folder");
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

inline std::string ReadBytes(const fs::path& p) {
    std::ostringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}

inline void WriteBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// The collection's records are in a file now: written, already there, or
// written beside a file kept from the load.
inline bool Saved(const vantorel::FileSaveResult& r) {
    using vantorel::SaveOutcome;
    return r.outcome == SaveOutcome::written || r.outcome == SaveOutcome::unchanged ||
           r.outcome == SaveOutcome::savedBeside;
}

inline std::string B(std::initializer_list<int> bytes) { return std::string(bytes.begin(), bytes.end()); }

inline std::string Hex(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes)
        out += (out.empty() ? "" : " ") + std::string{"0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
    return out;
}

// The bytes that a collection writes.
inline std::string Stored(const vantorel::CObject& c) {
    vantorel::CMemFile f;
    vantorel::CArchive ar(f, vantorel::CArchive::store);
    const_cast<vantorel::CObject&>(c).Serialize(ar);
    ar.Close();
    return f.Data();
}

// Loads `bytes` into a fresh collection; rethrows the archive's error.
template <class C> C Loaded(const std::string& bytes) {
    C c;
    vantorel::CMemFile f(bytes);
    vantorel::CArchive ar(f, vantorel::CArchive::load);
    c.Serialize(ar);
    return c;
}

// GBK bytes of a few texts used in the tests.
inline const std::string kBenKe = "\xB1\xBE\xBF\xC6";           // 本科
inline const std::string kZhangSan = "\xD5\xC5\xC8\xFD";        // 张三
inline const std::string kBeijing = "\xB1\xB1\xBE\xA9\xCA\xD0"; // 北京市

inline vantorel::PolicyRecord SamplePolicy(int i, int beneficiaries, int riders) {
    vantorel::PolicyRecord r;
    // Remarks of 0, 150 and 300 bytes take 1- and 3-byte prefixes.
    r.info = {.policyNo = "P" + std::to_string(i),
              .company = kBeijing,
              .sumInsured = 50.0 + i,
              .remarks = std::string(static_cast<std::size_t>(i * 150), 'r')};
    r.holder = {.name = kZhangSan, .sex = 1, .maritalStatus = -1};
    r.insured = {.name = kZhangSan + std::to_string(i), .height = 170.5, .education = kBenKe};
    for (int b = 0; b < beneficiaries; ++b) r.beneficiaries.push_back({.name = "b" + std::to_string(b), .share = 10});
    for (int k = 0; k < riders; ++k) r.riders.push_back({.policyNo = "R" + std::to_string(k), .sumInsured = 1.0 * k});
    return r;
}

inline void FillSampleBook(vantorel::DataBook& book) {
    book.insurance.Add(SamplePolicy(0, 0, 0));
    book.insurance.Add(SamplePolicy(1, 2, 1));
    book.insurance.Add(SamplePolicy(2, 10, 10));
    auto big = SamplePolicy(3, 1, 0);
    big.holder.homeAddress = std::string(5000, 'a'); // longer than the archive buffer
    book.insurance.Add(big);
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        book.clients.Add({.person = {.name = kZhangSan + n, .idNumber = "100" + n, .education = kBenKe}, .fax = "fax"});
        book.members.Add(
            {.staffNo = "S" + n, .hobby = std::string(260, 'h'), .person = {.name = kZhangSan, .weight = 60}});
    }
    book.calendar.Add({20040529, "ab"});
    book.calendar.Add({20041231, kBeijing});
    book.calendar.Add({20041231, ""});
}

} // namespace testkit
