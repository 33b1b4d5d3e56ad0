// Tallies over a large book: each must stay linear. Prints the times so the
// figures can be read from the test log.
#include "app/gbk.h"
#include "gui_test_support.h"
#include "pages/statistics/statistics_page.h"
#include "pages/statistics/tallies.h"
#include "records/data_files.h"
#include "resources/templates/statistics_template.h"
#include "theme/skin_list_ctrl.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

using vantorel::TheBook;

namespace {

double BestMs(const std::function<void()>& f, int runs = 3) {
    double best = 1e100;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

void FillBigBook(bool distinctProducts) {
    TheBook().Clear();
    const char* pay[] = {"年缴", "趸缴", "半年缴", "月缴", "季缴"};
    const char* edu[] = {"无", "小学", "初中", "高中/中专", "大专", "本科", "硕士", "博士"};
    const char* inc[] = {"1万以下", "1万～2万元", "2万～4万元", "4万～6万元", "6万～9万元", "10万元以上"};
    for (int i = 0; i < 100000; ++i) {
        vantorel::PolicyRecord p;
        p.info.paymentMethod = ToGbk(QString::fromUtf8(pay[i % 5]));
        p.info.productName = ToGbk(distinctProducts ? QString("险种%1").arg(i) : QString("险种%1").arg(i % 40));
        p.info.benefitMethod = ToGbk(QString("领取%1").arg(i % 8));
        p.holder.sex = std::int16_t(i % 3 - 1);
        p.holder.maritalStatus = std::int16_t(i % 5);
        p.holder.education = ToGbk(QString::fromUtf8(edu[i % 8]));
        p.holder.annualIncome = ToGbk(QString::fromUtf8(inc[i % 6]));
        p.insured = {};
        p.insured.sex = std::int16_t(i % 2);
        p.insured.maritalStatus = std::int16_t(i % 4);
        p.insured.education = p.holder.education;
        p.insured.annualIncome = p.holder.annualIncome;
        TheBook().insurance.Add(std::move(p));
    }
    for (int i = 0; i < 50000; ++i) {
        vantorel::PotClientRecord c;
        c.person.sex = std::int16_t(i % 2);
        c.person.maritalStatus = std::int16_t(i % 5);
        c.person.education = ToGbk(QString::fromUtf8(edu[i % 8]));
        c.person.annualIncome = ToGbk(QString::fromUtf8(inc[i % 6]));
        TheBook().clients.Add(std::move(c));
    }
}

// A loop that only reads the field the tally reads.
std::size_t ReadOnly(const stats::TallySpec& t) {
    std::size_t sum = 0;
    if (t.policy)
        for (const auto& r : TheBook().insurance.Records()) sum += t.policy(r).size();
    else
        for (const auto& r : TheBook().clients.Records()) sum += t.client(r).size();
    return sum;
}

TEST(StatisticsTiming, EveryTallyIsLinearOverALargeBook) {
    FillBigBook(false);
    CStatisticsPage page;
    page.show();
    volatile std::size_t sink = 0;
    std::printf("%-6s %-18s %10s %10s %8s %12s\n", "button", "tally", "tally ms", "loop ms", "ratio", "press ms");
    for (const stats::TallySpec& t : stats::Tallies()) {
        std::size_t rows = 0;
        const double tally = BestMs([&] { rows = stats::Run(t, TheBook()).size(); });
        const double loop = BestMs([&] { sink = sink + ReadOnly(t); });
        const double press = BestMs([&] { Press(&page, t.button); }, 1);
        std::printf("%-6d %-18s %10.2f %10.2f %8.1f %12.2f\n", t.button, t.caption, tally, loop, tally / loop, press);
        EXPECT_EQ(FindCtl<CSkinListCtrl>(&page, 1221)->GetItemCount(), int(rows));
        EXPECT_LT(press, 1000);
    }

    // Every policy its own product: a walk over the rows per record would
    // take minutes here; the hash keeps it close to the few-category case.
    const stats::TallySpec* products = stats::FindTally(1210);
    const double few = BestMs([&] { stats::Run(*products, TheBook()); });
    FillBigBook(true);
    const double many = BestMs([&] { stats::Run(*products, TheBook()); });
    const double press = BestMs([&] { Press(&page, 1210); }, 1);
    std::printf("products: 40 categories %.2f ms, 100000 categories %.2f ms (page with list and chart %.2f ms)\n", few,
                many, press);
    EXPECT_EQ(FindCtl<CSkinListCtrl>(&page, 1221)->GetItemCount(), 100000);
    EXPECT_LT(many, 1000);
    EXPECT_LT(press, 2000);
    // The chart keeps to the first rows and says how many there are.
    QChart* chart = FindCtl<QChartView>(&page, tmpl::kStatisticsChartId)->chart();
    auto* bars = qobject_cast<QBarSeries*>(chart->series().value(0));
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->barSets().first()->count(), 50);
    EXPECT_EQ(bars->barSets().first()->at(0), 1);
    EXPECT_EQ(chart->title(), "险种名称（前50项，共100000项）");
    TheBook().Clear();
}

} // namespace
