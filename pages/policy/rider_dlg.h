// The modal dialog that edits a copy of the rider working list.
#pragma once

#include "app/form_binding.h"
#include "policy_fields.h"
#include "records/policy_record.h"
#include "theme/xp_dialog.h"

#include <vector>

class CSkinListCtrl;

class CRiderDlg : public CXpDialog {
    Q_OBJECT
public:
    // `owner` is the main window; the dialog opens on its top-left corner.
    explicit CRiderDlg(QWidget* owner = nullptr);

    void SetList(std::vector<vantorel::RiderRecord> list);
    const std::vector<vantorel::RiderRecord>& List() const { return list_; }
    bool Changed() const { return changed_; }

    void ShowRider(const vantorel::RiderRecord& record);
    vantorel::RiderRecord BuildRider();
    void RefreshList();

private:
    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnDoubleClick();

    std::vector<vantorel::RiderRecord> list_;
    bool changed_ = false;
    CSkinListCtrl* listCtl_ = nullptr;
    FormBinding binding_{this};
    PolicyInfoValues values_;
};
