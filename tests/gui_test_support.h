// Helpers for window tests: answer message boxes, type into controls found
// by id, press buttons.
#pragma once

#include "app/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

// Records every message box; questions take the queued answers (Yes when
// none is queued, and that is recorded too).
class MessageRecorder {
public:
    MessageRecorder() {
        msg::SetResponder([this](msg::Kind kind, const QString& text, msg::Default onEnter) {
            shown << text;
            if (kind == msg::Kind::info) return false;
            questions << text;
            if (onEnter == msg::Default::no) defaultNo << text;
            if (answers.empty()) return true;
            const bool a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    ~MessageRecorder() { msg::SetResponder({}); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void Answer(bool yes) { answers.push_back(yes); }
    QString Last() const { return shown.isEmpty() ? QString() : shown.last(); }
    void Clear() {
        shown.clear();
        questions.clear();
        defaultNo.clear();
    }

    QStringList shown;
    QStringList questions;
    QStringList defaultNo; // the questions that Enter answers with No
    std::deque<bool> answers;
};

// Lets message boxes reach the screen as real QMessageBoxes and answers each
// with Enter, as a user would: the key goes to the button that has the focus.
// `look` sees every box first; `seen` counts them.
class EnterOnRealBoxes {
public:
    explicit EnterOnRealBoxes(std::function<void(QMessageBox*)> look = {}) : look_(std::move(look)) {
        msg::SetResponder({});
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start();
    }
    int seen = 0;

private:
    void Answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box == last_) return;
        last_ = box;
        ++seen;
        if (look_) look_(box);
        QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Return);
        // Enter that answers nothing must not leave the test waiting forever.
        QTimer::singleShot(1000, &timer_, [] { msg::CloseOpenBoxes(); });
    }
    std::function<void(QMessageBox*)> look_;
    QTimer timer_;
    QPointer<QMessageBox> last_; // a box at the same address may follow
};

template <class T = QWidget> T* FindCtl(const QWidget* root, int id) {
    T* w = root->findChild<T*>(QString::number(id));
    EXPECT_NE(w, nullptr) << "no control " << id;
    return w;
}

// Types into an edit, memo or editable combo as a user would (replacing its
// text). Goes through the edit's own insertion, as an input method does, so
// Chinese text needs no key events.
inline void TypeInto(QWidget* root, int id, const QString& text) {
    QWidget* w = FindCtl(root, id);
    if (!w) return;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->selectAll();
        e->insert(text);
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
        m->selectAll();
        m->textCursor().removeSelectedText();
        m->insertPlainText(text);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (c->isEditable()) {
            c->lineEdit()->selectAll();
            c->lineEdit()->insert(text);
        }
    }
}

inline void ChooseIndex(QWidget* root, int id, int index) {
    if (auto* c = FindCtl<QComboBox>(root, id)) c->setCurrentIndex(index);
}

inline void Press(QWidget* root, int id) {
    if (auto* b = FindCtl<QAbstractButton>(root, id)) b->click();
}

inline QString TextOf(QWidget* root, int id) {
    QWidget* w = FindCtl(root, id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* m = qobject_cast<QPlainTextEdit*>(w)) return m->toPlainText();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    return {};
}
