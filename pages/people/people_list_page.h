// What the client and member pages share: a form, a two-column list of every
// record in collection order, and add, modify, delete and report buttons.
// The selected row's record is the one shown in the form and acted on,
// whether the row was clicked or reached with the keyboard. The list follows
// every change of the collection, whoever makes it.
#pragma once

#include "app/page.h"
#include "app/record_list.h"

#include <QString>
#include <memory>

class CSkinListCtrl;
namespace vantorel {
class CObject;
}

class CPeopleListPage : public CPage {
    Q_OBJECT
protected:
    struct Column {
        QString caption;
        int width;
    };
    // Lists the records of `records`, which the subclass changes.
    CPeopleListPage(const tmpl::Window& t, int listId, const Column& first, const Column& second,
                    const vantorel::CObject& records, QWidget* parent);
    // The list stops asking the page for texts before the page is gone.
    ~CPeopleListPage() override;

    void OnBookLoaded() override { RebuildList(); }

    // Fills the list anew and forgets the selection; the form keeps what is typed.
    void RebuildList();
    // Commits the form; false, after asking for one, when no record was clicked.
    bool CommitForModify();
    // After an add or a modify of the record at `index`.
    void Stored(bool added, int index) {
        Say((added ? QStringLiteral("已添加") : QStringLiteral("已修改")) + Describe(index));
    }

    // Position of the record last loaded by a click, -1 for none.
    int selected_ = -1;

private:
    virtual void OnAdd() = 0;
    virtual void OnModify() = 0;
    virtual void OnReport() = 0;
    // The text of a record in one of the list's two columns.
    virtual QString CellOf(int index, int column) const = 0;
    virtual void RemoveRecord(int index) = 0;
    virtual void ShowRecord(int index) = 0;
    // The record whose key is empty, as a click on the list's empty part
    // looks it up; -1 when there is none.
    virtual int FindEmptyKey() const = 0;
    // The record as the line under the buttons names it: "潜力客户 赵六".
    virtual QString Describe(int index) const = 0;

    void OnDelete();
    void OnListClicked(int row);
    void OnRowChosen();
    // The selection follows records removed elsewhere.
    void Followed(const vantorel::CollectionChange& change);

    const vantorel::CObject& records_;
    CSkinListCtrl* list_ = nullptr;
    std::unique_ptr<RecordListFollower> follower_;
};
