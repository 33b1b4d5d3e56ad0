#include "numbers.h"

#include <cstdlib>

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

QString FormatFixed(double v) { return QString::number(v, 'f', 6); }

QString FormatRounded(double v) { return QString::number(v, 'f', 0); }

} // namespace numbers
