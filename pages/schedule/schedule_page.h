// The diary: pick a day, write what is to be done, keep the list of all
// schedule entries in the order they were added.
#pragma once

#include "app/page.h"
#include "app/record_list.h"
#include "records/people_records.h"

#include <QDate>
#include <QString>
#include <memory>

class CAtxCalendar;
class PageHost;
class CSkinListCtrl;

class CSchedulePage : public CPage {
    Q_OBJECT
public:
    // Lists and adds to `entries`; the calendar opens on `today`, the switch
    // "打开日程提醒" starts as `remind`. "导出日历" writes the book of `host`,
    // with its switches and its today; without a host the button is off.
    CSchedulePage(vantorel::CCalendar& entries, int remind, const QDate& today, QWidget* parent = nullptr,
                  PageHost* host = nullptr);
    // The list stops asking the page for texts before the page is gone.
    ~CSchedulePage() override;

    void CollectSwitches(ReminderSwitches& s) const override { s.calendar = remind_; }
    void OnBookLoaded() override { FillList(); }

    // Year, month and day of a schedule date number (year*10000+month*100+day).
    struct DateParts {
        long long year = 0, month = 0, day = 0;
    };
    static DateParts SplitDateNumber(double n);
    // The date as the list shows it: yyyy-mm-dd, or "%d-%d-%d" of the parts
    // when they make no real date.
    static QString DateText(double n);

private:
    void FillList();
    void OnAdd();
    void OnDelete();
    void OnLoadEntry();
    void OnExportCalendar();

    vantorel::CCalendar& entries_;
    PageHost* host_ = nullptr;
    CAtxCalendar* calendar_ = nullptr;
    CSkinListCtrl* list_ = nullptr;
    std::unique_ptr<RecordListFollower> follower_;
    QString text_;   // the memo
    int remind_ = 1; // "打开日程提醒"
};
