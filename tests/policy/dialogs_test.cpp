#include "pages/policy/beneficiary_dlg.h"
#include "pages/policy/policy_entry_page.h"
#include "pages/policy/rider_dlg.h"
#include "policy_test_support.h"

namespace {

void FillBeneficiary(QWidget* dlg, const QString& name, const QString& id, const QString& share) {
    TypeInto(dlg, 1049, name);
    TypeInto(dlg, 1040, id);
    TypeInto(dlg, 1058, share);
}

TEST(BeneficiaryDialog, AddChecksShareNameCountAndDuplicatesInOrder) {
    MessageRecorder rec;
    CBeneficiaryDlg dlg;
    dlg.show();
    EXPECT_EQ(dlg.objectName(), "177");
    EXPECT_FALSE(dlg.Changed());

    FillBeneficiary(&dlg, "甲", "", "100.5");
    Press(&dlg, 1148);
    EXPECT_EQ(rec.Last(), "受益份额错误!");
    FillBeneficiary(&dlg, "", "", "10");
    Press(&dlg, 1148);
    EXPECT_EQ(rec.Last(), "受益人姓名和身份证号不能为空!");
    EXPECT_TRUE(dlg.List().empty());
    EXPECT_FALSE(dlg.Changed());

    FillBeneficiary(&dlg, "甲", "", "100");
    ChooseIndex(&dlg, 1046, 4);
    TypeInto(&dlg, 1045, "1980");
    Press(&dlg, 1148);
    FillBeneficiary(&dlg, "", "ID-9", "50%");
    Press(&dlg, 1148);
    ASSERT_EQ(dlg.List().size(), 2u);
    EXPECT_TRUE(dlg.Changed());
    EXPECT_EQ(dlg.List()[0].share, 100);
    EXPECT_EQ(dlg.List()[0].birthDate, "1980/5-0");
    EXPECT_EQ(dlg.List()[0].sex, -1);
    EXPECT_EQ(dlg.List()[1].share, 50);

    rec.Clear();
    FillBeneficiary(&dlg, "甲", "", "1");
    Press(&dlg, 1148);
    EXPECT_EQ(rec.Last(), "已存在该受益人!");
    FillBeneficiary(&dlg, "甲", "ID-1", "1");
    Press(&dlg, 1148);
    EXPECT_EQ(dlg.List().size(), 3u);
    EXPECT_EQ(Column(ListOf(&dlg), 1), QStringList({"", "ID-9", "ID-1"}));

    for (int i = 3; i < 10; ++i) {
        FillBeneficiary(&dlg, QString("n%1").arg(i), "", "");
        Press(&dlg, 1148);
    }
    ASSERT_EQ(dlg.List().size(), 10u);
    rec.Clear();
    FillBeneficiary(&dlg, "第十一", "", "101");
    Press(&dlg, 1148);
    FillBeneficiary(&dlg, "", "", "");
    Press(&dlg, 1148);
    FillBeneficiary(&dlg, "甲", "", "");
    Press(&dlg, 1148);
    EXPECT_EQ(rec.shown, QStringList({"受益份额错误!", "受益人姓名和身份证号不能为空!", "不能多于十个受益人!"}));
    EXPECT_EQ(dlg.List().size(), 10u);
}

TEST(BeneficiaryDialog, ModifyAndDeleteWorkOnTheSelectedRow) {
    MessageRecorder rec;
    CBeneficiaryDlg dlg;
    vantorel::BeneficiaryRecord a, b;
    a.name = ToGbk("甲");
    a.share = 33.5;
    a.birthDate = "2004/0-0";
    b.name = ToGbk("乙");
    dlg.SetList({a, b});
    dlg.show();

    Press(&dlg, 1149);
    Press(&dlg, 1160);
    EXPECT_EQ(rec.shown, QStringList({"请在列表中选择一个对象!", "请在列表中选择一个对象!"}));

    CSkinListCtrl* list = ListOf(&dlg);
    DoubleClickRow(list, 0);
    EXPECT_EQ(TextOf(&dlg, 1049), "甲");
    EXPECT_EQ(TextOf(&dlg, 1058), "34");
    EXPECT_EQ(TextOf(&dlg, 1045), "2004");
    EXPECT_EQ(ListIndexOf(&dlg, 1046), -1);

    // Its own key again is fine; the share is stored as shown.
    rec.Clear();
    Press(&dlg, 1149);
    EXPECT_EQ(rec.questions, QStringList{"确认修改?"});
    EXPECT_EQ(dlg.List()[0].share, 34);
    EXPECT_EQ(dlg.List()[0].birthDate, "2004/0-0");
    EXPECT_TRUE(dlg.Changed());

    // The other entry's key is refused; No leaves the entry.
    list->SelectRow(0);
    TypeInto(&dlg, 1049, "乙");
    Press(&dlg, 1149);
    EXPECT_EQ(rec.Last(), "已存在该受益人!");
    TypeInto(&dlg, 1049, "丙");
    TypeInto(&dlg, 1058, "200");
    Press(&dlg, 1149);
    EXPECT_EQ(rec.Last(), "受益份额错误!");
    TypeInto(&dlg, 1058, "1");
    rec.Answer(false);
    Press(&dlg, 1149);
    EXPECT_EQ(FromGbk(dlg.List()[0].name), "甲");
    Press(&dlg, 1149);
    EXPECT_EQ(Column(list, 0), QStringList({"丙", "乙"}));

    list->SelectRow(1);
    rec.Clear();
    rec.Answer(false);
    Press(&dlg, 1160);
    EXPECT_EQ(rec.questions, QStringList{"确认删除?"});
    EXPECT_EQ(dlg.List().size(), 2u);
    list->SelectRow(1);
    Press(&dlg, 1160);
    EXPECT_EQ(dlg.List().size(), 1u);
    EXPECT_EQ(Column(list, 0), QStringList{"丙"});
}

TEST(RiderDialog, DefaultsLimitAndModifyInPlace) {
    MessageRecorder rec;
    CRiderDlg dlg;
    dlg.show();
    EXPECT_EQ(dlg.objectName(), "178");
    EXPECT_EQ(TextOf(&dlg, 1050), "0");
    EXPECT_EQ(TextOf(&dlg, 1051), "1");
    EXPECT_EQ(TextOf(&dlg, 1052), "0");
    EXPECT_EQ(TextOf(&dlg, 1054), "0");
    Press(&dlg, 1148);
    Press(&dlg, 1148);
    ASSERT_EQ(dlg.List().size(), 2u);
    EXPECT_EQ(dlg.List()[0], dlg.List()[1]);
    const vantorel::RiderRecord& r = dlg.List()[0];
    EXPECT_EQ(r.paymentYears, "0");
    EXPECT_EQ(r.coverageYears, "1");
    EXPECT_EQ(r.benefitMethod, "0");
    EXPECT_EQ(r.benefitAge, "0");
    EXPECT_EQ(r.effectiveDate, "2004/1-1");
    EXPECT_EQ(FromGbk(r.company), "Orlemont保险");

    TypeInto(&dlg, 1040, "R-2");
    TypeInto(&dlg, 1049, "意外险");
    TypeInto(&dlg, 1053, "3.5e2");
    CSkinListCtrl* list = ListOf(&dlg);
    list->SelectRow(1);
    Press(&dlg, 1149);
    EXPECT_EQ(rec.questions, QStringList{"确认修改?"});
    EXPECT_EQ(Column(list, 0), QStringList({"", "R-2"}));
    EXPECT_EQ(Column(list, 1), QStringList({"", "意外险"}));
    EXPECT_EQ(dlg.List()[1].annualPremium, 350);

    TypeInto(&dlg, 1040, "");
    DoubleClickRow(list, 1);
    EXPECT_EQ(TextOf(&dlg, 1040), "R-2");
    EXPECT_EQ(TextOf(&dlg, 1053), "350.000000");

    for (int i = 2; i < 10; ++i) Press(&dlg, 1148);
    rec.Clear();
    Press(&dlg, 1148);
    EXPECT_EQ(rec.shown, QStringList{"不能多于十个附加险!"});
    EXPECT_EQ(dlg.List().size(), 10u);

    list->SelectRow(-1);
    Press(&dlg, 1160);
    EXPECT_EQ(rec.Last(), "请在列表中选择一个对象!");
    list->SelectRow(0);
    Press(&dlg, 1160);
    EXPECT_EQ(dlg.List().size(), 9u);
}

TEST(PolicyDialogs, OpenModallyOnTheMainWindowCornerOverACopy) {
    vantorel::TheBook().insurance.RemoveAll();
    MessageRecorder rec;
    QWidget mainWindow;
    mainWindow.move(40, 30);
    auto* page = new CPolicyEntryPage(&mainWindow);
    mainWindow.show();
    for (int button : {1105, 1106}) {
        PressWithDialog(page, button, [&](QWidget* dlg) {
            EXPECT_EQ(dlg->pos(), mainWindow.pos());
            EXPECT_EQ(dlg->parentWidget(), &mainWindow);
        });
    }
    // Adding then deleting leaves the list as it was, but changed.
    PressWithDialog(page, 1105, [&](QWidget* dlg) {
        TypeInto(dlg, 1049, "甲");
        Press(dlg, 1148);
        ListOf(dlg)->SelectRow(0);
        Press(dlg, 1160);
    });
    EXPECT_TRUE(page->Beneficiaries().empty());
}

} // namespace
