// Renewal-premium reminders, pinyin search and spreadsheets, reached as a
// user reaches them: in the real main window with every page, through the
// tree, the buttons, the check box, the lists and the save dialog.
#include "gui_test_support.h"
#include "xlsx_reader.h"
#include "agent/gbk.h"
#include "app/main_dlg.h"
#include "app/page.h"
#include "app/settings.h"
#include "pages/page_registry.h"
#include "records/data_files.h"
#include "resources/templates/main_ids.h"
#include "resources/templates/people_list_ids.h"
#include "resources/templates/policy_entry_ids.h"
#include "resources/templates/pot_client_ids.h"
#include "resources/templates/query_ids.h"
#include "resources/templates/remind_settings_ids.h"
#include "resources/templates/team_member_ids.h"
#include "theme/skin_list_ctrl.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

namespace {

using vantorel::DataBook;
using vantorel::PolicyRecord;

QSettings Store() { return RemindSettings::Store(); }

PolicyRecord Policy(const char* no, const char* method, const char* effective, const char* holder,
                    const char* years = "") {
    PolicyRecord p;
    p.info.policyNo = no;
    p.info.paymentMethod = ToGbk(QString::fromUtf8(method));
    p.info.effectiveDate = effective;
    p.info.paymentYears = years;
    p.info.annualPremium = 1200;
    p.holder.name = ToGbk(QString::fromUtf8(holder));
    p.holder.mobile = std::string("139") + no;
    return p;
}

class Features : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        Store().clear();
    }
    // The program's start on the temporary folder holding `book`, at 9:00 on `today`.
    std::unique_ptr<CMainDlg> Start(const DataBook& book, QDate today) {
        for (const auto& r : vantorel::SaveAll(book, dir_.path().toStdString()))
            EXPECT_EQ(r.outcome, vantorel::SaveOutcome::written) << r.file;
        boxes_.Clear();
        auto dlg = std::make_unique<CMainDlg>(dir_.path().toStdString(), AllPageFactories());
        dlg->SetClock([today] { return QDateTime(today, QTime(9, 0)); });
        dlg->Initialise();
        dlg->show();
        dlg->ShowStartMessages();
        return dlg;
    }
    void Select(CMainDlg& dlg, const char* node) {
        auto* tree = FindCtl<QTreeWidget>(&dlg, ids::main_window::Tree);
        tree->setCurrentItem(tree->findItems(QString::fromUtf8(node), Qt::MatchExactly | Qt::MatchRecursive).value(0));
    }
    static QStringList Rows(CSkinListCtrl* list) {
        QStringList rows;
        for (int r = 0; r < list->GetItemCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < list->GetColumnCount(); ++c) cells << list->GetItemText(r, c);
            rows << cells.join('|');
        }
        return rows;
    }

    QTemporaryDir dir_;
    MessageRecorder boxes_;
};

// Every payment method and the month-end cases, on 29 February 2004.
DataBook RenewalBook() {
    DataBook book;
    for (const PolicyRecord& p :
         {Policy("P1", "月缴", "2004/1-31", "张三"),          // the 31st: 29 February, then 31 March (too late)
          Policy("P2", "年缴", "2003/2-28", "李四"),          // yesterday
          Policy("P3", "年缴", "2000/2-29", "王五"),          // a leap day, four years on
          Policy("P4", "趸缴", "2003/2-29", "赵六"),          // one premium only (and no such date)
          Policy("P5", "季缴", "2003/11-30", "孙七"),         // the 30th: 29 February
          Policy("P6", "半年缴", "2003/9-15", "周八"),        // 15 March
          Policy("P7", "年缴", "2003/3-30", "吴九", "1"),     // paid up: one year only
          Policy("P8", "年缴", "2003/3-30", "郑十"),          // 30 March, the window's last day
          Policy("P9", "月缴", "2004/0-0", "冯一"),           // no real effective date
          Policy("P10", "年缴", "2003/3-31", "陈二"),         // 31 March: a day too late
          Policy("P11", "半年缴", "2003/8-31", "褚三", "5")}) // 29 February, within five years
        book.insurance.Add(p);
    return book;
}

TEST_F(Features, RenewalPremiumsAreRemindedOnTheirDayAndListedForTheMonth) {
    auto dlg = Start(RenewalBook(), QDate(2004, 2, 29));
    const QString box =
        QStringLiteral("今天是以下保单的续期缴费日:\n保险单号：%1\r\n投保人姓名：%2\r\n年缴保费：1200.00元\r\n");
    const QStringList dueToday = {box.arg("P1", "张三"), box.arg("P3", "王五"), box.arg("P5", "孙七"),
                                  box.arg("P11", "褚三")};
    EXPECT_EQ(boxes_.shown, dueToday) << "one box per policy, in collection order, at start";
    boxes_.Clear();
    Press(dlg.get(), ids::main_window::Remind);
    EXPECT_EQ(boxes_.shown, dueToday);

    Select(*dlg, "其它提醒");
    CPage* page = dlg->Page(ids::remind::Template);
    ASSERT_TRUE(page->isVisible());
    auto* list = FindCtl<CSkinListCtrl>(page, ids::remind::DueList);
    QStringList captions;
    for (int c = 0; c < list->GetColumnCount(); ++c) captions << list->GetColumnCaption(c);
    EXPECT_EQ(captions, QStringList({"缴费日期", "保险单号", "投保人姓名", "手机", "年缴保费"}));
    EXPECT_EQ(Rows(list), QStringList({"2004-02-29|P1|张三|139P1|1200.00", "2004-02-29|P3|王五|139P3|1200.00",
                                       "2004-02-29|P5|孙七|139P5|1200.00", "2004-02-29|P11|褚三|139P11|1200.00",
                                       "2004-03-15|P6|周八|139P6|1200.00", "2004-03-30|P8|郑十|139P8|1200.00"}));

    // The switch: off, and today's reminders have nothing more to say.
    auto* premium = FindCtl<QCheckBox>(page, ids::remind::Premium);
    EXPECT_EQ(premium->text(), "续期缴费提醒");
    ASSERT_TRUE(premium->isChecked());
    premium->click();
    boxes_.Clear();
    Press(dlg.get(), ids::main_window::Remind);
    EXPECT_EQ(boxes_.shown, QStringList({"今日没有任何提醒!"}));

    // Rebuilt each time the page is shown: a policy added meanwhile is listed.
    dlg->Book().insurance.Add(Policy("P12", "月缴", "2004/2-1", "卫四"));
    Select(*dlg, "成员资料");
    Select(*dlg, "其它提醒");
    EXPECT_EQ(Rows(list).value(4), "2004-03-01|P12|卫四|139P12|1200.00");

    // A double click opens the row's policy on the entry page for changing.
    const QRect row = list->visualRect(list->model()->index(5, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    CPage* entry = dlg->Page(ids::entry::Template);
    EXPECT_TRUE(entry->isVisible());
    EXPECT_FALSE(page->isVisible());
    EXPECT_EQ(TextOf(entry, ids::entry::PolicyNo), "P6");
    EXPECT_EQ(TextOf(entry, ids::entry::AddOrModify), "修改");

    // Kept under its own key at close, and shown so at the next start.
    dlg.reset();
    EXPECT_EQ(Store().value("AWOKE/XQJFSR").toInt(), 0);
    EXPECT_EQ(Store().value("AWOKE/TBRSR").toInt(), 1);
    dlg = Start(RenewalBook(), QDate(2004, 2, 29));
    EXPECT_TRUE(boxes_.shown.isEmpty()) << "the switch is off";
    EXPECT_FALSE(FindCtl<QCheckBox>(dlg->Page(ids::remind::Template), ids::remind::Premium)->isChecked());
}

TEST_F(Features, NamesAreFoundByTheirPinyinAndEnterFinds) {
    DataBook book;
    auto add = [&book](const char* no, const char* holder, const char* insured) {
        PolicyRecord p = Policy(no, "年缴", "2004/1-1", holder);
        p.insured.name = ToGbk(QString::fromUtf8(insured));
        book.insurance.Add(p);
    };
    add("A", "张三", "王五");
    add("B", "Wang Lei", "李四");
    add("C", "单田芳", "曾小贤");
    add("D", "吕布", "张三丰");
    auto dlg = Start(book, QDate(2004, 6, 1));
    Select(*dlg, "查询保单资料");
    CPage* query = dlg->Page(ids::query::Template);
    auto* list = FindCtl<CSkinListCtrl>(query, ids::query::List);
    auto* text = FindCtl<QLineEdit>(query, ids::query::Text);
    const struct {
        int option;
        const char* typed;
        QStringList found; // policy numbers
    } cases[] = {
        {ids::query::ByHolder, "zs", {"A"}},
        {ids::query::ByHolder, "zhangs", {"A"}},
        {ids::query::ByHolder, "ZhangSan", {"A"}},
        {ids::query::ByHolder, "zhang san", {"A"}},
        {ids::query::ByHolder, "wang", {"B"}},
        {ids::query::ByHolder, "wl", {"B"}},
        {ids::query::ByHolder, "shantian", {"C"}}, // 单 as a surname
        {ids::query::ByHolder, "lv", {"D"}},       // ü as agents type it
        {ids::query::ByHolder, "lu", {"D"}},
        {ids::query::ByHolder, "zss", {}},
        {ids::query::ByHolder, "lisi", {}}, // the insured's name, not the holder's
        {ids::query::ByHolder, "z s", {"A"}},
        {ids::query::ByHolder, "张", {"A"}}, // Chinese: part of the name, as before
        {ids::query::ByHolder, "三丰", {}},
        {ids::query::ByInsured, "zs", {"D"}},
        {ids::query::ByInsured, "zengx", {"C"}},
        {ids::query::ByInsured, "ww", {"A"}},
        {ids::query::ByInsured, "三丰", {"D"}},
        {ids::query::ByProduct, "zs", {}}, // pinyin is for names only
    };
    for (const auto& c : cases) {
        FindCtl<QRadioButton>(query, c.option)->click();
        TypeInto(query, ids::query::Text, QString::fromUtf8(c.typed));
        list->SetRows({}); // so that only the search can fill it
        QTest::keyClick(text, Qt::Key_Return);
        QStringList numbers;
        for (int r = 0; r < list->GetItemCount(); ++r) numbers << list->GetItemText(r, 0);
        EXPECT_EQ(numbers, c.found) << c.typed;
    }
    EXPECT_TRUE(query->isVisible()) << "Enter found and did nothing else";
    EXPECT_TRUE(boxes_.shown.isEmpty()) << boxes_.shown.join('|').toStdString();
}

TEST_F(Features, EveryReportButtonAlsoWritesASpreadsheet) {
    DataBook book;
    vantorel::PotClientRecord c;
    c.person.name = ToGbk(QStringLiteral("孙丽"));
    c.person.sex = 1;
    c.person.maritalStatus = 2;
    c.person.birthDate = "1988/2-14";
    c.person.height = 165;
    c.hobby = ToGbk(QStringLiteral("=1+1"));
    book.clients.Add(c);
    c.person.name = ToGbk(QStringLiteral("钱多"));
    c.person.birthDate = "1988/0-0";
    c.person.sex = -1;          // never chosen
    c.person.maritalStatus = 9; // no form makes it: a damaged file
    book.clients.Add(c);
    vantorel::MemberRecord m;
    m.staffNo = "1001";
    m.person.name = ToGbk(QStringLiteral("周明"));
    m.joinDate = "2003/1-15";
    book.members.Add(m);
    auto dlg = Start(book, QDate(2004, 6, 1));

    QString answer, filter, offered;
    msg::SetFileResponder([&](const QString&, const QString& name, QString* selected) {
        offered = name;
        if (!filter.isEmpty()) *selected = filter;
        return answer;
    });
    auto save = [&](CPage* page, int button, const char* file, const char* chosenFilter = "") {
        answer = dir_.filePath(QString::fromUtf8(file));
        filter = QString::fromUtf8(chosenFilter);
        boxes_.Clear();
        Press(page, button);
    };

    // The policy on the entry page: one row under the form's labels.
    Select(*dlg, "添加保单资料");
    CPage* entry = dlg->Page(ids::entry::Template);
    TypeInto(entry, ids::entry::PolicyNo, "P-1");
    TypeInto(entry, ids::entry::holder::Name, QStringLiteral("张三"));
    ChooseIndex(entry, ids::entry::holder::Sex, 0);
    TypeInto(entry, ids::entry::AnnualPremium, "3600.5");
    TypeInto(entry, ids::entry::EffectiveYear, "2004");
    ChooseIndex(entry, ids::entry::EffectiveMonth, 1);
    ChooseIndex(entry, ids::entry::EffectiveDay, 28);
    save(entry, ids::entry::Report, "policy.XLSX"); // the name decides, whatever filter is chosen
    EXPECT_EQ(offered, "P-1");
    EXPECT_EQ(boxes_.shown, QStringList({"报表已保存到 " + answer}));
    xlsx::Sheet s = xlsx::Read(answer);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    ASSERT_EQ(s.rows.size(), 2u);
    QStringList header = s.Header();
    ASSERT_GE(header.size(), 53);
    EXPECT_EQ(header.mid(0, 6),
              QStringList({"保险单号", "保险公司", "保险金额(万元)", "缴费方式", "年缴保费(元)", "生效日期"}));
    EXPECT_EQ(s.At(1, 0).text, "P-1");
    EXPECT_EQ(s.At(1, 3).text, "年缴");
    EXPECT_EQ(s.At(1, 4).value, 3600.5);
    EXPECT_EQ(s.At(1, 5).Date(), QDate(2004, 2, 29));
    EXPECT_EQ(s.At(1, header.indexOf("投保人姓名")).text, "张三");
    EXPECT_EQ(s.At(1, header.indexOf("投保人性别")).text, "男");
    EXPECT_EQ(s.At(1, header.indexOf("投保人婚况")).text, "已婚");

    // A name without a suffix takes the chosen kind's.
    save(entry, ids::entry::Report, "plain", "Excel 工作簿 (*.xlsx)");
    EXPECT_TRUE(xlsx::Read(answer + ".xlsx").ok);
    save(entry, ids::entry::Report, "text");
    EXPECT_TRUE(QFile::exists(answer + ".odt"));

    // Every client and every member, one row each.
    Select(*dlg, "潜力客户资料");
    save(dlg->Page(ids::client::Template), ids::client::Report, "clients.xlsx");
    s = xlsx::Read(answer);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    ASSERT_EQ(s.rows.size(), 3u);
    header = s.Header();
    EXPECT_EQ(header.mid(0, 6), QStringList({"姓名", "性别", "民族", "身份证号", "婚况", "出生日期"}));
    EXPECT_EQ(s.At(1, 0).text, "孙丽");
    EXPECT_EQ(s.At(1, 1).text, "女");
    EXPECT_EQ(s.At(1, 4).text, "离异");
    EXPECT_EQ(s.At(1, 5).Date(), QDate(1988, 2, 14));
    EXPECT_EQ(s.At(2, 5).text, "1988/0-0") << "not a real date: kept as text";
    EXPECT_EQ(s.At(2, 1).text, "");
    EXPECT_EQ(s.At(2, 4).text, "9") << "shown as it is, not lost";
    EXPECT_EQ(s.At(1, header.indexOf("身高(cm)")).value, 165);
    EXPECT_EQ(s.At(1, header.indexOf("爱好")).text, "=1+1");
    EXPECT_TRUE(s.At(1, header.indexOf("爱好")).IsText());

    Select(*dlg, "成员资料");
    save(dlg->Page(ids::member::Template), ids::member::Report, "members.xlsx");
    s = xlsx::Read(answer);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    ASSERT_EQ(s.rows.size(), 2u);
    header = s.Header();
    EXPECT_EQ(s.At(1, header.indexOf("工号")).text, "1001");
    EXPECT_EQ(s.At(1, header.indexOf("入司时间")).Date(), QDate(2003, 1, 15));
    msg::SetFileResponder({});
}

} // namespace
