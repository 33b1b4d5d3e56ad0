// Which collection a data file holds, and running code on the right type.
#pragma once

#include "records/data_files.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vantorel::tool {

enum class Kind { policies, clients, members, schedule };

std::optional<Kind> KindFromName(const std::string& name);        // "policies", ...
std::optional<Kind> KindFromFile(const std::filesystem::path& p); // data1 .. data4
const char* KindName(Kind k);

template <class F> decltype(auto) WithCollection(Kind k, F&& f) {
    switch (k) {
    case Kind::policies: {
        CInsurance c;
        return f(c);
    }
    case Kind::clients: {
        CPotClient c;
        return f(c);
    }
    case Kind::members: {
        CTermMember c;
        return f(c);
    }
    default: {
        CCalendar c;
        return f(c);
    }
    }
}

} // namespace vantorel::tool
