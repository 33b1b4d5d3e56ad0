#include "policy_test_support.h"
#include "pages/policy/policy_entry_page.h"
#include "pages/policy/policy_query_page.h"
#include "resources/templates/policy_entry_ids.h"
#include "resources/templates/query_ids.h"

#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QRadioButton>

namespace id = ids::query;

namespace {

struct QueryPage : testing::Test {
    void SetUp() override {
        vantorel::PolicyRecord a = SamplePolicy("P1", "Zhang Wei", "王芳", "终身寿险", "2004/1-2");
        a.beneficiaries.push_back({});
        a.beneficiaries[0].name = ToGbk("赵六");
        vantorel::PolicyRecord b = SamplePolicy("P2", "李四", "Abc", "意外伤害", "2004/10-2");
        b.riders.push_back({});
        b.riders[0].productName = ToGbk("附加医疗");
        vantorel::PolicyRecord c = SamplePolicy("P1", "丂", "", "两全保险", "2005/1-2");
        for (auto* p : {&a, &b, &c}) host.book.insurance.Add(*p);
        host.pages = {{ids::entry::Template, &entry}, {id::Template, &query}};
        query.RefreshResults();
        query.show();
    }
    void Find(int option, const QString& text) {
        if (option) FindCtl<QRadioButton>(&query, option)->click();
        TypeInto(&query, id::Text, text);
        Press(&query, id::Find);
    }
    // Selects rows 2 then 1, so the topmost selected row is not the first chosen.
    void SelectRowsTwoAndOne() {
        for (int row : {2, 1})
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QStringList Numbers() const { return Column(list, 0); }
    QStringList Keys() const { return Column(list, 1); }

    FakeHost host;
    CPolicyQueryPage query{host.book.insurance, &host};
    CPolicyEntryPage entry{host.book.insurance};
    CSkinListCtrl* list = FindCtl<CSkinListCtrl>(&query, id::List);
    MessageRecorder rec;
};

TEST_F(QueryPage, OptionsMatchWhatTheyNameExactlyEnough) {
    // The key column, or the numbers for the number option; no option ignores the text.
    const struct {
        int option;
        const char* text;
        QStringList expected;
    } cases[] = {
        {0, "whatever", {"Zhang Wei", "李四", "丂"}},
        {id::ByNumber, "p1", {}},
        {id::ByNumber, "P1 ", {}},
        {id::ByNumber, "P1", {"P1", "P1"}},
        {id::ByHolder, "Zhang", {"Zhang Wei"}},
        {id::ByHolder, "zhang", {"Zhang Wei"}}, // Latin letters: the name's letters, any case
        {id::ByHolder, "zhangs", {}},
        {id::ByHolder, "丂", {"丂"}},
        {id::ByHolder, "@", {}}, // "丂" is 81 40 in GBK: its trail byte must not pass for "@".
        {id::ByInsured, "Ab", {"Abc"}},
        {id::ByProduct, "保险", {"两全保险"}},
        {id::ByDate, "2004-01-02", {"2004-01-02"}}, // shown as lists show dates; stored as "2004/1-2"
        {id::ByDate, "2004-1-2", {"2004-01-02"}},
        {id::ByDate, "2004/1/2", {"2004-01-02"}},
        {id::ByDate, " 2004-01-02 ", {"2004-01-02"}},
        {id::ByDate, "2004.1.2", {}},
        {id::ByAnyField, "赵", {"赵六"}},
        {id::ByAnyField, "医疗", {"附加医疗"}},
        {id::ByAnyField, "\xF0\x9F\x98\x80", {}},
    };
    for (const auto& c : cases) {
        Find(c.option, QString::fromUtf8(c.text));
        EXPECT_EQ(c.option == id::ByNumber ? Numbers() : Keys(), c.expected) << c.option << " " << c.text;
    }
    EXPECT_EQ(list->GetColumnCaption(1), "匹配内容");

    // An empty text lists everything; "显示所有保单" clears the option, keeps the text.
    Find(id::ByProduct, "");
    EXPECT_EQ(Numbers().size(), 3);
    Find(id::ByHolder, "李");
    Press(&query, id::ShowAll);
    EXPECT_EQ(TextOf(&query, id::Text), "李");
    EXPECT_EQ(Numbers().size(), 3);
    EXPECT_EQ(list->GetColumnCaption(1), "投保人姓名");
}

TEST_F(QueryPage, DeleteActsOnTheTopmostRowAndDeleteAllNeedsRows) {
    SelectRowsTwoAndOne();
    rec.Answer(false);
    Press(&query, id::DeleteOne);
    EXPECT_EQ(rec.questions, QStringList{"确认删除?"});
    EXPECT_EQ(rec.defaultNo, rec.questions) << "Enter answers No";
    EXPECT_EQ(host.book.insurance.GetSize(), 3);
    Press(&query, id::DeleteOne);
    EXPECT_EQ(Numbers(), QStringList({"P1", "P1"}));

    Find(id::ByNumber, "none");
    rec.Clear();
    Press(&query, id::DeleteAll);
    EXPECT_TRUE(rec.shown.isEmpty());
    EXPECT_EQ(host.book.insurance.GetSize(), 2);

    Find(id::ByHolder, "丂");
    rec.Answer(false);
    Press(&query, id::DeleteAll);
    EXPECT_EQ(rec.questions, QStringList{"确认删除所有保单?"});
    EXPECT_EQ(rec.defaultNo, rec.questions) << "Enter answers No";
    EXPECT_EQ(host.book.insurance.GetSize(), 2);
    Press(&query, id::DeleteAll);
    EXPECT_EQ(host.book.insurance.GetSize(), 0) << "every policy goes, not only the listed ones";
    EXPECT_EQ(list->GetItemCount(), 0);
}

TEST_F(QueryPage, EnterOnADeleteQuestionKeepsThePolicies) {
    EnterOnRealBoxes enter;
    list->SelectRow(0);
    Press(&query, id::DeleteOne);
    Press(&query, id::DeleteAll);
    EXPECT_EQ(enter.seen, 2);
    EXPECT_EQ(host.book.insurance.GetSize(), 3);
    EXPECT_EQ(list->GetItemCount(), 3);
}

TEST_F(QueryPage, ModifyOpensTheChosenPolicyOnTheEntryPage) {
    Press(&query, id::Modify);
    EXPECT_EQ(rec.Last(), "请选择修改对象!");
    EXPECT_TRUE(host.shown.empty());

    SelectRowsTwoAndOne();
    Press(&query, id::Modify);
    EXPECT_EQ(host.shown, std::vector<int>{ids::entry::Template});
    EXPECT_EQ(entry.GetMode(), CPolicyEntryPage::kModify);
    EXPECT_EQ(entry.CurrentIndex(), 1);
    EXPECT_EQ(TextOf(&entry, ids::entry::PolicyNo), "P2");

    // Either "P1" row opens the first "P1" in collection order.
    list->SelectRow(2);
    Press(&query, id::Modify);
    EXPECT_EQ(entry.CurrentIndex(), 0);

    // A policy removed elsewhere takes its row with it at once: nothing is
    // chosen any more, so nothing opens.
    query.show();
    list->SelectRow(1);
    host.book.insurance.RemoveAt(1);
    EXPECT_EQ(Numbers(), QStringList({"P1", "P1"}));
    EXPECT_EQ(list->GetFirstSelected(), -1);
    host.shown.clear();
    Press(&query, id::Modify);
    EXPECT_TRUE(host.shown.empty());
    EXPECT_EQ(rec.Last(), "请选择修改对象!");
}

TEST(QueryPageScale, HundredThousandPoliciesRefreshQuickly) {
    FakeHost host;
    for (int i = 0; i < 100000; ++i)
        host.book.insurance.Add(SamplePolicy(QString("P%1").arg(i), QString("客户%1").arg(i)));
    CPolicyQueryPage page(host.book.insurance, &host);
    page.show();
    QElapsedTimer t;
    t.start();
    page.RefreshResults();
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_EQ(FindCtl<CSkinListCtrl>(&page, id::List)->GetItemCount(), 100000);
}

} // namespace
