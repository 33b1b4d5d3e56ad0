// Visitors that drive a record's field list into and out of an archive.
#pragma once

#include "archive.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vantorel {

// Beneficiaries and riders per policy.
constexpr std::size_t kMaxListEntries = 10;

struct ArchiveWriter {
    CArchive& ar;
    template <class T> void operator()(const char*, T& value) { ar << value; }
    template <class T> void Again(const char* name, T& value) { (*this)(name, value); }
    template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, std::vector<T>& list) {
        const std::size_t n = std::min(list.size(), kMaxListEntries);
        ar << static_cast<std::int16_t>(n);
        for (std::size_t i = 0; i < n; ++i) VisitFields(*this, list[i]);
    }
};

struct ArchiveReader {
    CArchive& ar;
    template <class T> void operator()(const char*, T& value) { ar >> value; }
    template <class T> void Again(const char* name, T& value) { (*this)(name, value); }
    template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char* name, std::vector<T>& list) {
        const std::uint64_t at = ar.Position();
        std::int16_t n = 0;
        ar >> n;
        // No sound file holds more than ten; reading on would misalign the rest.
        if (n > static_cast<std::int16_t>(kMaxListEntries))
            ar.Damaged(at, std::string(name) + " count " + std::to_string(n) + " is above 10");
        list.clear();
        for (std::int16_t i = 0; i < n; ++i) {
            T entry;
            VisitFields(*this, entry);
            list.push_back(std::move(entry));
        }
    }
};

} // namespace vantorel
