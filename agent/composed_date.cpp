#include "composed_date.h"

#include "gbk.h"
#include "numbers.h"

#include <cstdio>
#include <optional>

namespace {

// The digits of [from, to) as a number; nullopt for none, a non-digit or more than four.
template <class Text> std::optional<int> Digits(const Text& text, std::size_t from, std::size_t to) {
    if (from >= to || to - from > 4) return std::nullopt;
    int v = 0;
    for (std::size_t i = from; i < to; ++i) {
        const auto c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + int(c - '0');
    }
    return v;
}

struct Marks {
    std::size_t slash, dash; // npos when absent
};

template <class View> Marks Find(const View& text) {
    const std::size_t slash = text.find('/');
    const std::size_t dash = slash == View::npos ? View::npos : text.find('-', slash + 1);
    return {slash, dash};
}

template <class View> QDate Real(const View& text) {
    const Marks m = Find(text);
    if (m.dash == View::npos) return {};
    const auto year = Digits(text, 0, m.slash), month = Digits(text, m.slash + 1, m.dash),
               day = Digits(text, m.dash + 1, text.size());
    if (!year || !month || !day || *year < 1) return {};
    return QDate(*year, *month, *day); // invalid unless a real date
}

} // namespace

ComposedDate ComposedDate::FromStored(std::string_view gbk) { return ComposedDate(FromGbk(gbk)); }

ComposedDate ComposedDate::FromParts(const DateParts& p) {
    // One pass: a "%1" typed into the year must stay text, not become a placeholder.
    return ComposedDate(
        QStringLiteral("%1/%2-%3").arg(p.year, QString::number(p.monthIndex + 1), QString::number(p.dayIndex + 1)));
}

ComposedDate ComposedDate::FromDate(const QDate& d) {
    return FromParts({QString::number(d.year()), d.month() - 1, d.day() - 1});
}

std::string ComposedDate::Stored() const { return ToGbk(text_); }

QString ComposedDate::ListText() const {
    const QDate d = ToDate();
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : text_;
}

DateParts ComposedDate::Split() const {
    DateParts p;
    const qsizetype slash = text_.indexOf(QLatin1Char('/'));
    if (slash >= 1) p.year = text_.left(slash);
    const QString rest = slash >= 0 ? text_.mid(slash + 1) : text_;
    const qsizetype dash = rest.indexOf(QLatin1Char('-'));
    if (dash >= 1) {
        p.monthIndex = numbers::TextToInt(rest.left(dash)) - 1;
        p.dayIndex = numbers::TextToInt(rest.mid(dash + 1)) - 1;
    }
    return p;
}

QDate ComposedDate::RealDate(std::string_view gbk) { return Real(gbk); }

QDate ComposedDate::RealDate(const QString& text) {
    const std::u16string_view view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
    return Real(view);
}

int ComposedDate::Day(std::string_view gbk) {
    const Marks m = Find(gbk);
    if (m.dash == std::string_view::npos) return -1;
    return Digits(gbk, m.dash + 1, gbk.size()).value_or(-1);
}

ComposedDate::SameDay::SameDay(const QDate& day)
    : length_(std::size_t(std::snprintf(text_, sizeof text_, "%d-%d", day.month(), day.day()))) {}

bool ComposedDate::SameDay::Matches(std::string_view gbk) const {
    const auto slash = gbk.find('/');
    const std::string_view monthDay = slash == std::string_view::npos ? gbk : gbk.substr(slash + 1);
    return monthDay == std::string_view(text_, length_);
}
