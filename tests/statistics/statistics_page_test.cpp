#include "app/gbk.h"
#include "gui_test_support.h"
#include "pages/statistics/statistics_page.h"
#include "records/data_files.h"
#include "resources/templates/statistics_template.h"
#include "theme/skin_list_ctrl.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHeaderView>

using vantorel::TheBook;

namespace {

constexpr int kList = 1221;

std::string G(const char* utf8) { return ToGbk(QString::fromUtf8(utf8)); }

struct Statistics : testing::Test {
    void SetUp() override { TheBook().Clear(); }
    void TearDown() override { TheBook().Clear(); }

    CStatisticsPage page;
    CSkinListCtrl* List() { return FindCtl<CSkinListCtrl>(&page, kList); }

    // "category=count" per row; checks the chart shows exactly the same.
    QStringList Rows() {
        QStringList rows;
        CSkinListCtrl* l = List();
        for (int i = 0; i < l->GetItemCount(); ++i) rows << l->GetItemText(i, 0) + "=" + l->GetItemText(i, 1);
        EXPECT_EQ(ChartRows(), rows);
        return rows;
    }
    QStringList ChartRows() {
        QStringList rows;
        auto* view = FindCtl<QChartView>(&page, tmpl::kStatisticsChartId);
        const auto series = view->chart()->series();
        if (series.isEmpty()) return rows;
        auto* bars = qobject_cast<QBarSeries*>(series.first());
        auto axes = view->chart()->axes(Qt::Horizontal);
        auto* axis = qobject_cast<QBarCategoryAxis*>(axes.value(0));
        if (!bars || !axis || bars->barSets().size() != 1) return {"bad chart"};
        QBarSet* set = bars->barSets().first();
        if (axis->count() != set->count()) return {"chart axis and bars differ"};
        for (int i = 0; i < set->count(); ++i) rows << axis->at(i) + "=" + QString::number(int(set->at(i)));
        return rows;
    }
    QString Captions() {
        CSkinListCtrl* l = List();
        QStringList c;
        for (int i = 0; i < l->GetColumnCount(); ++i)
            c << QString("%1:%2").arg(l->GetColumnCaption(i)).arg(l->header()->sectionSize(i));
        return c.join(",");
    }
};

vantorel::PolicyRecord Policy(const char* payment) {
    vantorel::PolicyRecord p;
    p.info.paymentMethod = G(payment);
    return p;
}

TEST_F(Statistics, RowsFollowFirstOccurrenceAndReplaceEachOther) {
    for (const char* m : {"年缴", "月缴", "年缴"}) TheBook().insurance.Add(Policy(m));
    Press(&page, 1208);
    EXPECT_EQ(Captions(), "缴费方式:100,数量:200");
    EXPECT_EQ(Rows(), (QStringList{"年缴=2", "月缴=1"}));
    Press(&page, 1208); // again: the same
    EXPECT_EQ(Rows(), (QStringList{"年缴=2", "月缴=1"}));

    // Letter case, trailing blanks and the empty text are categories of their own.
    TheBook().insurance.RemoveAll();
    for (const char* m : {"Annual", "annual", "Annual ", "", "Annual", ""}) TheBook().insurance.Add(Policy(m));
    Press(&page, 1208);
    EXPECT_EQ(Rows(), (QStringList{"Annual=2", "annual=1", "Annual =1", "=2"}));

    // Another button replaces captions and rows.
    Press(&page, 1213);
    EXPECT_EQ(Captions(), "投保人文化程度:120,数量:200");
    EXPECT_EQ(Rows(), QStringList{"=6"});
}

TEST_F(Statistics, UnknownSexTakesThePlaceOfItsFirstOccurrence) {
    for (int sex : {1, 1, -1, 0, -1, 2}) {
        vantorel::PolicyRecord p;
        p.holder.sex = std::int16_t(sex);
        TheBook().insurance.Add(p);
    }
    Press(&page, 1206);
    EXPECT_EQ(Rows(), (QStringList{"女=3", "不详=2", "男=1"}));
}

TEST_F(Statistics, EveryTallyCountsItsOwnField) {
    // Two policies whose every field differs, plus one repeating the first:
    // each tally must see exactly its own field.
    auto policy = [](int k) {
        vantorel::PolicyRecord p;
        const QString n = QString::number(k);
        p.info.paymentMethod = ToGbk("pay" + n);
        p.info.productName = ToGbk("product" + n);
        p.info.benefitMethod = ToGbk("benefit" + n);
        p.holder.sex = std::int16_t(k == 1 ? 0 : 1);
        p.holder.maritalStatus = std::int16_t(k == 1 ? 1 : 2);
        p.holder.education = ToGbk("hedu" + n);
        p.holder.annualIncome = ToGbk("hinc" + n);
        p.insured.sex = std::int16_t(k == 1 ? 1 : -1);
        p.insured.maritalStatus = std::int16_t(k == 1 ? 3 : 4);
        p.insured.education = ToGbk("iedu" + n);
        p.insured.annualIncome = ToGbk("iinc" + n);
        return p;
    };
    TheBook().insurance.Add(policy(1));
    TheBook().insurance.Add(policy(2));
    TheBook().insurance.Add(policy(1));
    for (int k : {1, 1, 2}) {
        vantorel::PotClientRecord c;
        c.person.sex = std::int16_t(k == 1 ? -1 : 0);
        c.person.maritalStatus = std::int16_t(k == 1 ? 0 : 9); // 9: a damaged file
        c.person.education = ToGbk("cedu" + QString::number(k));
        c.person.annualIncome = ToGbk("cinc" + QString::number(k));
        TheBook().clients.Add(c);
    }
    struct Case {
        int button;
        const char* captions;
        QStringList rows;
    };
    const std::vector<Case> cases = {
        {1208, "缴费方式:100,数量:200", {"pay1=2", "pay2=1"}},
        {1210, "险种名称:100,数量:200", {"product1=2", "product2=1"}},
        {1211, "领取方式:100,数量:200", {"benefit1=2", "benefit2=1"}},
        {1206, "投保人性别:100,数量:200", {"男=2", "女=1"}},
        {1209, "投保人婚况:100,数量:200", {"未婚=2", "离异=1"}},
        {1213, "投保人文化程度:120,数量:200", {"hedu1=2", "hedu2=1"}},
        {1215, "投保人年收入:120,数量:200", {"hinc1=2", "hinc2=1"}},
        {1207, "被保险人性别:100,数量:200", {"女=2", "不详=1"}},
        {1212, "被保险人婚况:100,数量:200", {"丧偶=2", "分居=1"}},
        {1214, "被保险人文化程度:120,数量:200", {"iedu1=2", "iedu2=1"}},
        {1216, "被保险人年收入:120,数量:200", {"iinc1=2", "iinc2=1"}},
        {1217, "潜力客户性别:100,数量:200", {"不详=2", "男=1"}},
        {1218, "潜力客户婚况:100,数量:200", {"已婚=2", "其它=1"}},
        {1219, "潜力客户文化程度:120,数量:200", {"cedu1=2", "cedu2=1"}},
        {1220, "潜力客户年收入:120,数量:200", {"cinc1=2", "cinc2=1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        Press(&page, c.button);
        EXPECT_EQ(Captions(), QString::fromUtf8(c.captions));
        EXPECT_EQ(Rows(), c.rows);
    }
    EXPECT_EQ(TheBook().insurance.GetSize(), 3); // only read
}

TEST_F(Statistics, EmptyBookAndReshownPageKeepCaptionsWithoutRows) {
    EXPECT_EQ(page.objectName(), "180");
    EXPECT_EQ(Captions(), ":100,:200"); // before any tally
    Press(&page, 1217);
    EXPECT_EQ(Captions(), "潜力客户性别:100,数量:200");
    EXPECT_TRUE(Rows().isEmpty());

    vantorel::PotClientRecord c;
    c.person.maritalStatus = 1;
    TheBook().clients.Add(c);
    Press(&page, 1218);
    EXPECT_EQ(Rows(), QStringList{"未婚=1"});
    page.OnSelected(); // the main window shows the page again
    EXPECT_EQ(Captions(), "潜力客户婚况:100,数量:200");
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_TRUE(ChartRows().isEmpty());
}

} // namespace
