// Records to and from JSON, driven by the records' own field lists: keys are
// the field names, lists are arrays, numbers are JSON numbers.
#pragma once

#include "records_kind.h"

#include <nlohmann/json.hpp>

#include <stdexcept>

namespace vantorel::tool {

using Json = nlohmann::ordered_json;

// Bad input, with where it is ("record 3, holder.name: ...").
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Json ToJson(Kind kind, const CObject& collection);
// Appends the records of `array` to `collection`, which must be of `kind`.
void FromJson(Kind kind, const Json& array, CObject& collection);

} // namespace vantorel::tool
