#include "policy_query_page.h"

#include "policy_search.h"
#include "app/message_box.h"
#include "app/pinyin.h"
#include "resources/templates/query_ids.h"
#include "resources/templates/query_template.h"
#include "theme/skin_list_ctrl.h"

#include <QLineEdit>

using namespace vantorel;
namespace id = ids::query;

CPolicyQueryPage::CPolicyQueryPage(CInsurance& policies, PageHost* host, QWidget* parent)
    : CPage(tmpl::QueryTemplate(), parent), policies_(policies), host_(host), list_(Ctl<CSkinListCtrl>(id::List)) {
    binding_.Radio({id::ByNumber, id::ByHolder, id::ByInsured, id::ByProduct, id::ByDate, id::ByAnyField}, &mode_);
    binding_.Text(id::Text, &text_, QStringLiteral("查找内容"));
    ShowValues();

    SetUpList(list_, {{QStringLiteral("保险单号"), 200}, {QStringLiteral("查询关键"), 200}});

    OnClick(id::Find, [this] { RefreshResults(); });
    // Enter in the search text finds, as the button beside it does.
    connect(Ctl<QLineEdit>(id::Text), &QLineEdit::returnPressed, this, [this] { RefreshResults(); });
    OnClick(id::ShowAll, [this] { OnShowAll(); });
    OnClick(id::Modify, [this] { OnModify(); });
    OnClick(id::DeleteOne, [this] { OnDeleteOne(); });
    OnClick(id::DeleteAll, [this] { OnDeleteAll(); });
    RefreshResults();
}

CPolicyQueryPage::~CPolicyQueryPage() = default;

void CPolicyQueryPage::RefreshResults() {
    CommitQuiet();
    const bool byName = mode_ == policy_search::kHolder || mode_ == policy_search::kInsured;
    if (byName && !pinyin_ && !PinyinIndex::LatinQuery(text_).empty()) pinyin_ = std::make_unique<PinyinIndex>();
    policy_search::Result found = policy_search::Search(policies_, mode_, text_, byName ? pinyin_.get() : nullptr);
    const QString caption = policy_search::KeyCaption(mode_);
    if (list_->GetColumnCount() < 2 || list_->GetColumnCaption(1) != caption) {
        if (list_->GetColumnCount() >= 2) list_->DeleteColumn(1);
        list_->InsertColumn(1, caption, 200);
    }
    list_->SetRows(std::move(found.rows));
    rowKeys_ = std::move(found.keys);
}

void CPolicyQueryPage::OnShowAll() {
    CommitQuiet();
    mode_ = -1;
    ShowValues();
    RefreshResults();
}

void CPolicyQueryPage::OnModify() {
    CommitQuiet();
    const int row = list_->GetFirstSelected();
    if (row < 0 || row >= int(rowKeys_.size())) {
        msg::Info(this, QStringLiteral("请选择修改对象!"));
        return;
    }
    if (!host_) return;
    const int index = policies_.Find(rowKeys_[std::size_t(row)]);
    // A row whose policy has gone meanwhile opens nothing; the list is brought up to date.
    if (index < 0) {
        RefreshResults();
        return;
    }
    host_->EditPolicy(index);
}

void CPolicyQueryPage::OnDeleteOne() {
    CommitQuiet();
    const int row = list_->GetFirstSelected();
    if (row < 0 || row >= int(rowKeys_.size())) return;
    const int index = policies_.Find(rowKeys_[std::size_t(row)]);
    if (index < 0) return;
    if (!msg::Ask(this, QStringLiteral("确认删除?"), msg::Default::no)) return;
    policies_.RemoveAt(index);
    list_->DeleteItem(row);
    rowKeys_.erase(rowKeys_.begin() + row);
}

void CPolicyQueryPage::OnDeleteAll() {
    CommitQuiet();
    if (list_->GetItemCount() == 0) return;
    if (!msg::Ask(this, QStringLiteral("确认删除所有保单?"), msg::Default::no)) return;
    policies_.RemoveAll();
    list_->DeleteAllItems();
    rowKeys_.clear();
}
