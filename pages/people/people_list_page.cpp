#include "people_list_page.h"

#include "app/message_box.h"
#include "resources/templates/people_list_ids.h"
#include "theme/skin_list_ctrl.h"

CPeopleListPage::CPeopleListPage(const tmpl::Window& t, int listId, const Column& first, const Column& second,
                                 QWidget* parent)
    : CPage(t, parent) {
    list_ = Ctl<CSkinListCtrl>(listId);
    SetUpList(list_, {{first.caption, first.width}, {second.caption, second.width}});

    namespace id = ids::people_list;
    OnClick(id::Add, [this] { OnAdd(); });
    OnClick(id::Modify, [this] { OnModify(); });
    OnClick(id::Delete, [this] { OnDelete(); });
    OnClick(id::Report, [this] { OnReport(); });
    connect(list_, &CSkinListCtrl::rowClicked, this, &CPeopleListPage::OnListClicked);
}

void CPeopleListPage::RebuildList() {
    CommitQuiet();
    const int count = RecordCount();
    std::vector<QStringList> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) rows.push_back(RowOf(i));
    list_->SetRows(std::move(rows));
    selected_ = -1;
}

bool CPeopleListPage::CommitForModify() {
    if (!Commit()) return false;
    if (selected_ >= 0) return true;
    msg::Info(this, QStringLiteral("请先选择对象!"));
    return false;
}

int CPeopleListPage::IndexOfRow(int row) const {
    if (row < 0 || row >= list_->GetItemCount()) return -1;
    const QStringList texts{list_->GetItemText(row, 0), list_->GetItemText(row, 1)};
    // Rows stand in collection order, so the row's own record is the one
    // meant, even when a damaged or edited file holds its key twice.
    if (row < RecordCount() && RowOf(row) == texts) return row;
    return FindRow(texts);
}

void CPeopleListPage::OnDelete() {
    CommitQuiet(); // nothing typed is stored here, so nothing to refuse
    const int index = IndexOfRow(list_->GetFirstSelected());
    if (index < 0) return;
    if (!msg::Ask(this, QStringLiteral("确认删除?"), msg::Default::no)) return;
    RemoveRecord(index);
    // The row of the removed record, so that rows keep matching records.
    list_->DeleteItem(index);
    selected_ = -1;
}

void CPeopleListPage::OnListClicked() {
    const int index = IndexOfRow(list_->GetFirstSelected());
    selected_ = index;
    if (index >= 0) ShowRecord(index);
}
