#include "people_list_page.h"

#include "app/message_box.h"
#include "records/collection.h"
#include "resources/templates/people_list_ids.h"
#include "theme/skin_list_ctrl.h"

CPeopleListPage::CPeopleListPage(const tmpl::Window& t, int listId, const Column& first, const Column& second,
                                 const vantorel::CObject& records, QWidget* parent)
    : CPage(t, parent), records_(records) {
    list_ = Ctl<CSkinListCtrl>(listId);
    SetUpList(list_, {{first.caption, first.width}, {second.caption, second.width}});

    namespace id = ids::people_list;
    OnClick(id::Add, [this] { OnAdd(); });
    OnClick(id::Modify, [this] { OnModify(); });
    OnClick(id::Delete, [this] { OnDelete(); });
    OnClick(id::Report, [this] { OnReport(); });
    connect(list_, &CSkinListCtrl::rowClicked, this, &CPeopleListPage::OnListClicked);
}

CPeopleListPage::~CPeopleListPage() { list_->DeleteAllItems(); }

void CPeopleListPage::RebuildList() {
    CommitQuiet();
    // Rows stand in collection order; their texts are read when shown.
    list_->ShowRecords(records_.RecordCount(), [this](int index, int column) {
        return index < records_.RecordCount() ? CellOf(index, column) : QString();
    });
    listed_ = records_.ChangeCount();
    selected_ = -1;
}

bool CPeopleListPage::CommitForModify() {
    if (!Commit()) return false;
    if (selected_ >= 0) return true;
    msg::Info(this, QStringLiteral("请先选择对象!"));
    return false;
}

int CPeopleListPage::IndexOfRow(int row) {
    const int index = list_->RecordOfRow(row);
    if (index < 0) return -1;
    // A row is its own record, even when a damaged or edited file holds its key twice.
    if (records_.ChangeCount() == listed_ && index < records_.RecordCount()) return index;
    RebuildList();
    return -1;
}

void CPeopleListPage::OnDelete() {
    CommitQuiet(); // nothing typed is stored here, so nothing to refuse
    const int row = list_->GetFirstSelected();
    const int index = IndexOfRow(row);
    if (index < 0) return;
    if (!msg::Ask(this, QStringLiteral("确认删除?"), msg::Default::no)) return;
    RemoveRecord(index);
    list_->RemoveRecordRow(row, index);
    listed_ = records_.ChangeCount();
    selected_ = -1;
}

void CPeopleListPage::OnListClicked() {
    const int index = IndexOfRow(list_->GetFirstSelected());
    selected_ = index;
    if (index >= 0) ShowRecord(index);
}
