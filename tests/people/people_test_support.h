// Helpers shared by the people page tests: mouse clicks on list rows and
// small books.
#pragma once

#include "app/gbk.h"
#include "gui_test_support.h"
#include "records/data_files.h"
#include "theme/skin_list_ctrl.h"

#include <QTest>

// Types like TypeInto, but also Chinese text, which QTest's key clicks
// cannot produce: ASCII goes key by key, other text is inserted at the
// cursor as an input method does.
inline void TypeText(QWidget* page, int id, const QString& text) {
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7F;
    if (ascii) return TypeInto(page, id, text);
    QWidget* w = FindCtl(page, id);
    QLineEdit* e = qobject_cast<QLineEdit*>(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) e = c->lineEdit();
    if (!e) return TypeInto(page, id, text); // the memo takes any text
    e->setFocus();
    e->selectAll();
    e->del();
    e->insert(text);
}

// Clicks a row with the mouse, as the user does.
inline void ClickRow(QWidget* page, int listId, int row) {
    auto* list = FindCtl<CSkinListCtrl>(page, listId);
    ASSERT_NE(list, nullptr);
    const QModelIndex i = list->model()->index(row, 0);
    list->scrollTo(i);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(i).center());
}

inline QStringList RowTexts(QWidget* page, int listId, int row) {
    auto* list = FindCtl<CSkinListCtrl>(page, listId);
    return {list->GetItemText(row, 0), list->GetItemText(row, 1)};
}

inline int RowCount(QWidget* page, int listId) {
    return FindCtl<CSkinListCtrl>(page, listId)->GetItemCount();
}

inline int IndexOf(QWidget* page, int id) {
    return FindCtl<QComboBox>(page, id)->currentIndex();
}

inline vantorel::PotClientRecord Client(const QString& name, const QString& id) {
    vantorel::PotClientRecord r;
    r.person.name = ToGbk(name);
    r.person.idNumber = ToGbk(id);
    return r;
}

inline vantorel::MemberRecord Member(const QString& staffNo, const QString& name) {
    vantorel::MemberRecord r;
    r.staffNo = ToGbk(staffNo);
    r.person.name = ToGbk(name);
    return r;
}
