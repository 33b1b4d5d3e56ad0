#include "forms.h"

#include <QComboBox>

namespace forms {

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
