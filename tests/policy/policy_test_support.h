// Shared pieces of the policy window tests: sample policies, a small page
// host, and running the modal dialogs from a pressed button.
#pragma once

#include "gui_test_support.h"
#include "agent/gbk.h"
#include "app/page.h"
#include "app/page_host.h"
#include "records/data_files.h"
#include "resources/templates/list_dialog_ids.h"
#include "resources/templates/policy_entry_ids.h"
#include "theme/skin_list_ctrl.h"

#include <QApplication>
#include <QTimer>
#include <functional>
#include <map>

inline vantorel::PolicyRecord SamplePolicy(const QString& no, const QString& holder, const QString& insured = {},
                                           const QString& product = {}, const QString& date = {}) {
    vantorel::PolicyRecord p;
    p.info.policyNo = ToGbk(no);
    p.holder.name = ToGbk(holder);
    p.insured.name = ToGbk(insured);
    p.info.productName = ToGbk(product);
    p.info.effectiveDate = ToGbk(date);
    return p;
}

// Stands in for the main window: holds the book and the pages and remembers
// which page it showed.
class FakeHost : public PageHost {
public:
    CPage* Page(int id) const override {
        auto it = pages.find(id);
        return it == pages.end() ? nullptr : it->second;
    }
    void ShowOnly(int id) override {
        for (auto& [key, page] : pages) page->setVisible(key == id);
        shown.push_back(id);
    }
    vantorel::DataBook& Book() override { return book; }
    const ReminderSwitches& StoredSwitches() const override { return switches; }
    QDate Today() const override { return today.isValid() ? today : QDate::currentDate(); }
    bool EditPolicy(int index) override {
        auto* editor = dynamic_cast<PolicyEditor*>(Page(ids::entry::Template));
        if (!editor || !editor->EditPolicy(index)) return false;
        ShowOnly(ids::entry::Template);
        return true;
    }
    QDate today;
    vantorel::DataBook book;
    ReminderSwitches switches;
    std::map<int, CPage*> pages;
    std::vector<int> shown;
};

// Presses `button` on `form`; while the modal dialog it opens runs, `work`
// gets the dialog, which is then closed with Escape as a user would.
inline void PressWithDialog(QWidget* form, int button, const std::function<void(QWidget*)>& work) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* dlg = QApplication::activeModalWidget();
        ASSERT_NE(dlg, nullptr);
        ran = true;
        work(dlg);
        QTest::keyClick(dlg, Qt::Key_Escape);
    });
    Press(form, button);
    EXPECT_TRUE(ran) << "no modal dialog opened";
}

// The list of a beneficiaries or riders dialog.
inline CSkinListCtrl* ListOf(QWidget* root) { return FindCtl<CSkinListCtrl>(root, ids::list_dialog::List); }

inline QStringList Column(CSkinListCtrl* list, int col) {
    QStringList out;
    for (int r = 0; r < list->GetItemCount(); ++r) out << list->GetItemText(r, col);
    return out;
}

// Double-clicks a row with the mouse.
inline void DoubleClickRow(CSkinListCtrl* list, int row) {
    const QRect r = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

inline int ListIndexOf(QWidget* root, int id) {
    auto* c = FindCtl<QComboBox>(root, id);
    return c ? c->currentIndex() : -2;
}
