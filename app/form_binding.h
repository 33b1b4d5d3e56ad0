// One binding table per form: control id -> the form's value. Commit copies
// controls to values, Show copies values to controls.
#pragma once

#include "forms.h"

#include <QString>
#include <vector>

class QWidget;

class FormBinding {
public:
    explicit FormBinding(QWidget* form) : form_(form) {}

    // Edit, memo or combo text. `label` names the field in messages.
    void Text(int id, QString* value, const QString& label);
    // An edit whose text is stored as a number (an amount, a height).
    void Number(int id, QString* value, const QString& label);
    // Drop-down list: 0-based index, -1 for none.
    void Index(int id, int* value);
    // Check box: 1 checked, 0 not.
    void Check(int id, int* value);
    // A composed date: its year combo (named by `label` in messages) and its month and day lists.
    void Date(int yearId, int monthId, int dayId, forms::DateParts* value, const QString& label) {
        Text(yearId, &value->year, label);
        Index(monthId, &value->monthIndex);
        Index(dayId, &value->dayIndex);
    }
    // Option buttons of one group, in order: the index of the chosen one, -1 for none.
    void Radio(std::vector<int> ids, int* value);

    // Copies every control into its value. Returns false, after telling the
    // user which field it is, when a text holds a character that the data
    // files cannot store (GBK) or a number is too large to keep (infinite);
    // the values are copied either way.
    bool Commit();
    // Copies without that check, for steps that only read the form.
    void CommitQuiet();
    void Show();

private:
    enum class Kind { text, number, index, check, radio };
    struct Entry {
        Kind kind;
        std::vector<int> ids;
        void* value;
        QString label;
    };
    QWidget* Control(int id) const;
    QWidget* form_;
    std::vector<Entry> entries_;
};
