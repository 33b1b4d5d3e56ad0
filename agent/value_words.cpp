#include "value_words.h"

#include "composed_date.h"

#include <QDate>
#include <QRegularExpression>
#include <array>
#include <utility>

namespace rules {

namespace {

using Word = std::pair<const char16_t*, int>;

// Compared after trimming and folding the case of Latin letters.
constexpr std::array kSexWords = {
    Word{u"男", 0}, Word{u"男性", 0}, Word{u"m", 0}, Word{u"male", 0},   Word{u"先生", 0},
    Word{u"女", 1}, Word{u"女性", 1}, Word{u"f", 1}, Word{u"female", 1}, Word{u"女士", 1},
};

constexpr std::array kMaritalWords = {
    Word{u"已婚", 0},   Word{u"married", 0}, Word{u"未婚", 1}, Word{u"单身", 1},
    Word{u"single", 1}, Word{u"离异", 2},    Word{u"离婚", 2}, Word{u"divorced", 2},
    Word{u"丧偶", 3},   Word{u"widowed", 3}, Word{u"分居", 4}, Word{u"separated", 4},
};

template <std::size_t N> std::optional<int> Lookup(const std::array<Word, N>& words, const QString& text) {
    const QString folded = text.trimmed().toCaseFolded();
    if (folded.isEmpty()) return -1;
    for (const Word& w : words)
        if (folded == QStringView(w.first)) return w.second;
    return std::nullopt;
}

// A written date, optionally followed by a time of day, as year, month, day.
const QRegularExpression& Written() {
    static const QRegularExpression re(QStringLiteral(
        R"(^(\d{4})(?:\s*([-/.])\s*(\d{1,2})\s*\2\s*(\d{1,2})|年\s*(\d{1,2})\s*月\s*(\d{1,2})\s*日?|(\d{2})(\d{2}))(?:[ T]\d{1,2}:\d{2}(?::\d{2}(?:\.\d+)?)?)?$)"));
    return re;
}

// What the forms compose: any year text, "/", month and day numbers.
const QRegularExpression& Composed() {
    static const QRegularExpression re(QStringLiteral(R"(^[^/]*/\d{1,2}-\d{1,2}$)"));
    return re;
}

} // namespace

std::optional<int> SexFromWord(const QString& text) { return Lookup(kSexWords, text); }
std::optional<int> MaritalFromWord(const QString& text) { return Lookup(kMaritalWords, text); }

std::optional<QString> ComposedFromText(const QString& text) {
    if (text.trimmed().isEmpty()) return QString();
    if (Composed().match(text).hasMatch()) return text;
    const QRegularExpressionMatch m = Written().match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    const int year = m.captured(1).toInt();
    int month = 0, day = 0;
    for (const auto& [mi, di] : {std::pair{3, 4}, std::pair{5, 6}, std::pair{7, 8}})
        if (m.hasCaptured(mi)) {
            month = m.captured(mi).toInt();
            day = m.captured(di).toInt();
        }
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1) return std::nullopt;
    return ComposedDate::FromDate(date).Text();
}

Refusal ReadSex(const QString& label, const QString& text, int& index) {
    if (const auto v = SexFromWord(text)) {
        index = *v;
        return std::nullopt;
    }
    return QStringLiteral("“%1”应为“男”或“女”，不能是“%2”").arg(label, text);
}

Refusal ReadMarital(const QString& label, const QString& text, int& index) {
    if (const auto v = MaritalFromWord(text)) {
        index = *v;
        return std::nullopt;
    }
    return QStringLiteral("“%1”应为已婚、未婚、离异、丧偶或分居，不能是“%2”").arg(label, text);
}

Refusal ReadDate(const QString& label, const QString& text, QString& composed) {
    if (auto v = ComposedFromText(text)) {
        composed = std::move(*v);
        return std::nullopt;
    }
    return QStringLiteral("“%1”不是日期：“%2”（可写作 2004-05-29、2004/5/29、2004年5月29日 或 20040529）")
        .arg(label, text);
}

} // namespace rules
