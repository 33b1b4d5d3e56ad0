// Finds, lists and deletes stored policies, and sends one to the entry page
// for changing.
#pragma once

#include "agent/policy_search.h"
#include "app/page.h"
#include "records/policy_record.h"

#include <cstdint>
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
    // row's own policy (numbers are the key). -1 when nothing is chosen, or
    // when the policies changed since the list was filled: the list is then
    // filled anew and the user chooses again.
    int ChosenPolicy();

    int mode_ = -1;
    QString text_;
    // The search the list shows (its rows hold the policies found).
    policy_search::Result shown_;
    // The policies' change count when the list last matched them.
    std::uint64_t listed_ = 0;
    // The pinyin of the names searched so far; made by the first search that needs it.
    std::unique_ptr<PinyinIndex> pinyin_;
};
