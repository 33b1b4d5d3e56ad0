// The modal dialog that edits a copy of the beneficiary working list.
#pragma once

#include "list_edit_dlg.h"
#include "agent/record_values.h"
#include "records/policy_record.h"

class CBeneficiaryDlg : public ListEditDlg<vantorel::BeneficiaryRecord> {
    Q_OBJECT
public:
    explicit CBeneficiaryDlg(QWidget* owner = nullptr);

private:
    vantorel::BeneficiaryRecord BuildRecord(const vantorel::BeneficiaryRecord* stored) override;
    void ShowRecord(const vantorel::BeneficiaryRecord& record) override;
    QStringList Row(const vantorel::BeneficiaryRecord& record) const override;
    bool Accepts(int row) override;
    // `skip` is the entry left out of the test.
    bool IsDuplicate(int skip) const;

    BeneficiaryValues values_;
};
