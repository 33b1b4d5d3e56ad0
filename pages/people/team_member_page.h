// Members of the sales team: a form, the list of every member in collection
// order, add, modify and delete. A member is known by staff number alone.
#pragma once

#include "app/page.h"
#include "records/people_records.h"

#include <QString>

class CSkinListCtrl;

class CTeamMemberPage : public CPage {
    Q_OBJECT
  public:
    explicit CTeamMemberPage(QWidget* parent = nullptr);

    // Position of the member last loaded by a click, -1 for none.
    int SelectedIndex() const { return selected_; }

  private:
    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnListClicked();
    void OnReport();

    void RebuildList();
    // The record the form describes; the controls must be committed first.
    vantorel::MemberRecord RecordFromForm() const;
    void ShowRecord(const vantorel::MemberRecord& r);
    // Collection position of the member that a list row shows, -1 if none.
    int IndexOfRow(int row) const;

    CSkinListCtrl* list_ = nullptr;
    int selected_ = -1;

    // The form's values, one per control.
    QString staffNo_, name_, nation_, idNumber_, birthYear_;
    int sex_ = -1, marital_ = 0, birthMonth_ = 0, birthDay_ = 0;
    QString department_, level_, joinYear_;
    int joinMonth_ = 0, joinDay_ = 0;
    QString mobile_, email_, homePhone_, homeAddress_, homePostcode_;
    QString height_, weight_, hobby_, remarks_;
};
