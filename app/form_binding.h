// One binding table per form: control id -> the form's value. Commit copies
// controls to values, Show copies values to controls. Each entry holds its
// control and its value with their own types, looked up once when bound.
#pragma once

#include "agent/composed_date.h"
#include "agent/record_values.h"

#include <QString>
#include <optional>
#include <variant>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QWidget;

class FormBinding {
public:
    explicit FormBinding(QWidget* form) : form_(form) {}

    // Edit, memo or combo text. `label` names the field in messages.
    void Text(int id, QString* value, const QString& label);
    // An edit whose text is stored as a number (an amount, a height) in `unit`.
    void Number(int id, QString* value, const QString& label, numbers::Unit unit);
    // Drop-down list: 0-based index, -1 for none.
    void Index(int id, int* value);
    // Check box: 1 checked, 0 not.
    void Check(int id, int* value);
    // A composed date: its year combo (named by `label` in messages) and its month and day lists.
    void Date(int yearId, int monthId, int dayId, DateParts* value, const QString& label) {
        Text(yearId, &value->year, label);
        Index(monthId, &value->monthIndex);
        Index(dayId, &value->dayIndex);
    }
    // Option buttons of one group, in order: the index of the chosen one, -1 for none.
    void Radio(const std::vector<int>& ids, int* value);

    // Copies every control into its value. Returns false, after telling the
    // user which field it is, when a text or number breaks the rules of
    // agent/form_rules.h; the values are copied either way.
    bool Commit();
    // Copies without that check, for steps that only read the form.
    void CommitQuiet();
    void Show();

private:
    struct TextEntry {
        QWidget* control;
        QString* value;
        QString label;
        std::optional<numbers::Unit> number; // a number field's unit
    };
    struct IndexEntry {
        QComboBox* control;
        int* value;
    };
    struct CheckEntry {
        QCheckBox* control;
        int* value;
    };
    struct RadioEntry {
        std::vector<QAbstractButton*> buttons;
        int* value;
    };
    using Entry = std::variant<TextEntry, IndexEntry, CheckEntry, RadioEntry>;

    QWidget* form_;
    std::vector<Entry> entries_;
};

// The controls of a person block on one form, in the order the form reads
// (a refusal names the first field that breaks a rule).
struct PersonControl {
    PersonField field;
    int id;
};
using PersonIds = std::vector<PersonControl>;
// Binds the block's controls to `person`, which from then on holds those
// fields. May be called more than once, so a page can put its own controls
// between. `labelPrefix` goes before each field's name in messages.
void BindPerson(FormBinding& b, PersonValues& person, const PersonIds& controls, const QString& labelPrefix = {});
