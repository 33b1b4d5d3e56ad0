#include "gui_test_support.h"
#include "agent/gbk.h"
#include "pages/statistics/statistics_page.h"
#include "records/data_files.h"
#include "resources/templates/statistics_ids.h"
#include "theme/skin_list_ctrl.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHeaderView>

namespace id = ids::statistics;

namespace {

struct Statistics : testing::Test {
    vantorel::DataBook book;
    CStatisticsPage page{book};
    CSkinListCtrl* List() { return FindCtl<CSkinListCtrl>(&page, id::List); }
    QChart* Chart() { return FindCtl<QChartView>(&page, id::Chart)->chart(); }

    // "category=count" per row; checks the chart shows the same (its first fifty).
    QStringList Rows() {
        QStringList rows;
        for (int i = 0; i < List()->GetItemCount(); ++i)
            rows << List()->GetItemText(i, 0) + "=" + List()->GetItemText(i, 1);
        EXPECT_EQ(ChartRows(), rows.mid(0, 50));
        return rows;
    }
    QStringList ChartRows() {
        if (Chart()->series().isEmpty()) return {};
        auto* bars = qobject_cast<QBarSeries*>(Chart()->series().first());
        auto* axis = qobject_cast<QBarCategoryAxis*>(Chart()->axes(Qt::Horizontal).value(0));
        if (!bars || !axis || bars->barSets().size() != 1 || axis->count() != bars->barSets()[0]->count())
            return {"bad chart"};
        QStringList rows;
        for (int i = 0; i < axis->count(); ++i)
            rows << axis->at(i) + "=" + QString::number(int(bars->barSets()[0]->at(i)));
        return rows;
    }
    QString Captions() {
        QStringList c;
        for (int i = 0; i < List()->GetColumnCount(); ++i)
            c << QString("%1:%2").arg(List()->GetColumnCaption(i)).arg(List()->header()->sectionSize(i));
        return c.join(",");
    }
    void AddPolicy(const QString& payment, int holderSex = 0) {
        vantorel::PolicyRecord p;
        p.info.paymentMethod = p.info.productName = ToGbk(payment);
        p.holder.sex = std::int16_t(holderSex);
        book.insurance.Add(p);
    }
};

TEST_F(Statistics, LongCategoriesStandOnEndAndTellThemselvesOnHover) {
    page.resize(600, 500);
    page.show();
    for (const char* m : {"鸿运终身寿险（分红型）", "康宁重大疾病保险", "年缴"}) AddPolicy(m);
    Press(&page, id::PolicyProduct);
    auto* axis = qobject_cast<QBarCategoryAxis*>(Chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->labelsAngle(), -90);
    EXPECT_EQ(axis->at(0), "鸿运终身寿险（分红型）"); // whole, the axis only draws it shorter where it must
    EXPECT_EQ(CStatisticsPage::BarTip(axis->at(0), 1), "鸿运终身寿险（分红型）：1");
    // Short labels stay level.
    book.insurance.RemoveAll();
    for (const char* m : {"年缴", "月缴"}) AddPolicy(m);
    Press(&page, id::PolicyPayment);
    axis = qobject_cast<QBarCategoryAxis*>(Chart()->axes(Qt::Horizontal).value(0));
    EXPECT_EQ(axis->labelsAngle(), 0);
}

TEST_F(Statistics, RowsFollowFirstOccurrenceAndReplaceEachOther) {
    for (const char* m : {"年缴", "月缴", "年缴"}) AddPolicy(m);
    Press(&page, id::PolicyPayment);
    Press(&page, id::PolicyPayment); // again: the same, not added to
    EXPECT_EQ(Rows(), (QStringList{"年缴=2", "月缴=1"}));

    // Letter case and trailing blanks are categories of their own; nothing
    // filled in is "不详", like a sex no form chose, and counts with a typed "不详".
    book.insurance.RemoveAll();
    for (const char* m : {"Annual", "annual", "Annual ", "", "Annual", "", "不详"}) AddPolicy(m);
    Press(&page, id::PolicyPayment);
    EXPECT_EQ(Rows(), (QStringList{"Annual=2", "annual=1", "Annual =1", "不详=3"}));

    // Another button replaces captions and rows; "不详" keeps its first place.
    book.insurance.RemoveAll();
    for (int sex : {1, 1, -1, 0, -1, 2}) AddPolicy("", sex);
    Press(&page, id::HolderSex);
    EXPECT_EQ(Captions(), "投保人性别:100,数量:200");
    EXPECT_EQ(Rows(), (QStringList{"女=3", "不详=2", "男=1"}));
}

TEST_F(Statistics, EveryTallyCountsItsOwnField) {
    // Two policies whose every field differs, plus one repeating the first:
    // each tally must see exactly its own field.
    auto person = [](auto& who, int k, int sex, int marital, const QString& prefix) {
        who.sex = std::int16_t(sex);
        who.maritalStatus = std::int16_t(marital);
        who.education = ToGbk(prefix + "edu" + QString::number(k));
        who.annualIncome = ToGbk(prefix + "inc" + QString::number(k));
    };
    for (int k : {1, 2, 1}) {
        vantorel::PolicyRecord p;
        p.info.paymentMethod = ToGbk("pay" + QString::number(k));
        p.info.productName = ToGbk("product" + QString::number(k));
        p.info.benefitMethod = ToGbk("benefit" + QString::number(k));
        person(p.holder, k, k - 1, k, "h");
        person(p.insured, k, k == 1 ? 1 : -1, k + 2, "i");
        book.insurance.Add(p);
    }
    for (int k : {1, 1, 2}) {
        vantorel::PotClientRecord c;
        person(c.person, k, k == 1 ? -1 : 0, k == 1 ? 0 : 9, "c"); // 9: a damaged file
        book.clients.Add(c);
    }
    const struct {
        int button;
        const char* captions;
        QStringList rows;
    } cases[] = {
        {id::PolicyPayment, "缴费方式:100,数量:200", {"pay1=2", "pay2=1"}},
        {id::PolicyProduct, "险种名称:100,数量:200", {"product1=2", "product2=1"}},
        {id::PolicyBenefit, "领取方式:100,数量:200", {"benefit1=2", "benefit2=1"}},
        {id::HolderSex, "投保人性别:100,数量:200", {"男=2", "女=1"}},
        {id::HolderMarital, "投保人婚况:100,数量:200", {"未婚=2", "离异=1"}},
        {id::HolderEducation, "投保人文化程度:120,数量:200", {"hedu1=2", "hedu2=1"}},
        {id::HolderIncome, "投保人年收入:120,数量:200", {"hinc1=2", "hinc2=1"}},
        {id::InsuredSex, "被保险人性别:100,数量:200", {"女=2", "不详=1"}},
        {id::InsuredMarital, "被保险人婚况:100,数量:200", {"丧偶=2", "分居=1"}},
        {id::InsuredEducation, "被保险人文化程度:120,数量:200", {"iedu1=2", "iedu2=1"}},
        {id::InsuredIncome, "被保险人年收入:120,数量:200", {"iinc1=2", "iinc2=1"}},
        {id::ClientSex, "潜力客户性别:100,数量:200", {"不详=2", "男=1"}},
        {id::ClientMarital, "潜力客户婚况:100,数量:200", {"已婚=2", "其它=1"}},
        {id::ClientEducation, "潜力客户文化程度:120,数量:200", {"cedu1=2", "cedu2=1"}},
        {id::ClientIncome, "潜力客户年收入:120,数量:200", {"cinc1=2", "cinc2=1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        Press(&page, c.button);
        EXPECT_EQ(Captions(), QString::fromUtf8(c.captions));
        EXPECT_EQ(Rows(), c.rows);
    }
    EXPECT_EQ(book.insurance.GetSize(), 3); // only read
}

TEST_F(Statistics, EmptyBookReshownPageAndLongListsKeepTheChartInStep) {
    EXPECT_EQ(Captions(), ":100,:200"); // before any tally
    Press(&page, id::ClientSex);
    EXPECT_EQ(Captions(), "潜力客户性别:100,数量:200");
    EXPECT_TRUE(Rows().isEmpty());

    for (int i = 0; i < 51; ++i) AddPolicy(QString("p%1").arg(i));
    Press(&page, id::PolicyProduct);
    EXPECT_EQ(Rows().size(), 51);
    EXPECT_EQ(Chart()->title(), "险种名称（前50项，共51项）");
    page.OnSelected(); // the main window shows the page again
    EXPECT_EQ(Captions(), "险种名称:100,数量:200");
    EXPECT_TRUE(Rows().isEmpty());
}

} // namespace

// The value axis reads as numbers whatever the largest count: whole numbers
// from 0 up to at least the tallest bar, none cut to "…" for lack of room.
TEST_F(Statistics, ValueAxisLabelsAreReadableWholeNumbers) {
    const struct {
        qint64 top, step;
        int count;
    } steps[] = {{1, 1, 1},  {5, 1, 5},   {6, 2, 3},      {10, 2, 5},
                 {11, 5, 3}, {37, 10, 4}, {1234, 500, 3}, {99999, 20000, 5}};
    for (const auto& s : steps) {
        const auto got = CStatisticsPage::ValueAxisSteps(s.top);
        EXPECT_EQ(std::pair(got.step, got.count), std::pair(s.step, s.count)) << s.top;
    }
    page.show();
    for (int top : {1, 2, 3, 5, 9, 10, 11, 12, 17, 37, 100, 1234, 99999}) {
        SCOPED_TRACE(top);
        book.Clear();
        for (int i = 0; i < top; ++i) AddPolicy("年缴");
        AddPolicy("月缴");
        Press(&page, id::PolicyPayment);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        if (top == 10) page.grab().save("chart_top_10.png");
        const QRectF plot = Chart()->plotArea();
        QList<QGraphicsTextItem*> labels;
        for (QGraphicsItem* item : Chart()->scene()->items())
            if (auto* text = dynamic_cast<QGraphicsTextItem*>(item);
                text && text->isVisible() && !text->toPlainText().isEmpty() &&
                text->sceneBoundingRect().right() <= plot.left() + 1)
                labels << text;
        std::sort(labels.begin(), labels.end(), [](auto* a, auto* b) { return a->scenePos().y() > b->scenePos().y(); });
        ASSERT_GE(labels.size(), 2);
        QList<qint64> values;
        for (QGraphicsTextItem* l : labels) {
            bool ok = false;
            values << l->toPlainText().toLongLong(&ok);
            EXPECT_TRUE(ok) << "label \"" << l->toPlainText().toStdString() << "\"";
        }
        EXPECT_EQ(values.first(), 0);
        EXPECT_GE(values.last(), top);
        EXPECT_LE(labels.size(), 11);
        for (qsizetype i = 1; i < values.size(); ++i) EXPECT_GT(values[i], values[i - 1]);
    }
}
