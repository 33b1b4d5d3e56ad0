// The birthday-reminder switches and the renewal-premium switch, as the
// settings store held them at start, held here while the program runs; and
// the renewal premiums that fall due in the coming month.
#pragma once

#include "app/page.h"
#include "app/record_list.h"
#include "records/policy_record.h"

#include <memory>
#include <string>
#include <vector>

class CSkinListCtrl;

class CRemindSettingsPage : public CPage {
    Q_OBJECT
public:
    // The list reads `policies`; a double click opens one through `host`.
    CRemindSettingsPage(const ReminderSwitches& stored, const vantorel::CInsurance& policies, PageHost* host,
                        QWidget* parent = nullptr);

    void CollectSwitches(ReminderSwitches& s) const override;
    // The list is rebuilt for today each time the page is shown.
    void OnShown() override { RebuildDueList(); }

    // Every due date from today through today + 30 days, by date and then
    // collection order: "缴费日期", "保险单号", "投保人姓名", "手机", "年缴保费".
    void RebuildDueList();

private:
    void OnOpenDue(int row);

    const vantorel::CInsurance& policies_;
    PageHost* host_;
    CSkinListCtrl* dueList_;
    // Policies changed while the page is shown: the list is made again.
    std::unique_ptr<RecordListFollower> follower_;
    int insured_ = 0;
    int holder_ = 0;
    int clients_ = 0;
    int members_ = 0;
    int premium_ = 0;
    // Each row's policy: its place in the collection and its number then.
    std::vector<int> dueIndexes_;
    std::vector<std::string> dueNumbers_;
};
