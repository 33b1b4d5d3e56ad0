// Finds, lists and deletes stored policies, and sends one to the entry page
// for changing.
#pragma once

#include "agent/policy_search.h"
#include "app/page.h"
#include "app/record_list.h"
#include "records/policy_record.h"

#include <memory>

class PinyinIndex;

class CSkinListCtrl;

class CPolicyQueryPage : public CPage {
    Q_OBJECT
public:
    // Finds and deletes in `policies`; sends a policy to the host's entry page.
    CPolicyQueryPage(vantorel::CInsurance& policies, PageHost* host, QWidget* parent = nullptr);
    // The list stops asking the page for texts before the page is gone.
    ~CPolicyQueryPage() override;

    // The main window refreshes the list every time it shows the page.
    void OnShown() override { RefreshResults(); }
    void OnBookLoaded() override { RefreshResults(); }

    void RefreshResults();

private:
    void OnShowAll();
    void OnModify();
    void OnDeleteOne();
    void OnDeleteAll();

    vantorel::CInsurance& policies_;
    PageHost* host_;
    CSkinListCtrl* list_;
    // The policy a chosen row stands for: the first with the number of the
    // row's own policy (numbers are the key); -1 when nothing is chosen.
    int ChosenPolicy();

    int mode_ = -1;
    QString text_;
    // The search the list shows (its rows hold the policies found).
    policy_search::Result shown_;
    // The rows follow changes made elsewhere; a search made before a policy
    // was added does not find it.
    std::unique_ptr<RecordListFollower> follower_;
    // The pinyin of the names searched so far; made by the first search that needs it.
    std::unique_ptr<PinyinIndex> pinyin_;
};
