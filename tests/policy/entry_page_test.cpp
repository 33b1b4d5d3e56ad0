#include "pages/policy/policy_entry_page.h"
#include "policy_test_support.h"

#include <QPushButton>

using vantorel::TheBook;

namespace {

struct EntryPage : testing::Test {
    void SetUp() override {
        TheBook().insurance.RemoveAll();
        page.show();
    }
    CPolicyEntryPage page;
    MessageRecorder rec;
};

// Opens the riders dialog and adds one rider with the given number.
void AddRiderThroughDialog(CPolicyEntryPage& page, const QString& no) {
    PressWithDialog(&page, 1106, [&](QWidget* dlg) {
        TypeInto(dlg, 1040, no);
        Press(dlg, 1148);
    });
}

void AddBeneficiaryThroughDialog(CPolicyEntryPage& page, const QString& name) {
    PressWithDialog(&page, 1105, [&](QWidget* dlg) {
        TypeInto(dlg, 1049, name);
        Press(dlg, 1148);
    });
}

TEST_F(EntryPage, AddRefusesDuplicateBeforeEmptyAndKeepsFormAndRiders) {
    Press(&page, 1019);
    EXPECT_EQ(rec.Last(), "保险单号不能为空！");
    EXPECT_EQ(TheBook().insurance.GetSize(), 0);

    TypeInto(&page, 1040, "P-1");
    TypeInto(&page, 1055, "张三");
    TypeInto(&page, 1044, "12.5万");
    TypeInto(&page, 1102, "abc");
    AddBeneficiaryThroughDialog(page, "李四");
    AddRiderThroughDialog(page, "R-1");
    rec.Clear();
    Press(&page, 1019);
    EXPECT_TRUE(rec.shown.isEmpty()) << "an add confirms nothing";
    ASSERT_EQ(TheBook().insurance.GetSize(), 1);
    const vantorel::PolicyRecord& p = TheBook().insurance.At(0);
    EXPECT_EQ(p.info.policyNo, "P-1");
    EXPECT_EQ(FromGbk(p.holder.name), "张三");
    EXPECT_DOUBLE_EQ(p.info.sumInsured, 12.5);
    EXPECT_EQ(p.insured.height, 0);
    // Defaults of a fresh form.
    EXPECT_EQ(FromGbk(p.info.company), "Orlemont保险");
    EXPECT_EQ(FromGbk(p.info.paymentMethod), "年缴");
    EXPECT_EQ(p.info.coverageYears, "1");
    EXPECT_EQ(p.info.paymentYears, "");
    EXPECT_EQ(p.info.effectiveDate, "2004/1-1");
    EXPECT_EQ(p.holder.birthDate, "1977/1-1");
    EXPECT_EQ(p.holder.sex, -1);
    EXPECT_EQ(p.holder.maritalStatus, 0);
    EXPECT_EQ(FromGbk(p.insured.nation), "汉");
    EXPECT_EQ(FromGbk(p.insured.education), "本科");
    ASSERT_EQ(p.beneficiaries.size(), 1u);
    ASSERT_EQ(p.riders.size(), 1u);

    // The form and the riders stay; the beneficiaries go.
    EXPECT_EQ(TextOf(&page, 1040), "P-1");
    EXPECT_TRUE(page.Beneficiaries().empty());
    EXPECT_EQ(page.Riders().size(), 1u);
    Press(&page, 1019);
    EXPECT_EQ(rec.Last(), "非常抱歉,数据库中已存在相同保单,请重新输入保险单号!");
    EXPECT_EQ(TheBook().insurance.GetSize(), 1);

    // A stored empty number makes an empty form a duplicate, not an empty number.
    TheBook().insurance.Add(SamplePolicy("", "x"));
    TypeInto(&page, 1040, "");
    Press(&page, 1019);
    EXPECT_EQ(rec.Last(), "非常抱歉,数据库中已存在相同保单,请重新输入保险单号!");

    // Text the data file cannot hold is refused by field, nothing stored.
    TypeInto(&page, 1040, "P-2");
    TypeInto(&page, 1075, QString::fromUtf8("王\xF0\x9F\x98\x80"));
    Press(&page, 1019);
    EXPECT_TRUE(rec.Last().contains("被保险人姓名"));
    EXPECT_EQ(TheBook().insurance.GetSize(), 2);
}

TEST_F(EntryPage, ModeDrivesCaptionAndStepButtons) {
    EXPECT_EQ(TextOf(&page, 1019), "添加");
    EXPECT_FALSE(FindCtl(&page, 1021)->isVisible());
    page.SetMode(CPolicyEntryPage::kModify);
    EXPECT_EQ(TextOf(&page, 1019), "修改");
    EXPECT_TRUE(FindCtl(&page, 1021)->isVisible());
    EXPECT_TRUE(FindCtl(&page, 1022)->isVisible());
    EXPECT_EQ(FindCtl<QPushButton>(&page, 1019)->palette().color(QPalette::ButtonText), QColor(0, 0, 255));

    AddBeneficiaryThroughDialog(page, "甲"); // no stored policy: index -1, nothing saved
    page.OnSelected();
    EXPECT_EQ(TextOf(&page, 1019), "添加");
    EXPECT_FALSE(FindCtl(&page, 1022)->isVisible());
    EXPECT_TRUE(page.Beneficiaries().empty());
    rec.Clear();

    // Any other mode: the button does nothing.
    page.SetMode(0);
    TypeInto(&page, 1040, "N");
    Press(&page, 1019);
    EXPECT_EQ(TheBook().insurance.GetSize(), 0);
    EXPECT_TRUE(rec.shown.isEmpty());
}

struct ModifyMode : EntryPage {
    void SetUp() override {
        EntryPage::SetUp();
        for (const char* no : {"A", "B", "C"}) TheBook().insurance.Add(SamplePolicy(no, QString("holder ") + no));
        Open(1);
    }
    void Open(int index) {
        page.SetMode(CPolicyEntryPage::kModify);
        page.SetCurrentIndex(index);
        page.ShowPolicy(TheBook().insurance.GetAt(index));
    }
};

TEST_F(ModifyMode, QuestionsGuardTheStoredPolicy) {
    const vantorel::PolicyRecord before = TheBook().insurance.GetAt(1);
    TypeInto(&page, 1042, "changed");
    rec.Answer(false);
    Press(&page, 1019);
    EXPECT_EQ(rec.questions, QStringList{"确认修改？"});
    EXPECT_EQ(TheBook().insurance.At(1), before);

    Press(&page, 1019);
    EXPECT_EQ(TheBook().insurance.At(1).info.remarks, "changed");
    EXPECT_EQ(TheBook().insurance.GetSize(), 3);

    // Another policy's number: the key question, then the refusal.
    rec.Clear();
    TypeInto(&page, 1040, "C");
    Press(&page, 1019);
    EXPECT_EQ(rec.shown, QStringList({"您修改了保险单号,这是一个关键数据,你确认修改吗?",
                                      "非常抱歉,数据库中已存在相同保单,请重新输入保险单号!"}));
    EXPECT_EQ(TheBook().insurance.At(1).info.policyNo, "B");

    rec.Clear();
    rec.Answer(false);
    TypeInto(&page, 1040, "B2");
    Press(&page, 1019);
    EXPECT_EQ(rec.shown, QStringList{"您修改了保险单号,这是一个关键数据,你确认修改吗?"});
    EXPECT_EQ(TheBook().insurance.At(1).info.policyNo, "B");
    Press(&page, 1019);
    EXPECT_EQ(TheBook().insurance.At(1).info.policyNo, "B2");

    rec.Clear();
    TypeInto(&page, 1040, "");
    Press(&page, 1019);
    EXPECT_EQ(rec.shown, QStringList{"保险单号不能为空！"});
    EXPECT_EQ(TheBook().insurance.At(1).info.policyNo, "B2");

    // A stale index (policies deleted meanwhile) is left alone.
    TheBook().insurance.RemoveAt(2);
    TheBook().insurance.RemoveAt(1);
    TypeInto(&page, 1040, "Z");
    rec.Clear();
    Press(&page, 1019);
    Press(&page, 1021);
    EXPECT_TRUE(rec.shown.isEmpty());
    EXPECT_EQ(TheBook().insurance.GetSize(), 1);
}

TEST_F(ModifyMode, SteppingStopsAtBothEndsAndDropsEdits) {
    TypeInto(&page, 1055, "unsaved");
    Press(&page, 1022);
    EXPECT_EQ(page.CurrentIndex(), 2);
    EXPECT_EQ(TextOf(&page, 1040), "C");
    Press(&page, 1022);
    EXPECT_EQ(page.CurrentIndex(), 2);
    Press(&page, 1021);
    Press(&page, 1021);
    Press(&page, 1021);
    EXPECT_EQ(page.CurrentIndex(), 0);
    EXPECT_EQ(TextOf(&page, 1040), "A");
    EXPECT_EQ(TheBook().insurance.At(1).holder.name, "holder B");
}

TEST_F(ModifyMode, DatesAndAmountsRoundTripThroughTheForm) {
    vantorel::PolicyRecord p = SamplePolicy("D", "d", "", "", "2004/0-0");
    p.info.liabilityStartDate = "1-2";
    p.holder.birthDate = "/5-29";
    p.info.sumInsured = 12.5;
    p.insured.height = 170.6;
    p.info.paymentYears = "1";
    TheBook().insurance.Add(p);
    Open(3);
    EXPECT_EQ(TextOf(&page, 1045), "2004");
    EXPECT_EQ(ListIndexOf(&page, 1046), -1);
    EXPECT_EQ(ListIndexOf(&page, 1047), -1);
    EXPECT_EQ(TextOf(&page, 1059), "");
    EXPECT_EQ(TextOf(&page, 1060), "01");
    EXPECT_EQ(TextOf(&page, 1061), "02");
    EXPECT_EQ(TextOf(&page, 1064), "");
    EXPECT_EQ(TextOf(&page, 1065), "05");
    EXPECT_EQ(TextOf(&page, 1044), "12.500000");
    EXPECT_EQ(TextOf(&page, 1102), "171");
    EXPECT_EQ(TextOf(&page, 1050), "1");
    EXPECT_EQ(ListIndexOf(&page, 1050), -1) << "no preset equals \"1\"";

    const vantorel::PolicyRecord built = page.BuildPolicy();
    EXPECT_EQ(built.info.effectiveDate, "2004/0-0");
    EXPECT_EQ(built.info.liabilityStartDate, "/1-2");
    EXPECT_EQ(built.holder.birthDate, "/5-29");
    EXPECT_EQ(built.info.paymentYears, "1");
    EXPECT_DOUBLE_EQ(built.insured.height, 171);
}

TEST_F(ModifyMode, ChangedListsSaveTheWholeFormAtOnce) {
    // Closing the dialog untouched asks nothing.
    PressWithDialog(&page, 1105, [](QWidget*) {});
    EXPECT_TRUE(rec.shown.isEmpty());

    TypeInto(&page, 1042, "edited too");
    rec.Answer(false);
    AddBeneficiaryThroughDialog(page, "甲");
    EXPECT_EQ(rec.questions, QStringList{"受益人被更改,是否保存?"});
    EXPECT_TRUE(page.Beneficiaries().empty());
    EXPECT_TRUE(TheBook().insurance.At(1).beneficiaries.empty());

    AddBeneficiaryThroughDialog(page, "乙");
    const vantorel::PolicyRecord& saved = TheBook().insurance.At(1);
    ASSERT_EQ(saved.beneficiaries.size(), 1u);
    EXPECT_EQ(FromGbk(saved.beneficiaries[0].name), "乙");
    EXPECT_EQ(saved.info.remarks, "edited too");

    // A number another policy holds, or none, is refused; the list stays on the form.
    rec.Clear();
    TypeInto(&page, 1040, "A");
    AddRiderThroughDialog(page, "R1");
    EXPECT_EQ(rec.shown, QStringList({"附加险已被更改,是否保存?",
                                      "非常抱歉,数据库中已存在相同保单,请重新输入保险单号!"}));
    EXPECT_EQ(page.Riders().size(), 1u);
    EXPECT_TRUE(TheBook().insurance.At(1).riders.empty());
    rec.Clear();
    TypeInto(&page, 1040, "");
    AddRiderThroughDialog(page, "R2");
    EXPECT_EQ(rec.Last(), "保险单号不能为空！");
    EXPECT_EQ(page.Riders().size(), 2u);
    EXPECT_EQ(TheBook().insurance.At(1).info.policyNo, "B");

    // Its own number is fine.
    TypeInto(&page, 1040, "B");
    AddRiderThroughDialog(page, "R3");
    EXPECT_EQ(TheBook().insurance.At(1).riders.size(), 3u);
}

} // namespace
