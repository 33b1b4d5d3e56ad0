// Numbers typed as text, read and written the same way whatever the locale:
// the decimal point is always ".".
#pragma once

#include <QString>

namespace numbers {

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
