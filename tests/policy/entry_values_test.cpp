// What a new user met on the entry page: numbers that are no numbers, values
// shown as they are stored, and the line that names what was stored.
#include "policy_test_support.h"
#include "pages/policy/beneficiary_dlg.h"
#include "pages/policy/policy_entry_page.h"
#include "resources/templates/beneficiary_ids.h"
#include "resources/templates/policy_entry_ids.h"
#include "resources/templates/rider_ids.h"

#include <QComboBox>
#include <QLabel>

namespace id = ids::entry;

namespace {

struct EntryValues : testing::Test {
    void SetUp() override { page.show(); }
    QStringList Submit(const QString& no) {
        rec.Clear();
        TypeInto(&page, id::PolicyNo, no);
        Press(&page, id::AddOrModify);
        return rec.shown;
    }
    vantorel::DataBook book;
    CPolicyEntryPage page{book.insurance};
    MessageRecorder rec;
};

TEST_F(EntryValues, ANumberFieldHoldsANumberOrIsRefusedByName) {
    const struct {
        int id;
        QString typed, box;
    } refused[] = {{id::SumInsured, "abc", "“保险金额”不是数字，请重新输入!"},
                   {id::AnnualPremium, "一千", "“年缴保费”不是数字，请重新输入!"},
                   {id::Height, "一七五", "“身高”不是数字，请重新输入!"},
                   {id::Weight, "60 公斤 左右", "“体重”不是数字，请重新输入!"},
                   {id::SumInsured, "12.5万美元", "“保险金额”不是数字，请重新输入!"}};
    for (const auto& c : refused) {
        TypeInto(&page, c.id, c.typed);
        EXPECT_EQ(Submit("P"), QStringList{c.box}) << c.typed.toStdString();
        EXPECT_EQ(book.insurance.GetSize(), 0);
        TypeInto(&page, c.id, "");
    }
    // Thousands separators and blanks do not count; a unit the field knows is read into its own.
    TypeInto(&page, id::AnnualPremium, " 12,800.50 元");
    TypeInto(&page, id::SumInsured, "20万元");
    TypeInto(&page, id::Height, "175cm");
    TypeInto(&page, id::Weight, "");
    EXPECT_TRUE(Submit("P1").isEmpty());
    TypeInto(&page, id::AnnualPremium, "1.5万");
    TypeInto(&page, id::SumInsured, "150000元");
    EXPECT_TRUE(Submit("P2").isEmpty());
    ASSERT_EQ(book.insurance.GetSize(), 2);
    const vantorel::PolicyRecord a = book.insurance.GetAt(0), b = book.insurance.GetAt(1);
    EXPECT_DOUBLE_EQ(a.info.annualPremium, 12800.5);
    EXPECT_DOUBLE_EQ(a.info.sumInsured, 20);
    EXPECT_DOUBLE_EQ(a.insured.height, 175);
    EXPECT_DOUBLE_EQ(a.insured.weight, 0); // empty is still 0
    EXPECT_DOUBLE_EQ(b.info.annualPremium, 15000);
    EXPECT_DOUBLE_EQ(b.info.sumInsured, 15);
}

TEST_F(EntryValues, StoredNumbersAndDatesShowAsTheyAreAndComeBackExactly) {
    vantorel::PolicyRecord p = SamplePolicy("A", "甲", "乙", "", "2004/5-9");
    p.info.sumInsured = 20;
    p.info.annualPremium = 12800.5;
    p.insured.height = 170.6;
    p.insured.weight = 0;
    book.insurance.Add(p);
    page.EditPolicy(0);
    EXPECT_EQ(TextOf(&page, id::SumInsured), "20");
    EXPECT_EQ(TextOf(&page, id::AnnualPremium), "12800.5");
    EXPECT_EQ(TextOf(&page, id::Height), "170.6");
    EXPECT_EQ(TextOf(&page, id::Weight), ""); // nothing was typed
    rec.Answer(true);
    Press(&page, id::AddOrModify); // modified without retyping
    const vantorel::PolicyRecord back = book.insurance.GetAt(0);
    EXPECT_EQ(back.info.annualPremium, 12800.5);
    EXPECT_EQ(back.insured.height, 170.6);
    EXPECT_EQ(back.info.effectiveDate, "2004/5-9"); // the stored text is not reformatted
}

TEST_F(EntryValues, TheLineUnderTheButtonsNamesWhatWasStoredAndFades) {
    // As tall as the main window's page area, which leaves room under the buttons.
    page.resize(page.width(), page.height() + 60);
    PressWithDialog(&page, id::Riders, [](QWidget* dlg) {
        TypeInto(dlg, ids::rider::PolicyNo, "R-1");
        Press(dlg, ids::list_dialog::Add);
    });
    EXPECT_TRUE(Submit("BD2025002").isEmpty()) << "no box: fast entry keeps its pace";
    QLabel* said = page.SaidLine();
    EXPECT_TRUE(said->isVisible());
    EXPECT_EQ(said->text(), "已添加保单 BD2025002（受益人 0 个，附加险 1 个）");
    // It stands under the buttons, inside the page.
    EXPECT_GT(said->geometry().top(), FindCtl(&page, id::AddOrModify)->geometry().bottom());
    EXPECT_LE(said->geometry().bottom(), page.height());
    // The riders stayed for the next policy, and the next line says so too.
    EXPECT_TRUE(Submit("BD2025003").isEmpty());
    EXPECT_EQ(said->text(), "已添加保单 BD2025003（受益人 0 个，附加险 1 个）");
    QTest::qWait(CPage::kSaidShownMs + CPage::kSaidFadeMs + 300);
    EXPECT_FALSE(said->isVisible());
}

TEST_F(EntryValues, TheRelationListsOfferTheSpouseAfterTheSelf) {
    CBeneficiaryDlg dlg;
    for (QComboBox* combo :
         {FindCtl<QComboBox>(&page, id::Relation), FindCtl<QComboBox>(&dlg, ids::beneficiary::Relation)}) {
        ASSERT_GE(combo->count(), 2);
        EXPECT_EQ(combo->itemText(0), "本人");
        EXPECT_EQ(combo->itemText(1), "配偶");
    }
}

TEST(BeneficiaryShare, ANegativeOrNonNumberShareIsRefused) {
    MessageRecorder rec;
    CBeneficiaryDlg dlg;
    dlg.show();
    for (const char* share : {"-5", "abc", "101", "五十"}) {
        rec.Clear();
        TypeInto(&dlg, ids::beneficiary::Name, "甲");
        TypeInto(&dlg, ids::beneficiary::Share, share);
        Press(&dlg, ids::list_dialog::Add);
        EXPECT_EQ(rec.shown, QStringList{"受益份额错误!"}) << share;
    }
    TypeInto(&dlg, ids::beneficiary::Share, "50%");
    Press(&dlg, ids::list_dialog::Add);
    ASSERT_EQ(dlg.List().size(), 1u);
    EXPECT_EQ(dlg.List()[0].share, 50);
}

} // namespace
