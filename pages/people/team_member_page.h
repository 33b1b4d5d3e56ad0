// Members of the sales team: a form, the list of every member in collection
// order, add, modify and delete. A member is known by staff number alone.
#pragma once

#include "people_list_page.h"
#include "agent/record_values.h"
#include "records/people_records.h"

class CTeamMemberPage : public CPeopleListPage {
    Q_OBJECT
public:
    // Lists and changes `members`.
    explicit CTeamMemberPage(vantorel::CTermMember& members, QWidget* parent = nullptr);

private:
    void OnAdd() override;
    void OnModify() override;
    void OnReport() override;
    QString CellOf(int index, int column) const override;
    void RemoveRecord(int index) override;
    void ShowRecord(int index) override;
    int FindEmptyKey() const override;
    QString Describe(int index) const override;

    // The record the form describes, new or over the member at `stored`;
    // the controls must be committed first.
    vantorel::MemberRecord RecordFromForm(int stored = -1) const;

    vantorel::CTermMember& members_;

    // The form's values, one per control.
    MemberValues values_;
};
