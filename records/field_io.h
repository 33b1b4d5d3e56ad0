// The visitor that writes a record's field list into an archive.
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

} // namespace vantorel
