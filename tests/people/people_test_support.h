// Shared by the people page tests: a fixture with an empty book whose
// `Collection` the page lists, filling the form, mouse clicks on list rows
// and small records.
#pragma once

#include "gui_test_support.h"
#include "agent/gbk.h"
#include "records/data_files.h"
#include "theme/skin_list_ctrl.h"

#include <QTest>

template <class Page, auto Collection> struct PeoplePageTest : ::testing::Test {
    std::unique_ptr<Page> MakePage() {
        auto page = std::make_unique<Page>(book.*Collection);
        page->show();
        return page;
    }
    vantorel::DataBook book;
    MessageRecorder boxes;
};

// Types each text into its control; a drop-down list gets the item of that text.
inline void Fill(QWidget* page, std::initializer_list<int> ids, const QStringList& texts) {
    auto text = texts.begin();
    for (int id : ids) {
        auto* list = qobject_cast<QComboBox*>(FindCtl(page, id));
        if (list && !list->isEditable())
            list->setCurrentIndex(list->findText(*text++));
        else
            TypeInto(page, id, *text++);
    }
}

inline QStringList Texts(QWidget* page, std::initializer_list<int> ids) {
    QStringList texts;
    for (int id : ids) texts << TextOf(page, id);
    return texts;
}

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
