// A stored composed date ("2004/5-29") as a calendar date.
#pragma once

#include <QDate>
#include <string>

// The date when the text's year, month and day are numbers (digits only, the
// year from 1 to 9999) and form a real date; an invalid QDate otherwise
// ("2004/0-0", "/5-29", "2003/2-29", "二〇〇四/5-29"). The text is GBK, whose
// digits and signs are their ASCII bytes.
QDate RealDateOf(const std::string& composed);
