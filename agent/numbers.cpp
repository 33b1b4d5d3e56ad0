#include "numbers.h"

#include <QLocale>

#include <cstdlib>
#include <span>

namespace numbers {

namespace {
bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
} // namespace

double TextToDouble(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    qsizetype digits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++digits;
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    qsizetype end = i;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) ++j;
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j])) ++j;
            end = j;
        }
    }
    // Only ASCII digits, sign, point and exponent reach here: the C locale's strtod is exact for them.
    const QByteArray number = text.mid(start, end - start).toLatin1();
    // A number too large for a double comes back infinite (HUGE_VAL), as from the C runtime.
    return std::strtod(number.constData(), nullptr);
}

int TextToInt(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    long long v = 0;
    while (i < n && IsDigit(text[i])) {
        v = v * 10 + (text[i++].unicode() - u'0');
        if (v > 2147483648LL) v = 2147483648LL; // saturate instead of overflowing
    }
    if (negative) v = -v;
    if (v > 2147483647LL) v = 2147483647LL;
    return static_cast<int>(v);
}

namespace {

struct Suffix {
    const char16_t* text;
    double times, over; // into the field's unit; a division stays exact where a product by 0.0001 would not
};

// The units a field reads, longest first so that "万元" is not taken for "元".
constexpr Suffix kYuan[] = {{u"万元", 10000, 1}, {u"万", 10000, 1}, {u"元", 1, 1}};
constexpr Suffix kWanYuan[] = {{u"万元", 1, 1}, {u"万", 1, 1}, {u"元", 1, 10000}};
constexpr Suffix kCm[] = {{u"厘米", 1, 1}, {u"cm", 1, 1}};
constexpr Suffix kKg[] = {{u"公斤", 1, 1}, {u"千克", 1, 1}, {u"kg", 1, 1}};
constexpr Suffix kPercent[] = {{u"%", 1, 1}, {u"％", 1, 1}};

std::span<const Suffix> SuffixesOf(Unit unit) {
    switch (unit) {
    case Unit::yuan: return kYuan;
    case Unit::wanYuan: return kWanYuan;
    case Unit::cm: return kCm;
    case Unit::kg: return kKg;
    case Unit::percent: return kPercent;
    case Unit::none: break;
    }
    return {};
}

} // namespace

Reading ReadNumber(const QString& text, Unit unit) {
    QString t;
    t.reserve(text.size());
    for (const QChar c : text)
        if (!IsBlank(c) && c != u'\u3000' && c != u',' && c != u'，') t += c;
    if (t.isEmpty()) return {true, 0};
    Suffix found{nullptr, 1, 1};
    for (const Suffix& s : SuffixesOf(unit)) {
        const QString suffix = QString::fromUtf16(s.text);
        if (t.size() > suffix.size() && t.endsWith(suffix, Qt::CaseInsensitive)) {
            t.chop(suffix.size());
            found = s;
            break;
        }
    }
    // The whole rest must be the number TextToDouble reads from its start.
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
    qsizetype digits = 0;
    while (i < n && IsDigit(t[i])) ++i, ++digits;
    if (i < n && t[i] == u'.') {
        ++i;
        while (i < n && IsDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return {};
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
        if (i == n || !IsDigit(t[i])) return {};
        while (i < n && IsDigit(t[i])) ++i;
    }
    if (i != n) return {};
    return {true, TextToDouble(t) * found.times / found.over};
}

QString Shortest(double v) {
    // Fixed notation, as the forms have always shown numbers; never "-0".
    if (v == 0) return QStringLiteral("0");
    return QString::number(v, 'f', QLocale::FloatingPointShortest);
}

QString FormatFixed(double v) { return QString::number(v, 'f', 6); }

QString FormatRounded(double v) { return QString::number(v, 'f', 0); }

} // namespace numbers
