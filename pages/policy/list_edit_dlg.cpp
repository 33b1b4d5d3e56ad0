#include "list_edit_dlg.h"

#include "app/message_box.h"
#include "app/template_builder.h"
#include "records/policy_record.h"
#include "resources/templates/list_dialog_ids.h"
#include "theme/control_skin.h"
#include "theme/skin_list_ctrl.h"
#include "theme/theme_pictures.h"

#include <QAbstractButton>

template <class Record>
ListEditDlg<Record>::ListEditDlg(QWidget* owner, const tmpl::Window& form, const QString& title,
                                 std::initializer_list<Column> columns)
    : CXpDialog(owner) {
    tmpl::Build(form, this);
    SetTitle(title);
    setWindowIcon(ThemeDialogIcon());
    SetThemeRole(this, ThemeRole::page);

    namespace id = ids::list_dialog;
    listCtl_ = tmpl::Ctl<CSkinListCtrl>(this, id::List);
    SetUpList(listCtl_, columns);

    auto click = [this](int button, void (ListEditDlg::*handler)()) {
        connect(tmpl::Ctl<QAbstractButton>(this, button), &QAbstractButton::clicked, this, handler);
    };
    click(id::Add, &ListEditDlg::OnAdd);
    click(id::Modify, &ListEditDlg::OnModify);
    click(id::Delete, &ListEditDlg::OnDelete);
    connect(listCtl_, &CSkinListCtrl::rowDoubleClicked, this, &ListEditDlg::OnDoubleClick);

    if (owner) move(owner->window()->pos());
}

template <class Record> void ListEditDlg<Record>::SetList(std::vector<Record> list) {
    list_ = std::move(list);
    RefreshList();
}

template <class Record> void ListEditDlg<Record>::RefreshList() {
    binding_.CommitQuiet();
    std::vector<QStringList> rows;
    rows.reserve(list_.size());
    for (const Record& r : list_) rows.push_back(Row(r));
    listCtl_->SetRows(std::move(rows));
}

template <class Record> int ListEditDlg<Record>::ChosenRow() {
    const int row = listCtl_->GetFirstSelected();
    if (row >= 0 && row < int(list_.size())) return row;
    msg::Info(this, QStringLiteral("请在列表中选择一个对象!"));
    return -1;
}

template <class Record> void ListEditDlg<Record>::OnAdd() {
    if (!binding_.Commit() || !Accepts(-1)) return;
    list_.push_back(BuildRecord(nullptr));
    RefreshList();
    changed_ = true;
}

template <class Record> void ListEditDlg<Record>::OnModify() {
    if (!binding_.Commit()) return;
    const int row = ChosenRow();
    if (row < 0 || !Accepts(row) || !msg::Ask(this, QStringLiteral("确认修改?"))) return;
    list_[std::size_t(row)] = BuildRecord(&list_[std::size_t(row)]);
    RefreshList();
    changed_ = true;
}

template <class Record> void ListEditDlg<Record>::OnDelete() {
    binding_.CommitQuiet();
    const int row = ChosenRow();
    if (row < 0 || !msg::Ask(this, QStringLiteral("确认删除?"), msg::Default::no)) return;
    list_.erase(list_.begin() + row);
    listCtl_->DeleteItem(row);
    changed_ = true;
}

template <class Record> void ListEditDlg<Record>::OnDoubleClick() {
    const int row = listCtl_->GetFirstSelected();
    if (row >= 0 && row < int(list_.size())) ShowRecord(list_[std::size_t(row)]);
}

template class ListEditDlg<vantorel::BeneficiaryRecord>;
template class ListEditDlg<vantorel::RiderRecord>;
