// Rules every form shares: composed dates, typed numbers, showing values in
// combos and lists. The page palette is the theme's (theme/theme_colours.h).
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

namespace forms {

// "%s/%d-%d" of the year text and the 0-based month and day indexes (+1);
// a list with nothing chosen (-1) gives 0.
QString ComposeDate(const QString& year, int monthIndex, int dayIndex);

struct DateParts {
    QString year;
    int monthIndex = -1;
    int dayIndex = -1;
};
// Splits at the first "/" and the first "-" after it.
DateParts SplitDate(const QString& text);
inline QString ComposeDate(const DateParts& d) { return ComposeDate(d.year, d.monthIndex, d.dayIndex); }

// Leading decimal number of the text ("12.5万" -> 12.5), 0 if none. The
// decimal point is always ".", whatever the locale. A number too large for a
// double gives an infinity of its sign ("1e999"), one too small gives 0.
double TextToDouble(const QString& text);
// Optional sign and leading digits, 0 if none.
int TextToInt(const QString& text);
// printf-style formats used by the forms, locale-independent.
QString FormatFixed(double v);   // "%f"
QString FormatRounded(double v); // "%.0f"

// Puts the text into the combo's edit field and selects the preset equal to
// it, or no preset when none is equal.
void ShowComboText(QComboBox* combo, const QString& text);
// Selects the item; -1 or an index outside the list leaves no selection.
void ShowListIndex(QComboBox* list, int index);
// A drop-down list's chosen index, -1 when none.
int ListIndex(const QComboBox* list);

// "1900".."2200", added to every year combo when its window is created.
const QStringList& YearPresets();
void AddYearPresets(QComboBox* combo);

} // namespace forms
