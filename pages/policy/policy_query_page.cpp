#include "policy_query_page.h"

#include "agent/book_text.h"
#include "agent/pinyin.h"
#include "app/message_box.h"
#include "resources/templates/query_ids.h"
#include "resources/templates/query_template.h"
#include "theme/skin_list_ctrl.h"

#include <QLineEdit>

using namespace vantorel;
namespace id = ids::query;

namespace {
const vantorel::Field<PolicyRecord> kNumber([](auto& p) -> auto& { return p.info.policyNo; });
} // namespace

CPolicyQueryPage::CPolicyQueryPage(CInsurance& policies, PageHost* host, QWidget* parent)
    : CPage(tmpl::QueryTemplate(), parent), policies_(policies), host_(host), list_(Ctl<CSkinListCtrl>(id::List)) {
    binding_.Radio({id::ByNumber, id::ByHolder, id::ByInsured, id::ByProduct, id::ByDate, id::ByAnyField}, &mode_);
    binding_.Text(id::Text, &text_, QStringLiteral("查找内容"));
    ShowValues();

    SetUpList(list_, {{QStringLiteral("保险单号"), 200}, {QStringLiteral("查询关键"), 200}});

    OnClick(id::Find, [this] { RefreshResults(); });
    // Enter in the search text finds, as the button beside it does.
    connect(Ctl<QLineEdit>(id::Text), &QLineEdit::returnPressed, this, [this] { RefreshResults(); });
    // Opening ICU's transliterators takes longer than typing a few letters:
    // the first Latin letter typed starts it, so a pinyin search need not wait.
    connect(Ctl<QLineEdit>(id::Text), &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!pinyin_ && !PinyinIndex::LatinQuery(text).empty()) PinyinIndex::Prepare();
    });
    OnClick(id::ShowAll, [this] { OnShowAll(); });
    OnClick(id::Modify, [this] { OnModify(); });
    OnClick(id::DeleteOne, [this] { OnDeleteOne(); });
    OnClick(id::DeleteAll, [this] { OnDeleteAll(); });
    follower_ = std::make_unique<RecordListFollower>(policies_, list_);
    RefreshResults();
}

CPolicyQueryPage::~CPolicyQueryPage() {
    follower_.reset();
    list_->DeleteAllItems();
}

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
    shown_ = {found.mode, found.needle, {}};
    list_->ShowRecords(std::move(found.records), [this](int record, int column) {
        return policy_search::CellText(policies_, shown_, record, column);
    });
}

void CPolicyQueryPage::OnShowAll() {
    CommitQuiet();
    mode_ = -1;
    ShowValues();
    RefreshResults();
}

int CPolicyQueryPage::ChosenPolicy() {
    const int record = list_->RecordOfRow(list_->GetFirstSelected());
    if (record < 0 || record >= policies_.GetSize()) return -1;
    return policies_.Find(std::string(policies_.Text(record, kNumber)));
}

void CPolicyQueryPage::OnModify() {
    CommitQuiet();
    if (list_->RecordOfRow(list_->GetFirstSelected()) < 0) {
        msg::Info(this, QStringLiteral("请选择修改对象!"));
        return;
    }
    if (!host_) return;
    const int index = ChosenPolicy();
    if (index < 0) return;
    host_->EditPolicy(index);
}

void CPolicyQueryPage::OnDeleteOne() {
    CommitQuiet();
    const int row = list_->GetFirstSelected();
    const int index = ChosenPolicy();
    if (index < 0) return;
    if (!msg::Ask(this, QStringLiteral("确认删除?"), msg::Default::no)) return;
    const QString removed = TextOf(policies_, index, kNumber);
    // The chosen row goes, whichever policy of its number was removed.
    follower_->Quietly([&] { policies_.RemoveAt(index); });
    list_->RemoveRecordRow(row, index);
    Say(QStringLiteral("已删除保单 %1").arg(removed));
}

void CPolicyQueryPage::OnDeleteAll() {
    CommitQuiet();
    if (list_->GetItemCount() == 0) return;
    if (!msg::Ask(this, QStringLiteral("确认删除所有保单?"), msg::Default::no)) return;
    const int count = policies_.GetSize();
    policies_.RemoveAll(); // the list follows
    Say(QStringLiteral("已删除全部保单（%1 份）").arg(count));
}
