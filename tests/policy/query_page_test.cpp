#include "pages/policy/policy_entry_page.h"
#include "pages/policy/policy_query_page.h"
#include "policy_test_support.h"

#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QRadioButton>

using vantorel::TheBook;

namespace {

struct QueryPage : testing::Test {
    void SetUp() override {
        TheBook().insurance.RemoveAll();
        vantorel::PolicyRecord a = SamplePolicy("P1", "Zhang Wei", "王芳", "终身寿险", "2004/1-2");
        a.beneficiaries.push_back({});
        a.beneficiaries[0].name = ToGbk("赵六");
        vantorel::PolicyRecord b = SamplePolicy("P2", "李四", "Abc", "意外伤害", "2004/10-2");
        b.riders.push_back({});
        b.riders[0].productName = ToGbk("附加医疗");
        vantorel::PolicyRecord c = SamplePolicy("P1", "丂", "", "两全保险", "2005/1-2");
        for (auto* p : {&a, &b, &c}) TheBook().insurance.Add(*p);
        Make();
    }
    void Make() {
        query = std::make_unique<CPolicyQueryPage>(&host);
        entry = std::make_unique<CPolicyEntryPage>();
        host.pages = {{136, entry.get()}, {137, query.get()}};
        query->show();
        list = ListOf(query.get());
    }
    void Find(int option, const QString& text) {
        if (option) FindCtl<QRadioButton>(query.get(), option)->click();
        TypeInto(query.get(), 1122, text);
        Press(query.get(), 1124);
    }
    QStringList Numbers() const { return Column(list, 0); }
    QStringList Keys() const { return Column(list, 1); }

    FakeHost host;
    std::unique_ptr<CPolicyQueryPage> query;
    std::unique_ptr<CPolicyEntryPage> entry;
    CSkinListCtrl* list = nullptr;
    MessageRecorder rec;
};

TEST_F(QueryPage, OptionsMatchWhatTheyNameExactlyEnough) {
    EXPECT_EQ(Numbers(), QStringList({"P1", "P2", "P1"}));
    EXPECT_EQ(list->GetColumnCaption(1), "投保人姓名");
    Find(0, "whatever");
    EXPECT_EQ(Numbers().size(), 3);

    Find(1108, "p1");
    EXPECT_TRUE(Numbers().isEmpty());
    Find(1108, "P1 ");
    EXPECT_TRUE(Numbers().isEmpty());
    Find(1108, "P1");
    EXPECT_EQ(Numbers(), QStringList({"P1", "P1"}));

    Find(1110, "Zhang");
    EXPECT_EQ(Keys(), QStringList{"Zhang Wei"});
    Find(1110, "zhang");
    EXPECT_TRUE(Numbers().isEmpty());
    // "丂" is 81 40 in GBK: its trail byte must not pass for "@".
    Find(1110, "@");
    EXPECT_TRUE(Numbers().isEmpty());
    Find(1110, "丂");
    EXPECT_EQ(Keys(), QStringList{"丂"});

    Find(1120, "Ab");
    EXPECT_EQ(list->GetColumnCaption(1), "被保险人姓名");
    EXPECT_EQ(Keys(), QStringList{"Abc"});
    Find(1125, "保险");
    EXPECT_EQ(list->GetColumnCaption(1), "投保险种");
    EXPECT_EQ(Keys(), QStringList{"两全保险"});

    for (const char* date : {"2004-01-02", "2004-1-2", "2004/1/2", " 2004-01-02 "}) {
        Find(1135, date);
        EXPECT_EQ(Keys(), QStringList{"2004/1-2"}) << date;
    }
    Find(1135, "2004.1.2");
    EXPECT_TRUE(Numbers().isEmpty());

    Find(1137, "赵");
    EXPECT_EQ(list->GetColumnCaption(1), "匹配内容");
    EXPECT_EQ(Keys(), QStringList{"赵六"});
    Find(1137, "医疗");
    EXPECT_EQ(Keys(), QStringList{"附加医疗"});
    EXPECT_EQ(Numbers(), QStringList{"P2"});
    Find(1137, QString::fromUtf8("\xF0\x9F\x98\x80"));
    EXPECT_TRUE(Numbers().isEmpty());

    // An empty text with a text option lists everything.
    Find(1125, "");
    EXPECT_EQ(Numbers().size(), 3);

    // "显 示 所 有 保 单" clears the option, keeps the text.
    Find(1110, "李");
    EXPECT_EQ(Numbers(), QStringList{"P2"});
    Press(query.get(), 1150);
    EXPECT_FALSE(FindCtl<QRadioButton>(query.get(), 1110)->isChecked());
    EXPECT_EQ(TextOf(query.get(), 1122), "李");
    EXPECT_EQ(Numbers().size(), 3);
    EXPECT_EQ(list->GetColumnCaption(1), "投保人姓名");
}

TEST_F(QueryPage, DeleteActsOnTheFirstPolicyOfTheTopmostRow) {
    Press(query.get(), 1160);
    EXPECT_TRUE(rec.shown.isEmpty());

    // Rows 1 and 2 selected: row 1 (P2) goes; No first keeps it.
    list->selectionModel()->select(list->model()->index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->selectionModel()->select(list->model()->index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    rec.Answer(false);
    Press(query.get(), 1160);
    EXPECT_EQ(rec.questions, QStringList{"确认删除?"});
    EXPECT_EQ(TheBook().insurance.GetSize(), 3);
    Press(query.get(), 1160);
    EXPECT_EQ(Numbers(), QStringList({"P1", "P1"}));
    EXPECT_EQ(TheBook().insurance.GetSize(), 2);

    // The second "P1" row removes the first "P1" policy in collection order.
    list->SelectRow(1);
    Press(query.get(), 1160);
    ASSERT_EQ(TheBook().insurance.GetSize(), 1);
    EXPECT_EQ(FromGbk(TheBook().insurance.At(0).holder.name), "丂");
}

TEST_F(QueryPage, DeleteAllOnlyWhenTheListShowsRows) {
    Find(1108, "none");
    rec.Clear();
    Press(query.get(), 1161);
    EXPECT_TRUE(rec.shown.isEmpty());
    EXPECT_EQ(TheBook().insurance.GetSize(), 3);

    Find(1108, "P2");
    rec.Answer(false);
    Press(query.get(), 1161);
    EXPECT_EQ(rec.questions, QStringList{"确认删除所有保单?"});
    EXPECT_EQ(TheBook().insurance.GetSize(), 3);
    Press(query.get(), 1161);
    EXPECT_EQ(TheBook().insurance.GetSize(), 0) << "every policy goes, not only the listed ones";
    EXPECT_EQ(list->GetItemCount(), 0);
}

TEST_F(QueryPage, ModifyOpensTheChosenPolicyOnTheEntryPage) {
    Press(query.get(), 1149);
    EXPECT_EQ(rec.Last(), "请选择修改对象!");
    EXPECT_TRUE(host.shown.empty());

    list->selectionModel()->select(list->model()->index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->selectionModel()->select(list->model()->index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Press(query.get(), 1149);
    EXPECT_EQ(host.shown, std::vector<int>{136});
    EXPECT_FALSE(query->isVisible());
    EXPECT_EQ(entry->GetMode(), CPolicyEntryPage::kModify);
    EXPECT_EQ(entry->CurrentIndex(), 1);
    EXPECT_EQ(TextOf(entry.get(), 1040), "P2");
    ASSERT_EQ(entry->Riders().size(), 1u);

    // A change saved there shows on the next showing.
    rec.Clear();
    TypeInto(entry.get(), 1055, "李四四");
    Press(entry.get(), 1019);
    EXPECT_EQ(rec.questions, QStringList{"确认修改？"});
    query->OnShown();
    EXPECT_EQ(Keys(), QStringList({"Zhang Wei", "李四四", "丂"}));

    // Either "P1" row opens the first "P1" in collection order.
    list->SelectRow(2);
    Press(query.get(), 1149);
    EXPECT_EQ(entry->CurrentIndex(), 0);
    EXPECT_EQ(TextOf(entry.get(), 1055), "Zhang Wei");

    // A row whose policy has gone opens nothing and the list catches up.
    query->show();
    list->SelectRow(1);
    TheBook().insurance.RemoveAt(1);
    host.shown.clear();
    rec.Clear();
    Press(query.get(), 1149);
    EXPECT_TRUE(host.shown.empty());
    EXPECT_TRUE(rec.shown.isEmpty());
    EXPECT_EQ(Numbers(), QStringList({"P1", "P1"}));
}

TEST(QueryPageScale, HundredThousandPoliciesRefreshQuickly) {
    TheBook().insurance.RemoveAll();
    for (int i = 0; i < 100000; ++i)
        TheBook().insurance.Add(SamplePolicy(QString("P%1").arg(i, 6, 10, QChar('0')), QString("客户%1").arg(i),
                                             QString("被保%1").arg(i), "终身寿险", "2004/1-2"));
    FakeHost host;
    CPolicyQueryPage page(&host);
    page.show();
    QElapsedTimer t;
    t.start();
    page.RefreshResults();
    const qint64 all = t.elapsed();
    FindCtl<QRadioButton>(&page, 1110)->click();
    TypeInto(&page, 1122, "客户9999");
    t.restart();
    Press(&page, 1124);
    const qint64 filtered = t.elapsed();
    FindCtl<QRadioButton>(&page, 1137)->click();
    TypeInto(&page, 1122, "not there");
    t.restart();
    Press(&page, 1124);
    const qint64 anyField = t.elapsed();
    std::printf("refresh 100000 policies: all %lld ms, holder filter %lld ms, any-field miss %lld ms\n",
                static_cast<long long>(all), static_cast<long long>(filtered), static_cast<long long>(anyField));
    EXPECT_EQ(ListOf(&page)->GetItemCount(), 0);
    EXPECT_LT(all, 2000);
    TheBook().insurance.RemoveAll();
}

} // namespace
