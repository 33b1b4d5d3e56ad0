// Values that people write in words or in many shapes: sex and marital status
// as words, dates in the common written forms. The import reads files with
// them; a form may call them too. Each refusal is the text the user reads.
#pragma once

#include "form_rules.h"

#include <QString>
#include <optional>

namespace rules {

// 0 男 or 1 女, from 男, 女, 男性, 女性, M, F, Male, Female (any case, blanks
// around ignored); -1 for a blank text; nullopt for any other word.
std::optional<int> SexFromWord(const QString& text);
// The index into 已婚 未婚 离异 丧偶 分居, from those words and a few others
// (离婚, 单身, 丧偶, married, single, ...); -1 blank; nullopt otherwise.
std::optional<int> MaritalFromWord(const QString& text);

// The composed date a record keeps ("2004/5-29") for a date written as
// 2004-05-29, 2004/5/29, 2004.5.29, 2004年5月29日 or 20040529 (a time of day
// after it is left out); a text already composed ("2004/5-29", "1977/0-0",
// the year any text) is kept as it is, since the forms store incomplete
// dates that way. Blank gives an empty text. nullopt for anything else,
// and for a written date that is no day of the calendar (2003-02-29).
std::optional<QString> ComposedFromText(const QString& text);

// The same as refusals naming the field.
Refusal ReadSex(const QString& label, const QString& text, int& index);
Refusal ReadMarital(const QString& label, const QString& text, int& index);
Refusal ReadDate(const QString& label, const QString& text, QString& composed);

} // namespace rules
