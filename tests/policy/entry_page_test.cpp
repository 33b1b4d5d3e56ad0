#include "policy_test_support.h"
#include "pages/policy/policy_entry_page.h"
#include "resources/templates/beneficiary_ids.h"
#include "resources/templates/policy_entry_ids.h"
#include "resources/templates/rider_ids.h"

namespace id = ids::entry;

namespace {

const QString kDuplicate = "非常抱歉,数据库中已存在相同保单,请重新输入保险单号!";
const QString kEmptyNo = "保险单号不能为空！";
const QString kKeyChange = "您修改了保险单号,这是一个关键数据,你确认修改吗?";

struct EntryPage : testing::Test {
    void SetUp() override { page.show(); }
    // Opens the beneficiaries or riders dialog and adds one entry named `name`.
    void AddThroughDialog(int button, const QString& name) {
        PressWithDialog(&page, button, [&](QWidget* dlg) {
            TypeInto(dlg, button == id::Beneficiaries ? int(ids::beneficiary::Name) : int(ids::rider::PolicyNo), name);
            Press(dlg, ids::list_dialog::Add);
        });
    }
    // Types a number, presses "添加"/"修改" with the queued answers; returns the messages.
    QStringList Submit(const QString& no, std::initializer_list<bool> answers = {}) {
        rec.Clear();
        for (bool a : answers) rec.Answer(a);
        TypeInto(&page, id::PolicyNo, no);
        Press(&page, id::AddOrModify);
        return rec.shown;
    }
    vantorel::DataBook book;
    CPolicyEntryPage page{book.insurance};
    MessageRecorder rec;
};

TEST_F(EntryPage, AddRefusesDuplicateBeforeEmptyAndKeepsFormAndRiders) {
    EXPECT_EQ(Submit(""), QStringList{kEmptyNo});
    AddThroughDialog(id::Beneficiaries, "李四");
    AddThroughDialog(id::Riders, "R-1");
    EXPECT_TRUE(Submit("P-1").isEmpty()) << "an add confirms nothing";
    ASSERT_EQ(book.insurance.GetSize(), 1);
    EXPECT_EQ(book.insurance.GetAt(0).beneficiaries.size(), 1u);
    EXPECT_EQ(book.insurance.GetAt(0).riders.size(), 1u);

    // The form and the riders stay; the beneficiaries go.
    EXPECT_EQ(TextOf(&page, id::PolicyNo), "P-1");
    EXPECT_TRUE(page.Beneficiaries().empty());
    EXPECT_EQ(page.Riders().size(), 1u);
    EXPECT_EQ(Submit("P-1"), QStringList{kDuplicate});

    // A stored empty number makes an empty form a duplicate, not an empty number.
    book.insurance.Add(SamplePolicy("", "x"));
    EXPECT_EQ(Submit(""), QStringList{kDuplicate});

    // Text the data file cannot hold is refused by field, nothing stored.
    TypeInto(&page, id::insured::Name, QString::fromUtf8("王\xF0\x9F\x98\x80"));
    Submit("P-2");
    EXPECT_TRUE(rec.Last().contains("被保险人姓名"));
    EXPECT_EQ(book.insurance.GetSize(), 2);
}

TEST_F(EntryPage, LongTextsAreStoredWhole) {
    // Far beyond the 32 767 characters an edit keeps by default.
    const QString address = QString("北京市海淀区").repeated(7000).left(40000);
    const QString company = QString("x").repeated(40001);
    TypeInto(&page, id::holder::HomeAddress, address); // edit
    TypeInto(&page, id::Company, company);             // editable combo
    TypeInto(&page, id::Remarks, address);             // memo
    EXPECT_TRUE(Submit("LONG").isEmpty());
    ASSERT_EQ(book.insurance.GetSize(), 1);
    const vantorel::PolicyRecord& r = book.insurance.GetAt(0);
    EXPECT_EQ(FromGbk(r.holder.homeAddress), address);
    EXPECT_EQ(r.info.company.size(), 40001u);
    EXPECT_EQ(FromGbk(r.info.remarks), address);

    // Shown again as stored.
    page.ShowPolicy(r);
    EXPECT_EQ(TextOf(&page, id::holder::HomeAddress), address);
    EXPECT_EQ(TextOf(&page, id::Company), company);
}

TEST_F(EntryPage, AnAmountTooLargeForANumberIsRefusedByName) {
    const struct {
        int id;
        std::string typed;
        QString box;
    } cases[] = {{id::SumInsured, "1e999", "“保险金额”数值太大，请重新输入!"},
                 {id::AnnualPremium, "-2E400元", "“年缴保费”数值太大，请重新输入!"},
                 {id::Height, "1" + std::string(400, '0'), "“身高”数值太大，请重新输入!"},
                 {id::Weight, "9e9999", "“体重”数值太大，请重新输入!"}};
    for (const auto& c : cases) {
        TypeInto(&page, c.id, QString::fromStdString(c.typed));
        EXPECT_EQ(Submit("BIG"), QStringList{c.box}) << c.typed;
        EXPECT_EQ(book.insurance.GetSize(), 0);
        TypeInto(&page, c.id, "1.7e308"); // the largest the number holds is taken
    }
    EXPECT_TRUE(Submit("BIG").isEmpty());
    ASSERT_EQ(book.insurance.GetSize(), 1);
    EXPECT_DOUBLE_EQ(book.insurance.GetAt(0).insured.weight, 1.7e308);
}

// The caption of "添加"/"修改" and the stepping buttons follow the mode as it is
// set, on a page that has never been painted.
TEST(EntryPageMode, ControlsFollowTheModeWithoutAPaint) {
    vantorel::CInsurance policies;
    policies.Add(SamplePolicy("A", "a"));
    CPolicyEntryPage page{policies}; // never shown
    auto state = [&page] {
        return TextOf(&page, id::AddOrModify) + (FindCtl(&page, id::Previous)->isHidden() ? " -" : " <") +
               (FindCtl(&page, id::Next)->isHidden() ? "-" : ">");
    };
    EXPECT_EQ(state(), "添加 --");
    page.EditPolicy(0);
    EXPECT_EQ(state(), "修改 <>");
    EXPECT_EQ(TextOf(&page, id::PolicyNo), "A");
    page.EditPolicy(1); // no such policy: nothing changes
    EXPECT_EQ(page.CurrentIndex(), 0);
    page.OnSelected();
    EXPECT_EQ(state(), "添加 --");
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
    EXPECT_EQ(TextOf(&page, id::AddOrModify), "修改");
    const vantorel::PolicyRecord before = book.insurance.GetAt(1);
    TypeInto(&page, id::Remarks, "changed");
    EXPECT_EQ(Submit("B", {false}), QStringList{"确认修改？"});
    EXPECT_EQ(book.insurance.GetAt(1), before);
    Submit("B");
    EXPECT_EQ(book.insurance.GetAt(1).info.remarks, "changed");
    EXPECT_EQ(book.insurance.GetSize(), 3);

    EXPECT_EQ(Submit("C"), QStringList({kKeyChange, kDuplicate}));
    EXPECT_EQ(Submit("B2", {false}), QStringList{kKeyChange});
    EXPECT_EQ(book.insurance.GetAt(1).info.policyNo, "B");
    Submit("B2");
    EXPECT_EQ(book.insurance.GetAt(1).info.policyNo, "B2");
    EXPECT_EQ(Submit(""), QStringList{kEmptyNo});
    EXPECT_EQ(book.insurance.GetAt(1).info.policyNo, "B2");

    // A stale index (policies deleted meanwhile) is left alone.
    book.insurance.RemoveAt(2);
    book.insurance.RemoveAt(1);
    EXPECT_TRUE(Submit("Z").isEmpty());
    Press(&page, id::Previous);
    EXPECT_TRUE(rec.shown.isEmpty());
    EXPECT_EQ(book.insurance.GetSize(), 1);
}

TEST_F(ModifyMode, SteppingStopsAtBothEndsAndDropsEdits) {
    TypeInto(&page, id::holder::Name, "unsaved");
    for (auto [button, index, no] : {std::tuple{id::Next, 2, "C"},
                                     {id::Next, 2, "C"},
                                     {id::Previous, 1, "B"},
                                     {id::Previous, 0, "A"},
                                     {id::Previous, 0, "A"}}) {
        Press(&page, button);
        EXPECT_EQ(page.CurrentIndex(), index);
        EXPECT_EQ(TextOf(&page, id::PolicyNo), no);
    }
    EXPECT_EQ(book.insurance.GetAt(1).holder.name, "holder B");
}

TEST_F(ModifyMode, DatesRoundTripThroughTheForm) {
    vantorel::PolicyRecord p = SamplePolicy("D", "d", "", "", "2004/0-0");
    p.info.liabilityStartDate = "1-2";
    book.insurance.Add(p);
    Open(3);
    EXPECT_EQ(TextOf(&page, id::EffectiveYear), "2004");
    EXPECT_EQ(ListIndexOf(&page, id::EffectiveMonth), -1);
    EXPECT_EQ(ListIndexOf(&page, id::EffectiveDay), -1);
    EXPECT_EQ(TextOf(&page, id::LiabilityYear), "");
    EXPECT_EQ(TextOf(&page, id::LiabilityMonth), "01");
    EXPECT_EQ(TextOf(&page, id::LiabilityDay), "02");

    EXPECT_EQ(page.BuildPolicy().info.effectiveDate, "2004/0-0");
    EXPECT_EQ(page.BuildPolicy().info.liabilityStartDate, "/1-2");
}

TEST_F(ModifyMode, ChangedListsSaveTheWholeFormAtOnce) {
    PressWithDialog(&page, id::Beneficiaries, [](QWidget*) {});
    EXPECT_TRUE(rec.shown.isEmpty()) << "closing the dialog untouched asks nothing";

    TypeInto(&page, id::Remarks, "edited too");
    rec.Answer(false);
    AddThroughDialog(id::Beneficiaries, "甲");
    EXPECT_EQ(rec.questions, QStringList{"受益人被更改,是否保存?"});
    EXPECT_TRUE(page.Beneficiaries().empty());
    EXPECT_TRUE(book.insurance.GetAt(1).beneficiaries.empty());

    AddThroughDialog(id::Beneficiaries, "乙");
    EXPECT_EQ(book.insurance.GetAt(1).beneficiaries.size(), 1u);
    EXPECT_EQ(book.insurance.GetAt(1).info.remarks, "edited too");

    // A number another policy holds, or none, is refused; the list stays on the form.
    rec.Clear();
    TypeInto(&page, id::PolicyNo, "A");
    AddThroughDialog(id::Riders, "R1");
    EXPECT_EQ(rec.shown, QStringList({"附加险已被更改,是否保存?", kDuplicate}));
    TypeInto(&page, id::PolicyNo, "");
    AddThroughDialog(id::Riders, "R2");
    EXPECT_EQ(rec.Last(), kEmptyNo);
    EXPECT_EQ(page.Riders().size(), 2u);
    EXPECT_TRUE(book.insurance.GetAt(1).riders.empty());

    TypeInto(&page, id::PolicyNo, "B");
    AddThroughDialog(id::Riders, "R3");
    EXPECT_EQ(book.insurance.GetAt(1).riders.size(), 3u) << "its own number is fine";
}

TEST_F(ModifyMode, AnUnchangedNumberSharedWithAnotherPolicyIsNoDuplicate) {
    book.insurance.Add(SamplePolicy("B", "second B")); // an older file may hold a number twice
    Open(1);
    TypeInto(&page, id::Remarks, "note");
    AddThroughDialog(id::Beneficiaries, "甲");
    EXPECT_EQ(rec.shown, QStringList{"受益人被更改,是否保存?"});
    EXPECT_EQ(book.insurance.GetAt(1).beneficiaries.size(), 1u);
    EXPECT_EQ(book.insurance.GetAt(1).info.remarks, "note");

    EXPECT_EQ(Submit("B"), QStringList{"确认修改？"}); // the other path agrees
    rec.Clear();
    AddThroughDialog(id::Riders, "R");
    EXPECT_EQ(book.insurance.GetAt(1).riders.size(), 1u);

    // A changed number is still tested on both paths.
    rec.Clear();
    TypeInto(&page, id::PolicyNo, "C");
    AddThroughDialog(id::Beneficiaries, "乙");
    EXPECT_EQ(rec.shown, QStringList({"受益人被更改,是否保存?", kDuplicate}));
    EXPECT_EQ(Submit("C"), QStringList({kKeyChange, kDuplicate}));
    EXPECT_EQ(book.insurance.GetAt(1).beneficiaries.size(), 1u);
    EXPECT_EQ(book.insurance.GetAt(3).info.policyNo, "B");
}

} // namespace
