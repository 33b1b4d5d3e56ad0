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
    // The row that looks selected is the record shown and acted on, however it was chosen.
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { OnRowChosen(); });
    follower_ = std::make_unique<RecordListFollower>(records_, list_,
                                                     [this](const vantorel::CollectionChange& c) { Followed(c); });
}

CPeopleListPage::~CPeopleListPage() {
    follower_.reset();
    list_->DeleteAllItems();
}

void CPeopleListPage::RebuildList() {
    CommitQuiet();
    // Rows stand in collection order; their texts are read when shown.
    list_->ShowRecords(records_.RecordCount(), [this](int index, int column) {
        return index < records_.RecordCount() ? CellOf(index, column) : QString();
    });
    selected_ = -1;
}

bool CPeopleListPage::CommitForModify() {
    if (!Commit()) return false;
    if (selected_ >= 0) return true;
    msg::Info(this, QStringLiteral("请先选择对象!"));
    return false;
}

void CPeopleListPage::Followed(const vantorel::CollectionChange& c) {
    using Kind = vantorel::CollectionChange::Kind;
    if (c.kind == Kind::removeAll || (c.kind == Kind::remove && c.index == selected_))
        selected_ = -1;
    else if (c.kind == Kind::remove && c.index < selected_)
        --selected_;
}

void CPeopleListPage::OnRowChosen() {
    const int index = list_->RecordOfRow(list_->GetFirstSelected());
    selected_ = index;
    if (index >= 0) ShowRecord(index);
}

void CPeopleListPage::OnDelete() {
    CommitQuiet(); // nothing typed is stored here, so nothing to refuse
    // A row is its own record, even when a damaged or edited file holds its key twice.
    const int index = list_->RecordOfRow(list_->GetFirstSelected());
    if (index < 0) return;
    if (!msg::Ask(this, QStringLiteral("确认删除?"), msg::Default::no)) return;
    const QString what = Describe(index);
    RemoveRecord(index); // the list follows; the row's selection goes with it
    selected_ = -1;
    Say(QStringLiteral("已删除") + what);
}

void CPeopleListPage::OnListClicked(int row) {
    // A click on the list's empty part looks up the empty key; rows stand in
    // collection order. A click on the chosen row loads it again.
    const int index = row < 0 ? FindEmptyKey() : list_->RecordOfRow(row);
    list_->SelectRow(index);
    selected_ = index;
    if (index >= 0) ShowRecord(index);
}
