#include "pages/policy/beneficiary_dlg.h"
#include "pages/policy/policy_entry_page.h"
#include "pages/policy/rider_dlg.h"
#include "policy_test_support.h"

#include <QWindow>

namespace {

// Fills the beneficiary form, presses `button` and returns the last message.
QString Submit(QWidget* dlg, MessageRecorder& rec, int button, const QString& name, const QString& id,
               const QString& share) {
    rec.Clear();
    TypeInto(dlg, 1049, name);
    TypeInto(dlg, 1040, id);
    TypeInto(dlg, 1058, share);
    Press(dlg, button);
    return rec.Last();
}

TEST(BeneficiaryDialog, AddChecksShareNameCountAndDuplicatesInOrder) {
    MessageRecorder rec;
    CBeneficiaryDlg dlg;
    dlg.show();
    EXPECT_EQ(Submit(&dlg, rec, 1148, "甲", "", "100.5"), "受益份额错误!");
    EXPECT_EQ(Submit(&dlg, rec, 1148, "甲", "", "1e999"), "受益份额错误!");  // too large for a number
    EXPECT_EQ(Submit(&dlg, rec, 1148, "甲", "", "-1e999"), "受益份额错误!"); // nor a share either way
    EXPECT_EQ(Submit(&dlg, rec, 1148, "", "", "10"), "受益人姓名和身份证号不能为空!");
    EXPECT_FALSE(dlg.Changed());
    EXPECT_EQ(Submit(&dlg, rec, 1148, "甲", "", "100"), "");
    EXPECT_EQ(Submit(&dlg, rec, 1148, "", "ID-9", "50%"), "");
    ASSERT_EQ(dlg.List().size(), 2u);
    EXPECT_TRUE(dlg.Changed());
    EXPECT_EQ(dlg.List()[0].share, 100);
    EXPECT_EQ(dlg.List()[1].share, 50);

    EXPECT_EQ(Submit(&dlg, rec, 1148, "甲", "", "1"), "已存在该受益人!");
    EXPECT_EQ(Submit(&dlg, rec, 1148, "甲", "ID-1", "1"), "");

    for (int i = 3; i < 10; ++i) Submit(&dlg, rec, 1148, QString("n%1").arg(i), "", "");
    ASSERT_EQ(dlg.List().size(), 10u) << "the tenth is taken";
    // The eleventh: share and name are tested before the count.
    EXPECT_EQ(Submit(&dlg, rec, 1148, "第十一", "", "101"), "受益份额错误!");
    EXPECT_EQ(Submit(&dlg, rec, 1148, "", "", ""), "受益人姓名和身份证号不能为空!");
    EXPECT_EQ(Submit(&dlg, rec, 1148, "甲", "", ""), "不能多于十个受益人!");
    EXPECT_EQ(dlg.List().size(), 10u);
}

TEST(BeneficiaryDialog, ModifyTestsTheEntryAgainstTheOthers) {
    MessageRecorder rec;
    CBeneficiaryDlg dlg;
    vantorel::BeneficiaryRecord a, b;
    a.name = ToGbk("甲");
    a.share = 33.5;
    a.birthDate = "2004/0-0";
    b.name = ToGbk("乙");
    dlg.SetList({a, b});
    dlg.show();
    DoubleClickRow(ListOf(&dlg), 0);
    EXPECT_EQ(TextOf(&dlg, 1058), "34");
    EXPECT_EQ(TextOf(&dlg, 1045), "2004");
    EXPECT_EQ(ListIndexOf(&dlg, 1046), -1);
    // Its own key again is fine; the share is stored as shown.
    EXPECT_EQ(Submit(&dlg, rec, 1149, "甲", "", "34"), "确认修改?");
    EXPECT_EQ(dlg.List()[0].share, 34);
    EXPECT_EQ(dlg.List()[0].birthDate, "2004/0-0");

    ListOf(&dlg)->SelectRow(0);
    EXPECT_EQ(Submit(&dlg, rec, 1149, "乙", "", "1"), "已存在该受益人!");
    EXPECT_EQ(Submit(&dlg, rec, 1149, "丙", "", "200"), "受益份额错误!");
    EXPECT_EQ(Submit(&dlg, rec, 1149, "", "", "1"), "受益人姓名和身份证号不能为空!");
    EXPECT_EQ(FromGbk(dlg.List()[0].name), "甲");
}

TEST(RiderDialog, DefaultsAndTenAtMost) {
    MessageRecorder rec;
    CRiderDlg dlg;
    dlg.show();
    for (int i = 0; i < 10; ++i) Press(&dlg, 1148);
    ASSERT_EQ(dlg.List().size(), 10u);
    const vantorel::RiderRecord& r = dlg.List()[0];
    EXPECT_EQ(std::vector<std::string>({r.paymentYears, r.coverageYears, r.benefitMethod, r.benefitAge,
                                        r.effectiveDate, FromGbk(r.company).toStdString()}),
              std::vector<std::string>({"0", "1", "0", "0", "2004/1-1", "Orlemont保险"}));
    Press(&dlg, 1148);
    EXPECT_EQ(rec.shown, QStringList{"不能多于十个附加险!"});
    EXPECT_EQ(dlg.List().size(), 10u);
}

TEST(RiderDialog, AnAmountTooLargeIsRefusedByName) {
    MessageRecorder rec;
    CRiderDlg dlg;
    dlg.show();
    TypeInto(&dlg, 1044, "1e999");
    Press(&dlg, 1148);
    EXPECT_EQ(rec.shown, QStringList{"“保险金额”数值太大，请重新输入!"});
    EXPECT_TRUE(dlg.List().empty());
    TypeInto(&dlg, 1044, "12.5万");
    Press(&dlg, 1148);
    ASSERT_EQ(dlg.List().size(), 1u);
    ListOf(&dlg)->SelectRow(0);
    TypeInto(&dlg, 1053, "3e308");
    Press(&dlg, 1149);
    EXPECT_EQ(rec.Last(), "“年缴保费”数值太大，请重新输入!");
    EXPECT_EQ(dlg.List()[0].annualPremium, 0);
    EXPECT_EQ(dlg.List()[0].sumInsured, 12.5);
}

// Both dialogs, opened from the entry page: placement, caption, and the
// choose, modify, delete and double-click steps over their working copy.
TEST(PolicyDialogs, EditTheirListOnTheMainWindowCorner) {
    MessageRecorder rec;
    QWidget mainWindow;
    mainWindow.move(40, 30);
    vantorel::CInsurance policies;
    auto* page = new CPolicyEntryPage(policies, &mainWindow);
    mainWindow.show();
    // {button, title, the control shown in the list's first column}
    for (auto [button, title, key] : {std::tuple{1105, "受益人", 1049}, {1106, "附加险", 1040}}) {
        PressWithDialog(page, button, [&, key = key, title = title](QWidget* dlg) {
            EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8(title)); // the frame draws it spaced
            EXPECT_EQ(static_cast<CXpDialog*>(dlg)->Caption(), SpacedCaption(QString::fromUtf8(title)));
            EXPECT_EQ(dlg->pos(), mainWindow.pos());
            EXPECT_EQ(dlg->parentWidget(), &mainWindow);
            // Transient for the main window: above it, no task-bar entry of its own.
            EXPECT_EQ(dlg->windowType(), Qt::Dialog);
            EXPECT_EQ(dlg->windowHandle()->transientParent(), mainWindow.windowHandle());
            rec.Clear();
            Press(dlg, 1149);
            Press(dlg, 1160);
            EXPECT_EQ(rec.shown, QStringList({"请在列表中选择一个对象!", "请在列表中选择一个对象!"}));
            for (const char* name : {"甲", "乙", "丙"}) {
                TypeInto(dlg, key, name);
                Press(dlg, 1148);
            }
            CSkinListCtrl* list = ListOf(dlg);
            list->SelectRow(1);
            rec.Answer(false);
            Press(dlg, 1160);
            EXPECT_EQ(rec.questions, QStringList{"确认删除?"});
            Press(dlg, 1160);
            EXPECT_EQ(Column(list, 0), QStringList({"甲", "丙"}));

            list->SelectRow(0);
            TypeInto(dlg, key, "丁");
            rec.Answer(false);
            Press(dlg, 1149);
            EXPECT_EQ(Column(list, 0), QStringList({"甲", "丙"})) << "No leaves the entry";
            Press(dlg, 1149);
            EXPECT_EQ(Column(list, 0), QStringList({"丁", "丙"}));
            EXPECT_EQ(rec.questions.mid(2), QStringList({"确认修改?", "确认修改?"}));
            TypeInto(dlg, key, "");
            DoubleClickRow(list, 1);
            EXPECT_EQ(TextOf(dlg, key), "丙");
            EXPECT_EQ(rec.defaultNo, QStringList({"确认删除?", "确认删除?"})) << "only a delete defaults to No";
        });
    }
    EXPECT_EQ(page->Beneficiaries().size(), 2u);
    EXPECT_EQ(page->Riders().size(), 2u);
}

} // namespace
