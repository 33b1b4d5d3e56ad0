// How every form shows values in its combos and lists. The page palette is
// the theme's (theme/theme_colours.h); the rules for dates and numbers are
// the agent's (agent/composed_date.h, agent/numbers.h).
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

namespace forms {

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
