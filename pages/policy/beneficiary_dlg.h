// The modal dialog that edits a copy of the beneficiary working list.
#pragma once

#include "app/form_binding.h"
#include "records/policy_record.h"
#include "theme/xp_dialog.h"

#include <vector>

class CSkinListCtrl;

class CBeneficiaryDlg : public CXpDialog {
    Q_OBJECT
public:
    // `owner` is the main window; the dialog opens on its top-left corner.
    explicit CBeneficiaryDlg(QWidget* owner = nullptr);

    void SetList(std::vector<vantorel::BeneficiaryRecord> list);
    const std::vector<vantorel::BeneficiaryRecord>& List() const { return list_; }
    // True once any add, modify or delete succeeded.
    bool Changed() const { return changed_; }

    void ShowBeneficiary(const vantorel::BeneficiaryRecord& record);
    vantorel::BeneficiaryRecord BuildBeneficiary();
    void RefreshList();

private:
    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnDoubleClick();
    // The share and name tests shared by add and modify; `skip` is the entry
    // left out of the duplicate test.
    bool CheckShareAndName();
    bool IsDuplicate(int skip) const;

    std::vector<vantorel::BeneficiaryRecord> list_;
    bool changed_ = false;
    CSkinListCtrl* listCtl_ = nullptr;
    FormBinding binding_{this};
    QString name_, idNumber_, year_, relation_, share_;
    int sex_ = -1, month_ = -1, day_ = -1;
};
