#include "form_binding.h"

#include "forms.h"
#include "message_box.h"
#include "template_builder.h"
#include "agent/form_rules.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

// Setting a text leaves the cursor at its end, so a value longer than its
// field would show only its last characters; a shown value reads from its start.
void ShowFromStart(QLineEdit* edit) {
    if (edit) edit->setCursorPosition(0);
}

} // namespace

// Each control is looked up as it is bound, so a binding to a control the
// form lacks stops the program when the form is made, not at its first use.
void FormBinding::Text(int id, QString* value, const QString& label) {
    entries_.push_back(TextEntry{tmpl::Ctl(form_, id), value, label, std::nullopt});
}
void FormBinding::Number(int id, QString* value, const QString& label, numbers::Unit unit) {
    entries_.push_back(TextEntry{tmpl::Ctl(form_, id), value, label, unit});
}
void FormBinding::Index(int id, int* value) { entries_.push_back(IndexEntry{tmpl::Ctl<QComboBox>(form_, id), value}); }
void FormBinding::Check(int id, int* value) { entries_.push_back(CheckEntry{tmpl::Ctl<QCheckBox>(form_, id), value}); }
void FormBinding::Radio(const std::vector<int>& ids, int* value) {
    RadioEntry e{{}, value};
    for (int id : ids) e.buttons.push_back(tmpl::Ctl<QAbstractButton>(form_, id));
    entries_.push_back(std::move(e));
}

void FormBinding::CommitQuiet() {
    for (const Entry& entry : entries_)
        std::visit(Overloaded{[](const TextEntry& e) {
                                  if (auto* le = qobject_cast<QLineEdit*>(e.control))
                                      *e.value = le->text();
                                  else if (auto* m = qobject_cast<QPlainTextEdit*>(e.control))
                                      *e.value = m->toPlainText();
                                  else if (auto* cb = qobject_cast<QComboBox*>(e.control))
                                      *e.value = cb->currentText();
                              },
                              [](const IndexEntry& e) { *e.value = forms::ListIndex(e.control); },
                              [](const CheckEntry& e) { *e.value = e.control->isChecked() ? 1 : 0; },
                              [](const RadioEntry& e) {
                                  int chosen = -1;
                                  for (std::size_t i = 0; i < e.buttons.size(); ++i)
                                      if (e.buttons[i]->isChecked()) chosen = int(i);
                                  *e.value = chosen;
                              }},
                   entry);
}

bool FormBinding::Commit() {
    CommitQuiet();
    for (const Entry& entry : entries_) {
        const auto* e = std::get_if<TextEntry>(&entry);
        if (!e) continue;
        const rules::Refusal refusal =
            e->number ? rules::CheckNumber(e->label, *e->value, *e->number) : rules::CheckText(e->label, *e->value);
        if (!refusal) continue;
        msg::Info(form_, *refusal);
        e->control->setFocus();
        return false;
    }
    return true;
}

void FormBinding::Show() {
    for (const Entry& entry : entries_)
        std::visit(Overloaded{[](const TextEntry& e) {
                                  const QString& v = *e.value;
                                  if (auto* le = qobject_cast<QLineEdit*>(e.control)) {
                                      if (le->text() != v) le->setText(v);
                                      ShowFromStart(le);
                                  } else if (auto* m = qobject_cast<QPlainTextEdit*>(e.control)) {
                                      if (m->toPlainText() != v) m->setPlainText(v);
                                  } else if (auto* cb = qobject_cast<QComboBox*>(e.control)) {
                                      forms::ShowComboText(cb, v);
                                      ShowFromStart(cb->lineEdit());
                                  }
                              },
                              [](const IndexEntry& e) { forms::ShowListIndex(e.control, *e.value); },
                              [](const CheckEntry& e) { e.control->setChecked(*e.value != 0); },
                              [](const RadioEntry& e) {
                                  for (std::size_t i = 0; i < e.buttons.size(); ++i) {
                                      QAbstractButton* b = e.buttons[i];
                                      // An exclusive group cannot be emptied by unchecking; lift it for the moment.
                                      QButtonGroup* g = b->group();
                                      const bool exclusive = g && g->exclusive();
                                      if (g) g->setExclusive(false);
                                      b->setChecked(int(i) == *e.value);
                                      if (g) g->setExclusive(exclusive);
                                  }
                              }},
                   entry);
}

void BindPerson(FormBinding& b, PersonValues& p, const PersonIds& controls, const QString& labelPrefix) {
    auto text = [&](int id, QString* value, const char* label) {
        b.Text(id, value, labelPrefix + QString::fromUtf8(label));
    };
    auto number = [&](int id, QString* value, const char* label, numbers::Unit unit) {
        b.Number(id, value, labelPrefix + QString::fromUtf8(label), unit);
    };
    for (const auto& [field, id] : controls) {
        p.Hold(field);
        // clang-format off
        switch (field) {
        case PersonField::name: text(id, &p.name, "姓名"); break;
        case PersonField::sex: b.Index(id, &p.sex); break;
        case PersonField::nation: text(id, &p.nation, "民族"); break;
        case PersonField::idNumber: text(id, &p.idNumber, "身份证号"); break;
        case PersonField::marital: b.Index(id, &p.marital); break;
        case PersonField::birthYear: text(id, &p.birth.year, "出生日期"); break;
        case PersonField::birthMonth: b.Index(id, &p.birth.monthIndex); break;
        case PersonField::birthDay: b.Index(id, &p.birth.dayIndex); break;
        case PersonField::education: text(id, &p.education, "文化程度"); break;
        case PersonField::mobile: text(id, &p.mobile, "手机"); break;
        case PersonField::email: text(id, &p.email, "EMAIL"); break;
        case PersonField::occupation: text(id, &p.occupation, "职业"); break;
        case PersonField::income: text(id, &p.income, "年收入"); break;
        case PersonField::homePhone: text(id, &p.homePhone, "家庭电话"); break;
        case PersonField::workPhone: text(id, &p.workPhone, "单位电话"); break;
        case PersonField::homeAddress: text(id, &p.homeAddress, "家庭地址"); break;
        case PersonField::homePostcode: text(id, &p.homePostcode, "邮编"); break;
        case PersonField::workAddress: text(id, &p.workAddress, "单位地址"); break;
        case PersonField::workPostcode: text(id, &p.workPostcode, "邮编"); break;
        case PersonField::height: number(id, &p.height, "身高", kHeightUnit); break;
        case PersonField::weight: number(id, &p.weight, "体重", kWeightUnit); break;
        case PersonField::remarks: text(id, &p.remarks, "备注"); break;
        case PersonField::relation: text(id, &p.relation, "与被保险人关系"); break;
        }
        // clang-format on
    }
}
