// Visitors that drive a record's field list into and out of an archive.
#pragma once

#include "archive.h"

#include <algorithm>
#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace vantorel {

// The most beneficiaries, and the most riders, a policy holds.
constexpr std::size_t kMaxListEntries = 10;

// A record of type Record, const or not: every field list is written once
// and serves visitors that change a record and visitors that only read it.
template <class R, class Record>
concept RecordOf = std::same_as<std::remove_const_t<R>, Record>;

struct ArchiveWriter {
    CArchive& ar;
    template <class T> void operator()(const char*, const T& value) { ar << value; }
    template <class T> void Again(const char* name, const T& value) { (*this)(name, value); }
    template <class T> void Object(const char*, const T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, const std::vector<T>& list) {
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
            ar.Damaged(at, std::string(name) + " count " + std::to_string(n) + " is above " +
                               std::to_string(kMaxListEntries));
        list.clear();
        for (std::int16_t i = 0; i < n; ++i) {
            T entry;
            VisitFields(*this, entry);
            list.push_back(std::move(entry));
        }
    }
};

} // namespace vantorel
