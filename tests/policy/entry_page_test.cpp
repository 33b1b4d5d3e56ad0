#include "pages/policy/policy_entry_page.h"
#include "policy_test_support.h"

namespace {

const QString kDuplicate = "非常抱歉,数据库中已存在相同保单,请重新输入保险单号!";
const QString kEmptyNo = "保险单号不能为空！";
const QString kKeyChange = "您修改了保险单号,这是一个关键数据,你确认修改吗?";

struct EntryPage : testing::Test {
    void SetUp() override { page.show(); }
    // Opens the beneficiaries (1105) or riders (1106) dialog and adds one entry named `name`.
    void AddThroughDialog(int button, const QString& name) {
        PressWithDialog(&page, button, [&](QWidget* dlg) {
            TypeInto(dlg, button == 1105 ? 1049 : 1040, name);
            Press(dlg, 1148);
        });
    }
    // Types a number, presses "添加"/"修改" with the queued answers; returns the messages.
    QStringList Submit(const QString& no, std::initializer_list<bool> answers = {}) {
        rec.Clear();
        for (bool a : answers) rec.Answer(a);
        TypeInto(&page, 1040, no);
        Press(&page, 1019);
        return rec.shown;
    }
    vantorel::DataBook book;
    CPolicyEntryPage page{book.insurance};
    MessageRecorder rec;
};

TEST_F(EntryPage, AddRefusesDuplicateBeforeEmptyAndKeepsFormAndRiders) {
    EXPECT_EQ(Submit(""), QStringList{kEmptyNo});
    AddThroughDialog(1105, "李四");
    AddThroughDialog(1106, "R-1");
    EXPECT_TRUE(Submit("P-1").isEmpty()) << "an add confirms nothing";
    ASSERT_EQ(book.insurance.GetSize(), 1);
    EXPECT_EQ(book.insurance.At(0).beneficiaries.size(), 1u);
    EXPECT_EQ(book.insurance.At(0).riders.size(), 1u);

    // The form and the riders stay; the beneficiaries go.
    EXPECT_EQ(TextOf(&page, 1040), "P-1");
    EXPECT_TRUE(page.Beneficiaries().empty());
    EXPECT_EQ(page.Riders().size(), 1u);
    EXPECT_EQ(Submit("P-1"), QStringList{kDuplicate});

    // A stored empty number makes an empty form a duplicate, not an empty number.
    book.insurance.Add(SamplePolicy("", "x"));
    EXPECT_EQ(Submit(""), QStringList{kDuplicate});

    // Text the data file cannot hold is refused by field, nothing stored.
    TypeInto(&page, 1075, QString::fromUtf8("王\xF0\x9F\x98\x80"));
    Submit("P-2");
    EXPECT_TRUE(rec.Last().contains("被保险人姓名"));
    EXPECT_EQ(book.insurance.GetSize(), 2);
}

TEST_F(EntryPage, LongTextsAreStoredWhole) {
    // Far beyond the 32 767 characters an edit keeps by default.
    const QString address = QString("北京市海淀区").repeated(7000).left(40000);
    const QString company = QString("x").repeated(40001);
    TypeInto(&page, 1069, address); // edit
    TypeInto(&page, 1041, company); // editable combo
    TypeInto(&page, 1042, address); // memo
    EXPECT_TRUE(Submit("LONG").isEmpty());
    ASSERT_EQ(book.insurance.GetSize(), 1);
    const vantorel::PolicyRecord& r = book.insurance.At(0);
    EXPECT_EQ(FromGbk(r.holder.homeAddress), address);
    EXPECT_EQ(r.info.company.size(), 40001u);
    EXPECT_EQ(FromGbk(r.info.remarks), address);

    // Shown again as stored.
    page.ShowPolicy(r);
    EXPECT_EQ(TextOf(&page, 1069), address);
    EXPECT_EQ(TextOf(&page, 1041), company);
}

TEST_F(EntryPage, AnAmountTooLargeForANumberIsRefusedByName) {
    const struct {
        int id;
        std::string typed;
        QString box;
    } cases[] = {{1044, "1e999", "“保险金额”数值太大，请重新输入!"},
                 {1053, "-2E400元", "“年缴保费”数值太大，请重新输入!"},
                 {1102, "1" + std::string(400, '0'), "“身高”数值太大，请重新输入!"},
                 {1103, "9e9999", "“体重”数值太大，请重新输入!"}};
    for (const auto& c : cases) {
        TypeInto(&page, c.id, QString::fromStdString(c.typed));
        EXPECT_EQ(Submit("BIG"), QStringList{c.box}) << c.typed;
        EXPECT_EQ(book.insurance.GetSize(), 0);
        TypeInto(&page, c.id, "1.7e308"); // the largest the number holds is taken
    }
    EXPECT_TRUE(Submit("BIG").isEmpty());
    ASSERT_EQ(book.insurance.GetSize(), 1);
    EXPECT_DOUBLE_EQ(book.insurance.At(0).insured.weight, 1.7e308);
}

struct ModifyMode : EntryPage {
    void SetUp() override {
        EntryPage::SetUp();
        for (const char* no : {"A", "B", "C"}) book.insurance.Add(SamplePolicy(no, QString("holder ") + no));
        Open(1);
    }
    void Open(int index) {
        page.SetMode(CPolicyEntryPage::kModify);
        page.SetCurrentIndex(index);
        page.ShowPolicy(book.insurance.GetAt(index));
    }
};

TEST_F(ModifyMode, QuestionsGuardTheStoredPolicy) {
    EXPECT_EQ(TextOf(&page, 1019), "修改");
    const vantorel::PolicyRecord before = book.insurance.GetAt(1);
    TypeInto(&page, 1042, "changed");
    EXPECT_EQ(Submit("B", {false}), QStringList{"确认修改？"});
    EXPECT_EQ(book.insurance.At(1), before);
    Submit("B");
    EXPECT_EQ(book.insurance.At(1).info.remarks, "changed");
    EXPECT_EQ(book.insurance.GetSize(), 3);

    EXPECT_EQ(Submit("C"), QStringList({kKeyChange, kDuplicate}));
    EXPECT_EQ(Submit("B2", {false}), QStringList{kKeyChange});
    EXPECT_EQ(book.insurance.At(1).info.policyNo, "B");
    Submit("B2");
    EXPECT_EQ(book.insurance.At(1).info.policyNo, "B2");
    EXPECT_EQ(Submit(""), QStringList{kEmptyNo});
    EXPECT_EQ(book.insurance.At(1).info.policyNo, "B2");

    // A stale index (policies deleted meanwhile) is left alone.
    book.insurance.RemoveAt(2);
    book.insurance.RemoveAt(1);
    EXPECT_TRUE(Submit("Z").isEmpty());
    Press(&page, 1021);
    EXPECT_TRUE(rec.shown.isEmpty());
    EXPECT_EQ(book.insurance.GetSize(), 1);
}

TEST_F(ModifyMode, SteppingStopsAtBothEndsAndDropsEdits) {
    TypeInto(&page, 1055, "unsaved");
    for (auto [button, index, no] : {std::tuple{1022, 2, "C"}, {1022, 2, "C"}, {1021, 1, "B"}, {1021, 0, "A"},
                                     {1021, 0, "A"}}) {
        Press(&page, button);
        EXPECT_EQ(page.CurrentIndex(), index);
        EXPECT_EQ(TextOf(&page, 1040), no);
    }
    EXPECT_EQ(book.insurance.At(1).holder.name, "holder B");
}

TEST_F(ModifyMode, DatesRoundTripThroughTheForm) {
    vantorel::PolicyRecord p = SamplePolicy("D", "d", "", "", "2004/0-0");
    p.info.liabilityStartDate = "1-2";
    book.insurance.Add(p);
    Open(3);
    EXPECT_EQ(TextOf(&page, 1045), "2004");
    EXPECT_EQ(ListIndexOf(&page, 1046), -1);
    EXPECT_EQ(ListIndexOf(&page, 1047), -1);
    EXPECT_EQ(TextOf(&page, 1059), "");
    EXPECT_EQ(TextOf(&page, 1060), "01");
    EXPECT_EQ(TextOf(&page, 1061), "02");

    EXPECT_EQ(page.BuildPolicy().info.effectiveDate, "2004/0-0");
    EXPECT_EQ(page.BuildPolicy().info.liabilityStartDate, "/1-2");
}

TEST_F(ModifyMode, ChangedListsSaveTheWholeFormAtOnce) {
    PressWithDialog(&page, 1105, [](QWidget*) {});
    EXPECT_TRUE(rec.shown.isEmpty()) << "closing the dialog untouched asks nothing";

    TypeInto(&page, 1042, "edited too");
    rec.Answer(false);
    AddThroughDialog(1105, "甲");
    EXPECT_EQ(rec.questions, QStringList{"受益人被更改,是否保存?"});
    EXPECT_TRUE(page.Beneficiaries().empty());
    EXPECT_TRUE(book.insurance.At(1).beneficiaries.empty());

    AddThroughDialog(1105, "乙");
    EXPECT_EQ(book.insurance.At(1).beneficiaries.size(), 1u);
    EXPECT_EQ(book.insurance.At(1).info.remarks, "edited too");

    // A number another policy holds, or none, is refused; the list stays on the form.
    rec.Clear();
    TypeInto(&page, 1040, "A");
    AddThroughDialog(1106, "R1");
    EXPECT_EQ(rec.shown, QStringList({"附加险已被更改,是否保存?", kDuplicate}));
    TypeInto(&page, 1040, "");
    AddThroughDialog(1106, "R2");
    EXPECT_EQ(rec.Last(), kEmptyNo);
    EXPECT_EQ(page.Riders().size(), 2u);
    EXPECT_TRUE(book.insurance.At(1).riders.empty());

    TypeInto(&page, 1040, "B");
    AddThroughDialog(1106, "R3");
    EXPECT_EQ(book.insurance.At(1).riders.size(), 3u) << "its own number is fine";
}

TEST_F(ModifyMode, AnUnchangedNumberSharedWithAnotherPolicyIsNoDuplicate) {
    book.insurance.Add(SamplePolicy("B", "second B")); // an older file may hold a number twice
    Open(1);
    TypeInto(&page, 1042, "note");
    AddThroughDialog(1105, "甲");
    EXPECT_EQ(rec.shown, QStringList{"受益人被更改,是否保存?"});
    EXPECT_EQ(book.insurance.At(1).beneficiaries.size(), 1u);
    EXPECT_EQ(book.insurance.At(1).info.remarks, "note");

    EXPECT_EQ(Submit("B"), QStringList{"确认修改？"}); // the other path agrees
    rec.Clear();
    AddThroughDialog(1106, "R");
    EXPECT_EQ(book.insurance.At(1).riders.size(), 1u);

    // A changed number is still tested on both paths.
    rec.Clear();
    TypeInto(&page, 1040, "C");
    AddThroughDialog(1105, "乙");
    EXPECT_EQ(rec.shown, QStringList({"受益人被更改,是否保存?", kDuplicate}));
    EXPECT_EQ(Submit("C"), QStringList({kKeyChange, kDuplicate}));
    EXPECT_EQ(book.insurance.At(1).beneficiaries.size(), 1u);
    EXPECT_EQ(book.insurance.At(3).info.policyNo, "B");
}

} // namespace
