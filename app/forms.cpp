#include "forms.h"

#include <QComboBox>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace forms {

QString ComposeDate(const QString& year, int monthIndex, int dayIndex) {
    // One pass: a "%1" typed into the year must stay text, not become a placeholder.
    return QStringLiteral("%1/%2-%3").arg(year, QString::number(monthIndex + 1), QString::number(dayIndex + 1));
}

DateParts SplitDate(const QString& text) {
    DateParts p;
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash >= 1) p.year = text.left(slash);
    const QString rest = slash >= 0 ? text.mid(slash + 1) : text;
    const qsizetype dash = rest.indexOf(QLatin1Char('-'));
    if (dash >= 1) {
        p.monthIndex = TextToInt(rest.left(dash)) - 1;
        p.dayIndex = TextToInt(rest.mid(dash + 1)) - 1;
    }
    return p;
}

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

void ShowComboText(QComboBox* combo, const QString& text) {
    const int i = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(i);
    if (combo->isEditable()) combo->setEditText(text);
}

void ShowListIndex(QComboBox* list, int index) {
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

int ListIndex(const QComboBox* list) { return list->currentIndex(); }

const QStringList& YearPresets() {
    static const QStringList years = [] {
        QStringList y;
        for (int i = 1900; i <= 2200; ++i) y << QString::number(i);
        return y;
    }();
    return years;
}

void AddYearPresets(QComboBox* combo) { combo->addItems(YearPresets()); }

} // namespace forms
