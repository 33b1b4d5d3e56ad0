// What the client and member pages share: a form, a two-column list of every
// record in collection order, and add, modify, delete and report buttons.
// Only a mouse click on a row loads its record; moving with the keyboard does not.
#pragma once

#include "app/page.h"

#include <QString>
#include <QStringList>

class CSkinListCtrl;

class CPeopleListPage : public CPage {
    Q_OBJECT
protected:
    struct Column {
        QString caption;
        int width;
    };
    CPeopleListPage(const tmpl::Window& t, int listId, const Column& first, const Column& second, QWidget* parent);

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
    virtual int RecordCount() const = 0;
    virtual QStringList RowOf(int index) const = 0;
    // Position of the first record with the key a row's texts show, -1 if none.
    virtual int FindRow(const QStringList& texts) const = 0;
    virtual void RemoveRecord(int index) = 0;
    virtual void ShowRecord(int index) = 0;

    void OnDelete();
    void OnListClicked();
    // Collection position of the record that a list row shows, -1 if none.
    int IndexOfRow(int row) const;

    CSkinListCtrl* list_ = nullptr;
};
