// Small helpers for storage tests: temporary folders, whole-file bytes,
// byte strings written as hex, and records serialized to memory.
#pragma once

#include "records/archive.h"
#include "records/collection.h"

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>

namespace testkit {

namespace fs = std::filesystem;

// A fresh folder under the system temp folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        for (;;) {
            path_ = fs::temp_directory_path() / ("vantorel-test-" + std::to_string(rd()));
            if (fs::create_directory(path_)) break;
        }
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
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string B(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

inline std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out.push_back(' ');
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
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
inline const std::string kBenKe = "\xB1\xBE\xBF\xC6";     // 本科
inline const std::string kZhangSan = "\xD5\xC5\xC8\xFD";  // 张三
inline const std::string kBeijing = "\xB1\xB1\xBE\xA9\xCA\xD0"; // 北京市

} // namespace testkit
