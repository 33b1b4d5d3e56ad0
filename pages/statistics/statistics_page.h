// Fifteen questions about the book, one button each; the answer is a list
// of categories with their counts and a bar chart of the same rows.
#pragma once

#include "agent/tallies.h"
#include "app/page.h"

class CSkinListCtrl;
class QChartView;

namespace vantorel {
struct DataBook;
}

class CStatisticsPage : public CPage {
    Q_OBJECT
public:
    // Counts in `book`; changes nothing.
    explicit CStatisticsPage(const vantorel::DataBook& book, QWidget* parent = nullptr);

    // The main window empties the answer each time it shows the page; the
    // captions of the last tally stay.
    void OnSelected() override;

    // The chart's value axis: `count` steps of `step` from 0, the last at or
    // above `top`; at most five steps, each 1, 2 or 5 times a power of ten.
    struct ValueSteps {
        qint64 step;
        int count;
    };
    static ValueSteps ValueAxisSteps(qint64 top);
    // What a bar tells on hover: its whole category and its count.
    static QString BarTip(const QString& category, int count);

private:
    void RunTally(stats::Tally tally, int width);
    void ShowChart(const QString& title, const QStringList& categories, const QList<int>& counts);

    const vantorel::DataBook& book_;
    CSkinListCtrl* list_ = nullptr;
    QChartView* chart_ = nullptr;
};
