// Potential clients: a form, the list of every client in collection order,
// add, modify and delete. A client is known by name together with identity
// card number.
#pragma once

#include "app/page.h"
#include "records/people_records.h"

#include <QString>

class CSkinListCtrl;

class CPotClientPage : public CPage {
    Q_OBJECT
  public:
    explicit CPotClientPage(QWidget* parent = nullptr);

    // Position of the client last loaded by a click, -1 for none.
    int SelectedIndex() const { return selected_; }

  private:
    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnListClicked();
    void OnReport();

    void RebuildList();
    // The record the form describes; the controls must be committed first.
    vantorel::PotClientRecord RecordFromForm() const;
    void ShowRecord(const vantorel::PotClientRecord& r);
    // Collection position of the client that a list row shows, -1 if none.
    int IndexOfRow(int row) const;
    // Whether a client other than the one at `except` holds the key.
    static bool KeyHeldByOther(const std::string& name, const std::string& idNumber, int except);

    CSkinListCtrl* list_ = nullptr;
    int selected_ = -1;

    // The form's values, one per control.
    QString name_, nation_, idNumber_, birthYear_;
    int sex_ = -1, marital_ = 0, birthMonth_ = 0, birthDay_ = 0;
    QString mobile_, email_, fax_, homePhone_, workPhone_, homeAddress_, homePostcode_, workAddress_,
        workPostcode_;
    QString occupation_, income_, height_, weight_, hobby_, education_, remarks_;
};
