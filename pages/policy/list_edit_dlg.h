// What the beneficiaries and riders dialogs share: a working copy of one list
// shown in their list control, with add, modify and delete buttons
// (ids::list_dialog) and a double-click that loads an entry into the form. Each dialog
// supplies its form, its columns and its tests before storing.
#pragma once

#include "app/form_binding.h"
#include "resources/templates/window_template.h"
#include "theme/skin_list_ctrl.h"
#include "theme/xp_dialog.h"

#include <QStringList>
#include <initializer_list>
#include <vector>

template <class Record> class ListEditDlg : public CXpDialog {
public:
    void SetList(std::vector<Record> list);
    const std::vector<Record>& List() const { return list_; }
    // True once any add, modify or delete succeeded.
    bool Changed() const { return changed_; }
    void RefreshList();

protected:
    using Column = ListColumn;
    // `owner` is the main window; the dialog opens on its top-left corner,
    // transient for it. The frame draws `title` spaced.
    ListEditDlg(QWidget* owner, const tmpl::Window& form, const QString& title, std::initializer_list<Column> columns);

    // The entry the form describes: a new one, or over the entry `stored`
    // as it is in the list.
    virtual Record BuildRecord(const Record* stored) = 0;
    virtual void ShowRecord(const Record& record) = 0;
    virtual QStringList Row(const Record& record) const = 0;
    // The tests after the form is read and before it is stored: as a new
    // entry when `row` is -1, else over entry `row`. Each refusal tells the user.
    virtual bool Accepts(int row) = 0;

    std::vector<Record> list_;
    FormBinding binding_{this};

private:
    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnDoubleClick();
    // The selected row, or -1 after telling the user to choose one.
    int ChosenRow();

    bool changed_ = false;
    CSkinListCtrl* listCtl_ = nullptr;
};
