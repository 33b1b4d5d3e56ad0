// The modal dialog that edits a copy of the rider working list.
#pragma once

#include "list_edit_dlg.h"
#include "policy_fields.h"
#include "records/policy_record.h"

class CRiderDlg : public ListEditDlg<vantorel::RiderRecord> {
    Q_OBJECT
public:
    explicit CRiderDlg(QWidget* owner = nullptr);

private:
    vantorel::RiderRecord BuildRecord(const vantorel::RiderRecord* stored) override;
    void ShowRecord(const vantorel::RiderRecord& record) override;
    QStringList Row(const vantorel::RiderRecord& record) const override;
    bool Accepts(int row) override;

    PolicyInfoValues values_;
};
