// Which collection a data file holds, and running code on the right type.
#pragma once

#include "records/data_files.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace vantorel::tool {

// The tool names the collections "policies", "clients", "members" and "schedule".
using Kind = CollectionId;

std::optional<Kind> KindFromName(const std::string& name);        // "policies", ...
std::optional<Kind> KindFromFile(const std::filesystem::path& p); // data1 .. data4
const char* KindName(Kind k);

// Calls f with a new, empty collection of kind `k`, as its own type.
template <class F> decltype(auto) WithCollection(Kind k, F&& f) {
    DataBook book;
    return vantorel::WithCollection(book, k, std::forward<F>(f));
}

} // namespace vantorel::tool
