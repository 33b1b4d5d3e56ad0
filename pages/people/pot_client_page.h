// Potential clients: a form, the list of every client in collection order,
// add, modify and delete. A client is known by name together with identity
// card number.
#pragma once

#include "people_list_page.h"
#include "agent/record_values.h"
#include "records/people_records.h"

class CPotClientPage : public CPeopleListPage {
    Q_OBJECT
public:
    // Lists and changes `clients`.
    explicit CPotClientPage(vantorel::CPotClient& clients, QWidget* parent = nullptr);

private:
    void OnAdd() override;
    void OnModify() override;
    void OnReport() override;
    QString CellOf(int index, int column) const override;
    void RemoveRecord(int index) override;
    void ShowRecord(int index) override;
    int FindEmptyKey() const override;
    QString Describe(int index) const override;

    // The record the form describes, new or over the client at `stored`;
    // the controls must be committed first.
    vantorel::PotClientRecord RecordFromForm(int stored = -1) const;

    vantorel::CPotClient& clients_;
    // The form's values, one per control.
    ClientValues values_;
};
