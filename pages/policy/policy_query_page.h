// Finds, lists and deletes stored policies, and sends one to the entry page
// for changing.
#pragma once

#include "app/page.h"
#include "records/policy_record.h"

#include <memory>
#include <string>
#include <vector>

class PinyinIndex;

class CSkinListCtrl;

class CPolicyQueryPage : public CPage {
    Q_OBJECT
public:
    // Finds and deletes in `policies`; sends a policy to the host's entry page.
    CPolicyQueryPage(vantorel::CInsurance& policies, PageHost* host, QWidget* parent = nullptr);
    ~CPolicyQueryPage() override;

    // The main window refreshes the list every time it shows the page.
    void OnShown() override { RefreshResults(); }

    void RefreshResults();

private:
    void OnShowAll();
    void OnModify();
    void OnDeleteOne();
    void OnDeleteAll();

    vantorel::CInsurance& policies_;
    PageHost* host_;
    CSkinListCtrl* list_;
    int mode_ = -1;
    QString text_;
    // Each row's policy number as stored, so a row finds its policy even
    // when the number does not survive display.
    std::vector<std::string> rowKeys_;
    // The pinyin of the names searched so far; made by the first search that needs it.
    std::unique_ptr<PinyinIndex> pinyin_;
};
