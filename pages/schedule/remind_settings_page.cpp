#include "remind_settings_page.h"

#include "agent/premium_due.h"
#include "agent/record_values.h"
#include "resources/templates/remind_settings_ids.h"
#include "resources/templates/remind_settings_template.h"
#include "theme/skin_list_ctrl.h"

using namespace vantorel;
namespace id = ids::remind;

namespace {
const Field<PolicyRecord> kPolicyNo([](auto& p) -> auto& { return p.info.policyNo; });
const Field<PolicyRecord> kHolderName([](auto& p) -> auto& { return p.holder.name; });
const Field<PolicyRecord> kMobile([](auto& p) -> auto& { return p.holder.mobile; });
const Field<PolicyRecord> kPremium([](auto& p) -> auto& { return p.info.annualPremium; });
} // namespace

CRemindSettingsPage::CRemindSettingsPage(const ReminderSwitches& stored, const CInsurance& policies, PageHost* host,
                                         QWidget* parent)
    : CPage(tmpl::RemindSettingsTemplate(), parent), policies_(policies), host_(host),
      dueList_(Ctl<CSkinListCtrl>(id::DueList)) {
    binding_.Check(id::Insured, &insured_);
    binding_.Check(id::Holder, &holder_);
    binding_.Check(id::Clients, &clients_);
    binding_.Check(id::Members, &members_);
    binding_.Check(id::Premium, &premium_);

    insured_ = stored.insured;
    holder_ = stored.holder;
    clients_ = stored.clients;
    members_ = stored.members;
    premium_ = stored.premium;
    ShowValues();

    // A click is the new value at once: today's reminders reads it from here.
    for (int box : {id::Holder, id::Insured, id::Clients, id::Members, id::Premium})
        OnClick(box, [this] { CommitQuiet(); });

    SetUpList(dueList_, {{QStringLiteral("缴费日期"), 90},
                         {QStringLiteral("保险单号"), 110},
                         {QStringLiteral("投保人姓名"), 90},
                         {QStringLiteral("手机"), 100},
                         {QStringLiteral("年缴保费"), 90}});
    connect(dueList_, &CSkinListCtrl::rowDoubleClicked, this, &CRemindSettingsPage::OnOpenDue);
    follower_ = std::make_unique<RecordListFollower>(policies_, dueList_, [this](const CollectionChange&) {
        if (isVisible()) RebuildDueList();
    });
    RebuildDueList();
}

void CRemindSettingsPage::CollectSwitches(ReminderSwitches& s) const {
    s.insured = insured_;
    s.holder = holder_;
    s.clients = clients_;
    s.members = members_;
    s.premium = premium_;
}

void CRemindSettingsPage::RebuildDueList() {
    const QDate today = host_ ? host_->Today() : QDate::currentDate();
    const std::vector<premium::DueEntry> due = premium::DueBetween(policies_, today, today.addDays(30));
    std::vector<QStringList> rows;
    rows.reserve(due.size());
    dueIndexes_.clear();
    dueNumbers_.clear();
    for (const premium::DueEntry& e : due) {
        const CInsurance::View p = policies_.ViewAt(e.index);
        const auto [number, holder, mobile] = p.Texts(kPolicyNo, kHolderName, kMobile);
        rows.push_back({e.date.toString(QStringLiteral("yyyy-MM-dd")), TextOf(number), TextOf(holder), TextOf(mobile),
                        premium::Amount(p.Number(kPremium))});
        dueIndexes_.push_back(e.index);
        dueNumbers_.emplace_back(number);
    }
    dueList_->SetRows(std::move(rows));
}

void CRemindSettingsPage::OnOpenDue(int row) {
    if (row < 0 || row >= int(dueIndexes_.size()) || !host_) return;
    const int index = dueIndexes_[std::size_t(row)];
    // The book may have changed since the list was made: open the policy the
    // row names or, when it has gone, nothing but a list brought up to date.
    if (index >= policies_.GetSize() || policies_.Text(index, kPolicyNo) != dueNumbers_[std::size_t(row)]) {
        RebuildDueList();
        return;
    }
    host_->EditPolicy(index);
}
