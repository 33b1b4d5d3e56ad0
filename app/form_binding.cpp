#include "form_binding.h"

#include "forms.h"
#include "gbk.h"
#include "message_box.h"
#include "template_builder.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cmath>

QWidget* FormBinding::Control(int id) const { return tmpl::Ctl(form_, id); }

// Each control is looked up as it is bound, so a binding to a control the
// form lacks stops the program when the form is made, not at its first use.
void FormBinding::Text(int id, QString* value, const QString& label) {
    Control(id);
    entries_.push_back({Kind::text, {id}, value, label});
}
void FormBinding::Number(int id, QString* value, const QString& label) {
    Control(id);
    entries_.push_back({Kind::number, {id}, value, label});
}
void FormBinding::Index(int id, int* value) {
    tmpl::Ctl<QComboBox>(form_, id);
    entries_.push_back({Kind::index, {id}, value, {}});
}
void FormBinding::Check(int id, int* value) {
    tmpl::Ctl<QCheckBox>(form_, id);
    entries_.push_back({Kind::check, {id}, value, {}});
}
void FormBinding::Radio(std::vector<int> ids, int* value) {
    for (int id : ids) tmpl::Ctl<QAbstractButton>(form_, id);
    entries_.push_back({Kind::radio, std::move(ids), value, {}});
}

void FormBinding::CommitQuiet() {
    for (const Entry& e : entries_) {
        switch (e.kind) {
        case Kind::text:
        case Kind::number: {
            QWidget* w = Control(e.ids[0]);
            QString& v = *static_cast<QString*>(e.value);
            if (auto* le = qobject_cast<QLineEdit*>(w))
                v = le->text();
            else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
                v = m->toPlainText();
            else if (auto* cb = qobject_cast<QComboBox*>(w))
                v = cb->currentText();
            break;
        }
        case Kind::index:
            *static_cast<int*>(e.value) = forms::ListIndex(qobject_cast<QComboBox*>(Control(e.ids[0])));
            break;
        case Kind::check:
            *static_cast<int*>(e.value) = qobject_cast<QCheckBox*>(Control(e.ids[0]))->isChecked() ? 1 : 0;
            break;
        case Kind::radio: {
            int chosen = -1;
            for (std::size_t i = 0; i < e.ids.size(); ++i)
                if (qobject_cast<QAbstractButton*>(Control(e.ids[i]))->isChecked()) chosen = int(i);
            *static_cast<int*>(e.value) = chosen;
            break;
        }
        }
    }
}

bool FormBinding::Commit() {
    CommitQuiet();
    for (const Entry& e : entries_) {
        if (e.kind != Kind::text && e.kind != Kind::number) continue;
        const QString& v = *static_cast<QString*>(e.value);
        QString refusal;
        if (!CanStoreAsGbk(v))
            refusal = QStringLiteral("“%1”中有无法保存的字符（例如表情符号或生僻字），请修改后再试。");
        else if (e.kind == Kind::number && !std::isfinite(forms::TextToDouble(v)))
            refusal = QStringLiteral("“%1”数值太大，请重新输入!");
        if (refusal.isEmpty()) continue;
        msg::Info(form_, refusal.arg(e.label));
        Control(e.ids[0])->setFocus();
        return false;
    }
    return true;
}

namespace {
// Setting a text leaves the cursor at its end, so a value longer than its
// field would show only its last characters; a shown value reads from its start.
void ShowFromStart(QLineEdit* edit) {
    if (edit) edit->setCursorPosition(0);
}
} // namespace

void FormBinding::Show() {
    for (const Entry& e : entries_) {
        switch (e.kind) {
        case Kind::text:
        case Kind::number: {
            QWidget* w = Control(e.ids[0]);
            const QString& v = *static_cast<QString*>(e.value);
            if (auto* le = qobject_cast<QLineEdit*>(w)) {
                if (le->text() != v) le->setText(v);
                ShowFromStart(le);
            } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
                if (m->toPlainText() != v) m->setPlainText(v);
            } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
                forms::ShowComboText(cb, v);
                ShowFromStart(cb->lineEdit());
            }
            break;
        }
        case Kind::index:
            forms::ShowListIndex(qobject_cast<QComboBox*>(Control(e.ids[0])), *static_cast<int*>(e.value));
            break;
        case Kind::check:
            qobject_cast<QCheckBox*>(Control(e.ids[0]))->setChecked(*static_cast<int*>(e.value) != 0);
            break;
        case Kind::radio: {
            const int chosen = *static_cast<int*>(e.value);
            for (std::size_t i = 0; i < e.ids.size(); ++i) {
                auto* b = qobject_cast<QAbstractButton*>(Control(e.ids[i]));
                // An exclusive group cannot be emptied by unchecking; lift it for the moment.
                QButtonGroup* g = b->group();
                const bool exclusive = g && g->exclusive();
                if (g) g->setExclusive(false);
                b->setChecked(int(i) == chosen);
                if (g) g->setExclusive(exclusive);
            }
            break;
        }
        }
    }
}
