#include "policy_test_support.h"
#include "pages/policy/beneficiary_dlg.h"
#include "pages/policy/policy_entry_page.h"
#include "pages/policy/rider_dlg.h"
#include "resources/templates/beneficiary_ids.h"
#include "resources/templates/policy_entry_ids.h"
#include "resources/templates/rider_ids.h"

#include <QWindow>

namespace {

namespace ben = ids::beneficiary;
namespace rid = ids::rider;

// Fills the beneficiary form, presses `button` and returns the last message.
QString Submit(QWidget* dlg, MessageRecorder& rec, int button, const QString& name, const QString& id,
               const QString& share) {
    rec.Clear();
    TypeInto(dlg, ben::Name, name);
    TypeInto(dlg, ben::IdNumber, id);
    TypeInto(dlg, ben::Share, share);
    Press(dlg, button);
    return rec.Last();
}

TEST(BeneficiaryDialog, AddChecksShareNameCountAndDuplicatesInOrder) {
    MessageRecorder rec;
    CBeneficiaryDlg dlg;
    dlg.show();
    EXPECT_EQ(Submit(&dlg, rec, ben::Add, "甲", "", "100.5"), "受益份额错误!");
    EXPECT_EQ(Submit(&dlg, rec, ben::Add, "甲", "", "1e999"), "受益份额错误!");  // too large for a number
    EXPECT_EQ(Submit(&dlg, rec, ben::Add, "甲", "", "-1e999"), "受益份额错误!"); // nor a share either way
    EXPECT_EQ(Submit(&dlg, rec, ben::Add, "", "", "10"), "受益人姓名和身份证号不能为空!");
    EXPECT_FALSE(dlg.Changed());
    EXPECT_EQ(Submit(&dlg, rec, ben::Add, "甲", "", "100"), "");
    EXPECT_EQ(Submit(&dlg, rec, ben::Add, "", "ID-9", "50%"), "");
    ASSERT_EQ(dlg.List().size(), 2u);
    EXPECT_TRUE(dlg.Changed());
    EXPECT_EQ(dlg.List()[0].share, 100);
    EXPECT_EQ(dlg.List()[1].share, 50);

    EXPECT_EQ(Submit(&dlg, rec, ben::Add, "甲", "", "1"), "已存在该受益人!");
    EXPECT_EQ(Submit(&dlg, rec, ben::Add, "甲", "ID-1", "1"), "");

    for (int i = 3; i < 10; ++i) Submit(&dlg, rec, ben::Add, QString("n%1").arg(i), "", "");
    ASSERT_EQ(dlg.List().size(), 10u) << "the tenth is taken";
    // The eleventh: share and name are tested before the count.
    EXPECT_EQ(Submit(&dlg, rec, ben::Add, "第十一", "", "101"), "受益份额错误!");
    EXPECT_EQ(Submit(&dlg, rec, ben::Add, "", "", ""), "受益人姓名和身份证号不能为空!");
    EXPECT_EQ(Submit(&dlg, rec, ben::Add, "甲", "", ""), "不能多于十个受益人!");
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
    EXPECT_EQ(TextOf(&dlg, ben::Share), "34");
    EXPECT_EQ(TextOf(&dlg, ben::BirthYear), "2004");
    EXPECT_EQ(ListIndexOf(&dlg, ben::BirthMonth), -1);
    // Its own key again is fine; the share is stored as shown.
    EXPECT_EQ(Submit(&dlg, rec, ben::Modify, "甲", "", "34"), "确认修改?");
    EXPECT_EQ(dlg.List()[0].share, 34);
    EXPECT_EQ(dlg.List()[0].birthDate, "2004/0-0");

    ListOf(&dlg)->SelectRow(0);
    EXPECT_EQ(Submit(&dlg, rec, ben::Modify, "乙", "", "1"), "已存在该受益人!");
    EXPECT_EQ(Submit(&dlg, rec, ben::Modify, "丙", "", "200"), "受益份额错误!");
    EXPECT_EQ(Submit(&dlg, rec, ben::Modify, "", "", "1"), "受益人姓名和身份证号不能为空!");
    EXPECT_EQ(FromGbk(dlg.List()[0].name), "甲");
}

TEST(RiderDialog, DefaultsAndTenAtMost) {
    MessageRecorder rec;
    CRiderDlg dlg;
    dlg.show();
    for (int i = 0; i < 10; ++i) Press(&dlg, rid::Add);
    ASSERT_EQ(dlg.List().size(), 10u);
    const vantorel::RiderRecord& r = dlg.List()[0];
    EXPECT_EQ(std::vector<std::string>({r.paymentYears, r.coverageYears, r.benefitMethod, r.benefitAge, r.effectiveDate,
                                        FromGbk(r.company).toStdString()}),
              std::vector<std::string>({"0", "1", "0", "0", "2004/1-1", "Orlemont保险"}));
    Press(&dlg, rid::Add);
    EXPECT_EQ(rec.shown, QStringList{"不能多于十个附加险!"});
    EXPECT_EQ(dlg.List().size(), 10u);
}

TEST(RiderDialog, AnAmountTooLargeIsRefusedByName) {
    MessageRecorder rec;
    CRiderDlg dlg;
    dlg.show();
    TypeInto(&dlg, rid::SumInsured, "1e999");
    Press(&dlg, rid::Add);
    EXPECT_EQ(rec.shown, QStringList{"“保险金额”数值太大，请重新输入!"});
    EXPECT_TRUE(dlg.List().empty());
    TypeInto(&dlg, rid::SumInsured, "12.5万");
    Press(&dlg, rid::Add);
    ASSERT_EQ(dlg.List().size(), 1u);
    ListOf(&dlg)->SelectRow(0);
    TypeInto(&dlg, rid::AnnualPremium, "3e308");
    Press(&dlg, rid::Modify);
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
    for (auto [button, title, key] : {std::tuple<int, const char*, int>{ids::entry::Beneficiaries, "受益人", ben::Name},
                                      {ids::entry::Riders, "附加险", rid::PolicyNo}}) {
        PressWithDialog(page, button, [&, key = key, title = title](QWidget* dlg) {
            EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8(title)); // the frame draws it spaced
            EXPECT_EQ(static_cast<CXpDialog*>(dlg)->Caption(), SpacedCaption(QString::fromUtf8(title)));
            EXPECT_EQ(dlg->pos(), mainWindow.pos());
            EXPECT_EQ(dlg->parentWidget(), &mainWindow);
            // Transient for the main window: above it, no task-bar entry of its own.
            EXPECT_EQ(dlg->windowType(), Qt::Dialog);
            EXPECT_EQ(dlg->windowHandle()->transientParent(), mainWindow.windowHandle());
            rec.Clear();
            Press(dlg, ids::list_dialog::Modify);
            Press(dlg, ids::list_dialog::Delete);
            EXPECT_EQ(rec.shown, QStringList({"请在列表中选择一个对象!", "请在列表中选择一个对象!"}));
            for (const char* name : {"甲", "乙", "丙"}) {
                TypeInto(dlg, key, name);
                Press(dlg, ids::list_dialog::Add);
            }
            CSkinListCtrl* list = ListOf(dlg);
            list->SelectRow(1);
            rec.Answer(false);
            Press(dlg, ids::list_dialog::Delete);
            EXPECT_EQ(rec.questions, QStringList{"确认删除?"});
            Press(dlg, ids::list_dialog::Delete);
            EXPECT_EQ(Column(list, 0), QStringList({"甲", "丙"}));

            list->SelectRow(0);
            TypeInto(dlg, key, "丁");
            rec.Answer(false);
            Press(dlg, ids::list_dialog::Modify);
            EXPECT_EQ(Column(list, 0), QStringList({"甲", "丙"})) << "No leaves the entry";
            Press(dlg, ids::list_dialog::Modify);
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
