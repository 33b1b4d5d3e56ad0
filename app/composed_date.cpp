#include "composed_date.h"

#include <optional>

namespace {

// The digits of [from, to) as a number; nullopt for none, a non-digit or more than four.
std::optional<int> Digits(const std::string& text, std::size_t from, std::size_t to) {
    if (from >= to || to - from > 4) return std::nullopt;
    int v = 0;
    for (std::size_t i = from; i < to; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        v = v * 10 + (text[i] - '0');
    }
    return v;
}

} // namespace

QDate RealDateOf(const std::string& composed) {
    const std::size_t slash = composed.find('/');
    if (slash == std::string::npos) return {};
    const std::size_t dash = composed.find('-', slash + 1);
    if (dash == std::string::npos) return {};
    const auto year = Digits(composed, 0, slash), month = Digits(composed, slash + 1, dash),
               day = Digits(composed, dash + 1, composed.size());
    if (!year || !month || !day || *year < 1) return {};
    return QDate(*year, *month, *day); // invalid unless a real date
}
