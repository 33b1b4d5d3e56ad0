// What the client and member pages share: a form, a two-column list of every
// record in collection order, and add, modify, delete and report buttons.
// Only a mouse click on a row loads its record; moving with the keyboard does not.
#pragma once

#include "app/page.h"

#include <QString>
#include <cstdint>

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

    void OnDelete();
    void OnListClicked();
    // Collection position of the record that a list row shows, -1 if none.
    // A list that no longer shows the records as they are (changed
    // elsewhere) is filled anew, and nothing is chosen.
    int IndexOfRow(int row);

    const vantorel::CObject& records_;
    CSkinListCtrl* list_ = nullptr;
    // The records' change count when the list last matched them.
    std::uint64_t listed_ = 0;
};
