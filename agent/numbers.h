// Numbers typed as text, read and written the same way whatever the locale:
// the decimal point is always ".".
#pragma once

#include <QString>

namespace numbers {

// The unit a number field keeps its value in. A number typed with a unit the
// field knows is read into the field's unit ("1.5万" in 元 is 15000).
enum class Unit { none, yuan, wanYuan, cm, kg, percent };

struct Reading {
    bool ok = false; // the text is a number (or empty)
    double value = 0;
};
// A number as the user types it: blanks and thousands separators ("12,800.00")
// do not count, a trailing unit the field knows is read ("12800元", "1.5万",
// "175cm"), and the rest must be one decimal number. An empty text is 0.
// A number too large for a double reads as an infinity: ok, but no value to keep.
Reading ReadNumber(const QString& text, Unit unit);

// The shortest text that reads back as the same number ("20", "12800.5").
QString Shortest(double v);

// Leading decimal number of the text ("12.5万" -> 12.5), 0 if none. A number
// too large for a double gives an infinity of its sign ("1e999"), one too
// small gives 0.
double TextToDouble(const QString& text);
// Optional sign and leading digits, 0 if none.
int TextToInt(const QString& text);
// printf-style formats used by the forms.
QString FormatFixed(double v);   // "%f"
QString FormatRounded(double v); // "%.0f"

} // namespace numbers
